#include "proto/eth_commands.h"
#include "proto/eth_replies.h"
#include "proto/net_datagram.h"

#include <QSet>
#include <QTest>

using namespace net;

namespace {
QString str(const char* s) { return s ? QString::fromUtf8(s) : QStringLiteral("<null>"); }
}

class TstEthTables : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandRow_data();
    void commandRow();
    void commandTexts();
    void codesWithoutRow_data();
    void codesWithoutRow();
    void commandTable_flagsAndOrder();
    void rowDrivesReadRequest();
    void liveSubIndex_data();
    void liveSubIndex();
    void innerCalPayload_littleEndian();
    void reply_data();
    void reply();
    void ignoredReplies_data();
    void ignoredReplies();
    void replyTable_noDuplicates();
    void everyCommandHasABranch_waitingOnesEndTheWait();
};

void TstEthTables::commandRow_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("write");
    QTest::addColumn<qint32>("index");
    QTest::addColumn<qint32>("sub");
    QTest::addColumn<qint32>("param");
    QTest::addColumn<bool>("asLeft");
    QTest::addColumn<qint32>("payload");
    QTest::addColumn<qint32>("timeout");
    QTest::addColumn<QString>("builder");
    QTest::addColumn<bool>("thenWrite");

    // Read and write sub-index spaces are separate: 10003/4 is both.
    QTest::newRow("4 write sys info") << 4 << "QE_WRITE_SYS_INFO" << true << 10003 << 4 << 0 << false << -1 << 10000 << "StoreSysInfo" << true;
    QTest::newRow("8 read prj cal") << 8 << "QE_READ_PRJ_CAL" << false << 10003 << 4 << 0 << false << 0 << 0 << "<null>" << false;
    QTest::newRow("5 write sensor type") << 5 << "QE_WRITE_SENSOR_TYPE" << true << 10003 << 5 << 0 << false << 11 << 5000 << "StoreSensortype" << true;
    QTest::newRow("12 read clock") << 12 << "QE_READ_CLOCK" << false << 10003 << 5 << 0 << false << 0 << 0 << "<null>" << false;
    QTest::newRow("17 write clock, fast") << 17 << "QE_WRITE_CLOCK" << true << 10003 << 9 << 0 << false << 7 << 0 << "WriteClock_E" << false;
    QTest::newRow("24 write lamp, fast") << 24 << "QE_WRITE_LAMP" << true << 10003 << 12 << 0 << false << 18 << 0 << "StoreLightState" << true;
    QTest::newRow("19 read slave, as left") << 19 << "QE_READ_SLAVE" << false << 10003 << 14 << 0 << true << 0 << 0 << "<null>" << false;
    QTest::newRow("18 AQ zero/full, as left") << 18 << "QE_WRITE_AQ_ZERO_FULL" << true << 10003 << 18 << 0 << true << 33 << 2000 << "WriteAQZeroFull" << false;
    QTest::newRow("36 flash block") << 36 << "QE_FLASH_BLOCK" << true << 10003 << 2 << 0 << true << 512 << 5000 << "SendFlashBlock" << false;
    QTest::newRow("27 RAM test") << 27 << "QE_TEST_RAM" << false << 10003 << 18 << 0 << false << 0 << 8000 << "<null>" << false;
    QTest::newRow("63 read weekday") << 63 << "QE_READ_WEEKDAY" << false << 107 << 0 << 0 << false << 0 << 3000 << "<null>" << false;
    QTest::newRow("64 write weekday") << 64 << "QE_WRITE_WEEKDAY" << true << 107 << 59 << 0 << false << 2 << 5000 << "WriteWeekDay_E" << false;
    QTest::newRow("68 read SM") << 68 << "QE_READ_SM" << false << 107 << 0 << 256 << false << 0 << 10000 << "<null>" << false;
    QTest::newRow("69 write SM") << 69 << "QE_WRITE_SM" << true << 107 << 257 << 0 << false << 512 << 10000 << "WriteSM" << false;
    QTest::newRow("71 write resend, variable") << 71 << "QE_WRITE_RESEND" << true << 14000 << 6 << 0 << false << -1 << 10000 << "WriteResend" << false;
    QTest::newRow("74 write rongyu") << 74 << "QE_WRITE_RONGYU" << true << 15000 << 0 << 0 << false << 208 << 10000 << "WriteRongyu" << false;
    QTest::newRow("100 idle poll") << 100 << "QE_REFRESH_LIVE" << false << 0 << 0 << 0 << false << 0 << 0 << "CircularRead" << false;
    QTest::newRow("102 write PD tag") << 102 << "QE_WRITE_PDTAG" << true << 10010 << 1 << 0 << false << -1 << 5000 << "StorePDTag" << true;
    QTest::newRow("177 write zigbee") << 177 << "QE_WRITE_ZIGBEE" << true << 14000 << 1 << 0 << false << 42 << 1000 << "WriteZigbeeParam" << false;
    QTest::newRow("180 write inner cal") << 180 << "QE_WRITE_INNER_CAL" << true << 10003 << 27 << 0 << false << 16 << 1000 << "innerCalPayload" << true;
    QTest::newRow("181 read inner cal") << 181 << "QE_READ_INNER_CAL" << false << 10003 << 21 << 0 << false << 0 << 1000 << "<null>" << false;
}

