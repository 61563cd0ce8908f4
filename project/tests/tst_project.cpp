// The project document: opening, new documents, saving and the round trip of
// every section, passwords, grid layout texts, the modified state and its
// notices, and the fee computation as the user starts it.

#include "GbkText.h"
#include "KvTestSupport.h"
#include "kvProject.h"
#include "qxErrors.h"
#include "qxNotices.h"
#include "qxScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestProject : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void openSample();
    void viewProperty_data();
    void viewProperty();
    void newFromTemplate();
    void roundTripKeepsEverySection();
    void newProjectSavedReopens();
    void saveAsWritesACopy();
    void failedSaveKeepsDocumentAndFile();
    void password_data();
    void password();
    void notAProjectFile();
    void damagedPacket_data();
    void damagedPacket();
    void gridLayout_data();
    void gridLayout();
    void gridLayoutFormat();
    void modifiedNotices();
    void feeComputation();

private:
    QString sample() const { return FDir.filePath(u"预算示例.KVP"_s); }
    QString standard() const { return FDir.filePath(u"Standard.kvt"_s); }
    // The sample with one change made through the container.
    QString variant(const std::function<void(TKVFile&)>& change);
    static QStringList rows(TqxDataSet& t);

    QTemporaryDir FDir;
};

void TestProject::init()
{
    QVERIFY(FDir.isValid());
    const QString stage = qEnvironmentVariable("KV_PRISTINE_STAGE_DIR");
    QFile::remove(sample());
    QFile::remove(standard());
    QVERIFY(QFile::copy(stage + u"/工程/预算示例.KVP"_s, sample()));
    QVERIFY(QFile::copy(stage + u"/Data/Standard.kvt"_s, standard()));
    QFile::setPermissions(sample(), QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(standard(), QFile::ReadOwner | QFile::WriteOwner);
}

QString TestProject::variant(const std::function<void(TKVFile&)>& change)
{
    TKVFile file;
    file.LoadFromFile(sample());
    change(file);
    const QString path = FDir.filePath(u"变体.KVP"_s);
    file.SaveToFile(path);
    return path;
}

QStringList TestProject::rows(TqxDataSet& t)
{
    QStringList out;
    for (t.First(); !t.Eof(); t.Next()) {
        QStringList values;
        for (int i = 0; i < t.FieldCount(); ++i)
            values << t.Fields(i)->AsString();
        out << values.join(u'|');
    }
    out.sort();
    return out;
}

void TestProject::openSample()
{
    TqxScriptedPrompter prompter;
    kvProject doc;
    QList<int> notices;
    doc.OnNotify = [&](int code) { notices << code; };
    QVERIFY(doc.OpenFile(sample()));
    QCOMPARE(doc.ProjectInfo.Value(u"工程名称"_s), u"工程预算样本"_s);
    QCOMPARE(doc.Caption(), u"工程预算样本"_s);
    QCOMPARE(doc.View(), kvProject::ViewPlace);
    QCOMPARE(doc.kvYssDS_Main.GroupCount(), 7);
    QCOMPARE(doc.kvQfbDS.RecordCount(), 4);
    QVERIFY(doc.InputPanel);
    QVERIFY(!doc.Remarks.isEmpty());
    QVERIFY(!doc.Modified());
    QVERIFY(!doc.Loading());
    QVERIFY(!notices.contains(cnModified));
    QCOMPARE(notices.last(), int(cnCaptionChanged));
    QVERIFY(prompter.Records.empty());

    // "工程直接费" and row numbers reach the evaluator through the document.
    QVERIFY(doc.RunFeeComputation());
    QCOMPARE(doc.kvQfbDS.AmountOfRow(1), doc.kvYssDS_Main.TotalAmount());
    QCOMPARE(doc.kvQfbDS.AmountOfRow(4), 203309.04);
}

void TestProject::viewProperty_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("view");
    QTest::addColumn<int>("groups");
    QTest::newRow("place") << u"施工地点"_s << kvProject::ViewPlace << 7;
    QTest::newRow("missing") << QString() << kvProject::ViewKind << 0;
    QTest::newRow("unknown") << u"楼层"_s << kvProject::ViewKind << 0;
}

