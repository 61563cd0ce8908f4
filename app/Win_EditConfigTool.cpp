#include "Win_EditConfigTool.h"

#include "kvHotKey.h"
#include "kvShortCut.h"
#include "kvFormFields.h"
#include "qxPrompter.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLabelLeft = 12;
constexpr int kFieldLeft = 96;
constexpr int kFieldWidth = 284;

TqxLabeledEdit* field(QWidget* parent, const QString& name, const QString& caption, int top, int width = kFieldWidth)
{
    return LabeledField(parent, name, caption, QRect(kFieldLeft, top, width, 24));
}

} // namespace

TForm_EditToolProperty::TForm_EditToolProperty(const TExternalProgram& tool, QWidget* parent)
    : TForm_CustomBasicDialog(parent), FReserved(tool.Reserved)
{
    setObjectName(u"TForm_EditToolProperty"_s);
    setWindowTitle(u"工具属性"_s);
    qxHeadPanel1->SetDescription(u"定义一个工具的信息，使它能正确运行..."_s);

    Edit_Title = field(this, u"Edit_Title"_s, u"工具标题(&T):"_s, 56);
    Edit_Description = field(this, u"Edit_Description"_s, u"描述(&D):"_s, 88);
    Edit_Program = field(this, u"Edit_Program"_s, u"程序(&P):"_s, 120, kFieldWidth - 30);

    Button_Browse = new QToolButton(this);
    Button_Browse->setObjectName(u"Button_Browse"_s);
    Button_Browse->setText(u"..."_s);
    Button_Browse->setToolTip(u"浏览程序..."_s);
    Button_Browse->setGeometry(kFieldLeft + kFieldWidth - 26, 120, 26, 24);
    connect(Button_Browse, &QToolButton::clicked, this, &TForm_EditToolProperty::BrowseProgram);

    HotKey_ShortCut = new TkvHotKey(this);
    HotKey_ShortCut->setObjectName(u"HotKey_ShortCut"_s);
    HotKey_ShortCut->setGeometry(kFieldLeft, 152, 160, 24);
    Label_HotKey = new QLabel(u"快捷键(&A):"_s, this);
    Label_HotKey->setBuddy(HotKey_ShortCut);
    Label_HotKey->setGeometry(kLabelLeft, 152, kFieldLeft - kLabelLeft - 3, 24);
    Label_HotKey->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Button_OK = AddButton(u"确定(&Y)"_s, QRect(224, 194, 75, 25), true);
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(305, 194, 75, 25));
    connect(Button_OK, &QPushButton::clicked, this, &TForm_EditToolProperty::Confirm);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    Edit_Title->setText(tool.Title);
    Edit_Description->setText(tool.Description);
    Edit_Program->setText(tool.Program);
    HotKey_ShortCut->SetHotKey(TextToShortCut(tool.ShortCut));

    setTabOrder(Edit_Title, Edit_Description);
    setTabOrder(Edit_Description, Edit_Program);
    setTabOrder(Edit_Program, HotKey_ShortCut);
    setTabOrder(HotKey_ShortCut, Button_OK);
    setTabOrder(Button_OK, Button_Cancel);

    SetClientSize(392, 231);
    Edit_Title->setFocus();
}

TExternalProgram TForm_EditToolProperty::Tool() const
{
    TExternalProgram tool;
    tool.Title = Edit_Title->text();
    tool.Description = Edit_Description->text();
    tool.Program = Edit_Program->text();
    tool.ShortCut = ShortCutToText(HotKey_ShortCut->HotKey());
    tool.Reserved = FReserved;
    return tool;
}

bool TForm_EditToolProperty::Refuse(TqxLabeledEdit* edit, const QString& message)
{
    edit->setFocus();
    ShowMessage(message, u"提示"_s, TMsgIcon::Warning);
    return false;
}

void TForm_EditToolProperty::Confirm()
{
    if (Edit_Title->text().isEmpty()) {
        Refuse(Edit_Title, u"请输入工具标题！"_s);
        return;
    }
    // The tools file separates its fields with "=" and "|": a title holding
    // "=" or a program holding "|" would read back as other fields.
    if (Edit_Title->text().contains(u'=')) {
        Refuse(Edit_Title, u"工具标题中不能含有“=”！"_s);
        return;
    }
    if (Edit_Program->text().contains(u'|')) {
        Refuse(Edit_Program, u"程序中不能含有“|”！"_s);
        return;
    }
    accept();
}

void TForm_EditToolProperty::BrowseProgram()
{
    TFileRequest ask;
    ask.Kind = TFileDialogKind::Open;
    ask.Title = u"选择可运行的程序"_s;
#ifdef Q_OS_WIN
    ask.Filter = u"可执行程序(*.EXE)|*.EXE|所有文件(*.*)|*.*"_s;
    ask.DefaultExt = u"EXE"_s;
#else
    // Programs here carry no ".EXE": every file comes first, and no
    // extension is added to a name typed without one.
    ask.Filter = u"所有文件(*.*)|*.*|可执行程序(*.EXE)|*.EXE"_s;
#endif
    const QStringList chosen = Prompter().ChooseFiles(ask);
    if (chosen.isEmpty())
        return;
    QString path = chosen.first();
    // The program text is a command line: a path with a blank must stay one word.
    if (path.contains(u' '))
        path = u'"' + path + u'"';
    Edit_Program->setText(path);
}

bool EditTool(TExternalProgram& tool, QWidget* parent)
{
    TForm_EditToolProperty dialog(tool, parent);
    dialog.CenterOn(TForm_CustomBasicDialog::MainWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    tool = dialog.Tool();
    return true;
}
