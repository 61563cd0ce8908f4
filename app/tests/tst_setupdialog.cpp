// The company settings dialog on a copy of the shipped installation.

#include "AppStage.h"
#include "GbkText.h"
#include "KvTestSupport.h"
#include "Win_Setup.h"
#include "qxCtrls_LabeledEdit.h"
#include "qxIniFile.h"
#include "qxScriptedPrompter.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

class TestSetupDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void layoutAndValues();
    void confirmWritesInOrder();
    void writtenBackAtExit();
    void cancelChangesNothing();
    void missingKey();
    void logoPreview_data();
    void logoPreview();
    void browseLogo();
    void keyboard_data();
    void keyboard();

private:
    TNameValueList& variants() { return FStage->Info->Variants; }
    std::unique_ptr<TAppStage> FStage;
    std::unique_ptr<TqxScriptedPrompter> FPrompter;
};

const QStringList kKeys{u"单位名称"_s, u"单位地址"_s, u"单位电话"_s, u"单位传真"_s,
                        u"单位徽标"_s, u"公司宗旨"_s, u"工程直接费"_s};

void TestSetupDialog::init()
{
    FPrompter = std::make_unique<TqxScriptedPrompter>();
    FStage = std::make_unique<TAppStage>();
    QVERIFY(FStage->Create());
}

void TestSetupDialog::cleanup()
{
    FStage.reset();
    FPrompter.reset();
}

void TestSetupDialog::layoutAndValues()
{
    variants().SetValue(u"单位地址"_s, u"中山路 1 号"_s);
    TForm_Setup dialog(*FStage->Info);
    QCOMPARE(dialog.windowTitle(), u"设置..."_s);
    QCOMPARE(dialog.qxHeadPanel1->Description(), u"设置软件信息..."_s);
    QCOMPARE(dialog.PageControl1->tabText(0), u"公司信息"_s);
    QCOMPARE(dialog.PageControl1->tabText(1), u"变量定义"_s);
    QCOMPARE(dialog.Label_Note->text(), u"请认真填写正确的信息，它将出现在您的预算书中。"_s);
    QCOMPARE(dialog.Image_Logo->size() - QSize(2, 2), QSize(49, 49));
    QStringList labels;
    for (const TqxLabeledEdit* e : {dialog.Edit_Name, dialog.Edit_Address, dialog.Edit_Phone, dialog.Edit_Fax,
                                    dialog.Edit_Logo, dialog.Edit_Motto, dialog.Edit_DirectCost})
        labels << e->EditLabel()->text();
    QCOMPARE(labels, (QStringList{u"单位名称(&D):"_s, u"地址(&A):"_s, u"电话(&T):"_s, u"传真(&F):"_s,
                                  u"公司徽标(&G):"_s, u"公司宗旨(&Z):"_s, u"工程直接费(&G):"_s}));
    QCOMPARE(dialog.Edit_DirectCost->parentWidget(), dialog.TabSheet_Variant);
    QCOMPARE(dialog.Edit_Address->text(), u"中山路 1 号"_s);
    QCOMPARE(dialog.Edit_Logo->text(), u"[图片]Tag.ico"_s);
    QCOMPARE(dialog.Edit_DirectCost->text(), u"工程直接费"_s);
    QVERIFY(dialog.Button_OK->isDefault());
    QCOMPARE(dialog.Button_Cancel->text(), u"取消(&C)"_s);
    QCOMPARE(TForm_Setup::VariantKeys(), kKeys);
}

