#pragma once
// Where the project meets the reports: the one place that copies a project's
// budget, fee table, information and remarks into report data, and knows
// which template serves which report. The project window and kvtool both
// prepare their reports through it.

#include "kvReportData.h"

#include <QString>
#include <QStringList>

class TAppGlobalInfo;
class TkvYssDataSet;
class TkvQfbDataSet;
class kvProject;

enum class TkvReportPage { Cover, ProjectInfo, Budget, Fees };

namespace ProjectReport {

// The App-file key of the template of a report; the budget's depends on the
// group field of the view ("" / "项目类别" / "施工地点").
QString TemplateKey(TkvReportPage page, const QString& groupField = QString());

// The rows of the budget the report prints: named item rows only (group
// heads, subtotals and nameless rows are left out), in the table's current
// order. Read through a filtered clone, so the table and its grid never see
// the filter.
TkvReportRows BudgetRows(TkvYssDataSet& budget);
TkvReportRows FeeRows(TkvQfbDataSet& fees);
// "key=value" lines of the information section, in order.
QList<std::pair<QString, QString>> InformationRows(const QStringList& lines);

TkvReportData Data(TkvYssDataSet& budget, TkvQfbDataSet& fees, const QStringList& informationLines,
                   const QString& remarks);
// The same of a project document, as it stands: read from a file or being
// edited in its window.
TkvReportData Data(kvProject& project);
// Company values and picture paths through the configuration.
void UseConfiguration(TkvReportData& data, const TAppGlobalInfo& config);

} // namespace ProjectReport
