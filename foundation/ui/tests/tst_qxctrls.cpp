// The labelled controls and panels as a user drives them: real widgets,
// offscreen, keys and mouse through QTest.

#include "qxCtrls.h"
#include "qxFunctions.h"

#include <QComboBox>
#include <QDialog>
#include <QEnterEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

void sendEnter(QWidget* w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(w, &e);
}

void sendLeave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

// Types text as keys; characters beyond ASCII come as key events carrying
// the text, the way a keyboard layout delivers them.
void typeText(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// What an input method sends when the user picks Chinese words.
void commitText(QWidget* w, const QString& text)
{
    QInputMethodEvent e;
    e.setCommitString(text);
    QCoreApplication::sendEvent(w, &e);
}

bool showActive(QWidget* w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

struct TRows {
    int first;
    int last;
};

// Rows of an image holding a pixel darker than mid grey, among the given columns.
TRows inkRows(const QImage& image, int fromX, int toX, int skipRow)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y) {
        if (y == skipRow)
            continue;
        for (int x = fromX; x < toX; ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    }
    return {first, last};
}

} // namespace

class TestQxCtrls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fieldNavigation_data();
    void fieldNavigation();
    void maskFiltering_data();
    void maskFiltering();
    void focusLookSwapsAndRestores();
    void flatLook();
    void mouseGetsFocus();
    void labelPlacement_data();
    void labelPlacement();
    void labelFollowsControl();
    void editButton();

    void headPanelGeometry();
    void headPanelDescription_data();
    void headPanelDescription();

    void linkLabelOpens_data();
    void linkLabelOpens();
    void linkLabelHover();

    void statusBarPanels();

    void valueListStrings();
    void valueListDrawing();
    void valueListEditing();

    void floatPanelShowHide();

    void childWinSetTabs();
    void childWinSetChoosingShowsWindow();
    void childWinSetMdi();
};

// A dialog with a panel of fields in tab order: e1, e2 (disabled), b1 (no tab
// stop), e3, c1, e4. The default button outside the panel must not be pressed
// when Enter moves on, and is not one of the panel's fields.
struct TFieldDialog {
    QDialog dialog;
    QWidget* panel = new QWidget(&dialog);
    TqxLabeledEdit* e1 = new TqxLabeledEdit(panel);
    TqxLabeledEdit* e2 = new TqxLabeledEdit(panel);
    QPushButton* b1 = new QPushButton(u"b1"_s, panel);
    TqxLabeledEdit* e3 = new TqxLabeledEdit(panel);
    TqxLabeledComboBox* c1 = new TqxLabeledComboBox(panel);
    TqxLabeledEdit* e4 = new TqxLabeledEdit(panel);
    QPushButton* ok = new QPushButton(u"ok"_s, &dialog);

    TFieldDialog()
    {
        int y = 10;
        for (QWidget* w : std::initializer_list<QWidget*>{e1, e2, b1, e3, c1, e4}) {
            w->setGeometry(10, y, 150, 24);
            y += 30;
        }
        e1->setObjectName(u"e1"_s);
        e2->setObjectName(u"e2"_s);
        e3->setObjectName(u"e3"_s);
        c1->setObjectName(u"c1"_s);
        e4->setObjectName(u"e4"_s);
        e2->setEnabled(false);
        b1->setFocusPolicy(Qt::ClickFocus);
        e1->SetKeyUpToPrior(true);
        e3->SetKeyUpToPrior(true);
        e3->SetKeyDownToNext(true);
        panel->setGeometry(0, 0, 180, 200);
        ok->setGeometry(200, 10, 80, 24);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        dialog.resize(320, 220);
    }
};

