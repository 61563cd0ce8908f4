// The project window hosted in a plain MDI area, on a private copy of the
// shipped files: opening, new projects, saving and the close query, the
// budget page's drawing, group and clipboard commands, the fee page, and the
// notices to the main window.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "GbkText.h"
#include "KvTestSupport.h"
#include "Win_Project.h"
#include "Win_ProjectBudget.h"
#include "Win_ProjectFees.h"
#include "Win_ProjectPreview.h"
#include "Win_RecordFind.h"
#include "kvLookupPanel.h"
#include "qxCtrls_ValueListEditor.h"
#include "qxDBCtrls_DBGrid.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxNotices.h"
#include "qxScriptedPrompter.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QtEndian>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

class TTarget : public QObject {
public:
    QList<qintptr> Codes;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != TqxMessageEvent::EventType())
            return QObject::event(e);
        auto* m = static_cast<TqxMessageEvent*>(e);
        if (m->Msg == MSG_CHILD_NOTIFY)
            Codes.append(m->LParam);
        return true;
    }
};

void copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + file.mid(from.size());
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
            continue;
        }
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(file, target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
}

QStringList toolBarNames(const QToolBar* bar)
{
    QStringList out;
    for (const QAction* a : bar->actions())
        out << (a->isSeparator() ? u"-"_s : a->objectName());
    return out;
}

} // namespace

class TestProjectWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void openSample();
    void newFromTemplate();
    void saveNewProject();
    void saveAsKeepsTheWindowBound();
    void failedSaveKeepsTheWindow_data();
    void failedSaveKeepsTheWindow();
    void layoutHidesColumns();
    void drawing_data();
    void drawing();
    void rowSelectionAndInput();
    void groupCommands();
    void pasteIntoGroup();
    void feePage();
    void commandsAndNotices();
    void damagedFilesClose_data();
    void damagedFilesClose();
    void damagedVariantsAreRefused_data();
    void damagedVariantsAreRefused();
    void passwordCommand();
    void roundTripThroughTheWindow();
    void typedQuantity();
    void informationEditor();
    void quickInputTakesAnItem();
    void quickInputWaitsOnAFilledCell();
    void quickInputFollowsTheWindow();
    void previewShowsThePageLeft_data();
    void previewShowsThePageLeft();
    void budgetReportLeavesTheGridWhole();

private:
    QString path(const QString& rel) const { return FDir.path() + u'/' + rel; }
    // The sample on its budget page, the window active and the grid focused.
    TForm_Project* openBudget();
    QString sample() const { return path(u"工程/预算示例.KVP"_s); }
    TForm_Project* open(const QString& file);
    // A variant of the sample, changed through its container.
    QString variant(const std::function<void(TKVFile&)>& change);

    QTemporaryDir FDir;
    std::unique_ptr<TqxScriptedPrompter> FPrompter;
    std::unique_ptr<TAppGlobalInfo> FInfo;
    std::unique_ptr<TDataModule_Data> FData;
    std::unique_ptr<QMdiArea> FArea;
    std::unique_ptr<TTarget> FTarget;
};

void TestProjectWindow::init()
{
    QDir(FDir.path()).removeRecursively();
    copyTree(qEnvironmentVariable("KV_PRISTINE_STAGE_DIR"), FDir.path());
    FPrompter = std::make_unique<TqxScriptedPrompter>();
    FInfo = std::make_unique<TAppGlobalInfo>();
    FInfo->WriteBackOnFree = false;
    QVERIFY(FInfo->Initialize(FDir.path(), {}));
    FData = std::make_unique<TDataModule_Data>();
    FData->DataModuleCreate(*FInfo);
    FTarget = std::make_unique<TTarget>();
    SetNoticeTarget(FTarget.get());
    FArea = std::make_unique<QMdiArea>();
    FArea->resize(1000, 700);
    FArea->show();
}

void TestProjectWindow::cleanup()
{
    for (QMdiSubWindow* w : FArea->subWindowList())
        delete w;
    FArea.reset();
    SetNoticeTarget(nullptr);
    FData.reset();
    FInfo.reset();
    FPrompter.reset();
}

TForm_Project* TestProjectWindow::open(const QString& file)
{
    return TForm_Project::OpenProject(FArea.get(), *FInfo, *FData, file);
}

QString TestProjectWindow::variant(const std::function<void(TKVFile&)>& change)
{
    TKVFile file;
    file.LoadFromFile(sample());
    change(file);
    const QString to = path(u"工程/变体.KVP"_s);
    file.SaveToFile(to);
    return to;
}

