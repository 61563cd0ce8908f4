#pragma once
// The installation without its window: preparation, copying the embedded
// files as the file list directs, configuring the installed program, and the
// clean-up when the installer closes. The wizard window and the unattended
// mode both drive it.

#include "kvDesktop.h"
#include "kvFilesList.h"

#include <QString>
#include <QStringList>
#include <functional>

enum TkvSetupState {
    ssPreparing = 0,
    ssAsking = 1,
    ssCopying = 2,
    ssConfiguring = 3,
    ssFinished = 4,
    ssStopping = 5,
    ssFailed = 6,
};

// What the installer takes from the machine it runs on.
struct TkvSetupEnvironment {
    QString TempPath;      // the system's temporary folder
    QString Home;          // the user's home folder
    bool Root = false;     // installing for the whole machine
    QString ResourceRoot;  // where INSTALLFILE/ and TEMPFILE/ are found: ":/"
    TkvDesktopFolders Desktop;

    static TkvSetupEnvironment FromSystem();
};

class TkvSetup {
public:
    explicit TkvSetup(TkvSetupEnvironment env);
    TkvSetup(const TkvSetup&) = delete;
    TkvSetup& operator=(const TkvSetup&) = delete;

    static constexpr int PrepareSteps = 6;

    TkvSetupState State = ssPreparing;
    QString TempFolder;           // private to this run, with a trailing separator
    QString DefaultProgramFolder; // with a trailing separator
    QString LicenseText;
    QString FailReason;
    // Every folder created and file written, in order, to undo a failed run.
    QStringList Created;
    TkvMacroList Macros;
    int LineCount = 0;

    // Reports from the work, for the window or the console.
    std::function<void(int position)> OnPrepareStep;
    std::function<void(const QString& target)> OnTarget;
    std::function<void(int position, int count)> OnCopyStep;
    std::function<void(const QString& status)> OnStatus;
    // Called between steps: the window repaints and may ask to stop.
    std::function<void()> OnIdle;

    const TkvSetupEnvironment& Environment() const { return FEnv; }

    // False with FailReason set when the temporary folder cannot be created.
    bool Prepare();
    // The four folders, as the folders page holds them.
    void SetFolders(const QString& program, const QString& project, const QString& backup, const QString& templ);
    // Writes the file list's folders and files; false with FailReason set.
    bool CopyFiles();
    // [PATHS] of the installed App file, shortcuts and file types. What
    // fails here is not reported, as shortcuts are a convenience.
    void Configure();
    // The stop question answered Yes during the copying.
    void RequestStop() { State = ssStopping; }
    void Fail(const QString& reason);
    // The clean-up of a closing installer: the temporary folder goes, and
    // after a failure every file written (the folders stay).
    void Close();

    QString ProgramFile() const;
    QString ResourcePath(const QString& kind, const QString& name) const;

private:
    bool CopyLine(const QString& line);
    void idle() const
    {
        if (OnIdle)
            OnIdle();
    }

    TkvSetupEnvironment FEnv;
    bool FClosed = false;
};