void TestQxCtrls::fieldNavigation_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("defaultPressed");
    QTest::newRow("Enter skips disabled and non-tab-stop") << u"e1"_s << int(Qt::Key_Return) << u"e3"_s << false;
    QTest::newRow("keypad Enter") << u"e3"_s << int(Qt::Key_Enter) << u"c1"_s << false;
    QTest::newRow("Enter in the last field wraps") << u"e4"_s << int(Qt::Key_Return) << u"e1"_s << false;
    QTest::newRow("Up goes back") << u"e3"_s << int(Qt::Key_Up) << u"e1"_s << false;
    QTest::newRow("Up in the first field wraps") << u"e1"_s << int(Qt::Key_Up) << u"e4"_s << false;
    QTest::newRow("Down moves on when asked") << u"e3"_s << int(Qt::Key_Down) << u"c1"_s << false;
    QTest::newRow("Down stays by default") << u"e1"_s << int(Qt::Key_Down) << u"e1"_s << false;
    QTest::newRow("Up stays by default") << u"e4"_s << int(Qt::Key_Up) << u"e4"_s << false;
    // The combo box does not move on Enter: the dialog's default button answers.
    QTest::newRow("combo box Enter") << u"c1"_s << int(Qt::Key_Return) << u"c1"_s << true;
}

void TestQxCtrls::fieldNavigation()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QString, expected);
    QFETCH(bool, defaultPressed);

    TFieldDialog f;
    QVERIFY(showActive(&f.dialog));
    auto* from = f.dialog.findChild<QWidget*>(start);
    from->setFocus();
    QCOMPARE(QApplication::focusWidget(), from);
    QTest::keyClick(from, Qt::Key(key));
    QCOMPARE(f.dialog.result() == QDialog::Accepted, defaultPressed);
    if (defaultPressed)
        return;
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), expected);
}

void TestQxCtrls::maskFiltering_data()
{
    QTest::addColumn<bool>("combo");
    QTest::addColumn<bool>("check");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    const QString typed = u"1a2.B 木3"_s;
    QTest::newRow("edit, filtered") << false << true << typed << u"12.木3中文"_s;
    QTest::newRow("edit, not checked") << false << false << typed << typed + u"中文"_s;
    QTest::newRow("combo, filtered") << true << true << typed << u"12.木3中文"_s;
}

void TestQxCtrls::maskFiltering()
{
    QFETCH(bool, combo);
    QFETCH(bool, check);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    QWidget window;
    TqxLabeledEdit edit(&window);
    TqxLabeledComboBox box(&window);
    TqxFieldBehaviour& field = combo ? static_cast<TqxFieldBehaviour&>(box) : edit;
    field.SetMaskChars(u"0123456789."_s);
    field.SetCheckInput(check);
    QVERIFY(showActive(&window));
    QWidget* target = combo ? static_cast<QWidget*>(&box) : &edit;
    target->setFocus();
    typeText(target, typed);
    commitText(combo ? static_cast<QWidget*>(box.lineEdit()) : &edit, u"中文"_s);
    QCOMPARE(combo ? box.currentText() : edit.text(), expected);
    // Editing keys are not characters and always work.
    QTest::keyClick(target, Qt::Key_Backspace);
    QCOMPARE(combo ? box.currentText() : edit.text(), expected.chopped(1));
}

