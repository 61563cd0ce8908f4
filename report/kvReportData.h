#pragma once
// What a report is made of: plain rows and values, copied out of the project
// when the report is prepared. The engine never sees a table, a window or the
// configuration, so a report can be prepared anywhere (window, kvtool, bench).

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <utility>

// The rows of one report data set, under the field names the templates use.
struct TkvReportRows {
    QStringList Fields;
    QList<QVariantList> Rows; // each row holds one value per field, in field order

    int FieldIndex(const QString& name) const { return int(Fields.indexOf(name)); }
    QVariant Value(qsizetype row, int field) const
    {
        return field >= 0 && field < Rows[row].size() ? Rows[row][field] : QVariant();
    }
};

// The names under which the templates address the data sets.
namespace ReportData {
inline const QString Budget = QStringLiteral("kvYssDS_Main");
inline const QString Fees = QStringLiteral("kvQfbDS");
inline const QString Information = QStringLiteral("工程信息");
// Fields of the information data set: one record per entry of the list.
inline const QString InfoItem = QStringLiteral("工程信息项目");
inline const QString InfoContent = QStringLiteral("工程信息内容");
inline const QString Remarks = QStringLiteral("备注");
} // namespace ReportData

struct TkvReportData {
    TkvReportRows Budget;                          // kvYssDS_Main: the rows the budget report prints
    TkvReportRows Fees;                            // kvQfbDS
    QList<std::pair<QString, QString>> Information; // the project-information entries, in order
    QString Remarks;                               // the remarks text, lines joined by line breaks
    // Company values: the [Variant] value of a name, or a null variant when
    // there is none. They win over information entries of the same name.
    std::function<QVariant(const QString& name)> Variant;
    // Turns a configured picture path (with its macros) into a file name.
    std::function<QString(const QString& path)> ExpandPath;

    // The value request of the templates for a name that is no field of the
    // row being printed: a company value, else the information entry of that
    // name (names compare without regard to Latin letter case), else null.
    QVariant NamedValue(const QString& name) const;
};
