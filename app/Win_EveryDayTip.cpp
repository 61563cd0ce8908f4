#include "Win_EveryDayTip.h"

#include "qxFileSystem.h"
#include "qxTextFile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

TForm_EveryDayTip::TForm_EveryDayTip(bool& autoShow, QWidget* parent, TRandomPick randomPick)
    : TForm_CustomBasicDialog(parent), FAutoShow(autoShow),
      FRandomPick(randomPick ? std::move(randomPick) : TRandomPick(&TForm_EveryDayTip::ClockRandomPick))
{
    setObjectName(u"TForm_EveryDayTip"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);
    setWindowTitle(u"每日一贴"_s);
    qxHeadPanel1->SetDescription(u"您知道吗？"_s);
    SetClientSize(420, 262);

    FMemo = new QPlainTextEdit(this);
    FMemo->setObjectName(u"Memo_Tip"_s);
    FMemo->setReadOnly(true);
    FMemo->setGeometry(10, HeadHeight + 10, 400, 140);

    FCheckAutoShow = new QCheckBox(u"启动后显示(&A)"_s, this);
    FCheckAutoShow->setObjectName(u"CheckBox_AutoShow"_s);
    FCheckAutoShow->setGeometry(10, HeadHeight + 154, 200, 22);
    FCheckAutoShow->setChecked(FAutoShow);

    FPrior = AddButton(u"上一贴(U)"_s, QRect(90, 226, 100, 26));
    FPrior->setObjectName(u"Button_Prior"_s);
    FNext = AddButton(u"下一贴(&D)"_s, QRect(200, 226, 100, 26));
    FNext->setObjectName(u"Button_Next"_s);
    FClose = AddButton(u"关闭(&C)"_s, QRect(310, 226, 100, 26), true);
    FClose->setObjectName(u"Button_Close"_s);
    connect(FPrior, &QPushButton::clicked, this, [this] { SelectTip(FIndex - 1); });
    connect(FNext, &QPushButton::clicked, this, [this] { SelectTip(FIndex + 1); });
    connect(FClose, &QPushButton::clicked, this, &QWidget::close);

    FTimer.setInterval(3000);
    FTimer.setSingleShot(true);
    connect(&FTimer, &QTimer::timeout, this, [this] { show(); });
    FTimer.start();
    CenterOnScreen();
}

int TForm_EveryDayTip::ClockRandomPick(int count)
{
    QRandomGenerator generator(quint32(QDateTime::currentMSecsSinceEpoch()));
    return int(generator.bounded(count));
}

void TForm_EveryDayTip::LoadFromFile(const QString& fileName)
{
    if (!FileSystem::FileExists(fileName))
        return;
    FTips = TextFile::ReadLines(fileName);
}

void TForm_EveryDayTip::SelectTip(int index)
{
    const int count = int(FTips.size());
    if (count > 0 && (index < 0 || index >= count))
        index = FRandomPick(count);
    FIndex = index;
    FMemo->setPlainText(count > 0 ? u"    "_s + FTips.at(index) : u"没有可以显示的贴子！"_s);
    FPrior->setEnabled(0 < index && index <= count - 1);
    FNext->setEnabled(0 <= index && index < count - 1);
}

void TForm_EveryDayTip::showEvent(QShowEvent* event)
{
    FTimer.stop();
    TForm_CustomBasicDialog::showEvent(event);
}

void TForm_EveryDayTip::closeEvent(QCloseEvent* event)
{
    FAutoShow = FCheckAutoShow->isChecked();
    TForm_CustomBasicDialog::closeEvent(event);
}

void TForm_EveryDayTip::done(int result)
{
    FAutoShow = FCheckAutoShow->isChecked();
    TForm_CustomBasicDialog::done(result);
}
