// The table store on an item library of 50,000 rows, each figure beside the
// same work done by SQLite (in-memory database), the store a user would
// otherwise pick:
//   load   packet -> table            | INSERT of the rows, one transaction
//   save   table -> packet            | SELECT of every row and column
//   locate prefix of 查询码, ignoring case, in index order | LIKE 'x%' walking the (项目类别,项目名称) index
//   index  "项目类别;项目名称"         | CREATE INDEX on the two columns
//   filter 项目类别='材料' re-applied   | SELECT ... WHERE 项目类别='材料' in index order
//   filter event: name contains 安装   | WHERE instr(项目名称,'安装')

#include "qxDataSet.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 50000;

const QStringList kCategories = {u"材料"_s, u"拆除工程"_s, u"橱柜工程"_s, u"地板工程"_s, u"电器工程"_s,
                                 u"吊顶工程"_s, u"门窗工程"_s, u"其他"_s, u"砌粉工程"_s, u"墙裙工程"_s,
                                 u"上下水工程"_s, u"油漆工程"_s, u"装修工程"_s};
const QStringList kPlaces = {QString(), u"厨房"_s, u"客厅"_s, u"卧室"_s, u"卫生间"_s, u"餐厅"_s, u"书房"_s};
const QStringList kUnits = {u"立方米"_s, u"吨"_s, u"公斤"_s, u"平方米"_s, u"个"_s, u"米"_s, u"桶"_s, u"项"_s};
const QStringList kWords = {u"实木"_s, u"复合"_s, u"石膏板"_s, u"铝扣板"_s, u"瓷砖"_s, u"乳胶漆"_s, u"不锈钢"_s,
                            u"防水"_s, u"大理石"_s, u"玻璃"_s, u"钢化"_s};
const QStringList kThings = {u"地板安装"_s, u"吊顶"_s, u"墙面"_s, u"门套"_s, u"窗台"_s, u"水管更换"_s, u"灯具安装"_s,
                             u"踢脚线"_s, u"橱柜"_s};

QString queryCode(int i)
{
    QString code;
    for (int n = i + 17576; n > 0 && code.size() < 5; n /= 26)
        code.append(QChar(u'a' + n % 26));
    return code;
}

// One item library, built once and shared by every benchmark.
struct Library {
    TqxDataSet table;
    QByteArray packet;
    sqlite3* db = nullptr;

    Library()
    {
        table.SetFieldDefs({{u"项目编码"_s, TqxFieldKind::String, 20, false},
                            {u"施工地点"_s, TqxFieldKind::String, 100, false},
                            {u"项目类别"_s, TqxFieldKind::String, 100, false},
                            {u"项目名称"_s, TqxFieldKind::String, 200, true},
                            {u"单位"_s, TqxFieldKind::String, 20, false},
                            {u"单价"_s, TqxFieldKind::Money, 0, false},
                            {u"数量"_s, TqxFieldKind::Float, 0, false},
                            {u"备注"_s, TqxFieldKind::String, 200, false},
                            {u"查询码"_s, TqxFieldKind::String, 50, false}});
        table.CreateDataSet();
        for (int i = 0; i < kRows; ++i) {
            const QVariantList row = {
                QString(u"A"_s + QString::number(10000 + i)),
                kPlaces[i % kPlaces.size()],
                kCategories[(i * 7) % kCategories.size()],
                QString(kWords[i % kWords.size()] + kThings[(i / 11) % kThings.size()] + QString::number(i)),
                kUnits[i % kUnits.size()],
                double((i * 37) % 100000) / 100.0,
                double(i % 50) / 4.0,
                i % 3 == 0 ? u"人工费,不含税"_s : QString(),
                queryCode(i),
            };
            table.AppendRecord(row);
        }
        table.MergeChangeLog();
        packet = table.SaveToBytes();
        db = OpenSqlite();
    }
    ~Library() { sqlite3_close(db); }

    sqlite3* OpenSqlite()
    {
        sqlite3* d = nullptr;
        sqlite3_open(":memory:", &d);
        sqlite3_exec(d,
                     "CREATE TABLE items(项目编码 TEXT, 施工地点 TEXT, 项目类别 TEXT, 项目名称 TEXT, 单位 TEXT,"
                     " 单价 REAL, 数量 REAL, 备注 TEXT, 查询码 TEXT)",
                     nullptr, nullptr, nullptr);
        InsertInto(d);
        return d;
    }

