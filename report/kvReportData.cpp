#include "kvReportData.h"

QVariant TkvReportData::NamedValue(const QString& name) const
{
    if (Variant) {
        if (QVariant v = Variant(name); !v.isNull())
            return v;
    }
    for (const auto& [key, value] : Information)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    if (name == ReportData::Remarks)
        return Remarks;
    return QVariant();
}
