// Restorix's windows driven as a user would, every question answered by script.

#include "AppClasses.h"
#include "GbkText.h"
#include "BaseDataPackets.h"
#include "KvTestSupport.h"
#include "Win_BackUpData.h"
#include "Win_Main.h"
#include "Win_RestoreData.h"
#include "qxCtrls_HeadPanel.h"
#include "qxCtrls_Label.h"
#include "qxScriptedPrompter.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRestorixWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void mainWindow();
    void backupDialogRows();
    void backUp();
    void backUpCancelledOrFailing();
    void restore();
    void restoreRefusedOrUnchecked();
    void unreadableBackup_data();
    void unreadableBackup();

private:
    QString data(const QString& name) const { return FDir.path() + u"/Data/"_s + name; }
    void fillTables(const QByteArray& tag);
    QString backUpAll();

    QTemporaryDir FDir;
    std::unique_ptr<TAppGlobalInfo> FInfo;
    std::unique_ptr<TqxScriptedPrompter> FPrompter;
};

const QStringList kFiles{u"ItemsDB"_s, u"ItemCateDB"_s, u"MemoDB"_s, u"MeasureUnit"_s, u"WordsDb"_s};

void TestRestorixWindows::init()
{
    FPrompter = std::make_unique<TqxScriptedPrompter>();
    QDir(FDir.path()).removeRecursively();
    QDir().mkpath(FDir.path() + u"/Data"_s);
    QDir().mkpath(FDir.path() + u"/备份"_s);
    const QString app =
        u"[Software]\r\nSoftName=Kavelin\r\nVersion=1.0\r\n[Files]\r\n系统项目库=[数据]ItemsDB\r\n"
        "系统项目类别库=[数据]ItemCateDB\r\n计量单位库=[数据]MeasureUnit\r\n工艺材料=[数据]MemoDB\r\n"
        "单词库=[数据]WordsDb\r\n[Paths]\r\nApp=\r\n数据=[App]Data\\\r\n备份=[App]备份\\\r\n"_s;
    KvTest::WriteBytes(FDir.path() + u"/App"_s, Gbk::Encode(app));
    FInfo = std::make_unique<TAppGlobalInfo>();
    FInfo->WriteBackOnFree = false;
    QVERIFY(FInfo->Initialize(FDir.path(), {}));
    fillTables("old:");
}

void TestRestorixWindows::cleanup()
{
    FInfo.reset();
    FPrompter.reset();
}

void TestRestorixWindows::fillTables(const QByteArray& tag)
{
    for (const QString& f : kFiles)
        QVERIFY(KvTest::WriteBytes(data(f), KvTest::TablePacket(f, tag + f.toLatin1())));
}

QString TestRestorixWindows::backUpAll()
{
    const QString path = FDir.path() + u"/备份/all.KVB"_s;
    TForm_BackUpData dialog(*FInfo);
    FPrompter->AnswerFiles({path});
    dialog.Button_Action->click();
    return path;
}

