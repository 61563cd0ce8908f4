#include "qxDBCtrls_DBGrid.h"

#include "qxDBCtrls_GridDelegate.h"
#include "qxDBCtrls_GridHeaders.h"
#include "qxDBCtrls_InplaceEdit.h"
#include "qxDataSetModel.h"
#include "qxErrors.h"
#include "qxUiFunctions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

using namespace Qt::StringLiterals;

namespace {

// Latin letters in any case; everything else as it is.
bool sameName(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a.at(i).unicode();
        const char16_t y = b.at(i).unicode();
        const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
        if (upper(x) != upper(y))
            return false;
    }
    return true;
}

// A tag's number in a group value: the text between the first opening tag
// and the closing tag after it; none when the tag is absent or malformed.
std::optional<qint64> readTag(const QString& value, const QString& name)
{
    const QString open = u'<' + name + u'>';
    const qsizetype start = value.indexOf(open);
    if (start < 0)
        return std::nullopt;
    const qsizetype from = start + open.size();
    const qsizetype end = value.indexOf(u"</"_s + name + u'>', from);
    if (end < 0)
        return std::nullopt;
    bool ok = false;
    const qint64 n = value.mid(from, end - from).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

} // namespace

QColor ColorFromNumber(qint64 number)
{
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

const TDBGridOptions TqxDBGrid::DefaultOptions = dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines |
                                                 dgRowLines | dgTabs | dgCancelOnExit;

TqxDBGrid::TqxDBGrid(QWidget* parent)
    : QTableView(parent), FModel(new TqxDataSetModel(nullptr, this)), FTitle(new TqxDBGridTitle(this)),
      FIndicator(new TqxDBGridIndicator(this)), FOptions(DefaultOptions), FBoolDisplay(u"√;"_s)
{
    setHorizontalHeader(FTitle);
    setVerticalHeader(FIndicator);
    setItemDelegate(new TqxDBGridDelegate(this));
    setSelectionMode(NoSelection);
    setShowGrid(false);
    setWordWrap(false);
    setDragEnabled(false);
    setAutoScroll(false);
    viewport()->setAcceptDrops(true);

    // Structural changes move the view's current cell by themselves; the
    // table's own position is what counts, so the guard is taken before the
    // view hears of the change and released after it has dealt with it.
    const auto guard = [this] { ++FModelChanging; };
    connect(FModel, &QAbstractItemModel::rowsAboutToBeInserted, this, guard);
    connect(FModel, &QAbstractItemModel::rowsAboutToBeRemoved, this, guard);
    connect(FModel, &QAbstractItemModel::rowsAboutToBeMoved, this, guard);
    connect(FModel, &QAbstractItemModel::modelAboutToBeReset, this, guard);
    connect(FModel, &QAbstractItemModel::layoutAboutToBeChanged, this, guard);
    setModel(FModel);
    const auto done = [this] { AfterModelChange(false); };
    connect(FModel, &QAbstractItemModel::rowsInserted, this, done);
    connect(FModel, &QAbstractItemModel::rowsRemoved, this, done);
    connect(FModel, &QAbstractItemModel::rowsMoved, this, done);
    connect(FModel, &QAbstractItemModel::modelReset, this, [this] { AfterModelChange(true); });
    connect(FModel, &QAbstractItemModel::layoutChanged, this, [this] { AfterModelChange(false); });
    connect(FModel, &TqxDataSetModel::currentRowChanged, this, [this] { SyncFromDataSet(); });
    connect(FModel, &TqxDataSetModel::errorOccurred, this, &ShowExceptionMessage);

    connect(FTitle, &QHeaderView::sectionResized, this, [this](int view, int, int size) {
        TqxColumn* column = Columns(ColumnOfView(view));
        if (!FApplyingColumns && column && size > 0)
            column->FWidth = std::max(0, size - LineWidth());
    });
    connect(qApp, &QApplication::focusChanged, this, &TqxDBGrid::FocusMoved);

    // The corner is the indicator cell of the title row: a click there toggles every row.
    FCorner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (FCorner) {
        FCorner->disconnect();
        FCorner->installEventFilter(this);
    }
    UpdateRowHeight();
    ApplyOptions();
}

TqxDBGrid::~TqxDBGrid()
{
    FDestroying = true;
    if (qApp)
        disconnect(qApp, &QApplication::focusChanged, this, &TqxDBGrid::FocusMoved);
}

// ---------------------------------------------------------------- the table

void TqxDBGrid::SetDataSource(TqxDataSource* source)
{
    if (source == FDataSource)
        return;
    if (FDataSource)
        FDataSource->disconnect(this);
    FDataSource = source;
    if (FDataSource) {
        connect(FDataSource, &TqxDataSource::DataSetAssigned, this, &TqxDBGrid::DataSourceChanged);
        connect(FDataSource, &TqxDataSource::UpdateRecordRequested, this, &TqxDBGrid::CommitEditor);
        connect(FDataSource, &QObject::destroyed, this, [this] { FModel->SetDataSet(nullptr); });
    }
    DataSourceChanged();
}

void TqxDBGrid::DataSourceChanged()
{
    DiscardEditor();
    FSelectedRows.Clear();
    FModel->SetDataSet(FDataSource ? FDataSource->DataSet() : nullptr);
}

TqxDataSet* TqxDBGrid::DataSet() const { return FModel->DataSet(); }

bool TqxDBGrid::TableOpen() const { return DataSet() && DataSet()->Active(); }

// ---------------------------------------------------------------- columns

TqxColumn* TqxDBGrid::Columns(int index) const
{
    return index >= 0 && index < ColumnCount() ? FColumns[size_t(index)].get() : nullptr;
}

TqxColumn* TqxDBGrid::AddColumn(const QString& fieldName, const QString& title, int width)
{
    if (FDefaultColumns) {
        FColumns.clear();
        FDefaultColumns = false;
    }
    FColumns.push_back(std::unique_ptr<TqxColumn>(new TqxColumn(this, fieldName)));
    TqxColumn* column = FColumns.back().get();
    column->FTitle = title;
    column->FWidth = std::max(0, width);
    SetModelColumns();
    return column;
}

void TqxDBGrid::ClearColumns()
{
    FColumns.clear();
    FDefaultColumns = true;
    SetModelColumns();
}

TqxColumn* TqxDBGrid::FindColumn(const QString& fieldName) const
{
    for (const auto& c : FColumns)
        if (sameName(c->FieldName(), fieldName))
            return c.get();
    return nullptr;
}

int TqxDBGrid::ViewOfColumn(int column) const
{
    return column >= 0 && column < int(FViewOfColumn.size()) ? FViewOfColumn[size_t(column)] : -1;
}

int TqxDBGrid::ColumnOfView(int view) const
{
    return view >= 0 && view < int(FColumnOfView.size()) ? FColumnOfView[size_t(view)] : -1;
}

bool TqxDBGrid::ColumnShown(int column) const
{
    const TqxColumn* c = Columns(column);
    return c && c->Visible() && ViewOfColumn(column) >= 0;
}

void TqxDBGrid::SetModelColumns()
{
    DiscardEditor();
    QStringList names;
    if (!FDefaultColumns)
        for (const auto& c : FColumns)
            names.append(c->FieldName());
    FModel->SetColumns(names); // resets the model, which rebuilds the column map
}

void TqxDBGrid::ColumnChanged(const TqxColumn* column, bool fields)
{
    if (fields) {
        FDefaultColumns = false;
        SetModelColumns();
        return;
    }
    const int view = ViewOfColumn(column->Index());
    if (view < 0)
        return;
    FApplyingColumns = true;
    setColumnHidden(view, !column->Visible());
    if (column->Visible())
        FTitle->resizeSection(view, column->FWidth + LineWidth());
    FApplyingColumns = false;
    FTitle->viewport()->update();
    viewport()->update();
}

// The model shows every column, in order; one whose field the table lacks
// shows empty cells (and still takes part in group cells).
void TqxDBGrid::RebuildColumnMap()
{
    const TqxDataSet* ds = DataSet();
    if (FDefaultColumns) { // no table: no columns
        std::vector<std::unique_ptr<TqxColumn>> columns;
        for (int view = 0; view < FModel->columnCount(); ++view) {
            const QString name = ds->Fields(FModel->FieldOfColumn(view))->FieldName();
            auto it = std::find_if(FColumns.begin(), FColumns.end(),
                                   [&](const auto& c) { return c && c->FieldName() == name; });
            columns.push_back(it != FColumns.end() ? std::move(*it)
                                                   : std::unique_ptr<TqxColumn>(new TqxColumn(this, name)));
        }
        FColumns = std::move(columns);
    }
    FViewOfColumn.assign(FColumns.size(), -1);
    FColumnOfView.clear();
    for (size_t i = 0; i < FColumns.size(); ++i) {
        if (ds) {
            FViewOfColumn[i] = int(FColumnOfView.size());
            FColumnOfView.push_back(int(i));
        }
    }
    if (FCurrentColumn >= ColumnCount() || (FCurrentColumn < 0 && ColumnCount() > 0))
        FCurrentColumn = ColumnCount() > 0 ? 0 : -1;
    ApplyColumnsToView();
}

void TqxDBGrid::ApplyColumnsToView()
{
    FApplyingColumns = true;
    for (int view = 0; view < int(FColumnOfView.size()); ++view) {
        const TqxColumn* c = FColumns[size_t(FColumnOfView[size_t(view)])].get();
        setColumnHidden(view, !c->Visible());
        FTitle->resizeSection(view, c->FWidth + LineWidth());
    }
    FApplyingColumns = false;
}

// ---------------------------------------------------------------- options and look

void TqxDBGrid::SetOptions(TDBGridOptions options)
{
    if (options == FOptions)
        return;
    FOptions = options;
    ApplyOptions();
}

void TqxDBGrid::ApplyOptions()
{
    const bool rowSelect = FOptions & dgRowSelect;
    if (rowSelect)
        CommitEditor();
    FTitle->setVisible(FOptions & dgTitles);
    FIndicator->setVisible(FOptions & dgIndicator);
    FTitle->setSectionResizeMode(FOptions & dgColumnResize ? QHeaderView::Interactive : QHeaderView::Fixed);
    setTabKeyNavigation(FOptions & dgTabs);
    setSelectionBehavior(rowSelect ? SelectRows : SelectItems);
    setEditTriggers(FOptions & dgEditing && !rowSelect
                        ? EditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed)
                        : EditTriggers(NoEditTriggers));
    UpdateRowHeight();
    ApplyColumnsToView();
    viewport()->update();
}

