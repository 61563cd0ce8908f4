#include "qxFileSystem.h"

#include "qxErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <csignal>
#include <filesystem>
#include <limits>
#include <system_error>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
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

std::filesystem::path fsPath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

bool isRegularFile(const QString& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(fsPath(path), ec);
}

// The file a symbolic link finally names, so that saving through a link
// replaces the real file (beside which the temporary file is written) and
// the link stays a link.
QString followLinks(const QString& path)
{
    QString p = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(p);
        if (!info.isSymLink())
            return p;
        const QString next = info.symLinkTarget();
        if (next.isEmpty())
            return p;
        p = next;
    }
    return p; // a loop of links: the rename reports it
}

// Whether the permission bits let this user write the file. The kernel's own
// check is not enough: the rename never opens the target, and root passes
// the check whatever the bits say.
bool writeAllowed(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return true; // gone meanwhile: nothing to protect
    if (::geteuid() == 0)
        return (st.st_mode & 0222) != 0;
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
#else
    return QFileInfo(path).isWritable();
#endif
}

// Gives the temporary file the mode of the file it replaces (and its owner
// and group where the system allows), or the usual mode of a new file.
void keepMode(QTemporaryFile& tmp, const QString& replaced)
{
    if (replaced.isEmpty()) {
        tmp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        return;
    }
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(replaced).constData(), &st) == 0) {
        // Owner first: changing it clears the set-id bits the mode restores.
        // Another user's file cannot be given away by a plain user; it then
        // becomes this user's, as any editor that saves by renaming does.
        const bool owned =
            ::fchown(tmp.handle(), st.st_uid, st.st_gid) == 0 || ::fchown(tmp.handle(), uid_t(-1), st.st_gid) == 0;
        Q_UNUSED(owned);
        if (::fchmod(tmp.handle(), st.st_mode & 07777) == 0)
            return;
    }
#endif
    tmp.setPermissions(QFile::permissions(replaced));
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
    const QString native = NativePath(path);
    // Checked before opening: opening a pipe waits for a writer, and a device
    // such as /dev/zero never ends.
    const QFileInfo info(native);
    if (info.exists() && !isRegularFile(native))
        throw EFileError(u"无法打开文件 "_s + path + u"：它不是普通文件。"_s);
    QFile f(native);
    if (!f.open(QIODevice::ReadOnly))
        throw EFileError(u"无法打开文件 "_s + path + u"："_s + f.errorString());
    if (!isRegularFile(native)) // replaced between the check and the opening
        throw EFileError(u"无法打开文件 "_s + path + u"：它不是普通文件。"_s);
    const qint64 size = f.size();
    if (size < 0 || size >= qint64(std::numeric_limits<qsizetype>::max() / 2))
        throw EFileError(u"读取文件 "_s + path + u" 失败：文件太大。"_s);
    QByteArray data = f.read(size);
    if (f.error() != QFileDevice::NoError)
        throw EFileError(u"读取文件 "_s + path + u" 失败："_s + f.errorString());
    return data;
}

void WriteFileAtomic(const QString& path, const QByteArray& data)
{
    // QSaveFile is not used: it reports a write cut short by a full disk or a
    // size limit as success. Here the written size is checked on disk before
    // the temporary file replaces the target.
    auto fail = [&](const QString& why) { return EFileError(u"写入文件 "_s + path + u" 失败："_s + why); };
    const QString target = followLinks(NativePath(path));
    const QFileInfo info(target);
    const bool exists = info.exists();
    if (exists) {
        if (info.isDir())
            throw fail(u"这是一个文件夹。"_s);
        if (!writeAllowed(target))
            throw fail(u"文件是只读的。"_s);
        std::error_code ec;
        if (std::filesystem::hard_link_count(fsPath(target), ec) > 1 && !ec)
            throw fail(u"文件还有其他硬链接的名称，替换它会使这些名称不再指向同一个文件；请先把它复制为独立的文件。"_s);
    }
    QTemporaryFile tmp(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX"_s);
    if (!tmp.open())
        throw EFileError(u"无法创建文件 "_s + path + u"："_s + tmp.errorString());
    // Whatever the system calls it (EFBIG, ENOSPC, or "Unknown error" from a
    // buffered write), a write that does not land whole is a full disk or
    // the size limit to the user.
    bool ok = tmp.write(data) == data.size() && tmp.flush();
#ifdef Q_OS_UNIX
    ok = ok && ::fsync(tmp.handle()) == 0;
#endif
    ok = ok && QFileInfo(tmp.fileName()).size() == data.size();
    if (!ok)
        throw fail(u"磁盘空间不足或文件过大"_s);
    keepMode(tmp, exists ? target : QString());
    tmp.close();
    std::error_code ec;
    std::filesystem::rename(fsPath(tmp.fileName()), fsPath(target), ec);
    if (ec)
        throw fail(QString::fromLocal8Bit(ec.message()));
    tmp.setAutoRemove(false);
}

void IgnoreFileSizeSignal()
{
#ifdef Q_OS_UNIX
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace FileSystem
