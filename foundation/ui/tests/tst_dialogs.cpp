// The base dialogs, the common dialogs and the window messages, driven as a
// user drives them. No test runs a modal loop: each dialog is built, shown,
// worked with QTest and closed through its buttons.

#include "Win_KavelinDialog.h"
#include "qxCtrls.h"
#include "qxDialogs.h"
#include "qxNotices.h"
#include "qxScriptedPrompter.h"
#include "qxUiFunctions.h"

#include <QCalendarWidget>
#include <QGroupBox>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct TNotice {
    int msg;
    quintptr w;
    qintptr l;
    bool operator==(const TNotice&) const = default;
};

// A window that records the messages it receives and answers with a number.
template <class Base>
class TListening : public Base {
public:
    using Base::Base;
    QList<TNotice> Received;
    qintptr Answer = 0;
    QList<QString>* Log = nullptr;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != TqxMessageEvent::EventType())
            return Base::event(e);
        auto* m = static_cast<TqxMessageEvent*>(e);
        Received.append({m->Msg, m->WParam, m->LParam});
        if (Log)
            Log->append(this->objectName());
        m->Result = Answer;
        return true;
    }
};

QList<qintptr> codes(const QList<TNotice>& notices)
{
    QList<qintptr> result;
    for (const TNotice& n : notices)
        result.append(n.l);
    return result;
}

bool showActive(QWidget* w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void basicDialogHead();

    void kavelinDialogNotices();
    void kavelinDialogWithoutTarget();
    void broadcastReachesEveryForm();

    void inputBoxCaption_data();
    void inputBoxCaption();
    void inputBoxMaskingAndLength();
    void inputBoxKeyboard();

    void selectInputBox();
    void selectDate();

    void newPasswordEnabling_data();
    void newPasswordEnabling();
    void newPasswordWrongOld();
    void newPasswordKeys();
};

void TestDialogs::basicDialogHead()
{
    TForm_CustomBasicDialog dialog;
    dialog.SetClientSize(400, 200);
    QVERIFY(showActive(&dialog));
    TqxHeadPanel* head = dialog.qxHeadPanel1;
    QCOMPARE(head->objectName(), u"qxHeadPanel1"_s);
    QCOMPARE(head->geometry(), QRect(0, 0, 400, 41));
    QCOMPARE(head->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(head->BevelColor(), QColor(128, 128, 128));
    QCOMPARE(head->DescAlign(), alNone);
    QVERIFY(!head->Picture().isNull());
    // A fixed dialog.
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
}

void TestDialogs::kavelinDialogNotices()
{
    TListening<QObject> target;
    SetNoticeTarget(&target);
    {
        TForm_KavelinDialog dialog;
        const THandle handle = HandleOf(&dialog);
        QCOMPARE(codes(target.Received), QList<qintptr>({4}));
        dialog.show();
        QCOMPARE(codes(target.Received), QList<qintptr>({4, 8}));
        dialog.reject();
        // The close notice comes before the hide notice.
        QCOMPARE(codes(target.Received), QList<qintptr>({4, 8, 128, 16}));
        for (const TNotice& n : std::as_const(target.Received)) {
            QCOMPARE(n.msg, MSG_DIALOG_NOTIFY);
            QCOMPARE(n.w, handle);
        }

        // Hiding without closing: 16 alone.
        target.Received.clear();
        dialog.show();
        dialog.hide();
        QCOMPARE(codes(target.Received), QList<qintptr>({8, 16}));

        // The close box and OK close as well.
        target.Received.clear();
        dialog.show();
        dialog.close();
        dialog.show();
        dialog.accept();
        QCOMPARE(codes(target.Received), QList<qintptr>({8, 128, 16, 8, 128, 16}));
        target.Received.clear();
    }
    // Destroying a hidden dialog says nothing more.
    QVERIFY(target.Received.isEmpty());
    SetNoticeTarget(nullptr);
}

void TestDialogs::kavelinDialogWithoutTarget()
{
    SetNoticeTarget(nullptr);
    TForm_KavelinDialog dialog;
    dialog.show();
    dialog.close();
    QVERIFY(dialog.isHidden());
}

void TestDialogs::broadcastReachesEveryForm()
{
    QStringList log;
    auto* main = new TListening<QMainWindow>;
    main->setObjectName(u"main"_s);
    auto* area = new QMdiArea(main);
    main->setCentralWidget(area);
    auto* child = new TListening<QWidget>;
    child->setObjectName(u"child"_s);
    area->addSubWindow(child);
    auto* hidden = new TListening<QWidget>;
    hidden->setObjectName(u"hidden"_s);
    auto* dialog = new TListening<QDialog>(main);
    dialog->setObjectName(u"dialog"_s);
    auto* menu = new TListening<QMenu>(main);
    // An MDI child made inside its frame was never a window of its own.
    auto* inner = new TListening<QWidget>(area);
    inner->setObjectName(u"inner"_s);
    area->addSubWindow(inner);
    main->show();

    QList<TListening<QWidget>*> widgets{child, hidden, inner};
    for (auto* w : widgets)
        w->Log = &log;
    main->Log = &log;
    dialog->Log = &log;
    menu->Log = &log;
    main->Answer = 1;
    dialog->Answer = 2;
    inner->Answer = 5;

    QCOMPARE(BroadcastMessage(MSG_CLIPBOARD_COUNT, 1, 3), qintptr(5));
    // Creation order; hidden and never-shown windows too; menus are no forms.
    QCOMPARE(log, QStringList({u"main"_s, u"child"_s, u"hidden"_s, u"dialog"_s, u"inner"_s}));
    QCOMPARE(hidden->Received, QList<TNotice>({{MSG_CLIPBOARD_COUNT, 1, 3}}));
    QVERIFY(menu->Received.isEmpty());

    // A receiver may close another window while the message goes round.
    log.clear();
    main->Answer = 0;
    connect(child, &QObject::destroyed, [] {});
    class TCloser : public QObject {
    public:
        QWidget* victim;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == TqxMessageEvent::EventType() && victim) {
                delete victim;
                victim = nullptr;
            }
            return false;
        }
    } closer;
    closer.victim = hidden;
    main->installEventFilter(&closer);
    BroadcastMessage(MSG_CLIPBOARD_COUNT, 1, 0);
    QCOMPARE(log, QStringList({u"main"_s, u"child"_s, u"dialog"_s, u"inner"_s}));
    main->removeEventFilter(&closer);

    delete main;
    QCOMPARE(BroadcastMessage(MSG_CLIPBOARD_COUNT, 1, 0), qintptr(0));
}