void TstEthTables::commandRow()
{
    QFETCH(int, code);
    const EthRow* r = findEthCommand(qint16(code));
    QVERIFY(r);
    QCOMPARE(int(r->code), code);
    QTEST(QString::fromLatin1(r->name), "name");
    QTEST(r->write, "write");
    QTEST(r->index, "index");
    QTEST(r->subIndex, "sub");
    QTEST(r->param, "param");
    QTEST(r->paramAsLeft, "asLeft");
    QTEST(r->payloadSize, "payload");
    QTEST(r->timeoutMs, "timeout");
    QTEST(str(r->builder), "builder");
    QTEST(r->builderThenWriteCmd, "thenWrite");
}

void TstEthTables::commandTexts()
{
    const EthRow* r = findEthCommand(QE_WRITE_SYS_INFO);
    QCOMPARE(str(r->status), QString("写系统参数"));
    QCOMPARE(str(r->wait), QString("正在写入系统参数，请等待"));
    QVERIFY(!r->statusAlt && !r->waitAlt);

    QVERIFY(!findEthCommand(QE_READ_SYS_INFO)->wait);
    QCOMPARE(str(findEthCommand(QE_READ_USER_BLOCK)->status), QString("读整个UserBlock，64k"));
    QCOMPARE(str(findEthCommand(QE_WRITE_DO)->status), QString("写DQ数据"));
    QCOMPARE(str(findEthCommand(QE_WRITE_DO)->wait), QString("正在写入DO数据，请等待"));
    QCOMPARE(str(findEthCommand(QE_STOP_AND_CLEAR)->status), QString("写停止下位机指令运行并清除指令命令"));
    QCOMPARE(str(findEthCommand(QE_WRITE_AI_ALARM)->wait), QString("正在写AI上下限报警值"));

    // The lamp-board check: enabling texts for PendParam 1, stopping texts for 0.
    r = findEthCommand(QE_LAMP_BOARD_CHECK);
    QCOMPARE(str(r->status), QString("使能灯板自动检测"));
    QCOMPARE(str(r->wait), QString("正在写使能灯板自动检测功能"));
    QCOMPARE(str(r->statusAlt), QString("停止灯板自动检测"));
    QCOMPARE(str(r->waitAlt), QString("正在写禁止灯板自动检测功能"));

    // The firmware block leaves StatusText alone; the restore of selected groups empties it.
    QVERIFY(!findEthCommand(QE_FLASH_BLOCK)->status);
    QCOMPARE(str(findEthCommand(QE_FLASH_BLOCK)->wait), QString("正在发送主程序"));
    r = findEthCommand(QE_RESTORE_SELECTED);
    QVERIFY(r->status && r->wait);
    QCOMPARE(str(r->status), QString());
    QCOMPARE(str(r->wait), QString());

    // Rows whose wait text is their status text.
    for (qint16 c : {QE_READ_CTRL, QE_WRITE_SM, QE_READ_RESEND_SLAVE, QE_WRITE_RESEND_SLAVE, QE_READ_ZIGBEE,
                     QE_WRITE_INNER_CAL, QE_READ_INNER_CAL}) {
        r = findEthCommand(c);
        QVERIFY2(r->wait == r->status, r->name);
    }
    QCOMPARE(str(findEthCommand(QE_READ_ZIGBEE)->wait), QString("读取以太网zigbee参数"));
    QCOMPARE(str(findEthCommand(QE_READ_INNER_CAL)->wait), QString("正在读取内部AI参数校准值"));
}

