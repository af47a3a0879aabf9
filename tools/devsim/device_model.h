// The simulated field device: one remote I/O module with 11 analog inputs,
// 8 analog outputs, 4 DI, 2 DO, 18 LEDs, a clock, an Ethernet port and two
// RS-485 ports. Every field is public so tests can set what the device holds
// before the program reads it, and check what the program wrote.
//
// The block functions build and take apart the device's data blocks with the
// device's own byte layout. Serial and UDP sides share them: a serial reply
// carries a block after its function code, a UDP reply after its 12-byte
// header.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <array>
#include <memory>

struct SimDeviceModel
{
    SimDeviceModel();

    // ---- system parameters -------------------------------------------------
    quint32 serialNo = 1234;
    std::array<quint8, 4> ip{127, 0, 0, 1};
    quint8 moduleAddr = 1;
    std::array<quint8, 11> sensorType{};
    std::array<quint8, 2> portLine{};  // parity<<6 | 7bits<<5 | 2stop<<4 | baud index
    std::array<quint8, 2> portProto{}; // protocol index | mark<<4
    quint8 adMode = 0x13;
    quint16 diDebounce = 2;
    qint16 coldCal = 0;
    quint8 tempCompFlags = 0x44;
    quint16 subScanCtrl = 1;
    quint16 subScanInterval = 1000;
    quint8 deviceType = 7; // MRK7000
    std::array<qint16, 8> aqAdjust{};
    quint16 innerVersion = 0x3301;
    quint8 versionByte = 0x23;
    quint16 prodYear = 2023;
    quint8 prodMonth = 6, prodDay = 15, prodHour = 10, prodMinute = 20, prodSecond = 30;
    std::array<quint8, 2> masterSlave{1, 0};
    std::array<quint8, 11> chnlEnable{};
    quint16 udpPort = 15001;
    quint16 cpuType = 1;
    quint8 subMaxErr = 3;
    quint16 subCommIntv = 100;
    quint16 subWaitTime = 500;
    std::array<quint8, 2> rsDataTime{5, 5};
    quint8 noUserProgram = 0;
    quint8 bootVersion = 0x12; // major in the high nibble
    quint8 runState = 1;
    quint8 commErrTime = 3;
    quint16 commInterTime = 100;
    quint16 commWaitTime = 1000;
    quint16 statusMask = 0;

    // ---- analog inputs -------------------------------------------------------
    std::array<qint32, 11> zero{};
    std::array<qint32, 11> full{};
    std::array<qint16, 11> prjCal{};
    std::array<qint16, 8> innerCal{};
    // Live values: a base per channel plus a small wobble that changes on every read.
    std::array<qint32, 11> adBase{};
    std::array<qint16, 11> tempBase{};
    std::array<float, 11> voltBase{};
    bool liveJitter = true;
    quint32 liveTick = 0;

    // ---- DI / DO / AO / LEDs -------------------------------------------------
    quint8 diByte = 0x05;
    quint8 doByte = 0;
    std::array<qint16, 8> aoValue{}; // output value x 1000
    quint8 hardAddr = 1;
    quint8 battery = 36; // volts x 10
    std::array<quint8, 18> leds{};

    // ---- AQ channels ---------------------------------------------------------
    std::array<quint8, 8> aqType{};   // 0 voltage, 1 current, 2 switching
    quint8 aqToDq = 0;                // bit c = DQ output of channel c
    // Per channel c: [4c] voltage zero, [4c+1] voltage full, [4c+2] current zero,
    // [4c+3] current full, thousandths of a volt or milliampere.
    std::array<qint16, 32> aqZeroFull{};
    quint8 lastAqZeroFullMode = 0xFF;

    // ---- alarms, tests, control ---------------------------------------------
    quint8 aiAlarmStatus = 0;
    std::array<qint16, 8> aiAlarmUp{};
    std::array<qint16, 8> aiAlarmDown{};
    quint8 ramTestResult = 0;   // bit i = part i failed
    quint8 lampBoardCheck = 0;
    quint8 selfCalKind = 0;
    quint8 profibus = 0;
    quint8 zigbeeTestResult = 0;
    quint8 lastRestoreMask = 0;
    int saveCount = 0;
    int restoreCount = 0;
    int restoreDefaultsCount = 0;
    int convertCount = 0;
    int stopAndClearCount = 0;
    // The parameter set as last saved: restore brings back the groups asked
    // for, the defaults bring back the factory set. Groups by mask bit:
    // 0 controller, 1 SM area, 2 slave table, 3 DeviceID and PD tag,
    // 4 device (AI alarm limits), 5 forwarding, 6 ZigBee, 7 redundancy.
    struct StoredParams;
    std::shared_ptr<const StoredParams> storedParams;
    void stopAndClear();   // the user program stops and is gone
    void saveParams();
    // The request of a restore: no payload restores every group; 55 AA and a
    // mask restores the groups of the mask.
    void restoreParams(const QByteArray &request);
    void restoreDefaults();

