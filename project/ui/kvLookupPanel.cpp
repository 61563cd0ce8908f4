#include "kvLookupPanel.h"

#include "DataModule_App.h"
#include "kvTakeItem.h"
#include "kvYssDataSet.h"
#include "qxDBCtrls.h"
#include "qxErrors.h"
#include "qxUiFunctions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kPlace = u"施工地点"_s;
const QString kKind = u"项目类别"_s;
const QString kName = u"项目名称"_s;
const QString kUnit = u"单位"_s;
const QString kMemo = u"备注"_s;
const QString kQueryCode = u"查询码"_s;
const QString kParent = u"父类别"_s;
const QString kQuantity = u"数量"_s;

// The lookup compares Latin letters in either case and nothing else folded:
// a Chinese text is compared as it stands.
QString UpperLatin(QString text)
{
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return text;
}

} // namespace

TkvLookupPanel::TkvLookupPanel(TqxDBGrid& grid, TkvYssDataSet& budget, TDataModule_Data& data, QAction& inputPanel)
    : TqxFloatPanel(&grid), FGrid(grid), FBudget(budget), FData(data), FInputPanel(inputPanel)
{
    setObjectName(u"qxFloatPanel_Selected"_s);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    resize(PanelWidth, PreferredHeight);

    DataSource_LookUp = new TqxDataSource(this);
    DataSource_LookUp->setObjectName(u"DataSource_LookUp"_s);
    DataSource_LookUp->SetAutoEdit(false);
    CDS_LookUp.OnFilterRecord = [this](TqxDataSet* ds, bool& accept) { CDS_LookUpFilterRecord(ds, accept); };

    Timer_ShowPanel = new QTimer(this);
    Timer_ShowPanel->setObjectName(u"Timer_ShowPanel"_s);
    Timer_ShowPanel->setInterval(ShowDelay);
    connect(Timer_ShowPanel, &QTimer::timeout, this, &TkvLookupPanel::TimerTick);

    BuildControls();

    connect(&FGrid, &TqxDBGrid::OnInplaceEditorShow, this, &TkvLookupPanel::GridEditorShow);
    connect(&FGrid, &TqxDBGrid::OnEditButtonClick, this, &TkvLookupPanel::GridEditButtonClick);
    connect(&FGrid, &TqxDBGrid::OnInplaceEditorExit, this, &TkvLookupPanel::HideLookup);
    connect(&FGrid, &TqxDBGrid::OnInplaceEditorHide, this, &TkvLookupPanel::HideLookup);
    connect(&FInputPanel, &QAction::triggered, this, &TkvLookupPanel::HideLookup);
    connect(qApp, &QApplication::focusChanged, this, &TkvLookupPanel::FocusMoved);
    connect(this, &TqxFloatPanel::OnShow, this, [this] { FGrid.SetPopWindow(true); });
    connect(this, &TqxFloatPanel::OnHide, this, [this] { FGrid.SetPopWindow(false); });
}

TkvLookupPanel::~TkvLookupPanel()
{
    FDestroying = true;
    if (qApp)
        disconnect(qApp, &QApplication::focusChanged, this, &TkvLookupPanel::FocusMoved);
    // The grids let go of the lookup before it goes.
    DataSource_LookUp->SetDataSet(nullptr);
}

// ---------------------------------------------------------------- controls