void TqxDBGrid::UpdateRowHeight()
{
    // Setting it walks every row, so only when it changes.
    const int height = fontMetrics().height() + 4 + RowLineWidth();
    if (height != FIndicator->defaultSectionSize())
        FIndicator->setDefaultSectionSize(height);
}

void TqxDBGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        UpdateRowHeight();
}

void TqxDBGrid::SetGroups(const QStringList& lines)
{
    FGroups = lines;
    FGroupDefs.clear();
    for (const QString& line : lines) {
        const qsizetype at = line.indexOf(u'=');
        if (at < 0)
            continue;
        TGroup g{line.left(at), line.mid(at + 1), std::nullopt, std::nullopt};
        if (const auto a = readTag(g.Value, u"Alignment"_s))
            g.Alignment = int(*a);
        if (const auto c = readTag(g.Value, u"Color"_s))
            g.Color = ColorFromNumber(*c);
        FGroupDefs.push_back(std::move(g));
    }
    viewport()->update();
}

void TqxDBGrid::SetBoolDisplay(const QString& text)
{
    FBoolDisplay = text;
    viewport()->update();
}

const TqxDBGrid::TGroup* TqxDBGrid::FindGroup(const QString& key) const
{
    // As a name=value list reads: names in any letter case, the first one counts.
    for (const TGroup& g : FGroupDefs)
        if (g.Key.compare(key, Qt::CaseInsensitive) == 0)
            return &g;
    return nullptr;
}

