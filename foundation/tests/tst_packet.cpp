// The table packet byte form: what we write, byte for byte; what other
// writers produce (change logs, deleted, unused and old rows); damaged input.

#include "TableTestSupport.h"
#include "qxErrors.h"

#include <QBuffer>
#include <QDateTime>
#include <QTest>
#include <QtEndian>

using namespace KvTable;

class TestPacket : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesTheFormat();
    void readsChangedPacket();
    void readsPublishedPackets();
    void damagedPacket_data();
    void damagedPacket();
    void everyTruncationFails();
    void streams();
};

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// A packet written by hand from the format description, independent of our writer.
struct Bytes {
    QByteArray b;
    Bytes& u8(int v)
    {
        b.append(char(v));
        return *this;
    }
    Bytes& u16(int v)
    {
        char c[2];
        qToLittleEndian<quint16>(quint16(v), c);
        b.append(c, 2);
        return *this;
    }
    Bytes& u32(quint32 v)
    {
        char c[4];
        qToLittleEndian<quint32>(v, c);
        b.append(c, 4);
        return *this;
    }
    Bytes& f64(double v)
    {
        char c[8];
        qToLittleEndian<double>(v, c);
        b.append(c, 8);
        return *this;
    }
    Bytes& raw(const QByteArray& v)
    {
        b.append(v);
        return *this;
    }
    Bytes& text(const QByteArray& gbk) // one-byte length prefix
    {
        return u8(int(gbk.size())).raw(gbk);
    }
};

// 名称 (text 20, attribute 0x10, an unknown DECIMALS property), 数量 (integer),
// 单价 (money), 标志 (boolean); LCID and CHANGE_LOG table properties.
Bytes changedPacketHead(quint32 rowCount)
{
    Bytes p;
    p.u32(0xBDE01996).u32(1).u32(24).u16(4).u32(rowCount).u32(3).u16(0);
    p.text(hex("C3FBB3C6")).u16(1).u16(0x49).u16(0x10).u16(2);
    p.text("WIDTH").u16(2).u16(2).u16(20);
    p.text("DECIMALS").u16(2).u16(0x8002).u16(0);
    p.text(hex("CAFDC1BF")).u16(4).u16(1).u16(0).u16(0);
    p.text(hex("B5A5BCDB")).u16(8).u16(4).u16(0).u16(1);
    p.text("SUBTYPE").u16(2).u16(0x49).u16(6).raw(QByteArray("Money\0", 6));
    p.text(hex("B1EAD6BE")).u16(2).u16(3).u16(0).u16(0);
    p.u16(2);
    p.text("LCID").u16(4).u16(1).u32(2052);
    // Row 5 modified row 4 (8); row 6 inserted (4); row 2 was deleted (2).
    p.text("CHANGE_LOG").u16(4).u16(0x82).u32(9).u32(5).u32(4).u32(8).u32(6).u32(0).u32(4).u32(2).u32(0).u32(2);
    return p;
}

} // namespace

void TestPacket::writesTheFormat()
{
    TqxDataSet t;
    Create(t, {{u"名称"_s, TqxFieldKind::String, 10, true},
               {u"数量"_s, TqxFieldKind::Integer, 0, false},
               {u"单价"_s, TqxFieldKind::Money, 0, false},
               {u"数"_s, TqxFieldKind::Float, 0, false},
               {u"标志"_s, TqxFieldKind::Boolean, 0, false}});
    t.AppendRecord({u"砖"_s, 3, 1.5, QVariant(), true});
    t.AppendRecord({u"甲"_s});
    t.First();
    t.Delete(); // unmerged changes are saved as the rows they leave: merged
    t.AppendRecord({u"丙"_s, -1, QVariant(), 0.5, false});
    const QByteArray expected = hex(
        "9619E0BD 01000000 18000000 0500 02000000 03000000 7900"
        "04 C3FBB3C6 0100 4900 0400 0100 05 5749445448 0200 0200 0A00" // 名称: WIDTH 10, required
        "04 CAFDC1BF 0400 0100 0000 0000"                                // 数量
        "04 B5A5BCDB 0800 0400 0000 0100 07 53554254595045 0200 4900 0600 4D6F6E657900" // 单价: SUBTYPE Money
        "02 CAFD 0800 0400 0000 0000"                                    // 数
        "04 B1EAD6BE 0200 0300 0000 0000"                                // 标志
        "0000"                                                           // no table properties
        "00 5401 02 BCD7"                                                // 甲: every other field null
        "00 1000 02 B1FB FFFFFFFF 000000000000E03F 0000");               // 丙: no price
    const QByteArray written = t.SaveToBytes();
    QVERIFY2(written == expected, qPrintable(QString::fromLatin1(written.toHex(' ') + "\n" + expected.toHex(' '))));
}