void TkvLookupPanel::BuildControls()
{
    FLayout = new QVBoxLayout(this);
    FLayout->setContentsMargins(1, 1, 1, 1);
    FLayout->setSpacing(1);

    Panel_SelectInput = new QWidget(this);
    Panel_SelectInput->setObjectName(u"Panel_SelectInput"_s);
    Panel_SelectInput->setFixedHeight(24);
    auto* bar = new QHBoxLayout(Panel_SelectInput);
    bar->setContentsMargins(1, 1, 1, 1);
    bar->setSpacing(2);

    Edit_SelectInput = new QLineEdit(Panel_SelectInput);
    Edit_SelectInput->setObjectName(u"Edit_SelectInput"_s);
    Edit_SelectInput->installEventFilter(this);
    connect(Edit_SelectInput, &QLineEdit::textChanged, this, &TkvLookupPanel::Edit_SelectInputChange);

    Button_SelectInput = new QPushButton(u"录入确定"_s, Panel_SelectInput);
    Button_SelectInput->setObjectName(u"Button_SelectInput"_s);
    Button_SelectInput->setFocusPolicy(Qt::NoFocus);
    Button_SelectInput->setAutoDefault(false);
    // The panel is narrow: the input box gets what the button does not need.
    Button_SelectInput->setFixedWidth(Button_SelectInput->fontMetrics().horizontalAdvance(Button_SelectInput->text()) + 12);
    connect(Button_SelectInput, &QPushButton::clicked, this, &TkvLookupPanel::Commit);

    Label_LookUpKey = new QLabel(u"关键词:"_s, Panel_SelectInput);
    Label_LookUpKey->setObjectName(u"Label_LookUpKey"_s);

    ComboBox_LookUpKey = new QComboBox(Panel_SelectInput);
    ComboBox_LookUpKey->setObjectName(u"ComboBox_LookUpKey"_s);
    ComboBox_LookUpKey->setEditable(true);
    ComboBox_LookUpKey->setInsertPolicy(QComboBox::NoInsert);
    ComboBox_LookUpKey->setMinimumContentsLength(3);
    ComboBox_LookUpKey->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBox_LookUpKey->installEventFilter(this);
    connect(ComboBox_LookUpKey, &QComboBox::editTextChanged, this, [this](const QString& text) {
        FKeyword = UpperLatin(text);
        ReapplyFilter();
    });

    CheckBox_Filtered = new QCheckBox(u"所有(&A)"_s, Panel_SelectInput);
    CheckBox_Filtered->setObjectName(u"CheckBox_Filtered"_s);
    CheckBox_Filtered->setFocusPolicy(Qt::NoFocus);
    connect(CheckBox_Filtered, &QCheckBox::clicked, this, &TkvLookupPanel::CheckBox_FilteredClick);

    bar->addWidget(Edit_SelectInput, 1);
    bar->addWidget(Button_SelectInput);
    bar->addWidget(Label_LookUpKey);
    bar->addWidget(ComboBox_LookUpKey);
    bar->addWidget(CheckBox_Filtered);

    Notebook_Lookup = new QStackedWidget(this);
    Notebook_Lookup->setObjectName(u"Notebook_Lookup"_s);
    qxDBGrid_LK_Place = AddPage(kPlace, u"qxDBGrid_LK_Place"_s, {{u"类别名称"_s, 230}, {kQueryCode, 70}}, false);
    qxDBGrid_LK_ItemKind = AddPage(kKind, u"qxDBGrid_LK_ItemKind"_s, {{u"类别名称"_s, 230}, {kQueryCode, 70}}, false);
    qxDBGrid_LK_ItemName = AddPage(kName, u"qxDBGrid_LK_ItemName"_s,
                                   {{kName, 156}, {kQueryCode, 62}, {u"单价"_s, 56}, {kKind, 79}}, false);
    qxDBGrid_LK_MeasureUnit = AddPage(kUnit, u"qxDBGrid_LK_MeasureUnit"_s, {{kUnit, 230}, {kQueryCode, 70}}, false);
    qxDBGrid_LK_Memo = AddPage(kMemo, u"qxDBGrid_LK_Memo"_s, {{kMemo, 230}, {kQueryCode, 70}}, true);

    FLayout->addWidget(Panel_SelectInput);
    FLayout->addWidget(Notebook_Lookup, 1);
}

