// The installer's file list and its desktop integration, without a window.

#include "SetupTestSupport.h"
#include "kvDesktop.h"
#include "kvFilesList.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

class TestSetupFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parseLine_data();
    void parseLine();
    void macroFolders();
    void shippedList();
    void shortcut_data();
    void shortcut();
    void shortcutMenuFolder();
    void mimePackage();
};

void TestSetupFiles::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("isFile");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");

    QTest::newRow("folder") << u"<DIR>[PROGRAM]Data\\"_s << true << false << QString() << u"/p/Data\\"_s;
    QTest::newRow("kind ignores case") << u"  <dir>[PROJECT]  "_s << true << false << QString() << u"/w/"_s;
    QTest::newRow("file") << u"<FILE>APP=[PROGRAM]App"_s << true << true << u"APP"_s << u"/p/App"_s;
    QTest::newRow("file kind ignores case") << u"<File>SAMPLE=[PROJECT]预算示例.KVP"_s << true << true << u"SAMPLE"_s
                                            << u"/w/预算示例.KVP"_s;
    QTest::newRow("unknown macro is empty") << u"<FILE>X=[NOSUCH]x.ini"_s << true << true << u"X"_s << u"x.ini"_s;
    QTest::newRow("empty") << u"   "_s << false << false << QString() << QString();
    QTest::newRow("comment") << u";<DIR>[PROGRAM]"_s << false << false << QString() << QString();
    QTest::newRow("no kind") << u"[PROGRAM]Data\\"_s << false << false << QString() << QString();
    QTest::newRow("other kind") << u"<REG>HKCU=1"_s << false << false << QString() << QString();
}

void TestSetupFiles::parseLine()
{
    QFETCH(QString, line);
    QFETCH(bool, kept);
    TkvMacroList macros;
    macros.SetFolder(u"PROGRAM"_s, u"/p"_s);
    macros.SetFolder(u"PROJECT"_s, u"/w/"_s);
    const auto entry = ParseFileListLine(line, macros);
    QCOMPARE(entry.has_value(), kept);
    if (!entry)
        return;
    QTEST(entry->kind == TkvFileEntry::File, "isFile");
    QTEST(entry->name, "name");
    QTEST(entry->path, "path");
}

void TestSetupFiles::macroFolders()
{
    TkvMacroList macros;
    macros.SetFolder(u"PROGRAM"_s, u"/opt/Kavelin"_s);
    macros.SetFolder(u"PROJECT"_s, u"/home/u/工程/"_s);
    QCOMPARE(macros.Value(u"program"_s), u"/opt/Kavelin/"_s);
    QCOMPARE(macros.Value(u"PROJECT"_s), u"/home/u/工程/"_s);
    QCOMPARE(FileSystem::NativePath(macros.Expand(u"[PROGRAM]IniFiles\\Grids\\"_s)), u"/opt/Kavelin/IniFiles/Grids/"_s);
    // A folder whose own value names it again stops instead of growing forever.
    macros.SetFolder(u"LOOP"_s, u"[LOOP]x"_s);
    QVERIFY(macros.Expand(u"[LOOP]y"_s).size() < 40);
}

void TestSetupFiles::shippedList()
{
    // The shipped list in its order: ten folders, then every embedded file;
    // the table-store library of the other platform is compiled into the
    // programs here and has no line.
    const QStringList lines = SetupTest::ShippedLines();
    QCOMPARE(lines.size(), 32);
    QStringList names;
    TkvMacroList none;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto entry = ParseFileListLine(lines.at(i), none);
        QVERIFY2(entry, qPrintable(lines.at(i)));
        QCOMPARE(entry->kind, i < 10 ? TkvFileEntry::Dir : TkvFileEntry::File);
        if (entry->kind == TkvFileEntry::File)
            names << entry->name;
    }
    QCOMPARE(names, (QStringList{u"LICENSE"_s, u"RESTORIX"_s, u"KAVELIN"_s, u"APP"_s, u"EXTERNALPROGRAM"_s,
                                 u"SETUP"_s, u"ITEMCATEDB"_s, u"ITEMSDB"_s, u"MEASUREUNIT"_s, u"MEMODB"_s,
                                 u"PRINTYSS_KIND"_s, u"PRINTYSS_NOGROUP"_s, u"PRINTYSS_PLACE"_s, u"PROJECTCOVER"_s,
                                 u"PROJECTINFO"_s, u"PROJECTQFB"_s, u"STANDARD"_s, u"WORDSDB"_s, u"TAG"_s,
                                 u"FLASH"_s, u"EVERYDAYTIP"_s, u"SAMPLE"_s}));
    QVERIFY(!lines.join(u'\n').contains(u"MIDAS"_s));
    QVERIFY(!lines.join(u'\n').contains(u".exe"_s, Qt::CaseInsensitive));

    // Every file is in the stage, whatever the letter case the list writes it in.
    for (const QString& line : lines) {
        const auto entry = ParseFileListLine(line, none);
        if (entry->kind != TkvFileEntry::File)
            continue;
        QVERIFY2(!SetupTest::StagedFile(line).isEmpty(), qPrintable(line));
    }
}

