#include "Win_ProjectPreview.h"

#include "AppClasses.h"
#include "kvPrintChooser.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxPrompter.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

const QString TProjectPreview::MissingTemplateText = u"相应的报表文件不存在！如有必要，请重新安装本软件！"_s;

struct TProjectPreview::ActionDef {
    QString Name;
    QString Caption;
    QString Hint;
    QString Icon; // freedesktop icon name
    void (*Run)(TProjectPreview& page);
    bool Report;  // one of the radio group of reports
};

// The page's commands, category "预览"; the tool bar shows them in this order.
const TProjectPreview::ActionDef TProjectPreview::kActions[] = {
    {u"Preview_Cover"_s, u"封面"_s, u"预览封面"_s, u"document-properties"_s,
     [](TProjectPreview& p) { p.ShowReport(TkvReportPage::Cover); }, true},
    {u"Preview_ProjectInfo"_s, u"工程信息"_s, u"预览工程信息"_s, u"documentinfo"_s,
     [](TProjectPreview& p) { p.ShowReport(TkvReportPage::ProjectInfo); }, true},
    {u"Preview_Yss"_s, u"预算书"_s, u"预览预算书"_s, u"view-list-details"_s,
     [](TProjectPreview& p) { p.ShowReport(TkvReportPage::Budget); }, true},
    {u"Preview_Qfb"_s, u"取费表"_s, u"预览取费表"_s, u"accessories-calculator"_s,
     [](TProjectPreview& p) { p.ShowReport(TkvReportPage::Fees); }, true},
    {u"Preview_Print"_s, u"打印"_s, u"打印内容"_s, u"document-print"_s, [](TProjectPreview& p) { p.Print(); }, false},
    {u"Preview_ExportPdf"_s, u"导出PDF..."_s, u"把预览中的报表保存为 PDF 文件"_s, u"document-export"_s,
     [](TProjectPreview& p) { p.ExportPdf(); }, false},
    {u"Preview_ZoomIn"_s, u"放大"_s, u"放大预览"_s, u"zoom-in"_s, [](TProjectPreview& p) { p.FPreview->zoomIn(); },
     false},
    {u"Preview_ZoomOut"_s, u"缩小"_s, u"缩小预览"_s, u"zoom-out"_s, [](TProjectPreview& p) { p.FPreview->zoomOut(); },
     false},
    {u"Preview_FitWidth"_s, u"页宽"_s, u"按页面宽度显示"_s, u"zoom-fit-width"_s,
     [](TProjectPreview& p) { p.FPreview->fitToWidth(); }, false},
};