// A group cell spreads over the neighbouring columns its group names, then
// stays inside the data area, so its text is seen whatever the scrolling.
QRect TqxDBGrid::WidenGroupRect(QRect rect, int column, const QString& groupValue) const
{
    const auto inGroup = [&](int c) {
        const QString& name = FColumns[size_t(c)]->FieldName();
        return !name.isEmpty() && groupValue.contains(name);
    };
    const auto span = [&](int c) { return (ColumnShown(c) ? FColumns[size_t(c)]->FWidth : -1) + LineWidth(); };
    int left = rect.left();
    int right = rect.left() + rect.width(); // one past the last pixel
    for (int c = column - 1; c >= 1 && inGroup(c); --c)
        left -= span(c);
    for (int c = column + 1; c < ColumnCount() && inGroup(c); ++c)
        right += span(c);
    left = std::max(left, 0);
    right = std::min(right, viewport()->width());
    return QRect(left, rect.top(), std::max(0, right - left), rect.height());
}

bool TqxDBGrid::CellHighlighted(const QModelIndex& index) const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || current.row() != index.row())
        return false;
    if (!(FOptions & dgRowSelect) && current.column() != index.column())
        return false;
    return hasFocus() || InplaceEditorFocused() || (FOptions & dgAlwaysShowSelection);
}

QString TqxDBGrid::LookupText(const TqxColumn* column, const TqxBookmark& row) const
{
    TqxDataSet* ds = DataSet();
    TqxDataSet* lookup = column->Lookup().DataSet;
    const TqxField* key = column->Field();
    if (!ds || !key || !lookup || !lookup->Active())
        return QString();
    const QVariant value = ds->ValueAt(row, key->Index());
    if (!value.isValid())
        return QString();
    return lookup->Lookup(column->Lookup().KeyField, value, column->Lookup().ResultField).toString();
}

void TqxDBGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    // Merged cells keep their text inside the visible area, so a sideways
    // scroll changes what they show, not only where.
    if (dx != 0)
        viewport()->update();
}

// ---------------------------------------------------------------- the current cell

void TqxDBGrid::SetSelectedIndex(int column)
{
    if (column < 0 || column >= ColumnCount())
        return;
    const int view = ViewOfColumn(column);
    const QModelIndex current = currentIndex();
    if (view >= 0 && current.isValid()) {
        setCurrentIndex(FModel->index(current.row(), view));
    } else if (column != FCurrentColumn) {
        FCurrentColumn = column;
        Q_EMIT OnColEnter();
    }
}

TqxField* TqxDBGrid::SelectedField() const
{
    const TqxColumn* column = SelectedColumn();
    return column ? column->Field() : nullptr;
}

void TqxDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    const int oldColumn = FCurrentColumn;
    if (current.isValid())
        FCurrentColumn = ColumnOfView(current.column());
    if (!FSyncing && !FModelChanging && current.isValid() && current.row() != FModel->CurrentRow()) {
        FModel->SetCurrentRow(current.row());
        if (FModel->CurrentRow() != current.row())
            SyncFromDataSet(); // the table refused to move (a post failed)
    }
    if (FCurrentColumn != oldColumn)
        Q_EMIT OnColEnter();
    if (current.row() != previous.row() || (FOptions & dgRowSelect)) {
        viewport()->update();
        FIndicator->viewport()->update();
    }
}

void TqxDBGrid::AfterModelChange(bool reset)
{
    if (FModelChanging > 0)
        --FModelChanging;
    if (reset)
        RebuildColumnMap();
    SyncFromDataSet();
}

// The view follows the table's position (moved by code, a navigator, a filter).
void TqxDBGrid::SyncFromDataSet()
{
    if (FModelChanging > 0)
        return;
    const int row = FModel->CurrentRow();
    int view = ViewOfColumn(FCurrentColumn);
    if (view < 0 && FModel->columnCount() > 0)
        view = 0;
    const QModelIndex wanted = row >= 0 && view >= 0 ? FModel->index(row, view) : QModelIndex();
    if (wanted != currentIndex()) {
        // An edit left on another row would be written there; the table has moved on.
        if (FEditor && state() == EditingState && currentIndex().row() != row)
            DiscardEditor();
        ++FSyncing;
        selectionModel()->setCurrentIndex(wanted, QItemSelectionModel::NoUpdate);
        --FSyncing;
        if (wanted.isValid() && !DataSet()->ControlsDisabled())
            scrollTo(wanted);
    }
    FIndicator->viewport()->update();
}

// ---------------------------------------------------------------- the in-place editor

TqxInplaceEdit* TqxDBGrid::EnsureEditor(QWidget* parent)
{
    if (!FEditor) {
        FEditor = new TqxInplaceEdit(parent);
        connect(FEditor, &TqxInplaceEdit::ButtonClicked, this, &TqxDBGrid::OnEditButtonClick);
    } else if (FEditor->parentWidget() != parent) {
        FEditor->setParent(parent);
    }
    FEditor->setText(QString()); // clears the modified flag left by the last cell
    return FEditor;
}

bool TqxDBGrid::InplaceEditorFocused() const { return FEditor && FEditor->hasFocus(); }

bool TqxDBGrid::EditorMode() const { return FEditor && state() == EditingState && FEditor->isVisible(); }

void TqxDBGrid::SetEditorMode(bool on)
{
    if (on && !EditorMode() && currentIndex().isValid())
        edit(currentIndex(), AllEditTriggers, nullptr);
    else if (!on)
        CommitEditor();
}

void TqxDBGrid::CommitEditor()
{
    if (!FEditor || state() != EditingState)
        return;
    commitData(FEditor);
    if (state() == EditingState)
        closeEditor(FEditor, QAbstractItemDelegate::NoHint);
}

void TqxDBGrid::DiscardEditor()
{
    if (FEditor && state() == EditingState)
        closeEditor(FEditor, QAbstractItemDelegate::RevertModelCache);
}

void TqxDBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // The view gives the focus back before it hides the editor; the editor
    // counts as hidden already, as it is by the time the grid has the focus.
    FClosingEditor = editor == FEditor;
    QTableView::closeEditor(editor, hint);
    FClosingEditor = false;
}