void TestProject::viewProperty()
{
    QFETCH(QString, stored);
    QFETCH(QString, view);
    QFETCH(int, groups);
    TqxScriptedPrompter prompter;
    kvProject doc;
    QVERIFY(doc.OpenFile(variant([&](TKVFile& f) {
        f.WriteValue(u"视图"_s, QString()); // removes the line
        if (!stored.isEmpty())
            f.WriteValue(u"视图"_s, stored);
    })));
    QCOMPARE(doc.View(), view);
    if (groups)
        QCOMPARE(doc.kvYssDS_Main.GroupCount(), groups);
    else
        QVERIFY(doc.kvYssDS_Main.GroupCount() > 0);
}

void TestProject::newFromTemplate()
{
    TqxScriptedPrompter prompter;
    kvProject doc;
    doc.NewFromFile(standard());
    QVERIFY(doc.IsNew());
    QCOMPARE(doc.Caption(), u"新工程"_s);
    QCOMPARE(doc.View(), kvProject::ViewKind);
    QCOMPARE(doc.kvYssDS_Main.RecordCount(), 0);
    QCOMPARE(doc.kvQfbDS.RecordCount(), 4);
    QCOMPARE(doc.ProjectInfo.Name(0), u"工程名称"_s);
    QVERIFY(!doc.Modified());

    // Without a template file the project starts empty.
    kvProject empty;
    empty.NewFromFile(FDir.filePath(u"没有这个文件.kvt"_s));
    QVERIFY(empty.IsNew());
    QCOMPARE(empty.kvQfbDS.RecordCount(), 0);
    QVERIFY(prompter.Records.empty());
}

void TestProject::roundTripKeepsEverySection()
{
    TqxScriptedPrompter prompter;
    // A shipped file carries the streamed column section the program never reads.
    const QByteArray carried("\x01\x02streamed columns\x00\xff", 20);
    const QString path = variant([&](TKVFile& f) {
        f.SaveSection(u"网格布局"_s, carried);
        f.SaveSection(u"预算书网格布局"_s, Gbk::Encode(u"序号=-1,44\r\n施工地点=0,-1\r\n"_s));
    });
    TKVFile before;
    before.LoadFromFile(path);

    kvProject doc;
    QVERIFY(doc.OpenFile(path));
    QStringList budgetRows = rows(doc.kvYssDS_Main);
    QStringList feeRows = rows(doc.kvQfbDS);
    QVERIFY(doc.Save());
    QVERIFY(!doc.Modified());

    TKVFile after;
    after.LoadFromFile(path);
    QStringList names;
    for (const QString& line : after.HeaderLines())
        names << TNameValueList::NameOf(line);
    QStringList namesBefore;
    for (const QString& line : before.HeaderLines())
        namesBefore << TNameValueList::NameOf(line);
    QCOMPARE(names.mid(0, namesBefore.size()), namesBefore); // nothing moved
    for (const QString& section : {u"工程信息"_s, u"备注"_s, u"网格布局"_s, u"预算书网格布局"_s})
        QCOMPARE(*after.SectionData(section), *before.SectionData(section));
    for (const QString& property : {u"工程名称"_s, u"录入板"_s, u"视图"_s})
        QCOMPARE(after.ReadValue(property), before.ReadValue(property));

    kvProject again;
    QVERIFY(again.OpenFile(path));
    QCOMPARE(rows(again.kvYssDS_Main), budgetRows);
    QCOMPARE(rows(again.kvQfbDS), feeRows);
}