TProjectPreview::TProjectPreview(const TAppGlobalInfo& config, TqxPrompter& prompter, TkvPrintChooser& printChooser,
                                 TkvReportSource& source, QWidget* parent)
    : QWidget(parent), FConfig(config), FPrompter(prompter), FPrintChooser(printChooser), FSource(source)
{
    setObjectName(u"Page_Preview"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    FToolBar = new QToolBar(this);
    FToolBar->setObjectName(u"ToolBar_Preview"_s);
    FToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    FToolBar->setIconSize(QSize(16, 16));
    auto* header = new QLabel(u"预览、打印当前的预算书..."_s, FToolBar);
    header->setObjectName(u"Label_PreviewHeader"_s);
    header->setContentsMargins(6, 0, 12, 0);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    FToolBar->addWidget(header);
    layout->addWidget(FToolBar);

    FPrinter = new QPrinter(QPrinter::HighResolution);
    FPrinter->setFullPage(true);
    FStack = new QStackedWidget(this);
    FPreview = new QPrintPreviewWidget(FPrinter, FStack);
    FPreview->setObjectName(u"frPreview_Yss"_s);
    FPreview->setZoomMode(QPrintPreviewWidget::FitToWidth);
    FMessage = new QLabel(FStack);
    FMessage->setObjectName(u"Label_PreviewMessage"_s);
    FMessage->setAlignment(Qt::AlignCenter);
    FMessage->setWordWrap(true);
    FStack->addWidget(FPreview);
    FStack->addWidget(FMessage);
    layout->addWidget(FStack, 1);
    connect(FPreview, &QPrintPreviewWidget::paintRequested, this, &TProjectPreview::Paint);

    BuildActions();
    UpdateActions();
}

TProjectPreview::~TProjectPreview()
{
    // The preview paints through the printer until it is gone.
    delete FPreview;
    delete FPrinter;
}

void TProjectPreview::BuildActions()
{
    FReportGroup = new QActionGroup(this);
    FReportGroup->setExclusive(true);
    for (const ActionDef& def : kActions) {
        auto* a = new QAction(QIcon::fromTheme(def.Icon), def.Caption, this);
        a->setObjectName(def.Name);
        a->setToolTip(def.Hint);
        a->setStatusTip(def.Hint);
        a->setProperty("category", u"预览"_s);
        if (def.Report) {
            a->setCheckable(true);
            FReportGroup->addAction(a);
        }
        const auto run = def.Run;
        connect(a, &QAction::triggered, this, [this, run] { run(*this); });
        FActions.insert(def.Name, a);
        FToolBar->addAction(a);
        if (def.Name == u"Preview_Qfb"_s || def.Name == u"Preview_ExportPdf"_s)
            FToolBar->addSeparator();
    }
}

void TProjectPreview::UpdateActions()
{
    const bool prepared = !FPrepared.IsEmpty() && FStack->currentWidget() == FPreview;
    FActions[u"Preview_Print"_s]->setEnabled(prepared);
    FActions[u"Preview_ExportPdf"_s]->setEnabled(prepared);
    for (const QString& zoom : {u"Preview_ZoomIn"_s, u"Preview_ZoomOut"_s, u"Preview_FitWidth"_s})
        FActions[zoom]->setEnabled(prepared);
}

void TProjectPreview::ShowFor(const QString& lastPage)
{
    if (lastPage == u"工程信息"_s)
        FActions[u"Preview_ProjectInfo"_s]->trigger();
    else if (lastPage == u"预算书"_s)
        FActions[u"Preview_Yss"_s]->trigger();
    else if (lastPage == u"取费表"_s)
        FActions[u"Preview_Qfb"_s]->trigger();
}

void TProjectPreview::ShowReport(TkvReportPage page)
{
    static const QHash<int, QString> kNames = {{int(TkvReportPage::Cover), u"Preview_Cover"_s},
                                               {int(TkvReportPage::ProjectInfo), u"Preview_ProjectInfo"_s},
                                               {int(TkvReportPage::Budget), u"Preview_Yss"_s},
                                               {int(TkvReportPage::Fees), u"Preview_Qfb"_s}};
    FActions[kNames[int(page)]]->setChecked(true);
    const QString key = ProjectReport::TemplateKey(page, page == TkvReportPage::Budget ? FSource.GroupField() : QString());
    const QString file = FConfig.GetFileName(key);
    if (file.isEmpty() || !FileSystem::FileExists(file)) {
        // Only the budget says so; the other reports quietly keep what is shown.
        if (page == TkvReportPage::Budget)
            ShowMessageInstead(MissingTemplateText);
        return;
    }
    try {
        const TkvReportTemplate t = TkvReportTemplate::Load(file);
        TkvReportData data = FSource.ReportData(page);
        ProjectReport::UseConfiguration(data, FConfig);
        FPrepared = TkvPreparedReport::Prepare(t, data);
    } catch (const EFileError& e) {
        Report(u"读取出错"_s, e.Message);
        return;
    } catch (const Exception& e) {
        Report(u"格式错"_s, e.Message);
        return;
    }
    ShowPrepared();
}

QString TProjectPreview::ShownMessage() const
{
    return FStack->currentWidget() == FMessage ? FMessage->text() : QString();
}

void TProjectPreview::ShowMessageInstead(const QString& text)
{
    FPrepared = TkvPreparedReport();
    FMessage->setText(text);
    FStack->setCurrentWidget(FMessage);
    UpdateActions();
}

void TProjectPreview::ShowPrepared()
{
    FStack->setCurrentWidget(FPreview);
    FPrinter->setPageLayout(FPrepared.FirstPageLayout());
    FPreview->updatePreview();
    UpdateActions();
}

void TProjectPreview::Paint(QPrinter* printer)
{
    printer->setFullPage(true);
    FPrepared.Paint(*printer);
}

void TProjectPreview::Report(const QString& caption, const QString& text)
{
    TMessageRequest r;
    r.Text = text;
    r.Caption = caption;
    r.Icon = TMsgIcon::Error;
    FPrompter.Message(r);
}

void TProjectPreview::Print()
{
    if (FPrepared.IsEmpty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(FPrepared.FirstPageLayout());
    printer.setDocName(u"Kavelin 打印"_s);
    if (!FPrintChooser.ChoosePrinter(printer, FPrepared.PageCount(), this))
        return;
    printer.setFullPage(true);
    const bool range = printer.printRange() == QPrinter::PageRange;
    FPrepared.Paint(printer, range ? printer.fromPage() : 0, range ? printer.toPage() : 0);
}

void TProjectPreview::ExportPdf()
{
    if (FPrepared.IsEmpty())
        return;
    TFileRequest r;
    r.Kind = TFileDialogKind::Save;
    r.Title = u"导出PDF"_s;
    r.Filter = u"PDF 文件(*.pdf)|*.pdf"_s;
    r.DefaultExt = u"pdf"_s;
    r.InitialDir = FConfig.GetPath(u"工程"_s);
    r.FileName = FSource.ProjectName();
    r.OverwritePrompt = true;
    const QStringList files = FPrompter.ChooseFiles(r);
    if (files.isEmpty())
        return;
    QString file = files.first();
    if (QFileInfo(file).suffix().isEmpty())
        file += u".pdf"_s;
    try {
        FPrepared.SavePdf(file, FSource.ProjectName());
    } catch (const Exception& e) {
        Report(u"保存失败"_s, e.Message);
    }
}
