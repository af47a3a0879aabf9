// The input/output blocks: layouts, rounding, the cold-junction average, the
// voltage text, the DI/DO forms and the AQ zero/full steps.
#include "proto/io_blocks.h"

#include <QtTest>

namespace {
io::Bytes span(const QByteArray& b) { return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())}; }
QByteArray hex(const char* h) { return QByteArray::fromHex(h); }
} // namespace

class TestIoBlocks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void zeroFullBlockIsLittleEndianI32()
    {
        io::AiI32 v{};
        v[0] = -3;
        v[10] = 0x01020304;
        const QByteArray b = io::aiI32Block(v);
        QCOMPARE(b.size(), 44);
        QCOMPARE(b.left(4), hex("fdffffff"));
        QCOMPARE(b.right(4), hex("04030201"));
        QCOMPARE(*io::decodeAiI32(span(b)), v);
    }

    void outputValuesHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("wire"); // -1: out of range, nothing built
        QTest::newRow("12.3456") << 12.3456 << 12346;
        QTest::newRow("0.0005 to even") << 0.0005 << 0;
        QTest::newRow("0.0015 to even") << 0.0015 << 2;
        QTest::newRow("20") << 20.0 << 20000;
        QTest::newRow("32.767") << 32.767 << 32767;
        QTest::newRow("32.768 too large") << 32.768 << -1;
        QTest::newRow("-32.769 too small") << -32.769 << -1;
    }
    void outputValuesHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(int, wire);
        std::array<double, 8> v{};
        v[5] = value;
        const auto w = io::aoWireValues(v);
        QCOMPARE(w.has_value(), wire != -1);
        if (w) {
            QCOMPARE(int((*w)[5]), wire);
            const QByteArray b = io::aoBlock(*w);
            QCOMPARE(b.size(), 16);
            QCOMPARE(int(qint16(quint8(b[10]) | quint8(b[11]) << 8)), wire);
        }
    }

    void coldJunctionAverage_data()
    {
        QTest::addColumn<QList<int>>("temps"); // channels 0..7; 8..10 read 9999
        QTest::addColumn<int>("average");      // -1: "Error"
        QTest::newRow("all 2996") << QList<int>{2996, 2996, 2996, 2996, 2996, 2996, 2996, 2996} << 4;
        QTest::newRow("sum 20 to even") << QList<int>{2980, 3000, 3000, 3000, 3000, 3000, 3000, 3000} << 2;
        QTest::newRow("sum 28 to even") << QList<int>{2972, 3000, 3000, 3000, 3000, 3000, 3000, 3000} << 4;
        QTest::newRow("sum -20 to even") << QList<int>{3020, 3000, 3000, 3000, 3000, 3000, 3000, 3000} << -2;
        QTest::newRow("sum -28 to even") << QList<int>{3028, 3000, 3000, 3000, 3000, 3000, 3000, 3000} << -4;
        QTest::newRow("bounds accepted") << QList<int>{2000, 4000, 3000, 3000, 3000, 3000, 3000, 3000} << 0;
        QTest::newRow("1999") << QList<int>{3000, 3000, 3000, 1999, 3000, 3000, 3000, 3000} << -1;
        QTest::newRow("4001") << QList<int>{3000, 3000, 3000, 3000, 3000, 3000, 3000, 4001} << -1;
    }
    void coldJunctionAverage()
    {
        QFETCH(QList<int>, temps);
        QFETCH(int, average);
        io::AiTemp t{};
        t.fill(9999); // channels 8..10 never count
        for (int i = 0; i < 8; ++i)
            t[std::size_t(i)] = std::int16_t(temps[i]);
        const auto a = io::coldJunctionAverage(t);
        QCOMPARE(a.has_value(), average != -1);
        if (a)
            QCOMPARE(*a, average);
    }

    void voltageText_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.5") << 1.5f << "1.5";
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("minus zero") << -0.0f << "0";
        QTest::newRow("whole") << 100.0f << "100";
        QTest::newRow("seven digits") << 1.0f / 3.0f << "0.3333333";
        QTest::newRow("negative") << -2.25f << "-2.25";
        QTest::newRow("float noise cut") << 0.1f << "0.1";
        QTest::newRow("large") << 12345678.0f << "1.234568e+07";
    }
    void voltageText()
    {
        QFETCH(float, value);
        QTEST(io::voltageText(value), "text");
    }

    void aqZeroFullSteps_data()
    {
        QTest::addColumn<bool>("twoStep");
        QTest::addColumn<int>("pendParam");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("left");
        QTest::newRow("two-step flag: zero values") << true << 0 << 2 << 2;
        QTest::newRow("8: zero values first") << false << 8 << 2 << 9;
        QTest::newRow("9: full-scale values second") << false << 9 << 3 << 0;
        QTest::newRow("output zero point") << false << 0 << 0 << 0;
        QTest::newRow("output full-scale point") << false << 1 << 1 << 1;
        QTest::newRow("write full scale") << false << 3 << 3 << 3;
    }
    void aqZeroFullSteps()
    {
        QFETCH(bool, twoStep);
        QFETCH(int, pendParam);
        const auto s = io::aqZeroFullStep(twoStep, pendParam);
        QTEST(int(s.mode), "mode");
        QTEST(int(s.pendParam), "left");
    }

    void bitBytes()
    {
        QCOMPARE(io::doByte({1, 1}), std::uint8_t(0x03));
        QCOMPARE(io::aqToDqByte({1, 0, 1, 0, 0, 0, 0, 1}), std::uint8_t(0x85));
    }

    // Every decoder says "too short" instead of reading past its input.
    void shortInputsDecodeNothing()
    {
        const QByteArray b(10, '\1');
        QVERIFY(!io::decodeSensorTypes(span(b)));
        QVERIFY(!io::decodeAiI32(span(QByteArray(43, '\0'))));
        QVERIFY(!io::decodeAiTemp(span(QByteArray(21, '\0'))));
        QVERIFY(!io::decodeAiVolt(span(QByteArray(43, '\0'))));
        QVERIFY(!io::decodeLeds(span(QByteArray(17, '\0'))));
        QVERIFY(!io::decodeAqToDq({}));
    }
};

QTEST_MAIN(TestIoBlocks)
#include "tst_io_blocks.moc"
