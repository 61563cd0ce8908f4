#include "Win_Flash.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {
constexpr int FlashWidth = 440;
constexpr int FlashHeight = 318;
} // namespace

TForm_Flash::TForm_Flash(const QPixmap& picture, TClock clock)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      FClock(clock ? std::move(clock) : TClock([] { return QDateTime::currentMSecsSinceEpoch(); }))
{
    setObjectName(u"TForm_Flash"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(FlashWidth, FlashHeight);

    auto* image = new QLabel(this);
    image->setObjectName(u"Image_Flash"_s);
    image->setGeometry(0, 0, FlashWidth, FlashHeight);
    image->setPixmap(picture.scaled(FlashWidth, FlashHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));

    FStatus = new QLabel(this);
    FStatus->setObjectName(u"Label_Status"_s);
    FStatus->setGeometry(0, FlashHeight - 26, FlashWidth, 20);
    FStatus->setAlignment(Qt::AlignCenter);
    FStatus->setStyleSheet(u"color: blue; background: transparent;"_s);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    FTimer.setInterval(500);
    connect(&FTimer, &QTimer::timeout, this, &TForm_Flash::Tick);
}

QString TForm_Flash::StatusText() const { return FStatus->text(); }

void TForm_Flash::ShowFlash(int seconds, const QString& text)
{
    FStatus->setText(text);
    FLimit = seconds;
    if (seconds != 0)
        FTimer.start();
    show();
    raise();
    FShownAt = FClock();
    repaint();
}

void TForm_Flash::Tick()
{
    const qint64 elapsedSeconds = (FClock() - FShownAt) / 1000;
    if (elapsedSeconds > FLimit) {
        FTimer.stop();
        close();
        return;
    }
    raise();
}
