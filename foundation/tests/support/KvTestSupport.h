#pragma once
// Helpers shared by the tests of every library.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace KvTest {

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// Copies a folder with everything in it (a fresh copy of the pristine stage).
inline void CopyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QDir().mkpath(to);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(dst);
        else
            QFile::copy(src, dst);
    }
}

// Makes every write of this process beyond maxBytes fail, the way a full disk
// does, for as long as the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long maxBytes)
    {
#ifdef Q_OS_UNIX
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit lim = FOld;
        lim.rlim_cur = rlim_t(maxBytes);
        setrlimit(RLIMIT_FSIZE, &lim);
#else
        Q_UNUSED(maxBytes);
#endif
    }
    ~FileSizeLimit()
    {
#ifdef Q_OS_UNIX
        setrlimit(RLIMIT_FSIZE, &FOld);
#endif
    }

private:
#ifdef Q_OS_UNIX
    rlimit FOld{};
#endif
};

} // namespace KvTest
