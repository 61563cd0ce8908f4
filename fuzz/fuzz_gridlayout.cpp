// A project's grid layout section on arbitrary bytes: it is read or refused
// with the system's error, and what is read writes a section that reads back
// the same.

#include "kvProject.h"
#include "qxErrors.h"

#include <cstdlib>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QStringList names{u"序号"_s, u"施工地点"_s, u"项目类别"_s, u"项目名称"_s, u"单位"_s,
                                   u"数量"_s, u"单价"_s, u"金额"_s, u"备注"_s};
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<TColumnLayout> columns;
    try {
        columns = ParseGridLayout(bytes, names);
    } catch (const Exception&) {
        return 0;
    }
    for (TColumnLayout& c : columns)
        if (!c.Visible)
            c.Width = -1; // a hidden column's width is not kept
    const QList<TColumnLayout> again = ParseGridLayout(FormatGridLayout(columns), names);
    if (again.size() != columns.size())
        std::abort();
    for (qsizetype i = 0; i < again.size(); ++i)
        if (again[i].FieldName != columns[i].FieldName || again[i].Visible != columns[i].Visible ||
            again[i].Width != columns[i].Width)
            std::abort();
    return 0;
}