void TestProjectWindow::openSample()
{
    TForm_Project* w = open(sample());
    QVERIFY(w);
    QCOMPARE(FTarget->Codes.mid(0, 3), (QList<qintptr>{cnCreated, cnShown, cnActivated}));
    QCOMPARE(FTarget->Codes.mid(FTarget->Codes.size() - 2), (QList<qintptr>{cnOpened, cnNotModified}));
    QVERIFY(FTarget->Codes.contains(cnCaptionChanged));
    QVERIFY(!FTarget->Codes.contains(cnModified));
    QVERIFY(w->isMaximized());
    QCOMPARE(w->windowTitle(), u"工程预算样本"_s);
    QVERIFY(!w->Loading() && !w->Modified());
    QVERIFY(w->Label_Loading->isHidden());
    QVERIFY(w->Notebook_Main->isVisible() && w->TabSet_Main->isVisible());

    // The tabs in order, the information page first.
    QStringList tabs;
    for (int i = 0; i < w->TabSet_Main->count(); ++i)
        tabs << w->TabSet_Main->tabText(i);
    QCOMPARE(tabs, TForm_Project::PageCaptions);
    QCOMPARE(w->CurrentPage(), u"工程信息"_s);
    QCOMPARE(w->qxVLE_ProjectInfo->Values(u"工程名称"_s), u"工程预算样本"_s);
    QVERIFY(!w->Memo_Project->toPlainText().isEmpty());

    w->TabSet_Main->setCurrentIndex(1);
    QCOMPARE(w->CurrentPage(), u"预算书"_s);
    QCOMPARE(w->LastPage(), u"工程信息"_s);
    TProjectBudgetPage* budget = w->BudgetPage;
    QCOMPARE(budget->DataSet().GroupCount(), 7);
    QVERIFY(w->findChild<QAction*>(u"View_Place"_s)->isChecked());
    QVERIFY(!budget->qxDBGrid_Yss->FindColumn(u"施工地点"_s)->Visible());
    QVERIFY(budget->qxDBGrid_Yss->FindColumn(u"项目类别"_s)->Visible());
    QCOMPARE(budget->qxDBGrid_Yss->FindColumn(u"金额"_s)->Title(), u"合计"_s);
    QCOMPARE(toolBarNames(budget->ToolBar_Yss),
             (QStringList{u"View_ItemKind"_s, u"View_Place"_s, u"-"_s, u"Row_New"_s, u"Row_Insert"_s,
                          u"Row_Delete"_s, u"Row_InputPanel"_s, u"Row_Copy"_s, u"Row_Paste"_s, u"Row_Find"_s, u"-"_s,
                          u"Group_New"_s, u"Group_Modify"_s, u"Group_Delete"_s}));
    QStringList menu;
    for (const QAction* a : budget->PopupMenu_Yss->actions())
        menu << (a->isSeparator() ? u"-"_s : a->objectName());
    QCOMPARE(menu, (QStringList{u"Row_New"_s, u"Row_Insert"_s, u"Row_Delete"_s, u"-"_s, u"Row_Copy"_s, u"Row_Paste"_s,
                                u"-"_s, u"Row_Find"_s, u"-"_s, u"Group_New"_s, u"Group_Modify"_s, u"Group_Delete"_s,
                                u"Group_MoveToHead"_s, u"Group_MoveToTail"_s, u"-"_s, u"View_Place"_s,
                                u"View_ItemKind"_s}));
    QCOMPARE(w->findChild<QAction*>(u"Row_New"_s)->shortcut(), QKeySequence(u"Ctrl+R"_s));
    QCOMPARE(w->findChild<QAction*>(u"Row_Insert"_s)->shortcut(), QKeySequence(u"Ctrl+I"_s));
    QCOMPARE(w->findChild<QAction*>(u"Row_Find"_s)->text(), u"查找项目(&F)..."_s);
    QVERIFY(budget->InputPanelAction()->isChecked());
    QCOMPARE(w->FeePage->qxDBGrid_Qfb->Model()->rowCount(), 4);
    QCOMPARE(w->FeePage->qxDBGrid_Qfb->Model()->index(1, 0).data().toString(), u"[2]"_s);

    // The record-find dialog stays open beside the grid.
    w->findChild<QAction*>(u"Row_Find"_s)->trigger();
    auto* find = budget->qxDBGrid_Yss->window()->findChild<TForm_RecordFind*>();
    QVERIFY(find && find->isVisible() && !find->isModal());
    QCOMPARE(find->Grid(), budget->qxDBGrid_Yss);
    find->close();

    // Switching the view regroups and swaps the hidden column.
    w->findChild<QAction*>(u"View_ItemKind"_s)->trigger();
    QVERIFY(budget->qxDBGrid_Yss->FindColumn(u"施工地点"_s)->Visible());
    QVERIFY(!budget->qxDBGrid_Yss->FindColumn(u"项目类别"_s)->Visible());
    QVERIFY(w->findChild<QAction*>(u"Group_New"_s)->isEnabled());
    QVERIFY(FPrompter->Records.empty());
}

void TestProjectWindow::newFromTemplate()
{
    TForm_Project* w = TForm_Project::NewStandardProject(FArea.get(), *FInfo, *FData);
    QVERIFY(w);
    QCOMPARE(FTarget->Codes.mid(FTarget->Codes.size() - 2), (QList<qintptr>{cnOpened, cnModified}));
    QCOMPARE(w->windowTitle(), u"新工程"_s);
    QVERIFY(TForm_Project::IsNewOf(w));
    QCOMPARE(w->Document().View(), kvProject::ViewKind);
    QCOMPARE(w->BudgetPage->DataSet().RecordCount(), 0);
    QVERIFY(!w->Modified());
    QPointer<TForm_Project> alive = w;
    FTarget->Codes.clear();
    QVERIFY(w->close());
    QVERIFY(FPrompter->Records.empty()); // nothing to ask
    QTRY_VERIFY(alive.isNull());
    QVERIFY(!FTarget->Codes.contains(cnDestroying)); // never saved
}

void TestProjectWindow::saveNewProject()
{
    TForm_Project* w = TForm_Project::NewStandardProject(FArea.get(), *FInfo, *FData);
    w->qxVLE_ProjectInfo->SetValue(w->qxVLE_ProjectInfo->FindRow(u"工程名称"_s), u"李宅"_s);
    QVERIFY(w->Modified());

    // Closing asks; Yes saves; a cancelled dialog keeps the window and its changes.
    FPrompter->AnswerButton(mbYes).AnswerCancel();
    QVERIFY(!w->close());
    const auto& ask = FPrompter->Records.at(1).file;
    QCOMPARE(FPrompter->Records.at(0).message.Text, u"工程已被修改，是否保存？"_s);
    QCOMPARE(ask.Title, u"保存工程"_s);
    QCOMPARE(ask.FileName, u"李宅"_s);
    QCOMPARE(ask.Filter, TForm_Project::ProjectFilter);
    QCOMPARE(ask.DefaultExt, u"KVP"_s);
    QVERIFY(w->Modified());

    const QString file = path(u"工程/李宅.KVP"_s);
    FPrompter->AnswerFiles({file});
    QVERIFY(w->SaveProject());
    QVERIFY(!w->Modified());
    QCOMPARE(w->windowTitle(), u"李宅"_s);
    QCOMPARE(TForm_Project::FileNameOf(w), file);
    QPointer<TForm_Project> alive = w;
    QVERIFY(w->close());
    QTRY_VERIFY(alive.isNull());
    QCOMPARE(FTarget->Codes.last(), qintptr(cnDestroying));

    TForm_Project* again = open(file);
    QVERIFY(again);
    QCOMPARE(TForm_Project::ProjectNameOf(again), u"李宅"_s);
    QCOMPARE(again->Document().kvQfbDS.RecordCount(), 4);
}

void TestProjectWindow::saveAsKeepsTheWindowBound()
{
    TForm_Project* w = open(sample());
    w->Memo_Project->appendPlainText(u"另加一条"_s);
    QVERIFY(w->Modified());
    const QString copy = path(u"模板/我的模板.KVT"_s);
    FPrompter->AnswerFiles({copy});
    QVERIFY(w->SaveAsTemplate());
    QCOMPARE(FPrompter->Last().file.Title, u"工程另存为模板"_s);
    QCOMPARE(FPrompter->Last().file.Filter, TForm_Project::TemplateFilter);
    QCOMPARE(QDir(FPrompter->Last().file.InitialDir).canonicalPath(), QDir(path(u"模板"_s)).canonicalPath());
    QCOMPARE(w->windowTitle(), u"工程预算样本"_s);
    QCOMPARE(TForm_Project::FileNameOf(w), sample());
    QVERIFY(w->Modified());

    kvProject doc;
    QVERIFY(doc.OpenFile(copy));
    QVERIFY(doc.Remarks.contains(u"另加一条"_s));
}