TqxDBGrid* TkvLookupPanel::AddPage(const QString& fieldName, const QString& gridName,
                                   const QList<std::pair<QString, int>>& columns, bool multiSelect)
{
    auto* page = new QWidget(Notebook_Lookup);
    page->setObjectName(fieldName);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* grid = new TqxDBGrid(page);
    grid->setObjectName(gridName);
    for (const auto& [name, width] : columns)
        grid->AddColumn(name, QString(), width);
    grid->SetOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgRowSelect |
                     dgAlwaysShowSelection);
    grid->SetReadOnly(true);
    grid->SetRowSelect(multiSelect);
    grid->installEventFilter(this);
    layout->addWidget(grid);
    Notebook_Lookup->addWidget(page);
    if (multiSelect)
        connect(grid, &TqxDBGrid::OnAfterRowSelect, this, &TkvLookupPanel::MemoGridRowSelect);
    else
        connect(grid, &TqxDBGrid::OnCellClick, this, &TkvLookupPanel::LookupGridCellClick);
    return grid;
}

TqxDBGrid* TkvLookupPanel::LookupGrid(const QString& fieldName) const
{
    if (fieldName == kPlace)
        return qxDBGrid_LK_Place;
    if (fieldName == kKind)
        return qxDBGrid_LK_ItemKind;
    if (fieldName == kName)
        return qxDBGrid_LK_ItemName;
    if (fieldName == kUnit)
        return qxDBGrid_LK_MeasureUnit;
    if (fieldName == kMemo)
        return qxDBGrid_LK_Memo;
    return nullptr;
}

QString TkvLookupPanel::ActivePage() const
{
    const QWidget* page = Notebook_Lookup->currentWidget();
    return page ? page->objectName() : QString();
}

// ---------------------------------------------------------------- opening and placing

void TkvLookupPanel::ShowLookup(const QString& fieldName)
{
    TqxDBGrid* lookupGrid = LookupGrid(fieldName);
    if (!lookupGrid)
        return;
    PlacePanel();
    if (isVisible())
        return;

    SetInputControl(nullptr);
    Notebook_Lookup->setCurrentWidget(lookupGrid->parentWidget());
    // Every opening starts from the whole list: the last keyword is gone
    // before the new source is filtered.
    {
        const QSignalBlocker block(ComboBox_LookUpKey);
        ComboBox_LookUpKey->clear();
        ComboBox_LookUpKey->setEditText(QString());
        FKeyword.clear();
    }

    const QString kind = FBudget.Active() ? FBudget.FieldByName(kKind)->AsString() : QString();
    // Only the page shown is bound to the lookup, so a filter change
    // refreshes one grid, not five.
    for (TqxDBGrid* g : {qxDBGrid_LK_Place, qxDBGrid_LK_ItemKind, qxDBGrid_LK_ItemName, qxDBGrid_LK_MeasureUnit,
                         qxDBGrid_LK_Memo})
        g->SetDataSource(g == lookupGrid ? DataSource_LookUp : nullptr);
    try {
        if (fieldName == kPlace || fieldName == kKind)
            SetLookupSource(FData.CDS_SYSItemCate, kParent, fmEquals, fieldName);
        else if (fieldName == kName)
            kind.isEmpty() ? SetLookupSource(FData.CDS_SYSItems, QString(), fmNone, QString())
                           : SetLookupSource(FData.CDS_SYSItems, kKind, fmEquals, kind);
        else if (fieldName == kUnit)
            SetLookupSource(FData.CDS_MeasureUnit, QString(), fmNone, QString());
        else
            kind.isEmpty() ? SetLookupSource(FData.CDS_Memos, QString(), fmNone, QString())
                           : SetLookupSource(FData.CDS_Memos, kKind, fmContains, kind);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
        return;
    }
    SetInputControl(lookupGrid);
    lookupGrid->ClearSelectedRows();

    // The cell's own text; an editor that was typed into before the panel
    // came gives its text to the input box instead of to the cell.
    QString text;
    if (TqxInplaceEdit* editor = FGrid.InplaceEditor(); editor && FGrid.EditorMode()) {
        text = editor->text();
        editor->setText(editor->OriginalText());
    } else if (const TqxField* field = FGrid.SelectedField()) {
        text = field->AsString();
    }
    Edit_SelectInput->setText(QString());
    Edit_SelectInput->setText(text);

    {
        const QSignalBlocker block(ComboBox_LookUpKey);
        QStringList words;
        FData.ListWords(fieldName, words);
        ComboBox_LookUpKey->addItem(QString());
        ComboBox_LookUpKey->addItems(words);
        ComboBox_LookUpKey->setCurrentIndex(0);
        ComboBox_LookUpKey->setEditText(QString());
    }

    show();
    raise();
    Edit_SelectInput->setFocus();
    CheckBox_Filtered->setChecked(false);
}

