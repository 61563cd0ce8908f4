// The base-data module over a copy of the staged installation's tables.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "KvTestSupport.h"
#include "qxErrors.h"
#include "qxScriptedPrompter.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDataModule : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void shippedLists();
    void clipboard();
    void clipboardSkipsVanishedRows();
    void copyItemFieldsNeedsTables();
    void itemWithoutNameIsRefused();
    void newCategoryDefaults();
    void destroyRules_data();
    void destroyRules();
    void damagedTableFile_data();
    void damagedTableFile();
    void failedSaveAtExit();

private:
    QString file(const QString& name) const { return FDir.path() + u"/Data/"_s + name; }
    void create();
    QList<TqxBookmark> itemBookmarks(int count);

    QTemporaryDir FDir;
    std::unique_ptr<TAppGlobalInfo> FInfo;
    std::unique_ptr<TDataModule_Data> FData;
    std::unique_ptr<TqxScriptedPrompter> FPrompter;
    QList<int> FCounts;
};

void TestDataModule::init()
{
    // A private copy of the shipped App file and tables, so tests may change them.
    const QString stage = qEnvironmentVariable("KV_PRISTINE_STAGE_DIR");
    QDir(FDir.path()).removeRecursively();
    QDir().mkpath(FDir.path() + u"/Data"_s);
    QVERIFY(QFile::copy(stage + u"/App"_s, FDir.path() + u"/App"_s));
    for (const QString& f : {u"ItemsDB"_s, u"ItemCateDB"_s, u"MeasureUnit"_s, u"MemoDB"_s, u"WordsDb"_s})
        QVERIFY(QFile::copy(stage + u"/Data/"_s + f, file(f)));
    FPrompter = std::make_unique<TqxScriptedPrompter>();
    FInfo = std::make_unique<TAppGlobalInfo>();
    FInfo->WriteBackOnFree = false;
    QVERIFY(FInfo->Initialize(FDir.path(), {}));
    FCounts.clear();
}

void TestDataModule::cleanup()
{
    FData.reset();
    FInfo.reset();
    FPrompter.reset();
}

void TestDataModule::create()
{
    FData = std::make_unique<TDataModule_Data>();
    FData->OnClipboardCount = [this](int count) { FCounts << count; };
    FData->DataModuleCreate(*FInfo);
}

QList<TqxBookmark> TestDataModule::itemBookmarks(int count)
{
    QList<TqxBookmark> rows;
    for (int i = 1; i <= count; ++i) {
        FData->CDS_SYSItems.SetRecNo(i);
        rows << FData->CDS_SYSItems.GetBookmark();
    }
    return rows;
}

void TestDataModule::shippedLists()
{
    create();
    QCOMPARE(FData->CDS_SYSItems.RecordCount(), 292);
    QCOMPARE(FData->CDS_SYSItems.IndexFieldNames(), u"项目类别;项目名称"_s);
    QCOMPARE(FData->CDS_Memos.IndexFieldNames(), u"备注"_s);

    QStringList places{u"已有"_s}; // lists are appended to, not replaced
    FData->ListPlaces(places);
    QCOMPARE(places.size(), 17);
    QCOMPARE(places[1], u"厨房"_s);
    QCOMPARE(places.last(), u"整体"_s);

    QStringList kinds;
    FData->ListItemCategories(kinds);
    QCOMPARE(kinds.size(), 13);
    QCOMPARE(kinds.first(), u"材料"_s);
    QCOMPARE(kinds.last(), u"装修工程"_s);

    QStringList words;
    FData->ListWords(u"项目名称"_s, words);
    QCOMPARE(words, (QStringList{u"木"_s, u"安装"_s, u"修理"_s, u"砌"_s, u"安装"_s}));

    QStringList units;
    FData->ListUnits(units);
    QCOMPARE(units.size(), 18);
    QCOMPARE(units.first(), u"立方米"_s);
    QCOMPARE(units.last(), u"M*M"_s);
}