    void InsertInto(sqlite3* d)
    {
        sqlite3_exec(d, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(d, "INSERT INTO items VALUES(?,?,?,?,?,?,?,?,?)", -1, &st, nullptr);
        for (const QByteArray& row : Rows()) {
            const QList<QByteArray> v = row.split('\t');
            for (int c = 0; c < 9; ++c) {
                if (c == 5 || c == 6)
                    sqlite3_bind_double(st, c + 1, v[c].toDouble());
                else if (v[c].isEmpty())
                    sqlite3_bind_null(st, c + 1);
                else
                    sqlite3_bind_text(st, c + 1, v[c].constData(), int(v[c].size()), SQLITE_STATIC);
            }
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(d, "COMMIT", nullptr, nullptr, nullptr);
    }

    // The rows as UTF-8 text, as SQLite is handed them.
    const std::vector<QByteArray>& Rows()
    {
        if (FRows.empty()) {
            for (table.First(); !table.Eof(); table.Next()) {
                QStringList v;
                for (int f = 0; f < table.FieldCount(); ++f)
                    v.append(table.Fields(f)->AsString());
                FRows.push_back(v.join(u'\t').toUtf8());
            }
        }
        return FRows;
    }

private:
    std::vector<QByteArray> FRows;
};

Library& library()
{
    static Library lib;
    return lib;
}

void BM_PacketLoad(benchmark::State& state)
{
    Library& lib = library();
    for (auto _ : state) {
        TqxDataSet t;
        t.LoadFromBytes(lib.packet);
        benchmark::DoNotOptimize(t.RecordCount());
    }
    state.SetBytesProcessed(state.iterations() * lib.packet.size());
}
BENCHMARK(BM_PacketLoad)->Unit(benchmark::kMillisecond);

void BM_SqliteLoad(benchmark::State& state)
{
    Library& lib = library();
    lib.Rows();
    for (auto _ : state) {
        sqlite3* d = nullptr;
        sqlite3_open(":memory:", &d);
        sqlite3_exec(d,
                     "CREATE TABLE items(项目编码 TEXT, 施工地点 TEXT, 项目类别 TEXT, 项目名称 TEXT, 单位 TEXT,"
                     " 单价 REAL, 数量 REAL, 备注 TEXT, 查询码 TEXT)",
                     nullptr, nullptr, nullptr);
        lib.InsertInto(d);
        sqlite3_close(d);
    }
    state.SetBytesProcessed(state.iterations() * lib.packet.size());
}
BENCHMARK(BM_SqliteLoad)->Unit(benchmark::kMillisecond);

void BM_PacketSave(benchmark::State& state)
{
    Library& lib = library();
    for (auto _ : state)
        benchmark::DoNotOptimize(lib.table.SaveToBytes());
    state.SetBytesProcessed(state.iterations() * lib.packet.size());
}
BENCHMARK(BM_PacketSave)->Unit(benchmark::kMillisecond);

void BM_SqliteSave(benchmark::State& state)
{
    Library& lib = library();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(lib.db, "SELECT * FROM items", -1, &st, nullptr);
    for (auto _ : state) {
        QByteArray out;
        out.reserve(lib.packet.size());
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < 9; ++c) {
                if (c == 5 || c == 6) {
                    const double v = sqlite3_column_double(st, c);
                    out.append(reinterpret_cast<const char*>(&v), 8);
                } else {
                    out.append(reinterpret_cast<const char*>(sqlite3_column_text(st, c)), sqlite3_column_bytes(st, c));
                }
            }
        }
        sqlite3_reset(st);
        benchmark::DoNotOptimize(out);
    }
    sqlite3_finalize(st);
    state.SetBytesProcessed(state.iterations() * lib.packet.size());
}
BENCHMARK(BM_SqliteSave)->Unit(benchmark::kMillisecond);

// The prefix of the row that comes last in the library's order: the longest walk.
QString lastPrefix(TqxDataSet& t)
{
    t.Last();
    return t.FieldByName(u"查询码"_s)->AsString().left(4).toUpper();
}

void BM_PrefixLocate(benchmark::State& state)
{
    Library& lib = library();
    TqxDataSet t;
    t.CloneCursor(lib.table);
    t.SetIndexFieldNames(u"项目类别;项目名称"_s);
    const QString prefix = lastPrefix(t);
    for (auto _ : state) {
        t.First();
        benchmark::DoNotOptimize(t.Locate(u"查询码"_s, prefix, loPartialKey | loCaseInsensitive));
    }
}
BENCHMARK(BM_PrefixLocate)->Unit(benchmark::kMillisecond);

