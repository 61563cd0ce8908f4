#pragma once
// The external tools of the Tools menu: one tool per line of the tools file,
//   title=program|shortcut|reserved|description
// The main window keeps the lines in a TkvToolList, makes one command per
// line and starts a tool by its position. Nothing here knows a widget; the
// menu itself is built by BuildToolsMenu (kvToolsMenu.h).

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QObject;
class TAppGlobalInfo;

struct TExternalProgram {
    QString Title;       // menu caption and list title
    QString Description; // free text, may hold anything
    QString Program;     // the command line; may hold path macros ("[App]Restorix")
    QString ShortCut;    // shortcut text ("Ctrl+B"); empty for none
    QString Reserved;    // read from the file, never shown, written empty by the dialogs

    bool operator==(const TExternalProgram&) const = default;
};

// A field whose separator is missing stays empty: "标题=说明" is a tool with
// no program whose description is "说明".
TExternalProgram ParseToolLine(const QString& line);
QString FormatToolLine(const TExternalProgram& tool);

// The program and arguments a tool line starts, path macros expanded. The
// command is split before the macros are expanded, so that a folder with a
// blank in its name ("[App]" under "/home/me/My Apps") stays one argument.
struct TToolCommandLine {
    QString Program;
    QStringList Arguments;
};
TToolCommandLine ToolCommandLine(const QString& line, const TAppGlobalInfo& info);

// Starts tool index of the list without waiting, parsing its line afresh.
// Whether the program started is neither checked nor reported.
void LaunchTool(const QStringList& lines, int index, const TAppGlobalInfo& info);

class TkvToolList {
public:
    TkvToolList() = default;
    ~TkvToolList();
    TkvToolList(const TkvToolList&) = delete;
    TkvToolList& operator=(const TkvToolList&) = delete;

    // The lines of the tools file, in order.
    QStringList Lines;

    // GBK text with CR LF line ends. A missing file gives an empty list;
    // blank lines carry no tool and are dropped. An unreadable file throws
    // EFileError.
    void LoadFromFile(const QString& fileName);
    // Written atomically; throws EFileError naming the file on failure.
    void SaveToFile(const QString& fileName) const;

    // Discards the commands made for the previous list and makes one per
    // line, owned by owner (the main window): caption the line's title, data
    // its position, shortcut the line's shortcut text. Triggering command i
    // calls launch(i). The owner should also carry the commands itself
    // (QWidget::addActions) so that their shortcuts act while no menu shows.
    void BuildCommands(QObject* owner, std::function<void(int)> launch);
    // The commands of BuildCommands, one per line in list order.
    QList<QAction*> Commands() const;

private:
    QList<QPointer<QAction>> FCommands;
};