void TkvLookupPanel::HideLookup()
{
    Timer_ShowPanel->stop();
    hide();
}

// Below the cell when there is room, else above it; the input bar always
// sits next to the cell.
void TkvLookupPanel::PlacePanel()
{
    QRect editor;
    FGrid.GetEditorBounds(editor);
    // The grid's client area ends where its scroll bars begin.
    const QRect viewport = FGrid.viewport()->geometry();
    const int clientWidth = viewport.x() + viewport.width();
    const int clientHeight = viewport.y() + viewport.height();
    int left = editor.left();
    const int top = editor.top();
    const int bottom = editor.top() + editor.height(); // as the cell's rectangle counts it
    if (left + PanelWidth > clientWidth)
        left = clientWidth - PanelWidth - 1;
    const int below = clientHeight - bottom;
    int height;
    int panelTop;
    bool barAtTop;
    if (below > PreferredHeight) {
        height = PreferredHeight;
        panelTop = bottom + 1;
        barAtTop = true;
    } else if (top > PreferredHeight) {
        height = PreferredHeight;
        panelTop = top - PreferredHeight - 1;
        barAtTop = false;
    } else if (top > below) {
        height = top - 5;
        panelTop = top - height - 1;
        barAtTop = false;
    } else {
        height = below - 5;
        panelTop = bottom + 1;
        barAtTop = true;
    }
    resize(PanelWidth, std::max(height, 0));
    SetInputBarAtTop(barAtTop);
    MoveTo(left, panelTop);
}

void TkvLookupPanel::SetInputBarAtTop(bool top)
{
    const int at = FLayout->indexOf(Panel_SelectInput);
    if ((at == 0) == top)
        return;
    FLayout->removeWidget(Panel_SelectInput);
    FLayout->insertWidget(top ? 0 : 1, Panel_SelectInput);
}

// ---------------------------------------------------------------- the lookup and its filter

void TkvLookupPanel::SetLookupSource(TqxDataSet& table, const QString& filterField, TFilterMode filterMode,
                                     const QString& filterValue)
{
    FFilterField = filterField;
    FFilterMode = filterMode;
    FFilterValue = UpperLatin(filterValue);
    DataSource_LookUp->SetDataSet(nullptr);
    CDS_LookUp.SetFiltered(false);
    CDS_LookUp.CloneCursor(table);
    const TqxField* filterFieldOf = filterField.isEmpty() ? nullptr : CDS_LookUp.FindField(filterField);
    FFilterFieldIndex = filterFieldOf ? filterFieldOf->Index() : -1;
    const QString display = DisplayField();
    const TqxField* displayField = display.isEmpty() ? nullptr : CDS_LookUp.FindField(display);
    FDisplayFieldIndex = displayField ? displayField->Index() : -1;
    CDS_LookUp.SetFiltered(true);
    CDS_LookUp.First();
    DataSource_LookUp->SetDataSet(&CDS_LookUp);
}