void TestQxCtrls::focusLookSwapsAndRestores()
{
    QWidget window;
    TqxLabeledEdit edit(&window);
    TqxLabeledComboBox box(&window);
    QLineEdit other(&window);
    edit.move(0, 40);
    box.move(0, 80);
    QVERIFY(showActive(&window));

    QFont focusFont(u"WenQuanYi Micro Hei"_s, 15);
    focusFont.setBold(true);
    for (QWidget* w : std::initializer_list<QWidget*>{&edit, &box}) {
        auto* field = dynamic_cast<TqxFieldBehaviour*>(w);
        // Defaults: the control's own colour and font at creation.
        QCOMPARE(field->FocusFont(), w->font());
        QCOMPARE(field->FocusColor(), w->palette().color(QPalette::Base));
        const QFont own = w->font();
        const QColor ownColor = w->palette().color(QPalette::Base);
        field->SetFocusFont(focusFont);
        field->SetFocusColor(Qt::yellow);

        w->setFocus();
        QCOMPARE(w->font(), own); // FocusChangeFont is off
        other.setFocus();

        field->SetFocusChangeFont(true);
        w->setFocus();
        QCOMPARE(w->font(), focusFont);
        QCOMPARE(w->palette().color(QPalette::Base), QColor(Qt::yellow));
        other.setFocus();
        QCOMPARE(w->font(), own);
        QCOMPARE(w->palette().color(QPalette::Base), ownColor);
        QCOMPARE(field->FocusFont(), focusFont);
        // The own font is inherited again, not frozen: it follows its parent.
        QVERIFY(!w->testAttribute(Qt::WA_SetFont));
    }
}

void TestQxCtrls::flatLook()
{
    QWidget window;
    TqxLabeledEdit edit(&window);
    QLineEdit other(&window);
    other.move(0, 40);
    QVERIFY(showActive(&window));
    other.setFocus();
    QCOMPARE(edit.Bevels().Kind, TBevelKind::None);
    QVERIFY(edit.hasFrame());

    edit.SetFlat(true);
    QCOMPARE(edit.Bevels().Kind, TBevelKind::Flat);
    QCOMPARE(edit.Bevels().Inner, TBevelCut::Space);
    QCOMPARE(edit.Bevels().Outer, TBevelCut::Lowered);
    QVERIFY(!edit.Bevels().Border);
    sendEnter(&edit);
    QCOMPARE(edit.Bevels().Inner, TBevelCut::Raised); // the hot look
    sendLeave(&edit);
    QCOMPARE(edit.Bevels().Inner, TBevelCut::Space);
    edit.setFocus();
    QCOMPARE(edit.Bevels().Inner, TBevelCut::Raised);
    sendLeave(&edit); // still focused: stays hot
    QCOMPARE(edit.Bevels().Inner, TBevelCut::Raised);
    other.setFocus();
    QCOMPARE(edit.Bevels().Inner, TBevelCut::Space);

    // Switching back only records the flag; the bevels stay and nothing turns hot.
    edit.SetFlat(false);
    QVERIFY(!edit.Flat());
    QCOMPARE(edit.Bevels().Kind, TBevelKind::Flat);
    QVERIFY(!edit.hasFrame());
    sendEnter(&edit);
    QCOMPARE(edit.Bevels().Inner, TBevelCut::Space);

    TqxLabeledComboBox box(&window);
    box.SetFlat(true);
    QCOMPARE(box.Bevels().Inner, TBevelCut::Raised);
    QCOMPARE(box.Bevels().Outer, TBevelCut::Raised);
    QCOMPARE(box.Bevels().Kind, TBevelKind::Flat);
}

void TestQxCtrls::mouseGetsFocus()
{
    QWidget window;
    TqxLabeledEdit edit(&window);
    TqxLabeledComboBox box(&window);
    QLineEdit other(&window);
    box.move(0, 40);
    other.move(0, 80);
    QVERIFY(showActive(&window));
    other.setFocus();
    sendEnter(&edit);
    sendEnter(&box);
    QVERIFY(other.hasFocus());
    edit.SetMouseGetFocus(true);
    sendEnter(&edit);
    QVERIFY(edit.hasFocus());
    box.SetMouseGetFocus(true);
    box.setEnabled(false);
    sendEnter(&box);
    QVERIFY(edit.hasFocus());
    box.setEnabled(true);
    sendEnter(&box);
    QVERIFY(box.hasFocus());
}

