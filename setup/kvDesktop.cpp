#include "kvDesktop.h"

#include "qxFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

QString envFolder(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name);
    // Relative values are invalid and must be ignored.
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

// A value of a desktop entry: the escapes of the string type.
QString entryValue(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\\')
            out += u"\\\\"_s;
        else if (c == u'\n')
            out += u"\\n"_s;
        else if (c == u'\t')
            out += u"\\t"_s;
        else if (c == u'\r')
            out += u"\\r"_s;
        else
            out += c;
    }
    return out;
}

// One argument of an Exec line, quoted when it holds a reserved character.
QString execArgument(const QString& arg)
{
    static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
    QString quoted;
    bool needsQuotes = arg.isEmpty();
    for (const QChar c : arg) {
        if (reserved.contains(c))
            needsQuotes = true;
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c == u'%' ? u"%%"_s : QString(c);
    }
    return needsQuotes ? u'"' + quoted + u'"' : quoted;
}

bool writeFile(const QString& path, const QByteArray& data, bool executable)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    try {
        FileSystem::WriteFileAtomic(path, data);
    } catch (...) {
        return false;
    }
    if (executable)
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    return true;
}

QString shortcutFolder(const TkvDesktopFolders& folders, int kind)
{
    switch (kind) {
    case skDesktop:
        return folders.Desktop;
    case skStartMenu:
    case skPrograms:
        return folders.DataHome + u"/applications"_s;
    case skStartup:
        return folders.ConfigHome + u"/autostart"_s;
    default:
        return {};
    }
}

QString linkFileName(const QString& target, const QString& linkName)
{
    QString name = linkName;
    if (name.isEmpty())
        name = target.isEmpty() ? u"我的电脑"_s : QFileInfo(target).completeBaseName();
    // The name becomes a file name: no folder separators in it.
    name.replace(u'/', u'_');
    name.replace(u'\\', u'_');
    return name + u".desktop"_s;
}

// A menu of the applications menu that gathers the entries of one subfolder.
void writeMenu(const TkvDesktopFolders& folders, const QString& subfolder)
{
    const QString directoryFile = u"Orbelle-"_s + subfolder + u".directory"_s;
    writeFile(folders.DataHome + u"/desktop-directories/"_s + directoryFile,
              (u"[Desktop Entry]\nType=Directory\nName="_s + entryValue(subfolder) + u'\n').toUtf8(), false);

    const QDir dir(folders.DataHome + u"/applications/"_s + subfolder);
    QString includes;
    for (const QString& entry : dir.entryList({u"*.desktop"_s}, QDir::Files, QDir::Name))
        includes += u"      <Filename>"_s + QString(subfolder + u'-' + entry).toHtmlEscaped() + u"</Filename>\n"_s;
    const QString menu = u"<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
                         " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
                         "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>"_s +
                         subfolder.toHtmlEscaped() + u"</Name>\n    <Directory>"_s + directoryFile.toHtmlEscaped() +
                         u"</Directory>\n    <Include>\n"_s + includes + u"    </Include>\n  </Menu>\n</Menu>\n"_s;
    writeFile(folders.ConfigHome + u"/menus/applications-merged/Orbelle-"_s + subfolder + u".menu"_s, menu.toUtf8(),
              false);
}

void runIfPresent(const QString& program, const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return;
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, arguments);
    p.waitForFinished(60000);
}

} // namespace

TkvDesktopFolders TkvDesktopFolders::ForHome(const QString& home)
{
    TkvDesktopFolders f;
    f.Home = home;
    f.DataHome = home + u"/.local/share"_s;
    f.ConfigHome = home + u"/.config"_s;
    f.Desktop = home + u"/Desktop"_s;
    return f;
}

TkvDesktopFolders TkvDesktopFolders::FromEnvironment()
{
    TkvDesktopFolders f = ForHome(QDir::homePath());
    f.DataHome = envFolder("XDG_DATA_HOME", f.DataHome);
    f.ConfigHome = envFolder("XDG_CONFIG_HOME", f.ConfigHome);
    if (!QStandardPaths::findExecutable(u"xdg-user-dir"_s).isEmpty()) {
        QProcess p;
        p.start(u"xdg-user-dir"_s, {u"DESKTOP"_s});
        if (p.waitForFinished(10000) && p.exitCode() == 0) {
            const QString dir = QDir::cleanPath(QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed());
            // Without a configured desktop the tool answers the home folder.
            if (QDir::isAbsolutePath(dir) && dir != QDir::cleanPath(f.Home))
                f.Desktop = dir;
        }
    }
    return f;
}

