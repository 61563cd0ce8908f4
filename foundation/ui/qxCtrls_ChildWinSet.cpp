#include "qxCtrls_ChildWinSet.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

// An MDI child is framed by its sub-window; that frame is what gets activated.
// The form may be the MDI child itself (the project windows are) or sit in one.
QMdiSubWindow* subWindowOf(QWidget* form)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form))
        return sub;
    return qobject_cast<QMdiSubWindow*>(form->parentWidget());
}

bool isActive(QWidget* form)
{
    if (QMdiSubWindow* sub = subWindowOf(form))
        return sub->mdiArea() && sub->mdiArea()->activeSubWindow() == sub;
    return form->isVisible() && form->isActiveWindow();
}

} // namespace

TqxChildWinSet::TqxChildWinSet(QWidget* parent) : QTabBar(parent)
{
    setExpanding(false);
    setDocumentMode(true);
    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (!FSelecting && index >= 0)
            if (QWidget* form = Window(index))
                ShowWindow(form);
    });
}

QWidget* TqxChildWinSet::Window(int index) const
{
    return index >= 0 && index < count() ? FWindows.value(tabData(index).value<THandle>()).data() : nullptr;
}

int TqxChildWinSet::IndexOfWindow(THandle handle) const
{
    for (int i = 0; i < count(); ++i)
        if (tabData(i).value<THandle>() == handle)
            return i;
    return -1;
}

int TqxChildWinSet::AddWindow(QWidget* form, const QString& caption)
{
    const QString text = caption.isEmpty() ? form->windowTitle() : caption;
    int index = IndexOfWindow(HandleOf(form));
    if (index >= 0) {
        setTabText(index, text);
    } else {
        FSelecting = true;
        index = addTab(text);
        const THandle handle = HandleOf(form);
        setTabData(index, QVariant::fromValue(handle));
        FWindows.insert(handle, form);
        FSelecting = false;
        // A window destroyed without being removed must not leave a tab behind.
        connect(form, &QObject::destroyed, this, [this, handle] { RemoveWindow(handle); });
    }
    setVisible(true);
    return index;
}

void TqxChildWinSet::RemoveWindow(THandle handle)
{
    const int index = IndexOfWindow(handle);
    if (index >= 0) {
        if (QWidget* form = Window(index))
            disconnect(form, &QObject::destroyed, this, nullptr);
        FWindows.remove(handle);
        FSelecting = true;
        removeTab(index);
        FSelecting = false;
    }
    if (FNoWindowHide && count() == 0)
        setVisible(false);
}

void TqxChildWinSet::ActivateWindow(THandle handle)
{
    const int index = IndexOfWindow(handle);
    if (index < 0)
        return;
    QWidget* form = Window(index);
    if (form && !isActive(form))
        ShowWindow(form);
    SelectTab(index);
}

void TqxChildWinSet::RenameWindow(THandle handle, const QString& caption)
{
    const int index = IndexOfWindow(handle);
    if (index < 0)
        return;
    QWidget* form = Window(index);
    setTabText(index, caption.isEmpty() && form ? form->windowTitle() : caption);
}

void TqxChildWinSet::ShowWindow(QWidget* form)
{
    if (QMdiSubWindow* sub = subWindowOf(form)) {
        // Beside a maximised window the chosen one comes up maximised too,
        // not at the small normal size it never had.
        QMdiSubWindow* current = sub->mdiArea() ? sub->mdiArea()->currentSubWindow() : nullptr;
        if (!sub->isVisible() || sub->isMinimized()) {
            if (current && current != sub && current->isMaximized())
                sub->showMaximized();
            else
                sub->showNormal();
        }
        if (sub->mdiArea())
            sub->mdiArea()->setActiveSubWindow(sub);
        return;
    }
    form->show();
    form->raise();
    form->activateWindow();
}

void TqxChildWinSet::SelectTab(int index)
{
    FSelecting = true;
    setCurrentIndex(index);
    FSelecting = false;
}
