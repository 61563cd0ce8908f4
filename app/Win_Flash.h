#pragma once
// The splash window. It closes itself once its time is up, but only from its
// timer, which ticks only while the message loop runs: while start-up is
// busy the splash stays in front.

#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <functional>

class QLabel;

class TForm_Flash : public QWidget {
    Q_OBJECT
public:
    // Milliseconds since some fixed point; tests pass their own clock.
    using TClock = std::function<qint64()>;

    explicit TForm_Flash(const QPixmap& picture, TClock clock = {});

    // Shows the text in the status line and the window at once; a limit of
    // 0 seconds keeps it up until it is closed.
    void ShowFlash(int seconds, const QString& text);
    QString StatusText() const;
    QTimer& FlashTimer() { return FTimer; }
    // One beat of the 500 ms timer: close when the time is up, else stay in front.
    void Tick();

private:
    TClock FClock;
    qint64 FShownAt = 0;
    int FLimit = 0;
    QTimer FTimer;
    QLabel* FStatus;
};
