#include "Win_DataFiles.h"

#include "qxFileSystem.h"
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;

TForm_DataFiles::TForm_DataFiles(const QString& caption, const QString& head, const QString& label,
                                 const QString& pathColumn, QWidget* parent)
    : TForm_KavelinDialog(parent)
{
    setWindowTitle(caption);
    qxHeadPanel1->SetDescription(head);

    Label_Files = new QLabel(label, this);
    Label_Files->setGeometry(12, 50, 300, 18);

    ListView_Files = new QTableWidget(0, 3, this);
    ListView_Files->setObjectName(u"ListView_Files"_s);
    ListView_Files->setGeometry(12, 72, 556, 170);
    ListView_Files->setHorizontalHeaderLabels({u"数据文件"_s, u"描述"_s, pathColumn});
    ListView_Files->setShowGrid(true);
    ListView_Files->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView_Files->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView_Files->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView_Files->verticalHeader()->hide();
    ListView_Files->verticalHeader()->setDefaultSectionSize(ListView_Files->fontMetrics().height() + 8);
    ListView_Files->horizontalHeader()->setStretchLastSection(true);
    ListView_Files->setColumnWidth(0, 120);
    ListView_Files->setColumnWidth(1, 220);

    Button_All = AddButton(u"全选(&A)"_s, QRect(12, 254, 75, 25));
    Button_Invert = AddButton(u"反选(&U)"_s, QRect(95, 254, 75, 25));
    Button_Action = AddButton(QString(), QRect(410, 254, 75, 25), true);
    Button_Cancel = AddButton(u"放弃(&C)"_s, QRect(493, 254, 75, 25));
    connect(Button_All, &QPushButton::clicked, this, &TForm_DataFiles::CheckAll);
    connect(Button_Invert, &QPushButton::clicked, this, &TForm_DataFiles::InvertChecks);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    SetClientSize(580, 292);
}

void TForm_DataFiles::SetRows(const QList<TDataFileRow>& rows)
{
    FRows = rows;
    ListView_Files->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        auto* caption = new QTableWidgetItem(rows[r].Caption);
        caption->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        caption->setCheckState(rows[r].Checked ? Qt::Checked : Qt::Unchecked);
        ListView_Files->setItem(r, 0, caption);
        ListView_Files->setItem(r, 1, new QTableWidgetItem(rows[r].Description));
        ListView_Files->setItem(r, 2, new QTableWidgetItem(FileSystem::NativePath(rows[r].Path)));
    }
}

QList<TDataFileRow> TForm_DataFiles::Rows() const
{
    QList<TDataFileRow> rows = FRows;
    for (int r = 0; r < rows.size(); ++r)
        rows[r].Checked = ListView_Files->item(r, 0)->checkState() == Qt::Checked;
    return rows;
}

void TForm_DataFiles::CheckAll()
{
    for (int r = 0; r < ListView_Files->rowCount(); ++r)
        ListView_Files->item(r, 0)->setCheckState(Qt::Checked);
}

void TForm_DataFiles::InvertChecks()
{
    for (int r = 0; r < ListView_Files->rowCount(); ++r) {
        QTableWidgetItem* item = ListView_Files->item(r, 0);
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

TFileRequest TForm_DataFiles::BackupFileRequest(TFileDialogKind kind, const QString& title) const
{
    TFileRequest ask;
    ask.Kind = kind;
    ask.Title = title;
    ask.Filter = u"Kavelin 备份文件(*.KVB)|*.KVB"_s;
    ask.DefaultExt = u"KVB"_s;
    ask.InitialDir = InitialDir;
    return ask;
}
