#pragma once
// Shortcuts and file types the freedesktop way: ".desktop" entries on the
// desktop, in the applications menu and in autostart, and a shared-mime-info
// package that gives the project files their type.

#include <QString>
#include <QStringList>

// The user's folders an installation writes into. Taken from the environment
// by the program entry; tests give their own.
struct TkvDesktopFolders {
    QString Home;
    QString DataHome;   // $XDG_DATA_HOME, else ~/.local/share
    QString ConfigHome; // $XDG_CONFIG_HOME, else ~/.config
    QString Desktop;    // `xdg-user-dir DESKTOP`, else ~/Desktop

    static TkvDesktopFolders FromEnvironment();
    // The same folders under another home, as a fresh account has them.
    static TkvDesktopFolders ForHome(const QString& home);
};

// Where a shortcut goes: 0 desktop, 1 start menu and 2 programs (both the
// applications menu), 3 autostart, 4 quick launch (nothing on this platform).
enum TkvShortcutKind { skDesktop = 0, skStartMenu = 1, skPrograms = 2, skStartup = 3, skQuickLaunch = 4 };

// Writes a ".desktop" entry that starts target. The entry's file name is the
// link name (the target's name when empty) and its comment the description
// (the link name when empty). With a subfolder, the menu entries gather in a
// menu of that name. With MIME types the entry opens such files, passing the
// file as the first argument. False when the folder or the entry cannot be
// written, and for the quick launch.
bool CreateShortcut(const TkvDesktopFolders& folders, const QString& target, const QString& linkName,
                    const QString& description, int kind, const QString& subfolder,
                    const QStringList& mimeTypes = {}, const QString& icon = {});

// The path of the entry CreateShortcut writes for these arguments.
QString ShortcutPath(const TkvDesktopFolders& folders, const QString& target, const QString& linkName, int kind,
                     const QString& subfolder);

// The MIME types of the product's files.
inline constexpr char16_t kMimeProject[] = u"application/x-kavelin-project";
inline constexpr char16_t kMimeTemplate[] = u"application/x-kavelin-template";
inline constexpr char16_t kMimeBackup[] = u"application/x-kavelin-backup";

// The shared-mime-info package of ".KVP", ".KVT" and ".KVB".
QByteArray MimePackage();

// Writes the package into the user's MIME folder, refreshes the MIME database
// and makes the desktop entry the default for projects and templates, each
// tool only when it is installed. False when the package cannot be written.
bool RegisterFileTypes(const TkvDesktopFolders& folders, const QString& desktopEntry);
