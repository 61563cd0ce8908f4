#include "Win_Project.h"

#include "AppClasses.h"
#include "DataModule_App.h"
#include "Win_NewPassword.h"
#include "Win_ProjectBudget.h"
#include "Win_ProjectFees.h"
#include "Win_ProjectPreview.h"
#include "kvActionTable.h"
#include "kvLookupPanel.h"
#include "kvPrintChooser.h"
#include "qxCtrls_ValueListEditor.h"
#include "qxDBCtrls_DBGrid.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxNotices.h"
#include "qxPrompter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

const QStringList TForm_Project::PageCaptions{u"工程信息"_s, u"预算书"_s, u"取费表"_s, u"预览"_s};
const QString TForm_Project::ProjectFilter = u"家装工程书(*.KVP)|*.KVP"_s;
const QString TForm_Project::TemplateFilter = u"家装工程模板(*.KVT)|*.KVT"_s;

namespace {

const QString kProjectName = u"工程名称"_s;

QList<TColumnLayout> layoutOf(const TqxDBGrid* grid)
{
    QList<TColumnLayout> out;
    for (int i = 0; i < grid->ColumnCount(); ++i) {
        const TqxColumn* c = grid->Columns(i);
        out.append({c->FieldName(), c->Visible(), c->Width()});
    }
    return out;
}

void applyLayout(TqxDBGrid* grid, const std::optional<QByteArray>& text)
{
    if (!text)
        return;
    QStringList names;
    for (int i = 0; i < grid->ColumnCount(); ++i)
        names.append(grid->Columns(i)->FieldName());
    for (const TColumnLayout& l : ParseGridLayout(*text, names)) {
        TqxColumn* c = grid->FindColumn(l.FieldName);
        c->SetVisible(l.Visible);
        if (l.Visible && l.Width >= 0)
            c->SetWidth(l.Width);
    }
}

// What the preview reads of the open project: the document as it stands; the
// information and remarks pages put every change back into it as it is made.
class TProjectReportSource final : public TkvReportSource {
public:
    explicit TProjectReportSource(kvProject& document) : FDoc(document) {}
    TkvReportData ReportData(TkvReportPage) override { return ProjectReport::Data(FDoc); }
    QString GroupField() const override { return FDoc.View(); }
    QString ProjectName() const override { return FDoc.ProjectInfo.Value(kProjectName); }

private:
    kvProject& FDoc;
};

} // namespace

