// The table packet reader on arbitrary bytes: it must never crash, never read
// outside the input, leave nothing behind when it refuses, and what it
// accepts must save to a packet that reads back to the same table.

#include "qxDataSet.h"
#include "qxErrors.h"

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// Drives what a window does with a table it has loaded.
void exercise(TqxDataSet& t)
{
    for (int f = 0; f < t.FieldCount(); ++f) {
        TqxField* field = t.Fields(f);
        try {
            t.SetIndexFieldNames(field->FieldName());
        } catch (const Exception&) {
            // names may hold ";" and so name no field
        }
        for (t.First(); !t.Eof(); t.Next()) {
            field->AsString();
            field->DisplayText();
            field->AsVariant();
        }
        t.First();
        if (!t.IsEmpty()) {
            try {
                t.Locate(field->FieldName(), field->AsVariant(), loPartialKey | loCaseInsensitive);
            } catch (const Exception&) {
            }
        }
    }
    try {
        t.SetFilter(t.Fields(0)->FieldName() + u"<>''"_s);
        t.SetFiltered(true);
    } catch (const Exception&) {
    }
    t.SetIndexFieldNames(QString());
    t.SetFiltered(false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TqxDataSet first;
    try {
        first.LoadFromBytes(bytes, u"fuzz"_s);
    } catch (const Exception&) {
        if (first.Active() || first.FieldCount() != 0)
            std::abort(); // a damaged packet must leave nothing behind
        return 0;
    }
    // One save normalises what other writers may write differently; from
    // then on load and save are exact.
    const QByteArray saved = first.SaveToBytes();
    TqxDataSet second;
    second.LoadFromBytes(saved, u"fuzz"_s);
    if (second.RecordCount() != first.RecordCount() || second.FieldCount() != first.FieldCount())
        std::abort();
    const QByteArray again = second.SaveToBytes();
    if (again != saved)
        std::abort();
    exercise(second);
    if (second.SaveToBytes() != saved)
        std::abort();
    return 0;
}