void TkvLookupPanel::ReapplyFilter()
{
    if (!CDS_LookUp.Active())
        return;
    try {
        CDS_LookUp.SetFiltered(false);
        CDS_LookUp.SetFiltered(!CheckBox_Filtered->isChecked());
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
}

void TkvLookupPanel::CDS_LookUpFilterRecord(TqxDataSet* dataSet, bool& accept)
{
    if (!FFilterField.isEmpty() && FFilterMode != fmNone) {
        const QString text = FFilterFieldIndex >= 0 ? UpperLatin(dataSet->Fields(FFilterFieldIndex)->AsString())
                                                    : QString();
        accept = FFilterMode == fmEquals ? text == FFilterValue : text.contains(FFilterValue);
    }
    if (accept && !FKeyword.isEmpty() && InputControl()) {
        const QString text = FDisplayFieldIndex >= 0
                                 ? UpperLatin(dataSet->Fields(FDisplayFieldIndex)->AsString())
                                 : QString();
        accept = text.contains(FKeyword);
    }
}

QString TkvLookupPanel::DisplayField() const
{
    const TqxDBGrid* grid = LookupGrid(ActivePage());
    return grid && grid->ColumnCount() > 0 ? grid->Columns(0)->FieldName() : QString();
}

QString TkvLookupPanel::CurrentText() const
{
    if (!CDS_LookUp.Active() || CDS_LookUp.IsEmpty() || FDisplayFieldIndex < 0)
        return QString();
    return CDS_LookUp.Fields(FDisplayFieldIndex)->AsString();
}

// ---------------------------------------------------------------- typing

void TkvLookupPanel::Edit_SelectInputChange()
{
    if (FSettingInput || ActivePage() == kMemo || !CDS_LookUp.Active())
        return;
    const QString text = Edit_SelectInput->text();
    try {
        if (!CDS_LookUp.Locate(kQueryCode, text, loCaseInsensitive | loPartialKey) && FDisplayFieldIndex >= 0)
            CDS_LookUp.Locate(DisplayField(), text, loCaseInsensitive | loPartialKey);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
}

// A text taken from the lookup is the entry itself: searching with it again
// could land on an earlier entry whose name starts the same way.
void TkvLookupPanel::SetInputFromLookup(const QString& text)
{
    FSettingInput = true;
    Edit_SelectInput->setText(text);
    FSettingInput = false;
}

bool TkvLookupPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit_SelectInput && event->type() == QEvent::KeyPress)
        return Edit_SelectInputKeyDown(static_cast<QKeyEvent*>(event));
    if (watched == ComboBox_LookUpKey && event->type() == QEvent::FocusOut)
        ComboBox_LookUpKeyExit();
    if (watched == InputControl() && event->type() == QEvent::KeyPress)
        return LookupGridKeyDown(static_cast<QKeyEvent*>(event));
    return TqxFloatPanel::eventFilter(watched, event);
}

bool TkvLookupPanel::Edit_SelectInputKeyDown(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (TqxDBGrid* grid = qobject_cast<TqxDBGrid*>(InputControl())) {
            QKeyEvent moved(QEvent::KeyPress, event->key(), Qt::NoModifier);
            QCoreApplication::sendEvent(grid, &moved);
        }
        if (CDS_LookUp.Active() && !CDS_LookUp.IsEmpty()) {
            SetInputFromLookup(CurrentText());
            Edit_SelectInput->selectAll();
        }
        return true;
    }
    case Qt::Key_Escape:
        HideLookup();
        FGrid.setFocus();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ctrl && ActivePage() == kMemo) {
            SetInputFromLookup(Edit_SelectInput->text() + u","_s + CurrentText());
            return true;
        }
        // An empty lookup has no entry to take; the typed text stays.
        if (ctrl && CDS_LookUp.Active() && !CDS_LookUp.IsEmpty())
            SetInputFromLookup(CurrentText());
        Commit();
        return true;
    default:
        return false;
    }
}

// Picking remarks with the mouse leaves the focus in the lookup grid; Enter
// and Esc there do what they do in the input box, so the hand need not go
// back to the box. On the other pages Enter takes the entry the grid is on.
bool TkvLookupPanel::LookupGridKeyDown(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        HideLookup();
        FGrid.setFocus();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ActivePage() != kMemo && CDS_LookUp.Active() && !CDS_LookUp.IsEmpty())
            SetInputFromLookup(CurrentText());
        Commit();
        return true;
    default:
        return false;
    }
}

void TkvLookupPanel::ComboBox_LookUpKeyExit()
{
    const QString keyword = ComboBox_LookUpKey->currentText();
    if (!keyword.isEmpty() && ComboBox_LookUpKey->findText(keyword, Qt::MatchExactly) < 0) {
        const QSignalBlocker block(ComboBox_LookUpKey);
        ComboBox_LookUpKey->addItem(keyword);
        ComboBox_LookUpKey->setEditText(keyword);
    }
}

