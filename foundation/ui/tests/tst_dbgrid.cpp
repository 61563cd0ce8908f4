// The data grid and the navigator as a user drives them: real widgets,
// offscreen, keys and mouse through QTest, and the painted cells read back
// from the rendered image.

#include "qxDBCtrls.h"
#include "qxDBCtrls_GridDelegate.h"
#include "qxErrors.h"
#include "qxDataSetModel.h"
#include "qxScriptedPrompter.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QScrollBar>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QColor kOrange(255, 128, 0);
const QColor kHeaderBrush(233, 232, 228);

const QStringList kBudgetGroups{
    u"1=施工地点,项目类别,项目名称,单位,单价,数量,金额,备注;<Alignment>0</Alignment><Color>33023</Color>"_s,
    u"2=施工地点,项目类别,项目名称;<Alignment>1</Alignment><Color>0</Color>"_s,
    u"3=单位,单价;<Alignment>1</Alignment><Color>0</Color>"_s,
    u"4=数量,金额;<Alignment>1</Alignment><Color>0</Color>"_s};

bool showActive(QWidget* w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

// Text drawn without smoothing, so its pixels carry the pen's colour exactly.
void sharpFont(QWidget* w)
{
    QFont f = w->font();
    f.setStyleStrategy(QFont::NoAntialias);
    w->setFont(f);
}

// A grid that counts the drags it would start instead of running the drag loop.
class TTestGrid : public TqxDBGrid {
public:
    using TqxDBGrid::TqxDBGrid;
    int Drags = 0;

protected:
    void StartRowDrag() override { ++Drags; }
};

// A budget sheet in miniature: a group header row (类型 0), items (1) and a subtotal (9).
struct TBudget {
    TqxDataSet Table;
    TqxDataSource Source{&Table};
    TTestGrid Grid;
    int TypeField = -1;

    TBudget()
    {
        Table.SetFieldDefs({{u"序号"_s, TqxFieldKind::Integer},     {u"施工地点"_s, TqxFieldKind::String, 20},
                            {u"项目类别"_s, TqxFieldKind::String, 20}, {u"项目名称"_s, TqxFieldKind::String, 40},
                            {u"单位"_s, TqxFieldKind::String, 8},      {u"单价"_s, TqxFieldKind::Money},
                            {u"数量"_s, TqxFieldKind::Float},          {u"金额"_s, TqxFieldKind::Money},
                            {u"备注"_s, TqxFieldKind::String, 60},     {u"类型"_s, TqxFieldKind::Integer},
                            {u"系统"_s, TqxFieldKind::Boolean}});
        Table.CreateDataSet();
        const QVariant n;
        Table.AppendRecord({1, u"客厅"_s, n, n, n, n, n, n, n, 0});
        Table.AppendRecord({1, u"客厅"_s, u"木工"_s, u"石膏板吊顶"_s, u"平方米"_s, 95, 12, 1140, n, 1, true});
        Table.AppendRecord({2, u"客厅"_s, u"油漆"_s, u"墙面乳胶漆"_s, u"平方米"_s, 28, 40, 1120, n, 1, false});
        Table.AppendRecord({3, u"客厅"_s, u"电器"_s, u"开关插座"_s, u"个"_s, 15, 12, 180, n, 1});
        Table.AppendRecord({n, u"客厅"_s, n, n, n, n, 3, 2440, n, 9});
        Table.Last();
        TypeField = Table.FieldByName(u"类型"_s)->Index();

        sharpFont(&Grid);
        Grid.resize(760, 240);
        Grid.SetDataSource(&Source);
        const QList<std::pair<QString, int>> columns{{u"序号"_s, 44},   {u"施工地点"_s, 79}, {u"项目类别"_s, 86},
                                                     {u"项目名称"_s, 115}, {u"单位"_s, 44},     {u"单价"_s, 58},
                                                     {u"数量"_s, 53},   {u"金额"_s, 76},     {u"备注"_s, 194}};
        for (const auto& [name, width] : columns)
            Grid.AddColumn(name, QString(), width);
        Grid.SetGroups(kBudgetGroups);
        // Group rows on their own background, as the project window draws them.
        Grid.OnDrawCellCanvas = [this](QString&, TqxColumn*, TqxCellCanvas& canvas) {
            if (Type(canvas.Bookmark) == 0)
                canvas.BrushColor = kHeaderBrush;
        };
    }

    int Type(const TqxBookmark& row) { return Table.ValueAt(row, TypeField).toInt(); }

    // The header row merged over every column but the sequence number.
    void MergeHeader(const QString& text)
    {
        Grid.OnDrawGroupCell = [this, text](TqxDBGrid*, TqxColumn* column, QString& group, QString& shown,
                                            TqxCellCanvas& canvas) {
            if (Type(canvas.Bookmark) == 0 && column->FieldName() != u"序号"_s) {
                group = u"1"_s;
                shown = text;
            }
        };
    }

    QRect Cell(int row, int column) const
    {
        return Grid.visualRect(Grid.Model()->index(row, column));
    }
    QImage Render() { return Grid.viewport()->grab().toImage(); }
};

// Pixels of one colour in a row of an image, between two x positions.
QList<int> pixelsOf(const QImage& image, int y, int fromX, int toX, const QColor& color)
{
    QList<int> xs;
    for (int x = std::max(0, fromX); x <= std::min(toX, image.width() - 1); ++x)
        if (image.pixelColor(x, y) == color)
            xs.append(x);
    return xs;
}

// The orange pixels of a cell band, by column.
QList<int> orangeColumns(const QImage& image, const QRect& band, int fromX)
{
    QList<int> xs;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x : pixelsOf(image, y, fromX, band.right(), kOrange))
            if (!xs.contains(x))
                xs.append(x);
    std::sort(xs.begin(), xs.end());
    return xs;
}