void TestQxCtrls::labelPlacement_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QPoint>("expected");
    // Combo box at (200, 100), 150 x 24; the label keeps its 60 x 15.
    QTest::newRow("left") << int(lpLeft) << 3 << QPoint(137, 104);
    QTest::newRow("right") << int(lpRight) << 3 << QPoint(353, 104);
    QTest::newRow("above") << int(lpAbove) << 3 << QPoint(200, 82);
    QTest::newRow("below") << int(lpBelow) << 3 << QPoint(200, 127);
    QTest::newRow("left, spacing 8") << int(lpLeft) << 8 << QPoint(132, 104);
}

void TestQxCtrls::labelPlacement()
{
    QFETCH(int, position);
    QFETCH(int, spacing);
    QFETCH(QPoint, expected);

    QWidget window;
    window.resize(500, 300);
    TqxLabeledComboBox box(&window);
    TqxLabeledEdit edit(&window);
    QVERIFY(showActive(&window));
    for (QWidget* w : std::initializer_list<QWidget*>{&box, &edit}) {
        TqxBoundLabel* label = w == &box ? box.EditLabel() : edit.EditLabel();
        QCOMPARE(label->parentWidget(), &window);
        QCOMPARE(label->buddy(), w);
        label->SetCaption(u"类别(&K):"_s);
        label->resize(60, 15);
        w->setGeometry(200, 100, 150, 24);
        if (w == &box) {
            box.SetLabelPosition(TLabelPosition(position));
            box.SetLabelSpacing(spacing);
        } else {
            edit.SetLabelPosition(TLabelPosition(position));
            edit.SetLabelSpacing(spacing);
        }
        QCOMPARE(label->pos(), expected);
        QCOMPARE(label->size(), QSize(60, 15));
        w->move(210, 120);
        QCOMPARE(label->pos(), expected + QPoint(10, 20));
        w->move(-500, 0); // out of the way of the next control
    }
}

void TestQxCtrls::labelFollowsControl()
{
    QWidget window;
    QWidget other;
    TqxLabeledComboBox* box = new TqxLabeledComboBox(&window);
    box->EditLabel()->SetCaption(u"地点:"_s);
    QVERIFY(showActive(&window));
    QPointer<TqxBoundLabel> label = box->EditLabel();
    QVERIFY(label->isVisible());

    box->hide();
    QVERIFY(!label->isVisible());
    box->show();
    QVERIFY(label->isVisible());
    box->setEnabled(false);
    QVERIFY(!label->isEnabled());
    box->setEnabled(true);
    QVERIFY(label->isEnabled());
    box->setLayoutDirection(Qt::RightToLeft);
    QCOMPARE(label->layoutDirection(), Qt::RightToLeft);
    box->setParent(&other);
    QCOMPARE(label->parentWidget(), &other);

    // The control forgets a label destroyed first, and frees its own.
    delete label.data();
    QVERIFY(!box->EditLabel());
    box->SetLabelPosition(lpLeft);
    TqxLabeledEdit* edit = new TqxLabeledEdit(&window);
    label = edit->EditLabel();
    delete edit;
    QVERIFY(label.isNull());
    delete box;
}

void TestQxCtrls::editButton()
{
    QWidget window;
    TqxLabeledEdit edit(&window);
    edit.setGeometry(10, 10, 200, 24);
    QVERIFY(showActive(&window));
    QToolButton* button = edit.SpeedButton();
    QCOMPARE(button->objectName(), u"SubButton"_s);
    QCOMPARE(button->parentWidget(), &edit);
    QCOMPARE(button->geometry(), QRect(176, 1, 22, 22));
    QVERIFY(!button->isVisible());
    edit.SetShowButton(true);
    QVERIFY(button->isVisible());
    // Typed text stops short of the button.
    QVERIFY(edit.textMargins().right() >= button->width());
    edit.resize(300, 30);
    QCOMPARE(button->geometry(), QRect(270, 1, 28, 28));
    edit.SetShowButton(false);
    QVERIFY(!button->isVisible());
    delete button;
    QVERIFY(!edit.SpeedButton());
    edit.SetShowButton(true);
}

