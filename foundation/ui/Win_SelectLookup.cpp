#include "Win_SelectLookup.h"

#include "qxCtrls_LabeledEdit.h"
#include "qxDBCtrls_DBGrid.h"
#include "qxErrors.h"
#include "qxUiFunctions.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

using namespace Qt::StringLiterals;

TForm_SelectLookup::TForm_SelectLookup(TqxDataSet* table, const QString& searchField, const QString& resultField,
                                       const QString& filter, QWidget* parent)
    : TForm_CustomBasicDialog(parent), FTable(table), FSource(new TqxDataSource(this)), FSearchField(searchField),
      FResultField(resultField)
{
    setWindowTitle(u"查找选择..."_s);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    qxHeadPanel1->SetDescription(u"输入查找内容，选择所需的记录..."_s);

    if (!FTable)
        throw EKavelinErr(u"没有可供选择的数据表！"_s);
    FTable->Open();
    const TqxField* search = FTable->FieldByName(searchField);
    FTable->FieldByName(resultField); // both must be there before anything changes
    FStringSearch = search->Kind() == TqxFieldKind::String;

    FBookmark = FTable->GetBookmark();
    FFilter = FTable->Filter();
    FFiltered = FTable->Filtered();
    FFilterOptions = FTable->FilterOptions();
    try {
        FTable->SetFiltered(false);
        FTable->SetFilter(QString());
        FTable->SetFilterOptions(FStringSearch ? TqxFilterOptions(foCaseInsensitive) : TqxFilterOptions());
        FTable->SetFiltered(true);
        FTable->SetFilter(filter);
    } catch (...) {
        Restore();
        throw;
    }

    Edit_Search = new TqxLabeledEdit(this);
    Edit_Search->setGeometry(12, 70, 300, 23);
    Edit_Search->SetKeyEnterToNext(false);
    Edit_Search->EditLabel()->SetCaption(search->DisplayLabel() + u"(&F):"_s);
    Edit_Search->installEventFilter(this);
    connect(Edit_Search, &QLineEdit::textChanged, this, &TForm_SelectLookup::SearchChanged);

    FSource->SetDataSet(FTable);
    qxDBGrid_Lookup = new TqxDBGrid(this);
    qxDBGrid_Lookup->setGeometry(12, 100, 300, 232);
    qxDBGrid_Lookup->SetOptions(qxDBGrid_Lookup->Options() | dgRowSelect | dgAlwaysShowSelection);
    qxDBGrid_Lookup->SetReadOnly(true);
    qxDBGrid_Lookup->SetDataSource(FSource);
    connect(qxDBGrid_Lookup, &TqxDBGrid::OnRowDblClick, this, &TForm_SelectLookup::Choose);

    Button_OK = AddButton(u"确定(&O)"_s, QRect(324, 70, 75, 25), true);
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(324, 102, 75, 25));
    Button_Refresh = AddButton(u"刷新(&R)"_s, QRect(324, 146, 75, 25));
    connect(Button_OK, &QPushButton::clicked, this, &TForm_SelectLookup::Choose);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button_Refresh, &QPushButton::clicked, this, &TForm_SelectLookup::Refresh);

    SetClientSize(412, 344);
    CenterOn(QApplication::activeWindow());
    Edit_Search->setFocus();
}

TForm_SelectLookup::~TForm_SelectLookup()
{
    FSource->SetDataSet(nullptr); // the grid lets go before the table changes back
    Restore();
}

void TForm_SelectLookup::Restore()
{
    try {
        FTable->SetFiltered(false);
        FTable->SetFilterOptions(FFilterOptions);
        FTable->SetFilter(FFilter);
        FTable->SetFiltered(FFiltered);
    } catch (const Exception&) {
        // The caller's own filter failing again leaves the table unfiltered, as it would have been.
    }
    if (FTable->BookmarkValid(FBookmark))
        FTable->GotoBookmark(FBookmark);
}

QVariant TForm_SelectLookup::Value() const
{
    return FTable->Active() && !FTable->IsEmpty() ? FTable->FieldByName(FResultField)->AsVariant() : QVariant();
}

void TForm_SelectLookup::SearchChanged(const QString& text)
{
    try {
        if (!FStringSearch) {
            FTable->Locate(FSearchField, text, loCaseInsensitive | loPartialKey);
        } else if (text.isEmpty()) {
            // No text shows every row: the caller's filter is gone too.
            FTable->SetFiltered(false);
        } else {
            QString quoted = text;
            quoted.replace(u'\'', u"''"_s);
            FTable->SetFilter(FSearchField + u"='"_s + quoted + u"*'"_s);
            FTable->SetFiltered(true);
        }
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
}

void TForm_SelectLookup::Refresh()
{
    FTable->Close();
    FTable->Open();
}

void TForm_SelectLookup::Choose()
{
    // Without a row there is nothing to choose.
    if (FTable->Active() && !FTable->IsEmpty())
        accept();
}

bool TForm_SelectLookup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit_Search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            try {
                if (FTable->Active())
                    key == Qt::Key_Up ? FTable->Prior() : FTable->Next();
            } catch (const Exception& e) {
                ShowExceptionMessage(e.Message);
            }
            return true;
        }
    }
    return TForm_CustomBasicDialog::eventFilter(watched, event);
}

bool SelectLookup(TqxDataSet* table, const QString& searchField, const QString& resultField, QVariant& value,
                  const QString& filter)
{
    try {
        TForm_SelectLookup dialog(table, searchField, resultField, filter);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        value = dialog.Value();
        return true;
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
        return false;
    }
}
