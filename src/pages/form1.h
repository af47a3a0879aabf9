#pragma once
// The main window: start-up, link choice, start and stop, and the pages.
#include "device/controls.h"
#include "device/device_data.h"
#include "link/device_table.h"
#include "link/engine.h"
#include "link/neighbours.h"
#include "link/view.h"
#include "pages/form1_ui.h"
#include "pages/services.h"
#include "settings/settings_windows.h"
#include "aqcal/form_aq.h"
#include "base/command.h"
#include "settings/slave_window.h"

#include <QDate>
#include <QStringList>
#include <QTime>
#include <QTimer>
#include <QScopeGuard>
#include <QWidget>
#include <functional>
#include <memory>
#include <span>

class SerialTransport;
class FirmwareUpgrade;
class ImageFile;
class OrderServer;

struct Form1Options {
    QString commandLine;                  // image records applied at start
    SerialTransport* serial = nullptr;    // the port (the platform's when null)
    Neighbours* neighbours = nullptr;     // the other windows (none when null)
    ImageService* images = nullptr;       // the image-record loader (none when null)
    UdpTransport* discovery = nullptr;    // wsckDeviceQuery (the platform's when null)
    UdpTransport* deviceSocket = nullptr; // wsckR_W (the platform's when null)
    quint16 discoveryPort = 12000;        // tests use another port
    bool platformPorts = true;            // tests list only the ports they name
    OrderServer* orderServer = nullptr;   // the production server (none available when null)
};

class Form1 : public QWidget, public LinkView {
    Q_OBJECT
public:
    explicit Form1(const Form1Options& options = {}, QWidget* parent = nullptr);
    ~Form1() override;

    Form1Ui ui;
    Engine& engine() { return *engine_; }
    DeviceData& device() { return dev_; }
    FirmwareUpgrade& upgrade() { return *upgrade_; }
    ImageFile& imageFile() { return *imageFile_; }
    const Controls& controls() const { return controls_; }
    SettingsWindows& settings() { return *settings_; }
    AqCalWindow& aqcal() { return *aqcal_; }

    // ---- module state of the start-up ----
    int ComPortNo = 0;
    QString CmdLine;
    bool FirstInfoCheck = false;
    bool FirstSysInfo = false;
    bool LinkSerial = true;
    int VerifyReadCount = 0;
    QString TesterIpM, TesterIpV;
    QString EmployeeNo, BinFileName, BinVersion, BootVersion, DeviceSerial;
    std::uint8_t ZFMode = 0;
    QString TuneParamText;
    DeviceTable devices;                  // DeviceTable
    quint16 discoveryPort = 12000;
    bool platformPorts = true;
    // Milliseconds on a clock that does not jump; tests may replace it.
    std::function<qint64()> clock;

    QTimer Time2Start;
    QTimer DisTimer;
    QTimer ProgressTimer;