void TestQxCtrls::headPanelGeometry()
{
    TqxHeadPanel panel;
    panel.resize(300, 41);
    QPixmap icon(32, 32);
    icon.fill(Qt::red);
    panel.SetPicture(icon);
    QCOMPARE(panel.LabelLeftSide(), 5);
    QCOMPARE(panel.PictureLeftSide(), 5);
    QCOMPARE(panel.BevelColor(), QColor(128, 128, 128));
    const QImage image = panel.grab().toImage();
    const QColor red(Qt::red), white(Qt::white), grey(128, 128, 128);
    // The icon: x 5..36, y 3..34.
    QCOMPARE(image.pixelColor(5, 3), red);
    QCOMPARE(image.pixelColor(36, 34), red);
    QCOMPARE(image.pixelColor(5, 2), white);
    QCOMPARE(image.pixelColor(4, 3), white);
    QCOMPARE(image.pixelColor(37, 34), white);
    QCOMPARE(image.pixelColor(5, 35), white);
    // The bottom line at y 39 across the whole width, white below and above it.
    for (int x : {0, 150, 299})
        QCOMPARE(image.pixelColor(x, 39), grey);
    QCOMPARE(image.pixelColor(150, 40), white);
    QCOMPARE(image.pixelColor(150, 38), white);
}

void TestQxCtrls::headPanelDescription_data()
{
    QTest::addColumn<int>("align");
    QTest::newRow("none centres") << int(alNone);
    QTest::newRow("top") << int(alTop);
    QTest::newRow("bottom") << int(alBottom);
    QTest::newRow("client centres") << int(alClient);
}

void TestQxCtrls::headPanelDescription()
{
    QFETCH(int, align);
    TqxHeadPanel panel;
    panel.resize(400, 80);
    QPixmap icon(32, 32);
    icon.fill(Qt::white);
    panel.SetPicture(icon);
    panel.SetDescAlign(TAlign(align));
    panel.SetDescription(u"修改您的密码，修改后请一定记住新密码！"_s);
    const int textHeight = panel.fontMetrics().height();
    int top = (80 - textHeight - 2) / 2;
    if (align == alTop)
        top = 2;
    else if (align == alBottom)
        top = 80 - textHeight - 2;
    const QImage image = panel.grab().toImage();
    // The text starts at x = 32 + 5 + 5 and lies within its line.
    const auto rows = inkRows(image, 0, 42, 78);
    QCOMPARE(rows.first, -1);
    const auto textRows = inkRows(image, 42, 400, 78);
    QVERIFY2(textRows.first >= top && textRows.last < top + textHeight,
             qPrintable(u"%1..%2 outside %3..%4"_s.arg(textRows.first).arg(textRows.last).arg(top).arg(top + textHeight)));
}

void TestQxCtrls::linkLabelOpens_data()
{
    QTest::addColumn<int>("used");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("opened");
    QTest::newRow("web address") << int(luHttp) << u"http://www.kavelin.example/"_s << u"http://www.kavelin.example/"_s;
    QTest::newRow("web, caption") << int(luHttp) << QString() << u"service@kavelin.example"_s;
    QTest::newRow("mail, caption") << int(luEmail) << QString() << u"mailto:service@kavelin.example"_s;
    QTest::newRow("mail, value") << int(luEmail) << u"a@b.example"_s << u"mailto:a@b.example"_s;
    QTest::newRow("static") << int(luStatic) << u"http://x.example/"_s << QString();
    QTest::newRow("scroll") << int(luScroll) << u"http://x.example/"_s << QString();
}

