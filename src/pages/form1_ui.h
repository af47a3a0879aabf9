#pragma once
// The widget tree of the main window: every named control of the pages, with
// its design-time state. The window class owns the handlers; this struct only
// gives typed access to the controls. Each pointer's object name is the member
// name; element i of an array is named "<member>_<i>" (ChnlDis_11, optComm_1).
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimeEdit;
class QWidget;

struct Form1Ui {
    QTabWidget* tabs = nullptr;

    // Link bar and status area (always visible).
    std::array<QRadioButton*, 2> optComm{};   // 0 serial, 1 Ethernet
    QComboBox* ComPort = nullptr;
    QPushButton* StartRun = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdPause = nullptr;
    QComboBox* cmbDevice = nullptr;
    QPushButton* cmdGetSys = nullptr;
    QCheckBox* chkMaintenance = nullptr;      // 维护模式: opens the guarded commands
    QLineEdit* Text2 = nullptr;               // status line, read-only
    QLineEdit* Text3 = nullptr;               // lost replies
    QLineEdit* Text4 = nullptr;               // received frames / datagrams
    QLabel* NowDis = nullptr;                 // the clock, ticking every second
    QProgressBar* ProgressBar = nullptr;
    QLabel* lb_ProgProc = nullptr;

    // System parameters.
    QLineEdit* txtSeries = nullptr;
    QLineEdit* txtModuleAddr = nullptr;
    std::array<QLineEdit*, 4> txtIp{};
    QLineEdit* txtDIPrevent = nullptr;
    QLineEdit* txtTempComp = nullptr;
    QComboBox* ComboCold = nullptr;
    QDateEdit* datePicker = nullptr;
    QTimeEdit* timePicker = nullptr;
    QLineEdit* uPortTxt = nullptr;
    QLineEdit* cpuTxt = nullptr;
    QLineEdit* txtSubErr = nullptr;
    QLineEdit* txtSubcommIntv = nullptr;
    QLineEdit* txtSubWaitTime = nullptr;
    QLineEdit* ScanCtrl = nullptr;
    QLineEdit* ScanInterval = nullptr;
    std::array<QLineEdit*, 2> txt_RSDataTime{};
    QLineEdit* Text_ErrorTimeComm2 = nullptr;
    QLineEdit* Text_InterTimeComm2 = nullptr;
    QLineEdit* Text_WaitTimeComm2 = nullptr;

    // The device's own two serial ports (element = port).
    std::array<QComboBox*, 2> Combo6{};       // parity
    std::array<QComboBox*, 2> Combo7{};       // data bits
    std::array<QComboBox*, 2> Combo8{};       // stop bits
    std::array<QComboBox*, 2> Combo9{};       // baud rate
    std::array<QComboBox*, 2> Combo10{};      // protocol
    std::array<QComboBox*, 2> ComboMS{};      // slave / master

    // A/D converter.
    QComboBox* ComboADFilter = nullptr;
    QComboBox* ComboADRate = nullptr;
    QComboBox* ComboADRate1 = nullptr;

    // Identity.
    QLineEdit* txtDeviceType = nullptr;
    QLineEdit* lblNUM = nullptr;              // device number, read-only, has a change handler
    QLabel* lblVersion = nullptr;
    QLineEdit* txtInnerVersion = nullptr;
    QLabel* lb_BookNo = nullptr;
    QLineEdit* txtDevID = nullptr;
    QLineEdit* txtPD_Tag = nullptr;
    QLineEdit* txthardwarenum = nullptr;
    QLineEdit* txtPallTime = nullptr;
    QLineEdit* txtISOAddr = nullptr;
    std::array<QLabel*, 16> shpFlash{};       // device status flag lamps

    QPushButton* cmdSetPara = nullptr;
    QPushButton* Command3 = nullptr;          // write sensor types
    std::array<QCheckBox*, 8> Check_SysParam{};
    QPushButton* Cmd_ResumeParam = nullptr;
    QPushButton* Cmd_SetDefault = nullptr;
    QPushButton* Command_Store = nullptr;
    QPushButton* Command_Resume = nullptr;

    // MAC and gateway.
    std::array<QLineEdit*, 6> txt_MAC{};
    std::array<QRadioButton*, 2> ophandornot{}; // 0 manual MAC, 1 automatic MAC
    QPushButton* bt_MAC = nullptr;
    std::array<QLineEdit*, 4> txtGate{};
    std::array<QLineEdit*, 4> txtSubNet{};
    QPushButton* bt_NetGate = nullptr;

