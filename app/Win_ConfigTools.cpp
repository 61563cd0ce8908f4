#include "Win_ConfigTools.h"

#include "Win_EditConfigTool.h"
#include "qxPrompter.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

TForm_ConfigTools::TForm_ConfigTools(const QStringList& toolLines, QWidget* parent) : TForm_CustomBasicDialog(parent)
{
    setObjectName(u"TForm_ConfigTools"_s);
    setWindowTitle(u"配置工具"_s);
    qxHeadPanel1->SetDescription(u"配置工具菜单，这样您就可以方便的使用外部程序..."_s);

    ListView_Tools = new QTreeWidget(this);
    ListView_Tools->setObjectName(u"ListView_Tools"_s);
    ListView_Tools->setGeometry(12, 72, 446, 230);
    ListView_Tools->setColumnCount(4);
    ListView_Tools->setHeaderLabels({u"标题"_s, u"描述"_s, u"运行的程序文件"_s, u"快捷键"_s});
    ListView_Tools->setRootIsDecorated(false);
    ListView_Tools->setUniformRowHeights(true);
    ListView_Tools->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView_Tools->setAllColumnsShowFocus(true);
    ListView_Tools->header()->setStretchLastSection(false);
    ListView_Tools->setColumnWidth(0, 100);
    ListView_Tools->setColumnWidth(1, 120);
    ListView_Tools->setColumnWidth(2, 140);
    ListView_Tools->setColumnWidth(3, 80);

    Label_Tools = new QLabel(u"工具(&T):"_s, this);
    Label_Tools->setBuddy(ListView_Tools);
    Label_Tools->setGeometry(12, 50, 200, 20);

    Button_Add = AddButton(u"增加(&A)..."_s, QRect(468, 72, 80, 25));
    Button_Edit = AddButton(u"修改(&M)"_s, QRect(468, 104, 80, 25));
    Button_Delete = AddButton(u"删除(&D)"_s, QRect(468, 136, 80, 25));
    Button_OK = AddButton(u"确定(&Y)"_s, QRect(468, 245, 80, 25), true);
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(468, 277, 80, 25));
    Button_Add->setObjectName(u"Button_Add"_s);
    Button_Edit->setObjectName(u"Button_Edit"_s);
    Button_Delete->setObjectName(u"Button_Delete"_s);
    Button_OK->setObjectName(u"Button_OK"_s);
    Button_Cancel->setObjectName(u"Button_Cancel"_s);
    connect(Button_Add, &QPushButton::clicked, this, &TForm_ConfigTools::AddTool);
    connect(Button_Edit, &QPushButton::clicked, this, &TForm_ConfigTools::EditSelectedTool);
    connect(Button_Delete, &QPushButton::clicked, this, &TForm_ConfigTools::DeleteSelectedTool);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListView_Tools, &QTreeWidget::itemDoubleClicked, this, &TForm_ConfigTools::EditSelectedTool);
    connect(ListView_Tools, &QTreeWidget::itemSelectionChanged, this, &TForm_ConfigTools::UpdateActions);

    ListView_Tools->installEventFilter(this);
    OnEditTool = [this](TExternalProgram& tool) { return EditTool(tool, this); };

    for (const QString& line : toolLines) {
        TExternalProgram tool = ParseToolLine(line);
        // The reserved field is never shown, so no row keeps it.
        tool.Reserved.clear();
        FRows.append(tool);
        ShowRow(int(FRows.size()) - 1);
    }
    if (!FRows.isEmpty())
        ListView_Tools->setCurrentItem(ListView_Tools->topLevelItem(0));

    setTabOrder(ListView_Tools, Button_Add);
    setTabOrder(Button_Add, Button_Edit);
    setTabOrder(Button_Edit, Button_Delete);
    setTabOrder(Button_Delete, Button_OK);
    setTabOrder(Button_OK, Button_Cancel);
    SetClientSize(560, 314);
    ListView_Tools->setFocus();
    UpdateActions();
}

void TForm_ConfigTools::ShowRow(int row)
{
    QTreeWidgetItem* item = ListView_Tools->topLevelItem(row);
    if (!item)
        item = new QTreeWidgetItem(ListView_Tools);
    const TExternalProgram& tool = FRows.at(row);
    item->setText(0, tool.Title);
    item->setText(1, tool.Description);
    item->setText(2, tool.Program);
    item->setText(3, tool.ShortCut);
}

int TForm_ConfigTools::SelectedRow() const
{
    QTreeWidgetItem* item = ListView_Tools->currentItem();
    return item && item->isSelected() ? ListView_Tools->indexOfTopLevelItem(item) : -1;
}

void TForm_ConfigTools::UpdateActions()
{
    const bool selected = SelectedRow() >= 0;
    Button_Edit->setEnabled(selected);
    Button_Delete->setEnabled(selected);
}

QStringList TForm_ConfigTools::ToolLines() const
{
    QStringList lines;
    for (const TExternalProgram& tool : FRows)
        lines.append(FormatToolLine(tool));
    return lines;
}

void TForm_ConfigTools::AddTool()
{
    TExternalProgram tool;
    if (!OnEditTool(tool))
        return;
    tool.Reserved.clear();
    FRows.append(tool);
    ShowRow(int(FRows.size()) - 1);
    ListView_Tools->setCurrentItem(ListView_Tools->topLevelItem(int(FRows.size()) - 1));
    UpdateActions();
}

void TForm_ConfigTools::EditSelectedTool()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    TExternalProgram tool = FRows.at(row);
    if (!OnEditTool(tool))
        return;
    tool.Reserved.clear();
    FRows[row] = tool;
    ShowRow(row);
}

void TForm_ConfigTools::DeleteSelectedTool()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    const int answer = ShowMessage(u"是否真的删除与程序【"_s + FRows.at(row).Title + u"】的连接？"_s, u"删除"_s,
                                   TMsgIcon::Question, mbYes | mbNo);
    if (answer != mbYes)
        return;
    FRows.removeAt(row);
    delete ListView_Tools->takeTopLevelItem(row);
    UpdateActions();
}

bool TForm_ConfigTools::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListView_Tools && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier && key->key() == Qt::Key_Delete) {
            DeleteSelectedTool();
            return true;
        }
        if (key->modifiers() == Qt::NoModifier && key->key() == Qt::Key_Insert) {
            AddTool();
            return true;
        }
    }
    return TForm_CustomBasicDialog::eventFilter(watched, event);
}

bool EditTools(QStringList& toolLines, QWidget* parent)
{
    TForm_ConfigTools dialog(toolLines, parent);
    dialog.CenterOn(TForm_CustomBasicDialog::MainWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    toolLines = dialog.ToolLines();
    return true;
}
