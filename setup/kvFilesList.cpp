#include "kvFilesList.h"

#include <QDir>

using namespace Qt::StringLiterals;

TkvMacroList::TkvMacroList()
{
    // Only the expansion is borrowed; nothing is ever read or written back.
    FExpander.WriteBackOnFree = false;
}

QString TkvMacroList::WithSeparator(const QString& folder)
{
    if (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder;
    return folder + QDir::separator();
}

void TkvMacroList::SetFolder(const QString& name, const QString& folder)
{
    FExpander.Paths.SetValue(name, WithSeparator(QDir::toNativeSeparators(folder)));
}

std::optional<TkvFileEntry> ParseFileListLine(const QString& line, const TkvMacroList& macros)
{
    const QString text = line.trimmed();
    if (text.isEmpty() || text.startsWith(u';'))
        return std::nullopt;
    const qsizetype gt = text.indexOf(u'>');
    if (gt < 0)
        return std::nullopt;
    const QString kind = text.left(gt + 1);
    const QString rest = macros.Expand(text.mid(gt + 1));
    TkvFileEntry entry;
    if (kind.compare(u"<DIR>"_s, Qt::CaseInsensitive) == 0) {
        entry.kind = TkvFileEntry::Dir;
        entry.path = rest;
        return entry;
    }
    if (kind.compare(u"<FILE>"_s, Qt::CaseInsensitive) == 0) {
        entry.kind = TkvFileEntry::File;
        entry.name = TNameValueList::NameOf(rest);
        entry.path = TNameValueList::ValueOf(rest);
        return entry;
    }
    return std::nullopt;
}
