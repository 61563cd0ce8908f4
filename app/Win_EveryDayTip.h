#pragma once
// The tip of the day: one line of the tips file at a time, with buttons to
// step through them. At start-up it waits three seconds before showing
// itself, so it never delays the first paint of the main window.

#include "Win_BasicDialog.h"

#include <QStringList>
#include <QTimer>
#include <functional>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class TForm_EveryDayTip : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    // A number in [0, count): which tip a random pick lands on.
    using TRandomPick = std::function<int(int count)>;

    // autoShow is the program's flag; the check box starts from it and
    // writes it back when the window closes.
    TForm_EveryDayTip(bool& autoShow, QWidget* parent = nullptr, TRandomPick randomPick = {});

    void LoadFromFile(const QString& fileName);
    void SetTips(const QStringList& tips) { FTips = tips; }
    const QStringList& Tips() const { return FTips; }
    // An index outside the list picks one at random.
    void SelectTip(int index);
    int TipIndex() const { return FIndex; }

    QTimer& ShowTimer() { return FTimer; }

    // Reseeds from the clock and picks; every tip equally likely.
    static int ClockRandomPick(int count);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Esc and the buttons end here without a close event.
    void done(int result) override;

private:
    bool& FAutoShow;
    TRandomPick FRandomPick;
    QStringList FTips;
    int FIndex = -1;
    QTimer FTimer;
    QPlainTextEdit* FMemo;
    QCheckBox* FCheckAutoShow;
    QPushButton* FPrior;
    QPushButton* FNext;
    QPushButton* FClose;
};
