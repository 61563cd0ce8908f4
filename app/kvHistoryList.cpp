#include "kvHistoryList.h"

#include "qxFileSystem.h"
#include "qxTextFile.h"

using namespace Qt::StringLiterals;

void TkvHistoryList::Remove(const QString& path)
{
    for (qsizetype i = FEntries.Count() - 1; i >= 0; --i)
        if (FEntries.ValueFromIndex(i).compare(path, Qt::CaseInsensitive) == 0)
            FEntries.Delete(i);
}

void TkvHistoryList::Add(const QString& projectName, const QString& path)
{
    Remove(path);
    QStringList lines = FEntries.Lines();
    lines.prepend(projectName + u'=' + path);
    while (lines.size() > MaxCount)
        lines.removeLast();
    FEntries.SetLines(std::move(lines));
}

void TkvHistoryList::LoadFromFile(const QString& fileName)
{
    if (!FileSystem::FileExists(fileName))
        return;
    FEntries.SetLines(TextFile::ReadLines(fileName));
}

void TkvHistoryList::SaveToFile(const QString& fileName) const
{
    TextFile::WriteLines(fileName, FEntries.Lines());
}

QStringList TkvHistoryList::MenuCaptions(const std::function<bool(const QString&)>& fileExists)
{
    QStringList captions;
    qsizetype i = 0;
    while (i < FEntries.Count()) {
        const QString path = FEntries.ValueFromIndex(i);
        if (!fileExists(path)) {
            FEntries.Delete(i);
            continue;
        }
        captions.append(QString::number(i + 1) + u". "_s + FEntries.Name(i) + u" ["_s + path + u']');
        ++i;
    }
    return captions;
}

QStringList TkvHistoryList::MenuCaptions()
{
    return MenuCaptions([](const QString& path) { return FileSystem::FileExists(path); });
}

QString TkvHistoryList::PathOfCaption(const QString& caption) const
{
    const qsizetype dot = caption.indexOf(u". "_s);
    if (dot <= 0)
        return QString();
    bool ok = false;
    const int n = caption.left(dot).toInt(&ok);
    if (!ok || n < 1 || n > FEntries.Count())
        return QString();
    return FEntries.ValueFromIndex(n - 1);
}