QString ShortcutPath(const TkvDesktopFolders& folders, const QString& target, const QString& linkName, int kind,
                     const QString& subfolder)
{
    QString folder = shortcutFolder(folders, kind);
    if (folder.isEmpty())
        return {};
    if (!subfolder.isEmpty())
        folder += u'/' + subfolder;
    return folder + u'/' + linkFileName(target, linkName);
}

bool CreateShortcut(const TkvDesktopFolders& folders, const QString& target, const QString& linkName,
                    const QString& description, int kind, const QString& subfolder, const QStringList& mimeTypes,
                    const QString& icon)
{
    const QString path = ShortcutPath(folders, target, linkName, kind, subfolder);
    if (path.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;

    const QString nativeTarget = FileSystem::NativePath(target);
    const QString name = QFileInfo(path).completeBaseName();
    QString exec = execArgument(nativeTarget);
    if (!mimeTypes.isEmpty())
        exec += u" %f"_s;
    QString entry = u"[Desktop Entry]\nType=Application\nVersion=1.0\nName="_s + entryValue(name) +
                    u"\nComment="_s + entryValue(description.isEmpty() ? name : description) + u"\nExec="_s +
                    entryValue(exec) + u"\nPath="_s + entryValue(QFileInfo(nativeTarget).path()) +
                    u"\nTerminal=false\n"_s;
    if (!icon.isEmpty())
        entry += u"Icon="_s + entryValue(FileSystem::NativePath(icon)) + u'\n';
    if (!mimeTypes.isEmpty())
        entry += u"MimeType="_s + mimeTypes.join(u';') + u";\n"_s;
    if (kind == skPrograms || kind == skStartMenu)
        entry += u"Categories=Office;\n"_s;
    // A launcher on the desktop must be executable before the file manager trusts it.
    if (!writeFile(path, entry.toUtf8(), kind == skDesktop))
        return false;
    if (!subfolder.isEmpty() && (kind == skPrograms || kind == skStartMenu))
        writeMenu(folders, subfolder);
    return true;
}

QByteArray MimePackage()
{
    struct Type {
        const char16_t* type;
        const char16_t* comment;
        const char16_t* glob;
    };
    const Type types[] = {
        {kMimeProject, u"Kavelin 工程文件", u"*.KVP"},
        {kMimeTemplate, u"Kavelin 模板文件", u"*.KVT"},
        {kMimeBackup, u"Kavelin 备份文件", u"*.KVB"},
    };
    QString xml = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"_s;
    for (const Type& t : types) {
        xml += u"  <mime-type type=\""_s + QString::fromUtf16(t.type) + u"\">\n"_s;
        xml += u"    <comment>"_s + QString::fromUtf16(t.comment) + u"</comment>\n"_s;
        xml += u"    <sub-class-of type=\"application/octet-stream\"/>\n"_s;
        // Globs match without regard to case, so "x.kvp" is a project too.
        xml += u"    <glob pattern=\""_s + QString::fromUtf16(t.glob) + u"\"/>\n"_s;
        xml += u"  </mime-type>\n"_s;
    }
    xml += u"</mime-info>\n"_s;
    return xml.toUtf8();
}

bool RegisterFileTypes(const TkvDesktopFolders& folders, const QString& desktopEntry)
{
    const QString mime = folders.DataHome + u"/mime"_s;
    if (!QDir().mkpath(mime + u"/packages"_s) ||
        !writeFile(mime + u"/packages/kavelin.xml"_s, MimePackage(), false))
        return false;
    runIfPresent(u"update-mime-database"_s, {mime});

    // The default application is named by its desktop file ID: its path under
    // the applications folder with "/" turned into "-".
    const QString apps = folders.DataHome + u"/applications/"_s;
    if (desktopEntry.startsWith(apps)) {
        QString id = desktopEntry.mid(apps.size());
        id.replace(u'/', u'-');
        runIfPresent(u"update-desktop-database"_s, {folders.DataHome + u"/applications"_s});
        runIfPresent(u"xdg-mime"_s, {u"default"_s, id, QString::fromUtf16(kMimeProject), QString::fromUtf16(kMimeTemplate)});
    }
    return true;
}
