// The preview page on a copy of the shipped installation: which report comes
// up for which page and view, what the budget report leaves out, what a
// missing template does, and printing and PDF export through their seams.

#include "AppClasses.h"
#include "GbkText.h"
#include "KvTestSupport.h"
#include "Win_ProjectPreview.h"
#include "kvPrintChooser.h"
#include "kvQfbDataSet.h"
#include "kvYssDataSet.h"
#include "qxScriptedPrompter.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace {

class ScriptedPrintChooser final : public TkvPrintChooser {
public:
    bool Answer = true;
    QString OutputFile;
    int Asked = 0;
    int PageCount = 0;
    bool ChoosePrinter(QPrinter& printer, int pageCount, QWidget*) override
    {
        ++Asked;
        PageCount = pageCount;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(OutputFile);
        return Answer;
    }
};

class ProjectSource final : public TkvReportSource {
public:
    TkvYssDataSet Budget;
    TkvQfbDataSet Fees;
    QStringList Information = {u"工程名称=样板间"_s, u"客户姓名=张先生"_s, u"地址=文三路 88 号"_s};
    QString Remarks = u"老房翻新"_s;
    QString View = u"施工地点"_s;

    TkvReportData ReportData(TkvReportPage) override
    {
        return ProjectReport::Data(Budget, Fees, Information, Remarks);
    }
    QString GroupField() const override { return View; }
    QString ProjectName() const override { return u"样板间"_s; }
};

} // namespace

class TestProjectPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void actions_data();
    void actions();
    void showForLastPage_data();
    void showForLastPage();
    void budgetTemplateByView_data();
    void budgetTemplateByView();
    void budgetLeavesOutGeneratedAndNamelessRows();
    void missingTemplates();
    void damagedTemplate();
    void companyValueWins();
    void print();
    void exportPdf();

private:
    void addItem(const QString& place, const QString& kind, const QString& name, double price);
    QString path(const QString& name) const { return FDir->path() + u'/' + name; }

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TAppGlobalInfo> FConfig;
    std::unique_ptr<TqxScriptedPrompter> FPrompter;
    std::unique_ptr<ScriptedPrintChooser> FChooser;
    std::unique_ptr<ProjectSource> FSource;
    std::unique_ptr<TProjectPreview> FPage;
};

void TestProjectPreview::addItem(const QString& place, const QString& kind, const QString& name, double price)
{
    TkvYssDataSet& b = FSource->Budget;
    b.Append();
    b.FieldByName(u"行类型"_s)->SetAsInteger(rtItem);
    b.FieldByName(u"施工地点"_s)->SetAsString(place);
    b.FieldByName(u"项目类别"_s)->SetAsString(kind);
    if (!name.isEmpty())
        b.FieldByName(u"项目名称"_s)->SetAsString(name);
    b.FieldByName(u"单位"_s)->SetAsString(u"平方米"_s);
    b.FieldByName(u"单价"_s)->SetAsFloat(price);
    b.FieldByName(u"数量"_s)->SetAsFloat(2);
    b.Post();
}

void TestProjectPreview::init()
{
    // A private copy of the shipped installation that knows where it is.
    FDir = std::make_unique<QTemporaryDir>();
    KvTest::CopyTree(qEnvironmentVariable("KV_PRISTINE_STAGE_DIR"), FDir->path());
    QString app = Gbk::Decode(KvTest::ReadBytes(path(u"App"_s)));
    app.replace(u"\r\nApp=\r\n"_s, u"\r\nApp="_s + QDir::toNativeSeparators(FDir->path()) + u"/\r\n"_s);
    QVERIFY(KvTest::WriteBytes(path(u"App"_s), Gbk::Encode(app)));
    FPrompter = std::make_unique<TqxScriptedPrompter>();
    FConfig = std::make_unique<TAppGlobalInfo>();
    FConfig->WriteBackOnFree = false;
    QVERIFY(FConfig->Initialize(FDir->path(), {}));
    FConfig->SetVariantValue(u"单位名称"_s, u"杭州美家装饰"_s);

    FSource = std::make_unique<ProjectSource>();
    addItem(u"客厅"_s, u"油漆工程"_s, u"墙面乳胶漆"_s, 25);
    addItem(u"餐厅"_s, u"地板工程"_s, u"地砖铺贴"_s, 60);
    addItem(u"客厅"_s, u"地板工程"_s, QString(), 987.65); // a row without a name
    FSource->Budget.SetGroupField(u"施工地点"_s);
    FSource->Fees.AppendRow();
    FSource->Fees.Edit();
    FSource->Fees.FieldByName(u"取费名称"_s)->SetAsString(u"总费用"_s);
    FSource->Fees.FieldByName(u"金额"_s)->SetAsFloat(1234.5);
    FSource->Fees.Post();

    FChooser = std::make_unique<ScriptedPrintChooser>();
    FChooser->OutputFile = path(u"printed.pdf"_s);
    FPage = std::make_unique<TProjectPreview>(*FConfig, *FPrompter, *FChooser, *FSource);
    FPage->resize(900, 700);
    FPage->show();
}

