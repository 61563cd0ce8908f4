#include "Win_SelectDate.h"

#include <QCalendarWidget>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

TForm_SelectDate::TForm_SelectDate(const QDateTime& value, QWidget* parent) : TForm_CustomBasicDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(u"日期/时间"_s);
    qxHeadPanel1->SetDescription(u"选择日期..."_s);

    Calendar = new QCalendarWidget(this);
    Calendar->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    Calendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    Calendar->setGridVisible(false);
    Calendar->setSelectedDate(value.isValid() ? value.date() : QDate::currentDate());
    Calendar->setGeometry(1, HeadHeight, 298, 208);
    connect(Calendar, &QCalendarWidget::activated, this, &QDialog::accept);

    // The buttons sit on the head panel: the window has no frame of its own.
    Button_OK = new QPushButton(u"确定"_s, qxHeadPanel1);
    Button_OK->setGeometry(190, 8, 50, 23);
    Button_OK->setDefault(true);
    Button_Cancel = new QPushButton(u"取消"_s, qxHeadPanel1);
    Button_Cancel->setGeometry(244, 8, 50, 23);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    SetClientSize(300, HeadHeight + 209);
    CenterOn(MainWindow());
    Calendar->setFocus();
}

QDateTime TForm_SelectDate::Value() const { return QDateTime(Calendar->selectedDate(), QTime(0, 0)); }

void TForm_SelectDate::paintEvent(QPaintEvent* event)
{
    TForm_CustomBasicDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool SelectDate(QDateTime& value)
{
    TForm_SelectDate dialog(value);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.Value();
    return true;
}