void TstEthTables::codesWithoutRow_data()
{
    QTest::addColumn<int>("code");
    for (int c : {-1, 21, 22, 37, 48, 52, 62, 72, 79, 99, 103, 175, 178, 179, 182, 32767})
        QTest::newRow(qPrintable(QString::number(c))) << c;
}

void TstEthTables::codesWithoutRow()
{
    QFETCH(int, code);
    QVERIFY(!findEthCommand(qint16(code)));
}

void TstEthTables::commandTable_flagsAndOrder()
{
    int n = 0;
    const EthRow* rows = ethRows(&n);
    QCOMPARE(n, 60);
    QSet<int> asLeft, thenWrite;
    for (int i = 0; i < n; ++i) {
        const EthRow& r = rows[i];
        QVERIFY(r.code >= 0 && r.code <= 181);
        if (i > 0)
            QVERIFY(rows[i - 1].code < r.code);
        QCOMPARE(findEthCommand(r.code), &r);
        QVERIFY(QByteArray(r.name).startsWith("QE_"));
        if (r.write)
            QVERIFY2(r.builder, r.name);
        else
            QVERIFY2(r.payloadSize == 0, r.name);
        if (r.paramAsLeft)
            asLeft.insert(r.code);
        if (r.builderThenWriteCmd)
            thenWrite.insert(r.code);
        QVERIFY(r.timeoutMs == 0 || (r.timeoutMs >= 1000 && r.timeoutMs <= 20000));
    }
    QCOMPARE(asLeft, (QSet<int>{15, 18, 19, 29, 33, 34, 35, 36, 49, 50, 51, 65}));
    QCOMPARE(thenWrite, (QSet<int>{4, 5, 6, 7, 11, 14, 16, 20, 24, 102, 180}));
}

void TstEthTables::rowDrivesReadRequest()
{
    const EthRow* r = findEthCommand(QE_READ_SYS_INFO);
    QCOMPARE(NetReadRequest(1, r->index, r->subIndex, r->param), QByteArray::fromHex("0c000000 1000 0100 0000 1327 0100 0000"));
    r = findEthCommand(QE_READ_SM);
    QCOMPARE(NetReadRequest(2, r->index, r->subIndex, r->param), QByteArray::fromHex("0c000000 1000 0200 0000 6b00 0000 0001"));
}

void TstEthTables::liveSubIndex_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("sub");
    QTest::newRow("temperature") << 0 << 9;
    QTest::newRow("A/D") << 1 << 8;
    QTest::newRow("voltage") << 2 << 12;
    QTest::newRow("3: nothing sent") << 3 << -1;
    QTest::newRow("-1: nothing sent") << -1 << -1;
}

void TstEthTables::liveSubIndex()
{
    QFETCH(int, mode);
    QFETCH(int, sub);
    const auto got = net::liveSubIndex(mode);
    QCOMPARE(got.has_value(), sub >= 0);
    if (got)
        QCOMPARE(*got, sub);
    QCOMPARE(SUB_LIVE_DIDO, 13);
}

void TstEthTables::innerCalPayload_littleEndian()
{
    const qint16 v[8] = {1, -1, 0x1234, -32768, 32767, 0, 256, -2};
    QCOMPARE(innerCalPayload(v).toHex(' '), QByteArray::fromHex("0100 ffff 3412 0080 ff7f 0000 0001 feff").toHex(' '));
}

