// Backing up the five base-data files into one container and restoring them.

#include "AppClasses.h"
#include "BackupData.h"
#include "GbkText.h"
#include "KavelinFiles.h"
#include "KvTestSupport.h"
#include "qxErrors.h"
#include "qxScriptedPrompter.h"

#include <QDir>
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
            KvTest::WriteBytes(DataFile(f), tag + f.toLatin1() + QByteArray(64, char(0x96)));
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
    QCOMPARE(KvTest::ReadBytes(there.DataFile(u"ItemsDB"_s)).left(2), QByteArray("e:"));
    QCOMPARE(KvTest::ReadBytes(there.DataFile(u"WordsDb"_s)), KvTest::ReadBytes(here.DataFile(u"WordsDb"_s)));
    QCOMPARE(KvTest::ReadBytes(there.DataFile(u"MemoDB"_s)).left(2), QByteArray("e:"));
}

void TestBackupData::failedRestoreKeepsTable()
{
    Installation here(FDir.filePath(u"f"_s));
    here.FillTables("f:");
    TKVFile backup;
    backup.New();
    backup.SaveSection(u"系统项目库"_s, QByteArray(8192, 'n'));
    const QByteArray before = KvTest::ReadBytes(here.DataFile(u"ItemsDB"_s));
    {
        KvTest::FileSizeLimit limit(1024);
        QVERIFY_THROWS_EXCEPTION(EFileError, RestoreFiles(backup, RestoreRows(backup, here.Info)));
    }
    QCOMPARE(KvTest::ReadBytes(here.DataFile(u"ItemsDB"_s)), before);
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
