// Reading and saving files safely: what a save may replace and how, and what
// a read refuses. Every saver of the system (tables, containers, INI files,
// backups, restores) goes through these two functions.

#include "KvTestSupport.h"
#include "qxErrors.h"
#include "qxFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <filesystem>

using namespace Qt::StringLiterals;

class TestSaveFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void readOnlyTargetRefused();
    void replacedFileKeepsMode();
    void symlinkSavedThroughToTarget();
    void hardLinkedFileRefused();
    void shortWriteSaysDiskFull();
    void onlyRegularFilesRead_data();
    void onlyRegularFilesRead();

private:
    QString File(const QString& name) const { return FDir->filePath(name); }
    // What a failed save must leave: the old bytes, no temporary file.
    void Unchanged(const QString& path, const QByteArray& bytes, int files);
    std::unique_ptr<QTemporaryDir> FDir;
};

void TestSaveFiles::init() { FDir = std::make_unique<QTemporaryDir>(); }

void TestSaveFiles::Unchanged(const QString& path, const QByteArray& bytes, int files)
{
    QCOMPARE(KvTest::ReadBytes(path), bytes);
    QCOMPARE(QDir(FDir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), files);
}

void TestSaveFiles::readOnlyTargetRefused()
{
    // The rename would go around the bits, and these tests may run as root,
    // for whom the kernel ignores them: the save itself must look.
    const QString path = File(u"ItemsDB"_s);
    QVERIFY(KvTest::WriteBytes(path, "old"));
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(path, readOnly));
    try {
        FileSystem::WriteFileAtomic(path, "new");
        QFAIL("a read-only file was replaced");
    } catch (const EFileError& e) {
        QVERIFY2(e.Message.contains(path) && e.Message.contains(u"只读"_s), qPrintable(e.Message));
    }
    Unchanged(path, "old", 1);
    QCOMPARE(std::filesystem::status(QFile::encodeName(path).toStdString()).permissions(), std::filesystem::perms(0444));
}

void TestSaveFiles::replacedFileKeepsMode()
{
    const QString path = File(u"Project.KVP"_s);
    QVERIFY(KvTest::WriteBytes(path, "old"));
    const std::filesystem::perms mode = std::filesystem::perms(0640);
    std::filesystem::permissions(QFile::encodeName(path).toStdString(), mode);
    FileSystem::WriteFileAtomic(path, "new");
    QCOMPARE(KvTest::ReadBytes(path), QByteArray("new"));
    QCOMPARE(std::filesystem::status(QFile::encodeName(path).toStdString()).permissions(), mode);
}

void TestSaveFiles::symlinkSavedThroughToTarget()
{
    QVERIFY(QDir(FDir->path()).mkdir(u"real"_s));
    const QString target = File(u"real/Project.KVP"_s);
    const QString link = File(u"Project.KVP"_s);
    QVERIFY(KvTest::WriteBytes(target, "old"));
    QVERIFY(QFile::link(u"real/Project.KVP"_s, link)); // relative, as users make them
    FileSystem::WriteFileAtomic(link, "new");
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(KvTest::ReadBytes(target), QByteArray("new"));
    QCOMPARE(QDir(File(u"real"_s)).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestSaveFiles::hardLinkedFileRefused()
{
    // Renaming over one name would part it from the others silently; the
    // save is refused and says why.
    const QString path = File(u"ItemsDB"_s);
    const QString other = File(u"ItemsDB.link"_s);
    QVERIFY(KvTest::WriteBytes(path, "old"));
    std::filesystem::create_hard_link(QFile::encodeName(path).toStdString(), QFile::encodeName(other).toStdString());
    try {
        FileSystem::WriteFileAtomic(path, "new");
        QFAIL("a hard-linked file was parted from its other name");
    } catch (const EFileError& e) {
        QVERIFY2(e.Message.contains(u"硬链接"_s), qPrintable(e.Message));
    }
    Unchanged(path, "old", 2);
    QCOMPARE(KvTest::ReadBytes(other), QByteArray("old"));
}

void TestSaveFiles::shortWriteSaysDiskFull()
{
    const QString path = File(u"table"_s);
    FileSystem::WriteFileAtomic(path, "old contents");
    try {
        KvTest::FileSizeLimit limit(64);
        FileSystem::WriteFileAtomic(path, QByteArray(4096, 'n'));
        QFAIL("a write beyond the size limit succeeded");
    } catch (const EFileError& e) {
        QVERIFY2(e.Message.contains(u"磁盘空间不足或文件过大"_s), qPrintable(e.Message));
    }
    Unchanged(path, "old contents", 1);
}

void TestSaveFiles::onlyRegularFilesRead_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("endless device") << u"/dev/zero"_s;
    QTest::newRow("folder") << QString();
}

void TestSaveFiles::onlyRegularFilesRead()
{
    QFETCH(QString, path);
    if (path.isEmpty())
        path = FDir->path();
    if (!QFileInfo::exists(path))
        QSKIP("no such device here");
    try {
        FileSystem::ReadFile(path);
        QFAIL("read");
    } catch (const EFileError& e) {
        QVERIFY2(e.Message.contains(u"不是普通文件"_s), qPrintable(e.Message));
    }
}

QTEST_GUILESS_MAIN(TestSaveFiles)
#include "tst_savefiles.moc"
