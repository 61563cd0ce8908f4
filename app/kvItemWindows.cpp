#include "kvItemWindows.h"

#include "Win_KavelinDialog.h"

using namespace Qt::StringLiterals;

namespace {

TForm_KavelinDialog* EmptyWindow(const QString& name, const QString& caption)
{
    auto* w = new TForm_KavelinDialog;
    w->setObjectName(name);
    w->setWindowTitle(caption);
    w->setModal(false);
    w->qxHeadPanel1->hide();
    w->setMinimumSize(200, 120);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return w;
}

} // namespace

TItemWindows CreateItemWindows(TAppGlobalInfo& info, TDataModule_Data& data)
{
    // Until the library and clipboard windows hold their grids, two empty
    // windows of the same names keep their places in the layout and the menus.
    Q_UNUSED(info);
    Q_UNUSED(data);
    return {EmptyWindow(u"TForm_ItemTemp"_s, u"项目库"_s), EmptyWindow(u"TForm_ItemClipboard"_s, u"项目剪贴板"_s)};
}
