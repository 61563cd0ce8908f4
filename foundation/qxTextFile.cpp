#include "qxTextFile.h"

#include "GbkText.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"

namespace TextFile {

QStringList ReadLines(const QString& path)
{
    return TqxIniFile::SplitLines(Gbk::Decode(FileSystem::ReadFile(path)));
}

void WriteLines(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        Gbk::AppendEncoded(bytes, line);
        bytes.append("\r\n", 2);
    }
    FileSystem::WriteFileAtomic(path, bytes);
}

} // namespace TextFile
