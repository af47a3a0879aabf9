// The system-parameter page: the display of the record after every read, the
// capture of the page before a write, the set-parameter commands and the
// handlers of the controls the display sets.
#include "pages/form1.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/calib_rows.h"
#include "device/colors.h"
#include "device/param_write_rows.h"
#include "device/shared_rows.h"
#include "device/sys_param_rows.h"
#include "device/texts.h"
#include "device/typed_values.h"
#include "pages/texts.h"
#include "proto/device_types.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "proto/sys_param.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <span>

using namespace serial;
using namespace net;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// A list index set from a device value; a value the list does not hold leaves
// the list without a selection.
void setIndex(QComboBox* box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1); }

// A date the picker can show: the day is kept within its month.
QDate pickerDate(int year, int month, int day)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        return {};
    return QDate(year, month, std::min(day, first.daysInMonth()));
}

constexpr std::int16_t SERIAL_STARTUP[] = {
    QS_REFRESH_LIVE, QS_READ_PROFIBUS, QS_READ_AI_ALARM, QS_READ_AQ_TYPE, QS_READ_MAC,
    QS_READ_GATEWAY, QS_READ_PRJ_CAL,  QS_READ_FULL,     QS_READ_ZERO,    QS_READ_LAMP,
    QS_READ_CLOCK,   QS_READ_SYS_INFO, QS_READ_PDTAG,    QS_READ_INNER_CAL, QS_READ_ZIGBEE};
constexpr std::int16_t ETHERNET_STARTUP[] = {
    QE_REFRESH_LIVE, QE_READ_AI_ALARM, QE_READ_PRJ_CAL, QE_READ_AQ_TYPE,  QE_READ_MAC,
    QE_READ_GATEWAY, QE_READ_FULL,     QE_READ_LAMP,    QE_READ_CLOCK,    QE_READ_WEEKDAY,
    QE_READ_ZERO,    QE_READ_SYS_INFO, QE_READ_PDTAG,   QE_READ_INNER_CAL, QE_READ_ZIGBEE};

// What 设置参数 loads for the record, under the companions the short record
// pushes on top. The long record carries the MAC, DeviceID and PD tag itself;
// the short one reads the DeviceID and PD tag back and writes neither.
constexpr std::int16_t SERIAL_SET_LONG[] = {QS_REFRESH_LIVE, QS_WRITE_SYS_INFO};
constexpr std::int16_t SERIAL_SET_SHORT[] = {QS_REFRESH_LIVE, QS_READ_PDTAG, QS_WRITE_SYS_INFO};
constexpr std::int16_t ETHERNET_SET_LONG[] = {QE_REFRESH_LIVE, QE_WRITE_SYS_INFO};
constexpr std::int16_t ETHERNET_SET_SHORT[] = {QE_REFRESH_LIVE, QE_READ_PDTAG, QE_WRITE_SYS_INFO};

std::span<const std::int16_t> setParaList(bool ethernet, bool longLayout)
{
    if (ethernet)
        return longLayout ? std::span<const std::int16_t>(ETHERNET_SET_LONG) : ETHERNET_SET_SHORT;
    return longLayout ? std::span<const std::int16_t>(SERIAL_SET_LONG) : SERIAL_SET_SHORT;
}

} // namespace

std::span<const std::int16_t> Form1::startupList(bool ethernet)
{
    if (ethernet)
        return ETHERNET_STARTUP;
    return SERIAL_STARTUP;
}

bool Form1::ethernetChosen() const { return ui.optComm[1]->isChecked(); }

