#pragma once
// Line files of the system (history, tools list, tips): GBK on disk, CR LF
// when written, any line end accepted when read.

#include <QString>
#include <QStringList>

namespace TextFile {

// The lines of the file; a final line end adds no empty line. Throws
// EFileError naming the file when it cannot be read.
QStringList ReadLines(const QString& path);

// Replaces the file through a temporary file beside it; throws EFileError
// naming the file when it cannot be written.
void WriteLines(const QString& path, const QStringList& lines);

} // namespace TextFile
