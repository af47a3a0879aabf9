// Field conversions and the text-to-number rules of the page input.
#include "base/convert.h"
#include "base/errorlog.h"
#include "base/numbers.h"

#include <QTest>

class TstConvert : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hex2Bin_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("bits");
        QTest::newRow("A5") << "A5" << "10100101";
        QTest::newRow("lower case") << "0f" << "00001111";
        QTest::newRow("all digits") << "0123456789ABCDEF"
                                    << "0000000100100011010001010110011110001001101010111100110111101111";
        QTest::newRow("G reads as 0") << "G" << "0000";
        QTest::newRow("blank reads as 0") << " " << "0000";
        QTest::newRow("mixed") << "1 z8" << "0001000000001000";
        QTest::newRow("empty") << "" << "";
    }
    void hex2Bin()
    {
        QFETCH(QString, hex);
        QTEST(Hex2Bin(hex), "bits");
    }

    void changeDataOrderCopiesIndependently()
    {
        const QByteArray original = QByteArray::fromHex("0102FF00AA");
        QByteArray copy = ChangeDataOrder(original);
        QCOMPARE(copy, original);
        copy[0] = '\x7F';
        QCOMPARE(original, QByteArray::fromHex("0102FF00AA"));

        // A shared (implicitly shared) source must not be changed through the copy either.
        QByteArray shared = original;
        QByteArray copy2 = ChangeDataOrder(shared);
        copy2[4] = '\0';
        QCOMPARE(shared, original);
        QCOMPARE(ChangeDataOrder(QByteArray()), QByteArray());
    }

    void fieldConversions()
    {
        QCOMPARE(WordToLong(-1), 65535);
        QCOMPARE(WordToLong(-32768), 32768);
        QCOMPARE(WordToLong(1234), 1234);
        QCOMPARE(LongToWord(40000), std::int16_t(-25536));
        QCOMPARE(LongToWord(65536 + 5), std::int16_t(5));
        QCOMPARE(LongToWord(-1), std::int16_t(-1));
        QCOMPARE(IntToByte(300), std::uint8_t(44));
        QCOMPARE(IntToByte(-1), std::uint8_t(255));
        QCOMPARE(ByteToInt(255), std::int16_t(255));
        QCOMPARE(ByteToInt(0), std::int16_t(0));
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<qint64>("r");
        QTest::newRow("2.5") << 2.5 << qint64(2);
        QTest::newRow("3.5") << 3.5 << qint64(4);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("-3.5") << -3.5 << qint64(-4);
        QTest::newRow("0.5") << 0.5 << qint64(0);
        QTest::newRow("2.6") << 2.6 << qint64(3);
        QTest::newRow("-2.4") << -2.4 << qint64(-2);
    }
    void roundHalfEven()
    {
        QFETCH(double, v);
        QTEST(qint64(::roundHalfEven(v)), "r");
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("v");
        QTest::newRow("12abc") << "12abc" << 12.0;
        QTest::newRow("abc") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("decimal") << "12.5mA" << 12.5;
        QTest::newRow("negative") << "-7" << -7.0;
        QTest::newRow("leading blanks") << "  42 " << 42.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QTEST(::leadingNumber(text), "v");
    }

    void rangeChecksThrow()
    {
        QCOMPARE(toInt16(32767.0), std::int16_t(32767));
        QCOMPARE(toInt16(-32768.0), std::int16_t(-32768));
        QCOMPARE(toInt16(-32768.5), std::int16_t(-32768)); // half to even stays inside
        QCOMPARE(toInt16(12.5), std::int16_t(12));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toInt16(32767.5)); // rounds to 32768
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toInt16(32768.0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toInt16(-32769.0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toInt16(1e300));
        QCOMPARE(toByte(255.0), std::uint8_t(255));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toByte(256.0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toByte(-1.0));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toInt32(1e12));
    }

    // Whole-text numbers: isNumeric and strictNumber agree on every text.
    void strictNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("v");
        QTest::newRow("12.5") << "12.5" << true << 12.5;
        QTest::newRow("blanks around") << " -3 " << true << -3.0;
        QTest::newRow("exponent") << "1e3" << true << 1000.0;
        QTest::newRow("abc") << "abc" << false << 0.0;
        QTest::newRow("12abc") << "12abc" << false << 0.0;
        QTest::newRow("x1") << "x1" << false << 0.0;
        QTest::newRow("full-width digits") << "１２" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("NaN") << " NaN " << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("-inf") << "-inf" << false << 0.0;
        QTest::newRow("+INF") << "+INF" << false << 0.0;
        QTest::newRow("beyond double") << "1e999" << false << 0.0;
    }
    void strictNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(isNumeric(text), numeric);
        if (numeric)
            QTEST(::strictNumber(text), "v");
        else
            QVERIFY_THROWS_EXCEPTION(RuntimeError, ::strictNumber(text));
    }
};

QTEST_GUILESS_MAIN(TstConvert)
#include "tst_convert.moc"
