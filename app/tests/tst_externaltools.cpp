// The tools list without a window: the line format, the shortcut text, the
// tools file and the command line a tool starts.

#include "AppClasses.h"
#include "GbkText.h"
#include "KvTestSupport.h"
#include "kvExternalTools.h"
#include "kvShortCut.h"
#include "qxErrors.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestExternalTools : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parseLine_data();
    void parseLine();
    void shortCutBothWays_data();
    void shortCutBothWays();
    void shortCutTextOnly_data();
    void shortCutTextOnly();
    void shortCutKeyOnly_data();
    void shortCutKeyOnly();
    void toolsFile();
    void toolsFileErrors();
    void commandLine_data();
    void commandLine();
    void launch();

private:
    std::unique_ptr<TAppGlobalInfo> configuration(const QString& folder);
    QTemporaryDir FDir;
};

std::unique_ptr<TAppGlobalInfo> TestExternalTools::configuration(const QString& folder)
{
    QDir().mkpath(folder);
    const QString app = u"[Software]\r\nSoftName=Kavelin\r\nVersion=1.0\r\n[Files]\r\n"
                        "配置_外挂程序=[配置]ExternalProgram.lst\r\n[Paths]\r\nApp=\r\n"
                        "配置=[App]IniFiles\\\r\n程序=[App]Bin\\\r\n"_s;
    KvTest::WriteBytes(folder + u"/App"_s, Gbk::Encode(app));
    auto info = std::make_unique<TAppGlobalInfo>();
    info->WriteBackOnFree = false;
    if (!info->Initialize(folder, {}))
        return nullptr;
    return info;
}

void TestExternalTools::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields"); // title, description, program, shortcut, reserved
    QTest::addColumn<bool>("writtenBack");   // formatting gives the line again

    QTest::newRow("shipped Restorix") << u"备份与恢复=[App]Restorix.exe|Ctrl+B||备份与恢复"_s
        << QStringList{u"备份与恢复"_s, u"备份与恢复"_s, u"[App]Restorix.exe"_s, u"Ctrl+B"_s, QString()} << true;
    QTest::newRow("shipped calculator") << u"Windows计算器=[程序]calc.exe|||打开Windows计算器"_s
        << QStringList{u"Windows计算器"_s, u"打开Windows计算器"_s, u"[程序]calc.exe"_s, QString(), QString()} << true;
    QTest::newRow("reserved field") << u"T=p|Alt+F1|keep|d"_s
        << QStringList{u"T"_s, u"d"_s, u"p"_s, u"Alt+F1"_s, u"keep"_s} << true;
    QTest::newRow("description holds separators") << u"T=p|||a=b|c"_s
        << QStringList{u"T"_s, u"a=b|c"_s, u"p"_s, QString(), QString()} << true;
    // Without "|" the text after "=" is the description, not the program.
    QTest::newRow("no bar") << u"记事本=gedit 说明"_s
        << QStringList{u"记事本"_s, u"gedit 说明"_s, QString(), QString(), QString()} << false;
    QTest::newRow("one bar") << u"T=prog|rest"_s
        << QStringList{u"T"_s, u"rest"_s, u"prog"_s, QString(), QString()} << false;
    QTest::newRow("no equals") << u"prog|Ctrl+X||d"_s
        << QStringList{QString(), u"d"_s, u"prog"_s, u"Ctrl+X"_s, QString()} << false;
    QTest::newRow("equals in program") << u"T=a=b|||"_s
        << QStringList{u"T"_s, QString(), u"a=b"_s, QString(), QString()} << true;
    QTest::newRow("empty") << QString() << QStringList{QString(), QString(), QString(), QString(), QString()} << false;
}

void TestExternalTools::parseLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QFETCH(bool, writtenBack);
    // A full line parsed first must leave nothing behind in the next one.
    ParseToolLine(u"旧=old|Ctrl+O|r|old description"_s);
    const TExternalProgram tool = ParseToolLine(line);
    QCOMPARE((QStringList{tool.Title, tool.Description, tool.Program, tool.ShortCut, tool.Reserved}), fields);
    QCOMPARE(FormatToolLine(tool) == line, writtenBack);
    QCOMPARE(ParseToolLine(FormatToolLine(tool)), tool);
}