TForm_Project::TForm_Project(QMdiArea* area, const TAppGlobalInfo& info, TDataModule_Data& data)
    : TForm_Child(area), FInfo(info), FData(data)
{
    setObjectName(u"TForm_Project"_s);
    AskNewPassword = [](QString& password) { return GetNewPassword(password); };
    FDialogFolder = FileSystem::NativePath(FInfo.GetPath(u"工程"_s));
    FDoc.InputPanel = true;
    FDoc.OnNotify = [this](int code) { ForwardNotice(code); };
    FDoc.OnAfterRead = [this] { FillControls(); };
    FDoc.OnBeforeWrite = [this] { CollectLayouts(); };

    CreateActions(this, {
        {u"ProjectInfo_Password"_s, u"加密"_s, {}, [this] { ChangePassword(); }, u"document-encrypt"_s},
        {u"EditCut1"_s, u"剪切(&T)"_s, QKeySequence(u"Ctrl+X"_s), [] {
             if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget())) e->cut();
             else if (auto* m = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())) m->cut();
         }},
        {u"EditCopy1"_s, u"复制(&C)"_s, QKeySequence(u"Ctrl+C"_s), [] {
             if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget())) e->copy();
             else if (auto* m = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())) m->copy();
         }},
        {u"EditPaste1"_s, u"粘贴"_s, QKeySequence(u"Ctrl+V"_s), [] {
             if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget())) e->paste();
             else if (auto* m = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())) m->paste();
         }},
        {u"EditSelectAll1"_s, u"全选(&A)"_s, QKeySequence(u"Ctrl+A"_s), [] {
             if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget())) e->selectAll();
             else if (auto* m = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())) m->selectAll();
         }},
        {u"EditUndo1"_s, u"撤消(&U)"_s, QKeySequence(u"Ctrl+Z"_s), [] {
             if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget())) e->undo();
             else if (auto* m = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())) m->undo();
         }},
        {u"EditDelete1"_s, u"删除(&D)"_s, {}, [] {
             if (auto* e = qobject_cast<QLineEdit*>(QApplication::focusWidget())) e->del();
             else if (auto* m = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()))
                 m->textCursor().deleteChar();
         }},
    });

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Label_Loading = new QLabel(u"正在载入工程，请稍候..."_s, central);
    Label_Loading->setObjectName(u"Label_Loading"_s);
    Label_Loading->setAlignment(Qt::AlignCenter);
    layout->addWidget(Label_Loading, 1);

    Notebook_Main = new QStackedWidget(central);
    Notebook_Main->setObjectName(u"Notebook_Main"_s);
    auto* infoPage = new QWidget;
    infoPage->setObjectName(u"Page_Info"_s);
    CreateInfoPage(infoPage);
    BudgetPage = new TProjectBudgetPage(FDoc, FData);
    BudgetPage->setObjectName(u"Page_Yss"_s);
    BudgetPage->AttachDragInfo(*FInfo.DragInfo);
    FeePage = new TProjectFeePage(FDoc, FInfo);
    FeePage->setObjectName(u"Page_Qfb"_s);
    FReportSource = std::make_unique<TProjectReportSource>(FDoc);
    FPrintChooser = std::make_unique<TkvQtPrintChooser>();
    PreviewPage = new TProjectPreview(FInfo, Prompter(), *FPrintChooser, *FReportSource);
    for (QWidget* page : {infoPage, static_cast<QWidget*>(BudgetPage), static_cast<QWidget*>(FeePage),
                          static_cast<QWidget*>(PreviewPage)})
        Notebook_Main->addWidget(page);
    layout->addWidget(Notebook_Main, 1);

    TabSet_Main = new QTabBar(central);
    TabSet_Main->setObjectName(u"TabSet_Main"_s);
    TabSet_Main->setShape(QTabBar::RoundedSouth);
    TabSet_Main->setExpanding(false);
    for (const QString& caption : PageCaptions)
        TabSet_Main->addTab(caption);
    layout->addWidget(TabSet_Main);
    connect(TabSet_Main, &QTabBar::currentChanged, this, [this](int index) { ShowPage(PageCaptions.value(index)); });
    Notebook_Main->hide();
    TabSet_Main->hide();
    FLastPage = PageCaptions.first();
    setWidget(central);

    connect(this, &QMdiSubWindow::aboutToActivate, this, &TForm_Project::Activated);
    // Another child taking over: the lookup panel does not wait behind it.
    connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
        if ((before & Qt::WindowActive) && !(now & Qt::WindowActive))
            BudgetPage->qxFloatPanel_Selected->HideLookup();
    });
}

TForm_Project::~TForm_Project()
{
    FDoc.OnNotify = nullptr;
    FDoc.OnAfterRead = nullptr;
    FDoc.OnBeforeWrite = nullptr;
    if (!FDoc.IsNew())
        Notify(cnDestroying);
    // The pages and grids go before the document they show, and hear nothing of the window after.
    disconnect(this, &QMdiSubWindow::windowStateChanged, this, nullptr);
    qxVLE_ProjectInfo->removeEventFilter(this);
    Panel_Project->parentWidget()->removeEventFilter(this);
    FDestroying = true;
    delete widget();
}

