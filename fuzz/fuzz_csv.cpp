// kvtool's CSV reader on arbitrary text: it reads or refuses with the
// system's error, and records written back read back the same.

#include "Csv.h"
#include "qxErrors.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    std::vector<Csv::Record> records;
    try {
        records = Csv::Parse(text);
    } catch (const Exception&) {
        return 0;
    }
    QString written;
    for (const Csv::Record& r : records) {
        if (r.line < 1)
            std::abort();
        written += Csv::Line(r.fields) + u'\n';
    }
    const std::vector<Csv::Record> again = Csv::Parse(written);
    if (again.size() != records.size())
        std::abort();
    for (size_t i = 0; i < again.size(); ++i)
        if (again[i].fields != records[i].fields)
            std::abort();
    return 0;
}