void Form1::connectSystemPage()
{
    connect(ui.lblNUM, &QLineEdit::textChanged, this, [this] { lblNUM_Change(); });
    connect(ui.opSingle, &QRadioButton::toggled, this, [this](bool on) { if (on) opSingle_Click(); });
    connect(ui.ComboADFilter, &QComboBox::currentIndexChanged, this, [this] { ComboADFilter_Click(); });
    // A baud rate chosen sets the frame gap; a list emptied (start-up, Stop)
    // leaves the gap box alone, so it stays empty until a device was read.
    for (int p = 0; p < 2; ++p)
        connect(ui.Combo9[std::size_t(p)], &QComboBox::currentIndexChanged, this, [this, p](int index) {
            if (index >= 0)
                Combo9_Click(p);
        });
    for (auto* b : ui.ophandornot)
        connect(b, &QRadioButton::toggled, this, [this](bool on) { if (on) ophandornot_Click(); });
    for (int i = 0; i < 11; ++i)
        command(ui.cmdChnlEnable[std::size_t(i)], [this, i] { cmdChnlEnable_Click(i); });
    command(ui.cmdSetPara, [this] { cmdSetPara_Click(); });
    command(ui.Command3, [this] { Command3_Click(); });
    command(ui.cmdGetSys, [this] { cmdGetSys_Click(); });
}

// ---------------------------------------------------------------- display

void Form1::SetControlsEnabled()
{
    trap(QStringLiteral("WriteClock_S(Form1)"), [&] {
        const auto each = [&](const char* base, int n, const std::function<void(const QString&)>& f) {
            for (int i = 0; i < n; ++i)
                f(QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(i));
        };
        const auto enable = [&](const QString& n) { controls_.setEnabled(n, true); };
        const auto disable = [&](const QString& n) { controls_.setEnabled(n, false); };
        for (const char* n : {"bt_AQAdjust", "bt_NetGate", "bt_ReadAQZeroFull", "bt_RunStop", "btReadProfibus",
                              "btShowZigBee", "btSlaveShow", "Cmd_AQ_Unit", "cmd_ReadAIWarning", "cmd_WriteAIWarning",
                              "cmdClearCode", "cmdCheckLight", "cmdFreshAI", "cmdPause", "cmdSetAO", "cmdSetPara",
                              "cmdStopCheck", "Command3", "cmdDO_0", "ComboADFilter", "ComboADRate1", "opSingle",
                              "Option1", "Option2", "Option3", "opUnion"})
            enable(QString::fromLatin1(n));
        each("cmdChnlEnable", 11, enable);
        each("ChnlSensor", 11, enable);
        for (const char* n : {"Combo6", "Combo7", "Combo8", "Combo9", "Combo10", "ComboMS"})
            each(n, 2, enable);
        each("txt_AIDown", 8, enable);
        each("txt_AIUp", 8, enable);
        each("txt_AQjust", 8, enable);

        enable(QStringLiteral("Cmd_ResumeParam"));
        controls_.setVisible(QStringLiteral("Cmd_ResumeParam"), false);

        for (const char* n : {"bt_FindUpdataFile", "bt_Updata", "Cmd_LeiCheck", "Cmd_SetDefault", "Cmd_Wtite_Temprature",
                              "cmdRead", "cmdSave", "cmdSetFull", "cmdSetZero", "ComboADRate", "Command_Store",
                              "Command_Resume", "cpuTxt", "lblNUM", "datePicker", "timePicker", "ReadTxt",
                              "ReadTxtAndDown", "txtISOAddr", "txtPD_Tag", "txtSeries", "txtTempComp"})
            disable(QString::fromLatin1(n));
        each("bt_WriteOrOut", 4, disable);
        each("ChnlDis", 33, disable);
        each("txt_LeiCkeck", 8, disable);
        each("txt_AQM", 16, disable);
        each("txt_AQV", 16, disable);
        each("txt_MAC", 6, disable);

        for (const char* n : {"bt_AQAuto", "bt_MAC", "cmd_DownOAPara", "cmd_DownOrderInfo", "ophandornot_0",
                              "ophandornot_1"}) {
            disable(QString::fromLatin1(n));
            controls_.setVisible(QString::fromLatin1(n), false);
        }
        controls_.setVisible(QStringLiteral("Cmd_TransPara"), false);
        for (auto* box : ui.Check_SysParam)
            box->setChecked(false);
    });
}