void TForm_Project::CreateInfoPage(QWidget* page)
{
    ToolBar_Project = new QToolBar(page);
    ToolBar_Project->setObjectName(u"ToolBar_Project"_s);
    ToolBar_Project->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    FillToolBar(ToolBar_Project, this, {u"ProjectInfo_Password"_s});

    Panel_Project = new QWidget(page);
    Panel_Project->setObjectName(u"Panel_Project"_s);
    Panel_Project->resize(560, 490);
    qxVLE_ProjectInfo = new TqxValueListEditor(Panel_Project);
    qxVLE_ProjectInfo->setObjectName(u"qxVLE_ProjectInfo"_s);
    qxVLE_ProjectInfo->SetTitleCaptions(u"工程信息"_s, u"内容"_s);
    qxVLE_ProjectInfo->SetEnterToNext(true);
    qxVLE_ProjectInfo->setGeometry(0, 0, 560, 330);
    qxVLE_ProjectInfo->installEventFilter(this);
    auto* label = new QLabel(u"备注(&M):"_s, Panel_Project);
    label->setGeometry(0, 338, 560, 20);
    Memo_Project = new QPlainTextEdit(Panel_Project);
    Memo_Project->setObjectName(u"Memo_Project"_s);
    Memo_Project->setGeometry(0, 360, 560, 130);
    label->setBuddy(Memo_Project);

    connect(qxVLE_ProjectInfo, &QTableWidget::itemChanged, this, [this] { InfoChanged(); });
    connect(Memo_Project, &QPlainTextEdit::textChanged, this, &TForm_Project::RemarksChanged);
    page->installEventFilter(this);
}

// ---------------------------------------------------------------- entry operations

TForm_Project* TForm_Project::OpenProject(QMdiArea* area, const TAppGlobalInfo& info, TDataModule_Data& data,
                                          const QString& path)
{
    auto* window = new TForm_Project(area, info, data);
    window->Show();
    try {
        if (!window->OpenFile(path)) {
            window->close();
            return nullptr;
        }
    } catch (...) {
        window->close();
        throw;
    }
    window->ShowDocument();
    window->Notify(cnOpened);
    window->Notify(cnNotModified);
    return window;
}

TForm_Project* TForm_Project::NewProject(QMdiArea* area, const TAppGlobalInfo& info, TDataModule_Data& data,
                                         const QString& path)
{
    auto* window = new TForm_Project(area, info, data);
    window->Show();
    try {
        window->NewFromFile(path);
    } catch (...) {
        window->close();
        throw;
    }
    window->ShowDocument();
    window->Notify(cnOpened);
    window->Notify(cnModified);
    return window;
}

TForm_Project* TForm_Project::NewStandardProject(QMdiArea* area, const TAppGlobalInfo& info, TDataModule_Data& data)
{
    return NewProject(area, info, data, info.GetFileName(u"标准预算书"_s));
}

QString TForm_Project::ProjectNameOf(const QObject* window)
{
    const auto* w = qobject_cast<const TForm_Project*>(window);
    return w ? w->FDoc.ProjectName() : QString();
}

QString TForm_Project::FileNameOf(const QObject* window)
{
    const auto* w = qobject_cast<const TForm_Project*>(window);
    return w ? w->FDoc.FileName() : QString();
}

bool TForm_Project::IsNewOf(const QObject* window)
{
    const auto* w = qobject_cast<const TForm_Project*>(window);
    return w && w->FDoc.IsNew();
}

// ---------------------------------------------------------------- document

bool TForm_Project::OpenFile(const QString& path)
{
    Label_Loading->repaint(); // the loading text shows while the file is read
    return FDoc.OpenFile(path);
}

void TForm_Project::NewFromFile(const QString& path)
{
    Label_Loading->repaint();
    FDoc.NewFromFile(path);
}

void TForm_Project::ShowDocument()
{
    Label_Loading->hide();
    Notebook_Main->show();
    TabSet_Main->show();
    ShowPage(PageCaptions.first());
    FormResize();
}

// While the document is read: its information, remarks, switches and layouts.
void TForm_Project::FillControls()
{
    FFilling = true;
    qxVLE_ProjectInfo->SetStrings(FDoc.ProjectInfo.Lines());
    Memo_Project->setPlainText(FDoc.Remarks.join(u'\n'));
    FFilling = false;
    BudgetPage->InputPanelAction()->setChecked(FDoc.InputPanel);
    applyLayout(BudgetPage->qxDBGrid_Yss, FDoc.BudgetLayout);
    applyLayout(FeePage->qxDBGrid_Qfb, FDoc.FeeLayout);
    BudgetPage->UpdateActions();
}

