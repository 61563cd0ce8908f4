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

// A field's value as the tools print it: empty for null, numbers in the
// general format (money with at most 4 decimals), True/False for booleans.
QString FieldText(const TqxField* field);

// Called once with a subcommand's exit code when it is done: output that did
// not all reach standard output (a full disk, /dev/full, a closed pipe) turns
// any result into a failure with a message, so a cut CSV never looks whole.
int FinishOutput(int code);

// Subcommands; each gets the arguments after its own name.
int RunKvfile(const QStringList& args);
int RunCalc(const QStringList& args);
int RunTable(const QStringList& args);
int RunBudget(const QStringList& args);
int RunReport(const QStringList& args);

} // namespace Kvtool
