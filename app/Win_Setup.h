#pragma once
// The company settings: name, address, telephone, fax, logo and motto that
// every budget prints, and the name the fee formulas use for the direct cost.
// They live in the [Variant] section the configuration object holds; the
// dialog writes them back only when confirmed.

#include "Win_KavelinDialog.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QToolButton;
class TAppGlobalInfo;
class TqxLabeledEdit;

class TForm_Setup : public TForm_KavelinDialog {
    Q_OBJECT
public:
    explicit TForm_Setup(TAppGlobalInfo& info, QWidget* parent = nullptr);

    // The [Variant] keys the dialog edits, in the order they are read and written.
    static const QStringList& VariantKeys();

    // Writes the seven fields to their keys and closes with confirmation.
    void Confirm();
    // Shows the picture the logo text names, or nothing.
    void RefreshLogo();
    // Asks for a picture file; its full path replaces the logo text.
    void BrowseLogo();

    QTabWidget* PageControl1;
    QWidget* TabSheet_Company;
    QWidget* TabSheet_Variant;
    TqxLabeledEdit* Edit_Name;
    TqxLabeledEdit* Edit_Address;
    TqxLabeledEdit* Edit_Phone;
    TqxLabeledEdit* Edit_Fax;
    TqxLabeledEdit* Edit_Logo;
    TqxLabeledEdit* Edit_Motto;
    TqxLabeledEdit* Edit_DirectCost;
    QToolButton* Button_Browse;
    QLabel* Image_Logo;
    QLabel* Label_Note;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;

private:
    // The fields in the order of VariantKeys.
    QList<TqxLabeledEdit*> Fields() const;

    TAppGlobalInfo& FInfo;
};

// The company settings dialog, modal; the effect is the changed [Variant] section.
void ShowCompanySettings(TAppGlobalInfo& info, QWidget* parent);
