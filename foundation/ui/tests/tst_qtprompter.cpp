// The real prompter's dialogs, built and inspected without being run.

#include "qxFunctions.h"
#include "qxQtPrompter.h"
#include "qxScriptedPrompter.h"
#include "qxUiFunctions.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestQtPrompter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nameFilters_data();
    void nameFilters();
    void messageBox_data();
    void messageBox();
    void saveDialog();
    void openDialog();
    void folderDialog();
    void overwriteQuestion();
    void installedServices();
};

void TestQtPrompter::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("project") << u"家装工程书(*.KVP)|*.KVP"_s << QStringList{u"家装工程书(*.KVP) (*.KVP)"_s};
    QTest::newRow("two pairs, every file")
        << u"工程模板(*.KVT)|*.KVT|所有文件(*.*)|*.*"_s
        << QStringList{u"工程模板(*.KVT) (*.KVT)"_s, u"所有文件(*.*) (*)"_s};
    QTest::newRow("several patterns") << u"图片|*.jpg;*.bmp"_s << QStringList{u"图片 (*.jpg *.bmp)"_s};
    QTest::newRow("pattern only") << u"|*.KVD"_s << QStringList{u"*.KVD (*.KVD)"_s};
    QTest::newRow("empty") << QString() << QStringList();
}

void TestQtPrompter::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(TqxQtPrompter::NameFilters(filter), expected);
}

void TestQtPrompter::messageBox_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("expectedDefault");
    QTest::addColumn<int>("expectedEscape");
    QTest::newRow("OK") << int(mbOK) << int(mbNone) << QStringList{u"确定"_s} << int(mbOK) << int(mbOK);
    QTest::newRow("yes/no/cancel, default no") << (mbYes | mbNo | mbCancel) << int(mbNo)
                                               << QStringList{u"取消"_s, u"是(&Y)"_s, u"否(&N)"_s} << int(mbNo)
                                               << int(mbCancel);
    QTest::newRow("yes/no") << (mbYes | mbNo) << int(mbNone) << QStringList{u"是(&Y)"_s, u"否(&N)"_s} << int(mbYes)
                            << int(mbNo);
    QTest::newRow("default not in the set") << (mbOK | mbCancel) << int(mbYes) << QStringList{u"确定"_s, u"取消"_s}
                                            << int(mbOK) << int(mbCancel);
    QTest::newRow("abort/retry/ignore") << (mbAbort | mbRetry | mbIgnore) << int(mbRetry)
                                        << QStringList{u"中止(&A)"_s, u"重试(&R)"_s, u"忽略(&I)"_s} << int(mbRetry)
                                        << int(mbNone);
}

void TestQtPrompter::messageBox()
{
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    QFETCH(QStringList, texts);
    QFETCH(int, expectedDefault);
    QFETCH(int, expectedEscape);
    const auto box = TqxQtPrompter::BuildMessageBox(
        {u"工程已修改，是否保存？"_s, u"提示"_s, TMsgIcon::Question, buttons, defaultButton});
    QCOMPARE(box->windowTitle(), u"提示"_s);
    QCOMPARE(box->text(), u"工程已修改，是否保存？"_s);
    QCOMPARE(box->icon(), QMessageBox::Question);
    QStringList shown;
    for (QAbstractButton* b : box->buttons())
        shown.append(b->text());
    shown.sort();
    texts.sort();
    QCOMPARE(shown, texts);
    QCOMPARE(TqxQtPrompter::ButtonOf(box->defaultButton()), expectedDefault);
    QCOMPARE(TqxQtPrompter::ButtonOf(box->escapeButton()), expectedEscape);
    // The answer is the button clicked.
    box->show();
    for (QAbstractButton* b : box->buttons())
        if (TqxQtPrompter::ButtonOf(b) == expectedDefault)
            b->click();
    QCOMPARE(TqxQtPrompter::ButtonOf(box->clickedButton()), expectedDefault);
}

void TestQtPrompter::saveDialog()
{
    QTemporaryDir dir;
    TFileRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Title = u"工程另存为"_s;
    request.Filter = u"家装工程书(*.KVP)|*.KVP"_s;
    request.InitialDir = dir.path();
    request.DefaultExt = u".KVP"_s;
    request.FileName = u"张先生的家"_s;
    request.OverwritePrompt = true;
    const auto dialog = TqxQtPrompter::BuildFileDialog(request);
    QCOMPARE(dialog->windowTitle(), u"工程另存为"_s);
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);
    QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
    QCOMPARE(dialog->nameFilters(), QStringList{u"家装工程书(*.KVP) (*.KVP)"_s});
    QCOMPARE(dialog->defaultSuffix(), u"KVP"_s);
    // The overwrite question is the prompter's own, asked in Chinese.
    QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));

    // A name without extension gets the default one.
    QCOMPARE(dialog->selectedFiles(), QStringList{QDir(dir.path()).absoluteFilePath(u"张先生的家.KVP"_s)});
}

void TestQtPrompter::openDialog()
{
    TFileRequest request;
    request.Filter = u"工程模板(*.KVT)|*.KVT|所有文件(*.*)|*.*"_s;
    request.InitialDir = u"[无此目录]"_s;
    QCOMPARE(TqxQtPrompter::BuildFileDialog(request)->fileMode(), QFileDialog::ExistingFile);
    request.MultiSelect = true;
    const auto dialog = TqxQtPrompter::BuildFileDialog(request);
    QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFiles);
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog->nameFilters().size(), 2);
}

void TestQtPrompter::folderDialog()
{
    QTemporaryDir dir;
    const auto dialog = TqxQtPrompter::BuildFolderDialog(u"选择安装目录"_s, dir.path());
    QCOMPARE(dialog->windowTitle(), u"选择安装目录"_s);
    QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
    QVERIFY(dialog->testOption(QFileDialog::ShowDirsOnly));
    QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
}

void TestQtPrompter::overwriteQuestion()
{
    const TMessageRequest q = TqxQtPrompter::OverwriteQuestion(u"/home/u/张先生的家.KVP"_s, u"工程另存为"_s);
    QVERIFY(q.Text.startsWith(u"/home/u/张先生的家.KVP"_s));
    QCOMPARE(q.Caption, u"工程另存为"_s);
    QCOMPARE(q.Buttons, mbYes | mbNo);
    // Enter must not replace a file by accident.
    QCOMPARE(q.DefaultButton, int(mbNo));
}

void TestQtPrompter::installedServices()
{
    InstallUiServices();
    QVERIFY(dynamic_cast<TqxQtPrompter*>(&Prompter()));
    // Nothing to open is a failure, not a question to the desktop.
    QVERIFY(!ShellOpen(QString()));
    SetPrompter(nullptr);
    SetShellOpener(nullptr);
}

QTEST_MAIN(TestQtPrompter)
#include "tst_qtprompter.moc"