void TestProjectWindow::failedSaveKeepsTheWindow_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("full disk") << false;
    QTest::newRow("read-only file") << true;
}

void TestProjectWindow::failedSaveKeepsTheWindow()
{
    QFETCH(bool, readOnly);
    const QByteArray old = KvTest::ReadBytes(sample());
    TForm_Project* w = open(sample());
    w->Memo_Project->appendPlainText(u"改动"_s);
    FPrompter->AnswerButton(mbYes);
    if (readOnly) {
        QFile::setPermissions(sample(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QVERIFY(!w->close());
        QFile::setPermissions(sample(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    } else {
        KvTest::FileSizeLimit limit(64);
        QVERIFY(!w->close());
    }
    QCOMPARE(FPrompter->MessageTexts(),
             (QStringList{u"工程已被修改，是否保存？"_s, u"保存文件失败，检查文件是否可写！"_s}));
    QVERIFY(w->isVisible());
    QVERIFY(w->Modified());
    QCOMPARE(KvTest::ReadBytes(sample()), old);

    // The command to close from the main window, answered No, closes without saving.
    FPrompter->AnswerButton(mbNo);
    QPointer<TForm_Project> alive = w;
    SendMessageTo(w, MSG_CHILD_COMMAND, ccClose, 0);
    QTRY_VERIFY(alive.isNull());
    QCOMPARE(KvTest::ReadBytes(sample()), old);
}

void TestProjectWindow::layoutHidesColumns()
{
    const QString file = variant([](TKVFile& f) {
        f.WriteValue(u"视图"_s, QString());
        f.SaveSection(u"预算书网格布局"_s, Gbk::Encode(u"序号=-1,60\r\n施工地点=0,-1\r\n没有的列=-1,5\r\n"_s));
    });
    TForm_Project* w = open(file);
    QVERIFY(w);
    const TqxDBGrid* grid = w->BudgetPage->qxDBGrid_Yss;
    QVERIFY(!grid->FindColumn(u"施工地点"_s)->Visible());
    QVERIFY(!grid->FindColumn(u"项目类别"_s)->Visible()); // the category view's group field
    QCOMPARE(grid->FindColumn(u"序号"_s)->Width(), 60);

    // Saved back, the layout holds every column in order.
    QVERIFY(w->SaveProject());
    TKVFile saved;
    saved.LoadFromFile(file);
    const QStringList lines = Gbk::Decode(*saved.SectionData(u"预算书网格布局"_s)).split(u"\r\n"_s);
    QCOMPARE(lines.mid(0, 3), (QStringList{u"序号=-1,60"_s, u"施工地点=0,-1"_s, u"项目类别=0,-1"_s}));
    QCOMPARE(lines.size(), 10);

    // A damaged layout stops the open and closes the window.
    const QString bad = variant([](TKVFile& f) { f.SaveSection(u"取费表网格布局"_s, Gbk::Encode(u"金额=100\r\n"_s)); });
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, open(bad));
    QTRY_COMPARE(FArea->subWindowList().size(), 1);
}

void TestProjectWindow::drawing_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("text");
    QTest::newRow("header") << int(rtGroupHeader) << u"项目名称"_s << u"1"_s << u"【厨房】"_s;
    QTest::newRow("header amount") << int(rtGroupHeader) << u"金额"_s << u"1"_s << u"【厨房】"_s;
    QTest::newRow("header number") << int(rtGroupHeader) << u"序号"_s << QString() << u"2"_s;
    QTest::newRow("subtotal name") << int(rtSubtotal) << u"项目类别"_s << u"2"_s << u"小计: "_s;
    QTest::newRow("subtotal unit") << int(rtSubtotal) << u"单价"_s << u"3"_s << u"项目数：%n 条"_s;
    QTest::newRow("subtotal amount") << int(rtSubtotal) << u"金额"_s << u"4"_s << u"%1"_s;
    QTest::newRow("subtotal remark") << int(rtSubtotal) << u"备注"_s << QString() << QString();
    QTest::newRow("item number") << int(rtItem) << u"序号"_s << QString() << u"2-2"_s;
}

// The grid draws one row while the cursor stands on another: the texts come
// from the drawn row.
void TestProjectWindow::drawing()
{
    QFETCH(int, type);
    QFETCH(QString, field);
    QFETCH(QString, group);
    QFETCH(QString, text);
    TForm_Project* w = open(sample());
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    TqxDBGrid* grid = w->BudgetPage->qxDBGrid_Yss;
    const int groupNo = 2; // 厨房
    if (type == rtItem) {
        QVERIFY(ds.LocateHeader(groupNo));
        ds.Next();
        ds.Next();
    } else if (type == rtGroupHeader) {
        QVERIFY(ds.LocateHeader(groupNo));
    } else {
        QVERIFY(ds.LocateSubtotal(groupNo));
    }
    if (text == u"%1"_s)
        text = QString::asprintf("%5.2f", ds.FieldByName(u"金额"_s)->AsFloat());
    text.replace(u"%n"_s, QString::number(ds.FieldByName(u"数量"_s)->AsInteger()));
    const TqxBookmark drawn = ds.GetBookmark();
    const int row = grid->Model()->RowOf(drawn);
    QVERIFY(ds.LocateHeader(5)); // the cursor elsewhere

    TqxColumn* column = grid->FindColumn(field);
    TqxCellCanvas canvas{grid->font(), Qt::white, Qt::black, row, drawn};
    QString shown = grid->Model()->index(row, column->Index()).data().toString();
    grid->OnDrawCellCanvas(shown, column, canvas);
    QString named;
    grid->OnDrawGroupCell(grid, column, named, shown, canvas);
    QCOMPARE(named, group);
    QCOMPARE(shown, text);
    QCOMPARE(canvas.Font.bold(), type != rtItem);
    if (type == rtGroupHeader)
        QCOMPARE(canvas.BrushColor, QColor(233, 232, 228));
    if (type == rtSubtotal)
        QCOMPARE(canvas.BrushColor, QColor(224, 222, 218));
}

void TestProjectWindow::rowSelectionAndInput()
{
    TForm_Project* w = open(sample());
    w->ShowPage(u"预算书"_s);
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    TqxDBGrid* grid = w->BudgetPage->qxDBGrid_Yss;
    QVERIFY(ds.LocateHeader(1));
    QVERIFY(grid->Options() & dgRowSelect);
    bool can = true;
    grid->OnCellCanInput(grid, grid->Columns(3), can);
    QVERIFY(!can);
    can = true;
    grid->OnBeforeRowSelect(grid, can);
    QVERIFY(!can);
    ds.Next();
    QVERIFY(!(grid->Options() & dgRowSelect));
    QCOMPARE(grid->SelectedIndex(), 1);
    can = true;
    grid->OnCellCanInput(grid, grid->Columns(3), can);
    QVERIFY(can);

    // Selecting rows enables copying and deleting them.
    QAction* copy = w->findChild<QAction*>(u"Row_Copy"_s);
    QVERIFY(!copy->isEnabled());
    copy->setEnabled(true);
    copy->trigger();
    QCOMPARE(FPrompter->MessageTexts(), QStringList{u"您没有选中项目，请先选择项目！"_s});
    grid->SetCurrentRowSelected(true);
    Q_EMIT grid->OnAfterRowSelect();
    QVERIFY(copy->isEnabled());
    QVERIFY(w->findChild<QAction*>(u"Row_Delete"_s)->isEnabled());
    const int before = ds.RecordCount();
    w->findChild<QAction*>(u"Row_Delete"_s)->trigger();
    QCOMPARE(ds.RecordCount(), before - 1);
    QVERIFY(grid->SelectedRows().IsEmpty());
    QVERIFY(w->Modified());

    // A quantity typed into an item row sets its amount.
    QVERIFY(ds.LocateHeader(1));
    ds.Next();
    ds.Edit();
    ds.FieldByName(u"单价"_s)->SetAsFloat(12.5);
    ds.FieldByName(u"数量"_s)->SetAsFloat(3.33335);
    ds.Post();
    QCOMPARE(ds.FieldByName(u"金额"_s)->AsFloat(), 41.6675);
}

void TestProjectWindow::groupCommands()
{
    TForm_Project* w = open(sample());
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    QVERIFY(ds.LocateHeader(3)); // 客厅

    FPrompter->AnswerButton(mbNo);
    w->findChild<QAction*>(u"Group_Delete"_s)->trigger();
    const auto& m = FPrompter->Last().message;
    QCOMPARE(m.Text, u"您真的要删除施工地点为【客厅】吗？"_s);
    QCOMPARE(m.Caption, u"删除"_s);
    QCOMPARE(m.Buttons, mbYes | mbNo);
    QCOMPARE(m.DefaultButton, int(mbNo));
    QCOMPARE(ds.GroupCount(), 7);

    FPrompter->AnswerButton(mbYes);
    w->findChild<QAction*>(u"Group_Delete"_s)->trigger();
    QCOMPARE(ds.GroupCount(), 6);
    for (int i = 0; i < ds.GroupCount(); ++i)
        QCOMPARE(ds.Groups(i)->GroupNo, i + 1);
    QVERIFY(!ds.FindGroup(u"客厅"_s));

    // A new group offers the places; a name in use is refused with its message.
    FPrompter->AnswerText(u"阳台"_s);
    w->findChild<QAction*>(u"Group_New"_s)->trigger();
    QCOMPARE(FPrompter->Last().input.Caption, u"新建施工地点"_s);
    QCOMPARE(FPrompter->Last().input.Prompt, u"请输入一个施工地点"_s);
    QVERIFY(!FPrompter->Last().input.Choices.isEmpty());
    QVERIFY(ds.FindGroup(u"阳台"_s));
    FPrompter->AnswerText(u"厨房"_s);
    w->findChild<QAction*>(u"Group_New"_s)->trigger();
    QCOMPARE(FPrompter->MessageTexts().last(), u"该组“厨房”已存在！"_s);

    // Renaming the current group.
    QVERIFY(ds.LocateHeader(1));
    FPrompter->AnswerText(u"饭厅"_s);
    w->findChild<QAction*>(u"Group_Modify"_s)->trigger();
    QCOMPARE(FPrompter->Last().input.Value, u"餐厅"_s);
    QCOMPARE(ds.Groups(0)->GroupName(), u"饭厅"_s);
}

void TestProjectWindow::pasteIntoGroup()
{
    TForm_Project* w = open(sample());
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    QAction* paste = w->findChild<QAction*>(u"Row_Paste"_s);
    QVERIFY(!paste->isEnabled());

    // Two items of 厨房 on the clipboard.
    TGroupInfo* kitchen = ds.FindGroup(u"厨房"_s);
    QList<TqxBookmark> rows;
    QVERIFY(ds.LocateHeader(kitchen->GroupNo));
    ds.Next();
    rows << ds.GetBookmark();
    const QString firstName = ds.FieldByName(u"项目名称"_s)->AsString();
    ds.Next();
    rows << ds.GetBookmark();
    const QString secondName = ds.FieldByName(u"项目名称"_s)->AsString();
    FData->CopyToClipboard(rows, &ds);
    SendMessageTo(w, MSG_CLIPBOARD_COUNT, 1, FData->ClipboardCount());
    QVERIFY(paste->isEnabled());

    TGroupInfo* living = ds.FindGroup(u"客厅"_s);
    const int livingNo = living->GroupNo;
    const double countBefore = [&] {
        ds.LocateSubtotal(livingNo);
        return ds.FieldByName(u"数量"_s)->AsFloat();
    }();
    QVERIFY(ds.LocateHeader(livingNo));
    paste->trigger();

    QVERIFY(ds.LocateSubtotal(livingNo));
    const int last = ds.FieldByName(u"序号"_s)->AsInteger() - 1;
    QCOMPARE(ds.FieldByName(u"数量"_s)->AsFloat(), countBefore + 2);
    QStringList tail;
    ds.Prior();
    for (int i = 0; i < 2; ++i, ds.Prior()) {
        QCOMPARE(ds.FieldByName(u"施工地点"_s)->AsString(), u"客厅"_s);
        QCOMPARE(ds.FieldByName(u"组号"_s)->AsInteger(), livingNo);
        tail.prepend(ds.FieldByName(u"项目名称"_s)->AsString());
    }
    QCOMPARE(tail, (QStringList{firstName, secondName}));
    QVERIFY(last > 2);
    QVERIFY(w->Modified());
}

void TestProjectWindow::feePage()
{
    TForm_Project* w = open(sample());
    TkvQfbDataSet& fees = w->Document().kvQfbDS;
    fees.First();
    w->findChild<QAction*>(u"Qfb_Delete"_s)->trigger();
    QCOMPARE(FPrompter->MessageTexts(), QStringList{u"第一行不能够被删除！"_s});
    QCOMPARE(fees.RecordCount(), 4);

    // A rejected formula: the row and the reason.
    QVERIFY(fees.Locate(u"序号"_s, 2));
    fees.Edit();
    fees.FieldByName(u"计算公式"_s)->SetAsString(u"[1]*"_s);
    fees.Post();
    w->findChild<QAction*>(u"Qfb_Comput"_s)->trigger();
    QVERIFY(FPrompter->MessageTexts().last().contains(u"第 2 行"_s));
    QVERIFY(w->Modified());

    // The fee template dialogs start in the data folder.
    const QString kvd = path(u"Data/我的取费.KVD"_s);
    FPrompter->AnswerFiles({kvd});
    w->findChild<QAction*>(u"Qfb_SaveToTemp"_s)->trigger();
    QCOMPARE(FPrompter->Last().file.Title, u"保存取费表"_s);
    QCOMPARE(FPrompter->Last().file.Filter, TProjectFeePage::TemplateFilter);
    QVERIFY(QFile::exists(kvd));
    FPrompter->AnswerFiles({kvd});
    w->findChild<QAction*>(u"Qfb_LoadFromTemp"_s)->trigger();
    QCOMPARE(fees.RecordCount(), 4);
}

void TestProjectWindow::commandsAndNotices()
{
    TForm_Project* first = open(sample());
    TForm_Project* second = TForm_Project::NewStandardProject(FArea.get(), *FInfo, *FData);
    FTarget->Codes.clear();
    FArea->setActiveSubWindow(first);
    QCOMPARE(FTarget->Codes, (QList<qintptr>{cnActivated, cnNotModified}));
    FTarget->Codes.clear();
    FArea->setActiveSubWindow(second);
    QCOMPARE(FTarget->Codes, (QList<qintptr>{cnActivated, cnModified})); // a new document counts as modified

    // Save as through the main window's command; unknown commands do nothing.
    FPrompter->AnswerFiles({path(u"工程/另存.KVP"_s)});
    SendMessageTo(first, MSG_CHILD_COMMAND, ccSaveAs, 0);
    QCOMPARE(FPrompter->Last().file.Title, u"工程另存为"_s);
    QVERIFY(QFile::exists(path(u"工程/另存.KVP"_s)));
    const auto asked = FPrompter->Records.size();
    SendMessageTo(first, MSG_CHILD_COMMAND, 5, 0);
    QCOMPARE(FPrompter->Records.size(), asked);

    QPointer<TForm_Project> alive = first;
    FTarget->Codes.clear();
    SendMessageTo(first, MSG_CHILD_COMMAND, ccClose, 0);
    QTRY_VERIFY(alive.isNull());
    QCOMPARE(FTarget->Codes.first(), qintptr(cnClosing));
    QVERIFY(FTarget->Codes.contains(cnDestroying));
}

void TestProjectWindow::damagedFilesClose_data()
{
    QTest::addColumn<QString>("section");
    QTest::newRow("budget") << u"预算书"_s;
    QTest::newRow("fees") << u"取费表"_s;
}

void TestProjectWindow::damagedFilesClose()
{
    QFETCH(QString, section);
    TForm_Project* other = open(sample());
    const QString file = variant([&](TKVFile& f) {
        const QByteArray bytes = *f.SectionData(section);
        f.SaveSection(section, bytes.left(bytes.size() - 7));
    });
    try {
        open(file);
        QFAIL("opened");
    } catch (const Exception& e) {
        QVERIFY(e.Message.contains(file) && e.Message.contains(u'[' + section + u']'));
    }
    QTRY_COMPARE(FArea->subWindowList().size(), 1);
    QCOMPARE(FArea->subWindowList().first(), other);

    // A wrong password is told and the window closes; an empty file likewise.
    const QString locked = variant([](TKVFile& f) { f.SetPassWord(u"pw"_s); });
    FPrompter->AnswerText(u"PW"_s);
    QVERIFY(!open(locked));
    QCOMPARE(FPrompter->MessageTexts().last(), u"您输入的密码不正确！"_s);
    QTRY_COMPARE(FArea->subWindowList().size(), 1);
}

// Damaged variants of the sample, made from its bytes or through its
// container: each is told (a message box, or the error the main window
// shows), the window closes and the file keeps its bytes.
void TestProjectWindow::damagedVariantsAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"empty", "truncated header", "truncated in the budget", "truncated in the fees",
                             "header size bit-flipped", "budget magic bit-flipped", "budget version bit-flipped",
                             "sections swapped", "budget size too small", "budget size past the end",
                             "fees size negative", "layout without comma", "fee packet of another table",
                             "budget packet of the fees"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void TestProjectWindow::damagedVariantsAreRefused()
{
    QFETCH(QString, kind);
    const QByteArray pristine = FileSystem::ReadFile(sample());
    const quint32 headerLength = qFromLittleEndian<quint32>(pristine.constData());
    const qsizetype data = 4 + qsizetype(headerLength);
    const auto header = [&](const QString& from, const QString& to) {
        QByteArray bytes = pristine;
        const QByteArray f = Gbk::Encode(from), t = Gbk::Encode(to);
        const qsizetype at = bytes.indexOf(f);
        if (at < 0 || at >= data)
            qFatal("no such header text");
        bytes.replace(at, f.size(), t);
        qToLittleEndian<quint32>(quint32(headerLength + t.size() - f.size()), bytes.data());
        return bytes;
    };
    const auto flipped = [&](qsizetype at, char mask) {
        QByteArray bytes = pristine;
        bytes[at] = char(bytes[at] ^ mask);
        return bytes;
    };

    QString file = path(u"工程/变体.KVP"_s);
    std::optional<QByteArray> bytes;
    if (kind == u"empty"_s)
        bytes = QByteArray();
    else if (kind == u"truncated header"_s)
        bytes = pristine.left(data - 10);
    else if (kind == u"truncated in the budget"_s)
        bytes = pristine.left(data + 2000);
    else if (kind == u"truncated in the fees"_s)
        bytes = pristine.left(pristine.size() - 100);
    else if (kind == u"header size bit-flipped"_s)
        bytes = flipped(2, 0x10);
    else if (kind == u"budget magic bit-flipped"_s)
        bytes = flipped(data, 0x01);
    else if (kind == u"budget version bit-flipped"_s)
        bytes = flipped(data + 4, 0x04);
    else if (kind == u"sections swapped"_s) {
        // The fee section's line first: every section reads another's bytes.
        const QString budget = u"<SECTION>预算书="_s, fees = u"<SECTION>取费表="_s;
        const QStringList lines = Gbk::Decode(pristine.mid(4, headerLength)).split(u"\r\n"_s);
        QStringList swapped = lines;
        const auto at = [&](const QString& prefix) {
            return std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(prefix); }) -
                   lines.begin();
        };
        const qsizetype b = at(budget), f = at(fees);
        QVERIFY(b < lines.size() && f < lines.size());
        swapped.swapItemsAt(b, f);
        bytes = header(lines.join(u"\r\n"_s), swapped.join(u"\r\n"_s));
    } else if (kind == u"budget size too small"_s || kind == u"budget size past the end"_s) {
        const QString line = Gbk::Decode(pristine.mid(4, headerLength)).section(u"\r\n"_s, 0, 0);
        QVERIFY(line.startsWith(u"<SECTION>预算书="_s));
        const int size = line.section(u'=', 1).toInt();
        bytes = header(line, u"<SECTION>预算书="_s +
                                 QString::number(kind.endsWith(u"small"_s) ? size - 3 : size + 1000000));
    } else if (kind == u"fees size negative"_s) {
        bytes = header(u"<SECTION>取费表=295"_s, u"<SECTION>取费表=-295"_s);
    } else if (kind == u"layout without comma"_s) {
        file = variant([](TKVFile& f) { f.SaveSection(u"预算书网格布局"_s, Gbk::Encode(u"序号=-1\r\n"_s)); });
    } else if (kind == u"fee packet of another table"_s) {
        file = variant([](TKVFile& f) { f.SaveSection(u"取费表"_s, *f.SectionData(u"预算书"_s)); });
    } else if (kind == u"budget packet of the fees"_s) {
        file = variant([](TKVFile& f) { f.SaveSection(u"预算书"_s, *f.SectionData(u"取费表"_s)); });
    } else {
        QFAIL("unknown variant");
    }
    if (bytes) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(out.write(*bytes) == bytes->size());
    }
    const QByteArray before = FileSystem::ReadFile(file);
    QCOMPARE(before.isEmpty(), kind == u"empty"_s);

    const qsizetype messages = FPrompter->MessageTexts().size();
    QString told;
    try {
        QVERIFY(!open(file));
        QVERIFY(FPrompter->MessageTexts().size() > messages);
        told = FPrompter->MessageTexts().last();
    } catch (const Exception& e) {
        told = e.Message;
    }
    QVERIFY2(!told.isEmpty(), qPrintable(kind));
    QTRY_VERIFY(FArea->subWindowList().isEmpty());
    QCOMPARE(FileSystem::ReadFile(file), before);
}