    // ---- handlers ----
    void Form_Load();
    void Form_Unload();
    bool InitGlobals();
    void InitialComboBox();
    bool TestCom(int port);
    void optComm_Click(int index);
    void StartRun_Click();
    void Time2Start_Timer();
    void DisTimer_Timer();
    void cmdStop_Click();
    void cmdPause_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    // Maintenance mode (the link bar's 维护模式 box) and the zero/full editor.
    void chkMaintenance_Click();
    void cmdSetZero_Click();
    void cmdSetFull_Click();
    void cmdLeft_Click();
    void cmdRight_Click();
    void cmdEnter_Click();
    void cmdZFSave_Click();
    void cmdZFCancel_Click();
    int ZFChannel = 0;                    // the channel of the light-blue cell
    // DI/DO, outputs, LEDs and the AQ area.
    void cmdDO_Click(int index);
    void cmdSetAO_Click();
    void Cmd_AQ_Unit_Click();
    void LightState_Click(int index);
    void bt_ReadAQType_Click();
    void bt_FreshDQ_Click();
    void cmdDQ3_Click(int index);
    void bt_ReadAQZeroFull_Click();
    void bt_WriteOrOut_Click(int index);
    void SetAQDQChange();
    // Device discovery on the Ethernet link.
    void wsckDeviceQuery_DataArrival(const QByteArray& datagram);
    void cmbDevice_Click();
    void timCheckDevice_Timer();
    // System-parameter page.
    void ShowSysInfo();
    // Copies the page into the record; a box that does not fit its field is
    // named in a message and the record stays as it was (false).
    bool ChangeParameter();
    // The first of the boxes the set-parameter command needs that is empty
    // (nullptr: none is).
    QWidget* CheckParam();
    // Brings the box's page forward with the focus in it.
    void showBox(QWidget* box);
    // Puts back what the MAC boxes show when it goes out of scope, unless
    // dismissed: the automatic MAC shows only once its write is queued.
    QScopeGuard<std::function<void()>> keepMacBoxes();
    void cmdSetPara_Click();
    // Writes the pages to the device (an image file's download); false when a
    // value it would write does not fit: then nothing of it is queued.
    bool cmdSetPara_Vk();
    void lblNUM_Change();
    void opSingle_Click();
    void ComboADFilter_Click();
    void Combo9_Click(int port);
    void ophandornot_Click();
    void cmdChnlEnable_Click(int channel);
    void Command3_Click();
    void cmdGetSys_Click();
    void bt_MAC_Click();
    void bt_NetGate_Click();
    void bt_WriteAQType_Click();
    // Calibration, clock and MAC pages.
    void cmdWriteprj_Click();
    void bt_AQAdjust_Click();
    void CmdGainE_Click();
    void CmdGainD_Click();
    void Cmd_Wtite_Temprature_Click();
    void Cmd_LeiCheck_Click();
    void cmdReclock_Click();
    void cmdWrclock_Click();
    void cmdNowclock_Click();
    void txt_MAC_GotFocus(int index);
    // Progress bar and its percentage label, shared by the RAM test and the
    // firmware upgrade. With `timer` set, ProgressTimer steps it once a second
    // until it is full; otherwise only StepProgress moves it.
    void InitProgress(int maximum, bool timer);
    void StepProgress(int step);
    void ProgressTimer_Timer();
    bool progressAtMaximum() const;
    void endProgress();
    // Device control commands.
    void bt_CheckRAM_Click();
    void cmdClearCode_Click();
    void cmdCheckLight_Click();
    void cmdStopCheck_Click();
    void bt_RunStop_Click();
    void cmdFreshAI_Click();
    void cmd_ReadAIWarning_Click();
    void cmd_WriteAIWarning_Click();
    void Command_Store_Click();
    void Command_Resume_Click();
    void Cmd_SetDefault_Click();
    void Cmd_ResumeParam_Click();
    void btReadProfibus_Click();
    void ckProfibus_MouseUp();
    void btSlaveShow_Click();
    SlaveWindow& slaves() { return *slaves_; }
    // The stack a start loads: the idle poll of the link in entry 0, then the
    // reads of every page (the last entry runs first). Entries 1 on are also
    // the read-all list.
    static std::span<const std::int16_t> startupList(bool ethernet);
    // Page resets: 'S' device selection, 'A' the last device dropped,
    // 'B' the chosen device dropped, 'C' the list left empty.
    void resetPages(char column);

    // The ports TestCom probes, in order (port n is entry n - 1).
    QStringList portCandidates;

