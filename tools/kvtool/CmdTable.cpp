// kvtool table dump FILE [--csv]: the fields and rows of a table file.
// kvtool table import FILE --csv CSV: rows of a CSV file appended to a table file.

#include "Csv.h"
#include "GbkText.h"
#include "KvtoolCommon.h"
#include "qxDataSet.h"
#include "qxErrors.h"
#include "qxFileSystem.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace Kvtool {

namespace {

const QString kUsage = u"kvtool table dump FILE [--csv] | kvtool table import FILE --csv CSV"_s;

QString describe(const TqxField* f)
{
    QString kind = FieldKindName(f->Kind());
    if (f->Kind() == TqxFieldKind::String)
        kind += u"("_s + QString::number(f->Size()) + u")"_s;
    return f->FieldName() + u"  "_s + kind + (f->Required() ? u"  必填"_s : QString());
}

int dump(const QString& fileName, bool csv)
{
    TqxDataSet t;
    t.LoadFromFile(fileName);
    QStringList names;
    for (int i = 0; i < t.FieldCount(); ++i)
        names.append(t.Fields(i)->FieldName());
    if (csv) {
        Out(Csv::Line(names));
        for (t.First(); !t.Eof(); t.Next()) {
            QStringList values;
            for (int i = 0; i < t.FieldCount(); ++i)
                values.append(FieldText(t.Fields(i)));
            Out(Csv::Line(values));
        }
        return Ok;
    }
    Out(u"字段（"_s + QString::number(t.FieldCount()) + u"）："_s);
    for (int i = 0; i < t.FieldCount(); ++i)
        Out(u"  "_s + describe(t.Fields(i)));
    Out(u"记录（"_s + QString::number(t.RecordCount()) + u"）："_s);
    for (t.First(); !t.Eof(); t.Next()) {
        QStringList values;
        for (int i = 0; i < t.FieldCount(); ++i) {
            const TqxField* f = t.Fields(i);
            values.append(f->FieldName() + u'=' + (f->IsNull() ? u"(空)"_s : FieldText(f)));
        }
        Out(u"  ["_s + QString::number(t.RecNo()) + u"] "_s + values.join(u"，"_s));
    }
    return Ok;
}

QString readCsv(const QString& fileName)
{
    const QByteArray bytes = FileSystem::ReadFile(fileName);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        throw EKavelinErr(u"CSV 文件 "_s + fileName + u" 不是 UTF-8 编码的文本。"_s);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

int import(const QString& fileName, const QString& csvName)
{
    TqxDataSet t;
    t.LoadFromFile(fileName);
    const std::vector<Csv::Record> records = Csv::Parse(readCsv(csvName));
    if (records.empty())
        throw EKavelinErr(u"CSV 文件 "_s + csvName + u" 是空的，第一行应为字段名。"_s);

    QStringList known;
    for (int i = 0; i < t.FieldCount(); ++i)
        known.append(t.Fields(i)->FieldName());
    std::vector<TqxField*> columns;
    for (const QString& raw : records.front().fields) {
        const QString name = raw.trimmed();
        TqxField* f = t.FindField(name);
        if (!f)
            throw EKavelinErr(u"CSV 文件的列“"_s + name + u"”不是表的字段。表的字段有："_s + known.join(u"、"_s) +
                              u"。"_s);
        if (std::find(columns.begin(), columns.end(), f) != columns.end())
            throw EKavelinErr(u"CSV 文件的列“"_s + name + u"”出现了两次。"_s);
        columns.push_back(f);
    }

    int added = 0;
    int changed = 0; // values the table cannot hold as they were given
    for (size_t r = 1; r < records.size(); ++r) {
        const Csv::Record& rec = records[r];
        const QString where = u"CSV 文件第 "_s + QString::number(rec.line) + u" 行："_s;
        if (rec.fields.size() != qsizetype(columns.size()))
            throw EKavelinErr(where + u"有 "_s + QString::number(rec.fields.size()) + u" 列，应为 "_s +
                              QString::number(columns.size()) + u" 列。"_s);
        try {
            t.Append();
            for (size_t c = 0; c < columns.size(); ++c) {
                TqxField* f = columns[c];
                const QString& value = rec.fields[qsizetype(c)];
                if (f->Kind() == TqxFieldKind::String) {
                    const QString field = u"注意："_s + where + u"“"_s + f->FieldName() + u"”"_s;
                    bool lossy = false;
                    if (value.contains(QChar(0))) {
                        Err(field + u"含有空字符，其后的内容不会保存。"_s);
                        lossy = true;
                    }
                    if (!Gbk::CanEncode(value)) {
                        Err(field + u"含有 GBK 编码无法表示的字符，已替换为“?”。"_s);
                        lossy = true;
                    }
                    if (Gbk::ByteLength(value) > f->Size()) {
                        Err(field + u"超过 "_s + QString::number(f->Size()) + u" 字节，已截断。"_s);
                        lossy = true;
                    }
                    changed += lossy ? 1 : 0;
                }
                if (value.isEmpty())
                    f->Clear();
                else
                    f->SetAsString(value);
            }
            t.Post();
        } catch (const Exception& e) {
            throw EKavelinErr(where + e.Message);
        }
        ++added;
    }
    t.SaveTableFile(fileName);
    Out(u"已向 "_s + fileName + u" 追加 "_s + QString::number(added) + u" 条记录。"_s +
        (changed > 0 ? u"其中 "_s + QString::number(changed) + u" 个值未能原样保存（见上面的注意）。"_s : QString()));
    return Ok;
}

} // namespace

int RunTable(const QStringList& args)
{
    if (args.size() < 2)
        return UsageError(kUsage);
    const QString& command = args.at(0);
    const QString& fileName = args.at(1);
    try {
        if (command == u"dump"_s && args.size() <= 3) {
            if (args.size() == 3 && args.at(2) != u"--csv"_s)
                return UsageError(kUsage);
            return dump(fileName, args.size() == 3);
        }
        if (command == u"import"_s && args.size() == 4 && args.at(2) == u"--csv"_s)
            return import(fileName, args.at(3));
    } catch (const Exception& e) {
        Err(e.Message);
        return Failed;
    }
    return UsageError(kUsage);
}

} // namespace Kvtool
