// 模拟量输入: the 11 AI channels in one table (sensor, enable, live value, zero,
// full scale, engineering and internal calibration, alarm limits and lamp),
// the display mode, the zero/full editor, calibration and alarm commands.
#include "pages/form1_ui.h"
#include "pages/ui_util.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace form1ui {

namespace {

constexpr int AI_CHANNELS = 11;
constexpr int AI_ALARM_CHANNELS = 8;

QGroupBox* channelTable(Form1Ui& ui)
{
    makeArray(ui.chanl, "chanl", [](const QString& n, int i) {
        return label(n, QStringLiteral("通道%1").arg(i));
    });
    makeArray(ui.ChnlSensor, "ChnlSensor", [](const QString& n, int) { return combo(n, 7); });
    makeArray(ui.cmdChnlEnable, "cmdChnlEnable", [](const QString& n, int) {
        auto* b = colourButton(n, QString());
        // Wide enough for the captions the program sets ("Enabled", "Disabled").
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("Disabled")) + 24);
        return b;
    });
    makeArray(ui.ChnlDis, "ChnlDis", [](const QString& n, int) {
        auto* e = edit(n, 10);
        e->setAlignment(Qt::AlignRight);
        return e;
    });
    makeArray(ui.prjTxt, "prjTxt", [](const QString& n, int) {
        auto* e = edit(n, 7);
        e->setAlignment(Qt::AlignRight);
        return e;
    });
    makeArray(ui.txt_LeiCkeck, "txt_LeiCkeck", [](const QString& n, int) {
        auto* e = edit(n, 7);
        e->setAlignment(Qt::AlignRight);
        return e;
    });
    makeArray(ui.txt_AIUp, "txt_AIUp", [](const QString& n, int) {
        auto* e = edit(n, 7);
        e->setAlignment(Qt::AlignRight);
        return e;
    });
    makeArray(ui.txt_AIDown, "txt_AIDown", [](const QString& n, int) {
        auto* e = edit(n, 7);
        e->setAlignment(Qt::AlignRight);
        return e;
    });
    makeArray(ui.sapAI, "sapAI", [](const QString& n, int) { return lamp(n); });

    auto* box = group(QStringLiteral("模拟量输入通道"));
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(3);

    // Columns; the separators between the column groups take columns of their own.
    enum {
        C_CHANNEL, C_SENSOR, C_ENABLE, C_SEP1, C_LIVE, C_ZERO, C_FULL, C_SEP2, C_PRJ, C_INNER, C_SEP3,
        C_UP, C_DOWN, C_LAMP, C_END
    };
    const struct {
        int col;
        const char* text;
    } headers[] = {{C_CHANNEL, "通道"},     {C_SENSOR, "传感器类型"}, {C_ENABLE, "使能"},
                   {C_LIVE, "实时值"},      {C_ZERO, "零点"},         {C_FULL, "满度"},
                   {C_PRJ, "工程校准值"},   {C_INNER, "内部校准值"},  {C_UP, "报警上限"},
                   {C_DOWN, "报警下限"},    {C_LAMP, "报警"}};
    for (const auto& h : headers)
        g->addWidget(columnHeader(QString::fromUtf8(h.text)), 0, h.col);
    for (int sep : {C_SEP1, C_SEP2, C_SEP3})
        g->addWidget(vline(), 0, sep, AI_CHANNELS + 1, 1);

    for (int i = 0; i < AI_CHANNELS; ++i) {
        const int row = i + 1;
        g->addWidget(ui.chanl[i], row, C_CHANNEL);
        g->addWidget(ui.ChnlSensor[i], row, C_SENSOR);
        g->addWidget(ui.cmdChnlEnable[i], row, C_ENABLE);
        g->addWidget(ui.ChnlDis[i], row, C_LIVE);
        g->addWidget(ui.ChnlDis[AI_CHANNELS + i], row, C_ZERO);
        g->addWidget(ui.ChnlDis[2 * AI_CHANNELS + i], row, C_FULL);
        g->addWidget(ui.prjTxt[i], row, C_PRJ);
        if (i < AI_ALARM_CHANNELS) {
            g->addWidget(ui.txt_LeiCkeck[i], row, C_INNER);
            g->addWidget(ui.txt_AIUp[i], row, C_UP);
            g->addWidget(ui.txt_AIDown[i], row, C_DOWN);
            g->addWidget(ui.sapAI[i], row, C_LAMP, Qt::AlignCenter);
        }
    }
    return box;
}

QGroupBox* displayGroup(Form1Ui& ui, QWidget* page)
{
    ui.Option1 = radio(QStringLiteral("Option1"), QStringLiteral("温度(F4)"));
    ui.Option2 = radio(QStringLiteral("Option2"), QStringLiteral("A/D(F5)"));
    ui.Option3 = radio(QStringLiteral("Option3"), QStringLiteral("电压(F6)"));
    ui.displayModeGroup = exclusive(page, QStringLiteral("displayModeGroup"), {ui.Option1, ui.Option2, ui.Option3});
    auto* box = group(QStringLiteral("实时值显示"));
    auto* v = new QVBoxLayout(box);
    v->setSpacing(2);
    v->addWidget(ui.Option1);
    v->addWidget(ui.Option2);
    v->addWidget(ui.Option3);
    return box;
}

