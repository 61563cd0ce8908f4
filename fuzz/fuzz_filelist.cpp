// The installer's file list on arbitrary text, its folder macros taken from
// the input too: the first line is "NAME=folder" lines joined by "|", the
// rest is the list. Reading never crashes nor hangs, however the macros
// name each other.

#include "kvFilesList.h"

#include <cstdlib>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype eol = text.indexOf(u'\n');
    TkvMacroList macros;
    macros.SetFolder(u"PROGRAM"_s, u"/opt/kavelin"_s);
    macros.SetFolder(u"PROJECT"_s, u"/home/kv/工程/"_s);
    for (const QString& pair : text.left(eol < 0 ? 0 : eol).split(u'|', Qt::SkipEmptyParts))
        macros.SetFolder(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    const TkvMacroList copy = macros;
    for (const QString& line : text.mid(eol + 1).split(u'\n')) {
        const std::optional<TkvFileEntry> entry = ParseFileListLine(line, copy);
        if (entry && entry->kind == TkvFileEntry::Dir && !entry->name.isEmpty())
            std::abort();
    }
    return 0;
}