void TestProjectWindow::passwordCommand()
{
    TForm_Project* w = open(sample());
    QString offered = u"x"_s;
    w->AskNewPassword = [&](QString& password) {
        offered = password;
        password = u"新密码"_s;
        return true;
    };
    w->findChild<QAction*>(u"ProjectInfo_Password"_s)->trigger();
    QCOMPARE(offered, QString());
    QVERIFY(w->Modified());
    QVERIFY(w->SaveProject());
    TKVFile saved;
    saved.LoadFromFile(sample());
    QCOMPARE(saved.PassWord(), u"新密码"_s);
}

// Open, change nothing, save: the texts come back byte for byte, the tables
// row for row, and the window's own switch and layouts are written.
void TestProjectWindow::roundTripThroughTheWindow()
{
    TKVFile before;
    before.LoadFromFile(sample());
    kvProject original;
    QVERIFY(original.OpenFile(sample()));
    const int budgetRows = original.kvYssDS_Main.RecordCount();

    TForm_Project* w = open(sample());
    w->BudgetPage->InputPanelAction()->setChecked(false);
    SendMessageTo(w, MSG_CHILD_COMMAND, ccSave, 0);
    TKVFile after;
    after.LoadFromFile(sample());
    for (const QString& section : {u"工程信息"_s, u"备注"_s})
        QCOMPARE(*after.SectionData(section), *before.SectionData(section));
    QCOMPARE(after.ReadValue(u"录入板"_s), u"0"_s);
    QCOMPARE(after.ReadValue(u"视图"_s), u"施工地点"_s);
    QCOMPARE(after.ProjectName(), u"工程预算样本"_s);
    QCOMPARE(Gbk::Decode(*after.SectionData(u"取费表网格布局"_s)).count(u"\r\n"_s), 5);

    kvProject reread;
    QVERIFY(reread.OpenFile(sample()));
    QCOMPARE(reread.kvYssDS_Main.RecordCount(), budgetRows);
    QCOMPARE(reread.kvYssDS_Main.TotalAmount(), original.kvYssDS_Main.TotalAmount());
    QCOMPARE(reread.kvQfbDS.SaveToBytes(), original.kvQfbDS.SaveToBytes());
    QVERIFY(!reread.InputPanel);
}