void TqxDBGrid::GetEditorBounds(QRect& rect) const
{
    if (FEditor)
        rect = QRect(FEditor->mapTo(this, QPoint(0, 0)), FEditor->size());
}

bool TqxDBGrid::CanEditShow(const QModelIndex& index)
{
    TqxColumn* column = Columns(ColumnOfView(index.column()));
    if (!column)
        return false;
    const TqxDataSet* ds = DataSet();
    const bool editing = ds && ds->Editing();
    const TqxField* field = column->Field();
    const bool allowed = TableOpen() && (FOptions & dgEditing) && !(FOptions & dgRowSelect) && !FReadOnly &&
                          field && !field->ReadOnly() && !column->ReadOnly() && !column->IsLookup() &&
                          (FModel->flags(index) & Qt::ItemIsEditable) &&
                          (editing || !FDataSource || FDataSource->AutoEdit());
    bool canInput = true;
    if (OnCellCanInput)
        OnCellCanInput(this, column, canInput);
    return allowed && canInput;
}

bool TqxDBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool opens = index.isValid() && state() != EditingState &&
                       (trigger == AllEditTriggers || (editTriggers() & trigger));
    if (opens && !CanEditShow(index))
        return false;
    return QTableView::edit(index, trigger, event);
}

void TqxDBGrid::keyboardSearch(const QString&)
{
    // Typing into a cell that takes no input does not jump to another row.
}

// Focus moving between the grid and its editor is how the host learns
// about the editor; leaving the grid altogether may drop an empty new row.
void TqxDBGrid::FocusMoved(QWidget* old, QWidget* now)
{
    if (FDestroying)
        return;
    if (FEditor && old == FEditor && now == this) {
        Q_EMIT OnInplaceEditorExit();
    } else if (FEditor && old == this && now == FEditor) {
        Q_EMIT OnInplaceEditorEnter();
    } else {
        const bool leftGrid = old && (old == this || isAncestorOf(old)) && !(now && (now == this || isAncestorOf(now)));
        TqxDataSet* ds = DataSet();
        if (leftGrid && (FOptions & dgCancelOnExit) && TableOpen() && ds->State() == TqxDataSetState::Insert &&
            !ds->Modified())
            ds->Cancel();
        // An editor closed by the focus going elsewhere tells nobody, but the
        // next one shown is news again.
        if (FEditor && old == FEditor)
            FEditorVisible = FEditor->isVisible() && !FClosingEditor;
        return;
    }
    const bool visible = FEditor->isVisible() && !FClosingEditor;
    if (visible != FEditorVisible) {
        FEditorVisible = visible;
        if (visible)
            Q_EMIT OnInplaceEditorShow();
        else
            Q_EMIT OnInplaceEditorHide();
    }
}

void TqxDBGrid::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void TqxDBGrid::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

// ---------------------------------------------------------------- keyboard

// Enter: with EnterToNext the next shown column, or the first column of the
// next row (a new row after the last one with EofCanAppend); then Enter
// shows the editor, or leaves it closed when it was open. False when it did nothing.
bool TqxDBGrid::EnterKey()
{
    const bool wasEditing = EditorMode();
    CommitEditor();
    bool acted = wasEditing;
    if (FEnterToNext && TableOpen()) {
        int next = -1;
        for (int c = FCurrentColumn + 1; c < ColumnCount() && next < 0; ++c)
            if (ColumnShown(c))
                next = c;
        try {
            if (next >= 0) {
                SetSelectedIndex(next);
            } else {
                TqxDataSet* ds = DataSet();
                ds->Next();
                if (ds->Eof() && FEofCanAppend)
                    ds->Append();
                SetSelectedIndex(0);
            }
        } catch (const Exception& e) {
            ShowExceptionMessage(e.Message);
        }
        acted = true;
    }
    if (!wasEditing && currentIndex().isValid() && edit(currentIndex(), AllEditTriggers, nullptr))
        acted = true;
    return acted;
}

void TqxDBGrid::keyPressEvent(QKeyEvent* event)
{
    if (!TableOpen()) {
        event->ignore();
        return;
    }
    TqxDataSet* ds = DataSet();
    try {
        switch (event->key()) {
        case Qt::Key_Insert:
            event->accept();
            return;
        case Qt::Key_Down:
            // The last row stays the last: no new row appears.
            if (ds->RecNo() >= ds->RecordCount()) {
                event->accept();
                return;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->setAccepted(EnterKey());
            return;
        case Qt::Key_Escape:
            if (ds->Editing()) {
                ds->Cancel();
                event->accept();
                return;
            }
            break;
        default:
            break;
        }
        QTableView::keyPressEvent(event);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
}
