#include "kvSetup.h"

#include "GbkText.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString kReasonTempFolder = u"不能创建临时目录，请检查您是否有读写文件的权限！"_s;
const QString kReasonCopy = u"复制文件出错！"_s;
const QString kReasonFolder = u"创建目录失败！"_s;
const QString kReasonStopped = u"用户中止！"_s;

// Programs come out of the resources without their permission bits; an
// executable is known by its first bytes.
bool looksExecutable(const QByteArray& head)
{
    return head.startsWith("\x7f" "ELF") || head.startsWith("#!");
}

} // namespace

TkvSetupEnvironment TkvSetupEnvironment::FromSystem()
{
    TkvSetupEnvironment env;
    env.TempPath = QDir::tempPath();
    env.Home = QDir::homePath();
#ifdef Q_OS_UNIX
    env.Root = geteuid() == 0;
#endif
    env.ResourceRoot = u":/"_s;
    env.Desktop = TkvDesktopFolders::FromEnvironment();
    return env;
}

TkvSetup::TkvSetup(TkvSetupEnvironment env) : FEnv(std::move(env)) {}

QString TkvSetup::ResourcePath(const QString& kind, const QString& name) const
{
    return FEnv.ResourceRoot + kind + u'/' + name;
}

QString TkvSetup::ProgramFile() const { return FileSystem::NativePath(Macros.Value(u"PROGRAM"_s) + u"Kavelin"_s); }

void TkvSetup::Fail(const QString& reason)
{
    FailReason = reason;
    State = ssFailed;
}

bool TkvSetup::Prepare()
{
    State = ssPreparing;
    auto step = [&](int n) {
        if (OnPrepareStep)
            OnPrepareStep(n);
        idle();
    };

    // The temporary folder is private to this run: the system's temporary
    // folder is shared by every user, and the folder is deleted at the end.
    const QString tempTemplate = TkvMacroList::WithSeparator(QDir::toNativeSeparators(FEnv.TempPath)) +
                                 u"TmpKavelin-XXXXXX"_s;
    step(1);
#ifdef Q_OS_WIN
    Macros.SetFolder(u"SYSTEM"_s, qEnvironmentVariable("SystemRoot") + u"\\System32"_s);
#else
    Macros.SetFolder(u"SYSTEM"_s, u"/usr/lib"_s);
#endif
    step(2);

#ifdef Q_OS_WIN
    const QString programFiles = qEnvironmentVariable("ProgramFiles", u"C:\\Program Files"_s);
#else
    const QString programFiles = FEnv.Root ? u"/opt"_s : FEnv.Home + u"/.local/opt"_s;
#endif
    DefaultProgramFolder = QDir::toNativeSeparators(TkvMacroList::WithSeparator(programFiles) +
                                                    u"Orbelle软件/Kavelin/"_s);
    step(3);

    QFile license(ResourcePath(u"INSTALLFILE"_s, u"LICENSE"_s));
    if (license.open(QIODevice::ReadOnly))
        LicenseText = Gbk::Decode(license.readAll());
    step(4);

    QDir().mkpath(FEnv.TempPath);
    QTemporaryDir temp(tempTemplate);
    if (!temp.isValid()) {
        Fail(kReasonTempFolder);
        return false;
    }
    temp.setAutoRemove(false);
    TempFolder = TkvMacroList::WithSeparator(QDir::toNativeSeparators(temp.path()));
    step(5);
    step(6);
    return true;
}

void TkvSetup::SetFolders(const QString& program, const QString& project, const QString& backup, const QString& templ)
{
    Macros.SetFolder(u"PROGRAM"_s, program);
    Macros.SetFolder(u"PROJECT"_s, project);
    Macros.SetFolder(u"TEMPLATE"_s, templ);
    Macros.SetFolder(u"BACKUP"_s, backup);
}

bool TkvSetup::CopyFiles()
{
    State = ssCopying;
    const QString listPath = TempFolder + u"FilesList.lst"_s;
    QByteArray list;
    {
        QFile resource(ResourcePath(u"TEMPFILE"_s, u"FILESLIST"_s));
        QFile out(listPath);
        if (resource.open(QIODevice::ReadOnly))
            list = resource.readAll();
        const bool opened = !list.isEmpty() && out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        if (opened)
            Created.append(listPath);
        if (!opened || out.write(list) != list.size() || !out.flush()) {
            Fail(kReasonCopy);
            return false;
        }
    }

    const QStringList lines = TqxIniFile::SplitLines(Gbk::Decode(list));
    LineCount = int(lines.size());
    for (int i = 0; i < LineCount; ++i) {
        if (!CopyLine(lines.at(i)))
            return false;
        if (OnCopyStep)
            OnCopyStep(i + 1, LineCount);
        idle();
        if (State == ssStopping) {
            Fail(kReasonStopped);
            return false;
        }
    }
    return true;
}