void Form1::ShowSysInfo()
{
    leaveMaintenance(true); // a device answered: the box can be checked again
    SetControlsEnabled();
    trap(QStringLiteral("ShowSysInfo(Form1)"), [&] {
        auto& r = dev_.SysInfo;
        ui.txtSeries->setText(QString::number(r.SerialNo));
        ui.txtModuleAddr->setText(QString::number(r.ModuleAddr));
        for (int i = 0; i < 4; ++i)
            ui.txtIp[std::size_t(i)]->setText(QString::number(r.IpAddr[std::size_t(i)]));

        // The handlers of the controls set here run even when a control
        // already shows the value.
        const auto select = [](QRadioButton* b, const std::function<void()>& handler) {
            if (b->isChecked())
                handler();
            else
                b->setChecked(true);
        };
        const auto choose = [](QComboBox* box, int index, const std::function<void()>& handler) {
            if (index < 0 || index >= box->count())
                index = -1;
            if (box->currentIndex() == index)
                handler();
            else
                box->setCurrentIndex(index);
        };
        select(ui.Option1, [this] { Option1_Click(); });
        select(ui.opSingle, [this] { opSingle_Click(); });

        for (int i = 0; i < 11; ++i)
            setIndex(ui.ChnlSensor[std::size_t(i)], r.SensorType[std::size_t(i)]);

        const bool filtered = (r.AdMode >> 4) != 0;
        choose(ui.ComboADFilter, filtered ? 1 : 0, [this] { ComboADFilter_Click(); });
        ui.ComboADRate->setVisible(!filtered);
        ui.ComboADRate1->setVisible(filtered);
        setIndex(filtered ? ui.ComboADRate1 : ui.ComboADRate, r.AdMode & 0x0F);

        ui.txtDIPrevent->setText(QString::number(sysparam::diDebounceShown(r.DiDebounce)));
        ui.txtTempComp->setText(QString::number(r.ColdCal));
        setIndex(ui.ComboCold, (r.TempCompFlags / 68) % 2);

        for (std::size_t p = 0; p < 2; ++p) {
            const auto port = sysparam::unpackPort(r.PortLine[p], r.PortProto[p]);
            setIndex(ui.Combo6[p], port.parity);
            setIndex(ui.Combo7[p], port.dataBits);
            setIndex(ui.Combo8[p], port.stopBits);
            choose(ui.Combo9[p], port.baud, [this, p] { Combo9_Click(int(p)); });
            setIndex(ui.Combo10[p], port.protocol);
        }

        ui.ScanCtrl->setText(QString::number(r.SubScanCtrl));
        ui.ScanInterval->setText(QString::number(r.SubScanInterval));
        ui.lblVersion->setText(sysparam::versionByteText(r.VersionByte));

        // Impossible production dates are corrected, on the page and in the record.
        if (r.ProdYear < 1 || r.ProdYear > 3000)
            r.ProdYear = 1900;
        if (r.ProdMonth < 1 || r.ProdMonth > 12)
            r.ProdMonth = 1;
        if (r.ProdDay < 1 || r.ProdDay > 31)
            r.ProdDay = 1;
        if (r.ProdHour > 23)
            r.ProdHour = 0;
        if (r.ProdMinute > 59)
            r.ProdMinute = 0;
        if (r.ProdSecond > 59)
            r.ProdSecond = 0;
        ui.datePicker->setDate(pickerDate(r.ProdYear, r.ProdMonth, r.ProdDay));
        ui.timePicker->setTime(QTime(r.ProdHour, r.ProdMinute, r.ProdSecond));

        for (std::size_t p = 0; p < 2; ++p)
            setIndex(ui.ComboMS[p], r.MasterSlave[p] <= 1 ? r.MasterSlave[p] : -1);

        for (int i = 0; i < 11; ++i)
            showChannelEnable(i);

        const QString number = models::deviceNumber(r.DeviceType, ui.datePicker->date().year(), r.ProdMonth,
                                                    r.ProdDay, ui.txtSeries->text());
        // The change handler runs even when the number is the one shown.
        if (ui.lblNUM->text() == number)
            lblNUM_Change();
        else
            ui.lblNUM->setText(number);
        ui.txtDevID->clear();
        ui.txtDevID->setText(models::shownDeviceId(r.DeviceType, number));

        for (std::size_t i = 0; i < 8; ++i)
            ui.txt_AQjust[i]->setText(QString::number(r.AqAdjust[i]));
        ui.uPortTxt->setText(QString::number(r.UdpPort));
        ui.cpuTxt->setText(QString::number(r.CpuType));
        ui.txtSubcommIntv->setText(QString::number(r.SubCommIntv));
        ui.txtSubWaitTime->setText(QString::number(r.SubWaitTime));
        ui.txtSubErr->setText(QString::number(r.SubMaxErr));
        ui.txtInnerVersion->setText(sysparam::innerVersionText(r.InnerVersion));
        dev_.DeviceInnerVer = sysparam::innerVersionDigits(r.InnerVersion);
        for (std::size_t p = 0; p < 2; ++p)
            ui.txt_RSDataTime[p]->setText(QString::number(r.RsDataTime[p]));
        if (r.RunState == 1)
            colors::paint(ui.bt_RunStop, colors::ON);
        else
            colors::paintFace(ui.bt_RunStop);
        select(ui.ophandornot[1], [this] { ophandornot_Click(); });
        FirstSysInfo = false;
    });
}