void TestExternalTools::shortCutBothWays_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("key");
    const auto row = [](const QString& text, QKeyCombination key) {
        QTest::newRow(qPrintable(text)) << text << QKeySequence(key);
    };
    row(u"Ctrl+B"_s, Qt::CTRL | Qt::Key_B);
    row(u"Shift+Ctrl+Alt+F12"_s, Qt::SHIFT | Qt::CTRL | Qt::ALT | Qt::Key_F12);
    row(u"Alt+0"_s, Qt::ALT | Qt::Key_0);
    row(u"Shift+F1"_s, Qt::SHIFT | Qt::Key_F1);
    row(u"F5"_s, QKeyCombination(Qt::Key_F5));
    const QList<std::pair<QString, Qt::Key>> named{
        {u"BkSp"_s, Qt::Key_Backspace}, {u"Tab"_s, Qt::Key_Tab},     {u"Esc"_s, Qt::Key_Escape},
        {u"Enter"_s, Qt::Key_Return},   {u"Space"_s, Qt::Key_Space}, {u"PgUp"_s, Qt::Key_PageUp},
        {u"PgDn"_s, Qt::Key_PageDown},  {u"End"_s, Qt::Key_End},     {u"Home"_s, Qt::Key_Home},
        {u"Left"_s, Qt::Key_Left},      {u"Up"_s, Qt::Key_Up},       {u"Right"_s, Qt::Key_Right},
        {u"Down"_s, Qt::Key_Down},      {u"Ins"_s, Qt::Key_Insert},  {u"Del"_s, Qt::Key_Delete},
    };
    for (const auto& [name, key] : named)
        row(u"Ctrl+"_s + name, Qt::CTRL | key);
}

void TestExternalTools::shortCutBothWays()
{
    QFETCH(QString, text);
    QFETCH(QKeySequence, key);
    QCOMPARE(TextToShortCut(text), key);
    QCOMPARE(ShortCutToText(key), text);
}

void TestExternalTools::shortCutTextOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readsAs"); // empty: no shortcut

    QTest::newRow("any case") << u"ctrl+b"_s << u"Ctrl+B"_s;
    QTest::newRow("any order") << u"Alt+Shift+Ctrl+Del"_s << u"Shift+Ctrl+Alt+Del"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("modifier only") << u"Ctrl+"_s << QString();
    QTest::newRow("Qt's Backspace") << u"Ctrl+Backspace"_s << QString();
    QTest::newRow("Qt's PgDown") << u"Ctrl+PgDown"_s << QString();
    QTest::newRow("Qt's Return") << u"Ctrl+Return"_s << QString();
    QTest::newRow("Meta") << u"Meta+B"_s << QString();
    QTest::newRow("F13") << u"F13"_s << QString();
    QTest::newRow("F01") << u"F01"_s << QString();
    QTest::newRow("punctuation") << u"Ctrl+;"_s << QString();
    QTest::newRow("two keys") << u"Ctrl+AB"_s << QString();
    QTest::newRow("blank around") << u" Ctrl+B"_s << QString();
}

void TestExternalTools::shortCutTextOnly()
{
    QFETCH(QString, text);
    QFETCH(QString, readsAs);
    const QKeySequence key = TextToShortCut(text);
    QCOMPARE(key.isEmpty(), readsAs.isEmpty());
    QCOMPARE(ShortCutToText(key), readsAs);
}

void TestExternalTools::shortCutKeyOnly_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("text");
    // Keys Qt reports on their own, written with the names the file knows.
    QTest::newRow("Shift+Tab") << QKeySequence(Qt::SHIFT | Qt::Key_Backtab) << u"Shift+Tab"_s;
    QTest::newRow("keypad Enter") << QKeySequence(Qt::CTRL | Qt::Key_Enter) << u"Ctrl+Enter"_s;
    QTest::newRow("Meta is not written") << QKeySequence(Qt::META | Qt::CTRL | Qt::Key_B) << u"Ctrl+B"_s;
    QTest::newRow("no name") << QKeySequence(Qt::CTRL | Qt::Key_F13) << QString();
    QTest::newRow("punctuation") << QKeySequence(Qt::CTRL | Qt::Key_Semicolon) << QString();
    QTest::newRow("none") << QKeySequence() << QString();
}

void TestExternalTools::shortCutKeyOnly()
{
    QFETCH(QKeySequence, key);
    QFETCH(QString, text);
    QCOMPARE(ShortCutToText(key), text);
}