QModelIndex currentCell(const TqxDBGrid& grid) { return grid.currentIndex(); }

// Typing into a cell: the first key opens the editor, the rest go to it.
void typeInto(TqxDBGrid& grid, const QString& text)
{
    QTest::keyClicks(&grid, text.left(1));
    QVERIFY(grid.EditorMode());
    QTest::keyClicks(grid.InplaceEditor(), text.mid(1));
}

} // namespace

class TestDBGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mergedGroupHeader_data();
    void mergedGroupHeader();
    void mergedHeaderClippedWhenScrolled();
    void groupWithoutTags();
    void boolDisplay_data();
    void boolDisplay();
    void cellColours();

    void enterOnLastCell_data();
    void enterOnLastCell();
    void enterWhileEditing();
    void keysTheGridIgnores();
    void cellCanInputVeto();
    void inplaceEditorNotices();
    void singleEditKeepsTheModel();

    void selectionClicks();
    void selectionVeto();
    void titleTogglesEveryRow();
    void dragStartsAfterFourPixels();
    void rightButtonNeverDrags();

    void moveToCell();
    void findColumnAndLayout();
    void columnWithoutFieldJoinsGroups();

    void navigatorCaptions_data();
    void navigatorCaptions();
    void navigatorGlyphsAndLayout();
    void navigatorActions();
};

// ---------------------------------------------------------------- drawing

void TestDBGrid::mergedGroupHeader_data()
{
    QTest::addColumn<int>("hidden");
    QTest::newRow("every column shown") << -1;
    QTest::newRow("a hidden column inside the group") << 3;
}

void TestDBGrid::mergedGroupHeader()
{
    QFETCH(int, hidden);
    TBudget b;
    b.MergeHeader(u"客厅客厅客厅客厅客厅客厅"_s);
    if (hidden >= 0)
        b.Grid.Columns(hidden)->SetVisible(false);
    QVERIFY(showActive(&b.Grid));
    const QImage image = b.Render();

    const QRect first = b.Cell(0, 1);
    const int last = b.Grid.Model()->columnCount() - 1;
    const QRect row(first.topLeft(), QPoint(std::min(b.Cell(0, last).right(), image.width() - 1), first.bottom()));
    // Left-aligned from the second column, in orange, and on across the column borders.
    const QList<int> ink = orangeColumns(image, row, 0);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.first() >= first.left() + 2 && ink.first() <= first.left() + 6,
             qPrintable(QString::number(ink.first())));
    QVERIFY(ink.last() > first.right());
    // One cell: no grid line between the merged columns, the header's background throughout.
    const int y = first.bottom() - 2;
    for (int c = 2; c <= last; ++c) {
        if (b.Grid.isColumnHidden(c))
            continue;
        const int border = b.Cell(0, c).left() - 1;
        QCOMPARE(image.pixelColor(border, y), kHeaderBrush);
    }
    // The sequence number keeps its own cell.
    QCOMPARE(image.pixelColor(first.left() - 1, y), TqxDBGridDelegate::LineColor);
    QCOMPARE(orangeColumns(image, b.Cell(0, 0), 0), QList<int>());
    // Item rows are not merged.
    QCOMPARE(image.pixelColor(b.Cell(1, 2).left() - 1, b.Cell(1, 2).bottom() - 2), TqxDBGridDelegate::LineColor);
}

void TestDBGrid::mergedHeaderClippedWhenScrolled()
{
    TBudget b;
    b.MergeHeader(u"客厅"_s);
    b.Grid.resize(420, 240);
    QVERIFY(showActive(&b.Grid));
    b.Grid.horizontalScrollBar()->setValue(2); // scrolled by two columns: the merged cell starts off the left edge
    QVERIFY(b.Cell(0, 1).left() < 0);
    const QImage image = b.Render();
    const QRect band(0, b.Cell(0, 1).top(), image.width(), b.Cell(0, 1).height());
    // The text stays in sight, two pixels in from the left of the data area...
    const QList<int> ink = orangeColumns(image, band, 0);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.first() >= 2 && ink.first() <= 6, qPrintable(QString::number(ink.first())));
    // ...and the merged cell reaches the right edge of the visible area.
    QCOMPARE(image.pixelColor(image.width() - 1, band.bottom() - 2), kHeaderBrush);
}

void TestDBGrid::groupWithoutTags()
{
    TBudget b;
    const QColor blue(0, 0, 255);
    b.Grid.SetGroups({u"5=数量"_s});
    b.Grid.OnDrawCellCanvas = [&](QString&, TqxColumn*, TqxCellCanvas& canvas) { canvas.FontColor = blue; };
    b.Grid.OnDrawGroupCell = [&](TqxDBGrid*, TqxColumn* column, QString& group, QString& text, TqxCellCanvas& c) {
        if (column->FieldName() == u"数量"_s && c.Row == 1) {
            group = u"5"_s;
            text = u"888"_s;
        }
    };
    QVERIFY(showActive(&b.Grid));
    const QImage image = b.Render();
    const QRect cell = b.Cell(1, 6);
    QList<int> ink;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        ink += pixelsOf(image, y, cell.left(), cell.right(), blue);
    std::sort(ink.begin(), ink.end());
    // The column's own alignment (a number: right) and the canvas's font colour.
    QVERIFY(!ink.isEmpty());
    const int right = cell.right() - 1 - 2; // inside the grid line, two pixels in
    QVERIFY2(ink.last() <= right && ink.last() >= right - 3, qPrintable(QString::number(ink.last())));
    QVERIFY(ink.first() > cell.center().x());
}