// ---------------------------------------------------------------- handlers the display runs

void Form1::lblNUM_Change()
{
    trap(QStringLiteral("lblNUM_Change(Form1)"), [&] {
        const auto parts = models::parseDeviceNumber(ui.lblNUM->text());
        if (!parts)
            return;
        ui.txtDeviceType->setText(parts->model);
        ui.txtSeries->setText(parts->series);
        const QDate d = pickerDate(parts->year, parts->month, parts->day);
        if (d.isValid())
            ui.datePicker->setDate(d);
    });
}

void Form1::opSingle_Click()
{
    ui.opUnion->setChecked(false);
    for (auto* box : ui.ChnlSensor)
        box->setEnabled(true);
}

void Form1::ComboADFilter_Click()
{
    const int i = ui.ComboADFilter->currentIndex();
    if (i != 0 && i != 1)
        return;
    ui.ComboADRate->setVisible(i == 0);
    ui.ComboADRate->setEnabled(i == 0);
    ui.ComboADRate1->setVisible(i == 1);
    ui.ComboADRate1->setEnabled(i == 1);
}

void Form1::Combo9_Click(int port)
{
    static const char* const gap[] = {"32", "16", "8", "4"};
    const int i = ui.Combo9[std::size_t(port)]->currentIndex();
    ui.txt_RSDataTime[std::size_t(port)]->setText(QString::fromLatin1(i >= 0 && i <= 3 ? gap[i] : "2"));
}

void Form1::ophandornot_Click()
{
    const bool automatic = ui.ophandornot[1]->isChecked();
    for (auto* box : ui.txt_MAC)
        box->setEnabled(!automatic);
}

// ---------------------------------------------------------------- capture

bool Form1::ChangeParameter()
{
    try {
        dev_.SysInfo = capturedPage();
        return true;
    } catch (const Abandoned&) {
        return false;
    }
}

