#include "pages/form1.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "device/control_rows.h"
#include "device/calib_rows.h"
#include "device/eth_rows.h"
#include "device/io_rows.h"
#include "device/param_write_rows.h"
#include "device/read_rows.h"
#include "device/serial_rows.h"
#include "device/sys_param_rows.h"
#include "link/error_messages.h"
#include "link/serial_port.h"
#include "link/texts.h"
#include "pages/choice_lists.h"
#include "pages/texts.h"
#include "settings/texts.h"
#include "device/colors.h"
#include "proto/serial_commands.h"
#include "imagefile/image_file.h"
#include "upgrade/firmware_upgrade.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDateEdit>
#include <QTimeEdit>
#include <QApplication>
#include <QCloseEvent>
#include <chrono>
#include <QComboBox>
#include <QSignalBlocker>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace serial;

namespace {
QString u(const char* s) { return QString::fromUtf8(s); }

// The main-window procedures that the engine calls back; the other windows'
// services stay with their defaults until those windows exist.
class MainWindowNeighbours : public Neighbours {
public:
    explicit MainWindowNeighbours(Form1* f) : f_(f) {}
    void StartRun_Click() override { f_->StartRun_Click(); }
    void SetAQDQChange() override { f_->SetAQDQChange(); }
    // The upgrade's bar is not restarted by another procedure while it runs:
    // the upgrade's end is read from it.
    void InitProgress(int maximum, bool timer) override
    {
        if (!f_->upgrade().ownsProgress)
            f_->InitProgress(maximum, timer);
    }
    void StepProgress(int step) override { f_->StepProgress(step); }
    bool progressAtMaximum() const override { return f_->progressAtMaximum(); }
    void Cmd_SetDefault_Click() override { f_->Cmd_SetDefault_Click(); }
    void slaveWindowSwitch(bool on) override { f_->slaves().switchOn(on); }
    bool slaveRowsMarked() const override { return f_->slaves().rowsMarked(); }
    void slaveRowFailed() override { f_->slaves().rowFailed(); }
    void stopSlaveCheckTimer() override { f_->slaves().stopCheckTimer(); }
    void endProgress() override
    {
        f_->endProgress();
        f_->upgrade().ownsProgress = false;
    }
    int UpgradeMode() const override { return f_->upgrade().UpgradeMode; }
    void setUpgradeMode(int m) override { f_->upgrade().UpgradeMode = m; }
    void resetFirmwareBlocks() override { f_->upgrade().resetFirmwareBlocks(); }
    int FwBlockIndex() const override { return f_->upgrade().FwBlockIndex; }
    void DownBin() override { f_->upgrade().DownBin(); }
    void DownBoot() override { f_->upgrade().DownBoot(); }
    void DownParaAndOrder() override { f_->upgrade().DownParaAndOrder(); }

    bool AQPageOpen() const override { return f_->aqcal().AQPageOpen; }
    void OnDevReturnFromComm() override { f_->aqcal().OnDevReturnFromComm(); }
    void OnDevReturnFromSock() override { f_->aqcal().OnDevReturnFromSock(); }
    void OnReadCtrl() override { f_->settings().OnReadCtrl(); }
    void OnReadSM() override { f_->settings().OnReadSM(); }
    void OnReadResend() override { f_->settings().OnReadResend(); }
    void OnReadSlave() override { f_->settings().OnReadSlave(); }
    void OnReadRongyu() override { f_->settings().OnReadRongyu(); }
    void DistributeZigbeeParam() override { f_->settings().DistributeZigbeeParam(); }
    void setZigbeeTestVisible(bool on) override { f_->settings().setZigbeeTestVisible(on); }
    // In the order of the close: the slave table, the AQ window, the settings windows.
    void unloadWindows() override
    {
        f_->slaves().unload();
        f_->aqcal().unload();
        f_->settings().unload();
    }

private:
    Form1* f_;
};
} // namespace