void TestDBGrid::boolDisplay_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QStringList>("texts"); // true, false, null
    QTest::newRow("default: a mark for true") << u"√;"_s << QStringList{u"√"_s, QString(), QString()};
    QTest::newRow("two words") << u"是;否"_s << QStringList{u"是"_s, u"否"_s, u"否"_s};
    QTest::newRow("no separator") << u"对"_s << QStringList{QString(), u"对"_s, u"对"_s};
    QTest::newRow("false text cut at 10") << u"Y;0123456789ABC"_s
                                          << QStringList{u"Y"_s, u"0123456789"_s, u"0123456789"_s};
}

void TestDBGrid::boolDisplay()
{
    QFETCH(QString, display);
    QFETCH(QStringList, texts);
    TBudget b;
    b.Grid.AddColumn(u"系统"_s);
    b.Grid.resize(1000, 240);
    b.Grid.SetBoolDisplay(display);
    QMap<int, QString> shown;
    b.Grid.OnDrawGroupCell = [&](TqxDBGrid*, TqxColumn* column, QString&, QString& text, TqxCellCanvas& canvas) {
        if (column->FieldName() == u"系统"_s)
            shown[canvas.Row] = text;
    };
    QVERIFY(showActive(&b.Grid));
    b.Render();
    QCOMPARE((QStringList{shown.value(1), shown.value(2), shown.value(3)}), texts);
}

void TestDBGrid::cellColours()
{
    TBudget b;
    b.Grid.OnDrawCellCanvas = nullptr;
    b.Grid.SetRowSelect(true);
    QVERIFY(showActive(&b.Grid));
    b.Grid.setFocus();
    b.Table.First();
    b.Table.Next(); // row 1, column 0 current
    const auto colourAt = [&](int row, int column) {
        const QRect cell = b.Cell(row, column);
        return b.Render().pixelColor(cell.right() - 2, cell.bottom() - 2);
    };
    QCOMPARE(colourAt(1, 0), TqxDBGridDelegate::SelectedColor);
    QCOMPARE(colourAt(1, 1), QColor(Qt::white));
    // Whole-row selection marks the whole current row.
    b.Grid.SetOptions(b.Grid.Options() | dgRowSelect);
    QCOMPARE(colourAt(1, 3), TqxDBGridDelegate::SelectedColor);
    // A row selected through the indicator wins.
    b.Grid.SetCurrentRowSelected(true);
    QCOMPARE(colourAt(1, 3), TqxDBGridDelegate::RowSelectedColor);
    QCOMPARE(colourAt(2, 3), QColor(Qt::white));
    // The editor has its own background.
    b.Grid.SetOptions(TqxDBGrid::DefaultOptions);
    b.Grid.SetSelectedIndex(3);
    b.Grid.SetEditorMode(true);
    QVERIFY(b.Grid.EditorMode());
    QCOMPARE(b.Grid.InplaceEditor()->palette().color(QPalette::Base), QColor(231, 238, 217));
}

// ---------------------------------------------------------------- keyboard and editing

namespace {

// 名称, 数量 and a hidden 备注, three rows; the cursor on the last.
struct TItems {
    TqxDataSet Table;
    TqxDataSource Source{&Table};
    TTestGrid Grid;

    TItems()
    {
        Table.SetFieldDefs({{u"名称"_s, TqxFieldKind::String, 20},
                            {u"数量"_s, TqxFieldKind::Integer},
                            {u"备注"_s, TqxFieldKind::String, 20}});
        Table.CreateDataSet();
        Table.AppendRecord({u"a"_s, 1});
        Table.AppendRecord({u"b"_s, 2});
        Table.AppendRecord({u"c"_s, 3});
        Table.MergeChangeLog();
        Grid.resize(400, 200);
        Grid.SetDataSource(&Source);
        Grid.AddColumn(u"名称"_s);
        Grid.AddColumn(u"数量"_s);
        Grid.AddColumn(u"备注"_s)->SetVisible(false);
    }

    QStringList Names()
    {
        QStringList out;
        for (int i = 0; i < Table.RecordCount(); ++i)
            out.append(Table.TextAt(Table.BookmarkAt(i), 0));
        return out;
    }
};

} // namespace

void TestDBGrid::enterOnLastCell_data()
{
    QTest::addColumn<bool>("eofCanAppend");
    QTest::newRow("appends") << true;
    QTest::newRow("stays on the last row") << false;
}

