#pragma once
// What the installer tests share: the shipped file list read from the source
// tree, and where each of its files lies in the staged installation.

#include "GbkText.h"
#include "KvTestSupport.h"
#include "kvFilesList.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace SetupTest {

using namespace Qt::StringLiterals;

inline QString StageDir() { return qEnvironmentVariable("KV_STAGE_DIR"); }
inline QString PristineDir() { return qEnvironmentVariable("KV_PRISTINE_STAGE_DIR"); }

inline QStringList ShippedLines()
{
    const QByteArray list = KvTest::ReadBytes(qEnvironmentVariable("KV_SOURCE_DIR") + u"/setup/FilesList.lst"_s);
    return TqxIniFile::SplitLines(QString::fromUtf8(list));
}

inline TkvMacroList FoldersUnder(const QString& program, const QString& project, const QString& backup,
                                 const QString& templ)
{
    TkvMacroList m;
    m.SetFolder(u"PROGRAM"_s, program);
    m.SetFolder(u"PROJECT"_s, project);
    m.SetFolder(u"BACKUP"_s, backup);
    m.SetFolder(u"TEMPLATE"_s, templ);
    return m;
}

// The staged file of a <FILE> line: shipped files from the pristine stage,
// the programs from the stage.
inline QString StagedFile(const QString& line)
{
    for (const QString& root : {PristineDir(), StageDir()}) {
        const auto entry =
            ParseFileListLine(line, FoldersUnder(root, root + u"/工程"_s, root + u"/备份"_s, root + u"/模板"_s));
        const QString path = FileSystem::NativePath(entry->path);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

struct Installed {
    QString name;
    QString path;
    QString staged;
};

// Every file the shipped list installs into these folders, with its staged original.
inline QList<Installed> InstalledFiles(const TkvMacroList& folders)
{
    QList<Installed> files;
    for (const QString& line : ShippedLines()) {
        const auto entry = ParseFileListLine(line, folders);
        if (entry && entry->kind == TkvFileEntry::File)
            files.append({entry->name, QDir::cleanPath(FileSystem::NativePath(entry->path)), StagedFile(line)});
    }
    return files;
}

// Compares every installed file with its staged original, byte for byte;
// the App file differs only by the configured folders.
inline void VerifyInstalledFiles(const TkvMacroList& folders, int* compared = nullptr)
{
    int n = 0;
    for (const Installed& f : InstalledFiles(folders)) {
        QVERIFY2(!f.staged.isEmpty(), qPrintable(u"not staged: "_s + f.name));
        QVERIFY2(QFileInfo(f.path).isFile(), qPrintable(u"not installed: "_s + f.path));
        QByteArray expected = KvTest::ReadBytes(f.staged);
        if (f.name == u"APP"_s) {
            // The App file as shipped, with the four folders of this installation.
            TqxIniFile app(f.staged);
            app.WriteString(u"PATHS"_s, u"工程"_s, folders.Value(u"PROJECT"_s));
            app.WriteString(u"PATHS"_s, u"备份"_s, folders.Value(u"BACKUP"_s));
            app.WriteString(u"PATHS"_s, u"模板"_s, folders.Value(u"TEMPLATE"_s));
            app.WriteString(u"PATHS"_s, u"App"_s, folders.Value(u"PROGRAM"_s));
            expected = app.ToBytes();
        }
        QVERIFY2(KvTest::ReadBytes(f.path) == expected, qPrintable(f.path));
        ++n;
    }
    if (compared)
        *compared = n;
}

// desktop-file-validate's verdict: empty when the entry passes.
inline QString ValidateDesktopEntry(const QString& path)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(u"desktop-file-validate"_s, {path});
    if (!p.waitForFinished(30000))
        return u"desktop-file-validate did not finish"_s;
    const QString out = QString::fromUtf8(p.readAll()).trimmed();
    if (p.exitCode() != 0)
        return out.isEmpty() ? u"rejected"_s : out;
    return {};
}

} // namespace SetupTest