void TestDataModule::clipboard()
{
    create();
    TqxDataSet& items = FData->CDS_SYSItems;
    const QList<TqxBookmark> rows = itemBookmarks(3);
    items.SetRecNo(5);
    const TqxBookmark keep = items.GetBookmark();
    FData->CopyToClipboard(rows, &items);
    QCOMPARE(FData->ClipboardCount(), 3);
    QCOMPARE(FCounts, QList<int>{3});
    QCOMPARE(items.CompareBookmarks(items.GetBookmark(), keep), 0); // the source stays where it was

    TqxDataSet target;
    target.SetFieldDefs(TDataModule_Data::ItemFieldDefs());
    target.CreateDataSet();
    QCOMPARE(FData->PasteFromClipboard(&target, -1), 3);
    QCOMPARE(target.RecordCount(), 3);
    items.SetRecNo(1);
    target.First();
    QCOMPARE(target.FieldByName(u"项目名称"_s)->AsString(), items.FieldByName(u"项目名称"_s)->AsString());
    QCOMPARE(target.FieldByName(u"单价"_s)->AsFloat(), items.FieldByName(u"单价"_s)->AsFloat());
    QVERIFY(target.FieldByName(u"查询码"_s)->IsNull()); // not among the copied fields

    target.Append(); // the caller appends; the paste fills it
    QCOMPARE(FData->PasteFromClipboard(&target, 1), 1);
    items.SetRecNo(2);
    QCOMPARE(target.FieldByName(u"项目名称"_s)->AsString(), items.FieldByName(u"项目名称"_s)->AsString());
    QCOMPARE(target.RecordCount(), 4);
    QCOMPARE(FData->PasteFromClipboard(&target, 3), 0); // index equal to the count
    QCOMPARE(target.RecordCount(), 4);

    FData->DeleteClipboardItem();
    FData->ClearClipboard();
    FData->DeleteClipboardItem(); // empty: nothing, no notice
    QCOMPARE(FCounts, (QList<int>{3, 2, 0}));
}

void TestDataModule::clipboardSkipsVanishedRows()
{
    create();
    TqxDataSet& items = FData->CDS_SYSItems;
    const QList<TqxBookmark> rows = itemBookmarks(3);
    items.GotoBookmark(rows[1]);
    items.Delete();
    FData->CopyToClipboard(rows, &items);
    QCOMPARE(FData->ClipboardCount(), 2);
    QCOMPARE(FPrompter->MessageTexts(), QStringList{u"记录已经不存在!"_s});
    QCOMPARE(FPrompter->Last().message.Caption, u"出错"_s);
}

void TestDataModule::copyItemFieldsNeedsTables()
{
    create();
    try {
        TDataModule_Data::CopyItemFields(&FData->CDS_SYSItems, nullptr);
        QFAIL("a missing table must be refused");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"空数据集！"_s);
    }
}

void TestDataModule::itemWithoutNameIsRefused()
{
    create();
    TqxDataSet& items = FData->CDS_SYSItems;
    items.Append();
    items.FieldByName(u"单价"_s)->SetAsFloat(12);
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, items.Post());
    QCOMPARE(items.State(), TqxDataSetState::Browse);
    QCOMPARE(items.RecordCount(), 292);

    items.First();
    const QString name = items.FieldByName(u"项目名称"_s)->AsString();
    items.Edit();
    items.FieldByName(u"项目名称"_s)->Clear();
    try {
        items.Post();
        QFAIL("an item without a name must be refused");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"保存项目出错：项目名称不能为空！"_s);
    }
    QCOMPARE(items.FieldByName(u"项目名称"_s)->AsString(), name);
    QCOMPARE(items.ChangeCount(), 0);

    // A window's own clone carries only the rules it gives itself.
    TqxDataSet clone;
    clone.CloneCursor(items);
    clone.Append();
    clone.FieldByName(u"单价"_s)->SetAsFloat(1);
    clone.Post();
    QCOMPARE(items.RecordCount(), 293);
}

void TestDataModule::newCategoryDefaults()
{
    create();
    TqxDataSet& cates = FData->CDS_SYSItemCate;
    cates.Append();
    QVERIFY(cates.FieldByName(u"父类别"_s)->IsNull());
    QVERIFY(!cates.FieldByName(u"系统"_s)->IsNull());
    QCOMPARE(cates.FieldByName(u"系统"_s)->AsBoolean(), false);
    cates.Cancel();
}

void TestDataModule::destroyRules_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("save items") << int(mbYes);
    QTest::newRow("drop items") << int(mbNo);
}

