#include "Win_ItemClipboard.h"

#include "DataModule_App.h"
#include "qxDBCtrls.h"
#include "qxErrors.h"
#include "qxPrompter.h"

#include <QBoxLayout>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

TForm_ItemClipboard::TForm_ItemClipboard(TDataModule_Data& data, QWidget* parent)
    : TForm_KavelinDialog(parent), FData(data)
{
    setObjectName(u"TForm_ItemClipboard"_s);
    setWindowTitle(u"项目剪贴板"_s);
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    qxHeadPanel1->SetDescription(u"查看粘贴板项目数据..."_s);
    setMinimumSize(240, 150);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    ToolBar_Clip = new QToolBar(this);
    ToolBar_Clip->setObjectName(u"ToolBar_Clip"_s);
    ToolBar_Clip->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar_Clip->setIconSize(QSize(16, 16));
    auto button = [this](const QString& name, const QString& caption, const QString& icon) {
        auto* b = new QToolButton(ToolBar_Clip);
        b->setObjectName(name);
        b->setText(caption);
        b->setIcon(QIcon::fromTheme(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        ToolBar_Clip->addWidget(b);
        return b;
    };
    ToolButton_Clear = button(u"ToolButton_Clear"_s, u"清空"_s, u"edit-clear"_s);
    ToolButton_Delete = button(u"ToolButton_Delete"_s, u"删除"_s, u"edit-delete"_s);
    connect(ToolButton_Clear, &QToolButton::clicked, this, &TForm_ItemClipboard::ClearClick);
    connect(ToolButton_Delete, &QToolButton::clicked, this, &TForm_ItemClipboard::DeleteClick);

    DataSource_Clip = new TqxDataSource(&FData.CDS_TempItems, this);
    DataSource_Clip->setObjectName(u"DataSource_Clip"_s);
    qxDBGrid_Clip = new TqxDBGrid;
    qxDBGrid_Clip->setObjectName(u"qxDBGrid_Clip"_s);
    qxDBGrid_Clip->SetOptions(TqxDBGrid::DefaultOptions | dgRowSelect);
    qxDBGrid_Clip->SetRowSelect(true);
    qxDBGrid_Clip->SetReadOnly(true);
    qxDBGrid_Clip->SetDataSource(DataSource_Clip);
    qxDBGrid_Clip->AddColumn(u"施工地点"_s, QString(), 70);
    qxDBGrid_Clip->AddColumn(u"项目类别"_s, QString(), 70);
    qxDBGrid_Clip->AddColumn(u"项目名称"_s, QString(), 140);
    qxDBGrid_Clip->AddColumn(u"单位"_s, QString(), 50);
    qxDBGrid_Clip->AddColumn(u"单价"_s, QString(), 60);
    qxDBGrid_Clip->AddColumn(u"备注"_s, QString(), 140);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, HeadHeight, 0, 0);
    rows->setSpacing(0);
    rows->addWidget(ToolBar_Clip);
    rows->addWidget(qxDBGrid_Clip, 1);
    resize(480, 260);
}

TForm_ItemClipboard::~TForm_ItemClipboard() { DataSource_Clip->SetDataSet(nullptr); }

void TForm_ItemClipboard::ClearClick()
{
    try {
        FData.ClearClipboard();
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"提示"_s, TMsgIcon::Error);
    }
}

void TForm_ItemClipboard::DeleteClick()
{
    try {
        FData.DeleteClipboardItem();
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"提示"_s, TMsgIcon::Error);
    }
}
