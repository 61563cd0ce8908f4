#pragma once
// The date dialog: a month calendar with week numbers in a small borderless
// window over the main window. A double click on a day is OK.

#include "Win_BasicDialog.h"

#include <QDateTime>

class QCalendarWidget;

class TForm_SelectDate : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    explicit TForm_SelectDate(const QDateTime& value, QWidget* parent = nullptr);

    // The chosen day at midnight.
    QDateTime Value() const;

    QCalendarWidget* Calendar;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

bool SelectDate(QDateTime& value);