void TestDBGrid::enterOnLastCell()
{
    QFETCH(bool, eofCanAppend);
    TItems t;
    t.Grid.SetEnterToNext(true);
    t.Grid.SetEofCanAppend(eofCanAppend);
    QVERIFY(showActive(&t.Grid));
    t.Grid.setFocus();
    t.Table.Last();
    // Enter moves along the shown columns; the hidden 备注 is passed over.
    QCOMPARE(t.Grid.SelectedIndex(), 0);
    QTest::keyClick(&t.Grid, Qt::Key_Return);
    QCOMPARE(t.Grid.SelectedIndex(), 1);
    // Enter without an editor also opens one; Enter in it closes it.
    QVERIFY(t.Grid.EditorMode());
    QTest::keyClick(t.Grid.InplaceEditor(), Qt::Key_Escape);
    QVERIFY(!t.Grid.EditorMode());

    QTest::keyClick(&t.Grid, Qt::Key_Return);
    QCOMPARE(t.Grid.SelectedIndex(), 0);
    QCOMPARE(t.Grid.Model()->rowCount(), eofCanAppend ? 4 : 3);
    QCOMPARE(t.Table.State(), eofCanAppend ? TqxDataSetState::Insert : TqxDataSetState::Browse);
    QCOMPARE(currentCell(t.Grid).row(), eofCanAppend ? 3 : 2);
    QCOMPARE(currentCell(t.Grid).column(), 0);
    QVERIFY(t.Grid.EditorMode());
    if (eofCanAppend) {
        // The new row takes what is typed into it.
        QTest::keyClicks(t.Grid.InplaceEditor(), u"d"_s);
        QTest::keyClick(t.Grid.InplaceEditor(), Qt::Key_Return);
        QTest::keyClick(&t.Grid, Qt::Key_Up);
        QCOMPARE(t.Names(), (QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s}));
        QCOMPARE(t.Table.State(), TqxDataSetState::Browse);
    }
}

void TestDBGrid::enterWhileEditing()
{
    TItems t;
    t.Grid.SetEnterToNext(true);
    QVERIFY(showActive(&t.Grid));
    t.Grid.setFocus();
    t.Table.First();
    QTest::keyClicks(&t.Grid, u"x"_s); // typing opens the editor
    QVERIFY(t.Grid.EditorMode());
    QTest::keyClick(t.Grid.InplaceEditor(), Qt::Key_Enter);
    QCOMPARE(t.Names().first(), u"x"_s);
    QCOMPARE(t.Grid.SelectedIndex(), 1);
    QVERIFY(!t.Grid.EditorMode());
    QCOMPARE(t.Table.State(), TqxDataSetState::Browse);
}

void TestDBGrid::keysTheGridIgnores()
{
    TItems t;
    QVERIFY(showActive(&t.Grid));
    t.Grid.setFocus();
    t.Table.Last();
    QTest::keyClick(&t.Grid, Qt::Key_Insert);
    QTest::keyClick(&t.Grid, Qt::Key_Down);
    QCOMPARE(t.Table.State(), TqxDataSetState::Browse);
    QCOMPARE(t.Grid.Model()->rowCount(), 3);
    QCOMPARE(t.Table.RecNo(), 3);
    QTest::keyClick(&t.Grid, Qt::Key_Up);
    QCOMPARE(t.Table.RecNo(), 2);

    // Without an open table no key does anything, and Enter goes on to the window.
    t.Table.Close();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&t.Grid, &enter);
    QVERIFY(!enter.isAccepted());
    QTest::keyClicks(&t.Grid, u"ab"_s);
    QVERIFY(!t.Grid.EditorMode());
}

void TestDBGrid::cellCanInputVeto()
{
    TItems t;
    QList<QString> asked;
    t.Grid.OnCellCanInput = [&](TqxDBGrid* sender, TqxColumn* column, bool& canInput) {
        QCOMPARE(sender, &t.Grid);
        QVERIFY(canInput);
        asked.append(column->FieldName());
        canInput = column->FieldName() != u"数量"_s;
    };
    QVERIFY(showActive(&t.Grid));
    t.Grid.setFocus();
    t.Grid.SetSelectedIndex(1);
    QTest::keyClicks(&t.Grid, u"7"_s);
    QVERIFY(!t.Grid.EditorMode());
    QCOMPARE(t.Table.TextAt(t.Table.GetBookmark(), 1), u"3"_s);
    t.Grid.SetSelectedIndex(0);
    t.Grid.SetEditorMode(true);
    QVERIFY(t.Grid.EditorMode());
    QCOMPARE(asked, (QList<QString>{u"数量"_s, u"名称"_s}));
    // A read-only column is refused whatever the host says.
    t.Grid.SetEditorMode(false);
    t.Grid.Columns(0)->SetReadOnly(true);
    t.Grid.SetEditorMode(true);
    QVERIFY(!t.Grid.EditorMode());
}