Form1::Form1(const Form1Options& options, QWidget* parent)
    : QWidget(parent), controls_(this)
{
    setObjectName(QStringLiteral("Form1"));
    setupForm1Ui(this, ui);

    if (options.serial) {
        serial_ = options.serial;
    } else {
        ownSerial_ = std::make_unique<QtSerialTransport>();
        serial_ = ownSerial_.get();
    }
    serial_->setObjectName(QStringLiteral("Comm1"));
    if (options.neighbours) {
        nb_ = options.neighbours;
    } else {
        ownNeighbours_ = std::make_unique<MainWindowNeighbours>(this);
        nb_ = ownNeighbours_.get();
    }
    engine_ = std::make_unique<Engine>(this, nb_, serial_, this);
    settings_ = std::make_unique<SettingsWindows>(*engine_);
    aqcal_ = std::make_unique<AqCalWindow>(*engine_, dev_);
    if (options.discovery) {
        wsckDeviceQuery_ = options.discovery;
    } else {
        ownDiscovery_ = std::make_unique<QtUdpTransport>();
        wsckDeviceQuery_ = ownDiscovery_.get();
    }
    if (options.deviceSocket) {
        wsckR_W_ = options.deviceSocket;
    } else {
        ownDeviceSocket_ = std::make_unique<QtUdpTransport>();
        wsckR_W_ = ownDeviceSocket_.get();
    }
    wsckDeviceQuery_->setObjectName(QStringLiteral("wsckDeviceQuery"));
    wsckR_W_->setObjectName(QStringLiteral("wsckR_W"));
    engine_->setDeviceSocket(wsckR_W_);
    engine_->setDiscoverySocket(wsckDeviceQuery_);
    discoveryPort = options.discoveryPort;
    platformPorts = options.platformPorts;
    // A steady clock: the age of an announcement survives midnight and clock changes.
    clock = [] {
        return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count());
    };
    connect(wsckDeviceQuery_, &UdpTransport::datagram, this, [this](const QByteArray& d) {
        trap(QStringLiteral("wsckDeviceQuery_DataArrival(Form1)"), [&] { wsckDeviceQuery_DataArrival(d); });
    });
    connect(engine_.get(), &Engine::portLost, this, [this](const QString& why) {
        trap(QStringLiteral("Comm1_OnComm(Form1)"), [&] { serialPortLost(why); });
    });
    // The device watchdog runs while the Ethernet link listens.
    connect(engine_.get(), &Engine::watchdogTick, this, &Form1::timCheckDevice_Timer);
    connect(engine_.get(), &Engine::holdChanged, this, &Form1::showHold);
    registerSerialRows(*engine_, dev_, controls_);
    registerEthRows(*engine_, dev_, controls_);
    registerParamWriteRows(*engine_, dev_, controls_);
    registerReadRows(*engine_, dev_, controls_);
    registerIoRows(*engine_, dev_, controls_);
    registerCalibRows(*engine_, dev_, controls_);
    registerSysParamRows(*engine_, dev_, controls_, [this] { ShowSysInfo(); });
    registerSettingsRows(*engine_, *settings_);
    registerControlRows(*engine_, dev_, controls_);
    connect(engine_.get(), &Engine::connectionEnded, this, &Form1::connectionEnded);
    slaves_ = std::make_unique<SlaveWindow>(*engine_);
    setupFilesAndUpgrade(options);

    Time2Start.setObjectName(QStringLiteral("Time2Start"));
    Time2Start.setInterval(500);
    DisTimer.setObjectName(QStringLiteral("DisTimer"));
    DisTimer.setInterval(1000);
    ProgressTimer.setObjectName(QStringLiteral("ProgressTimer"));
    ProgressTimer.setInterval(1000);
    onTimeout(Time2Start, [this] { Time2Start_Timer(); });
    onTimeout(DisTimer, [this] { DisTimer_Timer(); });
    onTimeout(ProgressTimer, [this] { ProgressTimer_Timer(); });

    connectHandlers();
    connectSystemPage();
    connectWindowOpeners();
    connectControlPage();
    connectCalibPage();
    connectMaintenance();
    connectIoPages();
    qApp->installEventFilter(this); // the keys of the pages, whichever control has the focus
    CmdLine = options.commandLine;
    startDate_ = ui.datePicker->date();
    startTime_ = ui.timePicker->time();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::command(QAbstractButton* button, std::function<void()> handler, Gate gate)
{
    ::command(button, this, *engine_, std::move(handler), gate);
}

void Form1::onTimeout(QTimer& timer, std::function<void()> handler)
{
    connect(&timer, &QTimer::timeout, this, [this, &timer, handler = std::move(handler)] {
        trap(timer.objectName() + QStringLiteral("_Timer(") + objectName() + QLatin1Char(')'), handler);
    });
}