void TestExternalTools::toolsFile()
{
    const QString path = FDir.path() + u"/tools.lst"_s;
    const QByteArray shipped = Gbk::Encode(u"备份与恢复=[App]Restorix|Ctrl+B||备份与恢复\r\n"
                                           "计算器=galculator|||打开计算器\r\n"_s);
    QVERIFY(KvTest::WriteBytes(path, shipped));

    TkvToolList tools;
    tools.LoadFromFile(path);
    QCOMPARE(tools.Lines, (QStringList{u"备份与恢复=[App]Restorix|Ctrl+B||备份与恢复"_s, u"计算器=galculator|||打开计算器"_s}));
    tools.SaveToFile(path);
    QCOMPARE(KvTest::ReadBytes(path), shipped);

    // Bare LF, a last line without its end and blank lines read as the same tools.
    QVERIFY(KvTest::WriteBytes(path, Gbk::Encode(u"\r\nA=a|||\n\nB=b|||"_s)));
    tools.LoadFromFile(path);
    QCOMPARE(tools.Lines, (QStringList{u"A=a|||"_s, u"B=b|||"_s}));

    tools.Lines.clear();
    tools.SaveToFile(path);
    QVERIFY(QFile::exists(path));
    QCOMPARE(KvTest::ReadBytes(path), QByteArray());

    tools.Lines = QStringList{u"x=y|||"_s};
    tools.LoadFromFile(FDir.path() + u"/missing.lst"_s);
    QVERIFY(tools.Lines.isEmpty());
}

void TestExternalTools::toolsFileErrors()
{
    TkvToolList tools;
    tools.Lines = QStringList{u"A=a|||"_s};
    // A folder where the file should be: the write fails with the file's name.
    const QString folder = FDir.path() + u"/folder.lst"_s;
    QDir().mkpath(folder);
    try {
        tools.SaveToFile(folder);
        QFAIL("no error");
    } catch (const EFileError& e) {
        QVERIFY2(e.Message.contains(u"folder.lst"_s), qPrintable(e.Message));
    }
}

void TestExternalTools::commandLine_data()
{
    QTest::addColumn<QString>("folder"); // the installation, under the temporary folder
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("started"); // "@" stands for the installation folder
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("Restorix") << u"inst"_s << u"[App]Restorix"_s << u"@/Restorix"_s << QStringList();
    QTest::newRow("configured folder") << u"inst"_s << u"[程序]calc.exe"_s << u"@/Bin/calc.exe"_s << QStringList();
    QTest::newRow("search path") << u"inst"_s << u"galculator"_s << u"galculator"_s << QStringList();
    QTest::newRow("arguments") << u"inst"_s << u"gedit \"[配置]Setup.ini\" --new-window"_s << u"gedit"_s
                               << QStringList{u"@/IniFiles\\Setup.ini"_s, u"--new-window"_s};
    QTest::newRow("blank in folder") << u"My Apps"_s << u"[App]Restorix -x"_s << u"@/Restorix"_s
                                     << QStringList{u"-x"_s};
    QTest::newRow("quoted path") << u"inst"_s << u"\"/opt/My Tool/run\""_s << u"/opt/My Tool/run"_s << QStringList();
    QTest::newRow("no program") << u"inst"_s << QString() << QString() << QStringList();
}

void TestExternalTools::commandLine()
{
    QFETCH(QString, folder);
    QFETCH(QString, program);
    QFETCH(QString, started);
    QFETCH(QStringList, arguments);
    const QString root = FDir.path() + u'/' + folder;
    const auto info = configuration(root);
    QVERIFY(info);
    const TToolCommandLine command = ToolCommandLine(u"T="_s + program + u"|Ctrl+T||d"_s, *info);
    QCOMPARE(command.Program, QString(started).replace(u"@"_s, root));
    QCOMPARE(command.Arguments, arguments.replaceInStrings(u"@"_s, root));
}

void TestExternalTools::launch()
{
    const QString root = FDir.path() + u"/launch"_s;
    const auto info = configuration(root);
    QVERIFY(info);
    const QStringList lines{u"没有=|||"_s, u"建立=touch [App]started|||"_s};
    LaunchTool(lines, 0, *info);  // no program: nothing to start
    LaunchTool(lines, 7, *info);  // past the end: nothing
    LaunchTool(lines, 1, *info);  // started, not waited for
    QTRY_VERIFY(QFile::exists(root + u"/started"_s));
}

QTEST_GUILESS_MAIN(TestExternalTools)
#include "tst_externaltools.moc"