void TkvLookupPanel::CheckBox_FilteredClick()
{
    if (CDS_LookUp.Active()) {
        try {
            CDS_LookUp.SetFiltered(!CheckBox_Filtered->isChecked());
        } catch (const Exception& e) {
            ShowExceptionMessage(e.Message);
        }
    }
    Edit_SelectInput->setFocus();
}

// ---------------------------------------------------------------- committing

void TkvLookupPanel::Commit()
{
    if (FGrid.TableOpen()) {
        try {
            if (ActivePage() == kName && CDS_LookUp.Active() && !CDS_LookUp.IsEmpty()) {
                TakeItem(CDS_LookUp, FBudget);
                if (TqxColumn* quantity = FGrid.FindColumn(kQuantity))
                    FGrid.SetSelectedIndex(quantity->Index());
            } else if (TqxField* field = FGrid.SelectedField()) {
                FBudget.Edit();
                field->SetAsString(Edit_SelectInput->text());
                // Posted at once: a row left in edit mode behind a closed
                // panel would be lost to a save that does not post it.
                FBudget.Post();
            }
        } catch (const Exception& e) {
            if (FBudget.State() != TqxDataSetState::Browse)
                FBudget.Cancel();
            ShowExceptionMessage(e.Message);
        }
    }
    FGrid.setFocus();
    HideLookup();
}

// ---------------------------------------------------------------- the mouse

void TkvLookupPanel::LookupGridCellClick()
{
    if (!isVisible() || sender() != InputControl())
        return;
    SetInputFromLookup(CurrentText());
    Commit();
}

void TkvLookupPanel::MemoGridRowSelect()
{
    if (!isVisible() || InputControl() != qxDBGrid_LK_Memo || FDisplayFieldIndex < 0)
        return;
    QList<TqxBookmark> rows = qxDBGrid_LK_Memo->SelectedRows().Items();
    std::sort(rows.begin(), rows.end(),
              [this](const TqxBookmark& a, const TqxBookmark& b) { return CDS_LookUp.RowOf(a) < CDS_LookUp.RowOf(b); });
    QStringList texts;
    for (const TqxBookmark& row : rows)
        if (CDS_LookUp.BookmarkValid(row))
            texts << CDS_LookUp.TextAt(row, FDisplayFieldIndex);
    SetInputFromLookup(texts.join(u','));
}

// ---------------------------------------------------------------- the budget grid

void TkvLookupPanel::GridEditorShow()
{
    const TqxField* field = FGrid.SelectedField();
    if (FInputPanel.isChecked() && field && field->IsNull())
        Timer_ShowPanel->start();
}

void TkvLookupPanel::GridEditButtonClick()
{
    if (const TqxColumn* column = FGrid.SelectedColumn())
        ShowLookup(column->FieldName());
}

void TkvLookupPanel::TimerTick()
{
    if (FDestroying)
        return;
    const TqxColumn* column = FGrid.SelectedColumn();
    if (column && column->ButtonStyle() == cbsEllipsis)
        ShowLookup(column->FieldName());
}

// Across windows too: the keyword box's drop-down list is a window of its
// own, and opening it does not leave the panel.
static bool Within(const QWidget* w, const QWidget* ancestor)
{
    for (; w; w = w->parentWidget())
        if (w == ancestor)
            return true;
    return false;
}

bool TkvLookupPanel::InsidePanel(const QWidget* w) const { return Within(w, this); }

bool TkvLookupPanel::InsideGrid(const QWidget* w) const { return Within(w, &FGrid); }

// The panel goes when the focus leaves it for another control, and when it
// leaves the budget grid altogether.
void TkvLookupPanel::FocusMoved(QWidget* old, QWidget* now)
{
    if (FDestroying || !now || !isVisible())
        return;
    if ((InsidePanel(old) && !InsidePanel(now)) || (InsideGrid(old) && !InsideGrid(now)))
        HideLookup();
}