void Form1::connectHandlers()
{
    for (int i = 0; i < 2; ++i)
        connect(ui.optComm[std::size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optComm_Click(i);
        });
    connect(ui.Option1, &QRadioButton::toggled, this, [this](bool on) { if (on) Option1_Click(); });
    connect(ui.Option2, &QRadioButton::toggled, this, [this](bool on) { if (on) Option2_Click(); });
    connect(ui.Option3, &QRadioButton::toggled, this, [this](bool on) { if (on) Option3_Click(); });
    command(ui.StartRun, [this] { StartRun_Click(); });
    command(ui.cmdStop, [this] { cmdStop_Click(); }, Gate::Free);
    command(ui.cmdPause, [this] { cmdPause_Click(); }, Gate::Free);
    // A refused pick puts the list back on the device the link is aimed at.
    ::command(ui.cmbDevice, this, *engine_, [this] { cmbDevice_Click(); }, [this] { return connectedDeviceIndex(); });
}

// ---------------------------------------------------------------- LinkView

// The poll sets these on every tick; a box that shows the text already is left alone.
void Form1::setStatus(const QString& text)
{
    if (ui.Text2->text() != text)
        ui.Text2->setText(text);
}
QString Form1::status() const { return ui.Text2->text(); }
void Form1::setLostCount(const QString& text)
{
    if (ui.Text3->text() != text)
        ui.Text3->setText(text);
}
void Form1::setRxCount(const QString& text)
{
    if (ui.Text4->text() != text)
        ui.Text4->setText(text);
}
QString Form1::deviceIdText() const { return ui.txtDevID->text(); }

int Form1::linkOption() const
{
    if (ui.optComm[0]->isChecked())
        return 0;
    if (ui.optComm[1]->isChecked())
        return 1;
    return -1;
}

// ---------------------------------------------------------------- start-up

void Form1::Form_Load()
{
    trap(QStringLiteral("Form_Load(Form1)"), [&] {
        setWindowTitle(u(texts1::CAPTION) + QStringLiteral("1.3.99") + u(texts1::CAPTION_EDITION));
        ui.cmd_DownOrderInfo->hide();
        ui.cmd_DownOAPara->hide();
        ui.Cmd_TransPara->hide();
        ui.bt_AQAuto->hide();
        TesterIpM = QStringLiteral("192.168.1.201");
        TesterIpV = QStringLiteral("192.168.1.202");
        engine_->TimerInterval = 300;
        VerifyReadCount = 4;
        InitGlobals();
        engine_->AQTypeChanged = false;
        engine_->AQZFTwoStep = false;
        EmployeeNo.clear();
        BinFileName.clear();
        BinVersion.clear();
        BootVersion.clear();
        DeviceSerial.clear();
        DisTimer.start();
        ProgressTimer.start();
        ui.Option1->setEnabled(false);
        ui.Option2->setEnabled(false);
        ui.Option3->setEnabled(false);
        ui.cmdWriteprj->setEnabled(false);
        leaveMaintenance(false);
        ComPortNo = 0;
        InitialComboBox();
        if (ui.optComm[0]->isChecked())
            optComm_Click(0);
        else
            ui.optComm[0]->setChecked(true);
        ui.ComboADRate->setEnabled(false);
        ui.ComboADRate->hide();
        ui.ComboADRate1->setEnabled(false);
        ui.ComboADRate1->hide();
        if (ui.Option1->isChecked())
            Option1_Click();
        else
            ui.Option1->setChecked(true);
        engine_->DisplayMode = 0;
        ZFMode = 0;
        ui.ComboCold->setEnabled(false);
        ui.Text2->setText(u(texts1::PROMPT_SERIAL));
        ui.Text_ErrorTimeComm2->setText(QStringLiteral("10"));
        ui.Text_InterTimeComm2->setText(QStringLiteral("100"));
        ui.Text_WaitTimeComm2->setText(QStringLiteral("1000"));
        if (!CmdLine.trimmed().isEmpty()) {
            images_->AnalysisParam(CmdLine);
            Time2Start.start();
        }
    });
    DisTimer_Timer();
}

bool Form1::InitGlobals()
{
    FirstInfoCheck = true;
    return true;
}

