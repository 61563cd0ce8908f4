#pragma once
// The select-input box: free text with a list of suggestions always open
// below the edit line.

#include "Win_BasicDialog.h"

#include <QStringList>

class TqxLabeledComboBox;

class TForm_SelectInputBox : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    TForm_SelectInputBox(const QString& caption, const QString& prompt, const QString& value, const QStringList& items,
                         QWidget* parent = nullptr);

    // The edit line's text; it need not be one of the items.
    QString Value() const;

    TqxLabeledComboBox* ComboBox_Value;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;
};

bool SelectInputBox(const QString& caption, const QString& prompt, QString& value, const QStringList& items);