bool TkvSetup::CopyLine(const QString& line)
{
    const auto entry = ParseFileListLine(line, Macros);
    if (!entry)
        return true;
    const QString path = FileSystem::NativePath(entry->path);

    if (entry->kind == TkvFileEntry::Dir) {
        if (FileSystem::DirectoryExists(path))
            return true;
        if (OnTarget)
            OnTarget(u"创建目录... "_s + path);
        idle();
        // Each missing level is created, and recorded, on the way down.
        QStringList missing;
        for (QString p = QDir::cleanPath(path); !p.isEmpty() && !QFileInfo::exists(p);) {
            missing.prepend(p);
            const QString parent = QFileInfo(p).path();
            if (parent == p)
                break;
            p = parent;
        }
        for (const QString& p : missing) {
            if (!QDir().mkdir(p)) {
                Fail(kReasonFolder);
                return false;
            }
            Created.append(p);
        }
        if (!FileSystem::DirectoryExists(path)) {
            Fail(kReasonFolder);
            return false;
        }
        return true;
    }

    if (OnTarget)
        OnTarget(path);
    idle();
    QFile resource(ResourcePath(u"INSTALLFILE"_s, entry->name));
    if (entry->name.isEmpty() || !resource.open(QIODevice::ReadOnly)) {
        Fail(kReasonCopy);
        return false;
    }
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        if (!QFile::remove(path)) {
            Fail(u"复制文件 "_s + path + u" 失败！"_s);
            return false;
        }
    }
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        Fail(kReasonCopy);
        return false;
    }
    Created.append(path);
    const QByteArray data = resource.readAll();
    constexpr qsizetype chunk = 4 << 20;
    for (qsizetype at = 0; at < data.size(); at += chunk) {
        const qsizetype n = qMin(chunk, data.size() - at);
        if (out.write(data.constData() + at, n) != n) {
            Fail(kReasonCopy);
            return false;
        }
    }
    if (!out.flush()) {
        Fail(kReasonCopy);
        return false;
    }
    out.close();
    if (looksExecutable(data.left(4)))
        out.setPermissions(out.permissions() | QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther);
    return true;
}

void TkvSetup::Configure()
{
    State = ssConfiguring;
    const QString program = Macros.Value(u"PROGRAM"_s);
    try {
        TqxIniFile app(FileSystem::NativePath(program + u"App"_s));
        app.WriteString(u"PATHS"_s, u"工程"_s, Macros.Value(u"PROJECT"_s));
        app.WriteString(u"PATHS"_s, u"备份"_s, Macros.Value(u"BACKUP"_s));
        app.WriteString(u"PATHS"_s, u"模板"_s, Macros.Value(u"TEMPLATE"_s));
        app.WriteString(u"PATHS"_s, u"App"_s, program);
        app.UpdateFile();
    } catch (const Exception&) {
        // A program that cannot find its folders is no installation.
        Fail(u"配置文件 "_s + FileSystem::NativePath(program + u"App"_s) + u" 写入失败！"_s);
        return;
    }
    idle();

    if (OnStatus)
        OnStatus(u"安装程序正在创建快捷方式..."_s);
    idle();
    const TkvDesktopFolders& d = FEnv.Desktop;
    const QString kavelin = program + u"Kavelin"_s;
    const QString icon = program + u"Picture"_s + QDir::separator() + u"Tag.ico"_s;
    const QStringList types{QString::fromUtf16(kMimeProject), QString::fromUtf16(kMimeTemplate)};
    CreateShortcut(d, kavelin, u"Kavelin 1.0(测试版)"_s, u"Orbelle家装系列软件－Kavelin"_s, skPrograms,
                   u"Kavelin"_s, types, icon);
    CreateShortcut(d, kavelin, u"Kavelin 1.0"_s, QString(), skQuickLaunch, QString(), types, icon);
    CreateShortcut(d, kavelin, u"Kavelin 1.0"_s, QString(), skDesktop, QString(), types, icon);
    CreateShortcut(d, program + u"Restorix"_s, u"备份与恢复"_s, QString(), skPrograms, u"Kavelin"_s, {}, icon);
    idle();

    RegisterFileTypes(d, ShortcutPath(d, kavelin, u"Kavelin 1.0(测试版)"_s, skPrograms, u"Kavelin"_s));
    State = ssFinished;
}

void TkvSetup::Close()
{
    if (FClosed)
        return;
    FClosed = true;
    if (!TempFolder.isEmpty())
        QDir(TempFolder).removeRecursively();
    if (State != ssFailed)
        return;
    for (auto it = Created.crbegin(); it != Created.crend(); ++it) {
        const QFileInfo info(*it);
        if (info.isSymLink() || info.isFile())
            QFile::remove(*it);
    }
}
