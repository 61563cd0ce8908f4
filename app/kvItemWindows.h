#pragma once
// The two floating windows that live for the whole run, the item library and
// the item clipboard. They are made here and nowhere else, before the main
// window, which adopts them and shows, hides and places them.

class TAppGlobalInfo;
class TDataModule_Data;
class TForm_KavelinDialog;

struct TItemWindows {
    TForm_KavelinDialog* ItemTemp = nullptr;      // "项目库"
    TForm_KavelinDialog* ItemClipboard = nullptr; // "项目剪贴板"
};

// Both windows hidden and without owner; the caller (the main window) takes them.
TItemWindows CreateItemWindows(TAppGlobalInfo& info, TDataModule_Data& data);
