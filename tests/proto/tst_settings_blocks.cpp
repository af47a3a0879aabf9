// The cells of the settings blocks and the measuring devices' readings, from
// literal bytes.
#include "proto/aq_cal.h"
#include "proto/settings_blocks.h"

#include <QtTest>

using blocks::Cell;
Q_DECLARE_METATYPE(Cell)
Q_DECLARE_METATYPE(std::vector<std::int32_t>)

namespace {
std::span<const std::uint8_t> span(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}
} // namespace

class TestSettingsBlocks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cellsBothWays_data()
    {
        QTest::addColumn<Cell>("cell");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<std::vector<std::int32_t>>("values");
        QTest::newRow("bytes are unsigned") << Cell::U8 << QByteArray::fromHex("00FF80") << std::vector<std::int32_t>{0, 255, 128};
        QTest::newRow("words are signed, low byte first")
            << Cell::I16 << QByteArray::fromHex("3412FFFF0080") << std::vector<std::int32_t>{0x1234, -1, -32768};
        QTest::newRow("long words are signed")
            << Cell::I32 << QByteArray::fromHex("78563412FEFFFFFF") << std::vector<std::int32_t>{0x12345678, -2};
    }
    void cellsBothWays()
    {
        QFETCH(Cell, cell);
        QFETCH(QByteArray, bytes);
        QFETCH(std::vector<std::int32_t>, values);
        const auto decoded = blocks::decodeCells(span(bytes + QByteArray(5, '\x5A')), int(bytes.size()), cell);
        QVERIFY(decoded);
        QCOMPARE(*decoded, values);
        QCOMPARE(blocks::encodeCells(values, cell).value_or(QByteArray()), bytes);
    }

    void whatDoesNotFitIsRefused_data()
    {
        QTest::addColumn<Cell>("cell");
        QTest::addColumn<std::int32_t>("value");
        QTest::newRow("byte above 255") << Cell::U8 << 256;
        QTest::newRow("negative byte") << Cell::U8 << -1;
        QTest::newRow("word above 32767") << Cell::I16 << 32768;
        QTest::newRow("word below -32768") << Cell::I16 << -32769;
    }
    void whatDoesNotFitIsRefused()
    {
        QFETCH(Cell, cell);
        QFETCH(std::int32_t, value);
        QVERIFY(!blocks::encodeCells({0, value}, cell));
    }

    void shortPayloadGivesNothing()
    {
        const QByteArray sm(blocks::SM_SIZE - 1, '\0');
        QVERIFY(!blocks::decodeCells(span(sm), blocks::SM_SIZE, Cell::I32));
        QVERIFY(!blocks::decodeCells({}, blocks::CTRL_SIZE, Cell::U8));
    }

    void measuringReply()
    {
        // 1.5 and -20.25 as single precision, then six zeros.
        const QByteArray reply = QByteArray::fromHex("4C0000000000070000006E00" "0000C03F" "0000A2C1")
            + QByteArray(24, '\0');
        const auto m = aqcal::decodeMeasurements(reply);
        QVERIFY(m);
        QCOMPARE((*m)[0], 1.5f);
        QCOMPARE((*m)[1], -20.25f);
        QVERIFY(!aqcal::decodeMeasurements(reply.left(reply.size() - 1)));
    }
};

QTEST_MAIN(TestSettingsBlocks)
#include "tst_settings_blocks.moc"
