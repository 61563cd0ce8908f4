#pragma once
// The configuration object: every program finds its files and folders through
// it. It reads the App file beside the executable, Setup.ini and Env.ini once
// at start and writes them back when it is freed at an orderly shutdown.

#include "qxDragInfo.h"
#include "qxStrings.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class TAppGlobalInfo {
public:
    TAppGlobalInfo();
    // The orderly shutdown: writes every section back (see Shutdown).
    ~TAppGlobalInfo();
    TAppGlobalInfo(const TAppGlobalInfo&) = delete;
    TAppGlobalInfo& operator=(const TAppGlobalInfo&) = delete;

    QString AppPath;     // folder of the executable, with a trailing separator
    QString AppFileName; // AppPath + "APP"
    bool DebugMode = false;
    TNameValueList Paths;    // [Paths] of the App file, macros unexpanded
    TNameValueList Files;    // [Files] of the App file, macros unexpanded
    TNameValueList SetupValues;
    TNameValueList Variants;
    TNameValueList SoftwareInfo;
    bool LastQuitAbnormal = false;
    quint8 UserExit = 0;
    std::unique_ptr<TqxDragInfo> DragInfo;
    QString UserID;

    // Restorix uses the object without ever writing the configuration back.
    bool WriteBackOnFree = true;

    // The start-up sequence for the running executable and its command line.
    // False means the program must end. Throws EKavelinErr when the App file
    // lacks a [Software] entry the title needs.
    bool Initialize();
    // The same for a given executable folder and command line (tests, tools).
    bool Initialize(const QString& exeFolder, const QStringList& arguments);

    QString ExpandMacros(const QString& text) const;
    QString GetPath(const QString& name) const;
    void SetPath(const QString& name, const QString& value);
    QString GetFileName(const QString& name) const;
    QString GetSoftwareInfo(const QString& name) const;
    QString GetSetupValue(const QString& name) const;
    void SetSetupValue(const QString& name, const QString& value);
    QVariant GetVariantValue(const QString& name) const;
    void SetVariantValue(const QString& name, const QVariant& value);

    // The application title set by Initialize: "SoftName (Version)".
    const QString& Title() const { return FTitle; }

    static void WriteSection(const QString& fileName, const QString& section, bool deleteMissing,
                             const TNameValueList& list);

private:
    void Shutdown();
    bool FAppFileLoaded = false;
    QString FTitle;
};

// The one configuration object of the process.
extern TAppGlobalInfo* AppGlobalInfo;