    // Analog inputs.
    std::array<QLabel*, 11> chanl{};
    std::array<QComboBox*, 11> ChnlSensor{};
    std::array<QPushButton*, 11> cmdChnlEnable{};
    std::array<QLineEdit*, 11> prjTxt{};
    std::array<QLineEdit*, 33> ChnlDis{};     // 0..10 live, 11..21 zero, 22..32 full scale
    QRadioButton* opSingle = nullptr;
    QRadioButton* opUnion = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QLineEdit* Text_Average = nullptr;
    QPushButton* cmdSetZero = nullptr;
    QPushButton* cmdSetFull = nullptr;
    QPushButton* cmdZFSave = nullptr;
    QPushButton* cmdZFCancel = nullptr;
    QPushButton* cmdLeft = nullptr;
    QPushButton* cmdRight = nullptr;
    QPushButton* cmdEnter = nullptr;
    QPushButton* cmdWriteprj = nullptr;
    std::array<QLineEdit*, 8> txt_LeiCkeck{};
    QPushButton* Cmd_LeiCheck = nullptr;
    QPushButton* Cmd_Wtite_Temprature = nullptr;
    QPushButton* CmdGainE = nullptr;
    QPushButton* CmdGainD = nullptr;
    std::array<QLineEdit*, 8> txt_AIUp{};
    std::array<QLineEdit*, 8> txt_AIDown{};
    std::array<QLabel*, 8> sapAI{};
    QPushButton* cmdFreshAI = nullptr;
    QPushButton* cmd_ReadAIWarning = nullptr;
    QPushButton* cmd_WriteAIWarning = nullptr;

    // Digital I/O, outputs, LEDs.
    std::array<QLabel*, 4> shpDI{};
    std::array<QPushButton*, 2> cmdDO{};
    std::array<QLineEdit*, 8> txtAQ{};        // output read-back
    std::array<QLineEdit*, 8> txtAQ_Set{};
    QPushButton* cmdSetAO = nullptr;
    QPushButton* Cmd_AQ_Unit = nullptr;
    QLineEdit* txt_HardAddr = nullptr;
    QLineEdit* txtCellPressure = nullptr;
    std::array<QPushButton*, 18> LightState{};

    // AQ channels.
    std::array<QComboBox*, 8> ComboType2{};
    QRadioButton* OpAqSingle = nullptr;
    QRadioButton* OpAqUnion = nullptr;
    std::array<QLabel*, 16> lbl_unit0{};      // i: unit of txtAQ(i), 8+i: unit of txtAQ_Set(i)
    std::array<QLabel*, 8> lbl_unit1{};
    std::array<QPushButton*, 8> cmdDQ3{};
    QPushButton* bt_FreshDQ = nullptr;
    QPushButton* bt_ReadAQType = nullptr;
    QPushButton* bt_WriteAQType = nullptr;
    QPushButton* bt_ReadAQZeroFull = nullptr;
    std::array<QPushButton*, 4> bt_WriteOrOut{};
    std::array<QLineEdit*, 16> txt_AQV{};     // 0..7 zero, 8..15 full scale (V)
    std::array<QLineEdit*, 16> txt_AQM{};     // 0..7 zero, 8..15 full scale (mA)
    std::array<QLineEdit*, 8> txt_AQjust{};
    QPushButton* bt_AQAdjust = nullptr;
    QPushButton* bt_AQAuto = nullptr;

    // Clock.
    QDateEdit* clkDate = nullptr;
    QTimeEdit* clkTime = nullptr;
    QComboBox* Combo_WeekDay = nullptr;
    QPushButton* cmdReclock = nullptr;
    QPushButton* cmdWrclock = nullptr;
    QPushButton* cmdNowclock = nullptr;

    // Device control.
    QPushButton* bt_CheckRAM = nullptr;
    std::array<QLabel*, 8> ram_sap{};
    QPushButton* bt_RunStop = nullptr;
    QPushButton* cmdClearCode = nullptr;
    QPushButton* cmdCheckLight = nullptr;
    QPushButton* cmdStopCheck = nullptr;
    QCheckBox* ckProfibus = nullptr;
    QPushButton* btReadProfibus = nullptr;

    // Openers of other windows, files and firmware.
    QPushButton* btSlaveShow = nullptr;
    QPushButton* btShowZigBee = nullptr;
    // Openers of the other settings windows and of the AQ calibration window.
    QPushButton* btShowCtrl = nullptr;
    QPushButton* btShowSM = nullptr;
    QPushButton* btShowResend = nullptr;
    QPushButton* btShowResendSlave = nullptr;
    QPushButton* btShowRongyu = nullptr;
    QPushButton* btShowAQ = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdRead = nullptr;
    QPushButton* ReadTxt = nullptr;
    QPushButton* ReadTxtAndDown = nullptr;
    QPushButton* bt_FindUpdataFile = nullptr;
    QPushButton* bt_Updata = nullptr;
    QPushButton* cmd_DownOrderInfo = nullptr;
    QPushButton* cmd_DownOAPara = nullptr;
    QPushButton* Cmd_TransPara = nullptr;

    // The exclusive choices. Each pair or triple sits in its own group so the
    // choices do not interfere; to clear every button of a choice from code,
    // switch the group's exclusivity off for the moment.
    QButtonGroup* optCommGroup = nullptr;      // optComm_0, optComm_1
    QButtonGroup* sensorModeGroup = nullptr;   // opSingle, opUnion
    QButtonGroup* displayModeGroup = nullptr;  // Option1..Option3
    QButtonGroup* aqModeGroup = nullptr;       // OpAqSingle, OpAqUnion
    QButtonGroup* macModeGroup = nullptr;      // ophandornot_0, ophandornot_1
};

// Creates every control inside `form` (link bar, page tabs, status area) and
// fills `ui`. Lists are left empty and option buttons unchecked: the window
// fills and selects them at load.
void setupForm1Ui(QWidget* form, Form1Ui& ui);