void TestProjectPreview::cleanup()
{
    FPage.reset();
    FChooser.reset();
    FSource.reset();
    FConfig.reset();
    FPrompter.reset();
    FDir.reset();
}

void TestProjectPreview::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("radio");
    QTest::newRow("cover") << u"Preview_Cover"_s << u"封面"_s << u"预览封面"_s << true;
    QTest::newRow("info") << u"Preview_ProjectInfo"_s << u"工程信息"_s << u"预览工程信息"_s << true;
    QTest::newRow("budget") << u"Preview_Yss"_s << u"预算书"_s << u"预览预算书"_s << true;
    QTest::newRow("fees") << u"Preview_Qfb"_s << u"取费表"_s << u"预览取费表"_s << true;
    QTest::newRow("print") << u"Preview_Print"_s << u"打印"_s << u"打印内容"_s << false;
    QTest::newRow("pdf") << u"Preview_ExportPdf"_s << u"导出PDF..."_s << u"把预览中的报表保存为 PDF 文件"_s << false;
}

void TestProjectPreview::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(bool, radio);
    QAction* a = FPage->findChild<QAction*>(name);
    QVERIFY(a);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->toolTip(), hint);
    QCOMPARE(a->isCheckable(), radio);
    QCOMPARE(a->actionGroup() != nullptr, radio);
    QVERIFY(FPage->ToolBar()->actions().contains(a));
    QVERIFY(FPage->findChild<QPrintPreviewWidget*>(u"frPreview_Yss"_s));
    QCOMPARE(FPage->findChild<QLabel*>(u"Label_PreviewHeader"_s)->text(), u"预览、打印当前的预算书..."_s);
    // Nothing to print or export before a report is prepared.
    QVERIFY(!FPage->Action(u"Preview_Print"_s)->isEnabled());
    QVERIFY(!FPage->Action(u"Preview_ExportPdf"_s)->isEnabled());
}

void TestProjectPreview::showForLastPage_data()
{
    QTest::addColumn<QString>("lastPage");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("shows");
    QTest::newRow("from the budget") << u"预算书"_s << u"Preview_Yss"_s << u"墙面乳胶漆"_s;
    QTest::newRow("from the information") << u"工程信息"_s << u"Preview_ProjectInfo"_s << u"文三路 88 号"_s;
    QTest::newRow("from the fees") << u"取费表"_s << u"Preview_Qfb"_s << u"1,234.50"_s;
    QTest::newRow("from elsewhere") << u"预览"_s << QString() << QString();
}

void TestProjectPreview::showForLastPage()
{
    QFETCH(QString, lastPage);
    QFETCH(QString, checked);
    QFETCH(QString, shows);
    FPage->ShowFor(lastPage);
    if (checked.isEmpty()) {
        QVERIFY(FPage->Prepared().IsEmpty());
        for (const QString& n : {u"Preview_Cover"_s, u"Preview_ProjectInfo"_s, u"Preview_Yss"_s, u"Preview_Qfb"_s})
            QVERIFY(!FPage->Action(n)->isChecked());
        return;
    }
    QVERIFY(FPage->Action(checked)->isChecked());
    QVERIFY2(FPage->Prepared().Text().contains(shows), qPrintable(FPage->Prepared().Text()));
    QVERIFY(FPage->Action(u"Preview_Print"_s)->isEnabled());
    QVERIFY(FPrompter->Records.empty());
}

void TestProjectPreview::budgetTemplateByView_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("title");
    QTest::newRow("place") << u"施工地点"_s << u"（按施工地点）"_s;
    QTest::newRow("category") << u"项目类别"_s << u"（按项目类别）"_s;
    QTest::newRow("none") << QString() << u"工程直接费合计（2 项）"_s;
}

void TestProjectPreview::budgetTemplateByView()
{
    QFETCH(QString, view);
    QFETCH(QString, title);
    FSource->View = view;
    FPage->Action(u"Preview_Yss"_s)->trigger();
    QVERIFY2(FPage->Prepared().Text().contains(title), qPrintable(FPage->Prepared().Text()));
}

void TestProjectPreview::budgetLeavesOutGeneratedAndNamelessRows()
{
    const int rows = FSource->Budget.RecordCount();
    FPage->Action(u"Preview_Yss"_s)->trigger();
    const QString text = FPage->Prepared().Text();
    QVERIFY(text.contains(u"地砖铺贴"_s));
    QVERIFY(!text.contains(u"987.65"_s));
    QVERIFY(text.contains(u"客厅小计（1 项）"_s)); // the template's own subtotal, of the named item only
    QVERIFY(text.contains(u"170.00"_s));           // 25 × 2 + 60 × 2
    QCOMPARE(FSource->Budget.RecordCount(), rows);
    QVERIFY(!FSource->Budget.Filtered());
}

