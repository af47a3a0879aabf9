// The system-parameter page on the real window with a stand-in port and
// socket: a reply shown on the page, the model's effects, the capture of the
// page, the set-parameter command's checks and queue, and the write frames.
#include "base/ansi.h"
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "device/colors.h"
#include "imagefile/image_file.h"
#include "pages/form1.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QtEndian>
#include <QtTest>

using namespace serial;

namespace {

// A reply payload written field by field at the device's offsets.
struct Payload {
    QByteArray b = QByteArray(104, '\0');
    Payload& u8(int at, int v)
    {
        b[at] = char(v);
        return *this;
    }
    Payload& u16(int at, int v)
    {
        b[at] = char(v & 0xFF);
        b[at + 1] = char((v >> 8) & 0xFF);
        return *this;
    }
};

// A PD tag whose third byte is half a GBK character.
const QByteArray TAG_AS_READ = QByteArray("AB\xB0") + QByteArray(29, ' ');

// An MRK7000 with firmware 0x3301 (long layout), made in 2015.
Payload typical()
{
    Payload p;
    p.u16(0, 12).u8(4, 127).u8(5, 0).u8(6, 0).u8(7, 9).u8(8, 3);
    p.u8(16, 0xC3).u8(17, 0x01).u8(18, 0x43).u8(19, 0x02); // port 0: Space/9600/RTU, port 1: odd/9600
    p.u8(20, 0x02).u16(21, 0x0102).u16(23, -5 & 0xFFFF).u8(25, 0x44);
    p.u16(26, 7).u16(28, 1000).u8(30, 7).u16(35, 0x3301).u8(38, 0x23);
    p.u16(43, 2015).u8(45, 3).u8(46, 9).u8(47, 8).u8(48, 30).u8(49, 15).u8(50, 1).u8(51, 0);
    p.u8(52, 0x05).u16(53, 0xFFFF).u16(55, 2).u8(57, 3).u16(58, 100).u16(60, 0x8000);
    p.u8(62, 6).u8(63, 7).u8(65, 0x12).u8(66, 1).u8(82, 0x06);
    p.u8(85, 4).u16(86, 250).u16(88, 1000);
    return p;
}

} // namespace

class TestSysInfo : public QObject {
    Q_OBJECT
    std::unique_ptr<FormRig> rig;
    Form1* f = nullptr;
    QList<MsgRequest> boxes;

    Engine& e() { return f->engine(); }
    void serialReply(const QByteArray& payload) { rig->serialReply(1, payload); }
    void ethernetReply(const QByteArray& payload)
    {
        f->ui.optComm[1]->setChecked(true);
        e().PendIndex = 10003;
        e().PendSubIndex = 1;
        e().PendParam = 0;
        rig->device.deliver(freshReadReply(e(), payload));
    }
    QStringList boxTexts() const
    {
        QStringList out;
        for (const auto& b : boxes)
            out << b.text;
        return out;
    }
    QList<std::int16_t> stack() const
    {
        QList<std::int16_t> out;
        for (int i = 0; i <= f->engine().CmdTop; ++i)
            out << f->engine().CmdStack[std::size_t(i)];
        return out;
    }
    // A page that passes every check of the set-parameter command.
    void readTypical(int type = 7, int version = 0x3301)
    {
        serialReply(typical().u8(30, type).u16(35, version).b);
        f->ui.txthardwarenum->setText(QStringLiteral("20150309000012"));
        for (auto* b : f->ui.prjTxt)
            b->setText(QStringLiteral("0"));
        for (auto* b : f->ui.txt_AIUp)
            b->setText(QStringLiteral("100"));
        for (auto* b : f->ui.txt_AIDown)
            b->setText(QStringLiteral("-100"));
        for (int i = 0; i < 4; ++i) {
            f->ui.txtGate[std::size_t(i)]->setText(QString::number(i == 0 ? 127 : 1));
            f->ui.txtSubNet[std::size_t(i)]->setText(QString::number(i == 3 ? 0 : 255));
        }
        for (auto* c : f->ui.ComboType2) {
            if (c->count() == 0) // the lists are filled by a start
                c->addItems({QStringLiteral("电压输出"), QStringLiteral("电流输出"), QStringLiteral("开关量输出")});
            c->setCurrentIndex(1);
        }
        for (int i = 0; i < 6; ++i)
            f->ui.txt_MAC[std::size_t(i)]->setText(QStringLiteral("0%1").arg(i));
        for (std::size_t i = 11; i < f->ui.ChnlDis.size(); ++i)
            f->ui.ChnlDis[i]->setText(QStringLiteral("5"));
        for (std::size_t i = 0; i < 16; ++i) {
            f->ui.txt_AQV[i]->setText(QStringLiteral("1.5"));
            f->ui.txt_AQM[i]->setText(QStringLiteral("4"));
        }
        boxes.clear();
    }

private Q_SLOTS:
    void init()
    {
        boxes.clear();
        setMsgResponder([this](const MsgRequest& r) {
            boxes << r;
            return MsgAnswer::Ok;
        });
        rig = std::make_unique<FormRig>();
        f = rig->f.get();
        rig->openPort();
        rig->device.bound = true;
        f->FirstSysInfo = true;
    }
    void cleanup() { rig.reset(); }