void TestQxCtrls::linkLabelOpens()
{
    QFETCH(int, used);
    QFETCH(QString, value);
    QFETCH(QString, opened);
    QStringList targets;
    SetShellOpener([&](const QString& t) {
        targets.append(t);
        return true;
    });
    QWidget window;
    TqxLabel label(u"service@kavelin.example"_s, &window);
    label.adjustSize();
    label.SetLabelUsed(TLabelUsed(used));
    label.SetUsedValue(value);
    QSignalSpy clicked(&label, &TqxLabel::Clicked);
    QVERIFY(showActive(&window));
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(targets, opened.isEmpty() ? QStringList() : QStringList{opened});
    // The right button opens nothing.
    QTest::mouseClick(&label, Qt::RightButton);
    QCOMPARE(targets.size(), opened.isEmpty() ? 0 : 1);
    SetShellOpener(nullptr);
}

void TestQxCtrls::linkLabelHover()
{
    QWidget window;
    TqxLabel label(u"www.kavelin.example"_s, &window);
    const QFont own = label.font();
    QFont stay = own;
    stay.setUnderline(true);
    label.SetStayFont(stay);
    QVERIFY(showActive(&window));

    sendEnter(&label); // a static label does nothing
    QCOMPARE(label.font(), own);
    QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
    sendLeave(&label);

    label.SetLabelUsed(luScroll);
    sendEnter(&label);
    QCOMPARE(label.font(), stay);
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
    sendLeave(&label);
    QCOMPARE(label.font(), own);
    QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(label.StayFont(), stay);

    label.setEnabled(false);
    sendEnter(&label);
    QCOMPARE(label.font(), own);
}

void TestQxCtrls::statusBarPanels()
{
    TqxStatusBar bar;
    QCOMPARE(bar.AddPanel(120, u"欢迎您使用本软件！"_s), 0);
    QCOMPARE(bar.AddPanel(150), 1);
    bar.SetPanelText(1, u"提示"_s);
    QCOMPARE(bar.PanelText(0), u"欢迎您使用本软件！"_s);
    QCOMPARE(bar.PanelText(1), u"提示"_s);
    QCOMPARE(bar.Panel(0)->width(), 120);
    QCOMPARE(bar.PanelText(7), QString());
    // A link label placed on the bar stays where it is put.
    TqxLabel link(u"www.kavelin.example"_s, &bar);
    link.move(300, 2);
    bar.resize(600, 24);
    bar.show();
    QCOMPARE(link.pos(), QPoint(300, 2));
}

void TestQxCtrls::valueListStrings()
{
    TqxValueListEditor editor;
    editor.SetStrings({u"名称=木地板"_s, u"公式=a=b"_s, u"Unit=m2"_s, u"空"_s});
    QCOMPARE(editor.rowCount(), 4);
    QCOMPARE(editor.Key(1), u"公式"_s);
    QCOMPARE(editor.Value(1), u"a=b"_s);
    QCOMPARE(editor.Values(u"UNIT"_s), u"m2"_s);
    QCOMPARE(editor.Values(u"没有"_s), QString());
    QCOMPARE(editor.Strings(), QStringList({u"名称=木地板"_s, u"公式=a=b"_s, u"Unit=m2"_s, u"空="_s}));
    QVERIFY(!(editor.item(0, 0)->flags() & Qt::ItemIsEditable));
    QVERIFY(editor.item(0, 1)->flags() & Qt::ItemIsEditable);
    editor.setCurrentCell(2, 0);
    QCOMPARE(editor.currentColumn(), 1);
    // Editing styles stay with their row when rows come and go.
    editor.SetItemProp(2, {esPickList, {u"m2"_s, u"m"_s}, false});
    editor.removeRow(0);
    QCOMPARE(editor.ItemProp(1).EditStyle, esPickList);
    QCOMPARE(editor.ItemProp(0).EditStyle, esSimple);
    QVERIFY(!editor.EnterToNext());
}

