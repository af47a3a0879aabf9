#include "devsim/device_model.h"

#include "devsim/bytes.h"

#include <cstring>

using namespace sim;

namespace {

QByteArray padded(const char *text, int size, char pad)
{
    QByteArray b(text);
    b = b.left(size);
    if (b.size() < size)
        b.append(QByteArray(size - b.size(), pad));
    return b;
}

QByteArray fitted(const QByteArray &b, int size)
{
    QByteArray out = b.left(size);
    if (out.size() < size)
        out.append(QByteArray(size - out.size(), '\0'));
    return out;
}

quint32 floatBits(float f)
{
    quint32 u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

} // namespace

SimDeviceModel::SimDeviceModel()
{
    // An MRK7000 with type-K thermocouples on channels 0..7, a PT100 on 8,
    // a voltage and a current input on 9 and 10.
    for (int i = 0; i < 8; ++i)
        sensorType[i] = 12; // K
    sensorType[8] = 13;     // PT100
    sensorType[9] = 1;      // V
    sensorType[10] = 2;     // I
    portLine = {0x03, 0x04};  // 8N1 at 9600 and 19200 baud
    portProto = {0x01, 0x01}; // Modbus RTU on both ports
    chnlEnable.fill(1);
    for (int i = 0; i < 8; ++i)
        aqAdjust[i] = qint16(i);

    for (int i = 0; i < 11; ++i) {
        zero[i] = 1200 + 3 * i;
        full[i] = 838860 + 17 * i;
        prjCal[i] = qint16(100 + i);
        adBase[i] = 400000 + 1000 * i;
        tempBase[i] = qint16(2990 + i);
        voltBase[i] = 1.25f + 0.125f * float(i);
    }
    for (int i = 0; i < 8; ++i)
        innerCal[i] = qint16(2 * i - 5);

    aoValue = {5000, 0, 2500, 0, 12000, 4000, 0, 0};
    aqType = {0, 0, 0, 0, 1, 1, 2, 2};
    for (int c = 0; c < 8; ++c) {
        aqZeroFull[4 * c] = qint16(c);              // voltage zero
        aqZeroFull[4 * c + 1] = qint16(10000 - c);  // voltage full
        aqZeroFull[4 * c + 2] = qint16(4000 + c);   // current zero
        aqZeroFull[4 * c + 3] = qint16(20000 - c);  // current full
    }
    for (int i = 0; i < 8; ++i) {
        aiAlarmUp[i] = qint16(1000 + 10 * i);
        aiAlarmDown[i] = qint16(-100 - 10 * i);
    }

    composeDeviceId();
    pdTag = padded("SIM MRK7000", 32, ' ');
    idTail = QByteArray(18, '\0');

    for (int r = 0; r < 16; ++r) {
        QByteArray rec(12, '\0');
        putU8(rec, 0, r);
        putU8(rec, 1, 1);
        if (r == 0) {
            putU8(rec, 4, 1);       // address
            putU8(rec, 5, 1);       // Modbus RTU
            putU16(rec, 6, 12);     // MRK7000
            putU16(rec, 8, 1000);   // scan time
            putU8(rec, 10, 3);
        } else if (r == 1) {
            putU8(rec, 4, 2);
            putU8(rec, 5, 2);       // Modbus ASCII
            putU16(rec, 6, 254);    // other device
            putU16(rec, 8, 500);
            putU8(rec, 10, 1);
        } else {
            putU8(rec, 5, 1);
            putU16(rec, 6, 255);    // not configured
        }
        slaves[r] = rec;
    }

    zigbee = QByteArray(34, '\0');
    putU8(zigbee, 0, 0);             // coordinator
    putU8(zigbee, 1, 5);             // mesh
    putU16(zigbee, 2, 0x1234);       // network number
    putU32(zigbee, 4, 0x00007FFF);   // channel mask
    const quint8 zbMac[8] = {0x00, 0x12, 0x4B, 0x00, 0x01, 0x02, 0x03, 0x04};
    for (int i = 0; i < 8; ++i) {
        putU8(zigbee, 8 + i, zbMac[i]);
        putU8(zigbee, 16 + i, 0x11 + i); // extended PAN
    }
    putU8(zigbee, 24, 1);            // enabled
    putU8(zigbee, 25, 0);            // chain address
    putU16(zigbee, 26, 3);
    putU16(zigbee, 28, 10);
    putU16(zigbee, 30, 100);
    putU16(zigbee, 32, 0);

    ctrl = QByteArray(242, '\0');
    for (int i = 0; i < ctrl.size(); ++i)
        ctrl[i] = char((i * 7) % 251);
    sm = QByteArray(512, '\0');
    for (int i = 0; i < 128; ++i)
        putU32(sm, 4 * i, quint32(10 * i));
    memArea = QByteArray(512, '\0');
    resend = QByteArray(488, '\0');
    resendSlave = QByteArray(64, '\0');
    for (int i = 0; i < 16; ++i) {
        putU16(resendSlave, 4 * i, quint32(1 + 10 * i));
        putU16(resendSlave, 4 * i + 2, quint32(10 + 10 * i));
    }
    rongyu = QByteArray(208, '\0');
    for (int i = 0; i < rongyu.size(); ++i)
        rongyu[i] = char(i % 13);
    userBlock = QByteArray(65536, '\0');
    for (int i = 0; i < userBlock.size(); ++i)
        userBlock[i] = char((i * 31 + (i >> 8)) & 0xFF);
}

QByteArray SimDeviceModel::deviceNumber() const
{
    const char *code = "87";
    switch (deviceType) {
    case 1: code = "87"; break;
    case 2: code = "85"; break;
    case 3: code = "92"; break;
    case 4:
    case 5: code = "90"; break;
    case 6: code = "96"; break;
    case 7: code = "95"; break;
    case 12:
    case 14: code = "196"; break;
    case 13: code = "195"; break;
    case 16: code = "129"; break;
    case 29: code = "188"; break;
    case 33: code = "181"; break;
    default: break;
    }
    const QByteArray serial = QByteArray::number(serialNo).rightJustified(4, '0').right(4);
    return QByteArray(code) + QByteArray::number(prodYear).rightJustified(4, '0')
        + QByteArray::number(prodMonth).rightJustified(2, '0') + QByteArray::number(prodDay).rightJustified(2, '0')
        + serial;
}

void SimDeviceModel::composeDeviceId()
{
    deviceId = hardwareNumber.left(16).rightJustified(16, '0') + deviceNumber().left(16).rightJustified(16, '0');
}

bool SimDeviceModel::longDido() const
{
    if (innerVersion == 0x2604)
        return false;
    return deviceType == 29 || deviceType == 33 || qint16(innerVersion) >= 0x3238;
}

QDateTime SimDeviceModel::clock() const
{
    return QDateTime::currentDateTime().addSecs(clockOffsetSecs);
}

void SimDeviceModel::setClock(const QDateTime &dt)
{
    if (!dt.isValid())
        return;
    // The weekday register is not touched by a date write.
    const int w = weekday();
    clockOffsetSecs = QDateTime::currentDateTime().secsTo(dt);
    setWeekday(w);
}

int SimDeviceModel::weekday() const
{
    const int base = clock().date().dayOfWeek() - 1; // 0 Monday
    return ((base + weekdayShift) % 7 + 7) % 7 + 1;
}

void SimDeviceModel::setWeekday(int w)
{
    if (w >= 1 && w <= 7)
        weekdayShift = w - clock().date().dayOfWeek();
}

QByteArray SimDeviceModel::sysParamBlock(bool ethernet) const
{
    QByteArray p(104, '\0');
    putU32(p, 0, serialNo);
    for (int i = 0; i < 4; ++i)
        putU8(p, 4 + i, ip[i]);
    putU8(p, 8, moduleAddr);
    for (int i = 0; i < 7; ++i)
        putU8(p, 9 + i, sensorType[i]);
    putU8(p, 16, portLine[0]);
    putU8(p, 17, portProto[0]);
    putU8(p, 18, portLine[1]);
    putU8(p, 19, portProto[1]);
    putU8(p, 20, adMode);
    putU16(p, 21, diDebounce);
    putU16(p, 23, quint16(coldCal));
    putU8(p, 25, tempCompFlags);
    putU16(p, 26, subScanCtrl);
    putU16(p, 28, subScanInterval);
    putU8(p, 30, deviceType);
    putU16(p, 31, quint16(aqAdjust[0]));
    putU16(p, 33, quint16(aqAdjust[1]));
    putU16(p, 35, innerVersion);
    putU8(p, 37, sensorType[7]);
    putU8(p, 38, versionByte);
    putU16(p, 43, prodYear);
    putU8(p, 45, prodMonth);
    putU8(p, 46, prodDay);
    putU8(p, 47, prodHour);
    putU8(p, 48, prodMinute);
    putU8(p, 49, prodSecond);
    putU8(p, 50, masterSlave[0]);
    putU8(p, 51, masterSlave[1]);
    quint8 en = 0;
    for (int i = 0; i < 8; ++i)
        en |= quint8((chnlEnable[i] & 1) << i);
    putU8(p, 52, en);
    putU16(p, 53, udpPort);
    putU16(p, 55, cpuType);
    putU8(p, 57, subMaxErr);
    putU16(p, 58, subCommIntv);
    putU16(p, 60, subWaitTime);
    putU8(p, 62, rsDataTime[0]);
    putU8(p, 63, rsDataTime[1]);
    putU8(p, 64, noUserProgram);
    putU8(p, 65, bootVersion);
    putU8(p, 66, runState);
    for (int i = 0; i < 3; ++i)
        putU8(p, 67 + i, sensorType[8 + i]);
    for (int i = 0; i < 6; ++i)
        putU16(p, 70 + 2 * i, quint16(aqAdjust[2 + i]));
    quint8 en2 = 0;
    for (int i = 0; i < 3; ++i)
        en2 |= quint8((chnlEnable[8 + i] & 1) << i);
    putU8(p, 82, en2);
    // The communication times and the status flags sit at different places on
    // the two links.
    const int tail = ethernet ? 87 : 85;
    putU8(p, tail, commErrTime);
    putU16(p, tail + 1, commInterTime);
    putU16(p, tail + 3, commWaitTime);
    putU16(p, ethernet ? 100 : 90, statusMask);
    return p;
}

QByteArray SimDeviceModel::zeroBlock() const
{
    QByteArray p(44, '\0');
    for (int i = 0; i < 11; ++i)
        putU32(p, 4 * i, quint32(zero[i]));
    return p;
}

QByteArray SimDeviceModel::fullBlock() const
{
    QByteArray p(44, '\0');
    for (int i = 0; i < 11; ++i)
        putU32(p, 4 * i, quint32(full[i]));
    return p;
}

namespace {
int wobble(quint32 tick, int ch)
{
    return int((tick * 7 + quint32(ch) * 3) % 5) - 2; // -2 .. +2
}
} // namespace

QByteArray SimDeviceModel::adBlock()
{
    ++liveTick;
    QByteArray p(44, '\0');
    for (int i = 0; i < 11; ++i)
        putU32(p, 4 * i, quint32(adBase[i] + (liveJitter ? 10 * wobble(liveTick, i) : 0)));
    return p;
}

QByteArray SimDeviceModel::tempBlock()
{
    ++liveTick;
    QByteArray p(22, '\0');
    for (int i = 0; i < 11; ++i)
        putU16(p, 2 * i, quint16(tempBase[i] + (liveJitter ? wobble(liveTick, i) : 0)));
    return p;
}

QByteArray SimDeviceModel::voltBlock()
{
    ++liveTick;
    QByteArray p(44, '\0');
    for (int i = 0; i < 11; ++i) {
        const float v = voltBase[i] + (liveJitter ? 0.001f * float(wobble(liveTick, i)) : 0.0f);
        putU32(p, 4 * i, floatBits(v));
    }
    return p;
}

QByteArray SimDeviceModel::didoBlock() const
{
    QByteArray p(longDido() ? 20 : 19, '\0');
    putU8(p, 0, diByte);
    putU8(p, 1, doByte);
    for (int i = 0; i < 8; ++i)
        putU16(p, 2 + 2 * i, quint16(aoValue[i]));
    putU8(p, 18, hardAddr);
    if (longDido())
        putU8(p, 19, battery);
    return p;
}

QByteArray SimDeviceModel::ledBlock() const
{
    QByteArray p(18, '\0');
    for (int i = 0; i < 18; ++i)
        putU8(p, i, leds[i]);
    return p;
}

QByteArray SimDeviceModel::prjCalBlock() const
{
    QByteArray p(22, '\0');
    for (int i = 0; i < 11; ++i)
        putU16(p, 2 * i, quint16(prjCal[i]));
    return p;
}

QByteArray SimDeviceModel::innerCalBlock() const
{
    QByteArray p(16, '\0');
    for (int i = 0; i < 8; ++i)
        putU16(p, 2 * i, quint16(innerCal[i]));
    return p;
}

QByteArray SimDeviceModel::clockBlock(bool withWeekday) const
{
    const QDateTime now = clock();
    QByteArray p(withWeekday ? 8 : 7, '\0');
    putU16(p, 0, quint32(now.date().year()));
    putU8(p, 2, quint32(now.date().month()));
    putU8(p, 3, quint32(now.date().day()));
    putU8(p, 4, quint32(now.time().hour()));
    putU8(p, 5, quint32(now.time().minute()));
    putU8(p, 6, quint32(now.time().second()));
    if (withWeekday)
        putU8(p, 7, quint32(weekday()));
    return p;
}

QByteArray SimDeviceModel::devIdBlock(bool ethernet) const
{
    QByteArray p = fitted(deviceId, 32) + fitted(pdTag, 32);
    if (ethernet)
        p += fitted(idTail, 18);
    return p;
}

QByteArray SimDeviceModel::macBlock() const
{
    QByteArray p(6, '\0');
    for (int i = 0; i < 6; ++i)
        putU8(p, i, mac[i]);
    return p;
}

QByteArray SimDeviceModel::netGateBlock() const
{
    QByteArray p(8, '\0');
    for (int i = 0; i < 4; ++i) {
        putU8(p, i, gateway[i]);
        putU8(p, 4 + i, subnet[i]);
    }
    return p;
}

QByteArray SimDeviceModel::aqTypeBlock() const
{
    QByteArray p(8, '\0');
    for (int i = 0; i < 8; ++i)
        putU8(p, i, aqType[i]);
    return p;
}

QByteArray SimDeviceModel::aqZeroFullBlock() const
{
    QByteArray p(64, '\0');
    for (int k = 0; k < 32; ++k)
        putU16(p, 2 * k, quint16(aqZeroFull[k]));
    return p;
}

QByteArray SimDeviceModel::aiAlarmBlock() const
{
    QByteArray p(33, '\0');
    putU8(p, 0, aiAlarmStatus);
    for (int i = 0; i < 8; ++i) {
        putU16(p, 1 + 4 * i, quint16(aiAlarmUp[i]));
        putU16(p, 3 + 4 * i, quint16(aiAlarmDown[i]));
    }
    return p;
}

QByteArray SimDeviceModel::slaveRecord(int row) const
{
    QByteArray rec = (row >= 0 && row < 16) ? fitted(slaves[row], 12) : QByteArray(12, '\0');
    putU8(rec, 0, quint32(row));
    putU8(rec, 1, 1);
    return rec;
}

QByteArray SimDeviceModel::memAreaBlock() const
{
    QByteArray p = fitted(memArea, 512);
    putU16(p, 116, quint32(weekday()));
    return p;
}

QByteArray SimDeviceModel::sensorTypeBlock() const
{
    QByteArray p(11, '\0');
    for (int i = 0; i < 11; ++i)
        putU8(p, i, sensorType[i]);
    return p;
}

void SimDeviceModel::applySysParam(const QByteArray &p)
{
    if (p.size() < 52)
        return;
    serialNo = getU32(p, 0);
    for (int i = 0; i < 4; ++i)
        ip[i] = u8(p, 4 + i);
    moduleAddr = u8(p, 8);
    portLine[0] = u8(p, 9);
    portProto[0] = u8(p, 10);
    portLine[1] = u8(p, 11);
    portProto[1] = u8(p, 12);
    adMode = u8(p, 13);
    diDebounce = getU16(p, 14);
    coldCal = getI16(p, 16);
    tempCompFlags = u8(p, 18);
    prodYear = getU16(p, 19);
    prodMonth = u8(p, 21);
    prodDay = u8(p, 22);
    prodHour = u8(p, 23);
    prodMinute = u8(p, 24);
    prodSecond = u8(p, 25);
    masterSlave[0] = u8(p, 26);
    masterSlave[1] = u8(p, 27);
    for (int i = 0; i < 8; ++i)
        chnlEnable[i] = (u8(p, 28) >> i) & 1;
    udpPort = getU16(p, 29);
    cpuType = getU16(p, 31);
    subMaxErr = u8(p, 33);
    subCommIntv = getU16(p, 34);
    subWaitTime = getU16(p, 36);
    subScanCtrl = getU16(p, 38);
    subScanInterval = getU16(p, 40);
    rsDataTime[0] = u8(p, 42);
    rsDataTime[1] = u8(p, 43);
    for (int i = 0; i < 3; ++i)
        chnlEnable[8 + i] = (u8(p, 44) >> i) & 1;
    commErrTime = u8(p, 47);
    commInterTime = getU16(p, 48);
    commWaitTime = getU16(p, 50);

    if (p.size() < 213)
        return;
    // The long layout also carries the blocks that have writes of their own.
    for (int i = 0; i < 6; ++i)
        mac[i] = u8(p, 54 + i);
    for (int i = 0; i < 11; ++i) {
        sensorType[i] = u8(p, 60 + i);
        prjCal[i] = getI16(p, 71 + 2 * i);
    }
    for (int i = 0; i < 8; ++i) {
        aqType[i] = u8(p, 93 + i);
        aqAdjust[i] = getI16(p, 101 + 2 * i);
        aiAlarmUp[i] = getI16(p, 117 + 2 * i);
        aiAlarmDown[i] = getI16(p, 133 + 2 * i);
    }
    deviceId = p.mid(149, 32);
    pdTag = p.mid(181, 32);
}

void SimDeviceModel::applySensorTypes(const QByteArray &p)
{
    for (int i = 0; i < 11 && i < p.size(); ++i)
        sensorType[i] = u8(p, i);
}

void SimDeviceModel::applyZero(const QByteArray &p)
{
    for (int i = 0; i < 11 && 4 * i + 3 < p.size(); ++i)
        zero[i] = qint32(getU32(p, 4 * i));
}

void SimDeviceModel::applyFull(const QByteArray &p)
{
    for (int i = 0; i < 11 && 4 * i + 3 < p.size(); ++i)
        full[i] = qint32(getU32(p, 4 * i));
}

void SimDeviceModel::applyDo(quint8 b)
{
    doByte = b & 0x03;
}

void SimDeviceModel::applyAo(const QByteArray &p)
{
    for (int i = 0; i < 8 && 2 * i + 1 < p.size(); ++i)
        aoValue[i] = getI16(p, 2 * i);
}

void SimDeviceModel::applyLeds(const QByteArray &p)
{
    for (int i = 0; i < 18 && i < p.size(); ++i)
        leds[i] = u8(p, i);
}

void SimDeviceModel::applyPrjCal(const QByteArray &p)
{
    for (int i = 0; i < 11 && 2 * i + 1 < p.size(); ++i)
        prjCal[i] = getI16(p, 2 * i);
}

void SimDeviceModel::applyInnerCal(const QByteArray &p)
{
    for (int i = 0; i < 8 && 2 * i + 1 < p.size(); ++i)
        innerCal[i] = getI16(p, 2 * i);
}

void SimDeviceModel::applyAqAdjust(const QByteArray &p)
{
    for (int i = 0; i < 8 && 2 * i + 1 < p.size(); ++i)
        aqAdjust[i] = getI16(p, 2 * i);
}

void SimDeviceModel::applyClock(const QByteArray &p, bool withWeekday)
{
    if (p.size() < 7)
        return;
    const QDate d(getU16(p, 0), u8(p, 2), u8(p, 3));
    const QTime t(u8(p, 4), u8(p, 5), u8(p, 6));
    // An impossible date is refused by the clock chip; the rest still applies.
    if (d.isValid() && t.isValid())
        setClock(QDateTime(d, t));
    if (withWeekday && p.size() >= 8)
        setWeekday(u8(p, 7));
}

void SimDeviceModel::applyDevId(const QByteArray &p)
{
    if (p.size() >= 32)
        deviceId = p.left(32);
    if (p.size() >= 64)
        pdTag = p.mid(32, 32);
    if (p.size() >= 82)
        idTail = p.mid(64, 18);
}

void SimDeviceModel::applyMac(const QByteArray &p)
{
    for (int i = 0; i < 6 && i < p.size(); ++i)
        mac[i] = u8(p, i);
}

void SimDeviceModel::applyNetGate(const QByteArray &p)
{
    if (p.size() < 8)
        return;
    for (int i = 0; i < 4; ++i) {
        gateway[i] = u8(p, i);
        subnet[i] = u8(p, 4 + i);
    }
}

void SimDeviceModel::applyAqTypes(const QByteArray &p)
{
    for (int i = 0; i < 8 && i < p.size(); ++i)
        aqType[i] = u8(p, i);
}

void SimDeviceModel::applyAqZeroFull(const QByteArray &p)
{
    if (p.size() < 33)
        return;
    const quint8 mode = u8(p, 0);
    lastAqZeroFullMode = mode;
    for (int c = 0; c < 8; ++c) {
        const qint16 v = getI16(p, 1 + 4 * c);
        const qint16 i = getI16(p, 3 + 4 * c);
        switch (mode) {
        case 0: // output the zero point
        case 1: // output the full-scale point
            aoValue[c] = aqType[c] == 1 ? i : v;
            break;
        case 2:
            aqZeroFull[4 * c] = v;
            aqZeroFull[4 * c + 2] = i;
            break;
        case 3:
            aqZeroFull[4 * c + 1] = v;
            aqZeroFull[4 * c + 3] = i;
            break;
        default:
            break;
        }
    }
}

void SimDeviceModel::applyAiAlarm(const QByteArray &p)
{
    for (int i = 0; i < 8 && 4 * i + 3 < p.size(); ++i) {
        aiAlarmUp[i] = getI16(p, 4 * i);
        aiAlarmDown[i] = getI16(p, 4 * i + 2);
    }
}

void SimDeviceModel::applySlaveRecord(const QByteArray &p)
{
    if (p.size() < 12)
        return;
    const int row = u8(p, 0);
    if (row < 16)
        slaves[row] = p.left(12);
}

void SimDeviceModel::applyResend(const QByteArray &p)
{
    resend = fitted(p, 488);
}