void BM_SqlitePrefixLocate(benchmark::State& state)
{
    Library& lib = library();
    TqxDataSet t;
    t.CloneCursor(lib.table);
    t.SetIndexFieldNames(u"项目类别;项目名称"_s);
    const QByteArray pattern = lastPrefix(t).toUtf8() + '%';
    sqlite3_exec(lib.db, "CREATE INDEX IF NOT EXISTS byname ON items(项目类别, 项目名称)", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(lib.db, "SELECT rowid FROM items WHERE 查询码 LIKE ? ORDER BY 项目类别, 项目名称 LIMIT 1", -1,
                       &st, nullptr);
    sqlite3_bind_text(st, 1, pattern.constData(), int(pattern.size()), SQLITE_STATIC);
    for (auto _ : state) {
        benchmark::DoNotOptimize(sqlite3_step(st));
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(lib.db, "DROP INDEX byname", nullptr, nullptr, nullptr);
}
BENCHMARK(BM_SqlitePrefixLocate)->Unit(benchmark::kMillisecond);

void BM_IndexBuild(benchmark::State& state)
{
    Library& lib = library();
    TqxDataSet t;
    t.CloneCursor(lib.table);
    for (auto _ : state) {
        t.SetIndexFieldNames(u"项目类别;项目名称"_s);
        state.PauseTiming();
        t.SetIndexFieldNames(QString());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond);

void BM_SqliteIndexBuild(benchmark::State& state)
{
    Library& lib = library();
    for (auto _ : state) {
        sqlite3_exec(lib.db, "CREATE INDEX byname ON items(项目类别, 项目名称)", nullptr, nullptr, nullptr);
        state.PauseTiming();
        sqlite3_exec(lib.db, "DROP INDEX byname", nullptr, nullptr, nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SqliteIndexBuild)->Unit(benchmark::kMillisecond);

void BM_FilterReapply(benchmark::State& state)
{
    Library& lib = library();
    TqxDataSet t;
    t.CloneCursor(lib.table);
    t.SetIndexFieldNames(u"项目类别;项目名称"_s);
    t.SetFilter(u"项目类别='材料'"_s);
    for (auto _ : state) {
        t.SetFiltered(false);
        t.SetFiltered(true);
        benchmark::DoNotOptimize(t.RecordCount());
    }
}
BENCHMARK(BM_FilterReapply)->Unit(benchmark::kMillisecond);

void BM_SqliteFilter(benchmark::State& state)
{
    Library& lib = library();
    sqlite3_exec(lib.db, "CREATE INDEX IF NOT EXISTS byname ON items(项目类别, 项目名称)", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(lib.db, "SELECT rowid FROM items WHERE 项目类别='材料' ORDER BY 项目类别, 项目名称", -1, &st,
                       nullptr);
    for (auto _ : state) {
        std::vector<sqlite3_int64> rows;
        while (sqlite3_step(st) == SQLITE_ROW)
            rows.push_back(sqlite3_column_int64(st, 0));
        sqlite3_reset(st);
        benchmark::DoNotOptimize(rows);
    }
    sqlite3_finalize(st);
    sqlite3_exec(lib.db, "DROP INDEX byname", nullptr, nullptr, nullptr);
}
BENCHMARK(BM_SqliteFilter)->Unit(benchmark::kMillisecond);

// The lookup panel's way: a filter-record handler reading the row's fields.
void BM_FilterRecordReapply(benchmark::State& state)
{
    Library& lib = library();
    TqxDataSet t;
    t.CloneCursor(lib.table);
    const TqxField* name = t.FieldByName(u"项目名称"_s);
    const QString keyword = u"安装"_s;
    t.OnFilterRecord = [&](TqxDataSet*, bool& accept) { accept = name->AsString().contains(keyword); };
    for (auto _ : state) {
        t.SetFiltered(false);
        t.SetFiltered(true);
        benchmark::DoNotOptimize(t.RecordCount());
    }
}
BENCHMARK(BM_FilterRecordReapply)->Unit(benchmark::kMillisecond);

void BM_SqliteFilterContains(benchmark::State& state)
{
    Library& lib = library();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(lib.db, "SELECT rowid FROM items WHERE instr(项目名称, '安装') > 0", -1, &st, nullptr);
    for (auto _ : state) {
        std::vector<sqlite3_int64> rows;
        while (sqlite3_step(st) == SQLITE_ROW)
            rows.push_back(sqlite3_column_int64(st, 0));
        sqlite3_reset(st);
        benchmark::DoNotOptimize(rows);
    }
    sqlite3_finalize(st);
}
BENCHMARK(BM_SqliteFilterContains)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
