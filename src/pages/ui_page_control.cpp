// 设备控制: extended-RAM test, user program run/stop and clear, lamp-board
// check, Profibus switch, and the openers of the slave table and ZigBee windows.
#include "pages/form1_ui.h"
#include "pages/ui_util.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace form1ui {

namespace {

QGroupBox* ramGroup(Form1Ui& ui)
{
    ui.bt_CheckRAM = button(QStringLiteral("bt_CheckRAM"), QStringLiteral("测试扩展RAM"));
    makeArray(ui.ram_sap, "ram_sap", [](const QString& n, int) { return lamp(n); });
    auto* box = group(QStringLiteral("扩展RAM测试"));
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(10);
    g->setVerticalSpacing(2);
    for (int i = 0; i < 8; ++i) {
        g->addWidget(columnHeader(QString::number(i)), 0, i + 1, Qt::AlignHCenter);
        g->addWidget(ui.ram_sap[i], 1, i + 1, Qt::AlignHCenter);
    }
    g->addWidget(ui.bt_CheckRAM, 0, 0, 2, 1, Qt::AlignVCenter);
    g->setColumnMinimumWidth(0, 0);
    g->setColumnStretch(9, 1);
    return box;
}

QGroupBox* programGroup(Form1Ui& ui)
{
    ui.bt_RunStop = colourButton(QStringLiteral("bt_RunStop"), QStringLiteral("运行/停止"));
    ui.cmdClearCode = button(QStringLiteral("cmdClearCode"), QStringLiteral("停止并清除程序"));
    auto* box = group(QStringLiteral("用户程序"));
    auto* h = new QHBoxLayout(box);
    h->addWidget(ui.bt_RunStop);
    h->addWidget(ui.cmdClearCode);
    h->addStretch(1);
    return box;
}

QGroupBox* lampBoardGroup(Form1Ui& ui)
{
    ui.cmdCheckLight = button(QStringLiteral("cmdCheckLight"), QStringLiteral("启动灯板检测"));
    ui.cmdStopCheck = button(QStringLiteral("cmdStopCheck"), QStringLiteral("停止灯板检测"));
    auto* box = group(QStringLiteral("灯板自动检测"));
    auto* h = new QHBoxLayout(box);
    h->addWidget(ui.cmdCheckLight);
    h->addWidget(ui.cmdStopCheck);
    h->addStretch(1);
    return box;
}

QGroupBox* profibusGroup(Form1Ui& ui)
{
    // The program sets the caption after the state: "开启" or "关闭".
    ui.ckProfibus = check(QStringLiteral("ckProfibus"), QStringLiteral("关闭"));
    ui.btReadProfibus = button(QStringLiteral("btReadProfibus"), QStringLiteral("读Profibus状态"));
    auto* box = group(QStringLiteral("Profibus"));
    auto* h = new QHBoxLayout(box);
    h->addWidget(ui.ckProfibus);
    h->addSpacing(12);
    h->addWidget(ui.btReadProfibus);
    h->addStretch(1);
    return box;
}

QGroupBox* windowsGroup(Form1Ui& ui)
{
    ui.btSlaveShow = button(QStringLiteral("btSlaveShow"), QStringLiteral("从设备信息"));
    ui.btShowZigBee = button(QStringLiteral("btShowZigBee"), QStringLiteral("ZigBee设置"));
    ui.btShowCtrl = button(QStringLiteral("btShowCtrl"), QStringLiteral("控制参数"));
    ui.btShowSM = button(QStringLiteral("btShowSM"), QStringLiteral("SM区"));
    ui.btShowResend = button(QStringLiteral("btShowResend"), QStringLiteral("转发参数"));
    ui.btShowResendSlave = button(QStringLiteral("btShowResendSlave"), QStringLiteral("从设备转发"));
    ui.btShowRongyu = button(QStringLiteral("btShowRongyu"), QStringLiteral("冗余信息"));
    ui.btShowAQ = button(QStringLiteral("btShowAQ"), QStringLiteral("AQ校准"));
    auto* box = group(QStringLiteral("现场设置"));
    auto* g = new QGridLayout(box);
    QPushButton* openers[] = {ui.btSlaveShow, ui.btShowZigBee, ui.btShowCtrl, ui.btShowSM,
                              ui.btShowResend, ui.btShowResendSlave, ui.btShowRongyu, ui.btShowAQ};
    for (int i = 0; i < int(std::size(openers)); ++i)
        g->addWidget(openers[i], i / 4, i % 4);
    g->setColumnStretch(4, 1);
    return box;
}

} // namespace

QWidget* buildControlPage(Form1Ui& ui)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageControl"));

    auto* col1 = new QVBoxLayout;
    col1->addWidget(ramGroup(ui));
    col1->addWidget(programGroup(ui));
    col1->addWidget(lampBoardGroup(ui));
    col1->addStretch(1);

    auto* col2 = new QVBoxLayout;
    col2->addWidget(profibusGroup(ui));
    col2->addWidget(windowsGroup(ui));
    col2->addStretch(1);

    auto* h = new QHBoxLayout(page);
    h->setContentsMargins(8, 8, 8, 8);
    h->setSpacing(10);
    h->addLayout(col1);
    h->addLayout(col2);
    h->addStretch(1);
    return page;
}

} // namespace form1ui