bool Form1::TestCom(int port)
{
    if (port < 1 || port > portCandidates.size())
        return false;
    QSerialPort probe;
    probe.setPortName(portCandidates[port - 1]);
    if (!probe.open(QIODevice::ReadWrite))
        return false;
    const bool ok = applySerialSettings(probe, QString::fromLatin1(texts::SETTINGS_9600));
    probe.close();
    return ok;
}

void Form1::InitialComboBox()
{
    trap(QStringLiteral("InitialComboBox(Form1)"), [&] {
        portCandidates = candidatePorts(platformPorts);
        for (int n = 1; n <= 16; ++n)
            if (TestCom(n))
                ui.ComPort->addItem(portCandidates[n - 1]);
        if (ui.ComPort->count() > 0)
            ui.ComPort->setCurrentIndex(0);
        ui.ComboCold->addItems(choices::cold());
        for (auto* c : ui.ChnlSensor)
            c->addItems(choices::sensorTypes());
        ui.ComboADRate->addItems(choices::adRate());
        ui.ComboADRate1->addItems(choices::adRateFiltered());
        ui.Combo_WeekDay->clear();
        ui.Combo_WeekDay->addItems(choices::weekDays());
        ui.ComboADFilter->addItems(choices::adFilter());
        for (auto* c : ui.ComboMS) {
            c->clear();
            c->addItems(choices::masterSlave());
        }
        for (int i = 0; i < 2; ++i) {
            ui.Combo6[std::size_t(i)]->addItems(choices::parity());
            ui.Combo7[std::size_t(i)]->addItems(choices::dataBits());
            ui.Combo8[std::size_t(i)]->addItems(choices::stopBits());
            {
                // Filling the list is no choice of a baud rate: the frame gap stays empty.
                const QSignalBlocker quiet(ui.Combo9[std::size_t(i)]);
                ui.Combo9[std::size_t(i)]->addItems(choices::baudRates());
            }
            ui.Combo10[std::size_t(i)]->addItems(choices::protocols());
        }
        // The AQ type lists hold their entries from the start as well, so an
        // image applied before the link starts (command line) keeps its AQ types.
        fillAqTypeLists();
        // No list shows a choice until the device has been read.
        for (auto* c : findChildren<QComboBox*>())
            if (c != ui.ComPort)
                c->setCurrentIndex(-1);
    });
}

void Form1::optComm_Click(int index)
{
    trap(QStringLiteral("optComm_Click(Form1)"), [&] {
        if (index == 0) {
            ui.StartRun->setEnabled(true);
            ui.ComPort->show();
            ui.ComPort->setEnabled(true);
            if (ui.ComPort->count() > 0)
                ui.ComPort->setCurrentIndex(0);
            ui.Text2->setText(u(texts1::PROMPT_SERIAL));
            ui.bt_CheckRAM->show();
            nb_->setZigbeeTestVisible(true);
            LinkSerial = true;
        } else {
            nb_->setZigbeeTestVisible(false);
            ui.bt_CheckRAM->hide();
            ui.StartRun->setEnabled(true);
            ui.ComPort->hide();
            ui.ComPort->setEnabled(false);
            ui.Text2->setText(u(texts1::PROMPT_ETHERNET));
            ui.txtDevID->clear();
            ui.txtPD_Tag->clear();
            LinkSerial = false;
        }
    });
}

void Form1::fillAqTypeLists()
{
    for (std::size_t i = 0; i < 8; ++i) {
        auto* c = ui.ComboType2[i];
        if (c->count() != 3) {
            c->clear();
            for (const char* t : texts1::AQ_TYPES)
                c->addItem(u(t));
            c->setCurrentIndex(-1); // no type shown until the device's are read
        } else {
            for (int k = 0; k < 3; ++k)
                c->setItemText(k, u(texts1::AQ_TYPES[k]));
        }
        ui.lbl_unit0[i]->clear();
        ui.lbl_unit0[i + 8]->clear();
        ui.lbl_unit1[i]->clear();
    }
}