void TestQxCtrls::valueListDrawing()
{
    TqxValueListEditor editor;
    editor.resize(300, 200);
    editor.SetLineColor(Qt::red);
    editor.SetStrings({u"备注=第一行\r\n第二行"_s, u"单价=1"_s});
    editor.setRowHeight(0, 50);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.clearSelection();
    const QImage image = editor.viewport()->grab().toImage();
    const QRect key = editor.visualRect(editor.model()->index(0, 0));
    const QRect value = editor.visualRect(editor.model()->index(0, 1));
    const QColor red(Qt::red);
    QCOMPARE(image.pixelColor(value.center().x(), value.bottom()), red);
    QCOMPARE(image.pixelColor(key.right(), key.center().y()), red);
    QCOMPARE(image.pixelColor(key.left(), key.center().y()), red);
    // The key column is in the fixed colour.
    QCOMPARE(image.pixelColor(key.right() - 3, key.bottom() - 3), editor.palette().color(QPalette::Button));
    // Both lines of the value, one text height apart.
    const int lineHeight = editor.fontMetrics().height();
    const auto first = inkRows(image.copy(value.adjusted(1, 1, -1, -1)), 0, value.width() - 2, -1);
    QVERIFY(first.first >= 1 && first.last >= lineHeight + 1);
    QVERIFY(first.last < 2 + 2 * lineHeight);
}

void TestQxCtrls::valueListEditing()
{
    TqxValueListEditor editor;
    editor.resize(300, 200);
    editor.SetStrings({u"是否主材=是"_s, u"日期="_s});
    editor.SetItemProp(0, {esPickList, {u"是"_s, u"否"_s}, false});
    editor.SetItemProp(1, {esEllipsis, {}, false});
    QVERIFY(showActive(&editor));

    editor.editItem(editor.item(0, 1));
    auto* combo = editor.viewport()->findChild<QComboBox*>();
    QVERIFY(combo);
    QCOMPARE(combo->count(), 2);
    combo->setCurrentIndex(1);
    QTest::keyClick(combo, Qt::Key_Return);
    QTRY_COMPARE(editor.Value(0), u"否"_s);

    // The host answers the ellipsis button by setting the value; the open editor shows it.
    QSignalSpy clicks(&editor, &TqxValueListEditor::EditButtonClick);
    connect(&editor, &TqxValueListEditor::EditButtonClick, &editor,
            [&](int row) { editor.SetValue(row, u"2024-05-17"_s); });
    editor.editItem(editor.item(1, 1));
    auto* button = editor.viewport()->findChild<QToolButton*>(u"EllipsisButton"_s);
    QVERIFY(button);
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.at(0).at(0).toInt(), 1);
    auto* line = qobject_cast<QLineEdit*>(button->parentWidget());
    QCOMPARE(line->text(), u"2024-05-17"_s);
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_VERIFY(!editor.viewport()->findChild<QToolButton*>(u"EllipsisButton"_s));
    QCOMPARE(editor.Value(1), u"2024-05-17"_s);
}

void TestQxCtrls::floatPanelShowHide()
{
    QWidget window;
    window.resize(400, 300);
    auto* panel = new TqxFloatPanel(&window);
    QVERIFY(panel->isHidden());
    QVERIFY(showActive(&window));
    QVERIFY(!panel->isVisible());

    QStringList events;
    QWidget* grabberAtShow = panel;
    connect(panel, &TqxFloatPanel::OnShow, panel, [&] {
        events.append(u"show"_s);
        grabberAtShow = QWidget::mouseGrabber();
    });
    connect(panel, &TqxFloatPanel::OnHide, panel, [&] { events.append(u"hide"_s); });

    panel->MoveTo(30, 40);
    QCOMPARE(panel->pos(), QPoint(30, 40));
    panel->show();
    panel->show();
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
    panel->hide();
    QCOMPARE(events, QStringList({u"show"_s, u"hide"_s}));

    // The capture comes after the show notice and ends with the hiding.
    panel->SetEnableMouseCapture(true);
    panel->show();
    QCOMPARE(grabberAtShow, nullptr);
    QCOMPARE(QWidget::mouseGrabber(), panel);
    panel->releaseMouse(); // losing the capture changes nothing
    QVERIFY(panel->isVisible());
    panel->grabMouse();
    panel->hide();
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
    QCOMPARE(events.size(), 4);

    QLineEdit grid;
    panel->SetInputControl(&grid);
    QCOMPARE(panel->InputControl(), &grid);
}