void TestSetupFiles::shortcut_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("subfolder");
    QTest::addColumn<QString>("expected"); // relative to the home; empty: no entry
    QTest::newRow("desktop") << int(skDesktop) << QString() << u"Desktop/Kavelin 1.0.desktop"_s;
    QTest::newRow("programs") << int(skPrograms) << u"Kavelin"_s
                              << u".local/share/applications/Kavelin/Kavelin 1.0.desktop"_s;
    QTest::newRow("start menu") << int(skStartMenu) << QString() << u".local/share/applications/Kavelin 1.0.desktop"_s;
    QTest::newRow("startup") << int(skStartup) << QString() << u".config/autostart/Kavelin 1.0.desktop"_s;
    QTest::newRow("quick launch") << int(skQuickLaunch) << QString() << QString();
}

void TestSetupFiles::shortcut()
{
    QFETCH(int, kind);
    QFETCH(QString, subfolder);
    QFETCH(QString, expected);
    QTemporaryDir home;
    const TkvDesktopFolders folders = TkvDesktopFolders::ForHome(home.path());
    // A program folder with the characters an Exec line must quote.
    const QString program = home.path() + u"/Orbelle软件/my \"best\" $HOME`x` 100%/Kavelin"_s;
    const bool made = CreateShortcut(folders, program, u"Kavelin 1.0"_s, u"Orbelle家装系列软件－Kavelin"_s, kind,
                                     subfolder, {QString::fromUtf16(kMimeProject)}, home.path() + u"/Tag.ico"_s);
    QCOMPARE(made, !expected.isEmpty());
    if (expected.isEmpty())
        return;
    const QString path = home.path() + u'/' + expected;
    QCOMPARE(ShortcutPath(folders, program, u"Kavelin 1.0"_s, kind, subfolder), path);
    QCOMPARE(SetupTest::ValidateDesktopEntry(path), QString());

    const QString text = QString::fromUtf8(KvTest::ReadBytes(path));
    QVERIFY(text.contains(u"\nName=Kavelin 1.0\n"_s));
    QVERIFY(text.contains(u"\nComment=Orbelle家装系列软件－Kavelin\n"_s));
    QVERIFY(text.contains(u"\nMimeType=application/x-kavelin-project;\n"_s));
    // The string escapes turn each "\\" back into one "\", leaving the
    // quoting of the Exec line: \" \$ \` \\ inside the double quotes.
    QVERIFY2(text.contains(u"\nExec=\"" + home.path() +
                           u"/Orbelle软件/my \\\\\"best\\\\\" \\\\$HOME\\\\`x\\\\` 100%%/Kavelin\" %f\n"_s),
             qPrintable(text));
    QCOMPARE(QFileInfo(path).isExecutable(), kind == skDesktop);
}

void TestSetupFiles::shortcutMenuFolder()
{
    QTemporaryDir home;
    const TkvDesktopFolders folders = TkvDesktopFolders::ForHome(home.path());
    QVERIFY(CreateShortcut(folders, u"/opt/k/Kavelin"_s, u"Kavelin 1.0(测试版)"_s, QString(), skPrograms, u"Kavelin"_s));
    QVERIFY(CreateShortcut(folders, u"/opt/k/Restorix"_s, QString(), QString(), skPrograms, u"Kavelin"_s));
    QVERIFY(QFileInfo::exists(home.path() + u"/.local/share/applications/Kavelin/Restorix.desktop"_s));
    // The entries of the subfolder gather in a menu of its name.
    const QString menu =
        QString::fromUtf8(KvTest::ReadBytes(home.path() + u"/.config/menus/applications-merged/Orbelle-Kavelin.menu"_s));
    QVERIFY(menu.contains(u"<Name>Kavelin</Name>"_s));
    QVERIFY(menu.contains(u"<Filename>Kavelin-Kavelin 1.0(测试版).desktop</Filename>"_s));
    QVERIFY(menu.contains(u"<Filename>Kavelin-Restorix.desktop</Filename>"_s));
    QCOMPARE(SetupTest::ValidateDesktopEntry(home.path() + u"/.local/share/desktop-directories/Orbelle-Kavelin.directory"_s),
             QString());
    // Without a target the entry is named as the other platform names it.
    QVERIFY(CreateShortcut(folders, QString(), QString(), QString(), skStartup, QString()));
    QVERIFY(QFileInfo::exists(home.path() + u"/.config/autostart/我的电脑.desktop"_s));
}

void TestSetupFiles::mimePackage()
{
    QXmlStreamReader xml(MimePackage());
    QMap<QString, QString> globs;
    QString type;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"mime-type"_s)
            type = xml.attributes().value(u"type"_s).toString();
        else if (xml.name() == u"glob"_s)
            globs.insert(xml.attributes().value(u"pattern"_s).toString(), type);
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(globs.value(u"*.KVP"_s), QString::fromUtf16(kMimeProject));
    QCOMPARE(globs.value(u"*.KVT"_s), QString::fromUtf16(kMimeTemplate));
    QCOMPARE(globs.value(u"*.KVB"_s), QString::fromUtf16(kMimeBackup));
}

QTEST_GUILESS_MAIN(TestSetupFiles)
#include "tst_setup_files.moc"
