#include "AppClasses.h"

#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"
#include "qxPrompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QtDebug>

using namespace Qt::StringLiterals;

TAppGlobalInfo* AppGlobalInfo = nullptr;

namespace {

const QString kSecSoftware = u"SoftWare"_s;
const QString kSecPaths = u"PATHS"_s;
const QString kSecFiles = u"FILES"_s;
const QString kSecOther = u"OTHER"_s;
const QString kSecSetup = u"SETUP"_s;
const QString kSecVariant = u"VARIANT"_s;
const QString kSecUser = u"USER"_s;
const QString kQuitExcept = u"QuitExcept"_s;
const QString kFileSetup = u"配置_参数"_s;
const QString kFileEnv = u"配置_环境"_s;

// A shutdown must go on even when one file cannot be written.
template <typename F>
void tryWrite(F&& write)
{
    try {
        write();
    } catch (const Exception& e) {
        qWarning("%s", e.what());
    }
}

bool hasSwitch(const QStringList& arguments, const QString& name)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a.size() > 1 && (a.front() == u'-' || a.front() == u'/') &&
            QStringView(a).mid(1).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

TAppGlobalInfo::TAppGlobalInfo() : DragInfo(std::make_unique<TqxDragInfo>()) {}

TAppGlobalInfo::~TAppGlobalInfo()
{
    if (WriteBackOnFree && FAppFileLoaded)
        Shutdown();
}

bool TAppGlobalInfo::Initialize()
{
    return Initialize(QCoreApplication::applicationDirPath(), QCoreApplication::arguments());
}

bool TAppGlobalInfo::Initialize(const QString& exeFolder, const QStringList& arguments)
{
    AppPath = QDir::toNativeSeparators(exeFolder);
    if (!AppPath.endsWith(QDir::separator()))
        AppPath += QDir::separator();
    AppFileName = AppPath + u"APP"_s;

    if (!FileSystem::FileExists(AppFileName)) {
        ShowMessage(u"系统配置文件未找到！"_s, u"致命错"_s, TMsgIcon::Error);
        return false;
    }

    DebugMode = hasSwitch(arguments, u"debug"_s);

    {
        TqxIniFile app(AppFileName);
        SoftwareInfo = app.ReadSectionValues(kSecSoftware);
        Paths = app.ReadSectionValues(kSecPaths);
        Files = app.ReadSectionValues(kSecFiles);
        LastQuitAbnormal = app.ReadInteger(kSecOther, kQuitExcept, 0) != 0;
        app.WriteInteger(kSecOther, kQuitExcept, 1);
        // The marker only tells the next start about a crash; a read-only
        // installation must still start.
        tryWrite([&] { app.UpdateFile(); });
        FAppFileLoaded = true;
    }

    // Found through the App value as stored, before it is replaced below.
    {
        const TqxIniFile setup(GetFileName(kFileSetup));
        SetupValues = setup.ReadSectionValues(kSecSetup);
        Variants = setup.ReadSectionValues(kSecVariant);
    }
    {
        const TqxIniFile env(GetFileName(kFileEnv));
        UserID = env.ReadString(kSecUser, u"ID"_s);
        UserExit = quint8(env.ReadInteger(kSecUser, u"Exit"_s, 0));
    }

    SetPath(u"App"_s, AppPath);

    FTitle = GetSoftwareInfo(u"SoftName"_s) + u" ("_s + GetSoftwareInfo(u"Version"_s) + u')';
    if (QCoreApplication::instance())
        QCoreApplication::setApplicationName(FTitle);
    return true;
}

QString TAppGlobalInfo::ExpandMacros(const QString& text) const
{
    // Every substitution happens at the first "[", so the text before it is
    // final. The names being expanded at a position are kept with the end of
    // their value: a name met again inside its own value would never finish,
    // and expansion stops there with the rest left as it stands.
    struct Active {
        QString name;
        qsizetype end;
    };
    std::vector<Active> active;
    QString result = text;
    for (int guard = 0; guard < 10000; ++guard) {
        const qsizetype open = result.indexOf(u'[');
        const qsizetype close = result.indexOf(u']');
        if (open < 0 || close < 0 || close < open)
            break;
        const QString name = result.mid(open + 1, close - open - 1);
        std::erase_if(active, [&](const Active& a) { return a.end <= open; });
        if (std::any_of(active.begin(), active.end(),
                        [&](const Active& a) { return a.name.compare(name, Qt::CaseInsensitive) == 0; }))
            break;
        const QString value = Paths.Value(name);
        const qsizetype shift = value.size() - (close - open + 1);
        for (Active& a : active)
            a.end = a.end > close ? a.end + shift : open + value.size();
        active.push_back({name, open + value.size()});
        result = result.left(open) + value + result.mid(close + 1);
    }
    return result;
}

QString TAppGlobalInfo::GetPath(const QString& name) const
{
    if (name.compare(u"APP"_s, Qt::CaseInsensitive) == 0)
        return AppPath;
    return ExpandMacros(Paths.Value(name));
}

void TAppGlobalInfo::SetPath(const QString& name, const QString& value) { Paths.SetOrRemoveValue(name, value); }

QString TAppGlobalInfo::GetFileName(const QString& name) const { return ExpandMacros(Files.Value(name)); }

QString TAppGlobalInfo::GetSoftwareInfo(const QString& name) const
{
    if (!SoftwareInfo.HasName(name))
        throw EKavelinErr(u"不存在的系统信息项【"_s + name + u"】"_s);
    return SoftwareInfo.Value(name);
}

QString TAppGlobalInfo::GetSetupValue(const QString& name) const { return SetupValues.Value(name); }

void TAppGlobalInfo::SetSetupValue(const QString& name, const QString& value)
{
    SetupValues.SetOrRemoveValue(name, value);
}

QVariant TAppGlobalInfo::GetVariantValue(const QString& name) const
{
    const qsizetype i = Variants.IndexOfName(name);
    return i < 0 ? QVariant() : QVariant(Variants.ValueFromIndex(i));
}

void TAppGlobalInfo::SetVariantValue(const QString& name, const QVariant& value)
{
    Variants.SetValue(name, value.isNull() ? QString() : value.toString());
}

void TAppGlobalInfo::WriteSection(const QString& fileName, const QString& section, bool deleteMissing,
                                  const TNameValueList& list)
{
    TqxIniFile ini(fileName);
    if (deleteMissing) {
        const QStringList keys = ini.ReadSection(section);
        for (const QString& key : keys)
            if (!list.HasName(key))
                ini.DeleteKey(section, key);
    }
    for (qsizetype i = 0; i < list.Count(); ++i) {
        const QString name = list.Name(i);
        if (!name.isEmpty())
            ini.WriteString(section, name, list.Value(name));
    }
    ini.UpdateFile();
}

void TAppGlobalInfo::Shutdown()
{
    tryWrite([&] {
        TqxIniFile app(AppFileName);
        app.WriteInteger(kSecOther, kQuitExcept, 0);
        app.UpdateFile();
    });
    tryWrite([&] {
        TqxIniFile env(GetFileName(kFileEnv));
        env.WriteString(kSecUser, u"ID"_s, UserID);
        env.WriteInteger(kSecUser, u"Exit"_s, UserExit);
        env.UpdateFile();
    });
    tryWrite([&] { WriteSection(AppFileName, kSecPaths, true, Paths); });
    tryWrite([&] { WriteSection(AppFileName, kSecFiles, true, Files); });
    const QString setupFile = GetFileName(kFileSetup);
    tryWrite([&] { WriteSection(setupFile, kSecSetup, true, SetupValues); });
    tryWrite([&] { WriteSection(setupFile, kSecVariant, false, Variants); });
}
