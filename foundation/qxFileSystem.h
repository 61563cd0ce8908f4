#pragma once
// The one place where configured paths meet the file system.
//
// Configured paths are written the Windows way ("[App]IniFiles\Setup.ini") and
// shipped names differ in letter case between the App file and the disk. Every
// file access of the system goes through NativePath, which turns backslashes
// into the native separator and, when the exact path does not exist, finds
// each component without regard to letter case.

#include <QByteArray>
#include <QString>

namespace FileSystem {

QString NativePath(const QString& path);
bool FileExists(const QString& path);
bool DirectoryExists(const QString& path);

// Whole-file read; throws EFileError naming the file when it cannot be read.
// Only regular files are read, and never more than the size the file had when
// it was opened: a device or a pipe named by mistake is refused, not drained.
QByteArray ReadFile(const QString& path);

// Writes through a temporary file beside the target that is renamed over it,
// so a failed or interrupted write leaves the previous file as it was.
// The rename would go around the target's permission bits, so a target whose
// bits forbid writing is refused; a replaced file keeps its mode (and, where
// allowed, its owner). A symbolic link is saved through to the file it names.
// A file with other hard-linked names is refused: renaming over one name
// would silently part it from the others.
// Throws EFileError naming the file on failure; a write cut short says
// "磁盘空间不足或文件过大".
void WriteFileAtomic(const QString& path, const QByteArray& data);

// Called first thing in every program's main: a write beyond the file-size
// limit then fails with a message instead of the SIGXFSZ signal ending the
// program before it can say anything.
void IgnoreFileSizeSignal();

} // namespace FileSystem