void Form1::StartRun_Click()
{
    // Also run by the automatic start and by the engine after an upgrade:
    // nothing it throws leaves it.
    trap(QStringLiteral("StartRun_Click(Form1)"), [&] {
        FirstSysInfo = true;
        ui.cmdStop->setEnabled(true);
        ui.cmdStop->setFocus();
        ui.optComm[0]->setEnabled(false);
        ui.optComm[1]->setEnabled(false);
        ui.ComPort->setEnabled(false);
        ui.StartRun->setEnabled(false);
        // Engineering values are written only after a read on this link.
        ui.cmdWriteprj->setEnabled(false);
        ui.OpAqSingle->setEnabled(true);
        ui.OpAqUnion->setEnabled(true);
        ui.OpAqSingle->setFocus();
        if (ui.optComm[1]->isChecked())
            startEthernet();
        else
            startSerial();
    });
}

void Form1::startSerial()
{
    ui.cmdReclock->setEnabled(true);
    ui.txtDevID->clear();
    ui.txtPD_Tag->clear();
    ui.cmdGetSys->setEnabled(true);
    for (int i = 0; i < 2; ++i) {
        ui.Combo6[std::size_t(i)]->setEnabled(true);
        ui.Combo7[std::size_t(i)]->setEnabled(true);
        ui.Combo8[std::size_t(i)]->setEnabled(true);
        ui.Combo9[std::size_t(i)]->setEnabled(true);
        ui.Combo10[std::size_t(i)]->setEnabled(true);
        ui.ComboMS[std::size_t(i)]->setEnabled(true);
    }
    ui.ComboCold->setEnabled(true);
    ui.ComboADFilter->setEnabled(true);
    ui.ComboADRate1->setEnabled(true);
    ui.ComboADRate->setEnabled(true);
    ui.cmdSave->show();
    ui.cmdRead->show();
    ui.Text2->setText(u(texts1::RUN_START));
    if (ui.ComPort->currentIndex() >= 0) {
        for (int n = 1; n <= 128 && n <= portCandidates.size(); ++n)
            if (portCandidates[n - 1] == ui.ComPort->currentText()) {
                ComPortNo = n - 1;
                break;
            }
    }
    const QString name = ComPortNo < portCandidates.size() ? portCandidates[ComPortNo] : QString();
    QString why;
    const int err = engine_->openSerial(name, QString::fromLatin1(texts::SETTINGS_9600), &why);
    if (err != 0) {
        startFailed(err, why);
        return;
    }
    fillAqTypeLists();
    engine_->start(startupList(false));
}

void Form1::startFailed(int number, const QString& description)
{
    const bool serialLink = !ui.optComm[1]->isChecked();
    MsgBox(serialLink ? CommErrorMessage(number, description) : WinsockErrorMessage(number, description),
           MsgButtons::Ok, u(serialLink ? texts1::SERIAL_ERROR_TITLE : texts1::WINSOCK_ERROR_TITLE),
           MsgIcon::Exclamation);
    ui.optComm[0]->setEnabled(true);
    ui.optComm[1]->setEnabled(true);
    if (serialLink)
        ui.ComPort->setEnabled(true);
    ui.StartRun->setEnabled(true);
    ui.cmdStop->setEnabled(false);
    ui.Text2->setText(u(serialLink ? texts1::SERIAL_RETRY : texts1::WINSOCK_RETRY));
}

void Form1::serialPortLost(const QString& description)
{
    // Handled once, like a start that failed to read the port: the user is
    // told, and the link choice is free again. The engine has closed the
    // link and ended its connection (and an upgrade with it) already.
    WriteErrorLog(description, QStringLiteral("Comm1_OnComm(Form1)"));
    startFailed(8020, description);
}

void Form1::Time2Start_Timer()
{
    StartRun_Click();
    Time2Start.stop();
}

void Form1::DisTimer_Timer()
{
    ui.NowDis->setText(QDateTime::currentDateTime().toString(u(texts1::CLOCK_FORMAT)));
}

void Form1::Form_Unload() { nb_->unloadWindows(); }

void Form1::closeEvent(QCloseEvent* e)
{
    // Quitting in the middle of an upgrade would leave the device half
    // written: the window stays until the upgrade ends or 停止通讯 ends it.
    if (engine_->owner() == Engine::Owner::Upgrade) {
        MsgBox(QString::fromUtf8(texts::UPGRADE_OWNS_STACK));
        e->ignore();
        return;
    }
    Form_Unload();
    QWidget::closeEvent(e);
}

// ---------------------------------------------------------------- stop, pause, display mode

