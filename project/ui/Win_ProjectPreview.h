#pragma once
// The preview page of the project window: one of the four reports of the open
// project in an embedded preview, printed or exported to PDF from there. The
// page prepares a report anew each time one is asked for, so edits show up at
// the next preview; it keeps showing the last one until another is prepared.

#include "kvReport.h"
#include "kvReportProject.h"

#include <QHash>
#include <QWidget>

class QAction;
class QActionGroup;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QStackedWidget;
class QToolBar;
class TAppGlobalInfo;
class TkvPrintChooser;
class TqxPrompter;

// What the page needs of the project it shows; the project window answers
// from its document.
class TkvReportSource {
public:
    virtual ~TkvReportSource() = default;
    // The project's rows and texts for that report; for the budget only the
    // named item rows, in the sheet's order (ProjectReport::Data gives both).
    virtual TkvReportData ReportData(TkvReportPage page) = 0;
    // The budget's group field: "施工地点", "项目类别" or empty.
    virtual QString GroupField() const = 0;
    // The proposed name of an exported file.
    virtual QString ProjectName() const = 0;
};

class TProjectPreview : public QWidget {
    Q_OBJECT
public:
    static const QString MissingTemplateText; // shown in place of a budget report without template

    TProjectPreview(const TAppGlobalInfo& config, TqxPrompter& prompter, TkvPrintChooser& printChooser,
                    TkvReportSource& source, QWidget* parent = nullptr);
    ~TProjectPreview() override;

    QAction* Action(const QString& name) const { return FActions.value(name); }
    QToolBar* ToolBar() const { return FToolBar; }
    QPrintPreviewWidget* Preview() const { return FPreview; }

    // The preview page became current; lastPage is the caption of the page
    // left: "工程信息", "预算书" and "取费表" show their report, others nothing.
    void ShowFor(const QString& lastPage);
    // Prepares and shows a report (the four radio actions).
    void ShowReport(TkvReportPage page);

    const TkvPreparedReport& Prepared() const { return FPrepared; }
    // The text shown instead of a report, or empty when a report is shown.
    QString ShownMessage() const;

    void Print();
    void ExportPdf();

private:
    struct ActionDef;
    static const ActionDef kActions[];
    void BuildActions();
    void UpdateActions();
    void Paint(QPrinter* printer);
    void ShowMessageInstead(const QString& text);
    void ShowPrepared();
    void Report(const QString& caption, const QString& text); // an engine error in a message box

    const TAppGlobalInfo& FConfig;
    TqxPrompter& FPrompter;
    TkvPrintChooser& FPrintChooser;
    TkvReportSource& FSource;

    QHash<QString, QAction*> FActions;
    QActionGroup* FReportGroup = nullptr;
    QToolBar* FToolBar = nullptr;
    QStackedWidget* FStack = nullptr;
    QPrintPreviewWidget* FPreview = nullptr;
    QLabel* FMessage = nullptr;
    QPrinter* FPrinter = nullptr;
    TkvPreparedReport FPrepared;
};
