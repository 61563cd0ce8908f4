#include "Win_RecordFind.h"

#include "Win_SelectDate.h"
#include "Win_SelectLookup.h"
#include "qxCtrls_ValueListEditor.h"
#include "qxDBCtrls_DBGrid.h"
#include "qxErrors.h"
#include "qxPrompter.h"
#include "qxStrings.h"
#include "qxUiFunctions.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

TqxLocateOptions locateOptions(const QCheckBox* exact, const QCheckBox* caseSensitive)
{
    TqxLocateOptions options;
    if (!exact->isChecked())
        options |= loPartialKey;
    if (!caseSensitive->isChecked())
        options |= loCaseInsensitive;
    return options;
}

bool isDateKind(TqxFieldKind kind)
{
    return kind == TqxFieldKind::Date || kind == TqxFieldKind::Time || kind == TqxFieldKind::DateTime;
}

} // namespace

TForm_RecordFind::TForm_RecordFind(TqxDBGrid* grid, QWidget* parent) : TForm_CustomBasicDialog(parent), FGrid(grid)
{
    setWindowTitle(u"查找..."_s);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    qxHeadPanel1->SetDescription(u"根据查找字段填写查找内容，有选择的进行查找记录..."_s);
    if (!grid || !grid->TableOpen())
        throw EKavelinErr(u"没有可以查找的数据表！"_s);

    qxVLE_Find = new TqxValueListEditor(this);
    qxVLE_Find->setGeometry(8, 49, 282, 236);
    qxVLE_Find->SetTitleCaptions(u"<查找字段>"_s, u"<查找内容>"_s);
    qxVLE_Find->setColumnWidth(0, 110);
    for (int i = 0; i < grid->ColumnCount(); ++i) {
        const TqxColumn* column = grid->Columns(i);
        const TqxField* field = column->Field();
        if (!column->Visible() || !field)
            continue;
        const int row = qxVLE_Find->InsertRow(column->Title(), QString());
        FFieldMap.append(column->Title() + u'=' + column->FieldName());
        if (column->IsLookup() || isDateKind(field->Kind()))
            qxVLE_Find->SetItemProp(row, {esEllipsis, {}, false});
        else if (field->Kind() == TqxFieldKind::Boolean)
            qxVLE_Find->SetItemProp(row, {esPickList, {u"是"_s, u"否"_s}, false});
    }
    connect(qxVLE_Find, &TqxValueListEditor::EditButtonClick, this, &TForm_RecordFind::EditButtonClick);

    CheckBox_Exact = new QCheckBox(u"完全匹配"_s, this);
    CheckBox_Exact->setGeometry(300, 184, 96, 20);
    CheckBox_Case = new QCheckBox(u"区分大小写"_s, this);
    CheckBox_Case->setGeometry(300, 208, 96, 20);

    Button_Find = AddButton(u"查找(&F)"_s, QRect(300, 49, 88, 25), true);
    Button_Close = AddButton(u"关闭(&C)"_s, QRect(300, 81, 88, 25));
    Button_Clear = AddButton(u"清除内容(&L)"_s, QRect(300, 125, 88, 25));
    connect(Button_Find, &QPushButton::clicked, this, &TForm_RecordFind::Find);
    connect(Button_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(Button_Clear, &QPushButton::clicked, this, &TForm_RecordFind::ClearContents);

    SetClientSize(400, 295);
    CenterOn(MainWindow());
}

TqxDBGrid* TForm_RecordFind::Grid() const { return FGrid; }

TqxColumn* TForm_RecordFind::ColumnOfRow(int row) const
{
    // Two columns of one title both find the first of them.
    const QString field = TNameValueList(FFieldMap).Value(qxVLE_Find->Key(row));
    return FGrid ? FGrid->FindColumn(field) : nullptr;
}

bool TForm_RecordFind::Criteria(QList<TFindField>& fields) const
{
    fields.clear();
    TqxDataSet* table = FGrid ? FGrid->DataSet() : nullptr;
    if (!table)
        return false;
    const TqxLocateOptions options = locateOptions(CheckBox_Exact, CheckBox_Case);
    bool matchable = true;
    for (int row = 0; row < qxVLE_Find->rowCount(); ++row) {
        const QString content = qxVLE_Find->Value(row);
        if (content.trimmed().isEmpty())
            continue;
        const TqxColumn* column = ColumnOfRow(row);
        if (!column)
            continue;
        const QString fieldName = column->FieldName();
        const TqxField* field = table->FindField(fieldName);
        if (column->IsLookup()) {
            // The text is a result of the lookup table; the table is searched by the key it belongs to.
            TqxDataSet lookup;
            lookup.CloneCursor(*column->Lookup().DataSet, true);
            QVariant key;
            if (lookup.Locate(column->Lookup().ResultField, content, options))
                key = lookup.FieldByName(column->Lookup().KeyField)->AsVariant();
            else
                matchable = false; // no key: no row can match
            fields.append({fieldName, key});
        } else if (field && field->Kind() == TqxFieldKind::Boolean) {
            fields.append({fieldName, u"是,真,YES,OK,TRUE,1"_s.contains(content.toUpper())});
        } else {
            fields.append({fieldName, content});
        }
    }
    return matchable;
}

void TForm_RecordFind::Find()
{
    // A cell still being typed into gives its text to the list first.
    const QWidget* focus = QApplication::focusWidget();
    if (focus && qxVLE_Find->isAncestorOf(focus))
        Button_Find->setFocus();
    TqxDataSet* table = FGrid ? FGrid->DataSet() : nullptr;
    if (!table || !table->Active())
        return;
    try {
        QList<TFindField> fields;
        const bool matchable = Criteria(fields);
        if (fields.isEmpty())
            return;
        const TqxLocateOptions options = locateOptions(CheckBox_Exact, CheckBox_Case);
        bool found = false;
        if (matchable && fields.size() == 1) {
            found = table->Locate(fields.front().FieldName, fields.front().Value, options);
        } else if (matchable) {
            QStringList names;
            QVariantList values;
            for (const TFindField& f : std::as_const(fields)) {
                names.append(f.FieldName);
                values.append(f.Value);
            }
            found = table->Locate(names.join(u';'), values, options);
        }
        if (!found)
            ShowMessage(u"对不起，没有找到您所需匹配的记录！"_s, u"没找到"_s, TMsgIcon::Information);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
}

void TForm_RecordFind::ClearContents()
{
    for (int row = 0; row < qxVLE_Find->rowCount(); ++row)
        qxVLE_Find->SetValue(row, QString());
}

void TForm_RecordFind::EditButtonClick(int row)
{
    const TqxColumn* column = ColumnOfRow(row);
    const TqxField* field = column ? column->Field() : nullptr;
    if (!field)
        return;
    QString text;
    if (column->IsLookup()) {
        QVariant value;
        if (!SelectLookup(column->Lookup().DataSet, column->Lookup().ResultField, column->Lookup().ResultField, value,
                          QString()))
            return;
        text = value.toString();
    } else if (field->Kind() == TqxFieldKind::DateTime) {
        QDateTime day(QDate::currentDate(), QTime(0, 0));
        if (!SelectDate(day))
            return;
        text = day.date().toString(Qt::ISODate); // the form the table writes its dates in
    } else {
        return; // a date or a time alone: nothing is offered yet
    }
    qxVLE_Find->SetValue(row, text);
    // The open cell editor holds the button; it would write its old text back when it closes.
    for (QLineEdit* editor : qxVLE_Find->viewport()->findChildren<QLineEdit*>())
        if (editor->isVisible())
            editor->setText(text);
}

TForm_RecordFind* ShowRecordFind(TqxDBGrid* grid)
{
    TForm_RecordFind* dialog = nullptr;
    try {
        dialog = new TForm_RecordFind(grid, grid ? grid->window() : nullptr);
    } catch (const Exception&) {
        return nullptr; // nothing to search: the dialog goes without being seen
    }
    dialog->show();
    return dialog;
}
