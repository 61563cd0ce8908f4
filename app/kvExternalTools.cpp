#include "kvExternalTools.h"

#include "AppClasses.h"
#include "kvShortCut.h"
#include "qxFileSystem.h"
#include "qxTextFile.h"

#include <QAction>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

// Takes the text before the first separator into field and drops it and the
// separator from rest; without the separator both stay as they are.
void takeField(QString& rest, QChar separator, QString& field)
{
    const qsizetype at = rest.indexOf(separator);
    if (at < 0)
        return;
    field = rest.left(at);
    rest.remove(0, at + 1);
}

} // namespace

TExternalProgram ParseToolLine(const QString& line)
{
    TExternalProgram tool;
    QString rest = line;
    takeField(rest, u'=', tool.Title);
    takeField(rest, u'|', tool.Program);
    takeField(rest, u'|', tool.ShortCut);
    takeField(rest, u'|', tool.Reserved);
    tool.Description = rest;
    return tool;
}

QString FormatToolLine(const TExternalProgram& tool)
{
    return tool.Title + u'=' + tool.Program + u'|' + tool.ShortCut + u'|' + tool.Reserved + u'|' + tool.Description;
}

TToolCommandLine ToolCommandLine(const QString& line, const TAppGlobalInfo& info)
{
    TToolCommandLine command;
    const QStringList parts = QProcess::splitCommand(ParseToolLine(line).Program);
    if (parts.isEmpty())
        return command;
    command.Program = info.ExpandMacros(parts.first());
    // A configured path ("[程序]calc.exe" is "…\Bin\calc.exe") needs the
    // native form; a bare name is looked up on the search path as it stands.
    if (command.Program.contains(u'/') || command.Program.contains(u'\\'))
        command.Program = FileSystem::NativePath(command.Program);
    for (qsizetype i = 1; i < parts.size(); ++i)
        command.Arguments.append(info.ExpandMacros(parts.at(i)));
    return command;
}

void LaunchTool(const QStringList& lines, int index, const TAppGlobalInfo& info)
{
    if (index < 0 || index >= lines.size())
        return;
    const TToolCommandLine command = ToolCommandLine(lines.at(index), info);
    if (!command.Program.isEmpty())
        QProcess::startDetached(command.Program, command.Arguments);
}

TkvToolList::~TkvToolList()
{
    // The commands belong to their owner, which may outlive the list.
}

void TkvToolList::LoadFromFile(const QString& fileName)
{
    Lines.clear();
    if (!FileSystem::FileExists(fileName))
        return;
    for (const QString& line : TextFile::ReadLines(fileName))
        if (!line.isEmpty())
            Lines.append(line);
}

void TkvToolList::SaveToFile(const QString& fileName) const
{
    TextFile::WriteLines(fileName, Lines);
}

void TkvToolList::BuildCommands(QObject* owner, std::function<void(int)> launch)
{
    for (const QPointer<QAction>& command : std::as_const(FCommands))
        delete command.data();
    FCommands.clear();
    for (int i = 0; i < Lines.size(); ++i) {
        const TExternalProgram tool = ParseToolLine(Lines.at(i));
        auto* command = new QAction(tool.Title, owner);
        command->setData(i);
        command->setShortcut(TextToShortCut(tool.ShortCut));
        QObject::connect(command, &QAction::triggered, command, [launch, i] {
            if (launch)
                launch(i);
        });
        FCommands.append(command);
    }
}

QList<QAction*> TkvToolList::Commands() const
{
    QList<QAction*> commands;
    for (const QPointer<QAction>& command : FCommands)
        if (command)
            commands.append(command.data());
    return commands;
}
