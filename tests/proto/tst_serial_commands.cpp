// Serial message set: command rows, reply branches, inline frames, the
// length rules that depend on the device, and the ZigBee block.
#include "proto/serial_commands.h"

#include <QSet>
#include <QTest>

using namespace serial;

Q_DECLARE_METATYPE(serial::Build)
Q_DECLARE_METATYPE(serial::Ending)

namespace {
QString s(const char* t) { return t ? QString::fromUtf8(t) : QString(); }
std::span<const std::uint8_t> bytes(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}
} // namespace

class TstSerialCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandRow_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("wait");
        QTest::addColumn<int>("fn");
        QTest::addColumn<int>("frameLen");
        QTest::addColumn<int>("replyLen");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<Build>("build");
        QTest::addColumn<QString>("builder");

        const QString none;
        QTest::newRow("1") << 1 << "QS_READ_SYS_INFO" << "读系统信息" << none << 1 << 7 << 111 << 0 << Build::Plain
                           << "GetSysInfo";
        QTest::newRow("3") << 3 << "QS_READ_FULL" << "读满度数据" << none << 3 << 7 << 51 << 0 << Build::Plain
                           << "GetFull";
        QTest::newRow("4") << 4 << "QS_WRITE_SYS_INFO" << "置系统信息" << "置系统信息" << 4 << 91 << 91 << 5000
                           << Build::Builder << "SetSysInfo/SetSysInfoFix";
        QTest::newRow("5") << 5 << "QS_WRITE_SENSOR_TYPE" << "写入传感器类型" << "正在写入传感器类型，请等待" << 5
                           << 18 << 18 << 5000 << Build::Builder << "SetSensorType";
        QTest::newRow("8") << 8 << "QS_REFRESH_LIVE" << "读AD转换码" << "读AD转换码" << 9 << 7 << 29 << 0
                           << Build::Builder << "ReadData";
        QTest::newRow("9") << 9 << "QS_READ_PRJ_CAL" << "读工程校准值" << "读工程校准值" << 18 << 7 << 29 << 0
                           << Build::Plain << "GetPrjval";
        QTest::newRow("11") << 11 << "QS_WRITE_SELF_GAIN" << "写入自增益校准值" << "正在写入自增益校准值，请等待"
                            << 11 << 8 << 14 << 20000 << Build::Builder << "ExecuteSelfGain";
        QTest::newRow("12") << 12 << "QS_WRITE_PRJ_CAL" << "写工程校准值" << "写工程校准值" << 17 << 29 << 29
                            << 1000 << Build::Builder << "SetPrjval";
        QTest::newRow("13") << 13 << "QS_READ_DIDO" << "读DIDO" << "读DIDO" << 13 << 7 << 26 << 0 << Build::Builder
                            << "ReadDIDO";
        QTest::newRow("15") << 15 << "QS_READ_PDTAG" << "读DeviceID、PDTag" << "读DeviceID、PDTag" << 21 << 7 << 71
                            << 0 << Build::Plain << "GetPdtag";
        QTest::newRow("16") << 16 << "QS_WRITE_AO" << "写AQ数据" << "正在写入AO数据，请等待" << 16 << 23 << 23
                            << 5000 << Build::Builder << "WriteAO";
        QTest::newRow("18") << 18 << "QS_READ_CLOCK" << "读实时时钟" << "正在读实时时钟" << 19 << 7 << 15 << 2000
                            << Build::Plain << "ReadClock_S";
        QTest::newRow("19") << 19 << "QS_WRITE_CLOCK" << "写实时时钟" << "正在写实时时钟" << 20 << 15 << 15 << 2000
                            << Build::Builder << "WriteClock_S";
        QTest::newRow("32") << 32 << "QS_READ_SLAVE" << "读从设备信息" << "正在读从设备信息" << 32 << 9 << 19
                            << 2000 << Build::Builder << "ReadSlaveInfo";
        QTest::newRow("34") << 34 << "QS_WRITE_AQ_ZERO_FULL" << "输出或写入AQ零点满度" << "输出或写入AQ零点满度信息"
                            << 34 << 40 << 40 << 2000 << Build::Builder << "WriteAQZeroFull";
        QTest::newRow("40") << 40 << "QS_TEST_RAM" << "测试扩展RAM" << "正在测试扩展RAM" << 40 << 7 << 8 << 8000
                            << Build::Plain << "TestExtRAM";
        QTest::newRow("43") << 43 << "QS_STOP_AND_CLEAR" << "写停止下位机运行并清除下位机指令命令"
                            << "正在写停止下位机运行并清除下位机指令命令" << 43 << 7 << 7 << 3000 << Build::Plain
                            << "StopAndClear";
        QTest::newRow("47") << 47 << "QS_FLASH_BLOCK" << "发送主程序" << "正在发送主程序" << 47 << 519 << 7 << 5000
                            << Build::Builder << "SendFlashBlock";
        QTest::newRow("50") << 50 << "QS_READ_AI_ALARM" << "刷新AI报警灯状态" << "正在刷新AI报警灯状态" << 50 << 7
                            << 40 << 3000 << Build::Plain << "ReadFreshAI";
        QTest::newRow("56") << 56 << "QS_RESTORE_PARAMS" << "恢复系统参数" << "正在恢复系统参数" << 56 << 7 << 7
                            << 1000 << Build::Plain << "inline";
        QTest::newRow("60") << 60 << "QS_WRITE_COLD_CAL" << "正在写入冷端校准值" << "正在写入冷端校准值" << 60 << 9
                            << 9 << 1000 << Build::Inline << "inline";
        QTest::newRow("61") << 61 << "QS_WRITE_INNER_CAL" << "正在写入内部AI工程校准值" << "正在写入内部AI工程校准值"
                            << 61 << 23 << 7 << 1000 << Build::Inline << "inline";
        QTest::newRow("65") << 65 << "QS_TEST_ZIGBEE" << "正在进行zigbee通信测试" << "正在进行zigbee通信测试" << 65
                            << 7 << 9 << 12000 << Build::Plain << "inline";
        QTest::newRow("68") << 68 << "QS_READ_SM" << "正在读取SM区数据" << "正在读取SM区数据" << 73 << 7 << 519
                            << 10000 << Build::Plain << "inline";
        QTest::newRow("71") << 71 << "QS_WRITE_RESEND" << "正在写入转发参数" << "正在写入转发参数" << 69 << 15 << 7
                            << 10000 << Build::Builder << "WriteResend";
        QTest::newRow("72") << 72 << "QS_CONVERT_DEVICE_TYPE" << "正在转换设备类型" << "正在转换设备类型" << 63 << 7
                            << 7 << 12000 << Build::Plain << "inline";
        QTest::newRow("78") << 78 << "QS_WRITE_RESEND_SLAVE" << "正在写入从设备转发信息" << "正在写入从设备转发信息"
                            << 67 << 71 << 7 << 3000 << Build::Builder << "WriteSlave";
        QTest::newRow("80") << 80 << "QS_RESTORE_DEFAULTS" << "正在恢复默认参数" << "正在恢复默认参数" << 52 << 7
                            << 7 << 12000 << Build::Plain << "inline";
        QTest::newRow("81") << 81 << "QS_RESTORE_SELECTED" << "正在恢复默认参数" << "正在恢复默认参数" << 56 << 10
                            << 7 << 12000 << Build::Inline << "inline";
        QTest::newRow("83") << 83 << "QS_WRITE_PROFIBUS" << "正在写Profibus状态" << "正在写Profibus状态" << 80 << 8
                            << 8 << 3000 << Build::Inline << "inline";
    }
    void commandRow()
    {
        QFETCH(int, code);
        const CommandRow* r = findCommand(std::int16_t(code));
        QVERIFY(r);
        QCOMPARE(int(r->code), code);
        QTEST(s(r->name), "name");
        QTEST(s(r->status), "status");
        QTEST(s(r->wait), "wait");
        QTEST(int(r->fn), "fn");
        QTEST(int(r->frameLen), "frameLen");
        QTEST(int(r->replyLen), "replyLen");
        QTEST(int(r->timeoutMs), "timeout");
        QTEST(r->build, "build");
        QTEST(s(r->builder), "builder");
        QVERIFY(!r->statusAlt && !r->waitAlt);
    }

    void lampBoardCheckHasBothTexts()
    {
        const CommandRow* r = findCommand(QS_LAMP_BOARD_CHECK);
        QVERIFY(r);
        QCOMPARE(s(r->status), QString("使能灯板检测"));
        QCOMPARE(s(r->wait), QString("正在写使能灯板自动检测功能"));
        QCOMPARE(s(r->statusAlt), QString("停止灯板检测"));
        QCOMPARE(s(r->waitAlt), QString("正在写禁止灯板自动检测功能"));
    }

    void tableShape()
    {
        int n = 0;
        const CommandRow* rows = commandRows(&n);
        QCOMPARE(n, 65);
        QSet<int> seen;
        for (int i = 0; i < n; ++i) {
            const CommandRow& r = rows[i];
            QVERIFY2(!seen.contains(r.code), qPrintable(QString("duplicate code %1").arg(r.code)));
            seen.insert(r.code);
            if (i > 0)
                QVERIFY(rows[i - 1].code < r.code);
            QCOMPARE(findCommand(r.code), &r);
            QVERIFY(r.name && QByteArray(r.name).startsWith("QS_"));
            QVERIFY(r.status && *r.status);
            QVERIFY(r.frameLen >= 7 && r.replyLen >= 7);
            // A row the dispatcher sends by itself is a bare 7-byte request.
            if (r.build == Build::Plain)
                QCOMPARE(int(r.frameLen), 7);
            // Fast rows never stop the dispatcher, so they have no reply time-out.
            if (r.timeoutMs == 0)
                QVERIFY(r.frameLen == 7);
            // Every request's function code has a reply branch, except the device-type conversion.
            if (r.code != QS_CONVERT_DEVICE_TYPE)
                QVERIFY2(findReply(r.fn), r.name);
        }
        QCOMPARE(findCommand(0), nullptr);
        QCOMPARE(findCommand(20), nullptr);
        QCOMPARE(findCommand(48), nullptr);
        QCOMPARE(findCommand(84), nullptr);
        QCOMPARE(findCommand(-1), nullptr);
    }

    void reply_data()
    {
        QTest::addColumn<int>("fn");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Ending>("ending");
        QTest::addColumn<bool>("restoreInterval");
        QTest::addColumn<bool>("msconTo5000");
        QTest::addColumn<bool>("textAfterDecode");

        QTest::newRow("1") << 1 << "取系统信息" << Ending::None << false << false << false;
        QTest::newRow("2") << 2 << "读入零点数据" << Ending::None << false << false << false;
        QTest::newRow("4") << 4 << "设置配置信息成功" << Ending::Resume << true << false << false;
        QTest::newRow("5") << 5 << "设置传感器类型成功" << Ending::Resume << false << false << true;
        QTest::newRow("8") << 8 << "读A/D测量值成功" << Ending::Resume << false << false << false;
        QTest::newRow("9") << 9 << "读温度测量值成功" << Ending::Resume << false << false << false;
        QTest::newRow("10") << 10 << "写AQ工程校准值成功" << Ending::Resume << false << true << false;
        QTest::newRow("11") << 11 << "执行自增益校准成功" << Ending::Resume << false << true << false;
        QTest::newRow("12") << 12 << "读电压测量值成功" << Ending::Resume << false << false << false;
        QTest::newRow("13") << 13 << "读入AO/DI/DO数值" << Ending::None << false << false << false;
        QTest::newRow("14") << 14 << QString() << Ending::Resume << false << false << false;
        QTest::newRow("18") << 18 << "读工程校准值成功" << Ending::None << false << false << false;
        QTest::newRow("19") << 19 << "读实时时钟成功" << Ending::Resume << false << false << false;
        QTest::newRow("21") << 21 << "读PDTag、DeviceID成功" << Ending::None << false << false << false;
        QTest::newRow("40") << 40 << "读测试扩展RAM结束" << Ending::Resume << false << false << false;
        QTest::newRow("43") << 43 << "写停止下位机运行并清空下位机程序命令成功" << Ending::Resume << false << false
                            << false;
        QTest::newRow("45") << 45 << "开始升级，请等待..." << Ending::Resume << false << false << false;
        QTest::newRow("47") << 47 << QString() << Ending::Resume << false << false << false;
        QTest::newRow("52") << 52 << "恢复默认参数成功" << Ending::Resume << false << false << false;
        QTest::newRow("56") << 56 << "恢复系统参数成功" << Ending::Resume << false << false << false;
        QTest::newRow("57") << 57 << "读取zigbee参数成功" << Ending::Resume << false << false << false;
        QTest::newRow("65") << 65 << QString() << Ending::Resume << false << false << false;
        QTest::newRow("66") << 66 << "读取从设备转发参数成功" << Ending::Resume << false << false << false;
        QTest::newRow("67") << 67 << "写从设备转发参数成功" << Ending::Resume << false << false << false;
        QTest::newRow("76") << 76 << "写入控制参数成功" << Ending::Resume << false << false << false;
        QTest::newRow("80") << 80 << "写Profibus状态成功" << Ending::Resume << false << false << false;
    }
    void reply()
    {
        QFETCH(int, fn);
        const ReplyRow* r = findReply(std::uint8_t(fn));
        QVERIFY(r);
        QCOMPARE(int(r->fn), fn);
        QTEST(s(r->text), "text");
        QTEST(r->ending, "ending");
        QTEST(r->restoreInterval, "restoreInterval");
        QTEST(r->msconTo5000, "msconTo5000");
        QTEST(r->textAfterDecode, "textAfterDecode");
    }

    void restoreParamsAndSelectedShareOneBranch()
    {
        const CommandRow* a = findCommand(QS_RESTORE_PARAMS);
        const CommandRow* b = findCommand(QS_RESTORE_SELECTED);
        QVERIFY(a && b);
        QCOMPARE(a->fn, b->fn);
        const ReplyRow* r = findReply(a->fn);
        QVERIFY(r);
        QCOMPARE(s(r->text), QString("恢复系统参数成功"));
    }

    void repliesWithoutBranch()
    {
        for (int fn : {0, 15, 25, 48, 53, 63, 72})
            QVERIFY2(!findReply(std::uint8_t(fn)), qPrintable(QString::number(fn)));
        for (int fn = 81; fn <= 255; ++fn)
            QVERIFY2(!findReply(std::uint8_t(fn)), qPrintable(QString::number(fn)));
        int branches = 0;
        for (int fn = 0; fn <= 255; ++fn)
            branches += findReply(std::uint8_t(fn)) ? 1 : 0;
        QCOMPARE(branches, 65);
    }

    void inlineFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain 1") << plainRequest(1) << QByteArray::fromHex("5555017E80AAAA");
        QTest::newRow("plain 57") << plainRequest(57) << QByteArray::fromHex("5555397F52AAAA");
        QTest::newRow("cold cal -300") << coldCalRequest(-300) << QByteArray::fromHex("55553CD4FE6F4CAAAA");
        const std::int16_t inner[8] = {0, 1, -1, 32767, -32768, 1000, -1000, 258};
        QTest::newRow("inner cal")
            << innerCalRequest(inner)
            << QByteArray::fromHex("55553D00000100FFFFFF7F0080E80318FC0201513EAAAA");
        QTest::newRow("restore selected 0x0F")
            << restoreSelectedRequest(0x0F) << QByteArray::fromHex("55553855AA0F23F0AAAA");
        QTest::newRow("profibus on") << profibusWriteRequest(true) << QByteArray::fromHex("55555001FC70AAAA");
        QTest::newRow("profibus off") << profibusWriteRequest(false) << QByteArray::fromHex("555550003DB0AAAA");
    }
    void inlineFrames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, expected);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
    }

    void inlineFramesMatchTheirRows()
    {
        const std::int16_t inner[8] = {};
        const struct {
            std::int16_t code;
            QByteArray frame;
        } cases[] = {
            {QS_WRITE_COLD_CAL, coldCalRequest(0)},
            {QS_WRITE_INNER_CAL, innerCalRequest(inner)},
            {QS_RESTORE_SELECTED, restoreSelectedRequest(0)},
            {QS_WRITE_PROFIBUS, profibusWriteRequest(false)},
        };
        for (const auto& c : cases) {
            const CommandRow* r = findCommand(c.code);
            QVERIFY(r);
            QCOMPARE(int(c.frame.size()), int(r->frameLen));
            QCOMPARE(std::uint8_t(c.frame[2]), r->fn);
        }
    }

    void didoReplyLen_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("len");
        QTest::newRow("plain old") << 7 << 0x1000 << 26;
        QTest::newRow("below 12856") << 7 << 12855 << 26;
        QTest::newRow("at 12856") << 7 << 12856 << 27;
        QTest::newRow("0x7FFF") << 7 << 0x7FFF << 27;
        QTest::newRow("0x8000 is negative") << 7 << 0x8000 << 26;
        QTest::newRow("0xFFFF is negative") << 7 << 0xFFFF << 26;
        QTest::newRow("type 29") << 29 << 0 << 27;
        QTest::newRow("type 33 negative version") << 33 << 0x9000 << 27;
        QTest::newRow("9732") << 7 << 9732 << 26;
        QTest::newRow("9732 on type 29") << 29 << 9732 << 26;
        QTest::newRow("9733 on type 33") << 33 << 9733 << 27;
    }
    void didoReplyLen()
    {
        QFETCH(int, type);
        QFETCH(int, version);
        QTEST(serial::didoReplyLen(std::uint8_t(type), std::uint16_t(version)), "len");
    }

    void useLongSysLayout_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("isLong");
        QTest::newRow("4358") << 7 << 4358 << false;
        QTest::newRow("4359") << 7 << 4359 << true;
        QTest::newRow("8191") << 7 << 8191 << true;
        QTest::newRow("8192") << 7 << 8192 << false;
        QTest::newRow("9555") << 7 << 9555 << false;
        QTest::newRow("9556") << 7 << 9556 << true;
        QTest::newRow("0xFFFF unsigned") << 7 << 0xFFFF << true;
        QTest::newRow("0") << 7 << 0 << false;
        QTest::newRow("type 29") << 29 << 0 << true;
        QTest::newRow("type 33") << 33 << 9000 << true;
        QTest::newRow("type 30") << 30 << 9000 << false;
    }
    void useLongSysLayout()
    {
        QFETCH(int, type);
        QFETCH(int, version);
        QTEST(serial::useLongSysLayout(std::uint8_t(type), std::uint16_t(version)), "isLong");
    }

    void decodeZigbeeReply()
    {
        // A 41-byte read reply: 55 55 39, 34-byte block, CRC, AA AA.
        const QByteArray frame = QByteArray::fromHex(
            "555539"
            "0201" "3412" "21436587"
            "1011121314151617" "A0A1A2A3A4A5A6A7"
            "0107" "FEFF" "2C01" "FF7F" "0080"
            "FBF5AAAA");
        QCOMPARE(frame.size(), 41);
        ZigbeeBlock z;
        QVERIFY(decodeZigbee(bytes(frame.mid(3, 34)), z));
        QCOMPARE(int(z.logic), 2);
        QCOMPARE(int(z.netType), 1);
        QCOMPARE(int(z.dnoLow), 0x1234);
        QCOMPARE(z.channelMask, std::int32_t(0x87654321u));
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(int(z.mac[i]), 0x10 + i);
            QCOMPARE(int(z.extPan[i]), 0xA0 + i);
        }
        QCOMPARE(int(z.enable), 1);
        QCOMPARE(int(z.chainAddr), 7);
        QCOMPARE(int(z.adv1), -2);
        QCOMPARE(int(z.adv2), 300);
        QCOMPARE(int(z.adv3), 32767);
        QCOMPARE(int(z.advFlag), -32768);
    }

    void decodeZigbeeRejectsShortBuffer()
    {
        ZigbeeBlock z;
        z.logic = 99;
        z.adv1 = 1234;
        const QByteArray frame(41, '\x5A');
        // One byte short of the block, and nothing at all.
        QVERIFY(!decodeZigbee(bytes(frame.left(33)), z));
        QVERIFY(!decodeZigbee({}, z));
        QCOMPARE(int(z.logic), 99);
        QCOMPARE(int(z.adv1), 1234);
        // Exactly enough bytes is fine.
        QVERIFY(decodeZigbee(bytes(frame.left(34)), z));
        QCOMPARE(int(z.logic), 0x5A);
    }

    void zigbeeTestTexts_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "测试zigbee成功";
        QTest::newRow("1") << 1 << "测试zigbee失败:  设备未上线";
        QTest::newRow("2") << 2 << "测试zigbee失败:  设备不通信";
        QTest::newRow("7") << 7 << "测试zigbee失败:  未知错误";
        QTest::newRow("255") << 255 << "测试zigbee失败:  未知错误";
    }
    void zigbeeTestTexts()
    {
        QFETCH(int, result);
        QTEST(s(zigbeeTestText(std::uint8_t(result))), "text");
    }
};

QTEST_GUILESS_MAIN(TstSerialCommands)
#include "tst_serial_commands.moc"