    void serialReplyFillsThePage()
    {
        serialReply(typical().b);
        const auto& r = f->device().SysInfo;
        QCOMPARE(r.SerialNo, 12);
        QCOMPARE(r.DeviceType, std::uint8_t(7));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("取系统信息"));
        QCOMPARE(f->ui.lb_BookNo->text(), QStringLiteral("BootVer 1.2"));
        QCOMPARE(f->device().DeviceBootVer, QStringLiteral("1.2"));
        QCOMPARE(f->ui.txtModuleAddr->text(), QStringLiteral("3"));
        QCOMPARE(f->ui.txtIp[3]->text(), QStringLiteral("9"));
        // Space parity is parity 3 without the mark bit; 9600 = baud 3.
        QCOMPARE(f->ui.Combo6[0]->currentIndex(), 3);
        QCOMPARE(f->ui.Combo9[0]->currentIndex(), 3);
        QCOMPARE(f->ui.Combo10[0]->currentIndex(), 1);
        QCOMPARE(f->ui.Combo6[1]->currentIndex(), 1);
        QCOMPARE(f->ui.Combo10[1]->currentIndex(), 2);
        QVERIFY(!f->ui.ComboADRate->isHidden());
        QVERIFY(f->ui.ComboADRate1->isHidden());
        QCOMPARE(f->ui.ComboADRate->currentIndex(), 2);
        QCOMPARE(f->ui.txtDIPrevent->text(), QStringLiteral("12")); // byte1 x 10 + byte0
        QCOMPARE(f->ui.txtTempComp->text(), QStringLiteral("-5"));
        QCOMPARE(f->ui.ComboCold->currentIndex(), 1);
        QCOMPARE(f->ui.ScanInterval->text(), QStringLiteral("1000"));
        QCOMPARE(f->ui.lblVersion->text(), QStringLiteral("2.3"));
        QCOMPARE(f->ui.txtInnerVersion->text(), QStringLiteral("3.301"));
        QCOMPARE(f->device().DeviceInnerVer, QStringLiteral("3301"));
        QCOMPARE(f->ui.uPortTxt->text(), QStringLiteral("65535"));
        QCOMPARE(f->ui.txtSubWaitTime->text(), QStringLiteral("32768"));
        QCOMPARE(f->ui.txt_RSDataTime[0]->text(), QStringLiteral("6")); // the record's, not the baud's
        QCOMPARE(f->ui.Text_ErrorTimeComm2->text(), QStringLiteral("4"));
        QCOMPARE(f->ui.Text_InterTimeComm2->text(), QStringLiteral("250"));
        QCOMPARE(f->ui.ComboMS[0]->currentIndex(), 1);
        // Channel enable: 0x05 and 0x06 give channels 0, 2, 9 and 10.
        for (int i = 0; i < 11; ++i) {
            const bool on = i == 0 || i == 2 || i == 9 || i == 10;
            QCOMPARE(f->ui.cmdChnlEnable[std::size_t(i)]->text(), on ? QStringLiteral("Enabled") : QStringLiteral("Disabled"));
            QCOMPARE(colors::isFace(f->ui.cmdChnlEnable[std::size_t(i)]), !on);
        }
        QCOMPARE(colors::background(f->ui.bt_RunStop), colors::ON);
        // Device number and DeviceID.
        QCOMPARE(f->ui.lblNUM->text(), QStringLiteral("95201503090012"));
        QCOMPARE(f->ui.txtDevID->text(), QString(18, u'0') + QStringLiteral("95201503090012"));
        QCOMPARE(f->ui.txtDeviceType->text(), QStringLiteral("MRK7000"));
        QCOMPARE(f->ui.txtSeries->text(), QStringLiteral("0012")); // the number's last four
        QCOMPARE(f->ui.datePicker->date(), QDate(2015, 3, 9));
        QCOMPARE(f->ui.timePicker->time(), QTime(8, 30, 15));
        // Status lamps all green, no message, the fixed enabling.
        for (auto* l : f->ui.shpFlash)
            QCOMPARE(colors::background(l), colors::ON);
        QVERIFY(boxes.isEmpty());
        QVERIFY(!f->ui.txtSeries->isEnabled());
        QVERIFY(f->ui.cmdSetPara->isEnabled());
        QVERIFY(f->ui.bt_MAC->isHidden());
        QVERIFY(f->ui.ophandornot[1]->isChecked());
        QVERIFY(!f->ui.txt_MAC[0]->isEnabled());
        QVERIFY(!f->FirstSysInfo);