void TestPacket::readsChangedPacket()
{
    Bytes p = changedPacketHead(7);
    p.u8(0x00).u8(0x00).text(hex("BCD7")).u32(1).f64(1.0).u16(1);        // 1 甲
    p.u8(0x02).u8(0x00).text(hex("D2D2")).u32(2).f64(2.0).u16(0);        // 2 乙, deleted
    p.u8(0x20).u8(0x00).text("junk").u32(9).f64(9.0).u16(0);             // 3 unused
    p.u8(0x01).u8(0x00).text(hex("B1FB")).u32(3).f64(3.0).u16(0);        // 4 丙, old copy
    p.u8(0x08).u8(0x92).u32(30);                                          // 5 丙 modified: name and flag unchanged, price null
    p.u8(0x04).u8(0x44).text(QByteArray("\xB6\xA1\0xyz", 6)).f64(4.25);   // 6 丁 inserted, cut at the zero byte
    p.u8(0x00).u8(0x54).text(QByteArray(1, '\0'));                        // 7 a lone zero byte: empty
    TqxDataSet t;
    t.LoadFromBytes(p.b, u"ItemsDB"_s);
    QCOMPARE(t.FieldDefs(), (TqxFieldDefs{{u"名称"_s, TqxFieldKind::String, 20, false},
                                          {u"数量"_s, TqxFieldKind::Integer, 0, false},
                                          {u"单价"_s, TqxFieldKind::Money, 0, false},
                                          {u"标志"_s, TqxFieldKind::Boolean, 0, false}}));
    QCOMPARE(Column(t, u"名称"_s), (QStringList{u"甲"_s, u"丙"_s, u"丁"_s, QString()}));
    QCOMPARE(Column(t, u"数量"_s), (QStringList{u"1"_s, u"30"_s, QString(), QString()}));
    QCOMPARE(Column(t, u"单价"_s), (QStringList{u"1"_s, QString(), u"4.25"_s, QString()}));
    QCOMPARE(Column(t, u"标志"_s), (QStringList{u"True"_s, u"False"_s, QString(), QString()}));
    QCOMPARE(t.ChangeCount(), 0); // the change log is merged on load
    t.Last();
    QVERIFY(t.FieldByName(u"名称"_s)->IsNull());
}

void TestPacket::readsPublishedPackets()
{
    TqxDataSet t;
    t.LoadFromBytes(hex("9619E0BD0100000018000000010000000000030000003900"
                        "09504C4E434F4449474F08000400000000000100044C43494404000100090800 00"));
    QCOMPARE(t.FieldDefs(), (TqxFieldDefs{{u"PLNCODIGO"_s, TqxFieldKind::Float, 0, false}}));
    QCOMPARE(t.RecordCount(), 0);

    t.LoadFromBytes(hex("9619E0BD0100000018000000030001000000030000007A00"
                        "0269640100490010000100055749445448020002000A00"
                        "046E616D650200490010000100055749445448020002 00FF00"
                        "084461746554696D65080008001000000001000A4348414E47455F4C4F4704008200"
                        "03000000010000000000000004000000"
                        "0400053135373338100074657374 30352E332E6375746C69737400A8783D9BC8CC42"));
    QCOMPARE(t.FieldDefs(), (TqxFieldDefs{{u"id"_s, TqxFieldKind::String, 10, false},
                                          {u"name"_s, TqxFieldKind::String, 255, false},
                                          {u"DateTime"_s, TqxFieldKind::DateTime, 0, false}}));
    QCOMPARE(t.RecordCount(), 1);
    const QVariantList row = {u"15738"_s, u"test05.3.cutlist"_s,
                              QDateTime(QDate(2006, 10, 6), QTime(19, 44, 27, 984))};
    for (int f = 0; f < 3; ++f)
        QCOMPARE(t.Fields(f)->AsVariant(), row[f]);
    // Written back (the wide field now with its 2-byte prefix by the same rule) and read again.
    TqxDataSet u;
    u.LoadFromBytes(t.SaveToBytes());
    for (int f = 0; f < 3; ++f)
        QCOMPARE(u.Fields(f)->AsVariant(), row[f]);
}

