// The history file on arbitrary bytes: reading, the menu captions and adding
// a project never crash, and a project added is on top with the list no
// longer than its limit.

#include "kvHistoryList.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString file = dir.filePath(u"History.lst"_s);
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        out.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TkvHistoryList history;
    history.LoadFromFile(file);
    // Every other path is taken as gone, so dropping is exercised too.
    const QStringList captions = history.MenuCaptions([](const QString& path) { return path.size() % 2 == 0; });
    for (qsizetype i = 0; i < captions.size(); ++i)
        if (history.PathOfCaption(captions.at(i)) != history.PathOf(i))
            std::abort();
    const QString path = u"/home/kv/工程/新工程.KVP"_s;
    history.Add(u"新工程"_s, path);
    if (history.PathOf(0) != path || history.Count() > TkvHistoryList::MaxCount)
        std::abort();
    history.Remove(path.toUpper());
    for (qsizetype i = 0; i < history.Count(); ++i)
        if (history.PathOf(i).compare(path, Qt::CaseInsensitive) == 0)
            std::abort();
    return 0;
}