void TstEthTables::reply_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<qint32>("index");
    QTest::addColumn<qint32>("sub");
    QTest::addColumn<qint32>("param");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("timers");
    QTest::addColumn<bool>("timersFirst");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("timersBeforeAction");

    const QString none = "<null>";
    QTest::newRow("R 10003/0 dump") << false << 10003 << 0 << 0 << "正在将数据写入文件，请等待……" << false << false << "userBlockDump" << false;
    QTest::newRow("R 10003/1") << false << 10003 << 1 << 0 << "读系统参数成功" << false << false << "DistributeSysParam" << false;
    QTest::newRow("R 10003/4 prj cal") << false << 10003 << 4 << 0 << "读工程校准值成功" << false << false << "DistriPrj" << false;
    QTest::newRow("W 10003/4 sys info") << true << 10003 << 4 << 0 << "写系统参数成功" << true << false << none << false;
    QTest::newRow("R 10003/14 slave, param ignored") << false << 10003 << 14 << 5 << "读从设备配置信息成功" << false << false << "DistributeSlaveInfo" << false;
    QTest::newRow("R 10003/18 RAM") << false << 10003 << 18 << 0 << "测试RAM结束" << true << false << "DistributeRAMTest" << false;
    QTest::newRow("R 10003/21 inner cal") << false << 10003 << 21 << 0 << "读内部AI校准值成功" << true << false << "innerCalRead" << false;
    QTest::newRow("R 10010/1") << false << 10010 << 1 << 0 << "写DeviceID、PDTag成功" << false << false << none << false;
    QTest::newRow("R 10010/2 text by action") << false << 10010 << 2 << 0 << none << false << false << "devIdTagRead" << false;
    QTest::newRow("R 107 param 0 weekday") << false << 107 << 0 << 0 << none << true << false << "weekdayRead" << false;
    QTest::newRow("R 107 param 256 SM") << false << 107 << 0 << 256 << none << true << false << "OnReadSM" << false;
    QTest::newRow("R 107 sub not looked at") << false << 107 << 59 << 0 << none << true << false << "weekdayRead" << false;
    QTest::newRow("R 11008/0") << false << 11008 << 0 << 0 << "读取控制参数成功" << true << false << "OnReadCtrl" << false;
    QTest::newRow("R 14000/1 zigbee, T first") << false << 14000 << 1 << 0 << "读取zigbee参数成功" << true << true << "zigbeeRead" << false;
    QTest::newRow("R 14000/5 gateway") << false << 14000 << 5 << 0 << "读取网关信息成功" << true << false << "DistributeNetGate" << false;
    QTest::newRow("R 15000/0") << false << 15000 << 0 << 0 << "读取冗余信息成功" << true << false << "OnReadRongyu" << false;
    QTest::newRow("W 10003/0 fw start") << true << 10003 << 0 << 1 << "开始升级，请等待..." << false << false << "firmwareStart" << false;
    QTest::newRow("W 10003/1 fw size") << true << 10003 << 1 << 0 << "下载升级包大小成功" << true << true << "firmwareSize" << false;
    QTest::newRow("W 10003/2 fw block") << true << 10003 << 2 << 0 << "发送升级数据成功" << true << true << "firmwareBlock" << false;
    QTest::newRow("W 10003/5 read back") << true << 10003 << 5 << 0 << "写传感器类型成功" << true << false << "pushReadSysInfo" << true;
    QTest::newRow("W 10003/11") << true << 10003 << 11 << 0 << "写自增益校准成功" << true << false << none << false;
    QTest::newRow("W 10003/16 AO") << true << 10003 << 16 << 0 << "写AO值成功" << true << false << none << false;
    QTest::newRow("W 10003/18 AQ zero/full") << true << 10003 << 18 << 2 << "写AO值成功" << true << false << "aqZeroFullStep" << false;
    QTest::newRow("W 10003/20 AQ type") << true << 10003 << 20 << 0 << "写AQ通道类型成功" << true << false << "aqTypeWritten" << true;
    QTest::newRow("W 10003/22 stop and clear") << true << 10003 << 22 << 0 << "写停止下位机运行并清除下位机命令成功" << true << false << "restoreTimerInterval" << false;
    QTest::newRow("W 10003/23 lamp board") << true << 10003 << 23 << 1 << "灯板检测通信成功" << true << false << "clearPendParam" << true;
    QTest::newRow("W 10003/25 run/stop") << true << 10003 << 25 << 0 << "启动成功" << true << false << "toggleRunStop" << false;
    QTest::newRow("W 10003/17 slave record") << true << 10003 << 17 << 0 << none << true << false << "slaveRowWritten" << false;
    QTest::newRow("W 10003/28 restore selected") << true << 10003 << 28 << 3 << "恢复系统参数成功" << true << false << none << false;
    QTest::newRow("W 10010/2") << true << 10010 << 2 << 0 << "写PD_Tag成功" << true << false << none << false;
    QTest::newRow("W 10010/1 any other") << true << 10010 << 1 << 0 << none << true << false << none << false;
    QTest::newRow("W 10010/9 any other") << true << 10010 << 9 << 0 << none << true << false << none << false;
    QTest::newRow("W 107/59 weekday") << true << 107 << 59 << 0 << none << true << false << none << false;
    QTest::newRow("W 107/257 SM") << true << 107 << 257 << 0 << "写SM区信息成功" << true << false << none << false;
    QTest::newRow("W 14000/7 gateway") << true << 14000 << 7 << 0 << "写入网关信息成功" << true << false << none << false;
}

