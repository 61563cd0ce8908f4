// The tools file's lines and their shortcut texts on arbitrary text: parsing
// never crashes, a parsed line formats and parses back the same, and a
// shortcut read from text writes a text that reads back the same key.

#include "kvExternalTools.h"
#include "kvShortCut.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& line : text.split(u'\n')) {
        const TExternalProgram tool = ParseToolLine(line);
        if (ParseToolLine(FormatToolLine(tool)) != tool)
            std::abort();
        for (const QString& shortcut : {tool.ShortCut, line}) {
            const QKeySequence key = TextToShortCut(shortcut);
            if (key.isEmpty())
                continue;
            const QString written = ShortCutToText(key);
            if (written.isEmpty() || TextToShortCut(written) != key || ShortCutToText(TextToShortCut(written)) != written)
                std::abort();
        }
    }
    return 0;
}
