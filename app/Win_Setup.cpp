#include "Win_Setup.h"

#include "AppClasses.h"
#include "kvFormFields.h"
#include "qxFileSystem.h"
#include "qxPrompter.h"

#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

constexpr int kFieldLeft = 100;
constexpr int kFieldWidth = 220;
constexpr int kLogoSize = 49;

TqxLabeledEdit* field(QWidget* page, const QString& name, const QString& caption, int top, int width = kFieldWidth)
{
    return LabeledField(page, name, caption, QRect(kFieldLeft, top, width, 24));
}

} // namespace

const QStringList& TForm_Setup::VariantKeys()
{
    static const QStringList keys{u"单位名称"_s, u"单位地址"_s, u"单位电话"_s, u"单位传真"_s,
                                  u"单位徽标"_s, u"公司宗旨"_s, u"工程直接费"_s};
    return keys;
}

TForm_Setup::TForm_Setup(TAppGlobalInfo& info, QWidget* parent) : TForm_KavelinDialog(parent), FInfo(info)
{
    setObjectName(u"TForm_Setup"_s);
    setWindowTitle(u"设置..."_s);
    qxHeadPanel1->SetDescription(u"设置软件信息..."_s);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->setGeometry(8, 50, 404, 250);
    TabSheet_Company = new QWidget;
    TabSheet_Company->setObjectName(u"TabSheet_Company"_s);
    TabSheet_Variant = new QWidget;
    TabSheet_Variant->setObjectName(u"TabSheet_Variant"_s);
    PageControl1->addTab(TabSheet_Company, u"公司信息"_s);
    PageControl1->addTab(TabSheet_Variant, u"变量定义"_s);

    Edit_Name = field(TabSheet_Company, u"Edit_Name"_s, u"单位名称(&D):"_s, 12);
    Edit_Address = field(TabSheet_Company, u"Edit_Address"_s, u"地址(&A):"_s, 44);
    Edit_Phone = field(TabSheet_Company, u"Edit_Phone"_s, u"电话(&T):"_s, 76);
    Edit_Fax = field(TabSheet_Company, u"Edit_Fax"_s, u"传真(&F):"_s, 108);
    Edit_Logo = field(TabSheet_Company, u"Edit_Logo"_s, u"公司徽标(&G):"_s, 140, kFieldWidth - 30);
    Edit_Motto = field(TabSheet_Company, u"Edit_Motto"_s, u"公司宗旨(&Z):"_s, 172);
    // Down and Up walk the company fields; Up stops at the first.
    for (TqxLabeledEdit* edit : {Edit_Name, Edit_Address, Edit_Phone, Edit_Fax, Edit_Logo, Edit_Motto}) {
        edit->SetKeyDownToNext(true);
        edit->SetKeyUpToPrior(edit != Edit_Name);
    }

    Button_Browse = new QToolButton(TabSheet_Company);
    Button_Browse->setObjectName(u"Button_Browse"_s);
    Button_Browse->setText(u"..."_s);
    Button_Browse->setToolTip(u"选择徽标图片..."_s);
    Button_Browse->setFocusPolicy(Qt::NoFocus);
    Button_Browse->setGeometry(kFieldLeft + kFieldWidth - 26, 140, 26, 24);
    connect(Button_Browse, &QToolButton::clicked, this, &TForm_Setup::BrowseLogo);

    Image_Logo = new QLabel(TabSheet_Company);
    Image_Logo->setObjectName(u"Image_Logo"_s);
    Image_Logo->setGeometry(kFieldLeft + kFieldWidth + 14, 12, kLogoSize + 2, kLogoSize + 2);
    Image_Logo->setFrameShape(QFrame::Box);
    Image_Logo->setAlignment(Qt::AlignCenter);

    Label_Note = new QLabel(u"请认真填写正确的信息，它将出现在您的预算书中。"_s, TabSheet_Company);
    Label_Note->setObjectName(u"Label_Note"_s);
    Label_Note->setGeometry(12, 204, 380, 18);

    Edit_DirectCost = field(TabSheet_Variant, u"Edit_DirectCost"_s, u"工程直接费(&G):"_s, 12);

    Button_OK = AddButton(u"确定(&Y)"_s, QRect(256, 310, 75, 25), true);
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(337, 310, 75, 25));
    Button_OK->setObjectName(u"Button_OK"_s);
    Button_Cancel->setObjectName(u"Button_Cancel"_s);
    connect(Button_OK, &QPushButton::clicked, this, &TForm_Setup::Confirm);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    // A key missing from a hand-edited section shows as empty and is written
    // on confirmation.
    const QList<TqxLabeledEdit*> fields = Fields();
    for (qsizetype i = 0; i < fields.size(); ++i)
        fields[i]->setText(FInfo.GetVariantValue(VariantKeys().at(i)).toString());
    RefreshLogo();
    connect(Edit_Logo, &QLineEdit::textChanged, this, &TForm_Setup::RefreshLogo);

    SetClientSize(420, 346);
    Edit_Name->setFocus();
}

QList<TqxLabeledEdit*> TForm_Setup::Fields() const
{
    return {Edit_Name, Edit_Address, Edit_Phone, Edit_Fax, Edit_Logo, Edit_Motto, Edit_DirectCost};
}

void TForm_Setup::Confirm()
{
    const QList<TqxLabeledEdit*> fields = Fields();
    for (qsizetype i = 0; i < fields.size(); ++i)
        FInfo.SetVariantValue(VariantKeys().at(i), fields[i]->text());
    accept();
}

void TForm_Setup::RefreshLogo()
{
    // Pictures Qt has no reader for here (EMF, WMF) only leave the preview empty.
    QImage picture;
    const QString path = FInfo.ExpandMacros(Edit_Logo->text());
    if (!path.isEmpty() && FileSystem::FileExists(path)) {
        QImageReader reader(FileSystem::NativePath(path));
        reader.setAutoTransform(true);
        picture = reader.read();
    }
    if (picture.isNull()) {
        Image_Logo->clear();
        return;
    }
    if (picture.width() > kLogoSize || picture.height() > kLogoSize)
        picture = picture.scaled(kLogoSize, kLogoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Image_Logo->setPixmap(QPixmap::fromImage(picture));
}

void TForm_Setup::BrowseLogo()
{
    TFileRequest ask;
    ask.Kind = TFileDialogKind::Open;
    ask.Title = u"打开"_s;
    ask.InitialDir = FInfo.GetPath(u"图片"_s);
    ask.Filter = u"所有格式 (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
                 "JPEG 文件 (*.jpg;*.jpeg)|*.jpg;*.jpeg|位图文件 (*.bmp)|*.bmp|图标文件 (*.ico)|*.ico"_s;
    const QStringList chosen = Prompter().ChooseFiles(ask);
    if (!chosen.isEmpty())
        Edit_Logo->setText(chosen.first());
}

void ShowCompanySettings(TAppGlobalInfo& info, QWidget* parent)
{
    TForm_Setup dialog(info, parent);
    dialog.CenterOn(TForm_CustomBasicDialog::MainWindow());
    dialog.exec();
}
