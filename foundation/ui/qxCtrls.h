#pragma once
// The library's visual controls.

#include "qxCtrls_BoundLabel.h"
#include "qxCtrls_ChildWinSet.h"
#include "qxCtrls_Field.h"
#include "qxCtrls_FloatPanel.h"
#include "qxCtrls_HeadPanel.h"
#include "qxCtrls_Label.h"
#include "qxCtrls_LabeledComboBox.h"
#include "qxCtrls_LabeledEdit.h"
#include "qxCtrls_StatusBar.h"
#include "qxCtrls_ValueListEditor.h"