SysParamRecord Form1::capturedPage()
{
    SysParamRecord r = dev_.SysInfo;
    // Every box goes to the device as it stands: a text that is no number, or
    // a number its field does not hold, refuses the capture (boxValue names
    // the box). The serial number keeps 16 bits and its sign on the wire.
    r.SerialNo = std::int32_t(boxValue(ui.txtSeries, -65535, 65535));
    r.ModuleAddr = std::uint8_t(boxValue(ui.txtModuleAddr, 0, 255));
    for (std::size_t i = 0; i < 4; ++i)
        r.IpAddr[i] = std::uint8_t(boxValue(ui.txtIp[i], 0, 255));
    for (std::size_t p = 0; p < 2; ++p) {
        sysparam::PortChoice c;
        c.parity = ui.Combo6[p]->currentIndex();
        c.dataBits = ui.Combo7[p]->currentIndex();
        c.stopBits = ui.Combo8[p]->currentIndex();
        c.baud = ui.Combo9[p]->currentIndex();
        c.protocol = ui.Combo10[p]->currentIndex();
        sysparam::packPort(c, r.PortLine[p], r.PortProto[p]);
    }
    r.AdMode = sysparam::packAdMode(ui.ComboADFilter->currentIndex(), ui.ComboADRate->currentIndex(),
                                    ui.ComboADRate1->currentIndex());
    // The debounce goes so that the page reads it back as typed; unchanged
    // from the device's report, it goes as the device's own two bytes.
    const int debounce = int(boxValue(ui.txtDIPrevent, 0, sysparam::DI_DEBOUNCE_SHOWN_MAX));
    if (debounce != sysparam::diDebounceShown(r.DiDebounce))
        r.DiDebounce = *sysparam::diDebounceWord(debounce);
    r.ColdCal = std::int16_t(boxValue(ui.txtTempComp, -32768, 32767));
    if (ui.ComboCold->currentIndex() == 0)
        r.TempCompFlags &= 0xBB;
    else if (ui.ComboCold->currentIndex() == 1)
        r.TempCompFlags |= 0x44;

    const QDate d = ui.datePicker->date();
    const QTime t = ui.timePicker->time();
    r.ProdYear = std::uint16_t(d.year() >= 1 && d.year() <= 3000 ? d.year() : 1900);
    r.ProdMonth = std::uint8_t(d.month());
    r.ProdDay = std::uint8_t(d.day());
    r.ProdHour = std::uint8_t(t.hour());
    r.ProdMinute = std::uint8_t(t.minute());
    r.ProdSecond = std::uint8_t(t.second());

    if (ui.ComboMS[0]->currentIndex() >= 0 && ui.ComboMS[1]->currentIndex() >= 0) {
        for (std::size_t p = 0; p < 2; ++p)
            r.MasterSlave[p] = std::uint8_t(ui.ComboMS[p]->currentIndex());
    } else {
        for (std::size_t p = 0; p < 2; ++p) {
            ui.ComboMS[p]->setCurrentIndex(0);
            r.MasterSlave[p] = 0;
        }
    }

    r.UdpPort = std::uint16_t(boxValue(ui.uPortTxt, 0, 65535));
    r.CpuType = std::uint16_t(boxValue(ui.cpuTxt, 0, 65535));
    r.SubMaxErr = std::uint8_t(boxValue(ui.txtSubErr, 0, 255));
    r.SubCommIntv = std::uint16_t(boxValue(ui.txtSubcommIntv, 0, 65535));
    r.SubWaitTime = std::uint16_t(boxValue(ui.txtSubWaitTime, 0, 65535));
    r.SubScanCtrl = std::uint16_t(boxValue(ui.ScanCtrl, 0, 65535));
    r.SubScanInterval = std::uint16_t(boxValue(ui.ScanInterval, 0, 65535));
    for (std::size_t p = 0; p < 2; ++p)
        r.RsDataTime[p] = std::uint8_t(boxValue(ui.txt_RSDataTime[p], 0, 255));
    return r;
}

QWidget* Form1::CheckParam()
{
    QList<QLineEdit*> boxes{ui.txtSeries,          ui.txtModuleAddr,       ui.uPortTxt,       ui.cpuTxt,
                            ui.txtDIPrevent,       ui.txtTempComp,         ui.ScanCtrl,       ui.ScanInterval,
                            ui.txtSubErr,          ui.txtSubcommIntv,      ui.txtSubWaitTime, ui.Text_ErrorTimeComm2,
                            ui.Text_InterTimeComm2, ui.Text_WaitTimeComm2};
    const auto add = [&](const auto& group) {
        for (QLineEdit* b : group)
            boxes << b;
    };
    add(ui.txt_RSDataTime);
    add(ui.prjTxt);
    add(ui.txt_AQjust);
    add(ui.txt_AIUp);
    add(ui.txt_AIDown);
    add(ui.txt_MAC);
    add(ui.txtIp);
    for (auto* b : boxes)
        if (b->text().isEmpty())
            return b;
    return ui.ComboCold->currentText().isEmpty() ? ui.ComboCold : nullptr;
}

