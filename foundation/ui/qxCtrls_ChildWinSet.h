#pragma once
// The strip of tabs under the main window's tool bars: one tab per open child
// window, its text the window's caption. Choosing a tab brings its window up.
// Windows are named by their handle (HandleOf), as in the window notices.

#include "qxNotices.h"

#include <QHash>
#include <QPointer>
#include <QTabBar>

class TqxChildWinSet : public QTabBar {
    Q_OBJECT
public:
    explicit TqxChildWinSet(QWidget* parent = nullptr);

    // Hide the strip when its last tab is removed.
    bool NoWindowHide() const { return FNoWindowHide; }
    void SetNoWindowHide(bool on) { FNoWindowHide = on; }

    int IndexOfWindow(THandle handle) const;
    QWidget* Window(int index) const;
    // A tab for the window (its own caption when caption is empty); a window
    // already present only gets its text replaced. The strip becomes visible.
    int AddWindow(QWidget* form, const QString& caption = QString());
    void RemoveWindow(THandle handle);
    void ActivateWindow(THandle handle);
    void RenameWindow(THandle handle, const QString& caption);

private:
    void ShowWindow(QWidget* form);
    void SelectTab(int index);

    QHash<THandle, QPointer<QWidget>> FWindows;
    bool FNoWindowHide = false;
    bool FSelecting = false;
};
