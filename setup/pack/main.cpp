// kvsetuppack: gathers what Kavsetup carries. It reads the file list, finds
// every file it names in the staged installation (the shipped files in the
// pristine stage, the programs in the stage) and writes the resource
// collection file for rcc together with the file list in its shipped form.
//
//   kvsetuppack --list FILESLIST --stage DIR --pristine DIR --out DIR
//
// A file the stage lacks fails the build.

#include "GbkText.h"
#include "kvFilesList.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QString stageFile(const QString& root, const QString& line)
{
    TkvMacroList macros;
    macros.SetFolder(u"PROGRAM"_s, root);
    macros.SetFolder(u"PROJECT"_s, root + u"/工程"_s);
    macros.SetFolder(u"BACKUP"_s, root + u"/备份"_s);
    macros.SetFolder(u"TEMPLATE"_s, root + u"/模板"_s);
    const auto entry = ParseFileListLine(line, macros);
    return entry ? FileSystem::NativePath(entry->path) : QString();
}

bool writeIfChanged(const QString& path, const QByteArray& data)
{
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == data)
        return true;
    old.close();
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QString listFile, stage, pristine, out;
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        const QString& a = args[i];
        const QString& v = args[i + 1];
        if (a == u"--list"_s)
            listFile = v;
        else if (a == u"--stage"_s)
            stage = v;
        else if (a == u"--pristine"_s)
            pristine = v;
        else if (a == u"--out"_s)
            out = v;
    }
    if (listFile.isEmpty() || stage.isEmpty() || pristine.isEmpty() || out.isEmpty()) {
        std::fprintf(stderr, "usage: kvsetuppack --list FILESLIST --stage DIR --pristine DIR --out DIR\n");
        return 2;
    }

    QFile in(listFile);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "kvsetuppack: cannot read %s\n", qPrintable(listFile));
        return 1;
    }
    const QStringList lines = TqxIniFile::SplitLines(QString::fromUtf8(in.readAll()));

    TkvMacroList none;
    QStringList shipped;
    QString qrc = u"<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/INSTALLFILE\">\n"_s;
    for (const QString& line : lines) {
        const auto entry = ParseFileListLine(line, none);
        if (entry && entry->kind == TkvFileEntry::File) {
            QString file = stageFile(pristine, line);
            if (!QFileInfo(file).isFile())
                file = stageFile(stage, line);
            if (!QFileInfo(file).isFile()) {
                std::fprintf(stderr, "kvsetuppack: %s: no staged file %s\n", qPrintable(entry->name),
                             file.toUtf8().constData());
                return 1;
            }
            qrc += u"  <file alias=\""_s + entry->name.toHtmlEscaped() + u"\">"_s +
                   QFileInfo(file).absoluteFilePath().toHtmlEscaped() + u"</file>\n"_s;
        }
        shipped.append(line);
    }
    QDir().mkpath(out);
    const QString shippedList = out + u"/FilesList.lst"_s;
    qrc += u"</qresource>\n<qresource prefix=\"/TEMPFILE\">\n  <file alias=\"FILESLIST\">"_s +
           QFileInfo(shippedList).absoluteFilePath().toHtmlEscaped() + u"</file>\n</qresource>\n</RCC>\n"_s;

    // The list ships as the installation's text files do: GBK with CR LF.
    if (!writeIfChanged(shippedList, Gbk::Encode(QString(shipped.join(u"\r\n"_s) + u"\r\n"_s))) ||
        !writeIfChanged(out + u"/Kavsetup.qrc"_s, qrc.toUtf8())) {
        std::fprintf(stderr, "kvsetuppack: cannot write into %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