void TestQxCtrls::childWinSetTabs()
{
    TqxChildWinSet set;
    set.hide();
    QWidget a, b;
    a.setWindowTitle(u"新工程"_s);
    b.setWindowTitle(u"张先生的家"_s);

    QCOMPARE(set.AddWindow(&a), 0);
    QVERIFY(!set.isHidden());
    QCOMPARE(set.tabText(0), u"新工程"_s);
    QCOMPARE(set.AddWindow(&b, u"工程二"_s), 1);
    QCOMPARE(set.AddWindow(&a, u"改名"_s), 0); // already present: only renamed
    QCOMPARE(set.count(), 2);
    QCOMPARE(set.tabText(0), u"改名"_s);
    set.RenameWindow(HandleOf(&a), QString());
    QCOMPARE(set.tabText(0), u"新工程"_s);
    set.RenameWindow(HandleOf(&b), u"李女士的家"_s);
    QCOMPARE(set.tabText(1), u"李女士的家"_s);
    QCOMPARE(set.IndexOfWindow(HandleOf(&b)), 1);
    QCOMPARE(set.IndexOfWindow(HandleOf(&set)), -1);
    QCOMPARE(set.Window(1), &b);

    set.RemoveWindow(HandleOf(&set)); // no such tab
    QCOMPARE(set.count(), 2);
    set.RemoveWindow(HandleOf(&a));
    QCOMPARE(set.IndexOfWindow(HandleOf(&b)), 0);
    set.RemoveWindow(HandleOf(&b));
    QVERIFY(!set.isHidden()); // NoWindowHide is off

    set.SetNoWindowHide(true);
    set.RemoveWindow(HandleOf(&b)); // nothing to remove, but the empty strip hides
    QVERIFY(set.isHidden());

    // A window destroyed without being removed takes its tab along.
    auto* c = new QWidget;
    set.AddWindow(c, u"临时"_s);
    delete c;
    QCOMPARE(set.count(), 0);
    QVERIFY(set.isHidden());
}

void TestQxCtrls::childWinSetChoosingShowsWindow()
{
    QWidget main;
    main.resize(400, 100);
    TqxChildWinSet set(&main);
    set.setGeometry(0, 0, 400, 28);
    QWidget a, b;
    set.AddWindow(&a, u"一"_s);
    set.AddWindow(&b, u"二"_s);
    QVERIFY(showActive(&main));
    QVERIFY(!b.isVisible());
    QTest::mouseClick(&set, Qt::LeftButton, {}, set.tabRect(1).center());
    QCOMPARE(set.currentIndex(), 1);
    QVERIFY(b.isVisible());
    QVERIFY(!a.isVisible()); // adding tabs showed nothing
}

void TestQxCtrls::childWinSetMdi()
{
    QMdiArea area;
    area.resize(500, 400);
    auto* a = new QWidget;
    auto* b = new QWidget;
    area.addSubWindow(a);
    area.addSubWindow(b);
    TqxChildWinSet set;
    set.AddWindow(a, u"一"_s);
    set.AddWindow(b, u"二"_s);
    QVERIFY(showActive(&area));
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(b->parentWidget()));
    set.ActivateWindow(HandleOf(a));
    QCOMPARE(area.activeSubWindow()->widget(), a);
    QCOMPARE(set.currentIndex(), 0);
    set.ActivateWindow(HandleOf(b));
    QCOMPARE(area.activeSubWindow()->widget(), b);
    QCOMPARE(set.currentIndex(), 1);
}

QTEST_MAIN(TestQxCtrls)
#include "tst_qxctrls.moc"