void TestDialogs::inputBoxCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("title");
    QTest::newRow("empty caption") << QString() << u"请输入密码"_s << u"输入对话框"_s;
    QTest::newRow("blank caption") << u"  "_s << QString() << u"输入对话框"_s;
    QTest::newRow("own caption") << u"修改组信息"_s << u"请输入修改后的组名："_s << u"修改组信息"_s;
}

void TestDialogs::inputBoxCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, prompt);
    QFETCH(QString, title);
    TForm_InputBox box(caption, prompt, 0, false, u"卧室"_s);
    QVERIFY(showActive(&box));
    QCOMPARE(box.windowTitle(), title);
    QCOMPARE(box.qxHeadPanel1->Description(), u"请输入所需的内容:"_s);
    QCOMPARE(box.Edit_Value->EditLabel()->isVisible(), !prompt.isEmpty());
    if (!prompt.isEmpty())
        QCOMPARE(box.Edit_Value->EditLabel()->text(), prompt);
    QCOMPARE(box.Value(), u"卧室"_s);
    QCOMPARE(box.Button_OK->text(), u"确定(&Y)"_s);
    QCOMPARE(box.Button_Cancel->text(), u"取消(&C)"_s);
    QVERIFY(box.Button_OK->isDefault());
    QVERIFY(box.Edit_Value->hasFocus());
}

void TestDialogs::inputBoxMaskingAndLength()
{
    TForm_InputBox masked(QString(), u"请输入密码"_s, 0, true, QString());
    QVERIFY(showActive(&masked));
    QTest::keyClicks(masked.Edit_Value, u"abc"_s);
    QCOMPARE(masked.Edit_Value->displayText(), u"***"_s);
    QCOMPARE(masked.Value(), u"abc"_s);

    TForm_InputBox limited(QString(), QString(), 4, false, QString());
    QVERIFY(showActive(&limited));
    QTest::keyClicks(limited.Edit_Value, u"abcdef"_s);
    QCOMPARE(limited.Value(), u"abcd"_s);
    QCOMPARE(limited.Edit_Value->displayText(), u"abcd"_s);

    TForm_InputBox unlimited(QString(), QString(), 0, false, QString(1000, u'x'));
    QCOMPARE(unlimited.Value().size(), 1000);
}