void TestDataModule::destroyRules()
{
    QFETCH(int, answer);
    const QByteArray items = KvTest::ReadBytes(file(u"ItemsDB"_s));
    const QByteArray units = KvTest::ReadBytes(file(u"MeasureUnit"_s));
    create();
    auto change = [](TqxDataSet& t, const QString& field, const QString& value) {
        t.First();
        t.Edit();
        t.FieldByName(field)->SetAsString(value);
        t.Post();
    };
    change(FData->CDS_SYSItems, u"项目名称"_s, u"改过的项目"_s);
    change(FData->CDS_SYSItemCate, u"查询码"_s, u"xx"_s);
    change(FData->CDS_Memos, u"查询码"_s, u"yy"_s);
    change(FData->CDS_MeasureUnit, u"查询码"_s, u"zz"_s);
    FPrompter->AnswerButton(answer);
    FData->DataModuleDestroy();

    QCOMPARE(FPrompter->Records.size(), size_t(1)); // only the item library is asked about
    const TMessageRequest& q = FPrompter->Last().message;
    QCOMPARE(q.Text, u"系统项目数据库已被修改，是否保存？"_s);
    QCOMPARE(q.Caption, u"保存"_s);
    QCOMPARE(q.Buttons, mbYes | mbNo);

    TqxDataSet check;
    check.LoadFromFile(file(u"ItemCateDB"_s));
    QCOMPARE(check.FieldByName(u"查询码"_s)->AsString(), u"xx"_s);
    check.LoadFromFile(file(u"MemoDB"_s));
    QVERIFY(check.Locate(u"查询码"_s, u"yy"_s));
    QCOMPARE(KvTest::ReadBytes(file(u"MeasureUnit"_s)), units); // saved only by its own window
    if (answer == mbYes) {
        check.LoadFromFile(file(u"ItemsDB"_s));
        QVERIFY(check.Locate(u"项目名称"_s, u"改过的项目"_s));
    } else {
        QCOMPARE(KvTest::ReadBytes(file(u"ItemsDB"_s)), items);
    }
}

void TestDataModule::damagedTableFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("no packet") << QByteArray("this is no table") << u"MemoDB"_s;
    TqxDataSet other; // a sound packet of another table
    other.SetFieldDefs(TDataModule_Data::WordFieldDefs());
    other.CreateDataSet();
    QTest::newRow("another table") << other.SaveToBytes() << u"缺少字段“项目类别”"_s;
}

void TestDataModule::damagedTableFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QVERIFY(KvTest::WriteBytes(file(u"MemoDB"_s), bytes));
    create();
    QCOMPARE(FPrompter->Records.size(), size_t(1));
    QVERIFY2(FPrompter->Last().message.Text.contains(message), qPrintable(FPrompter->Last().message.Text));
    QCOMPARE(FPrompter->Last().message.Icon, TMsgIcon::Error);
    // The damaged table is empty but usable; the ones after it in the opening order still load.
    QVERIFY(FData->CDS_Memos.Active());
    QCOMPARE(FData->CDS_Memos.RecordCount(), 0);
    QCOMPARE(FData->CDS_Memos.FieldCount(), 3);
    QCOMPARE(FData->CDS_Words.RecordCount(), 6);
    QCOMPARE(FData->CDS_SYSItems.RecordCount(), 292);
    QCOMPARE(FData->CDS_SYSItemCate.RecordCount(), 41);
    // Nothing unsaved: the damaged file is not overwritten at exit.
    FData->DataModuleDestroy();
    QCOMPARE(KvTest::ReadBytes(file(u"MemoDB"_s)), bytes);
}

void TestDataModule::failedSaveAtExit()
{
    create();
    for (TqxDataSet* t : {&FData->CDS_SYSItemCate, &FData->CDS_SYSItems, &FData->CDS_Memos}) {
        t->First();
        t->Edit();
        t->FieldByName(u"查询码"_s)->SetAsString(u"qq"_s);
        t->Post();
    }
    // The category file cannot be replaced: a folder stands in its place.
    QVERIFY(QFile::remove(file(u"ItemCateDB"_s)));
    QVERIFY(QDir().mkdir(file(u"ItemCateDB"_s)));
    FPrompter->AnswerButton(mbYes);
    FData->DataModuleDestroy();

    // Told, and the other tables are still asked about and saved.
    QCOMPARE(FPrompter->Records.size(), size_t(2));
    QCOMPARE(FPrompter->Records[0].message.Caption, u"保存失败"_s);
    QVERIFY2(FPrompter->Records[0].message.Text.contains(u"ItemCateDB"_s), qPrintable(FPrompter->Records[0].message.Text));
    QCOMPARE(FPrompter->Records[1].message.Text, u"系统项目数据库已被修改，是否保存？"_s);
    TqxDataSet check;
    check.LoadFromFile(file(u"ItemsDB"_s));
    QVERIFY(check.Locate(u"查询码"_s, u"qq"_s));
    check.LoadFromFile(file(u"MemoDB"_s));
    QVERIFY(check.Locate(u"查询码"_s, u"qq"_s));
}

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"