void TestProjectWindow::informationEditor()
{
    TForm_Project* w = open(sample());
    TqxValueListEditor* vle = w->qxVLE_ProjectInfo;
    // A key may not repeat: the edit is taken back.
    vle->item(1, 0)->setText(u"工程名称"_s);
    QCOMPARE(FPrompter->MessageTexts(), QStringList{u"“工程名称”已经存在，名称不能重复！"_s});
    QCOMPARE(vle->Key(1), u"客户姓名"_s);
    QVERIFY(!w->Modified());

    // Enter moves on to the next value; a changed value names the project.
    vle->setCurrentCell(0, 1);
    QTest::keyClick(vle, Qt::Key_Return);
    QCOMPARE(vle->currentRow(), 1);
    vle->SetValue(0, u"新名称"_s);
    QVERIFY(w->Modified());
    QCOMPARE(w->Document().ProjectInfo.Value(u"工程名称"_s), u"新名称"_s);
    QVERIFY(w->SaveProject());
    QCOMPARE(w->windowTitle(), u"新名称"_s);

    // The panel is centred, never nearer the edges than 5 and 50 pixels.
    QWidget* page = w->Panel_Project->parentWidget();
    w->ShowPage(u"工程信息"_s);
    page->resize(2000, 1500);
    QCOMPARE(w->Panel_Project->pos(), QPoint((2000 - w->Panel_Project->width()) / 2, (1500 - w->Panel_Project->height()) / 2));
    page->resize(100, 100);
    QCOMPARE(w->Panel_Project->pos(), QPoint(5, 50));
}

