#pragma once
// The recently used projects: "name=path" lines, most recently closed first,
// at most MaxCount. The file is GBK with CR LF like every text file of the
// system. Nothing here knows a widget; the main window builds its menus from
// MenuCaptions.

#include "qxStrings.h"

#include <QString>
#include <QStringList>
#include <functional>

class TkvHistoryList {
public:
    static constexpr int MaxCount = 20;

    const TNameValueList& Entries() const { return FEntries; }
    qsizetype Count() const { return FEntries.Count(); }
    QString PathOf(qsizetype i) const { return FEntries.ValueFromIndex(i); }

    // Drops every entry of the path; paths compare without regard to case.
    void Remove(const QString& path);
    // Puts the project on top; older entries beyond MaxCount fall off.
    void Add(const QString& projectName, const QString& path);

    // A missing file leaves the list as it is.
    void LoadFromFile(const QString& fileName);
    // Throws EFileError naming the file when it cannot be written.
    void SaveToFile(const QString& fileName) const;

    // The captions of a history menu, "n. name [path]". Entries whose file no
    // longer exists are dropped from the list on the way, so the numbers are
    // the positions after dropping. Empty when nothing is left.
    QStringList MenuCaptions(const std::function<bool(const QString&)>& fileExists);
    QStringList MenuCaptions();

    // The path behind a caption built by MenuCaptions; empty when the caption
    // names no entry.
    QString PathOfCaption(const QString& caption) const;

private:
    TNameValueList FEntries;
};