    // ---- LinkView ----
    void setStatus(const QString& text) override;
    QString status() const override;
    void setLostCount(const QString& text) override;
    void setRxCount(const QString& text) override;
    int linkOption() const override;
    QString deviceIdText() const override;

protected:
    void closeEvent(QCloseEvent* e) override;
    // F4 to F9, and the arrows, Enter and Esc of the zero/full editor, seen
    // before the control with the focus (a page would scroll on an arrow).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupFilesAndUpgrade(const Form1Options& options);
    // Connects a button of the main window to its handler: trapped, and
    // refused while an operation owns the stack unless the button is free.
    void command(QAbstractButton* button, std::function<void()> handler, Gate gate = Gate::Stack);
    // Connects a timer to its handler, trapped.
    void onTimeout(QTimer& timer, std::function<void()> handler);
    void connectHandlers();
    void connectWindowOpeners();
    void connectMaintenance();
    void connectIoPages();
    // A switch's click queued with its write and the read-back under it.
    // Ends maintenance mode: the editor closes, the guarded controls get back
    // the states they had, the box is cleared. `connected` enables the box.
    void leaveMaintenance(bool connected);
    void openZeroFullEditor(std::uint8_t mode); // 1 zero, 2 full scale
    void closeZeroFullEditor();
    void paintEditorCell(bool editing);
    // The connection ended: every box and list of the pages that a device
    // fills is emptied or unset, the toggled states reset and their buttons
    // repainted, the system record no longer counts as read.
    void forgetDevice();
    QDate startDate_;
    QTime startTime_;
    // The connection's end as the pages take it: maintenance mode left, the device forgotten.
    void connectionEnded();
    // The pause button shows whether the dispatcher is held.
    void showHold(bool held);
    // Whether the system record was read in this connection; tells the user when not.
    bool sysInfoReadHere();
    // 设置参数, with channel `toggle`'s enable switched in the record it
    // writes (-1: none); the switch shows only once the write is queued.
    void setParameters(int toggle);
    void showChannelEnable(int channel);
    void startSerial();
    void startEthernet();
    void startFailed(int number, const QString& description);
    // The serial port went away under the open link.
    void serialPortLost(const QString& description);
    void fillAqTypeLists();
    // The AQ window takes the link (true) or gives it back.
    void aqWindowHoldsLink(bool held);
    // The place of the connected device in the device list (-1: none).
    int connectedDeviceIndex() const;
    void SetControlsEnabled();
    void connectSystemPage();
    void connectControlPage();
    bool ethernetChosen() const;
    // Whether a serial-only command may go on: on Ethernet it is refused with a word.
    bool serialOnly();
    // Rebuilds lblNUM and txtDevID from the model, the date and the series.
    void rebuildDeviceId();
    // The record with the page's values; a box that does not fit is named in a
    // message and ends the command (Abandoned).
    SysParamRecord capturedPage();
    // The automatic MAC address in the MAC boxes (unless the manual option is chosen).
    void fillAutomaticMac();
    // The MAC boxes as the MAC write takes them, or the command ends with a word.
    void checkMacBoxes();
    // Every value the image download writes, checked before anything is queued.
    void checkDownload(bool aqZeroFull);
    // Queues the system-parameter write with its companions: the short-layout
    // devices get the values the short layout lacks as writes of their own.
    void queueSysParamWrite();
    void connectCalibPage();
    void pushOnLink(std::int16_t serialCode, std::int16_t ethernetCode);
    // Asks the question; on OK queues the self-calibration of that kind.
    void selfCalibrate(const char* question, std::uint8_t kind);

    // The AQ blocks of the device's data as they stood when the AQ window took the link.
    struct AqPicture {
        std::array<std::uint8_t, 8> types{};
        int typesConnection = 0;
        io::AqZeroFull points{};
        int pointsConnection = 0;
        bool operator==(const AqPicture&) const = default;
    } aqAtHold_;
    QStringList editorTexts_;                    // the column as it was when the editor opened
    QList<QPair<QWidget*, bool>> guardedStates_; // enabled states before maintenance mode
    bool progressStepping_ = false; // ProgressTimer moves the bar (RAM test)
    std::unique_ptr<SerialTransport> ownSerial_;
    SerialTransport* serial_;
    std::unique_ptr<Neighbours> ownNeighbours_;
    Neighbours* nb_;
    ImageService* images_;
    DeviceData dev_;
    Controls controls_;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<SettingsWindows> settings_;
    std::unique_ptr<AqCalWindow> aqcal_;
    std::unique_ptr<SlaveWindow> slaves_;
    std::unique_ptr<UdpTransport> ownDiscovery_, ownDeviceSocket_;
    UdpTransport* wsckDeviceQuery_;
    UdpTransport* wsckR_W_;
    std::unique_ptr<OrderServer> ownOrderServer_;
    std::unique_ptr<ImageFile> imageFile_;
    std::unique_ptr<ImageService> imageService_;
    std::unique_ptr<FirmwareUpgrade> upgrade_;
};