void TestDialogs::inputBoxKeyboard()
{
    TForm_InputBox box(QString(), u"组名"_s, 0, false, QString());
    QVERIFY(showActive(&box));
    QTest::keyClicks(box.Edit_Value, u"abc"_s);
    // Enter in the edit moves on to OK; it does not close the box yet.
    QTest::keyClick(box.Edit_Value, Qt::Key_Return);
    QVERIFY(box.isVisible());
    QVERIFY(box.Button_OK->hasFocus());
    QTest::keyClick(box.Button_OK, Qt::Key_Return);
    QCOMPARE(box.result(), int(QDialog::Accepted));
    QCOMPARE(box.Value(), u"abc"_s);

    TForm_InputBox cancelled(QString(), QString(), 0, false, u"原值"_s);
    QVERIFY(showActive(&cancelled));
    QTest::keyClick(cancelled.Edit_Value, Qt::Key_Escape);
    QCOMPARE(cancelled.result(), int(QDialog::Rejected));
}

void TestDialogs::selectInputBox()
{
    const QStringList places{u"卧室"_s, u"客厅"_s, u"卫生间"_s};
    TForm_SelectInputBox box(QString(), u"请输入一个施工地点"_s, u"客厅"_s, places);
    QVERIFY(showActive(&box));
    QCOMPARE(box.windowTitle(), u"输入对话框"_s);
    QCOMPARE(box.qxHeadPanel1->Description(), u"请输入或选择所需的内容..."_s);
    QCOMPARE(box.Value(), u"客厅"_s);
    QCOMPARE(box.ComboBox_Value->EditLabel()->text(), u"请输入一个施工地点"_s);

    // The list is open below the edit line, with every suggestion.
    QListView* list = box.ComboBox_Value->SimpleList();
    QVERIFY(list && list->isVisible());
    QCOMPARE(list->geometry().top(), box.ComboBox_Value->geometry().bottom() + 1);
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(list->currentIndex().row(), 1);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(2, 0)).center());
    QCOMPARE(box.Value(), u"卫生间"_s);
    QVERIFY(box.ComboBox_Value->hasFocus());

    // Any text will do, not only a suggestion.
    box.ComboBox_Value->lineEdit()->selectAll();
    QTest::keyClicks(box.ComboBox_Value, u"ytai"_s);
    QCOMPARE(box.Value(), u"ytai"_s);
    QTest::keyClick(box.ComboBox_Value, Qt::Key_Return);
    QCOMPARE(box.result(), int(QDialog::Accepted));
    QCOMPARE(box.Value(), u"ytai"_s);
    QCOMPARE(box.ComboBox_Value->count(), 3);
}

void TestDialogs::selectDate()
{
    TForm_SelectDate dialog(QDateTime(QDate(2024, 5, 17), QTime(13, 45)));
    QVERIFY(showActive(&dialog));
    QCOMPARE(dialog.windowTitle(), u"日期/时间"_s);
    QCOMPARE(dialog.qxHeadPanel1->Description(), u"选择日期..."_s);
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(dialog.Calendar->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    QCOMPARE(dialog.Button_OK->parentWidget(), dialog.qxHeadPanel1);
    QCOMPARE(dialog.Value(), QDateTime(QDate(2024, 5, 17), QTime(0, 0)));

    auto* view = dialog.Calendar->findChild<QTableView*>();
    QVERIFY(view);
    dialog.Calendar->setSelectedDate(QDate(2024, 5, 21));
    const QPoint day = view->visualRect(view->currentIndex()).center();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, day);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Value(), QDateTime(QDate(2024, 5, 21), QTime(0, 0)));
}

void TestDialogs::newPasswordEnabling_data()
{
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("confirmation one character off") << u"abc123"_s << u"abc124"_s << false;
    QTest::newRow("confirmation shorter") << u"abc123"_s << u"abc12"_s << false;
    QTest::newRow("letter case counts") << u"Abc"_s << u"abc"_s << false;
    QTest::newRow("equal") << u"新密码1"_s << u"新密码1"_s << true;
    QTest::newRow("both empty: no password") << QString() << QString() << true;
}