void TestProject::newProjectSavedReopens()
{
    TqxScriptedPrompter prompter;
    const QString path = FDir.filePath(u"新家.KVP"_s);
    {
        kvProject doc;
        doc.NewFromFile(standard());
        doc.ProjectInfo.SetValue(u"工程名称"_s, u"新家"_s);
        doc.Remarks = QStringList{u"第一行"_s, u"第二行"_s};
        doc.SetView(kvProject::ViewPlace);
        TGroupInfo* group = doc.kvYssDS_Main.AddGroup(u"客厅"_s);
        doc.kvYssDS_Main.AppendItem(group);
        doc.kvYssDS_Main.Edit();
        doc.kvYssDS_Main.FieldByName(u"项目名称"_s)->SetAsString(u"墙面乳胶漆"_s);
        doc.kvYssDS_Main.FieldByName(u"单价"_s)->SetAsFloat(25);
        doc.kvYssDS_Main.FieldByName(u"数量"_s)->SetAsFloat(40);
        doc.kvYssDS_Main.Post();
        QVERIFY(doc.Modified());
        doc.BudgetLayout = FormatGridLayout({{u"序号"_s, true, 44}});
        doc.SetPassword(u"秘密"_s);
        doc.NameNewFile(path);
        QVERIFY(doc.IsNew()); // naming does not load
        QVERIFY(doc.Save());
        QVERIFY(!doc.IsNew());
        QVERIFY(!doc.Modified());
        QCOMPARE(doc.Caption(), u"新家"_s);
    }
    prompter.AnswerText(u"秘密"_s);
    kvProject doc;
    QVERIFY(doc.OpenFile(path));
    QCOMPARE(doc.ProjectName(), u"新家"_s);
    QCOMPARE(doc.Remarks, (QStringList{u"第一行"_s, u"第二行"_s}));
    QCOMPARE(doc.View(), kvProject::ViewPlace);
    QCOMPARE(doc.kvYssDS_Main.GroupCount(), 1);
    QCOMPARE(doc.kvYssDS_Main.TotalAmount(), 1000.0);
    QCOMPARE(doc.kvQfbDS.RecordCount(), 4);
    QCOMPARE(Gbk::Decode(*doc.BudgetLayout), u"序号=-1,44\r\n"_s);
}

void TestProject::saveAsWritesACopy()
{
    TqxScriptedPrompter prompter;
    kvProject doc;
    QVERIFY(doc.OpenFile(sample()));
    doc.ProjectInfo.SetValue(u"客户姓名"_s, u"王先生"_s);
    doc.SetModified();
    const QString copy = FDir.filePath(u"副本.KVT"_s);
    QVERIFY(doc.SaveAsTemplate(copy));
    QCOMPARE(doc.FileName(), sample());
    doc.NameNewFile(copy); // a bound document is not renamed (nor reloaded)
    QCOMPARE(doc.FileName(), sample());
    QCOMPARE(doc.ProjectInfo.Value(u"客户姓名"_s), u"王先生"_s);
    QVERIFY(doc.Modified());
    QCOMPARE(doc.Caption(), u"工程预算样本"_s);

    kvProject other;
    QVERIFY(other.OpenFile(copy));
    QCOMPARE(other.ProjectInfo.Value(u"客户姓名"_s), u"王先生"_s);
}

// The write fails the way a full disk makes it fail: the document stays
// modified and bound, and the file on disk is the one that was there.
void TestProject::failedSaveKeepsDocumentAndFile()
{
    TqxScriptedPrompter prompter;
    const QByteArray old = KvTest::ReadBytes(sample());
    kvProject doc;
    QVERIFY(doc.OpenFile(sample()));
    doc.ProjectInfo.SetValue(u"客户姓名"_s, u"王先生"_s);
    doc.SetModified();
    {
        KvTest::FileSizeLimit limit(64);
        QVERIFY(!doc.Save());
    }
    QCOMPARE(prompter.MessageTexts(), QStringList{u"保存文件失败，检查文件是否可写！"_s});
    QCOMPARE(prompter.Last().message.Caption, u"保存失败"_s);
    QVERIFY(doc.Modified());
    QCOMPARE(doc.FileName(), sample());
    QCOMPARE(KvTest::ReadBytes(sample()), old);

    // A folder that went away after opening fails the same way.
    QDir(FDir.path()).mkdir(u"sub"_s);
    const QString inSub = FDir.filePath(u"sub/a.KVP"_s);
    QVERIFY(QFile::copy(sample(), inSub));
    kvProject gone;
    QVERIFY(gone.OpenFile(inSub));
    QVERIFY(QDir(FDir.filePath(u"sub"_s)).removeRecursively());
    QVERIFY(KvTest::WriteBytes(FDir.filePath(u"sub"_s), "plain file"));
    QVERIFY(!gone.Save());
    QCOMPARE(gone.FileName(), inSub);
}