void TForm_Project::CollectLayouts()
{
    FDoc.InputPanel = BudgetPage->InputPanelAction()->isChecked();
    FDoc.BudgetLayout = FormatGridLayout(layoutOf(BudgetPage->qxDBGrid_Yss));
    FDoc.FeeLayout = FormatGridLayout(layoutOf(FeePage->qxDBGrid_Qfb));
}

void TForm_Project::InfoChanged()
{
    if (FFilling || FDoc.Loading())
        return;
    const QStringList lines = qxVLE_ProjectInfo->Strings();
    // Keys are unique: an edit that repeats a key is taken back.
    QStringList keys;
    for (int row = 0; row < qxVLE_ProjectInfo->rowCount(); ++row) {
        const QString key = qxVLE_ProjectInfo->Key(row);
        if (!key.isEmpty() && keys.contains(key, Qt::CaseInsensitive)) {
            FFilling = true;
            qxVLE_ProjectInfo->SetStrings(FDoc.ProjectInfo.Lines());
            FFilling = false;
            ShowMessage(u"“"_s + key + u"”已经存在，名称不能重复！"_s, u"提示"_s, TMsgIcon::Warning);
            return;
        }
        keys.append(key);
    }
    FDoc.ProjectInfo.SetLines(lines);
    FDoc.SetModified();
}

void TForm_Project::RemarksChanged()
{
    if (FFilling || FDoc.Loading())
        return;
    FDoc.Remarks = Memo_Project->toPlainText().split(u'\n');
    FDoc.SetModified();
}

// ---------------------------------------------------------------- saving

bool TForm_Project::SaveProject()
{
    if (FDoc.IsNew()) {
        TFileRequest ask;
        ask.Kind = TFileDialogKind::Save;
        ask.Title = u"保存工程"_s;
        ask.Filter = ProjectFilter;
        ask.DefaultExt = u"KVP"_s;
        ask.InitialDir = FDialogFolder;
        ask.FileName = FDoc.ProjectInfo.Value(kProjectName);
        ask.OverwritePrompt = true;
        const QStringList chosen = Prompter().ChooseFiles(ask);
        if (chosen.isEmpty())
            return false;
        FDialogFolder = QFileInfo(chosen.first()).absolutePath();
        FDoc.NameNewFile(chosen.first());
    }
    return FDoc.Save();
}

bool TForm_Project::AskFileAndSaveCopy(const QString& title, const QString& filter, const QString& ext,
                                       const QString& folder)
{
    FDialogFolder = folder;
    TFileRequest ask;
    ask.Kind = TFileDialogKind::Save;
    ask.Title = title;
    ask.Filter = filter;
    ask.DefaultExt = ext;
    ask.InitialDir = FDialogFolder;
    ask.OverwritePrompt = true;
    const QStringList chosen = Prompter().ChooseFiles(ask);
    if (chosen.isEmpty())
        return false;
    FDialogFolder = QFileInfo(chosen.first()).absolutePath();
    return FDoc.SaveAs(chosen.first());
}

bool TForm_Project::SaveProjectAs()
{
    return AskFileAndSaveCopy(u"工程另存为"_s, ProjectFilter, u"KVP"_s, FileSystem::NativePath(FInfo.GetPath(u"工程"_s)));
}

bool TForm_Project::SaveAsTemplate()
{
    return AskFileAndSaveCopy(u"工程另存为模板"_s, TemplateFilter, u"KVT"_s, FileSystem::NativePath(FInfo.GetPath(u"模板"_s)));
}

void TForm_Project::ChangePassword()
{
    QString password = FDoc.KVFile_Main.PassWord();
    if (AskNewPassword && AskNewPassword(password))
        FDoc.SetPassword(password);
}

// ---------------------------------------------------------------- pages and notices

QString TForm_Project::CurrentPage() const { return PageCaptions.value(Notebook_Main->currentIndex()); }