void Form1::showBox(QWidget* box)
{
    for (int i = 0; i < ui.tabs->count(); ++i)
        if (ui.tabs->widget(i)->isAncestorOf(box))
            ui.tabs->setCurrentIndex(i);
    box->setFocus();
}

QScopeGuard<std::function<void()>> Form1::keepMacBoxes()
{
    std::array<QString, 6> shown;
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = ui.txt_MAC[i]->text();
    return QScopeGuard<std::function<void()>>([this, shown] {
        for (std::size_t i = 0; i < shown.size(); ++i)
            ui.txt_MAC[i]->setText(shown[i]);
    });
}

// ---------------------------------------------------------------- commands

void Form1::rebuildDeviceId()
{
    const QDate d = ui.datePicker->date();
    const auto type = dev_.SysInfo.DeviceType;
    const QString number = models::deviceNumber(type, d.year(), d.month(), d.day(), ui.txtSeries->text());
    if (ui.lblNUM->text() == number)
        lblNUM_Change();
    else
        ui.lblNUM->setText(number);
    ui.txtDevID->setText(models::composedDeviceId(type, ui.txthardwarenum->text(), number));
}

void Form1::showChannelEnable(int channel)
{
    auto* b = ui.cmdChnlEnable[std::size_t(channel)];
    if (dev_.SysInfo.ChnlEnable[std::size_t(channel)] == 1) {
        colors::paint(b, colors::ON);
        b->setText(QStringLiteral("Enabled"));
    } else {
        colors::paintFace(b);
        b->setText(QStringLiteral("Disabled"));
    }
}

void Form1::cmdSetPara_Click() { setParameters(-1); }

void Form1::setParameters(int toggle)
{
    trap(QStringLiteral("cmdSetPara_Click(Form1)"), [&] {
        // The record completes what the page leaves out: only the one read in this connection.
        if (!sysInfoReadHere())
            return;
        const int hw = int(ui.txthardwarenum->text().size());
        if (hw != 14 && hw != 15) {
            MsgBox(u(texts1::HARDWARE_NUMBER_WRONG));
            return;
        }
        rebuildDeviceId();
        for (auto* box : ui.prjTxt) {
            std::int16_t value = 0;
            const PrjFault f = prjCalValue(box->text(), value);
            if (f != PrjFault::None) {
                MsgBox(u(f == PrjFault::NotNumeric ? texts1::PRJ_NOT_NUMERIC : texts2::PRJ_OUT_OF_RANGE), MsgButtons::Ok,
                       u(texts2::HINT_TITLE), MsgIcon::Exclamation);
                return;
            }
        }
        if (QWidget* empty = CheckParam()) {
            MsgBox(u(texts1::PARAMS_EMPTY));
            showBox(empty);
            return;
        }
        // Everything the set writes is converted before anything is queued:
        // the first box that does not fit ends the command with its word.
        SysParamRecord r = capturedPage();
        for (std::size_t i = 0; i < 11; ++i)
            if (ui.ChnlSensor[i]->currentIndex() >= 0)
                r.SensorType[i] = std::uint8_t(ui.ChnlSensor[i]->currentIndex());
        r.AqAdjust = aqAdjustValues(controls_);
        if (toggle >= 0) {
            auto& e = r.ChnlEnable[std::size_t(toggle)];
            e = e == 1 ? 0 : 1;
        }
        const bool longLayout = sysparam::useLongLayout(r.DeviceType, r.InnerVersion);
        // The DeviceID and PD tag are checked only where the step writes them
        // (the long record): a box the step leaves alone does not stop it.
        if (longLayout)
            devIdTag(controls_, dev_);
        auto macShown = keepMacBoxes();
        if (longLayout)
            fillAutomaticMac(); // the long layout carries the MAC
        sysParamPayload(dev_, controls_, ethernetChosen() ? sysparam::Link::Ethernet : sysparam::Link::Serial);
        if (!longLayout) {
            alarmLimits(controls_);
            gatewayBlock(controls_);
        }
        dev_.SysInfo = r;
        queueSysParamWrite();
        macShown.dismiss();
        if (toggle >= 0)
            showChannelEnable(toggle);
        setStatus(u(texts1::SETTING_SYS_INFO));
    });
}

