// 系统参数: identity, system parameters, A/D, slave polling, the device's own
// serial ports, MAC and gateway, status flags, store and restore.
#include "pages/form1_ui.h"
#include "pages/ui_util.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace form1ui {

namespace {

QFormLayout* fieldForm(QGroupBox* box)
{
    auto* f = new QFormLayout(box);
    f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    f->setVerticalSpacing(4);
    f->setHorizontalSpacing(8);
    return f;
}

// A label that shows a value the device reports, framed like a read-only box.
QLabel* valueLabel(const QString& name, int chars)
{
    auto* l = label(name);
    l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    l->setMinimumWidth(charWidth(l, chars));
    l->setMargin(2);
    return l;
}

QGroupBox* identityGroup(Form1Ui& ui)
{
    ui.txtDeviceType = edit(QStringLiteral("txtDeviceType"));
    ui.lblNUM = readOnlyEdit(QStringLiteral("lblNUM"));
    ui.txthardwarenum = edit(QStringLiteral("txthardwarenum"));
    ui.txthardwarenum->setMaxLength(15);
    ui.txtDevID = edit(QStringLiteral("txtDevID"));
    ui.txtDevID->setMinimumWidth(charWidth(ui.txtDevID, 32));
    ui.txtDevID->setReadOnly(true); // composed by the page from the hardware and device numbers
    ui.txtPD_Tag = edit(QStringLiteral("txtPD_Tag"));
    ui.lblVersion = valueLabel(QStringLiteral("lblVersion"), 6);
    ui.txtInnerVersion = edit(QStringLiteral("txtInnerVersion"), 6);
    ui.lb_BookNo = valueLabel(QStringLiteral("lb_BookNo"), 12);
    ui.datePicker = dateEdit(QStringLiteral("datePicker"));
    ui.timePicker = timeEdit(QStringLiteral("timePicker"));
    ui.txtPallTime = edit(QStringLiteral("txtPallTime"), 10);
    ui.txtISOAddr = edit(QStringLiteral("txtISOAddr"), 10);

    auto* box = group(QStringLiteral("设备信息"));
    auto* f = fieldForm(box);
    f->addRow(QStringLiteral("设备型号"), ui.txtDeviceType);
    f->addRow(QStringLiteral("设备编号"), ui.lblNUM);
    f->addRow(QStringLiteral("硬件版号"), ui.txthardwarenum);
    f->addRow(QStringLiteral("DeviceID"), ui.txtDevID);
    f->addRow(QStringLiteral("PD Tag"), ui.txtPD_Tag);

    auto* versions = new QHBoxLayout;
    versions->setSpacing(6);
    versions->addWidget(ui.lblVersion);
    versions->addSpacing(8);
    versions->addWidget(caption(QStringLiteral("内部版本")));
    versions->addWidget(ui.txtInnerVersion);
    versions->addStretch(1);
    f->addRow(QStringLiteral("固件版本"), versions);
    f->addRow(QStringLiteral("Boot版本"), ui.lb_BookNo);

    auto* made = new QHBoxLayout;
    made->setSpacing(6);
    made->addWidget(ui.datePicker);
    made->addWidget(ui.timePicker);
    made->addStretch(1);
    f->addRow(QStringLiteral("生产日期"), made);
    f->addRow(QStringLiteral("轮询时间"), ui.txtPallTime);
    f->addRow(QStringLiteral("ISO地址"), ui.txtISOAddr);
    return box;
}

QGroupBox* statusFlagGroup(Form1Ui& ui)
{
    makeArray(ui.shpFlash, "shpFlash", [](const QString& n, int) { return lamp(n); });
    auto* box = group(QStringLiteral("状态标志"));
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(10);
    g->setVerticalSpacing(2);
    for (int i = 0; i < 16; ++i) {
        const int row = (i / 8) * 2, col = i % 8;
        g->addWidget(columnHeader(QString::number(i)), row, col, Qt::AlignHCenter);
        g->addWidget(ui.shpFlash[i], row + 1, col, Qt::AlignHCenter);
    }
    g->setColumnStretch(8, 1);
    return box;
}

QGroupBox* restoreGroup(Form1Ui& ui)
{
    static const char* const groups[8] = {"恢复控制参数", "SM掉电保持区", "从设备参数", "恢复描述参数",
                                          "恢复设备参数", "恢复转发参数", "ZigBee参数",   "恢复冗余参数"};
    makeArray(ui.Check_SysParam, "Check_SysParam",
              [](const QString& n, int i) { return check(n, QString::fromUtf8(groups[i])); });
    ui.Cmd_ResumeParam = button(QStringLiteral("Cmd_ResumeParam"), QStringLiteral("恢复选中参数"));

    auto* box = group(QStringLiteral("恢复选中参数组"));
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(2);
    for (int i = 0; i < 8; ++i)
        g->addWidget(ui.Check_SysParam[i], i / 2, i % 2);
    g->addWidget(ui.Cmd_ResumeParam, 4, 1, Qt::AlignRight);
    return box;
}

QGroupBox* parameterGroup(Form1Ui& ui)
{
    ui.txtSeries = edit(QStringLiteral("txtSeries"), 10);
    ui.txtModuleAddr = edit(QStringLiteral("txtModuleAddr"), 5);
    makeArray(ui.txtIp, "txtIp", [](const QString& n, int) { return edit(n, 3); });
    ui.uPortTxt = edit(QStringLiteral("uPortTxt"), 6);
    ui.cpuTxt = edit(QStringLiteral("cpuTxt"), 6);
    ui.txtDIPrevent = edit(QStringLiteral("txtDIPrevent"), 6);
    ui.ComboCold = combo(QStringLiteral("ComboCold"), 5);
    ui.txtTempComp = edit(QStringLiteral("txtTempComp"), 6);

    auto* box = group(QStringLiteral("系统参数"));
    auto* f = fieldForm(box);
    f->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    f->addRow(QStringLiteral("序列号"), ui.txtSeries);
    f->addRow(QStringLiteral("模块地址"), ui.txtModuleAddr);
    f->addRow(QStringLiteral("IP地址"), joined(ui.txtIp, QStringLiteral(".")));
    f->addRow(QStringLiteral("UDP端口"), ui.uPortTxt);
    f->addRow(QStringLiteral("CPU类型"), ui.cpuTxt);
    f->addRow(QStringLiteral("DI防抖时间"), ui.txtDIPrevent);
    f->addRow(QStringLiteral("冷端补偿"), ui.ComboCold);
    f->addRow(QStringLiteral("冷端校准值"), ui.txtTempComp);
    return box;
}

QGroupBox* adGroup(Form1Ui& ui)
{
    ui.ComboADFilter = combo(QStringLiteral("ComboADFilter"), 7);
    ui.ComboADRate = combo(QStringLiteral("ComboADRate"), 17);
    ui.ComboADRate1 = combo(QStringLiteral("ComboADRate1"), 17);

    auto* box = group(QStringLiteral("A/D转换"));
    auto* f = fieldForm(box);
    f->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    f->addRow(QStringLiteral("滤波"), ui.ComboADFilter);
    // Only one of the two rate lists is shown at a time, chosen by the filter.
    auto* rates = new QVBoxLayout;
    rates->setSpacing(4);
    rates->addWidget(ui.ComboADRate);
    rates->addWidget(ui.ComboADRate1);
    f->addRow(QStringLiteral("转换速率"), rates);
    return box;
}

QGroupBox* slavePollGroup(Form1Ui& ui)
{
    ui.txtSubErr = edit(QStringLiteral("txtSubErr"), 6);
    ui.txtSubcommIntv = edit(QStringLiteral("txtSubcommIntv"), 6);
    ui.txtSubWaitTime = edit(QStringLiteral("txtSubWaitTime"), 6);
    ui.ScanCtrl = edit(QStringLiteral("ScanCtrl"), 6);
    ui.ScanInterval = edit(QStringLiteral("ScanInterval"), 6);

    auto* box = group(QStringLiteral("从设备轮询"));
    auto* f = fieldForm(box);
    f->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    f->addRow(QStringLiteral("最大错误次数"), ui.txtSubErr);
    f->addRow(QStringLiteral("通讯间隔"), ui.txtSubcommIntv);
    f->addRow(QStringLiteral("最大等待时间"), ui.txtSubWaitTime);
    f->addRow(QStringLiteral("自恢复扫描控制"), ui.ScanCtrl);
    f->addRow(QStringLiteral("自恢复扫描间隔"), ui.ScanInterval);
    return box;
}

QGroupBox* serialPortGroup(Form1Ui& ui)
{
    makeArray(ui.ComboMS, "ComboMS", [](const QString& n, int) { return combo(n, 4); });
    makeArray(ui.Combo9, "Combo9", [](const QString& n, int) { return combo(n, 10); });
    makeArray(ui.Combo6, "Combo6", [](const QString& n, int) { return combo(n, 10); });
    makeArray(ui.Combo7, "Combo7", [](const QString& n, int) { return combo(n, 4); });
    makeArray(ui.Combo8, "Combo8", [](const QString& n, int) { return combo(n, 4); });
    makeArray(ui.Combo10, "Combo10", [](const QString& n, int) { return combo(n, 10); });
    makeArray(ui.txt_RSDataTime, "txt_RSDataTime", [](const QString& n, int) { return edit(n, 6); });
    ui.Text_ErrorTimeComm2 = edit(QStringLiteral("Text_ErrorTimeComm2"), 6);
    ui.Text_InterTimeComm2 = edit(QStringLiteral("Text_InterTimeComm2"), 6);
    ui.Text_WaitTimeComm2 = edit(QStringLiteral("Text_WaitTimeComm2"), 6);

    auto* box = group(QStringLiteral("设备串口"));
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(4);
    g->setHorizontalSpacing(8);
    g->addWidget(columnHeader(QStringLiteral("串口1")), 0, 1);
    g->addWidget(columnHeader(QStringLiteral("串口2")), 0, 2);
    int row = 1;
    auto addPair = [&](const char* text, QWidget* p1, QWidget* p2) {
        g->addWidget(caption(QString::fromUtf8(text)), row, 0, Qt::AlignRight | Qt::AlignVCenter);
        g->addWidget(p1, row, 1);
        g->addWidget(p2, row, 2);
        ++row;
    };
    addPair("主从", ui.ComboMS[0], ui.ComboMS[1]);
    addPair("波特率", ui.Combo9[0], ui.Combo9[1]);
    addPair("校验", ui.Combo6[0], ui.Combo6[1]);
    addPair("数据位", ui.Combo7[0], ui.Combo7[1]);
    addPair("停止位", ui.Combo8[0], ui.Combo8[1]);
    addPair("协议", ui.Combo10[0], ui.Combo10[1]);
    addPair("帧间隔(ms)", ui.txt_RSDataTime[0], ui.txt_RSDataTime[1]);
    // The communication timing of port 2 only: its boxes sit in the port-2 column.
    auto addPort2 = [&](const char* text, QWidget* w) {
        g->addWidget(caption(QString::fromUtf8(text)), row, 0, Qt::AlignRight | Qt::AlignVCenter);
        g->addWidget(w, row, 2);
        ++row;
    };
    addPort2("通讯错误时间", ui.Text_ErrorTimeComm2);
    addPort2("通讯间隔时间", ui.Text_InterTimeComm2);
    addPort2("通讯等待时间", ui.Text_WaitTimeComm2);
    g->setColumnStretch(3, 1);
    return box;
}

QGroupBox* macGroup(Form1Ui& ui, QWidget* page)
{
    makeArray(ui.txt_MAC, "txt_MAC", [](const QString& n, int) { return edit(n, 2); });
    for (QLineEdit* e : ui.txt_MAC)
        e->setMaxLength(2);
    makeArray(ui.ophandornot, "ophandornot", [](const QString& n, int i) {
        return radio(n, i == 0 ? QStringLiteral("手动") : QStringLiteral("自动"));
    });
    ui.macModeGroup = exclusive(page, QStringLiteral("macModeGroup"), {ui.ophandornot[0], ui.ophandornot[1]});
    ui.bt_MAC = button(QStringLiteral("bt_MAC"), QStringLiteral("写MAC"));
    makeArray(ui.txtGate, "txtGate", [](const QString& n, int) { return edit(n, 3); });
    makeArray(ui.txtSubNet, "txtSubNet", [](const QString& n, int) { return edit(n, 3); });
    ui.bt_NetGate = button(QStringLiteral("bt_NetGate"), QStringLiteral("写网关"));

    auto* box = group(QStringLiteral("MAC地址与网关"));
    auto* f = fieldForm(box);
    f->addRow(QStringLiteral("MAC地址"), joined(ui.txt_MAC, QStringLiteral("-")));
    auto* macMode = new QHBoxLayout;
    macMode->addWidget(ui.ophandornot[0]);
    macMode->addWidget(ui.ophandornot[1]);
    macMode->addStretch(1);
    macMode->addWidget(ui.bt_MAC);
    f->addRow(QStringLiteral("设置方式"), macMode);
    f->addRow(QStringLiteral("网关"), joined(ui.txtGate, QStringLiteral(".")));
    auto* mask = joined(ui.txtSubNet, QStringLiteral("."));
    mask->addWidget(ui.bt_NetGate);
    f->addRow(QStringLiteral("子网掩码"), mask);
    return box;
}

} // namespace