void TForm_Project::ShowPage(const QString& caption)
{
    const int index = PageCaptions.indexOf(caption);
    if (index < 0)
        return;
    const bool changed = index != Notebook_Main->currentIndex();
    if (changed)
        FLastPage = CurrentPage();
    Notebook_Main->setCurrentIndex(index);
    if (TabSet_Main->currentIndex() != index)
        TabSet_Main->setCurrentIndex(index);
    // The preview opens on the report of the page the user came from.
    if (changed && Notebook_Main->currentWidget() == PreviewPage)
        PreviewPage->ShowFor(FLastPage);
}

void TForm_Project::ForwardNotice(int code)
{
    if (code == cnCaptionChanged)
        setWindowTitle(FDoc.Caption());
    Notify(code);
}

void TForm_Project::Activated()
{
    if (FDoc.Loading())
        return;
    Notify(FDoc.Modified() || FDoc.IsNew() ? cnModified : cnNotModified);
}

void TForm_Project::FormResize()
{
    QWidget* page = Panel_Project->parentWidget();
    const int left = std::max(5, (page->width() - Panel_Project->width()) / 2);
    const int top = std::max(50, (page->height() - Panel_Project->height()) / 2);
    Panel_Project->move(left, top);
}

bool TForm_Project::eventFilter(QObject* watched, QEvent* event)
{
    // The sub-window watches its page area, which sends events while its
    // children (the controls named below) are freed.
    if (FDestroying)
        return TForm_Child::eventFilter(watched, event);
    if (watched == Panel_Project->parentWidget() && event->type() == QEvent::Resize)
        FormResize();
    if (watched == qxVLE_ProjectInfo && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Insert) {
            const int row = std::max(0, qxVLE_ProjectInfo->currentRow() + 1);
            qxVLE_ProjectInfo->insertRow(row);
            qxVLE_ProjectInfo->setCurrentCell(row, 0);
            return true;
        }
        if (key->key() == Qt::Key_Delete && (key->modifiers() & Qt::ControlModifier) &&
            qxVLE_ProjectInfo->currentRow() >= 0) {
            qxVLE_ProjectInfo->removeRow(qxVLE_ProjectInfo->currentRow());
            InfoChanged();
            return true;
        }
        // Enter moves on to the next value.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const int next = qxVLE_ProjectInfo->currentRow() + 1;
            if (next < qxVLE_ProjectInfo->rowCount())
                qxVLE_ProjectInfo->setCurrentCell(next, 1);
            return true;
        }
    }
    return TForm_Child::eventFilter(watched, event);
}

bool TForm_Project::event(QEvent* event)
{
    if (event->type() != TqxMessageEvent::EventType())
        return TForm_Child::event(event);
    auto* m = static_cast<TqxMessageEvent*>(event);
    if (m->Msg == MSG_CHILD_COMMAND) {
        switch (int(m->WParam)) {
        case ccClose: close(); break;
        case ccSave: SaveProject(); break;
        case ccSaveAs: SaveProjectAs(); break;
        case ccSaveAsTemplate: SaveAsTemplate(); break;
        default: break;
        }
    } else if (m->Msg == MSG_CLIPBOARD_COUNT && m->WParam == 1) {
        BudgetPage->SetClipboardCount(int(m->LParam));
    }
    return true;
}

// A save that fails or is cancelled keeps the window: nothing is lost.
void TForm_Project::closeEvent(QCloseEvent* event)
{
    // No panel may pop up over the question or a closing window.
    BudgetPage->qxFloatPanel_Selected->Timer_ShowPanel->stop();
    if (FDoc.Modified()) {
        const int answer = ShowMessage(u"工程已被修改，是否保存？"_s, u"提示"_s, TMsgIcon::Question,
                                       mbYes | mbNo | mbCancel);
        if (answer == mbCancel || (answer == mbYes && (!SaveProject() || FDoc.Modified()))) {
            event->ignore();
            return;
        }
    }
    TForm_Child::closeEvent(event);
}
