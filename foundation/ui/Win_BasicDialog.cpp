#include "Win_BasicDialog.h"

#include <QApplication>

#include <algorithm>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

using namespace Qt::StringLiterals;

TForm_CustomBasicDialog::TForm_CustomBasicDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      qxHeadPanel1(new TqxHeadPanel(this))
{
    qxHeadPanel1->setObjectName(u"qxHeadPanel1"_s);
    qxHeadPanel1->setGeometry(0, 0, width(), HeadHeight);
    qxHeadPanel1->SetPicture(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
}

void TForm_CustomBasicDialog::SetClientSize(int width, int height) { setFixedSize(width, height); }

QPushButton* TForm_CustomBasicDialog::AddButton(const QString& text, const QRect& geometry, bool isDefault)
{
    auto* button = new QPushButton(text, this);
    button->setGeometry(geometry);
    button->setDefault(isDefault);
    return button;
}

void TForm_CustomBasicDialog::CenterOnScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TForm_CustomBasicDialog::CenterOn(const QWidget* owner)
{
    if (!owner) {
        CenterOnScreen();
        return;
    }
    QRect frame = frameGeometry();
    const QRect ownerFrame = owner->isWindow() ? owner->frameGeometry()
                                               : QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size());
    frame.moveCenter(ownerFrame.center());
    // A dialog wider than its owner must not hang off the screen's edge.
    if (const QScreen* screen = owner->screen()) {
        const QRect avail = screen->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), avail.left(), std::max(avail.left(), avail.right() - frame.width() + 1)));
        frame.moveTop(std::clamp(frame.top(), avail.top(), std::max(avail.top(), avail.bottom() - frame.height() + 1)));
    }
    move(frame.topLeft());
}

QWidget* TForm_CustomBasicDialog::MainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) && w->isVisible())
            return w;
    return QApplication::activeWindow();
}

void TForm_CustomBasicDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    qxHeadPanel1->setGeometry(0, 0, width(), HeadHeight);
}
