// Backing up the five base-data files into one container and restoring them.

#include "AppClasses.h"
#include "BackupData.h"
#include "GbkText.h"
#include "BaseDataPackets.h"
#include "KavelinFiles.h"
#include "KvTestSupport.h"
#include "qxErrors.h"
#include "qxScriptedPrompter.h"

#include <QDir>
#include <QMap>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList kFiles{u"ItemsDB"_s, u"ItemCateDB"_s, u"MemoDB"_s, u"MeasureUnit"_s, u"WordsDb"_s};

// An installation with its App file; the table files hold distinct bytes.
struct Installation {
    explicit Installation(const QString& root) : Root(root + u'/')
    {
        QDir().mkpath(Root + u"Data"_s);
        const QString app =
            u"[Software]\r\nSoftName=Kavelin\r\nVersion=1.0\r\n[Files]\r\n系统项目库=[数据]ItemsDB\r\n"
            "系统项目类别库=[数据]ItemCateDB\r\n计量单位库=[数据]MeasureUnit\r\n工艺材料=[数据]MemoDB\r\n"
            "单词库=[数据]WordsDb\r\n[Paths]\r\nApp=\r\n数据=[App]Data\\\r\n备份=[App]备份\\\r\n"_s;
        KvTest::WriteBytes(Root + u"App"_s, Gbk::Encode(app));
        Info.WriteBackOnFree = false;
        Info.Initialize(Root, {});
    }
    QString DataFile(const QString& name) const { return Root + u"Data/"_s + name; }
    void FillTables(const QByteArray& tag)
    {
        for (const QString& f : kFiles)
            KvTest::WriteBytes(DataFile(f), KvTest::TablePacket(f, tag + f.toLatin1()));
    }
    QString Root;
    TAppGlobalInfo Info;
};

} // namespace

class TestBackupData : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void backupAndRestoreAll();
    void nothingChecked();
    void missingFileAndUncheckedRow();
    void failedRestoreKeepsTable();
    void damagedBackupChangesNoFile_data();
    void damagedBackupChangesNoFile();
    void defaultName();

private:
    QTemporaryDir FDir;
};

void TestBackupData::backupAndRestoreAll()
{
    Installation here(FDir.filePath(u"a"_s));
    here.FillTables("a:");
    const QList<TDataFileRow> rows = BackupRows(here.Info);
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[4].Description, u"名称中所含的单词，以便快速过滤查找"_s);

    TKVFile backup;
    BuildBackup(backup, rows);
    const QString name = FDir.filePath(u"all.KVB"_s);
    QVERIFY(backup.SaveToFile(name));

    QByteArray images;
    QStringList header;
    for (const QString& key : {u"系统项目库"_s, u"系统项目类别库"_s, u"工艺材料"_s, u"计量单位库"_s, u"单词库"_s}) {
        const QByteArray image = KvTest::ReadBytes(here.Info.GetFileName(key).replace(u'\\', u'/'));
        header << u"<SECTION>"_s + key + u'=' + QString::number(image.size());
        images += image;
    }
    const QByteArray headerBytes = Gbk::Encode(QString(header.join(u"\r\n"_s) + u"\r\n"_s));
    const QByteArray file = KvTest::ReadBytes(name);
    QCOMPARE(file.mid(4, headerBytes.size()), headerBytes);
    QCOMPARE(file.mid(4 + headerBytes.size()), images);

    // Restored elsewhere: the files of that installation, byte for byte.
    Installation there(FDir.filePath(u"b"_s));
    there.FillTables("b:");
    TKVFile loaded;
    loaded.SetFileName(name);
    const QList<TDataFileRow> restore = RestoreRows(loaded, there.Info);
    QCOMPARE(restore.size(), 5);
    QCOMPARE(restore[4].Description, u"名称中所含的单词，以便快速查找过滤"_s);
    RestoreFiles(loaded, restore);
    for (const QString& f : kFiles)
        QCOMPARE(KvTest::ReadBytes(there.DataFile(f)), KvTest::ReadBytes(here.DataFile(f)));
}

void TestBackupData::nothingChecked()
{
    Installation here(FDir.filePath(u"c"_s));
    here.FillTables("c:");
    QList<TDataFileRow> rows = BackupRows(here.Info);
    for (TDataFileRow& r : rows)
        r.Checked = false;
    TKVFile backup;
    BuildBackup(backup, rows);
    const QString name = FDir.filePath(u"none.KVB"_s);
    QVERIFY(backup.SaveToFile(name));
    QCOMPARE(KvTest::ReadBytes(name), QByteArray(4, '\0'));
    TKVFile loaded;
    loaded.SetFileName(name);
    QVERIFY(RestoreRows(loaded, here.Info).isEmpty());
}