void Form1::queueSysParamWrite()
{
    const bool eth = ethernetChosen();
    const bool longLayout = sysparam::useLongLayout(dev_.SysInfo.DeviceType, dev_.SysInfo.InnerVersion);
    engine_->loadList(setParaList(eth, longLayout));
    if (!longLayout) {
        bt_WriteAQType_Click();
        engine_->push(eth ? std::int16_t(QE_WRITE_AI_ALARM) : std::int16_t(QS_WRITE_AI_ALARM));
        if (eth)
            engine_->SetParaPending = true;
        Command3_Click();
        bt_NetGate_Click();
    }
}

bool Form1::cmdSetPara_Vk()
{
    return trap(QStringLiteral("cmdSetPara_Vk(Form1)"), [&] {
        rebuildDeviceId();
        // A loaded value that does not convert stops the download before its
        // first write: nothing of a partial set goes out.
        const SysParamRecord r = capturedPage();
        auto macShown = keepMacBoxes();
        fillAutomaticMac();
        // AQ zero/full boxes that nothing filled (never read, not in the file)
        // are not written; the rest of the image goes on.
        const bool aqZeroFull = !aqZeroFullNeverFilled(*engine_, controls_, dev_);
        checkDownload(aqZeroFull);
        dev_.SysInfo = r;
        const bool eth = ethernetChosen();
        if (eth)
            engine_->loadList({QE_REFRESH_LIVE, QE_WRITE_FULL, QE_WRITE_ZERO, QE_READ_PDTAG, QE_WRITE_SYS_INFO,
                               QE_WRITE_PDTAG, QE_READ_PDTAG});
        else
            engine_->loadList({QS_REFRESH_LIVE, QS_WRITE_FULL, QS_WRITE_ZERO, QS_WRITE_SYS_INFO, QS_READ_PDTAG,
                               QS_WRITE_PDTAG});
        bt_WriteAQType_Click();
        if (aqZeroFull) {
            const auto zeroFull = eth ? std::int16_t(QE_WRITE_AQ_ZERO_FULL) : std::int16_t(QS_WRITE_AQ_ZERO_FULL);
            engine_->push(zeroFull);
            engine_->push(zeroFull);
            engine_->AQZFTwoStep = true;
        }
        engine_->push(eth ? std::int16_t(QE_WRITE_AI_ALARM) : std::int16_t(QS_WRITE_AI_ALARM));
        if (eth)
            engine_->SetParaPending = true;
        Command3_Click();
        bt_MAC_Click();
        macShown.dismiss();
        setStatus(u(texts1::SETTING_SYS_INFO));
    });
}

void Form1::checkDownload(bool aqZeroFull)
{
    constexpr int ZERO_CELLS = 11, FULL_CELLS = 22; // ChnlDis 11..21, 22..32
    aiCellValues(controls_, FULL_CELLS);
    aiCellValues(controls_, ZERO_CELLS);
    sysParamPayload(dev_, controls_, ethernetChosen() ? sysparam::Link::Ethernet : sysparam::Link::Serial);
    devIdTag(controls_, dev_);
    for (auto* list : ui.ComboType2)
        if (list->currentIndex() < 0)
            refuseBox(list);
    if (aqZeroFull) {
        aqZeroFullPoints(*engine_, controls_, dev_, false);
        aqZeroFullPoints(*engine_, controls_, dev_, true);
    }
    alarmLimits(controls_);
    checkMacBoxes();
}