void TestProject::password_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("given");
    QTest::addColumn<bool>("opens");
    QTest::newRow("right") << false << u"abc"_s << true;
    QTest::newRow("wrong") << false << u"ABC"_s << false;
    QTest::newRow("cancelled") << true << QString() << false;
}

void TestProject::password()
{
    QFETCH(bool, cancel);
    QFETCH(QString, given);
    QFETCH(bool, opens);
    const QString path = variant([](TKVFile& f) { f.SetPassWord(u"abc"_s); });
    TqxScriptedPrompter prompter;
    if (cancel)
        prompter.AnswerCancel();
    else
        prompter.AnswerText(given);
    kvProject doc;
    QCOMPARE(doc.OpenFile(path), opens);
    QCOMPARE(prompter.Records.front().input.Caption, u"输入密码"_s);
    QCOMPARE(prompter.Records.front().input.Prompt, u"请输入密码"_s);
    QVERIFY(prompter.Records.front().input.Password);
    if (!opens) {
        QCOMPARE(prompter.MessageTexts(), QStringList{u"您输入的密码不正确！"_s});
        QCOMPARE(prompter.Last().message.Caption, u"密码错"_s);
    }
    // A new project from a protected template keeps the password, unasked.
    prompter.Reset();
    kvProject fromTemplate;
    fromTemplate.NewFromFile(path);
    QCOMPARE(fromTemplate.KVFile_Main.PassWord(), u"abc"_s);
    QVERIFY(prompter.Records.empty());
}

void TestProject::notAProjectFile()
{
    TqxScriptedPrompter prompter;
    const QString empty = FDir.filePath(u"空.KVP"_s);
    QVERIFY(KvTest::WriteBytes(empty, QByteArray()));
    kvProject doc;
    QVERIFY(!doc.OpenFile(empty));
    QCOMPARE(prompter.MessageTexts(), QStringList{u"文件格式不能识别！"_s});
    QCOMPARE(prompter.Last().message.Caption, u"格式错"_s);

    kvProject missing;
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, missing.OpenFile(FDir.filePath(u"没有.KVP"_s)));
}

void TestProject::damagedPacket_data()
{
    QTest::addColumn<QString>("section");
    QTest::newRow("budget") << u"预算书"_s;
    QTest::newRow("fees") << u"取费表"_s;
}

void TestProject::damagedPacket()
{
    QFETCH(QString, section);
    TqxScriptedPrompter prompter;
    const QString path = variant([&](TKVFile& f) {
        QByteArray bytes = *f.SectionData(section);
        f.SaveSection(section, bytes.left(bytes.size() / 2));
    });
    kvProject doc;
    try {
        doc.OpenFile(path);
        QFAIL("a damaged packet was read");
    } catch (const Exception& e) {
        QVERIFY2(e.Message.contains(path) && e.Message.contains(u'[' + section + u']'), qPrintable(e.Message));
    }
    QVERIFY(!doc.Loading());
}

void TestProject::gridLayout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // name:visible:width
    QTest::addColumn<bool>("fails");
    const QStringList fields{u"序号"_s, u"施工地点"_s, u"项目名称"_s};
    QTest::newRow("shipped") << u"序号=-1,44\r\n施工地点=0,-1\r\n"_s << QStringList{u"序号:1:44"_s, u"施工地点:0:-1"_s}
                             << false;
    QTest::newRow("unknown names are left alone")
        << u"没有的列=-1,10\r\n项目名称=-1,115\r\n"_s << QStringList{u"项目名称:1:115"_s} << false;
    QTest::newRow("field order, not text order")
        << u"项目名称=True,90\n序号=0,-1\n"_s << QStringList{u"序号:0:-1"_s, u"项目名称:1:90"_s} << false;
    QTest::newRow("value without a comma") << u"施工地点=0\r\n"_s << QStringList() << true;
    QTest::newRow("bad text only in an unknown column") << u"别的=0\r\n"_s << QStringList() << false;
}

