#pragma once
// The status bar of the main window. Other controls (link labels) may be put
// on it as plain children at fixed places; the fixed-width text panels are
// added from the left.

#include <QStatusBar>

class QLabel;

class TqxStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TqxStatusBar(QWidget* parent = nullptr);

    // Adds a panel of the given width and returns its index.
    int AddPanel(int width, const QString& text = QString());
    int PanelCount() const { return int(FPanels.size()); }
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    QLabel* Panel(int index) const;

private:
    QList<QLabel*> FPanels;
};