    // ---- clock ---------------------------------------------------------------
    qint64 clockOffsetSecs = 0; // device clock minus host clock
    int weekdayShift = 0;       // the weekday is kept apart from the date, as on the RTC chip

    // ---- identity --------------------------------------------------------------
    QByteArray hardwareNumber = "20230615000042";
    QByteArray deviceId;   // 32 bytes, see composeDeviceId()
    QByteArray pdTag;      // 32 bytes
    QByteArray idTail;     // the 18 bytes after them in the Ethernet block
    std::array<quint8, 6> mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    std::array<quint8, 4> gateway{127, 0, 0, 254};
    std::array<quint8, 4> subnet{255, 0, 0, 0};

    // ---- field-side blocks -----------------------------------------------------
    std::array<QByteArray, 16> slaves; // 12-byte records
    QByteArray zigbee;      // 34 bytes
    QByteArray ctrl;        // 242 bytes
    QByteArray sm;          // 512 bytes: 128 signed 32-bit values
    QByteArray memArea;     // 512 bytes; the weekday word sits at offset 116
    QByteArray resend;      // 488 bytes: 8-byte head and 20 entries of 24
    QByteArray resendSlave; // 64 bytes: 16 start/end pairs
    QByteArray rongyu;      // 208 bytes
    QByteArray userBlock;   // the whole user block, 64 KiB

    // ---- firmware transfer -----------------------------------------------------
    bool flashStarted = false;
    quint16 flashBlockCount = 0;
    int flashBlocksReceived = 0;
    QByteArray flashImage; // the blocks stored since the last start, in order
    void flashStart();
    void flashSize(quint16 blocks);
    void flashBlock(const QByteArray &block);

    // ---- rules ---------------------------------------------------------------
    // Device number: model code, production date, last four digits of the
    // serial number ("95" "20230615" "1234" for an MRK7000).
    QByteArray deviceNumber() const;
    // DeviceID: hardware number and device number, each padded to 16 with "0".
    // Call after changing the type, the production date or the serial number.
    void composeDeviceId();

    // The long DI/DO block (with the battery byte) comes from models 29 and 33 and
    // from firmware 0x3238 on, but not from firmware 0x2604.
    bool longDido() const;
    int didoReplyLength() const { return longDido() ? 27 : 26; }

    QDateTime clock() const;
    void setClock(const QDateTime &dt);
    int weekday() const; // 1 Monday .. 7 Sunday
    void setWeekday(int w);

    // ---- blocks out ------------------------------------------------------------
    QByteArray sysParamBlock(bool ethernet) const; // 104 bytes
    QByteArray zeroBlock() const;                  // 44
    QByteArray fullBlock() const;                  // 44
    QByteArray adBlock();                          // 44, advances the wobble
    QByteArray tempBlock();                        // 22
    QByteArray voltBlock();                        // 44
    QByteArray didoBlock() const;                  // 19 or 20
    QByteArray ledBlock() const;                   // 18
    QByteArray prjCalBlock() const;                // 22
    QByteArray innerCalBlock() const;              // 16
    QByteArray clockBlock(bool withWeekday) const; // 7 or 8
    QByteArray devIdBlock(bool ethernet) const;    // 64 or 82
    QByteArray macBlock() const;                   // 6
    QByteArray netGateBlock() const;               // 8
    QByteArray aqTypeBlock() const;                // 8
    QByteArray aqZeroFullBlock() const;            // 64
    QByteArray aiAlarmBlock() const;               // 33
    QByteArray slaveRecord(int row) const;         // 12
    QByteArray memAreaBlock() const;               // 512
    QByteArray sensorTypeBlock() const;            // 11

    // ---- blocks in (payload as received) ---------------------------------------
    void applySysParam(const QByteArray &p); // short (84) or long (>= 213) layout
    void applySensorTypes(const QByteArray &p);
    void applyZero(const QByteArray &p);
    void applyFull(const QByteArray &p);
    void applyDo(quint8 b);
    void applyAo(const QByteArray &p);
    void applyLeds(const QByteArray &p);
    void applyPrjCal(const QByteArray &p);
    void applyInnerCal(const QByteArray &p);
    void applyAqAdjust(const QByteArray &p);
    void applyClock(const QByteArray &p, bool withWeekday);
    void applyDevId(const QByteArray &p);
    void applyMac(const QByteArray &p);
    void applyNetGate(const QByteArray &p);
    void applyAqTypes(const QByteArray &p);
    void applyAqZeroFull(const QByteArray &p); // 33-byte write form
    void applyAiAlarm(const QByteArray &p);    // 32-byte write form
    void applySlaveRecord(const QByteArray &p);
    void applyResend(const QByteArray &p);
};