void TestSetupDialog::confirmWritesInOrder()
{
    // A section in another order keeps its lines where they are.
    variants().SetLines({u"工程直接费=直接费"_s, u"其它=x"_s, u"单位名称=旧名"_s, u"单位地址="_s, u"单位电话="_s,
                         u"单位传真="_s, u"单位徽标="_s, u"公司宗旨="_s});
    TForm_Setup dialog(*FStage->Info);
    dialog.Edit_Name->clear();
    dialog.Edit_Phone->setText(u"0571-1234567"_s);
    dialog.Edit_Motto->setText(u"质量第一"_s);
    dialog.Edit_DirectCost->setText(u"工程直接费"_s);
    dialog.Button_OK->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(variants().Lines(), (QStringList{u"工程直接费=工程直接费"_s, u"其它=x"_s, u"单位名称="_s, u"单位地址="_s,
                                              u"单位电话=0571-1234567"_s, u"单位传真="_s, u"单位徽标="_s,
                                              u"公司宗旨=质量第一"_s}));
    // An empty company name is stored empty, and so asks again at the next start.
    QVERIFY(variants().HasName(u"单位名称"_s));
    QCOMPARE(FStage->Info->GetVariantValue(u"单位名称"_s).toString(), QString());
}

void TestSetupDialog::writtenBackAtExit()
{
    const QString setupIni = FStage->Info->GetFileName(u"配置_参数"_s);
    {
        TForm_Setup dialog(*FStage->Info);
        dialog.Edit_Name->setText(u"杭州美居装饰"_s);
        dialog.Edit_Fax->setText(u"0571-7654321"_s);
        dialog.Button_OK->click();
    }
    FStage->Info->WriteBackOnFree = true;
    FStage->Info.reset();
    const TqxIniFile ini(setupIni);
    QCOMPARE(ini.ReadString(u"Variant"_s, u"单位名称"_s), u"杭州美居装饰"_s);
    QCOMPARE(ini.ReadString(u"Variant"_s, u"单位传真"_s), u"0571-7654321"_s);
    QCOMPARE(ini.ReadSection(u"Variant"_s), kKeys);
    QCOMPARE(ini.ReadString(u"Variant"_s, u"单位徽标"_s), u"[图片]Tag.ico"_s);
}

void TestSetupDialog::cancelChangesNothing()
{
    const TNameValueList before = variants();
    TForm_Setup dialog(*FStage->Info);
    for (TqxLabeledEdit* e : {dialog.Edit_Name, dialog.Edit_Address, dialog.Edit_Phone, dialog.Edit_Fax,
                              dialog.Edit_Logo, dialog.Edit_Motto, dialog.Edit_DirectCost})
        e->setText(u"改过"_s);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(variants() == before);
}

void TestSetupDialog::missingKey()
{
    // A hand-edited Setup.ini without 公司宗旨 and 单位电话.
    const qsizetype motto = variants().IndexOfName(u"公司宗旨"_s);
    variants().Delete(motto);
    variants().Delete(variants().IndexOfName(u"单位电话"_s));
    TForm_Setup dialog(*FStage->Info);
    QCOMPARE(dialog.Edit_Motto->text(), QString());
    QCOMPARE(dialog.Edit_Phone->text(), QString());
    dialog.Edit_Motto->setText(u"诚信"_s);
    dialog.Button_OK->click();
    QCOMPARE(variants().Value(u"公司宗旨"_s), u"诚信"_s);
    QVERIFY(variants().HasName(u"单位电话"_s));
    QCOMPARE(variants().Count(), 7);
    // Appended in the order of the keys.
    QCOMPARE(variants().Name(5), u"单位电话"_s);
    QCOMPARE(variants().Name(6), u"公司宗旨"_s);
}

