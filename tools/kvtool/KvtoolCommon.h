#pragma once
// What every kvtool subcommand shares: UTF-8 output and the exit codes.

#include <QString>
#include <QStringList>

class TqxField;

namespace Kvtool {

enum Exit : int { Ok = 0, Failed = 1, Usage = 2 };

void Out(const QString& text);  // writes text and a line feed to standard output
void Err(const QString& text);  // the same to standard error
int UsageError(const QString& usage);

// A field's value as the tools print it: empty for null, the shortest exact
// text for doubles and money, True/False for booleans.
QString FieldText(const TqxField* field);

// Subcommands; each gets the arguments after its own name.
int RunKvfile(const QStringList& args);
int RunCalc(const QStringList& args);
int RunTable(const QStringList& args);
int RunBudget(const QStringList& args);
int RunReport(const QStringList& args);

} // namespace Kvtool
