#include "kvItemWindows.h"

#include "AppClasses.h"
#include "Win_ItemClipboard.h"
#include "Win_ItemTemplate.h"

TItemWindows CreateItemWindows(TAppGlobalInfo& info, TDataModule_Data& data)
{
    return {new TForm_ItemTemp(data, info, *info.DragInfo), new TForm_ItemClipboard(data)};
}