        // A second read with the same values runs the same handlers: the
        // rate list the filter chooses is enabled again.
        f->ui.ComboADRate->setEnabled(false);
        f->ui.Option2->setChecked(true);
        serialReply(typical().b);
        QVERIFY(f->ui.ComboADRate->isEnabled());
        QCOMPARE(f->engine().DisplayMode, std::uint8_t(0));
    }

    void messagesCorrectionsAndModelTexts()
    {
        // No user program, a parameter error, impossible dates, an MRK4400.
        serialReply(typical().u8(64, 1).u16(90, 0x0010).u16(43, 0).u8(45, 13).u8(47, 24).u8(30, 5).u8(20, 0x13)
                        .u8(51, 2).b);
        QCOMPARE(boxTexts(), QStringList({QStringLiteral("无用户程序，请升级用户程序"),
                                          QStringLiteral("设备参数错误，请恢复默认参数")}));
        for (int i = 0; i < 16; ++i)
            QCOMPARE(colors::background(f->ui.shpFlash[std::size_t(i)]), i == 4 ? colors::ALARM : colors::ON);
        const auto& r = f->device().SysInfo;
        QCOMPARE(r.ProdYear, std::uint16_t(1900));
        QCOMPARE(r.ProdMonth, std::uint8_t(1));
        QCOMPARE(r.ProdHour, std::uint8_t(0));
        QCOMPARE(f->ui.datePicker->date(), QDate(1900, 1, 9));
        // Types 4 and 5 share a code; the number's model text wins.
        QCOMPARE(f->ui.txtDeviceType->text(), QStringLiteral("MRK4600/MRK4000"));
        QCOMPARE(f->ui.txtDevID->text(), QStringLiteral("02") + QString(16, u'0') + QStringLiteral("90190001090012"));
        // Filter on: the filtered rate list is the one shown.
        QCOMPARE(f->ui.ComboADFilter->currentIndex(), 1);
        QVERIFY(f->ui.ComboADRate->isHidden());
        QVERIFY(!f->ui.ComboADRate1->isHidden());
        QCOMPARE(f->ui.ComboADRate1->currentIndex(), 3);
        QCOMPARE(f->ui.ComboMS[1]->currentIndex(), -1);
        // The same number shown again still runs its change handler.
        f->ui.txtDeviceType->clear();
        serialReply(typical().u16(43, 0).u8(45, 13).u8(30, 5).b);
        QCOMPARE(f->ui.txtDeviceType->text(), QStringLiteral("MRK4600/MRK4000"));
    }

    void modelEffectsDependOnTheLink()
    {
        serialReply(typical().u8(30, 29).b);
        QVERIFY(f->ui.ChnlSensor[4]->isHidden());
        QVERIFY(f->ui.txt_LeiCkeck[7]->isHidden());
        QVERIFY(f->ui.ChnlDis[26]->isHidden());
        QVERIFY(!f->ui.chanl[4]->isHidden());
        QVERIFY(!f->ui.ChnlSensor[8]->isHidden());
        QVERIFY(f->ui.lblNUM->text().startsWith(QStringLiteral("188")));
        QVERIFY(f->ui.bt_CheckRAM->isEnabled());

        rig = std::make_unique<FormRig>();
        f = rig->f.get();
        ethernetReply(typical().u8(30, 29).u8(87, 4).b);
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("读系统参数成功"));
        QVERIFY(!f->ui.ChnlSensor[4]->isHidden());
        QCOMPARE(f->ui.lb_BookNo->text(), QStringLiteral("1.2"));
        QVERIFY(f->device().DeviceBootVer.isEmpty());
        QCOMPARE(f->device().SysInfo.VersionByte, std::uint8_t(0)); // only the serial reply carries it
        QCOMPARE(f->ui.Text_ErrorTimeComm2->text(), QStringLiteral("4"));

        ethernetReply(typical().u8(30, 13).b);
        for (int i : {9, 10}) {
            QVERIFY(f->ui.chanl[std::size_t(i)]->isHidden());
            QVERIFY(f->ui.cmdChnlEnable[std::size_t(i)]->isHidden());
            QVERIFY(f->ui.ChnlDis[std::size_t(22 + i)]->isHidden());
        }
        ethernetReply(typical().u8(30, 1).b);
        QVERIFY(!f->ui.bt_CheckRAM->isEnabled());
        QCOMPARE(f->ui.txtDeviceType->text(), QStringLiteral("MRK9000"));
    }

    void shortReplyChangesNothing()
    {
        serialReply(typical().b);
        const SysParamRecord before = f->device().SysInfo;
        f->ui.txtModuleAddr->setText(QStringLiteral("page"));
        // An Ethernet reply must reach payload offset 101.
        ethernetReply(typical().u8(8, 99).b.left(101));
        QVERIFY(f->device().SysInfo == before);
        QCOMPARE(f->ui.txtModuleAddr->text(), QStringLiteral("page"));
        QVERIFY(boxes.isEmpty());
    }

    void captureFollowsThePageRules()
    {
        readTypical();
        f->ui.cpuTxt->setText(QStringLiteral("40000"));
        f->ui.Combo6[0]->setCurrentIndex(4); // mark
        f->ui.Combo10[0]->setCurrentIndex(1);
        f->ui.ComboADFilter->setCurrentIndex(-1);
        f->ui.ComboMS[1]->setCurrentIndex(-1);
        f->ui.datePicker->setDate(QDate(3001, 2, 3));
        f->ui.ComboCold->setCurrentIndex(0);
        QVERIFY(f->ChangeParameter());
        const auto& r = f->device().SysInfo;
        QCOMPARE(r.CpuType, std::uint16_t(0x9C40));
        QCOMPARE(r.PortLine[0], std::uint8_t(0xC3));
        QCOMPARE(r.PortProto[0], std::uint8_t(0x11));
        QCOMPARE(r.AdMode, std::uint8_t(0x14));
        QCOMPARE(r.ProdYear, std::uint16_t(1900));
        QCOMPARE(r.TempCompFlags, std::uint8_t(0));
        QCOMPARE(r.MasterSlave[0], std::uint8_t(0));
        QCOMPARE(f->ui.ComboMS[0]->currentIndex(), 0);
        QCOMPARE(f->ui.ComboMS[1]->currentIndex(), 0);
        QVERIFY(boxes.isEmpty());

        // A box that does not fit: named, and nothing of the capture kept.
        const SysParamRecord before = f->device().SysInfo;
        f->ui.txtModuleAddr->setText(QStringLiteral("7"));
        f->ui.txtIp[2]->setText(QStringLiteral("x"));
        QVERIFY(!f->ChangeParameter());
        QVERIFY(f->device().SysInfo == before);
        QCOMPARE(boxTexts(), QStringList{QStringLiteral("“IP地址”的值无法转换，参数未写入！请核查后再操作")});
        QCOMPARE(boxes[0].title, QStringLiteral("提示"));
        QCOMPARE(boxes[0].icon, MsgIcon::Exclamation);
    }

    // Every value typed into a box goes to the device as it stands, or the
    // step is refused with a word that names the box (its caption) and
    // nothing of the step is queued. Values valid before keep their bytes.
    void typedValueGoesAsItStandsOrIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");     // the refusal's message; empty: written
        QTest::addColumn<int>("fn");           // written: the frame that carries the value,
        QTest::addColumn<int>("at");           // its payload offset
        QTest::addColumn<QByteArray>("bytes"); // and the bytes there
        const auto row = [](const char* command, const char* box, const QString& text, const QString& word, int fn = 0,
                            int at = 0, const QByteArray& hex = {}) {
            const QString shown = text.size() > 8 ? QStringLiteral("%1 chars").arg(text.size()) : text;
            QTest::addRow("%s %s %s", command, box, qPrintable(shown))
                << QString::fromUtf8(command) << QString::fromLatin1(box) << text << word << fn << at
                << QByteArray::fromHex(hex);
        };
        const auto unfit = [](const char* caption) {
            return QStringLiteral("“%1”的值无法转换，参数未写入！请核查后再操作").arg(QString::fromUtf8(caption));
        };
        const QString pdTooLong = QStringLiteral("PD Tag 超过32字节，不能写入！请核查后再操作");
        const int SYS = QS_WRITE_SYS_INFO;

        // 设置参数, long layout: the record and the values the layout carries.
        row("设置参数", "txtModuleAddr", "300", unfit("模块地址"));
        row("设置参数", "txtModuleAddr", "abc", unfit("模块地址"));
        row("设置参数", "txtModuleAddr", "255", {}, SYS, 8, "ff");
        // The command makes the series the device number's last four characters first.
        row("capture", "txtSeries", "123456", unfit("序列号"));
        row("设置参数", "txtSeries", "9999", {}, SYS, 0, "0f270000");
        row("设置参数", "txtDIPrevent", "70000", unfit("DI防抖时间"));
        // DI debounce goes so that byte1 x 10 + byte0 reads it back; the
        // device's own bytes while it is unchanged (the device reports 01 02).
        row("设置参数", "txtDIPrevent", "2806", unfit("DI防抖时间"));
        row("设置参数", "txtDIPrevent", "12", {}, SYS, 14, "0201");
        row("设置参数", "txtDIPrevent", "255", {}, SYS, 14, "ff00");
        row("设置参数", "txtDIPrevent", "300", {}, SYS, 14, "001e");
        row("设置参数", "txtDIPrevent", "2805", {}, SYS, 14, "ffff");
        row("设置参数", "uPortTxt", "70000", unfit("UDP端口"));
        row("设置参数", "uPortTxt", "40000", {}, SYS, 29, "409c");
        row("设置参数", "txtSubErr", "abc", unfit("最大错误次数"));
        row("通道启用", "txtModuleAddr", "300", unfit("模块地址")); // and the switch stays as it was
        row("设置参数", "txt_RSDataTime_0", "7ms", unfit("帧间隔(ms) 串口1"));
        row("设置参数", "txt_RSDataTime_1", "2.5", {}, SYS, 43, "02");
        row("设置参数", "Text_ErrorTimeComm2", "256", unfit("通讯错误时间 串口2"));
        row("设置参数", "txt_AIUp_0", "40000", unfit("通道0 报警上限"));
        row("设置参数", "txt_AIDown_7", "12abc", unfit("通道7 报警下限"));
        row("设置参数", "txt_AIUp_0", "-1", {}, SYS, 117, "ffff");
        row("设置参数", "txt_AQjust_3", "5x", unfit("AQ3 工程校准值"));
        row("设置参数", "txtPD_Tag", QString(40, u'P'), pdTooLong);
        row("设置参数", "txtPD_Tag", QString(32, u'P'), {}, SYS, 181, QByteArray(32, 'P').toHex());
        // Text fields: the PD tag in GBK, a character GBK lacks refused; the
        // DeviceID takes only ASCII from the hardware number.
        row("设置参数", "txtPD_Tag", QString::fromUtf8("温度25°C"), {}, SYS, 181, "cec2b6c83235a1e3431f");
        row("设置参数", "txtPD_Tag", QString::fromUtf8("5µm"), unfit("PD Tag"));
        row("设置参数", "txthardwarenum", QString::fromUtf8("2015030900001中"), unfit("硬件版号"));
        // A tag the page cannot read exactly (half a GBK character) goes back as the device's own bytes.
        row("PD Tag as read", "txtPD_Tag", fromAnsi(TAG_AS_READ), {}, SYS, 181, TAG_AS_READ.toHex());
        // Short layout: the companion writes are checked with the record.
        row("设置参数 short", "txtGate_1", "256", unfit("网关"));
        row("设置参数 short", "txt_AIUp_2", "40000", unfit("通道2 报警上限"));
        // The short serial record writes no PD tag and no DeviceID: neither stops it.
        row("设置参数 short", "txtPD_Tag", QString::fromUtf8("5µm"), {}, SYS);
        row("设置参数 short", "txthardwarenum", QString::fromUtf8("2015030900001中"), {}, SYS);
        // Nor does the short record on Ethernet: it only reads the tag back.
        row("设置参数 short eth", "txtPD_Tag", QString::fromUtf8("5µm"), {}, net::QE_WRITE_SYS_INFO);
        row("设置参数 short eth", "txthardwarenum", QString::fromUtf8("2015030900001中"), {}, net::QE_WRITE_SYS_INFO,
            8, "03");

        row("写报警值", "txt_AIUp_0", "abc", unfit("通道0 报警上限"));
        row("写网关", "txtGate_0", "256", unfit("网关"));
        row("写网关", "txtGate_0", "-1", unfit("网关"));
        row("写网关", "txtSubNet_3", "", unfit("子网掩码"));
        row("写网关", "txtGate_0", QStringLiteral("１２"), unfit("网关"));
        row("写网关", "txtGate_3", "1.6", {}, FN_WRITE_GATEWAY, 3, "02"); // rounded, as before
        row("写满度", "txt_AQV_8", "40", unfit("AQ0 电压满度(V)"));
        row("写满度", "txt_AQM_15", "abc", unfit("AQ7 电流满度(mA)"));
        row("写满度", "txt_AQV_8", "10.0005", {}, QS_WRITE_AQ_ZERO_FULL, 0, "031027");
        row("校准", "prjTxt_0", "40000", QStringLiteral("工程校准值超出范围!"));
        row("写AQ校准值", "txt_AQjust_0", "40000", unfit("AQ0 工程校准值"));
        row("写AQ校准值", "txt_AQjust_7", "-32768", {}, QS_WRITE_AQ_PRJ_CAL, 14, "0080");

        // 读取并下载: every value it writes is checked before its first write.
        row("读取并下载", "txtModuleAddr", "300", unfit("模块地址"));
        row("读取并下载", "txt_AIDown_1", "abc", unfit("通道1 报警下限"));
        row("读取并下载", "txt_AQM_9", "40", unfit("AQ1 电流满度(mA)"));
        row("读取并下载", "ChnlDis_11", "abc", unfit("通道0 零点"));
        row("读取并下载", "txtPD_Tag", QString(40, u'P'), pdTooLong);
    }
    void typedValueGoesAsItStandsOrIsRefused()
    {
        QFETCH(QString, command);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(int, fn);
        readTypical(7, command.contains(QLatin1String("short")) ? 0x2000 : 0x3301);
        if (command.endsWith(QLatin1String(" eth")))
            f->ui.optComm[1]->setChecked(true); // before typing: choosing the link empties the PD tag
        f->controls().setText(box, text);
        QCOMPARE(f->controls().text(box), text);
        const QList<std::int16_t> before = stack();
        const QHash<QString, std::function<void()>> press{
            {QStringLiteral("capture"), [&] { QCOMPARE(f->ChangeParameter(), word.isEmpty()); }},
            {QStringLiteral("设置参数"), [&] { f->cmdSetPara_Click(); }},
            {QStringLiteral("设置参数 short"), [&] { f->cmdSetPara_Click(); }},
            {QStringLiteral("设置参数 short eth"), [&] { f->cmdSetPara_Click(); }},
            {QStringLiteral("PD Tag as read"),
             [&] {
                 rig->serialReply(FN_READ_PDTAG, QByteArray(32, '0') + TAG_AS_READ);
                 QCOMPARE(f->ui.txtPD_Tag->text(), text);
                 f->cmdSetPara_Click();
             }},
            {QStringLiteral("通道启用"),
             [&] {
                 const auto enabled = f->device().SysInfo.ChnlEnable;
                 const QString face = f->ui.cmdChnlEnable[0]->text();
                 f->cmdChnlEnable_Click(0);
                 QVERIFY(f->device().SysInfo.ChnlEnable == enabled);
                 QCOMPARE(f->ui.cmdChnlEnable[0]->text(), face);
             }},
            {QStringLiteral("写报警值"), [&] { f->cmd_WriteAIWarning_Click(); }},
            {QStringLiteral("写网关"), [&] { f->bt_NetGate_Click(); }},
            {QStringLiteral("写满度"), [&] { f->bt_WriteOrOut_Click(3); }},
            {QStringLiteral("校准"), [&] { f->cmdWriteprj_Click(); }},
            {QStringLiteral("写AQ校准值"), [&] { f->bt_AQAdjust_Click(); }},
            {QStringLiteral("读取并下载"), [&] { QCOMPARE(f->cmdSetPara_Vk(), word.isEmpty()); }}};
        QStringList mac;
        for (auto* b : f->ui.txt_MAC)
            mac << b->text();
        press[command]();
        QCOMPARE(boxTexts(), word.isEmpty() ? QStringList() : QStringList{word});
        if (!word.isEmpty()) {
            QCOMPARE(stack(), before); // nothing of the step is queued
            for (int i = 0; i < 6; ++i) // nor the automatic MAC shown
                QCOMPARE(f->ui.txt_MAC[std::size_t(i)]->text(), mac[i]);
            return;
        }
        for (int i = 0; i < 12 && e().CmdTop > 0; ++i) {
            e().Timer1_Timer();
            e().replyDone();
        }
        // On Ethernet `fn` is the queue code: its write datagram carries the row's index and sub-index.
        const auto* eth = f->ui.optComm[1]->isChecked() ? net::findEthCommand(std::int16_t(fn)) : nullptr;
        const auto le16 = [](const QByteArray& d, int at) { return qFromLittleEndian<quint16>(d.constData() + at); };
        QByteArray payload;
        for (const auto& d : rig->device.sent)
            if (eth && d.size() > net::WRITE_HEADER_SIZE && (quint8(d[0]) & net::SVC_CODE_MASK) == net::SVC_WRITE
                && le16(d, net::INDEX_AT) == eth->index && le16(d, net::SUB_INDEX_AT) == eth->subIndex)
                payload = d.mid(net::WRITE_HEADER_SIZE);
        for (const auto& frame : rig->serial.written)
            if (!eth && std::uint8_t(frame[2]) == fn)
                payload = frame.mid(PAYLOAD_AT, frame.size() - PAYLOAD_AT - 4);
        QVERIFY2(!payload.isEmpty(), "the step wrote nothing");
        QFETCH(int, at);
        QFETCH(QByteArray, bytes);
        QCOMPARE(payload.mid(at, bytes.size()).toHex(' '), bytes.toHex(' '));
    }

    void setParameterChecks()
    {
        readTypical();
        const auto top = e().CmdTop;
        f->ui.txthardwarenum->setText(QStringLiteral("123"));
        f->cmdSetPara_Click();
        f->ui.txthardwarenum->setText(QStringLiteral("20150309000012"));
        f->ui.prjTxt[3]->setText(QStringLiteral("abc"));
        f->cmdSetPara_Click();
        f->ui.prjTxt[3]->setText(QStringLiteral("32768"));
        f->cmdSetPara_Click();
        f->ui.prjTxt[3]->setText(QStringLiteral("1"));
        f->ui.txt_AIUp[3]->clear();
        f->show();
        QVERIFY(QTest::qWaitForWindowActive(f));
        f->cmdSetPara_Click();
        QVERIFY(f->ui.tabs->currentWidget()->isAncestorOf(f->ui.txt_AIUp[3])); // the empty box shown
        QVERIFY(f->ui.txt_AIUp[3]->hasFocus());
        f->ui.txt_AIUp[3]->setText(QStringLiteral("100"));
        f->ui.txtTempComp->setText(QStringLiteral("cold"));
        f->cmdSetPara_Click();
        QCOMPARE(boxTexts(), QStringList({QStringLiteral("硬件版号位数不正确"), QStringLiteral("工程校准值错误！"),
                                          QStringLiteral("工程校准值超出范围!"),
                                          QStringLiteral("部分参数为空，不能写入！请核查后再操作"),
                                          QStringLiteral("“冷端校准值”的值无法转换，参数未写入！请核查后再操作")}));
        QCOMPARE(boxes[1].title, QStringLiteral("提示"));
        QCOMPARE(boxes[1].icon, MsgIcon::Exclamation);
        QCOMPARE(e().CmdTop, top);
    }

    void setParameterQueuesByLayout_data()
    {
        QTest::addColumn<bool>("ethernet");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("version");
        QTest::addColumn<QList<std::int16_t>>("stack");
        QTest::addColumn<bool>("typeless"); // an AQ type list without a selection
        using S = QList<std::int16_t>;
        QTest::newRow("serial long") << false << 7 << 0x3301 << S{8, 4} << false;
        QTest::newRow("serial long by model") << false << 33 << 0x0100 << S{8, 4} << false;
        // Short: the companions run first (top of the stack), the write, then the read-back.
        QTest::newRow("serial short") << false << 7 << 0x2000 << S{8, 15, 4, 39, 38, 51, 5, 76} << false;
        QTest::newRow("serial short, 0x1100") << false << 7 << 0x1100 << S{8, 15, 4, 39, 38, 51, 5, 76} << false;
        QTest::newRow("ethernet long") << true << 7 << 0x2554 << S{100, 4} << false;
        QTest::newRow("ethernet short") << true << 7 << 0x1006 << S{100, 101, 4, 28, 29, 51, 5, 76} << false;
        // No AQ types are written then; the rest goes on.
        QTest::newRow("serial short, AQ type unset") << false << 7 << 0x2000 << S{8, 15, 4, 51, 5, 76} << true;
        QTest::newRow("ethernet short, AQ type unset") << true << 7 << 0x1006 << S{100, 101, 4, 51, 5, 76} << true;
    }
    void setParameterQueuesByLayout()
    {
        QFETCH(bool, ethernet);
        QFETCH(int, type);
        QFETCH(int, version);
        QFETCH(bool, typeless);
        readTypical(type, version);
        if (typeless)
            f->ui.ComboType2[3]->setCurrentIndex(-1);
        if (ethernet)
            f->ui.optComm[1]->setChecked(true);
        f->ui.txtModuleAddr->setText(QStringLiteral("5"));
        f->cmdSetPara_Click();
        QVERIFY(boxes.isEmpty());
        QTEST(stack(), "stack");
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("正在设置系统信息，请稍候"));
        QCOMPARE(e().SetParaPending, ethernet && stack().size() > 2);
        QCOMPARE(f->device().SysInfo.ModuleAddr, std::uint8_t(5));
        // The DeviceID for the write: hardware number and device number, 16 each.
        QCOMPARE(f->ui.txtDevID->text(), QStringLiteral("0020150309000012") + f->ui.lblNUM->text().rightJustified(16, u'0'));
        QVERIFY(f->ui.lblNUM->text().endsWith(QStringLiteral("201503090012")));
        // The long layout carries the automatic MAC: 00-FC, then the production day with the series.
        if (stack().size() == 2) {
            QString mac;
            for (auto* b : f->ui.txt_MAC)
                mac += b->text();
            // 2015-03-09 is day 5546 after 2000-01-01: 5546 x 10000 + 12 = 0x034E40AC.
            QCOMPARE(mac, QStringLiteral("00FC034E40AC"));
        }
    }

    // The automatic MAC numbers the device by the series' last four
    // characters; "x9e99" reads as 9e99: no address is built or queued.
    void automaticMacOfASeriesBeyondRange()
    {
        readTypical();
        const auto logged = [] {
            QFile log(QString::fromLatin1(ERROR_LOG_FILE));
            return log.open(QIODevice::ReadOnly) ? log.readAll().count("\"bt_MAC_Click(Form1)\"") : 0;
        };
        const auto before = logged();
        f->ui.txtSeries->setText(QStringLiteral("x9e99"));
        const auto top = e().CmdTop;
        f->bt_MAC_Click();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(f->ui.txt_MAC[std::size_t(i)]->text(), QStringLiteral("0%1").arg(i));
        QCOMPARE(e().CmdTop, top);
        QCOMPARE(logged(), before + 1);
    }

    void downloadQueueHasNoLayoutTest()
    {
        // Writing a loaded parameter set: every block, whatever the layout,
        // and no check of the page beyond the conversions.
        readTypical(7, 0x2000);
        f->ui.txthardwarenum->clear();
        f->cmdSetPara_Vk();
        QCOMPARE(stack(), QList<std::int16_t>({8, 7, 6, 4, 15, 17, 39, 38, 34, 34, 51, 5, 36}));
        QVERIFY(e().AQZFTwoStep);
        QVERIFY(!e().SetParaPending);
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("正在设置系统信息，请稍候"));
        QVERIFY(boxes.isEmpty());

        f->ui.optComm[1]->setChecked(true);
        f->cmdSetPara_Vk();
        QCOMPARE(stack(), QList<std::int16_t>({100, 7, 6, 101, 4, 102, 101, 28, 29, 18, 18, 51, 5, 26}));
        QVERIFY(e().SetParaPending);
    }

    void writeFramesOfBothLayouts()
    {
        // Long layout on the serial link: 220 bytes, and the DeviceID box keeps its second half.
        readTypical();
        f->ui.txtDevID->setText(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"));
        e().push(QS_WRITE_SYS_INFO);
        e().Timer1_Timer();
        QCOMPARE(rig->serial.written.last().size(), 220);
        QCOMPARE(rig->serial.threshold, 220);
        QVERIFY(checkFrame(rig->serial.written.last()) == Check::Ok);
        QCOMPARE(rig->serial.written.last().mid(3 + 149, 32), QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"));
        QCOMPARE(f->ui.txtDevID->text(), QString(16, u'0') + QStringLiteral("QRSTUVWXYZ012345"));
        QCOMPARE(e().Timer2.interval(), 5000);
        rig->serial.event(buildFrame(4, QByteArray(213, 0)));
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("设置配置信息成功"));
        QVERIFY(!e().Timer2.isActive());

        // Short layout: 91 bytes, nothing past the communication times.
        f->device().SysInfo.InnerVersion = 0x2000;
        e().push(QS_WRITE_SYS_INFO);
        e().Timer1_Timer();
        const QByteArray shortFrame = rig->serial.written.last();
        QCOMPARE(shortFrame.size(), 91);
        QCOMPARE(shortFrame.mid(3 + 45, 2), QByteArray::fromHex("55aa"));
        QCOMPARE(shortFrame.mid(3 + 52, 32), QByteArray(32, 0));

        // Ethernet: the same payload after the write header, the box untouched.
        f->ui.optComm[1]->setChecked(true);
        f->device().SysInfo.InnerVersion = 0x3301;
        f->ui.txtDevID->setText(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"));
        e().push(net::QE_WRITE_SYS_INFO);
        e().Timer1_Timer();
        QCOMPARE(rig->device.sent.last().size(), 18 + 232);
        QCOMPARE(rig->device.sent.last().mid(18, 213), rig->serial.written[rig->serial.written.size() - 2].mid(3, 213)
                                                            .replace(149, 32, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"));
        QCOMPARE(f->ui.txtDevID->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"));
        QCOMPARE(e().Timer2.interval(), 10000);
    }

    void failedChecksSendNothing()
    {
        readTypical();
        const auto sent = rig->serial.written.size();
        const auto runWrite = [&] {
            e().push(QS_WRITE_SYS_INFO);
            e().Timer1_Timer();
        };
        f->ui.txt_MAC[3]->setText(QStringLiteral("1G"));
        runWrite();
        QCOMPARE(boxTexts().last(), QStringLiteral(" 3号地址书写错误"));
        QCOMPARE(f->ui.txt_MAC[3]->selectedText(), QStringLiteral("1G"));
        f->ui.txt_MAC[3]->setText(QStringLiteral("fc"));
        f->ui.prjTxt[10]->setText(QStringLiteral("-40000"));
        runWrite();
        QCOMPARE(boxTexts().last(), QStringLiteral("工程校准值超出范围!"));
        f->ui.prjTxt[10]->setText(QStringLiteral("2.5"));
        // Twenty characters of two bytes each do not fit the PD tag.
        f->ui.txtPD_Tag->setText(QString(20, QChar(0x4E2D)));
        runWrite();
        QCOMPARE(boxTexts().last(), QStringLiteral("PD Tag 超过32字节，不能写入！请核查后再操作"));
        f->ui.txtPD_Tag->setText(QStringLiteral("AB"));
        // A communication time that is no number: named, and nothing waits for a reply.
        f->ui.Text_WaitTimeComm2->setText(QStringLiteral("abc"));
        runWrite();
        QCOMPARE(boxTexts().last(), QStringLiteral("“通讯等待时间 串口2”的值无法转换，参数未写入！请核查后再操作"));
        QCOMPARE(rig->serial.written.size(), sent);
        QVERIFY(!e().Timer2.isActive());

        // The boxes show 0..65535: a value above 32767 is written as unsigned.
        f->ui.Text_WaitTimeComm2->setText(QStringLiteral("40000"));
        runWrite();
        QCOMPARE(rig->serial.written.size(), sent + 1);
        const QByteArray frame = rig->serial.written.last();
        QCOMPARE(frame.mid(3 + 50, 2), QByteArray::fromHex("409c"));
        QCOMPARE(std::uint8_t(frame[3 + 57]), std::uint8_t(0xFC));
        QCOMPARE(frame.mid(3 + 71 + 20, 2), QByteArray::fromHex("0200")); // 2.5 rounds to 2
        QCOMPARE(frame.mid(3 + 181, 3), QByteArray::fromHex("41421f"));
    }

    void companionWrites()
    {
        readTypical();
        f->ui.txtGate[0]->setText(QStringLiteral("192"));
        f->ui.txtGate[1]->setText(QStringLiteral("168"));
        f->ui.txtSubNet[3]->setText(QStringLiteral("0"));
        f->ui.txt_AIUp[0]->setText(QStringLiteral("-2"));
        f->ui.ChnlSensor[1]->setCurrentIndex(2);
        f->ui.ComboType2[7]->setCurrentIndex(2);
        f->device().SysInfo.InnerVersion = 0x2000;
        f->cmdSetPara_Click();
        for (int i = 0; i < 4; ++i) {
            e().Timer1_Timer();
            e().replyDone();
        }
        // Gateway (fn 78), sensor types (fn 5), alarm limits (fn 51), AQ types (fn 38).
        const auto& w = rig->serial.written;
        QCOMPARE(w[w.size() - 4].mid(2, 9), QByteArray::fromHex("4e c0 a8 01 01 ff ff ff 00"));
        QCOMPARE(w[w.size() - 3].size(), 18);
        QCOMPARE(std::uint8_t(w[w.size() - 3][2]), std::uint8_t(5));
        QCOMPARE(std::uint8_t(w[w.size() - 3][3 + 1]), std::uint8_t(2));
        QCOMPARE(w[w.size() - 2].size(), 39);
        QCOMPARE(w[w.size() - 2].mid(3, 4), QByteArray::fromHex("feff9cff"));
        QCOMPARE(w.last().mid(2, 9), QByteArray::fromHex("26 01 01 01 01 01 01 01 02"));
    }

    void channelEnableButtonToggles()
    {
        readTypical();
        f->ui.cmdChnlEnable[1]->click();
        QCOMPARE(f->device().SysInfo.ChnlEnable[1], std::uint8_t(1));
        QCOMPARE(f->ui.cmdChnlEnable[1]->text(), QStringLiteral("Enabled"));
        QCOMPARE(stack(), QList<std::int16_t>({8, 4}));
        f->ui.cmdChnlEnable[1]->click();
        QCOMPARE(f->device().SysInfo.ChnlEnable[1], std::uint8_t(0));
    }

    // A connection that ends takes what its device said along: the boxes and
    // lists of the pages are empty or unset, the LED, DO and AQ-to-DQ states
    // reset, and a write pressed on the next device sends none of it. Values
    // applied before the first open (the command line) are no device's and stay.
    void connectionEndForgetsWhatTheDeviceSaid_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("retyped");    // the user fills every box and list afterwards
        QTest::addColumn<QString>("box");     // the message shown ("" none)
        QTest::addColumn<int>("fn");          // the write's function code
        QTest::addColumn<QByteArray>("sent"); // its payload; empty: not sent
        const QString readFirst = QStringLiteral("请先读取参数，再修改写入");
        const auto unfit = [](const char* caption) {
            return QStringLiteral("“%1”的值无法转换，参数未写入！请核查后再操作").arg(QString::fromUtf8(caption));
        };
        const QByteArray none;
        QTest::newRow("写网关") << "gate" << "stop" << false << unfit("网关") << int(FN_WRITE_GATEWAY) << none;
        QTest::newRow("写传感器类型") << "sensors" << "lost" << false << "" << int(QS_WRITE_SENSOR_TYPE) << none;
        QTest::newRow("写报警限值") << "alarms" << "reopen" << false << unfit("通道0 报警上限") << int(QS_WRITE_AI_ALARM)
                                 << none;
        QTest::newRow("写AQ校准值, emptied") << "aqAdjust" << "stop" << false << unfit("AQ0 工程校准值")
                                         << int(QS_WRITE_AQ_PRJ_CAL) << none;
        QTest::newRow("写AQ校准值, not a number")
            << "aqAdjust5x" << "reopen" << true << unfit("AQ5 工程校准值") << int(QS_WRITE_AQ_PRJ_CAL) << none;
        QTest::newRow("设置参数") << "setPara" << "lost" << true << readFirst << int(QS_WRITE_SYS_INFO) << none;
        QTest::newRow("通道使能") << "chnlEnable" << "reopen" << true << readFirst << int(QS_WRITE_SYS_INFO) << none;
        QTest::newRow("读取并下载") << "download" << "stop" << false << readFirst << int(QS_WRITE_SYS_INFO) << none;
        QByteArray leds(18, '\0');
        leds[3] = 1;
        QTest::newRow("LED") << "led" << "lost" << false << "" << int(QS_WRITE_LAMP) << leds;
        QTest::newRow("DO") << "do" << "stop" << false << "" << int(QS_WRITE_DO) << QByteArray("\x01", 1);
        QTest::newRow("AQ to DQ") << "dq" << "reopen" << false << "" << int(QS_WRITE_AQ_TO_DQ)
                                  << QByteArray("\x04", 1);
    }
    void connectionEndForgetsWhatTheDeviceSaid()
    {
        QFETCH(QString, command);
        QFETCH(QString, end);
        QFETCH(bool, retyped);
        QFETCH(int, fn);
        QFETCH(QByteArray, sent);
        const QString settings = QStringLiteral("9600,N,8,1");
        rig = std::make_unique<FormRig>(); // no link yet
        f = rig->f.get();
        QString records = QStringLiteral("txtGate_0\x80" "10|");
        f->imageFile().AnalysisParam(records);
        QCOMPARE(e().openSerial(QStringLiteral("A"), settings), 0);
        QCOMPARE(f->ui.txtGate[0]->text(), QStringLiteral("10")); // the first open ends nothing

        // Device A as its reads leave the pages.
        readTypical();
        for (auto* c : f->ui.ChnlSensor)
            c->setCurrentIndex(3);
        for (auto* b : f->ui.txt_AQjust)
            b->setText(QStringLiteral("7"));
        auto& d = f->device();
        d.LedState.fill(1);
        d.DOClicks.pending = {1};
        d.LedClicks.pending = {0};
        d.AQtoDQState.fill(1);
        for (QWidget* w : {static_cast<QWidget*>(f->ui.LightState[0]), static_cast<QWidget*>(f->ui.cmdDO[1]),
                           static_cast<QWidget*>(f->ui.cmdDQ3[0])})
            colors::paint(w, colors::ON);
        QTemporaryDir dir;
        const QString image = dir.filePath(QStringLiteral("a.txt"));
        QVERIFY(f->imageFile().saveFile(image));
        f->imageFile().chooseFile = [image](bool save, const QString&) { return save ? QString() : image; };

        // The connection ends; device B is on the link.
        if (end == QLatin1String("stop"))
            f->cmdStop_Click();
        else if (end == QLatin1String("lost"))
            Q_EMIT rig->serial.lost(QStringLiteral("gone"));
        if (end != QLatin1String("reopen"))
            QVERIFY(!rig->serial.isOpen());
        QCOMPARE(e().openSerial(QStringLiteral("B"), settings), 0);
        boxes.clear();
        const auto part = [](const QWidget* w) {
            return qobject_cast<const QComboBox*>(w->parentWidget()) || qobject_cast<const QDateTimeEdit*>(w->parentWidget());
        };
        for (auto* box : f->ui.tabs->findChildren<QLineEdit*>())
            if (!part(box) && std::find(f->ui.txtAQ_Set.begin(), f->ui.txtAQ_Set.end(), box) == f->ui.txtAQ_Set.end())
                QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        for (auto* c : f->ui.tabs->findChildren<QComboBox*>())
            if (c != f->ui.Combo_WeekDay)
                QVERIFY2(c->currentIndex() == -1, qPrintable(c->objectName()));
        for (QWidget* w : {static_cast<QWidget*>(f->ui.LightState[0]), static_cast<QWidget*>(f->ui.cmdDO[1]),
                           static_cast<QWidget*>(f->ui.cmdDQ3[0])})
            QVERIFY2(colors::isFace(w), qPrintable(w->objectName()));

        if (retyped) { // what the user types now is the user's own
            for (auto* box : f->ui.tabs->findChildren<QLineEdit*>())
                if (!part(box) && box->text().isEmpty())
                    box->setText(QStringLiteral("1"));
            for (auto* c : f->ui.tabs->findChildren<QComboBox*>())
                c->setCurrentIndex(0);
            f->ui.txthardwarenum->setText(QStringLiteral("20150309000012"));
        }
        const QList<std::int16_t> before = stack();
        const QHash<QString, std::function<void()>> press{
            {QStringLiteral("gate"), [&] { f->bt_NetGate_Click(); }},
            {QStringLiteral("sensors"), [&] { f->Command3_Click(); }},
            {QStringLiteral("alarms"), [&] { f->cmd_WriteAIWarning_Click(); }},
            {QStringLiteral("aqAdjust"), [&] { f->bt_AQAdjust_Click(); }},
            {QStringLiteral("aqAdjust5x"),
             [&] {
                 f->ui.txt_AQjust[5]->setText(QStringLiteral("5x"));
                 f->bt_AQAdjust_Click();
             }},
            {QStringLiteral("setPara"), [&] { f->cmdSetPara_Click(); }},
            {QStringLiteral("chnlEnable"), [&] { f->cmdChnlEnable_Click(0); }},
            {QStringLiteral("download"), [&] { f->imageFile().ReadTxtAndDown_Click(); }},
            {QStringLiteral("led"), [&] { f->LightState_Click(3); }},
            {QStringLiteral("do"), [&] { f->cmdDO_Click(0); }},
            {QStringLiteral("dq"), [&] { f->cmdDQ3_Click(2); }}};
        press[command]();
        QFETCH(QString, box);
        QCOMPARE(boxTexts(), box.isEmpty() ? QStringList() : QStringList{box});
        if (!box.isEmpty())
            QCOMPARE(stack(), before); // refused before anything is queued
        for (int i = 0; i < 12 && e().CmdTop > 0; ++i) {
            e().Timer1_Timer();
            e().replyDone();
        }
        QList<QByteArray> payloads;
        for (const auto& frame : rig->serial.written)
            if (std::uint8_t(frame[2]) == fn)
                payloads << frame.mid(PAYLOAD_AT, frame.size() - PAYLOAD_AT - 4);
        QCOMPARE(payloads, sent.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{sent});
    }

    void deviceNumberReadBack()
    {
        f->ui.lblNUM->setText(QStringLiteral("188202401311234"));
        QCOMPARE(f->ui.txtDeviceType->text(), QStringLiteral("MRK7AAQ"));
        QCOMPARE(f->ui.txtSeries->text(), QStringLiteral("1234"));
        QCOMPARE(f->ui.datePicker->date(), QDate(2024, 1, 31));
        f->ui.lblNUM->setText(QStringLiteral("77202401311234"));
        QCOMPARE(f->ui.txtDeviceType->text(), QStringLiteral("未编制设备,无法识别"));
        f->ui.lblNUM->setText(QStringLiteral("1234"));
        QCOMPARE(f->ui.txtSeries->text(), QStringLiteral("1234"));
        QCOMPARE(f->ui.txtDeviceType->text(), QStringLiteral("未编制设备,无法识别"));
    }

    void readAllPushesThePageReads()
    {
        e().loadList({8});
        f->cmdGetSys_Click();
        QCOMPARE(e().CmdTop, std::int16_t(14));
        QVERIFY(stack().contains(37) && stack().contains(75));
        QCOMPARE(e().top(), std::int16_t(QS_READ_ZIGBEE));
    }
};

QTEST_MAIN(TestSysInfo)
#include "tst_sys_info.moc"