void TestProject::gridLayout()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(bool, fails);
    const QStringList fields{u"序号"_s, u"施工地点"_s, u"项目名称"_s};
    if (fails) {
        try {
            ParseGridLayout(Gbk::Encode(text), fields);
            QFAIL("no error");
        } catch (const EKavelinErr& e) {
            QCOMPARE(e.Message, u"网格流格式不正确！"_s);
        }
        return;
    }
    QStringList got;
    for (const TColumnLayout& c : ParseGridLayout(Gbk::Encode(text), fields))
        got << u"%1:%2:%3"_s.arg(c.FieldName).arg(int(c.Visible)).arg(c.Width);
    QCOMPARE(got, expected);
}

void TestProject::gridLayoutFormat()
{
    const QList<TColumnLayout> columns{{u"序号"_s, true, 44}, {u"施工地点"_s, false, 79}};
    const QByteArray text = FormatGridLayout(columns);
    QCOMPARE(Gbk::Decode(text), u"序号=-1,44\r\n施工地点=0,-1\r\n"_s);
    QCOMPARE(ParseGridLayout(text, {u"序号"_s, u"施工地点"_s}),
             (QList<TColumnLayout>{{u"序号"_s, true, 44}, {u"施工地点"_s, false, -1}}));
}

void TestProject::modifiedNotices()
{
    TqxScriptedPrompter prompter;
    kvProject doc;
    QList<int> notices;
    doc.OnNotify = [&](int code) { notices << code; };
    QVERIFY(doc.OpenFile(sample()));
    notices.clear();

    // An item edit: its subtotal, the modified state, one notice.
    TkvYssDataSet& budget = doc.kvYssDS_Main;
    QVERIFY(budget.LocateHeader(1));
    budget.Next();
    budget.Edit();
    budget.FieldByName(u"数量"_s)->SetAsFloat(3);
    budget.Post();
    QVERIFY(doc.Modified());
    QCOMPARE(notices, QList<int>{cnModified});

    notices.clear();
    doc.kvQfbDS.AppendRow();
    QVERIFY(notices.contains(cnModified));

    notices.clear();
    QVERIFY(doc.Save());
    QVERIFY(!doc.Modified());
    QCOMPARE(notices, (QList<int>{cnNotModified, cnCaptionChanged}));
}

void TestProject::feeComputation()
{
    TqxScriptedPrompter prompter;
    kvProject doc;
    QVERIFY(doc.OpenFile(sample()));
    TkvQfbDataSet& fees = doc.kvQfbDS;
    QVERIFY(fees.Locate(u"序号"_s, 3));
    fees.Edit();
    fees.FieldByName(u"计算公式"_s)->SetAsString(u"[1]*(2"_s);
    fees.Post();
    const double third = fees.AmountOfRow(3);
    QVERIFY(!doc.RunFeeComputation());
    QCOMPARE(prompter.MessageTexts().size(), 1);
    const QString text = prompter.MessageTexts().first();
    QVERIFY2(text.contains(u"第 3 行"_s) && text.contains(u"[1]*(2"_s), qPrintable(text));
    QCOMPARE(fees.AmountOfRow(3), third); // not the previous row's value
    QCOMPARE(doc.qxExp_Main.Tag, 0);
    QVERIFY(doc.Modified());

    // A fee template replaces the table and computes it.
    const QString kvd = FDir.filePath(u"取费.KVD"_s);
    fees.EmptyDataSet();
    fees.AppendRow();
    fees.Edit();
    fees.FieldByName(u"计算公式"_s)->SetAsString(u"[工程直接费]*2"_s);
    fees.Post();
    QVERIFY(doc.SaveFeeTemplate(kvd));
    kvProject other;
    QVERIFY(other.OpenFile(sample()));
    QVERIFY(other.LoadFeeTemplate(kvd));
    QCOMPARE(other.kvQfbDS.RecordCount(), 1);
    QCOMPARE(other.kvQfbDS.AmountOfRow(1), other.kvYssDS_Main.TotalAmount() * 2);
    QVERIFY(other.Modified());
}

QTEST_GUILESS_MAIN(TestProject)
#include "tst_project.moc"