void TestDBGrid::inplaceEditorNotices()
{
    TItems t;
    QSignalSpy enter(&t.Grid, &TqxDBGrid::OnInplaceEditorEnter), exit(&t.Grid, &TqxDBGrid::OnInplaceEditorExit),
        show(&t.Grid, &TqxDBGrid::OnInplaceEditorShow), hide(&t.Grid, &TqxDBGrid::OnInplaceEditorHide);
    QVERIFY(showActive(&t.Grid));
    t.Grid.setFocus();
    QRect bounds(1, 2, 3, 4);
    t.Grid.GetEditorBounds(bounds);
    QCOMPARE(bounds, QRect(1, 2, 3, 4)); // no editor yet
    QVERIFY(!t.Grid.InplaceEditorFocused());

    t.Grid.SetEditorMode(true);
    QVERIFY(t.Grid.InplaceEditorFocused());
    QCOMPARE((QList<qsizetype>{enter.size(), show.size(), exit.size(), hide.size()}), (QList<qsizetype>{1, 1, 0, 0}));
    t.Grid.GetEditorBounds(bounds);
    const QRect cell = t.Grid.visualRect(t.Grid.currentIndex());
    QCOMPARE(bounds.topLeft(), t.Grid.viewport()->mapTo(&t.Grid, cell.topLeft()));

    QTest::keyClick(t.Grid.InplaceEditor(), Qt::Key_Escape);
    QVERIFY(t.Grid.hasFocus());
    QCOMPARE((QList<qsizetype>{enter.size(), show.size(), exit.size(), hide.size()}), (QList<qsizetype>{1, 1, 1, 1}));
    QTest::keyClicks(&t.Grid, u"q"_s);
    QCOMPARE((QList<qsizetype>{enter.size(), show.size(), exit.size(), hide.size()}), (QList<qsizetype>{2, 2, 1, 1}));

    // The ellipsis button shows on the columns that have one, and its click reaches the host.
    QVERIFY(!t.Grid.InplaceEditor()->ButtonVisible());
    QTest::keyClick(t.Grid.InplaceEditor(), Qt::Key_Escape);
    t.Grid.Columns(1)->SetButtonStyle(cbsEllipsis);
    t.Grid.SetSelectedIndex(1);
    t.Grid.SetEditorMode(true);
    QVERIFY(t.Grid.InplaceEditor()->ButtonVisible());
    QSignalSpy button(&t.Grid, &TqxDBGrid::OnEditButtonClick);
    QTest::mouseClick(t.Grid.InplaceEditor()->EditButton(), Qt::LeftButton);
    QTest::keyClick(t.Grid.InplaceEditor(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(button.size(), 2);
}

void TestDBGrid::singleEditKeepsTheModel()
{
    TItems t;
    QVERIFY(showActive(&t.Grid));
    t.Grid.setFocus();
    t.Table.First();
    QSignalSpy reset(t.Grid.Model(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(t.Grid.Model(), &QAbstractItemModel::dataChanged);
    QTest::keyClicks(&t.Grid, u"z"_s);
    QTest::keyClick(t.Grid.InplaceEditor(), Qt::Key_Return);
    QCOMPARE(t.Names(), (QStringList{u"z"_s, u"b"_s, u"c"_s}));
    QCOMPARE(reset.size(), 0);
    QVERIFY(!changed.isEmpty());
    // An editor left as it was writes nothing.
    const int changes = t.Table.ChangeCount();
    t.Grid.SetEditorMode(true);
    QTest::keyClick(t.Grid.InplaceEditor(), Qt::Key_Return);
    QCOMPARE(t.Table.ChangeCount(), changes);
}

// ---------------------------------------------------------------- row selection and drag

namespace {

QHeaderView* indicator(TqxDBGrid& g) { return g.verticalHeader(); }

QPoint indicatorCell(TqxDBGrid& g, int row)
{
    return QPoint(indicator(g)->width() / 2, indicator(g)->sectionViewportPosition(row) + 3);
}

void clickIndicator(TqxDBGrid& g, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(indicator(g)->viewport(), Qt::LeftButton, modifiers, indicatorCell(g, row));
}

QList<int> selectedRows(const TItems& t)
{
    QList<int> rows;
    for (const TqxBookmark& b : t.Grid.SelectedRows().Items())
        rows.append(t.Table.RowOf(b));
    return rows;
}

} // namespace

void TestDBGrid::selectionClicks()
{
    TItems t;
    t.Grid.SetRowSelect(true);
    QSignalSpy after(&t.Grid, &TqxDBGrid::OnAfterRowSelect);
    QVERIFY(showActive(&t.Grid));

    clickIndicator(t.Grid, 1, Qt::ControlModifier);
    QCOMPARE(t.Table.RecNo(), 2); // the clicked row becomes current
    clickIndicator(t.Grid, 2, Qt::ControlModifier);
    QCOMPARE(selectedRows(t), (QList<int>{1, 2}));
    clickIndicator(t.Grid, 1, Qt::ControlModifier);
    QCOMPARE(selectedRows(t), QList<int>{2});
    QCOMPARE(after.size(), 3);

    // A plain click leaves that row alone selected, or none when it was the only one.
    clickIndicator(t.Grid, 0, Qt::ControlModifier);
    clickIndicator(t.Grid, 2);
    QCOMPARE(selectedRows(t), QList<int>{2});
    clickIndicator(t.Grid, 2);
    QCOMPARE(selectedRows(t), QList<int>());
    clickIndicator(t.Grid, 0);
    QCOMPARE(selectedRows(t), QList<int>{0});

    // The rows are kept as bookmarks: a new order does not change which rows they are.
    t.Table.SetIndexFieldNames(u"数量"_s);
    t.Table.Edit();
    t.Table.FieldByName(u"数量"_s)->SetAsInteger(9);
    t.Table.Post();
    QCOMPARE(t.Table.TextAt(t.Grid.SelectedRows()[0], 0), u"a"_s);

    // A click on a data cell outside whole-row selection clears the selection...
    QTest::mouseClick(t.Grid.viewport(), Qt::LeftButton, {}, t.Grid.visualRect(t.Grid.Model()->index(1, 1)).center());
    QVERIFY(t.Grid.SelectedRows().IsEmpty());
    // ...while in whole-row selection it selects like the indicator does.
    t.Grid.SetOptions(t.Grid.Options() | dgRowSelect);
    QTest::mouseClick(t.Grid.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      t.Grid.visualRect(t.Grid.Model()->index(1, 1)).center());
    QCOMPARE(selectedRows(t), QList<int>{1});

    // Without RowSelect a click only clears.
    t.Grid.SetRowSelect(false);
    clickIndicator(t.Grid, 0, Qt::ControlModifier);
    QVERIFY(t.Grid.SelectedRows().IsEmpty());
}

void TestDBGrid::selectionVeto()
{
    TItems t;
    t.Grid.SetRowSelect(true);
    QVERIFY(showActive(&t.Grid));
    clickIndicator(t.Grid, 0);
    int asked = 0;
    t.Grid.OnBeforeRowSelect = [&](TqxDBGrid* sender, bool& canAccept) {
        QCOMPARE(sender, &t.Grid);
        QVERIFY(canAccept);
        ++asked;
        canAccept = false;
    };
    QSignalSpy after(&t.Grid, &TqxDBGrid::OnAfterRowSelect);
    clickIndicator(t.Grid, 1);
    clickIndicator(t.Grid, 2, Qt::ControlModifier);
    QCOMPARE(selectedRows(t), QList<int>{0});
    QCOMPARE(asked, 2);
    QCOMPARE(after.size(), 2);
}

void TestDBGrid::titleTogglesEveryRow()
{
    TItems t;
    t.Grid.SetRowSelect(true);
    QVERIFY(showActive(&t.Grid));
    clickIndicator(t.Grid, 1);
    t.Table.Last();
    // The host accepts every row but the first.
    QStringList asked;
    t.Grid.OnBeforeRowSelect = [&](TqxDBGrid*, bool& canAccept) {
        asked.append(t.Table.FieldByName(u"名称"_s)->AsString());
        canAccept = asked.last() != u"a"_s;
    };
    QSignalSpy after(&t.Grid, &TqxDBGrid::OnAfterRowSelect);
    QSignalSpy reset(t.Grid.Model(), &QAbstractItemModel::modelReset);
    auto* corner = t.Grid.findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(corner && corner->isVisible());
    QTest::mouseClick(corner, Qt::LeftButton);
    QCOMPARE(asked, (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(selectedRows(t), QList<int>{2}); // a toggle: the selected row went out
    QCOMPARE(after.size(), 1);
    QCOMPARE(t.Table.RecNo(), 3); // back where it was
    QCOMPARE(reset.size(), 0);
    // Outside whole-row selection a data column's title does not toggle; it clears.
    QTest::mouseClick(t.Grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(t.Grid.columnViewportPosition(0) + 20, 5));
    QVERIFY(t.Grid.SelectedRows().IsEmpty());
}

void TestDBGrid::dragStartsAfterFourPixels()
{
    TItems t;
    t.Grid.SetRowSelect(true);
    t.Grid.SetAutoBeginDrag(true);
    QVERIFY(showActive(&t.Grid));
    QWidget* area = indicator(t.Grid)->viewport();
    const QPoint at = indicatorCell(t.Grid, 1);
    QTest::mousePress(area, Qt::LeftButton, {}, at);
    QTest::mouseMove(area, at + QPoint(0, 3));
    QCOMPARE(t.Grid.Drags, 0);
    QTest::mouseMove(area, at + QPoint(0, 4));
    QCOMPARE(t.Grid.Drags, 1);
    QTest::mouseRelease(area, Qt::LeftButton, {}, at + QPoint(0, 4));

    // The host may refuse.
    t.Grid.OnBeforeRowDrag = [](TqxDBGrid*, bool& canAccept) { canAccept = false; };
    QTest::mousePress(area, Qt::LeftButton, Qt::ControlModifier, indicatorCell(t.Grid, 2));
    QTest::mouseMove(area, indicatorCell(t.Grid, 2) + QPoint(10, 0));
    QTest::mouseRelease(area, Qt::LeftButton, {}, indicatorCell(t.Grid, 2));
    QCOMPARE(t.Grid.Drags, 1);
    QCOMPARE(selectedRows(t), (QList<int>{1, 2}));
}

void TestDBGrid::rightButtonNeverDrags()
{
    TItems t;
    t.Grid.SetRowSelect(true);
    t.Grid.SetAutoBeginDrag(true);
    t.Grid.SetOptions(t.Grid.Options() | dgRowSelect);
    QVERIFY(showActive(&t.Grid));
    clickIndicator(t.Grid, 0);
    QCOMPARE(selectedRows(t), QList<int>{0});
    for (QWidget* area : {indicator(t.Grid)->viewport(), t.Grid.viewport()}) {
        const QPoint at = area == t.Grid.viewport() ? t.Grid.visualRect(t.Grid.Model()->index(0, 0)).center()
                                                    : indicatorCell(t.Grid, 0);
        QTest::mousePress(area, Qt::RightButton, {}, at);
        QTest::mouseMove(area, at + QPoint(20, 20));
        QTest::mouseRelease(area, Qt::RightButton, {}, at + QPoint(20, 20));
    }
    QCOMPARE(t.Grid.Drags, 0);
    QCOMPARE(selectedRows(t), QList<int>{0}); // and the right button selects nothing
}

// ---------------------------------------------------------------- cells by position, columns

void TestDBGrid::moveToCell()
{
    TItems t;
    QVERIFY(showActive(&t.Grid));
    t.Table.First();
    const QModelIndex before = currentCell(t.Grid);
    for (const QPoint& p : {QPoint(0, 2), QPoint(2, 0), QPoint(0, 0)}) {
        t.Grid.MoveToCell(p.x(), p.y());
        QCOMPARE(currentCell(t.Grid), before);
        QCOMPARE(t.Table.RecNo(), 1);
    }
    // Column 2 is the second data column (after the indicator), row 3 the third data row (after the title).
    t.Grid.MoveToCell(2, 3);
    QCOMPARE(t.Grid.SelectedIndex(), 1);
    QCOMPARE(t.Table.RecNo(), 3);
    // MouseCoord gives the same cells back.
    const QRect cell = t.Grid.visualRect(t.Grid.Model()->index(2, 1));
    const QPoint inGrid = t.Grid.viewport()->mapTo(&t.Grid, cell.center());
    QCOMPARE(t.Grid.MouseCoord(inGrid.x(), inGrid.y()), QPoint(2, 3));
    QCOMPARE(t.Grid.MouseCoord(2, 2), QPoint(0, 0));
    QCOMPARE(t.Grid.MouseCoord(inGrid.x(), t.Grid.height() - 5), QPoint(-1, -1));
}

void TestDBGrid::findColumnAndLayout()
{
    TqxDataSet table;
    table.SetFieldDefs({{u"Code"_s, TqxFieldKind::String, 8}, {u"名称"_s, TqxFieldKind::String, 8}});
    table.CreateDataSet();
    TqxDataSource source(&table);
    TqxDBGrid grid;
    grid.SetDataSource(&source);
    // Without columns of its own the grid shows the table's fields.
    QVERIFY(grid.DefaultColumns());
    QCOMPARE(grid.ColumnCount(), 2);
    QCOMPARE(grid.FindColumn(u"cODE"_s), grid.Columns(0));
    QCOMPARE(grid.FindColumn(u"名称"_s), grid.Columns(1));
    QCOMPARE(grid.FindColumn(u"名"_s), nullptr);

    // A hidden column reports the width -1 and keeps its own for when it shows again.
    TqxColumn* code = grid.Columns(0);
    code->SetWidth(80);
    code->SetVisible(false);
    QCOMPARE(code->Width(), -1);
    QVERIFY(grid.isColumnHidden(0));
    code->SetVisible(true);
    QCOMPARE(code->Width(), 80);
    QCOMPARE(grid.columnWidth(0), 81); // and one pixel of grid line
    grid.horizontalHeader()->resizeSection(1, 51);
    QCOMPARE(grid.Columns(1)->Width(), 50);

    // A column whose field the table lacks is shown empty in its place; it
    // takes no input.
    TqxDBGrid custom;
    custom.SetDataSource(&source);
    custom.AddColumn(u"名称"_s, u"项目"_s);
    custom.AddColumn(u"没有"_s);
    custom.AddColumn(u"Code"_s);
    QCOMPARE(custom.Model()->columnCount(), 3);
    QCOMPARE(custom.Columns(0)->Title(), u"项目"_s);
    QCOMPARE(custom.Columns(1)->Title(), u"没有"_s);
    QCOMPARE(custom.Columns(2)->Title(), u"Code"_s);
    QCOMPARE(custom.Columns(1)->Field(), nullptr);
    QCOMPARE(custom.Model()->headerData(1, Qt::Horizontal).toString(), u"没有"_s);
    QCOMPARE(custom.Model()->headerData(2, Qt::Horizontal).toString(), u"Code"_s);
    table.AppendRecord({u"A1"_s, u"甲"_s});
    QCOMPARE(custom.Model()->index(0, 1).data().toString(), QString());
    QVERIFY(!(custom.Model()->flags(custom.Model()->index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(!custom.Model()->setData(custom.Model()->index(0, 1), u"x"_s));
}

// Such a column is drawn with an empty text and its cells still raise the
// group-cell event, so a header row merges across it.
void TestDBGrid::columnWithoutFieldJoinsGroups()
{
    TBudget b;
    b.Grid.AddColumn(u"差价"_s, QString(), 40);
    QCOMPARE(b.Grid.Model()->columnCount(), 10);
    QSet<QString> asked;
    QString textOfMissing = u"unset"_s;
    b.Grid.OnDrawGroupCell = [&](TqxDBGrid*, TqxColumn* column, QString&, QString& shown, TqxCellCanvas& canvas) {
        asked.insert(column->FieldName());
        if (column->FieldName() == u"差价"_s && b.Type(canvas.Bookmark) == 1)
            textOfMissing = shown;
    };
    QVERIFY(showActive(&b.Grid));
    b.Grid.horizontalScrollBar()->setValue(b.Grid.horizontalScrollBar()->maximum());
    b.Render();
    QVERIFY(asked.contains(u"差价"_s));
    QCOMPARE(textOfMissing, QString());
}

// ---------------------------------------------------------------- navigator

void TestDBGrid::navigatorCaptions_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("9 lines: refresh has none") << 9;
    QTest::newRow("12 lines: the first 10 count") << 12;
}

void TestDBGrid::navigatorCaptions()
{
    QFETCH(int, lines);
    const QStringList words{u"首记录"_s, u"上一条"_s, u"下一条"_s, u"尾记录"_s, u"插入"_s, u"删除"_s,
                            u"编辑"_s,   u"提交"_s,   u"撤销"_s,   u"刷新"_s,   u"多余"_s, u"多余"_s};
    TqxDBNavigator nav;
    nav.SetCaptions(words.mid(0, lines));
    for (int i = 0; i < TqxDBNavigator::ButtonCount; ++i)
        QCOMPARE(nav.Button(TNavigateBtn(i))->text(), QString()); // captions are off
    nav.SetShowCaptions(true);
    for (int i = 0; i < TqxDBNavigator::ButtonCount; ++i)
        QCOMPARE(nav.Button(TNavigateBtn(i))->text(), i < lines ? words.at(i) : QString());
    nav.SetShowCaptions(false);
    QCOMPARE(nav.Button(nbFirst)->text(), QString());
}

void TestDBGrid::navigatorGlyphsAndLayout()
{
    TqxDBNavigator nav;
    nav.SetLayout(blGlyphTop);
    for (int i = 0; i < TqxDBNavigator::ButtonCount; ++i)
        QCOMPARE(nav.Button(TNavigateBtn(i))->Layout(), blGlyphTop);

    const auto image = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    QPixmap red(16, 16);
    red.fill(Qt::red);
    QPixmap green(16, 16);
    green.fill(Qt::green);
    nav.SetImageList({QIcon(red), QIcon(green)});
    QCOMPARE(image(nav.Button(nbFirst)->icon()), image(QIcon(red)));
    QCOMPARE(image(nav.Button(nbPrior)->icon()), image(QIcon(green)));
    QCOMPARE(image(nav.Button(nbNext)->icon()), image(TqxDBNavigator::DefaultGlyph(nbNext)));
    nav.SetImageList({});
    QCOMPARE(image(nav.Button(nbFirst)->icon()), image(TqxDBNavigator::DefaultGlyph(nbFirst)));

    // A stacked layout is taller than a side-by-side one.
    nav.SetCaptions({u"首记录"_s});
    nav.SetShowCaptions(true);
    const int stacked = nav.Button(nbFirst)->sizeHint().height();
    nav.SetLayout(blGlyphLeft);
    QVERIFY(nav.Button(nbFirst)->sizeHint().height() < stacked);
}

void TestDBGrid::navigatorActions()
{
    TItems t;
    TqxDBNavigator nav;
    nav.SetDataSource(&t.Source);
    t.Table.First();
    QVERIFY(!nav.Button(nbFirst)->isEnabled());
    QVERIFY(!nav.Button(nbPrior)->isEnabled());
    QVERIFY(!nav.Button(nbPost)->isEnabled());
    QTest::mouseClick(nav.Button(nbNext), Qt::LeftButton);
    QCOMPARE(t.Table.RecNo(), 2);
    QVERIFY(nav.Button(nbFirst)->isEnabled());
    QTest::mouseClick(nav.Button(nbLast), Qt::LeftButton);
    QVERIFY(!nav.Button(nbNext)->isEnabled());
    QTest::mouseClick(nav.Button(nbEdit), Qt::LeftButton);
    QCOMPARE(t.Table.State(), TqxDataSetState::Edit);
    QVERIFY(nav.Button(nbPost)->isEnabled() && nav.Button(nbCancel)->isEnabled());
    QTest::mouseClick(nav.Button(nbCancel), Qt::LeftButton);
    QCOMPARE(t.Table.State(), TqxDataSetState::Browse);

    // What the grid is typing is posted with the row.
    QVERIFY(showActive(&t.Grid));
    t.Grid.setFocus();
    t.Table.First();
    typeInto(t.Grid, u"typed"_s);
    QTest::mouseClick(nav.Button(nbNext), Qt::LeftButton);
    QCOMPARE(t.Names().first(), u"typed"_s);
    QCOMPARE(t.Table.RecNo(), 2);

    // Deleting asks first, unless told not to.
    TqxScriptedPrompter prompter;
    prompter.AnswerButton(mbCancel);
    QTest::mouseClick(nav.Button(nbDelete), Qt::LeftButton);
    QCOMPARE(t.Table.RecordCount(), 3);
    QCOMPARE(prompter.Last().message.Text, u"删除记录吗？"_s);
    nav.SetConfirmDelete(false);
    QTest::mouseClick(nav.Button(nbDelete), Qt::LeftButton);
    QCOMPARE(t.Names(), (QStringList{u"typed"_s, u"c"_s}));
    QCOMPARE(prompter.Records.size(), size_t(1));

    // A refused post reaches the user as a message box.
    t.Table.BeforePost = [](TqxDataSet*) { throw EKavelinErr(u"不能保存"_s); };
    QTest::mouseClick(nav.Button(nbInsert), Qt::LeftButton);
    t.Table.FieldByName(u"名称"_s)->SetAsString(u"n"_s);
    QTest::mouseClick(nav.Button(nbPost), Qt::LeftButton);
    QCOMPARE(prompter.Last().message.Text, u"不能保存"_s);
    QCOMPARE(prompter.Last().message.Icon, TMsgIcon::Error);
    QCOMPARE(t.Table.State(), TqxDataSetState::Insert);
}

QTEST_MAIN(TestDBGrid)
#include "tst_dbgrid.moc"