void Form1::forgetDevice()
{
    // The faces of start-up come back first: the production date and time
    // (whose handlers fill boxes emptied below), the run/stop button whose
    // colour decides the byte 运行/停止 sends, Profibus, the RAM-test and
    // status lamps.
    ui.datePicker->setDate(startDate_);
    ui.timePicker->setTime(startTime_);
    colors::paintFace(ui.bt_RunStop);
    ui.ckProfibus->setChecked(false);
    ui.ckProfibus->setText(profibusCaption(false));
    for (auto* l : ui.ram_sap)
        colors::paintFace(l);
    for (auto* l : ui.shpFlash)
        colors::paintFace(l);
    // Every box and list of the pages shows what a device said, but the
    // user's own: the output set-points and the weekday the clock write sends.
    const QList<const QWidget*> own(ui.txtAQ_Set.begin(), ui.txtAQ_Set.end());
    const auto part = [](const QWidget* w) { // the edit field inside a list or a date box
        return qobject_cast<const QComboBox*>(w->parentWidget()) || qobject_cast<const QAbstractSpinBox*>(w->parentWidget());
    };
    for (auto* e : ui.tabs->findChildren<QLineEdit*>())
        if (!own.contains(e) && !part(e))
            e->clear();
    for (auto* c : ui.tabs->findChildren<QComboBox*>())
        if (c != ui.Combo_WeekDay)
            c->setCurrentIndex(-1);
    for (QLabel* l : {ui.lblVersion, ui.lb_BookNo})
        l->clear();
    for (auto* l : ui.lbl_unit0)
        l->clear();
    for (auto* l : ui.lbl_unit1)
        l->clear();
    dev_.forget();
    for (auto* b : ui.LightState)
        colors::paintFace(b);
    for (auto* b : ui.cmdDO)
        colors::paintFace(b);
    for (auto* b : ui.cmdDQ3)
        colors::paintFace(b);
    for (auto* l : ui.shpDI)
        colors::paintFace(l);
    for (auto* l : ui.sapAI)
        colors::paint(l, colors::WHITE);
    for (auto* b : ui.cmdChnlEnable) {
        colors::paintFace(b);
        b->setText(QString());
    }
}

void Form1::connectionEnded()
{
    // The commands maintenance mode opened (the upgrade's among them) close,
    // and what the device said is forgotten.
    leaveMaintenance(false);
    forgetDevice();
    // A bar that a device's steps drive ends with the device's link.
    endProgress();
}

void Form1::showHold(bool held)
{
    ui.cmdPause->setText(u(held ? texts1::RESUME : texts1::PAUSE));
}

bool Form1::sysInfoReadHere()
{
    if (dev_.SysInfoConnection == engine_->connection())
        return true;
    MsgBox(u(texts6::READ_FIRST));
    return false;
}

void Form1::cmdStop_Click()
{
    trap(QStringLiteral("cmdStop_Click(Form1)"), [&] {
        ui.optComm[0]->setEnabled(true);
        ui.optComm[1]->setEnabled(true);
        if (ui.optComm[0]->isChecked())
            ui.ComPort->setEnabled(true);
        // The link's one end: every timer stops, a running upgrade ends, the
        // stack empties, and the pages forget the device.
        engine_->closeLink(Engine::End::Stopped);
        devices.reset();
        for (int i = ui.cmbDevice->count() - 1; i >= 0; --i)
            ui.cmbDevice->removeItem(i);
        ui.cmbDevice->hide();
        ui.Text2->clear();
        ui.cmdWriteprj->setEnabled(false);
        engine_->zeroCounters();
        ui.StartRun->setEnabled(true);
        ui.cmdStop->setEnabled(false);
    });
}

void Form1::cmdPause_Click()
{
    // Nothing to hold while no link runs; the AQ window holds the link and
    // gives it back itself.
    if (!engine_->running() || engine_->heldBy(Engine::Hold::AqWindow))
        return;
    if (engine_->heldBy(Engine::Hold::User))
        engine_->resume(Engine::Hold::User);
    else
        engine_->pause(Engine::Hold::User);
}

void Form1::Option1_Click()
{
    ui.Option1->setChecked(true);
    engine_->DisplayMode = 0;
}
void Form1::Option2_Click()
{
    ui.Option2->setChecked(true);
    engine_->DisplayMode = 1;
}
void Form1::Option3_Click()
{
    ui.Option3->setChecked(true);
    engine_->DisplayMode = 2;
}
