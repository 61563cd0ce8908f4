#pragma once
// The library's common dialogs and their launchers.

#include "Win_InputBox.h"
#include "Win_NewPassword.h"
#include "Win_RecordFind.h"
#include "Win_SelectDate.h"
#include "Win_SelectInputBox.h"
#include "Win_SelectLookup.h"