void TestPacket::damagedPacket_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const auto valid = [](quint32 rows) {
        Bytes p = changedPacketHead(rows);
        p.u8(0).u8(0).text(hex("BCD7")).u32(1).f64(1.0).u16(1);
        return p;
    };
    QTest::newRow("not a packet") << QByteArray("PK\x03\x04 and more than twenty-four bytes") << u"不是表数据文件"_s;
    QTest::newRow("empty") << QByteArray() << u"不是表数据文件"_s;
    Bytes version = valid(1);
    version.b[4] = 7;
    QTest::newRow("version") << version.b << u"的版本 7 不受支持"_s;
    Bytes fields = valid(1);
    fields.b[12] = char(0xFF);
    fields.b[13] = char(0xFF);
    QTest::newRow("field count") << fields.b << u"字段数 65535 超出了文件的大小"_s;
    QTest::newRow("row count") << valid(0x40000000).b << u"记录数 1073741824 超出了文件的大小"_s;
    QTest::newRow("missing row") << valid(2).b << u"第 2 行超出了文件末尾"_s;
    // The count is checked against the rows, not only against the size: a
    // count that lost a bit would otherwise load a part of the table silently.
    Bytes counted = valid(1);
    counted.u8(0).u8(0).text(hex("D2D2")).u32(2).f64(2.0).u16(0);
    QTest::newRow("row count too small") << counted.b << u"记录数 1 之后还有 19 字节"_s;
    Bytes trailing = valid(1);
    trailing.raw(QByteArray(3, '\0'));
    QTest::newRow("trailing bytes") << trailing.b << u"记录数 1 之后还有 3 字节"_s;
    Bytes text = valid(2);
    text.u8(0).u8(0).u8(200).raw("short");
    QTest::newRow("text past the end") << text.b << u"第 2 行字段“名称”的数据超出了文件末尾"_s;
    Bytes blob;
    blob.u32(0xBDE01996).u32(1).u32(24).u16(1).u32(0).u32(3).u16(0);
    blob.text("Memo").u16(4).u16(0x4B).u16(0).u16(0).u16(0);
    QTest::newRow("unsupported type") << blob.b << u"中字段“Memo”的类型（0x4B，4 字节）不受支持"_s;
    Bytes log;
    log.u32(0xBDE01996).u32(1).u32(24).u16(1).u32(0).u32(3).u16(0);
    log.text("n").u16(4).u16(1).u16(0).u16(0).u16(1).text("CHANGE_LOG").u16(4).u16(0x82).u32(0x7FFFFFFF);
    QTest::newRow("change log size") << log.b << u"表的属性 CHANGE_LOG 超出了文件末尾"_s;
    Bytes twice;
    twice.u32(0xBDE01996).u32(1).u32(24).u16(2).u32(0).u32(3).u16(0);
    twice.text("n").u16(4).u16(1).u16(0).u16(0).text("N").u16(4).u16(1).u16(0).u16(0).u16(0);
    QTest::newRow("same field twice") << twice.b << u"字段名“N”重复"_s;
    Bytes none;
    none.u32(0xBDE01996).u32(1).u32(24).u16(0).u32(0).u32(3).u16(0).u16(0);
    QTest::newRow("no fields") << none.b << u"没有字段"_s;
}

void TestPacket::damagedPacket()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TqxDataSet t;
    Create(t, ItemDefs());
    t.AppendRecord({u"留下"_s});
    TqxDataSet clone;
    clone.CloneCursor(t);
    try {
        t.LoadFromBytes(bytes, u"ItemsDB"_s);
        QFAIL("accepted");
    } catch (const EFileError& e) {
        QVERIFY2(e.Message.contains(u"“ItemsDB”"_s) && e.Message.contains(message), qPrintable(e.Message));
    }
    // Nothing half loaded: the table is as it was, for every cursor.
    QCOMPARE(t.FieldDefs(), ItemDefs());
    QCOMPARE(Column(clone, u"项目名称"_s), QStringList{u"留下"_s});
    QCOMPARE(t.ChangeCount(), 1);
}

void TestPacket::everyTruncationFails()
{
    TqxDataSet t;
    Create(t, ItemDefs());
    Fill(t, {{u"木工安装"_s, u"木"_s, 3, 1.5, true}, {u"b"_s}});
    const QByteArray full = t.SaveToBytes();
    for (qsizetype n = 0; n < full.size(); ++n) {
        TqxDataSet u;
        QVERIFY_THROWS_EXCEPTION(EFileError, u.LoadFromBytes(full.first(n)));
        QVERIFY(!u.Active());
    }
}

void TestPacket::streams()
{
    TqxDataSet t;
    Create(t, ItemDefs());
    t.AppendRecord({u"砖"_s, u"材料"_s, 2});
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    buffer.write("head");
    t.SaveToStream(&buffer);
    buffer.seek(4); // from the stream's position to its end
    TqxDataSet u;
    u.LoadFromStream(&buffer);
    QCOMPARE(Column(u, u"类别"_s), QStringList{u"材料"_s});

    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QVERIFY_THROWS_EXCEPTION(EFileError, t.SaveToStream(&readOnly));
}

QTEST_GUILESS_MAIN(TestPacket)
#include "tst_packet.moc"