void TestBackupData::missingFileAndUncheckedRow()
{
    TqxScriptedPrompter prompter;
    Installation here(FDir.filePath(u"d"_s));
    here.FillTables("d:");
    QFile::remove(here.DataFile(u"MemoDB"_s));
    TKVFile backup;
    BuildBackup(backup, BackupRows(here.Info));
    QCOMPARE(backup.LineCount(), 4);
    QVERIFY(!backup.HasSection(u"工艺材料"_s));
    QVERIFY(prompter.Records.empty()); // skipped without a message

    Installation there(FDir.filePath(u"e"_s));
    there.FillTables("e:");
    QList<TDataFileRow> restore = RestoreRows(backup, there.Info);
    QCOMPARE(restore.size(), 4);
    restore[0].Checked = false; // 系统项目库
    RestoreFiles(backup, restore);
    QCOMPARE(KvTest::ReadBytes(there.DataFile(u"ItemsDB"_s)), KvTest::TablePacket(u"ItemsDB"_s, "e:ItemsDB"));
    QCOMPARE(KvTest::ReadBytes(there.DataFile(u"WordsDb"_s)), KvTest::ReadBytes(here.DataFile(u"WordsDb"_s)));
    QCOMPARE(KvTest::ReadBytes(there.DataFile(u"MemoDB"_s)), KvTest::TablePacket(u"MemoDB"_s, "e:MemoDB"));
}

void TestBackupData::failedRestoreKeepsTable()
{
    Installation here(FDir.filePath(u"f"_s));
    here.FillTables("f:");
    TKVFile backup;
    backup.New();
    backup.SaveSection(u"系统项目库"_s, KvTest::TablePacket(u"ItemsDB"_s, "n"));
    const QByteArray before = KvTest::ReadBytes(here.DataFile(u"ItemsDB"_s));
    {
        KvTest::FileSizeLimit limit(64);
        QVERIFY_THROWS_EXCEPTION(EFileError, RestoreFiles(backup, RestoreRows(backup, here.Info)));
    }
    QCOMPARE(KvTest::ReadBytes(here.DataFile(u"ItemsDB"_s)), before);
}

void TestBackupData::damagedBackupChangesNoFile_data()
{
    // The header lines of a backup of all five tables, in file order, and
    // what becomes of the first size (or of the first section's bytes).
    QTest::addColumn<QString>("firstSize");
    QTest::addColumn<bool>("otherTable");
    QTest::newRow("negative size") << u"-12"_s << false;
    QTest::newRow("unreadable size") << u"12a"_s << false;
    QTest::newRow("size too small") << u"short"_s << false;
    QTest::newRow("packet of another table") << QString() << true;
}

void TestBackupData::damagedBackupChangesNoFile()
{
    QFETCH(QString, firstSize);
    QFETCH(bool, otherTable);
    Installation here(FDir.filePath(u"g"_s));
    here.FillTables("g:");
    QStringList header;
    QByteArray sections;
    const QList<TBaseDataTable>& tables = BaseDataTables();
    for (qsizetype i = 0; i < tables.size(); ++i) {
        QByteArray image = KvTest::ReadBytes(here.Info.GetFileName(tables[i].Key).replace(u'\\', u'/'));
        if (i == 0 && otherTable)
            image = KvTest::TablePacket(u"WordsDb"_s, "words");
        QString size = QString::number(image.size());
        if (i == 0 && firstSize == u"short"_s)
            size = QString::number(image.size() - 7);
        else if (i == 0 && !firstSize.isEmpty())
            size = firstSize;
        header << u"<SECTION>"_s + tables[i].Key + u'=' + size;
        sections += image;
    }
    const QByteArray head = Gbk::Encode(QString(header.join(u"\r\n"_s) + u"\r\n"_s));
    QByteArray file(4, '\0');
    file[0] = char(head.size() & 0xFF);
    file[1] = char(head.size() >> 8);
    const QString name = FDir.filePath(u"damaged.KVB"_s);
    QVERIFY(KvTest::WriteBytes(name, file + head + sections));

    Installation there(FDir.filePath(u"h"_s));
    there.FillTables("h:");
    QMap<QString, QByteArray> before;
    for (const QString& f : kFiles)
        before[f] = KvTest::ReadBytes(there.DataFile(f));
    TKVFile backup;
    backup.SetFileName(name);
    const QList<TDataFileRow> rows = RestoreRows(backup, there.Info);
    QCOMPARE(rows.size(), 5);
    try {
        RestoreFiles(backup, rows);
        QFAIL("a damaged backup was restored");
    } catch (const EKavelinErr& e) {
        QVERIFY2(e.Message.contains(name) && e.Message.contains(u"“系统项目库”"_s), qPrintable(e.Message));
    }
    for (const QString& f : kFiles)
        QCOMPARE(KvTest::ReadBytes(there.DataFile(f)), before[f]);
    QCOMPARE(QDir(there.Root + u"Data"_s).entryList(QDir::Files | QDir::Hidden).size(), kFiles.size());
}

void TestBackupData::defaultName()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // short dates with slashes
    const QString name = DefaultBackupName(QDate(2026, 12, 11));
    QLocale::setDefault(QLocale::system());
    QVERIFY(name.endsWith(u"备份"_s));
    QVERIFY(name.contains(u"26"_s));
    QVERIFY2(!name.contains(u'/'), qPrintable(name));
}

QTEST_GUILESS_MAIN(TestBackupData)
#include "tst_backupdata.moc"
