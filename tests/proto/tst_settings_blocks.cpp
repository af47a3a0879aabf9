// The cells of the settings blocks, from literal bytes: width, sign and byte
// order both ways, and the values a cell cannot hold.
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
};

QTEST_MAIN(TestSettingsBlocks)
#include "tst_settings_blocks.moc"