void Form1::cmdChnlEnable_Click(int channel)
{
    // The switch is written with the record: refused, it changes nothing.
    setParameters(channel);
}

void Form1::Command3_Click()
{
    trap(QStringLiteral("Command3_Click(Form1)"), [&] {
        // A list without a selection keeps the type of the record read in this
        // connection (a code the list does not hold); without such a read it
        // makes no type, and nothing is stored or queued.
        std::array<std::uint8_t, 11> types{};
        const bool read = dev_.SysInfoConnection == engine_->connection();
        for (std::size_t i = 0; i < 11; ++i) {
            const int index = ui.ChnlSensor[i]->currentIndex();
            types[i] = index < 0 && read ? dev_.SysInfo.SensorType[i] : toByte(index);
        }
        dev_.SysInfo.SensorType = types;
        engine_->push(QS_WRITE_SENSOR_TYPE); // the same code on both links
    });
}

void Form1::cmdGetSys_Click()
{
    trap(QStringLiteral("cmdGetSys_Click(Form1)"), [&] {
        for (auto code : startupList(ethernetChosen()).subspan(1))
            engine_->push(code);
    });
}

void Form1::fillAutomaticMac()
{
    if (ui.ophandornot[0]->isChecked())
        return;
    // An automatic address: 00-FC, then four bytes that number the device by
    // its production day and series, unique per model.
    const QDate d = ui.datePicker->date();
    const qint64 days = QDate(2000, 1, 1).daysTo(d);
    // The series' last four characters may read as any number ("9e99"):
    // one outside the 32-bit range ends the command before a box is set.
    const std::int32_t series = toInt32(leadingNumber(ui.txtSeries->text().right(4)));
    const quint32 n = quint32(std::max<qint64>(days, 0) * 10000 + series);
    const quint8 bytes[6] = {0x00, 0xFC, quint8(n >> 24), quint8(n >> 16), quint8(n >> 8), quint8(n)};
    for (int i = 0; i < 6; ++i)
        ui.txt_MAC[std::size_t(i)]->setText(QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper());
}

void Form1::checkMacBoxes()
{
    for (int i = 0; i < 6; ++i) {
        if (!isHexText(ui.txt_MAC[std::size_t(i)]->text())) {
            MsgBox(QString::number(i) + u(texts2::MAC_BOX_WRONG));
            throw Abandoned{};
        }
    }
    macBoxes(controls_);
}

void Form1::bt_MAC_Click()
{
    trap(QStringLiteral("bt_MAC_Click(Form1)"), [&] {
        fillAutomaticMac();
        checkMacBoxes();
        engine_->push(ethernetChosen() ? std::int16_t(QE_WRITE_MAC) : std::int16_t(QS_WRITE_MAC));
    });
}

void Form1::bt_NetGate_Click()
{
    trap(QStringLiteral("bt_NetGate_Click(Form1)"), [&] {
        gatewayBlock(controls_);
        engine_->push(QS_WRITE_GATEWAY); // the same code on both links
    });
}

void Form1::bt_WriteAQType_Click()
{
    trap(QStringLiteral("bt_WriteAQType_Click(Form1)"), [&] {
        // A list without a selection makes no type: nothing is queued (the
        // conversion fails before anything is stored).
        std::array<std::uint8_t, 8> types{};
        for (std::size_t i = 0; i < 8; ++i)
            types[i] = toByte(ui.ComboType2[i]->currentIndex());
        dev_.AQTypeBuf = types;
        const bool eth = ethernetChosen();
        engine_->push(eth ? std::int16_t(QE_READ_AQ_TYPE) : std::int16_t(QS_READ_AQ_TYPE));
        engine_->push(eth ? std::int16_t(QE_WRITE_AQ_TYPE) : std::int16_t(QS_WRITE_AQ_TYPE));
    });
}