// A quantity typed into the grid: the amount, the group's subtotal and the
// modified notice follow.
void TestProjectWindow::typedQuantity()
{
    TForm_Project* w = open(sample());
    w->ShowPage(u"预算书"_s);
    FArea->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(FArea.get()));
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    TqxDBGrid* grid = w->BudgetPage->qxDBGrid_Yss;
    grid->setFocus();
    QVERIFY(ds.LocateHeader(1));
    ds.Next();
    const double price = ds.FieldByName(u"单价"_s)->AsFloat();
    grid->SetSelectedIndex(grid->FindColumn(u"数量"_s)->Index());
    FTarget->Codes.clear();
    QTest::keyClicks(grid, u"4"_s);
    QVERIFY(grid->EditorMode());
    QTest::keyClick(grid->InplaceEditor(), Qt::Key_Return);
    QCOMPARE(ds.FieldByName(u"数量"_s)->AsFloat(), 4.0);
    QCOMPARE(ds.FieldByName(u"金额"_s)->AsFloat(), price * 4);
    QVERIFY(w->Modified());
    QVERIFY(FTarget->Codes.contains(cnModified));
    QVERIFY(ds.LocateSubtotal(1));
    QCOMPARE(ds.FieldByName(u"金额"_s)->AsFloat(), ds.FindGroupByNo(1)->FieldSum(u"金额"_s));
}

