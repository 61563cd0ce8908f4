#pragma once
// The one-line field of the application's settings dialogs: a labelled edit
// with its caption on the left, at a fixed place.

#include "qxCtrls_LabeledEdit.h"

inline TqxLabeledEdit* LabeledField(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* edit = new TqxLabeledEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->SetLabelPosition(lpLeft);
    edit->EditLabel()->SetCaption(caption);
    return edit;
}
