// The container loader on arbitrary bytes: it must never crash, never read
// outside the input, and what it accepts must save and load back the same.

#include "KavelinFiles.h"
#include "qxErrors.h"

#include <cstdlib>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TKVFile first;
    try {
        if (!first.LoadFromBytes(bytes, u"fuzz"_s))
            return 0;
    } catch (const Exception&) {
        if (first.LineCount() != 0)
            std::abort(); // a damaged file must leave nothing behind
        return 0;
    }
    // One save normalises the text; from then on load and save are exact.
    TKVFile second;
    second.LoadFromBytes(first.ToBytes(), u"fuzz"_s);
    const QByteArray saved = second.ToBytes();
    TKVFile third;
    third.LoadFromBytes(saved, u"fuzz"_s);
    if (third.HeaderLines() != second.HeaderLines() || third.ToBytes() != saved)
        std::abort();
    return 0;
}