void TestProjectPreview::missingTemplates()
{
    FPage->Action(u"Preview_Qfb"_s)->trigger();
    QVERIFY(FPage->Prepared().Text().contains(u"1,234.50"_s));

    // A missing cover leaves the fee report in the preview, without a word.
    QVERIFY(QFile::remove(path(u"Data/ProjectCover.frf"_s)));
    FPage->Action(u"Preview_Cover"_s)->trigger();
    QVERIFY(FPage->Prepared().Text().contains(u"1,234.50"_s));
    QVERIFY(FPage->ShownMessage().isEmpty());

    // A missing budget template says so in the preview.
    QVERIFY(QFile::remove(path(u"Data/PrintYss_Place.frf"_s)));
    FPage->Action(u"Preview_Yss"_s)->trigger();
    QCOMPARE(FPage->ShownMessage(), u"相应的报表文件不存在！如有必要，请重新安装本软件！"_s);
    QVERIFY(FPage->findChild<QLabel*>(u"Label_PreviewMessage"_s)->isVisible());
    QVERIFY(!FPage->Action(u"Preview_Print"_s)->isEnabled());
    QVERIFY(FPrompter->Records.empty());
    QVERIFY(!FSource->Budget.Filtered());

    FPage->Action(u"Preview_ProjectInfo"_s)->trigger();
    QVERIFY(FPage->ShownMessage().isEmpty());
    QVERIFY(FPage->Preview()->isVisible());
}

void TestProjectPreview::damagedTemplate()
{
    QVERIFY(KvTest::WriteBytes(path(u"Data/ProjectQfb.frf"_s), Gbk::Encode(u"table data=kvQfbDS\nrow | x\n"_s)));
    FPage->Action(u"Preview_Qfb"_s)->trigger();
    QCOMPARE(FPrompter->Records.size(), size_t(1));
    QCOMPARE(FPrompter->Last().message.Caption, u"格式错"_s);
    QVERIFY(FPrompter->Last().message.Text.contains(u"第 2 行"_s));
}

void TestProjectPreview::companyValueWins()
{
    FPage->Action(u"Preview_Cover"_s)->trigger();
    QVERIFY(FPage->Prepared().Text().contains(u"张先生"_s));
    QVERIFY(FPage->Prepared().Text().contains(u"杭州美家装饰"_s));
    FConfig->SetVariantValue(u"客户姓名"_s, u"设置中的客户"_s);
    FPage->Action(u"Preview_Cover"_s)->trigger();
    QVERIFY(FPage->Prepared().Text().contains(u"设置中的客户"_s));
    QVERIFY(!FPage->Prepared().Text().contains(u"张先生"_s));
}

void TestProjectPreview::print()
{
    FPage->Print(); // nothing prepared: no dialog
    QCOMPARE(FChooser->Asked, 0);

    FPage->Action(u"Preview_Yss"_s)->trigger();
    FChooser->Answer = false;
    FPage->Action(u"Preview_Print"_s)->trigger();
    QCOMPARE(FChooser->Asked, 1);
    QCOMPARE(FChooser->PageCount, FPage->Prepared().PageCount());
    QVERIFY(!QFile::exists(FChooser->OutputFile));

    FChooser->Answer = true;
    FPage->Action(u"Preview_Print"_s)->trigger();
    QVERIFY(KvTest::ReadBytes(FChooser->OutputFile).startsWith("%PDF"));
}

void TestProjectPreview::exportPdf()
{
    FPage->Action(u"Preview_Qfb"_s)->trigger();
    FPrompter->AnswerCancel();
    FPage->Action(u"Preview_ExportPdf"_s)->trigger();
    QCOMPARE(FPrompter->Last().file.Kind, TFileDialogKind::Save);
    QCOMPARE(FPrompter->Last().file.FileName, u"样板间"_s);

    FPrompter->AnswerFiles({path(u"取费表"_s)});
    FPage->Action(u"Preview_ExportPdf"_s)->trigger();
    QVERIFY(KvTest::ReadBytes(path(u"取费表.pdf"_s)).startsWith("%PDF"));

    FPrompter->Reset();
    FPrompter->AnswerFiles({path(u"no/such/folder/x.pdf"_s)});
    FPage->Action(u"Preview_ExportPdf"_s)->trigger();
    QCOMPARE(FPrompter->Records.size(), size_t(2));
    QCOMPARE(FPrompter->Last().message.Caption, u"保存失败"_s);
}

QTEST_MAIN(TestProjectPreview)
#include "tst_projectpreview.moc"
