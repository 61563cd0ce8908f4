#include "Win_Main.h"

#include "Win_BackUpData.h"
#include "Win_RestoreData.h"
#include "qxCtrls_HeadPanel.h"
#include "qxCtrls_Label.h"

#include <QLabel>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace {

QLabel* title(const QString& text, const QRect& at, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setGeometry(at);
    return label;
}

QLabel* explanation(const QString& text, const QRect& at, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMargin(6);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setGeometry(at);
    return label;
}

TqxLabel* link(const QString& text, const QColor& color, const QRect& at, QWidget* parent)
{
    auto* label = new TqxLabel(text, parent);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
    QFont f = label->font();
    f.setUnderline(true);
    label->setFont(f);
    label->SetStayFont(f);
    label->setCursor(Qt::PointingHandCursor);
    label->setGeometry(at);
    return label;
}

} // namespace

TForm_Main::TForm_Main(const TAppGlobalInfo& info, const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), FInfo(info)
{
    setObjectName(u"Form_Main"_s);
    setWindowTitle(caption);

    qxHeadPanel1 = new TqxHeadPanel(this);
    qxHeadPanel1->setGeometry(0, 0, 460, 41);
    qxHeadPanel1->SetPicture(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(32, 32));
    qxHeadPanel1->SetDescription(u"数据维护 － 备份与恢复"_s);

    title(u"1.备份您日积月累的项目、单词、类别等信息"_s, QRect(16, 56, 428, 20), this);
    explanation(u"项目库、项目类别与施工地点、工艺材料、计量单位和单词库是您多年积累的宝贵数据。"
                "建议您定期把它们备份到一个备份文件中，并把备份文件另外保存一份（例如U盘），"
                "以防电脑故障或误操作造成损失。"_s,
                QRect(16, 80, 428, 70), this);
    Label_BackUp = link(u"开始备份..."_s, QColor(0, 0, 255), QRect(16, 156, 120, 20), this);

    title(u"2.恢复您日积月累的项目、单词、类别等信息..."_s, QRect(16, 192, 428, 20), this);
    explanation(u"恢复会用备份文件中的数据替换当前的基础数据，替换后无法撤销。"
                "恢复之前，请先备份当前的数据，并退出正在运行的 Kavelin，恢复完成后再启动它。"_s,
                QRect(16, 216, 428, 70), this);
    Label_Restore = link(u"开始恢复..."_s, QColor(255, 0, 0), QRect(16, 292, 120, 20), this);

    connect(Label_BackUp, &TqxLabel::Clicked, this, &TForm_Main::StartBackUp);
    connect(Label_Restore, &TqxLabel::Clicked, this, &TForm_Main::StartRestore);
    setFixedSize(460, 328);
}

void TForm_Main::StartBackUp()
{
    TForm_BackUpData dialog(FInfo, this);
    dialog.CenterOn(this);
    dialog.exec();
}

void TForm_Main::StartRestore() { RestoreBaseData(FInfo, this); }
