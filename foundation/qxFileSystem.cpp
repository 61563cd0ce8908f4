#include "qxFileSystem.h"

#include "qxErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace FileSystem {

namespace {

QString withNativeSeparators(const QString& path)
{
#ifdef Q_OS_WIN
    return path;
#else
    QString p = path;
    p.replace(u'\\', u'/');
    return p;
#endif
}

// Finds an existing path that equals the given one without regard to case,
// component by component; components that cannot be matched stay as written.
QString resolveCase(const QString& path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::KeepEmptyParts);
    QString current = absolute ? u"/"_s : QString();
    bool matching = true;
    for (qsizetype i = absolute ? 1 : 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        const bool last = i == parts.size() - 1;
        QString next = part;
        if (matching && !part.isEmpty() && part != u"."_s && part != u".."_s) {
            const QString dirPath = current.isEmpty() ? u"."_s : current;
            if (!QFileInfo::exists(current + part)) {
                const QStringList entries =
                    QDir(dirPath).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
                auto it = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
                    return e.compare(part, Qt::CaseInsensitive) == 0;
                });
                if (it != entries.end())
                    next = *it;
                else
                    matching = false;
            }
        }
        current += next;
        if (!last)
            current += u'/';
    }
    return current;
}

} // namespace

QString NativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return path;
#else
    return resolveCase(withNativeSeparators(path));
#endif
}

bool FileExists(const QString& path)
{
    const QFileInfo info(NativePath(path));
    return info.exists() && !info.isDir();
}

bool DirectoryExists(const QString& path)
{
    return QFileInfo(NativePath(path)).isDir();
}

QByteArray ReadFile(const QString& path)
{
    QFile f(NativePath(path));
    if (!f.open(QIODevice::ReadOnly))
        throw EFileError(u"无法打开文件 "_s + path + u"："_s + f.errorString());
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw EFileError(u"读取文件 "_s + path + u" 失败："_s + f.errorString());
    return data;
}

void WriteFileAtomic(const QString& path, const QByteArray& data)
{
    // QSaveFile is not used: it reports a write cut short by a full disk or a
    // size limit as success. Here the written size is checked on disk before
    // the temporary file replaces the target.
    const QString target = NativePath(path);
    const QFileInfo info(target);
    auto fail = [&](const QString& why) { return EFileError(u"写入文件 "_s + path + u" 失败："_s + why); };
    QTemporaryFile tmp(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX"_s);
    if (!tmp.open())
        throw EFileError(u"无法创建文件 "_s + path + u"："_s + tmp.errorString());
    bool ok = tmp.write(data) == data.size() && tmp.flush();
#ifdef Q_OS_UNIX
    ok = ok && ::fsync(tmp.handle()) == 0;
#endif
    ok = ok && QFileInfo(tmp.fileName()).size() == data.size();
    if (!ok)
        throw fail(tmp.error() != QFileDevice::NoError ? tmp.errorString() : u"磁盘空间不足或文件过大"_s);
    tmp.setPermissions(info.exists() ? QFile::permissions(target)
                                     : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    tmp.close();
    std::error_code ec;
#ifdef Q_OS_WIN
    std::filesystem::rename(tmp.fileName().toStdWString(), target.toStdWString(), ec);
#else
    std::filesystem::rename(QFile::encodeName(tmp.fileName()).toStdString(), QFile::encodeName(target).toStdString(), ec);
#endif
    if (ec)
        throw fail(QString::fromLocal8Bit(ec.message()));
    tmp.setAutoRemove(false);
}

} // namespace FileSystem