void TstEthTables::reply()
{
    QFETCH(bool, write);
    QFETCH(qint32, index);
    QFETCH(qint32, sub);
    QFETCH(qint32, param);
    const EthReplyRow* r = findEthReply(write, index, sub, param);
    QVERIFY(r);
    QCOMPARE(r->write, write);
    QCOMPARE(r->index, index);
    QTEST(str(r->text), "text");
    QTEST(r->timers, "timers");
    QTEST(r->timersFirst, "timersFirst");
    QTEST(str(r->action), "action");
    QTEST(r->timersBeforeAction, "timersBeforeAction");
}

void TstEthTables::ignoredReplies_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<qint32>("index");
    QTest::addColumn<qint32>("sub");
    QTest::addColumn<qint32>("param");
    QTest::newRow("R 10003/6") << false << 10003 << 6 << 0;
    QTest::newRow("R 10003/7") << false << 10003 << 7 << 0;
    QTest::newRow("R 10003/11") << false << 10003 << 11 << 0;
    QTest::newRow("R 10003/22") << false << 10003 << 22 << 0;
    QTest::newRow("R 107 param 1") << false << 107 << 0 << 1;
    QTest::newRow("R 107 param 257") << false << 107 << 0 << 257;
    QTest::newRow("R 10010/3") << false << 10010 << 3 << 0;
    QTest::newRow("R 11008/1") << false << 11008 << 1 << 0;
    QTest::newRow("R 14000/2") << false << 14000 << 2 << 0;
    QTest::newRow("R 14000/6") << false << 14000 << 6 << 0;
    QTest::newRow("R 15000/1") << false << 15000 << 1 << 0;
    QTest::newRow("W 10003/3") << true << 10003 << 3 << 0;
    QTest::newRow("W 10003/13") << true << 10003 << 13 << 0;
    QTest::newRow("W 10003/24") << true << 10003 << 24 << 0;
    QTest::newRow("W 10003/29") << true << 10003 << 29 << 0;
    QTest::newRow("W 107/0 param 256 (writes key on sub)") << true << 107 << 0 << 256;
    QTest::newRow("W 14000/2") << true << 14000 << 2 << 0;
    QTest::newRow("W 14000/4") << true << 14000 << 4 << 0;
    QTest::newRow("W 15000/1") << true << 15000 << 1 << 0;
    QTest::newRow("R unknown index") << false << 12345 << 1 << 0;
    QTest::newRow("W index 0") << true << 0 << 0 << 0;
}

void TstEthTables::ignoredReplies()
{
    QFETCH(bool, write);
    QFETCH(qint32, index);
    QFETCH(qint32, sub);
    QFETCH(qint32, param);
    QVERIFY(!findEthReply(write, index, sub, param));
}

void TstEthTables::replyTable_noDuplicates()
{
    int n = 0;
    const EthReplyRow* rows = ethReplyRows(&n);
    QSet<QString> keys;
    for (int i = 0; i < n; ++i) {
        const auto key = QStringLiteral("%1 %2/%3").arg(rows[i].write).arg(rows[i].index).arg(rows[i].subIndex);
        QVERIFY2(!keys.contains(key), qPrintable(key));
        keys.insert(key);
        QVERIFY(!rows[i].timersFirst || rows[i].timers);
        QVERIFY(!rows[i].timersBeforeAction || (rows[i].timers && rows[i].action));
    }
}

void TstEthTables::everyCommandHasABranch_waitingOnesEndTheWait()
{
    // A waiting command is ended by its reply (T), except the user-block dump,
    // which collects replies until its time-out, and the firmware start,
    // whose reply pauses the dispatcher instead.
    int n = 0;
    const EthRow* rows = ethRows(&n);
    for (int i = 0; i < n; ++i) {
        const EthRow& c = rows[i];
        if (c.code == QE_REFRESH_LIVE)
            continue;
        const EthReplyRow* r = findEthReply(c.write, c.index, c.subIndex, c.param);
        QVERIFY2(r, c.name);
        if (c.timeoutMs > 0 && c.code != QE_READ_USER_BLOCK && c.code != QE_FLASH_START)
            QVERIFY2(r->timers, c.name);
    }
    for (int mode = 0; mode < 3; ++mode)
        QVERIFY(findEthReply(false, IDX_SYSTEM, *net::liveSubIndex(mode), 0));
    QVERIFY(findEthReply(false, IDX_SYSTEM, SUB_LIVE_DIDO, 0));
}

QTEST_GUILESS_MAIN(TstEthTables)
#include "tst_eth_tables.moc"