QWidget* buildSystemPage(Form1Ui& ui)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageSystem"));

    ui.cmdSetPara = button(QStringLiteral("cmdSetPara"), QStringLiteral("设置参数"));
    ui.Command_Store = button(QStringLiteral("Command_Store"), QStringLiteral("保存参数"));
    ui.Command_Resume = button(QStringLiteral("Command_Resume"), QStringLiteral("恢复参数"));
    ui.Cmd_SetDefault = button(QStringLiteral("Cmd_SetDefault"), QStringLiteral("恢复默认参数"));
    auto* actions = group(QStringLiteral("参数操作"));
    auto* a = new QGridLayout(actions);
    a->addWidget(ui.cmdSetPara, 0, 0);
    a->addWidget(ui.Command_Store, 0, 1);
    a->addWidget(ui.Command_Resume, 1, 0);
    a->addWidget(ui.Cmd_SetDefault, 1, 1);

    auto* col1 = new QVBoxLayout;
    col1->addWidget(identityGroup(ui));
    col1->addWidget(statusFlagGroup(ui));
    col1->addWidget(restoreGroup(ui));
    col1->addStretch(1);

    auto* col2 = new QVBoxLayout;
    col2->addWidget(parameterGroup(ui));
    col2->addWidget(adGroup(ui));
    col2->addWidget(slavePollGroup(ui));
    col2->addStretch(1);

    auto* col3 = new QVBoxLayout;
    col3->addWidget(serialPortGroup(ui));
    col3->addWidget(macGroup(ui, page));
    col3->addWidget(actions);
    col3->addStretch(1);

    auto* h = new QHBoxLayout(page);
    h->setContentsMargins(8, 8, 8, 8);
    h->setSpacing(10);
    h->addLayout(col1, 4);
    h->addLayout(col2, 3);
    h->addLayout(col3, 4);
    return page;
}

} // namespace form1ui
