// Image records: the text forms (file lines, a command line) and the GBK
// file bytes with the separator byte 0x80.
#include "imagefile/image_records.h"

#include <QTest>

using imagefile::Record;
using Records = QList<Record>;
Q_DECLARE_METATYPE(Records)

namespace {
Records recs(std::initializer_list<std::pair<const char*, const char*>> list)
{
    Records out;
    for (const auto& [k, v] : list)
        out.append({QString::fromUtf8(k), QString::fromUtf8(v)});
    return out;
}
} // namespace

class TestImageRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Records>("records");
        QTest::addColumn<int>("malformed");
        QTest::newRow("one per line, CR LF") << QStringLiteral("txtSeries€1234|\r\nComboCold€1|\r\n")
                                             << recs({{"txtSeries", "1234"}, {"ComboCold", "1"}}) << 0;
        QTest::newRow("LF only, blank lines") << QStringLiteral("a€1|\n\n\nb€2|") << recs({{"a", "1"}, {"b", "2"}}) << 0;
        QTest::newRow("several on one line (command line)")
            << QStringLiteral("a€1| b€2|c€|") << recs({{"a", "1"}, {"b", "2"}, {"c", ""}}) << 0;
        QTest::newRow("a bar inside a value") << QStringLiteral("txtPD_Tag€A|B|\r\nx€1|")
                                              << recs({{"txtPD_Tag", "A|B"}, {"x", "1"}}) << 0;
        QTest::newRow("the separator inside a value") << QStringLiteral("k€5€|") << recs({{"k", "5€"}}) << 0;
        QTest::newRow("bar and separator inside a value")
            << QStringLiteral("k€a|€ b|\r\nx€1|") << recs({{"k", "a|€ b"}, {"x", "1"}}) << 0;
        QTest::newRow("U+0080 as separator") << QStringLiteral("k\u00801|") << recs({{"k", "1"}}) << 0;
        QTest::newRow("no bar: value to the line end") << QStringLiteral("k€v") << recs({{"k", "v"}}) << 0;
        QTest::newRow("no separator is skipped") << QStringLiteral("设备演示") << Records{} << 1;
        QTest::newRow("empty key is skipped") << QStringLiteral("€v|\r\nk€1|") << recs({{"k", "1"}}) << 1;
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(Records, records);
        QFETCH(int, malformed);
        int bad = -1;
        const auto out = imagefile::parseRecords(text, &bad);
        QCOMPARE(out.size(), records.size());
        for (int i = 0; i < out.size(); ++i) {
            QCOMPARE(out[i].key, records[i].key);
            QCOMPARE(out[i].value, records[i].value);
        }
        QCOMPARE(bad, malformed);
    }

    void fileBytesAreGbkWithSeparator0x80()
    {
        const auto bytes = imagefile::encodeFile(recs({{"员工编号", "张三"}, {"txtSeries", "12"}}));
        QCOMPARE(bytes.toHex(' '),
                 QByteArray::fromHex("d4b1b9a4b1e0bac5 80 d5c5c8fd 7c 0d0a 74787453657269657380 3132 7c 0d0a").toHex(' '));
    }

    // "個" is 82 80 in GBK: its second byte is the separator's byte, and must
    // not end a key or start a value.
    void trailByte0x80SurvivesTheFile()
    {
        const auto records = recs({{"個数", "個|個"}, {"txtPD_Tag", "個"}});
        const QByteArray bytes = imagefile::encodeFile(records);
        QVERIFY(bytes.startsWith(QByteArray::fromHex("8280")));
        int bad = -1;
        QCOMPARE(imagefile::decodeFile(bytes, &bad), records);
        QCOMPARE(bad, 0);
    }
};

QTEST_APPLESS_MAIN(TestImageRecords)
#include "tst_image_records.moc"