TForm_Project* TestProjectWindow::openBudget()
{
    TForm_Project* w = open(sample());
    if (!w)
        return nullptr;
    w->ShowPage(u"预算书"_s);
    FArea->activateWindow();
    if (!QTest::qWaitForWindowActive(FArea.get()))
        return nullptr;
    w->BudgetPage->qxDBGrid_Yss->setFocus();
    return w;
}

// The estimator's fast path: a new row, the start of a query code typed into
// the empty name cell, the panel comes, the rest of the code, Enter. The
// library item lands in the row and the quantity is next.
void TestProjectWindow::quickInputTakesAnItem()
{
    TForm_Project* w = openBudget();
    QVERIFY(w);
    TProjectBudgetPage* page = w->BudgetPage;
    TkvYssDataSet& ds = page->DataSet();
    TqxDBGrid* grid = page->qxDBGrid_Yss;
    TkvLookupPanel* panel = page->qxFloatPanel_Selected;
    QCOMPARE(panel->parentWidget(), grid);
    QCOMPARE(panel->objectName(), u"qxFloatPanel_Selected"_s);
    QVERIFY(!panel->isVisible());

    QVERIFY(ds.LocateHeader(2));
    const QString group = ds.CurrentGroup()->GroupName();
    w->findChild<QAction*>(u"Row_New"_s)->trigger();
    grid->SetSelectedIndex(grid->FindColumn(u"项目名称"_s)->Index());
    QTest::keyClicks(grid, u"m"_s);
    QVERIFY(grid->EditorMode());
    QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 3000);
    QCOMPARE(panel->ActivePage(), u"项目名称"_s);
    QVERIFY(grid->PopWindow());
    QVERIFY(panel->Edit_SelectInput->hasFocus());
    QTest::keyClicks(panel->Edit_SelectInput, u"tjxaz"_s);
    QCOMPARE(panel->Edit_SelectInput->text(), u"mtjxaz"_s);
    QCOMPARE(panel->CurrentText(), u"木踢脚线安装"_s);
    QTest::keyClick(panel->Edit_SelectInput, Qt::Key_Return);

    QVERIFY(!panel->isVisible());
    QVERIFY(!grid->PopWindow());
    QCOMPARE(ds.FieldByName(u"项目名称"_s)->AsString(), u"木踢脚线安装"_s);
    QCOMPARE(ds.FieldByName(u"单价"_s)->AsFloat(), 25.0);
    QCOMPARE(ds.FieldByName(u"单位"_s)->AsString(), u"米"_s);
    QCOMPARE(ds.FieldByName(u"备注"_s)->AsString(), u"人工费"_s);
    QCOMPARE(ds.FieldByName(u"项目类别"_s)->AsString(), u"地板工程"_s);
    QCOMPARE(ds.FieldByName(u"施工地点"_s)->AsString(), group); // stays in its room
    QCOMPARE(ds.FieldByName(u"组号"_s)->AsInteger(), 2);
    QVERIFY(ds.FieldByName(u"数量"_s)->IsNull());
    QCOMPARE(grid->SelectedField()->FieldName(), u"数量"_s);
    QVERIFY(grid->hasFocus());
    QVERIFY(w->Modified());

    // The quantity cell takes the next keys.
    QTest::keyClicks(grid, u"3"_s);
    QTest::keyClick(grid->InplaceEditor(), Qt::Key_Return);
    QCOMPARE(ds.FieldByName(u"金额"_s)->AsFloat(), 75.0);
    QCOMPARE(ds.FieldByName(u"项目名称"_s)->AsString(), u"木踢脚线安装"_s);
    QVERIFY(!panel->isVisible());
}

// A cell that holds a value is edited in place; only its ellipsis button
// brings the panel, starting from the cell's text.
void TestProjectWindow::quickInputWaitsOnAFilledCell()
{
    TForm_Project* w = openBudget();
    QVERIFY(w);
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    TqxDBGrid* grid = w->BudgetPage->qxDBGrid_Yss;
    TkvLookupPanel* panel = w->BudgetPage->qxFloatPanel_Selected;
    QVERIFY(ds.LocateHeader(1));
    ds.Next();
    const QString unit = ds.FieldByName(u"单位"_s)->AsString();
    QVERIFY(!unit.isEmpty());
    grid->SetSelectedIndex(grid->FindColumn(u"单位"_s)->Index());
    grid->SetEditorMode(true);
    QVERIFY(grid->EditorMode());
    QTest::qWait(2 * TkvLookupPanel::ShowDelay);
    QVERIFY(!panel->isVisible());
    QVERIFY(!panel->Timer_ShowPanel->isActive());

    QTest::mouseClick(grid->InplaceEditor()->EditButton(), Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->ActivePage(), u"单位"_s);
    QCOMPARE(panel->Edit_SelectInput->text(), unit);
    QCOMPARE(panel->CurrentText(), unit);
    QTest::keyClick(panel->Edit_SelectInput, Qt::Key_Escape);
    QVERIFY(!panel->isVisible());
    QCOMPARE(ds.FieldByName(u"单位"_s)->AsString(), unit);
    QVERIFY(!w->Modified());
}