void TestRestorixWindows::mainWindow()
{
    TForm_Main window(*FInfo, u"Kavelin 工具 - 数据维护"_s);
    QCOMPARE(window.windowTitle(), u"Kavelin 工具 - 数据维护"_s);
    QCOMPARE(window.qxHeadPanel1->Description(), u"数据维护 － 备份与恢复"_s);
    QCOMPARE(window.Label_BackUp->text(), u"开始备份..."_s);
    QCOMPARE(window.Label_Restore->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(window.Label_Restore->font().underline());
    // A restore started from the window and cancelled at the file choice does nothing more.
    FPrompter->AnswerCancel();
    window.show();
    QTest::mouseClick(window.Label_Restore, Qt::LeftButton);
    QCOMPARE(FPrompter->Records.size(), size_t(1));
    QCOMPARE(FPrompter->Last().file.Title, u"选择所需恢复的备份文件..."_s);
}

void TestRestorixWindows::backupDialogRows()
{
    QFile::remove(data(u"MemoDB"_s)); // listed all the same
    TForm_BackUpData dialog(*FInfo);
    QCOMPARE(dialog.windowTitle(), u"数据备份..."_s);
    QTableWidget* list = dialog.ListView_Files;
    QCOMPARE(list->rowCount(), 5);
    QCOMPARE(list->horizontalHeaderItem(2)->text(), u"文件路径"_s);
    QStringList captions;
    for (int r = 0; r < 5; ++r) {
        captions << list->item(r, 0)->text();
        QCOMPARE(list->item(r, 0)->checkState(), Qt::Checked);
    }
    QCOMPARE(captions, (QStringList{u"系统项目库"_s, u"系统项目类别库"_s, u"工艺材料"_s, u"计量单位库"_s, u"单词库"_s}));
    QCOMPARE(list->item(3, 2)->text(), FDir.path() + u"/Data/MeasureUnit"_s);

    dialog.Button_Invert->click();
    QCOMPARE(list->item(0, 0)->checkState(), Qt::Unchecked);
    list->item(1, 0)->setCheckState(Qt::Checked);
    dialog.Button_Invert->click();
    QCOMPARE(dialog.Rows()[0].Checked, true);
    QCOMPARE(dialog.Rows()[1].Checked, false);
    dialog.Button_All->click();
    for (const TDataFileRow& r : dialog.Rows())
        QVERIFY(r.Checked);
}

void TestRestorixWindows::backUp()
{
    TForm_BackUpData dialog(*FInfo);
    dialog.Today = QDate(2026, 12, 11);
    const QString path = FDir.path() + u"/备份/b.KVB"_s;
    FPrompter->AnswerFiles({path});
    dialog.show();
    dialog.Button_Action->click();

    const TFileRequest& ask = FPrompter->Records.at(0).file;
    QCOMPARE(ask.Kind, TFileDialogKind::Save);
    QCOMPARE(ask.Title, u"备份数据到文件..."_s);
    QCOMPARE(ask.Filter, u"Kavelin 备份文件(*.KVB)|*.KVB"_s);
    QCOMPARE(ask.DefaultExt, u"KVB"_s);
    QVERIFY(ask.OverwritePrompt); // the question on an existing name
    QCOMPARE(ask.InitialDir, FDir.path() + u"/备份\\"_s);
    QVERIFY(ask.FileName.endsWith(u"备份"_s));

    const TMessageRequest& done = FPrompter->Last().message;
    QCOMPARE(done.Text, u"备份数据到文件："_s + path + u" 成功！"_s);
    QCOMPARE(done.Caption, u"备份成功"_s);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QVERIFY(KvTest::ReadBytes(path).contains("old:WordsDb"));
}

void TestRestorixWindows::backUpCancelledOrFailing()
{
    TForm_BackUpData dialog(*FInfo);
    dialog.show();
    FPrompter->AnswerCancel();
    dialog.Button_Action->click();
    QCOMPARE(FPrompter->Records.size(), size_t(1)); // no message after a cancel
    QVERIFY(dialog.isVisible());

    FPrompter->AnswerFiles({FDir.path() + u"/nosuch/folder/x.KVB"_s});
    dialog.Button_Action->click();
    QCOMPARE(FPrompter->Last().message.Text, u"不能备份数据，请检查您是否有读写权限！"_s);
    QCOMPARE(FPrompter->Last().message.Caption, u"备份失败"_s);
    QVERIFY(dialog.isVisible()); // stays open
}

void TestRestorixWindows::restore()
{
    const QString backup = backUpAll();
    fillTables("new:");
    FPrompter->Reset();

    TForm_RestoreData dialog;
    FPrompter->AnswerFiles({backup});
    QVERIFY(dialog.ChooseBackup(*FInfo));
    QCOMPARE(dialog.windowTitle(), u"数据恢复..."_s);
    QCOMPARE(dialog.ListView_Files->rowCount(), 5);
    QCOMPARE(dialog.ListView_Files->horizontalHeaderItem(2)->text(), u"目标文件路径"_s);
    QCOMPARE(dialog.ListView_Files->item(4, 1)->text(), u"名称中所含的单词，以便快速查找过滤"_s);

    dialog.show();
    FPrompter->AnswerButton(mbYes);
    dialog.Button_Action->click();
    const TMessageRequest& ask = FPrompter->Records.at(1).message;
    QCOMPARE(ask.Text, u"您是否真的需要恢复，该动作不可恢复！"_s);
    QCOMPARE(ask.Caption, u"警告"_s);
    QCOMPARE(ask.Icon, TMsgIcon::Warning);
    QCOMPARE(ask.Buttons, mbYes | mbNo);
    QCOMPARE(FPrompter->Last().message.Text, u"基本数据恢复成功！"_s);
    QCOMPARE(FPrompter->Last().message.Caption, u"恢复成功"_s);
    QVERIFY(!dialog.isVisible());
    for (const QString& f : kFiles)
        QCOMPARE(KvTest::ReadBytes(data(f)), KvTest::TablePacket(f, "old:" + f.toLatin1()));
}

void TestRestorixWindows::restoreRefusedOrUnchecked()
{
    const QString backup = backUpAll();
    fillTables("new:");
    TForm_RestoreData dialog;
    FPrompter->AnswerFiles({backup});
    QVERIFY(dialog.ChooseBackup(*FInfo));
    dialog.show();

    FPrompter->AnswerButton(mbNo);
    dialog.Button_Action->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(KvTest::ReadBytes(data(u"ItemsDB"_s)), KvTest::TablePacket(u"ItemsDB"_s, "new:ItemsDB"));

    dialog.ListView_Files->item(0, 0)->setCheckState(Qt::Unchecked);
    FPrompter->AnswerButton(mbYes);
    dialog.Button_Action->click();
    QCOMPARE(KvTest::ReadBytes(data(u"ItemsDB"_s)), KvTest::TablePacket(u"ItemsDB"_s, "new:ItemsDB"));
    QCOMPARE(KvTest::ReadBytes(data(u"WordsDb"_s)), KvTest::TablePacket(u"WordsDb"_s, "old:WordsDb"));
}

void TestRestorixWindows::unreadableBackup_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("damaged") << QByteArray("\x40\x00\x00\x00<SECTION>", 13) << u"已损坏"_s;
    QTest::newRow("empty") << QByteArray() << u"不是备份文件"_s;
}

void TestRestorixWindows::unreadableBackup()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = FDir.path() + u"/备份/bad.KVB"_s;
    QVERIFY(KvTest::WriteBytes(path, bytes));
    TForm_RestoreData dialog;
    FPrompter->AnswerFiles({path});
    QVERIFY(!dialog.ChooseBackup(*FInfo));
    QCOMPARE(FPrompter->Records.size(), size_t(2));
    QVERIFY2(FPrompter->Last().message.Text.contains(message), qPrintable(FPrompter->Last().message.Text));
    QCOMPARE(FPrompter->Last().message.Icon, TMsgIcon::Error);
}

QTEST_MAIN(TestRestorixWindows)
#include "tst_restorix_windows.moc"
