// Firmware images: cutting into 512-byte blocks and the three requests of a
// transfer, against literal frames.
#include "proto/firmware.h"

#include <QTest>

using namespace firmware;

class TestFirmware : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cutBlocks_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("blocks");    // 0: refused
        QTest::addColumn<int>("padding");   // 0xFF bytes at the end of the last block
        QTest::addColumn<int>("error");
        QTest::newRow("empty is refused") << qint64(0) << 0 << 0 << int(CutError::Empty);
        QTest::newRow("one byte, 511 bytes of 0xFF") << qint64(1) << 1 << 511 << int(CutError::None);
        QTest::newRow("exactly one block, no padding") << qint64(512) << 1 << 0 << int(CutError::None);
        QTest::newRow("one byte over a block") << qint64(513) << 2 << 511 << int(CutError::None);
        QTest::newRow("256 KiB less 100") << qint64(256 * 1024 - 100) << 512 << 100 << int(CutError::None);
        QTest::newRow("65535 blocks is the most") << qint64(65535) * 512 << 65535 << 0 << int(CutError::None);
        QTest::newRow("65536 blocks are refused") << qint64(65535) * 512 + 1 << 0 << 0 << int(CutError::TooLarge);
    }
    void cutBlocks()
    {
        QFETCH(qint64, size);
        QFETCH(int, blocks);
        QFETCH(int, padding);
        QFETCH(int, error);
        QByteArray image(size, '\0');
        for (qint64 i = 0; i < size; ++i)
            image[i] = char(i * 7 % 251); // never 0xFF, so the padding stands out
        CutError why = CutError::None;
        const auto out = firmware::cutBlocks(image, &why);
        QCOMPARE(int(why), error);
        QCOMPARE(int(out.size()), blocks);
        if (blocks == 0)
            return;
        for (const auto& b : out)
            QCOMPARE(b.size(), BLOCK_SIZE);
        const QByteArray& last = out.back();
        QCOMPARE(last.right(padding), QByteArray(padding, char(0xFF)));
        QVERIFY(padding == BLOCK_SIZE || last[BLOCK_SIZE - padding - 1] != char(0xFF));
        // The blocks put together give the image back.
        QCOMPARE(out.front(), image.left(BLOCK_SIZE).leftJustified(BLOCK_SIZE, char(0xFF)));
        QCOMPARE(last.left(BLOCK_SIZE - padding), image.right(BLOCK_SIZE - padding));
    }

    void requests_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("start: 7 bytes, code 45") << startRequest() << QByteArray::fromHex("55552d7f5daaaa");
        QTest::newRow("size: count 0x1234 at byte 3")
            << sizeRequest(0x1234) << QByteArray::fromHex("55552e34128704aaaa");
        QTest::newRow("start payload: one byte") << startPayload() << QByteArray::fromHex("00");
        QTest::newRow("size payload: count little-endian") << sizePayload(0xFFFF) << QByteArray::fromHex("ffff");
    }
    void requests()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, expected);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
    }

    void blockRequestCarriesTheBlock()
    {
        QByteArray block;
        for (int i = 0; i < 2; ++i)
            for (int b = 0; b < 256; ++b)
                block.append(char(b));
        const auto frame = blockRequest(block);
        QVERIFY(frame);
        QCOMPARE(frame->size(), BLOCK_FRAME);
        QCOMPARE(frame->left(3), QByteArray::fromHex("55552f"));
        QCOMPARE(frame->mid(3, BLOCK_SIZE), block);
        QCOMPARE(frame->right(4), QByteArray::fromHex("a24eaaaa"));
        QVERIFY(!blockRequest(block.left(511)));
    }
};

QTEST_APPLESS_MAIN(TestFirmware)
#include "tst_firmware.moc"