QGroupBox* sensorGroup(Form1Ui& ui, QWidget* page)
{
    ui.opSingle = radio(QStringLiteral("opSingle"), QStringLiteral("单独设置"));
    ui.opUnion = radio(QStringLiteral("opUnion"), QStringLiteral("统一设置"));
    ui.sensorModeGroup = exclusive(page, QStringLiteral("sensorModeGroup"), {ui.opSingle, ui.opUnion});
    ui.Command3 = button(QStringLiteral("Command3"), QStringLiteral("写传感器类型"));
    auto* box = group(QStringLiteral("传感器类型"));
    auto* v = new QVBoxLayout(box);
    v->setSpacing(2);
    v->addWidget(ui.opSingle);
    v->addWidget(ui.opUnion);
    v->addSpacing(4);
    v->addWidget(ui.Command3);
    return box;
}

QGroupBox* coldJunctionGroup(Form1Ui& ui)
{
    ui.Text_Average = edit(QStringLiteral("Text_Average"), 7);
    ui.Text_Average->setAlignment(Qt::AlignRight);
    ui.Cmd_Wtite_Temprature = button(QStringLiteral("Cmd_Wtite_Temprature"), QStringLiteral("计算写入"));
    auto* box = group(QStringLiteral("冷端校准"));
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(4);
    g->addWidget(caption(QStringLiteral("平均偏差")), 0, 0);
    g->addWidget(ui.Text_Average, 0, 1);
    g->addWidget(ui.Cmd_Wtite_Temprature, 1, 0, 1, 2);
    return box;
}

QGroupBox* zeroFullGroup(Form1Ui& ui)
{
    ui.cmdSetZero = button(QStringLiteral("cmdSetZero"), QStringLiteral("标定零点"));
    ui.cmdSetFull = button(QStringLiteral("cmdSetFull"), QStringLiteral("标定满度"));
    ui.cmdLeft = button(QStringLiteral("cmdLeft"), QStringLiteral("← 上一个"));
    ui.cmdRight = button(QStringLiteral("cmdRight"), QStringLiteral("下一个 →"));
    ui.cmdEnter = button(QStringLiteral("cmdEnter"), QStringLiteral("确认"));
    ui.cmdZFSave = button(QStringLiteral("cmdZFSave"), QStringLiteral("保存"));
    ui.cmdZFCancel = button(QStringLiteral("cmdZFCancel"), QStringLiteral("取消"));
    auto* box = group(QStringLiteral("零点/满度标定"));
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(4);
    g->addWidget(ui.cmdSetZero, 0, 0);
    g->addWidget(ui.cmdSetFull, 0, 1);
    g->addWidget(ui.cmdZFSave, 0, 2);
    g->addWidget(ui.cmdZFCancel, 0, 3);
    g->addWidget(ui.cmdLeft, 1, 0);
    g->addWidget(ui.cmdRight, 1, 1);
    g->addWidget(ui.cmdEnter, 1, 2);
    return box;
}

QGroupBox* calibrationGroup(Form1Ui& ui)
{
    ui.cmdWriteprj = button(QStringLiteral("cmdWriteprj"), QStringLiteral("校  准"));
    ui.Cmd_LeiCheck = button(QStringLiteral("Cmd_LeiCheck"), QStringLiteral("内部校准"));
    ui.CmdGainE = button(QStringLiteral("CmdGainE"), QStringLiteral("自增益校准"));
    ui.CmdGainD = button(QStringLiteral("CmdGainD"), QStringLiteral("自偏移校准"));
    auto* box = group(QStringLiteral("校准"));
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(4);
    g->addWidget(caption(QStringLiteral("工程校准值")), 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(ui.cmdWriteprj, 0, 1);
    g->addWidget(caption(QStringLiteral("内部校准值")), 1, 0, Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(ui.Cmd_LeiCheck, 1, 1);
    g->addWidget(ui.CmdGainE, 0, 2);
    g->addWidget(ui.CmdGainD, 1, 2);
    return box;
}

QGroupBox* alarmGroup(Form1Ui& ui)
{
    ui.cmdFreshAI = button(QStringLiteral("cmdFreshAI"), QStringLiteral("刷新报警灯"));
    ui.cmd_ReadAIWarning = button(QStringLiteral("cmd_ReadAIWarning"), QStringLiteral("读报警值"));
    ui.cmd_WriteAIWarning = button(QStringLiteral("cmd_WriteAIWarning"), QStringLiteral("写报警值"));
    auto* box = group(QStringLiteral("AI报警"));
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(4);
    g->addWidget(ui.cmd_ReadAIWarning, 0, 0);
    g->addWidget(ui.cmd_WriteAIWarning, 0, 1);
    g->addWidget(ui.cmdFreshAI, 1, 0, 1, 2);
    return box;
}

} // namespace

QWidget* buildAiPage(Form1Ui& ui)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageAi"));

    auto* side = new QVBoxLayout;
    side->addWidget(displayGroup(ui, page));
    side->addWidget(sensorGroup(ui, page));
    side->addWidget(coldJunctionGroup(ui));
    side->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(channelTable(ui));
    top->addLayout(side);
    top->addStretch(1);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(10);
    bottom->addWidget(zeroFullGroup(ui));
    bottom->addWidget(calibrationGroup(ui));
    bottom->addWidget(alarmGroup(ui));
    bottom->addStretch(1);

    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->addLayout(top);
    v->addLayout(bottom);
    v->addStretch(1);
    return page;
}

} // namespace form1ui