void TestDialogs::newPasswordEnabling()
{
    QFETCH(QString, newText);
    QFETCH(QString, confirm);
    QFETCH(bool, enabled);
    TqxScriptedPrompter prompter;
    TForm_NewPassword dialog(u"old"_s);
    QVERIFY(showActive(&dialog));
    QTest::keyClicks(dialog.Edit_Old, u"old"_s);
    QTest::keyClicks(dialog.Edit_New, u"x"_s);
    QVERIFY(!dialog.Button_OK->isEnabled());
    dialog.Edit_New->setText(newText);
    dialog.Edit_Confirm->setText(confirm);
    QCOMPARE(dialog.Button_OK->isEnabled(), enabled);
    if (!enabled) {
        // Making the two equal enables it.
        dialog.Edit_Confirm->setText(newText);
        QVERIFY(dialog.Button_OK->isEnabled());
    }
    QTest::mouseClick(dialog.Button_OK, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.NewPassword(), newText);
    QVERIFY(prompter.Records.empty());
}

void TestDialogs::newPasswordWrongOld()
{
    TqxScriptedPrompter prompter;
    TForm_NewPassword dialog(u"Secret"_s);
    QVERIFY(showActive(&dialog));
    QCOMPARE(dialog.windowTitle(), u"设置密码"_s);
    QCOMPARE(dialog.qxHeadPanel1->Description(), u"修改您的密码，修改后请一定记住新密码！"_s);
    QCOMPARE(dialog.GroupBox_Password->title(), u"密码"_s);
    QCOMPARE(dialog.Edit_Old->EditLabel()->text(), u"旧密码(&O):"_s);
    QCOMPARE(dialog.Edit_New->EditLabel()->text(), u"新密码(&N):"_s);
    QCOMPARE(dialog.Edit_Confirm->EditLabel()->text(), u"确认密码(&R):"_s);
    QCOMPARE(dialog.Edit_Old->LabelPosition(), lpLeft);
    QCOMPARE(dialog.Button_OK->text(), u"确定(&O)"_s);
    QCOMPARE(dialog.Button_Cancel->text(), u"取消(&C)"_s);

    QTest::keyClicks(dialog.Edit_Old, u"secret"_s); // the comparison is exact
    QCOMPARE(dialog.Edit_Old->displayText(), u"******"_s);
    dialog.Edit_New->setText(u"n"_s);
    dialog.Edit_Confirm->setText(u"n"_s);
    dialog.Edit_Confirm->setFocus();
    QTest::mouseClick(dialog.Button_OK, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(prompter.Records.size(), size_t(1));
    QCOMPARE(prompter.Last().message.Text, u"密码不正确，请重输！"_s);
    QCOMPARE(prompter.Last().message.Caption, u"密码错"_s);
    QCOMPARE(prompter.Last().message.Icon, TMsgIcon::Information);
    QVERIFY(dialog.Edit_Old->hasFocus());

    dialog.Edit_Old->setText(u"Secret"_s);
    QTest::mouseClick(dialog.Button_OK, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.NewPassword(), u"n"_s);
}

void TestDialogs::newPasswordKeys()
{
    TForm_NewPassword dialog{QString()};
    QVERIFY(showActive(&dialog));
    QVERIFY(dialog.Edit_Old->hasFocus());
    const auto focusAfter = [](QWidget* from, Qt::Key key) {
        from->setFocus();
        QTest::keyClick(from, key);
        return QApplication::focusWidget();
    };
    // Enter goes round the three fields of the group.
    QCOMPARE(focusAfter(dialog.Edit_Old, Qt::Key_Return), dialog.Edit_New);
    QCOMPARE(focusAfter(dialog.Edit_New, Qt::Key_Return), dialog.Edit_Confirm);
    QCOMPARE(focusAfter(dialog.Edit_Confirm, Qt::Key_Return), dialog.Edit_Old);
    QCOMPARE(focusAfter(dialog.Edit_Old, Qt::Key_Down), dialog.Edit_New);
    QCOMPARE(focusAfter(dialog.Edit_New, Qt::Key_Down), dialog.Edit_Confirm);
    QCOMPARE(focusAfter(dialog.Edit_Confirm, Qt::Key_Down), dialog.Edit_Confirm);
    QCOMPARE(focusAfter(dialog.Edit_Confirm, Qt::Key_Up), dialog.Edit_New);
    QCOMPARE(focusAfter(dialog.Edit_New, Qt::Key_Up), dialog.Edit_Old);
    QCOMPARE(focusAfter(dialog.Edit_Old, Qt::Key_Up), dialog.Edit_Old);
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