void TestSetupDialog::logoPreview_data()
{
    QTest::addColumn<QString>("logo");
    QTest::addColumn<bool>("shown");
    QTest::newRow("installed logo") << u"[图片]Tag.ico"_s << true;
    QTest::newRow("other letter case") << u"[图片]TAG.ICO"_s << true;
    QTest::newRow("full path of a JPEG") << u"@/pictures/logo.jpg"_s << true;
    QTest::newRow("large picture scaled") << u"@/pictures/big.png"_s << true;
    QTest::newRow("missing file") << u"[图片]none.ico"_s << false;
    QTest::newRow("metafile Qt cannot read") << u"@/pictures/logo.emf"_s << false;
    QTest::newRow("folder") << u"[图片]"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestSetupDialog::logoPreview()
{
    QFETCH(QString, logo);
    QFETCH(bool, shown);
    const QString pictures = FStage->Path(u"pictures"_s);
    QDir().mkpath(pictures);
    QImage jpeg(20, 10, QImage::Format_RGB32);
    jpeg.fill(Qt::red);
    QVERIFY(jpeg.save(pictures + u"/logo.jpg"_s, "JPG"));
    QImage big(300, 150, QImage::Format_RGB32);
    big.fill(Qt::blue);
    QVERIFY(big.save(pictures + u"/big.png"_s, "PNG"));
    QVERIFY(KvTest::WriteBytes(pictures + u"/logo.emf"_s, QByteArray("\x01\x00\x00\x00 EMF", 9)));

    TForm_Setup dialog(*FStage->Info);
    QVERIFY(!dialog.Image_Logo->pixmap().isNull()); // the shipped logo at creation
    dialog.Edit_Logo->setText(QString(logo).replace(u"@"_s, FStage->Path({})));
    const QPixmap shownPicture = dialog.Image_Logo->pixmap();
    QCOMPARE(!shownPicture.isNull(), shown);
    if (shown) {
        QVERIFY(shownPicture.width() <= 49 && shownPicture.height() <= 49);
        QVERIFY(shownPicture.width() > 0);
    }
    // Whatever the preview showed, the text is stored as typed.
    dialog.Button_OK->click();
    QCOMPARE(variants().Value(u"单位徽标"_s), QString(logo).replace(u"@"_s, FStage->Path({})));
}

void TestSetupDialog::browseLogo()
{
    TForm_Setup dialog(*FStage->Info);
    const QString chosen = FStage->Path(u"Picture/Tag.ico"_s);
    FPrompter->AnswerCancel().AnswerFiles({chosen});
    dialog.Button_Browse->click();
    QCOMPARE(dialog.Edit_Logo->text(), u"[图片]Tag.ico"_s);
    const TFileRequest& ask = FPrompter->Last().file;
    QCOMPARE(ask.Kind, TFileDialogKind::Open);
    QCOMPARE(ask.InitialDir, FStage->Info->GetPath(u"图片"_s));
    QCOMPARE(ask.Filter, u"所有格式 (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
                         "JPEG 文件 (*.jpg;*.jpeg)|*.jpg;*.jpeg|位图文件 (*.bmp)|*.bmp|图标文件 (*.ico)|*.ico"_s);
    dialog.Button_Browse->click();
    // Stored as chosen, without macros; the preview follows.
    QCOMPARE(dialog.Edit_Logo->text(), chosen);
    QVERIFY(!dialog.Image_Logo->pixmap().isNull());
}

void TestSetupDialog::keyboard_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");

    QTest::newRow("Enter") << u"Edit_Name"_s << int(Qt::Key_Return) << u"Edit_Address"_s;
    QTest::newRow("Enter from logo") << u"Edit_Logo"_s << int(Qt::Key_Return) << u"Edit_Motto"_s;
    QTest::newRow("Down") << u"Edit_Phone"_s << int(Qt::Key_Down) << u"Edit_Fax"_s;
    QTest::newRow("Up") << u"Edit_Motto"_s << int(Qt::Key_Up) << u"Edit_Logo"_s;
    QTest::newRow("Up stops at the first") << u"Edit_Name"_s << int(Qt::Key_Up) << u"Edit_Name"_s;
    QTest::newRow("direct cost: Down stays") << u"Edit_DirectCost"_s << int(Qt::Key_Down) << u"Edit_DirectCost"_s;
    QTest::newRow("direct cost: Up stays") << u"Edit_DirectCost"_s << int(Qt::Key_Up) << u"Edit_DirectCost"_s;
}

void TestSetupDialog::keyboard()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    TForm_Setup dialog(*FStage->Info);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* field = dialog.findChild<TqxLabeledEdit*>(from);
    QVERIFY(field);
    dialog.PageControl1->setCurrentWidget(field->parentWidget());
    field->setFocus();
    QTest::keyClick(field, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget()->objectName(), to);
    QVERIFY(dialog.isVisible()); // Enter moved on instead of confirming
}

QTEST_MAIN(TestSetupDialog)
#include "tst_setupdialog.moc"
