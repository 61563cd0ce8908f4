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
QByteArray ReadFile(const QString& path);

// Writes through a temporary file beside the target that is renamed over it,
// so a failed or interrupted write leaves the previous file as it was.
// Throws EFileError naming the file on failure.
void WriteFileAtomic(const QString& path, const QByteArray& data);

} // namespace FileSystem