// What belongs to the window: "录入板" switches the automatic opening and is
// kept with the project, another child taking over hides the panel, and the
// close query stops a pending opening, also when the window stays.
void TestProjectWindow::quickInputFollowsTheWindow()
{
    TForm_Project* w = openBudget();
    QVERIFY(w);
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    TqxDBGrid* grid = w->BudgetPage->qxDBGrid_Yss;
    TkvLookupPanel* panel = w->BudgetPage->qxFloatPanel_Selected;
    QAction* inputPanel = w->findChild<QAction*>(u"Row_InputPanel"_s);
    const auto openEmptyUnitCell = [&] {
        QVERIFY(ds.LocateHeader(1));
        w->findChild<QAction*>(u"Row_New"_s)->trigger();
        grid->setFocus();
        grid->SetSelectedIndex(grid->FindColumn(u"单位"_s)->Index());
        grid->SetEditorMode(true);
        QVERIFY(grid->EditorMode());
    };

    // Switched off from the tool bar while the panel shows: it goes and stays away.
    openEmptyUnitCell();
    QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 3000);
    inputPanel->trigger();
    QVERIFY(!inputPanel->isChecked());
    QVERIFY(!panel->isVisible());
    QVERIFY(!w->Document().InputPanel);
    openEmptyUnitCell();
    QTest::qWait(2 * TkvLookupPanel::ShowDelay);
    QVERIFY(!panel->isVisible());
    inputPanel->trigger();

    // Another project window becomes the active one.
    openEmptyUnitCell();
    QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 3000);
    TForm_Project* other = TForm_Project::NewStandardProject(FArea.get(), *FInfo, *FData);
    QVERIFY(other);
    QCOMPARE(FArea->activeSubWindow(), other);
    QVERIFY(!panel->isVisible());
    QVERIFY(!grid->PopWindow());
    FArea->setActiveSubWindow(w);

    // The close query comes while the panel is on its way; the user keeps the window.
    grid->setFocus();
    openEmptyUnitCell();
    QVERIFY(panel->Timer_ShowPanel->isActive());
    w->Document().SetModified();
    FPrompter->AnswerButton(mbCancel);
    QVERIFY(!w->close());
    QCOMPARE(FPrompter->Last().message.Text, u"工程已被修改，是否保存？"_s);
    QVERIFY(!panel->Timer_ShowPanel->isActive());
    QTest::qWait(2 * TkvLookupPanel::ShowDelay);
    QVERIFY(!panel->isVisible());
}

void TestProjectWindow::previewShowsThePageLeft_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("report");
    QTest::newRow("预算书 by place") << u"预算书"_s << u"施工地点"_s << u"Preview_Yss"_s;
    QTest::newRow("预算书 by category") << u"预算书"_s << u"项目类别"_s << u"Preview_Yss"_s;
    QTest::newRow("工程信息") << u"工程信息"_s << QString() << u"Preview_ProjectInfo"_s;
    QTest::newRow("取费表") << u"取费表"_s << QString() << u"Preview_Qfb"_s;
}

// The tab "预览" opens on the report of the page the user came from, made
// from the project as it stands in the window.
void TestProjectWindow::previewShowsThePageLeft()
{
    QFETCH(QString, from);
    QFETCH(QString, view);
    QFETCH(QString, report);
    TForm_Project* w = open(sample());
    QVERIFY(w);
    kvProject& doc = w->Document();
    QString expected;
    if (from == u"预算书"_s) {
        w->findChild<QAction*>(view == u"施工地点"_s ? u"View_Place"_s : u"View_ItemKind"_s)->trigger();
        QVERIFY(doc.kvYssDS_Main.LocateHeader(1));
        expected = u"一、"_s + doc.kvYssDS_Main.CurrentGroup()->GroupName();
    } else if (from == u"工程信息"_s) {
        // An information value edited a moment ago.
        const int row = w->qxVLE_ProjectInfo->rowCount() - 1;
        w->qxVLE_ProjectInfo->item(row, 1)->setText(u"刚改过的内容"_s);
        expected = u"刚改过的内容"_s;
    } else {
        doc.kvQfbDS.First();
        expected = doc.kvQfbDS.FieldByName(u"取费名称"_s)->AsString();
    }
    w->ShowPage(from);

    w->TabSet_Main->setCurrentIndex(TForm_Project::PageCaptions.indexOf(u"预览"_s));
    TProjectPreview* preview = w->PreviewPage;
    QCOMPARE(w->Notebook_Main->currentWidget(), preview);
    QCOMPARE(w->LastPage(), from);
    QVERIFY(preview->Action(report)->isChecked());
    QVERIFY(preview->ShownMessage().isEmpty());
    QVERIFY2(preview->Prepared().Text().contains(expected), qPrintable(expected));
    QVERIFY(preview->Action(u"Preview_Print"_s)->isEnabled());
    QVERIFY(FPrompter->Records.empty());

    // Away and back from the fee page: the preview follows the page left.
    w->ShowPage(u"取费表"_s);
    QVERIFY(preview->Action(report)->isChecked()); // kept while away
    w->ShowPage(u"预览"_s);
    QVERIFY(preview->Action(u"Preview_Qfb"_s)->isChecked());
}

// Group heads, subtotals and rows without a name stay out of the budget
// report; the grid keeps every row and its place.
void TestProjectWindow::budgetReportLeavesTheGridWhole()
{
    TForm_Project* w = openBudget();
    QVERIFY(w);
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    TqxDBGrid* grid = w->BudgetPage->qxDBGrid_Yss;
    QVERIFY(ds.LocateHeader(1));
    const QString group = ds.CurrentGroup()->GroupName();
    int named = 0;
    {
        TqxDataSet rows;
        rows.CloneCursor(ds, true);
        for (rows.First(); !rows.Eof(); rows.Next())
            named += rows.FieldByName(u"组号"_s)->AsInteger() == 1 &&
                     rows.FieldByName(u"行类型"_s)->AsInteger() == rtItem &&
                     !rows.FieldByName(u"项目名称"_s)->AsString().isEmpty();
    }
    w->findChild<QAction*>(u"Row_New"_s)->trigger(); // a row without a name
    const int records = ds.RecordCount();
    const int shown = grid->Model()->rowCount();
    const int current = ds.RecNo();
    QCOMPARE(shown, records);

    w->ShowPage(u"预览"_s);
    const QString text = w->PreviewPage->Prepared().Text();
    QVERIFY(w->PreviewPage->Action(u"Preview_Yss"_s)->isChecked());
    QVERIFY2(text.contains(group + u"小计（%1 项）"_s.arg(named)), qPrintable(text));

    w->ShowPage(u"预算书"_s);
    QVERIFY(!ds.Filtered());
    QCOMPARE(ds.RecordCount(), records);
    QCOMPARE(grid->Model()->rowCount(), shown);
    QCOMPARE(ds.RecNo(), current);
    QVERIFY(ds.FieldByName(u"项目名称"_s)->IsNull());
}

QTEST_MAIN(TestProjectWindow)
#include "tst_projectwindow.moc"
