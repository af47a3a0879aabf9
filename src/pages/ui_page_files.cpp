// 文件与升级: the device image file (save, load, load and download) and the
// firmware upgrade. The production-server buttons are present but hidden.
#include "pages/form1_ui.h"
#include "pages/ui_util.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace form1ui {

namespace {

QGroupBox* imageFileGroup(Form1Ui& ui)
{
    ui.cmdSave = button(QStringLiteral("cmdSave"), QStringLiteral("保存设备文件"));
    ui.cmdRead = button(QStringLiteral("cmdRead"), QStringLiteral("读取设备文件"));
    ui.ReadTxt = button(QStringLiteral("ReadTxt"), QStringLiteral("读取文本"));
    ui.ReadTxtAndDown = button(QStringLiteral("ReadTxtAndDown"), QStringLiteral("读取并下载"));
    ui.cmd_DownOrderInfo = button(QStringLiteral("cmd_DownOrderInfo"), QStringLiteral("下订单参数"));
    ui.cmd_DownOAPara = button(QStringLiteral("cmd_DownOAPara"), QStringLiteral("下载终调参数"));
    ui.Cmd_TransPara = button(QStringLiteral("Cmd_TransPara"), QStringLiteral("上传参数"));
    // The production-server functions are not available in this build.
    ui.cmd_DownOrderInfo->hide();
    ui.cmd_DownOAPara->hide();
    ui.Cmd_TransPara->hide();

    auto* box = group(QStringLiteral("设备文件"));
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(6);
    g->addWidget(ui.cmdSave, 0, 0);
    g->addWidget(ui.cmdRead, 0, 1);
    g->addWidget(ui.ReadTxt, 1, 0);
    g->addWidget(ui.ReadTxtAndDown, 1, 1);
    g->addWidget(ui.cmd_DownOrderInfo, 2, 0);
    g->addWidget(ui.cmd_DownOAPara, 2, 1);
    g->addWidget(ui.Cmd_TransPara, 3, 0);
    return box;
}

QGroupBox* upgradeGroup(Form1Ui& ui)
{
    ui.bt_FindUpdataFile = button(QStringLiteral("bt_FindUpdataFile"), QStringLiteral("选择升级文件"));
    ui.bt_Updata = button(QStringLiteral("bt_Updata"), QStringLiteral("开始升级"));
    auto* box = group(QStringLiteral("固件升级"));
    auto* h = new QHBoxLayout(box);
    h->addWidget(ui.bt_FindUpdataFile);
    h->addWidget(ui.bt_Updata);
    return box;
}

} // namespace

QWidget* buildFilesPage(Form1Ui& ui)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageFiles"));
    auto* h = new QHBoxLayout;
    h->setSpacing(10);
    h->addWidget(imageFileGroup(ui), 0, Qt::AlignTop);
    h->addWidget(upgradeGroup(ui), 0, Qt::AlignTop);
    h->addStretch(1);
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->addLayout(h);
    v->addStretch(1);
    return page;
}

} // namespace form1ui
