#include "qxCtrls_StatusBar.h"

#include <QLabel>

TqxStatusBar::TqxStatusBar(QWidget* parent) : QStatusBar(parent) { setSizeGripEnabled(true); }

int TqxStatusBar::AddPanel(int width, const QString& text)
{
    auto* panel = new QLabel(text, this);
    panel->setFixedWidth(width);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    addWidget(panel);
    FPanels.append(panel);
    return int(FPanels.size()) - 1;
}

QLabel* TqxStatusBar::Panel(int index) const { return index >= 0 && index < FPanels.size() ? FPanels.at(index) : nullptr; }

QString TqxStatusBar::PanelText(int index) const
{
    QLabel* panel = Panel(index);
    return panel ? panel->text() : QString();
}

void TqxStatusBar::SetPanelText(int index, const QString& text)
{
    if (QLabel* panel = Panel(index))
        panel->setText(text);
}
