#include "Win_About.h"

#include "kvMakerInfo.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TForm_About::TForm_About(const QPixmap& picture, const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(u"TForm_About"_s);
    setWindowTitle(u"关于本软件..."_s);
    setModal(true);

    auto* image = new QLabel(this);
    image->setObjectName(u"Image_About"_s);
    image->setPixmap(picture.scaled(440, 318, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    image->setFixedSize(440, 318);
    // The label must not swallow the click that closes the box.
    image->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* lines = new QLabel(this);
    lines->setObjectName(u"Label_Maker"_s);
    lines->setText(title + u"\n出版：" + MakerInfo::Publisher() + u"    电话：" + MakerInfo::Telephone()
                   + u"\n网址：" + MakerInfo::WebSite() + u"    电子邮件：" + MakerInfo::Email());
    lines->setAlignment(Qt::AlignCenter);
    lines->setContentsMargins(8, 6, 8, 8);
    lines->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(image);
    layout->addWidget(lines);
    setStyleSheet(u"TForm_About { border: 1px solid #808080; background: white; }"_s);
    adjustSize();
    setFixedSize(sizeHint());
    if (parent) {
        QRect frame = frameGeometry();
        frame.moveCenter(parent->window()->frameGeometry().center());
        move(frame.topLeft());
    }
}

void TForm_About::mousePressEvent(QMouseEvent* event)
{
    if (event->position().y() < 319)
        accept();
    QDialog::mousePressEvent(event);
}
