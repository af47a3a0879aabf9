// 数字量/输出/指示灯: DI lamps, DO buttons, the AQ output values (read-back and
// set), hardware address and battery, and the 18 front-panel LEDs.
#include "pages/form1_ui.h"
#include "pages/ui_util.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace form1ui {

namespace {

constexpr int AQ_CHANNELS = 8;

QGroupBox* diGroup(Form1Ui& ui)
{
    makeArray(ui.shpDI, "shpDI", [](const QString& n, int) { return lamp(n); });
    auto* box = group(QStringLiteral("数字量输入"));
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(16);
    g->setVerticalSpacing(2);
    for (int i = 0; i < 4; ++i) {
        g->addWidget(columnHeader(QStringLiteral("DI%1").arg(i)), 0, i, Qt::AlignHCenter);
        g->addWidget(ui.shpDI[i], 1, i, Qt::AlignHCenter);
    }
    g->setColumnStretch(4, 1);
    return box;
}

QGroupBox* doGroup(Form1Ui& ui)
{
    makeArray(ui.cmdDO, "cmdDO", [](const QString& n, int i) { return colourButton(n, QStringLiteral("DO%1").arg(i)); });
    auto* box = group(QStringLiteral("数字量输出"));
    auto* h = new QHBoxLayout(box);
    h->addWidget(ui.cmdDO[0]);
    h->addWidget(ui.cmdDO[1]);
    h->addStretch(1);
    return box;
}

QGroupBox* deviceGroup(Form1Ui& ui)
{
    ui.txt_HardAddr = edit(QStringLiteral("txt_HardAddr"), 5);
    ui.txtCellPressure = edit(QStringLiteral("txtCellPressure"), 5);
    auto* box = group(QStringLiteral("硬件"));
    auto* f = new QFormLayout(box);
    f->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    f->addRow(QStringLiteral("硬件地址"), ui.txt_HardAddr);
    auto* battery = new QHBoxLayout;
    battery->addWidget(ui.txtCellPressure);
    battery->addWidget(caption(QStringLiteral("V")));
    battery->addStretch(1);
    f->addRow(QStringLiteral("电池电压"), battery);
    return box;
}

QGroupBox* outputGroup(Form1Ui& ui)
{
    makeArray(ui.txtAQ, "txtAQ", [](const QString& n, int) {
        auto* e = edit(n, 8);
        e->setAlignment(Qt::AlignRight);
        return e;
    });
    makeArray(ui.txtAQ_Set, "txtAQ_Set", [](const QString& n, int) {
        auto* e = edit(n, 8);
        e->setAlignment(Qt::AlignRight);
        return e;
    });
    // Units follow the channel's AQ type ("V", "mA", none for a switching channel).
    makeArray(ui.lbl_unit0, "lbl_unit0", [](const QString& n, int) {
        auto* l = label(n);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("mA")) + 4);
        return l;
    });
    ui.cmdSetAO = button(QStringLiteral("cmdSetAO"), QStringLiteral("写输出值"));
    ui.Cmd_AQ_Unit = button(QStringLiteral("Cmd_AQ_Unit"), QStringLiteral("统一输出"));

    auto* box = group(QStringLiteral("AQ输出"));
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(3);
    g->addWidget(columnHeader(QStringLiteral("通道")), 0, 0);
    g->addWidget(columnHeader(QStringLiteral("回读值")), 0, 1, 1, 2);
    g->addWidget(columnHeader(QStringLiteral("设定值")), 0, 3, 1, 2);
    for (int i = 0; i < AQ_CHANNELS; ++i) {
        const int row = i + 1;
        g->addWidget(columnHeader(QStringLiteral("AQ%1").arg(i)), row, 0);
        g->addWidget(ui.txtAQ[i], row, 1);
        g->addWidget(ui.lbl_unit0[i], row, 2);
        g->addWidget(ui.txtAQ_Set[i], row, 3);
        g->addWidget(ui.lbl_unit0[AQ_CHANNELS + i], row, 4);
    }
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addWidget(ui.cmdSetAO);
    buttons->addWidget(ui.Cmd_AQ_Unit);
    buttons->addStretch(1);
    g->addLayout(buttons, AQ_CHANNELS + 1, 0, 1, 5);
    g->setRowStretch(AQ_CHANNELS + 2, 1);
    return box;
}

QGroupBox* ledGroup(Form1Ui& ui)
{
    makeArray(ui.LightState, "LightState", [](const QString& n, int i) {
        auto* b = colourButton(n, QStringLiteral("LED%1").arg(i));
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("LED00")) + 28);
        return b;
    });
    auto* box = group(QStringLiteral("指示灯"));
    auto* g = new QGridLayout(box);
    g->setSpacing(6);
    constexpr int columns = 3;
    for (int i = 0; i < 18; ++i)
        g->addWidget(ui.LightState[i], i / columns, i % columns);
    g->setRowStretch(18 / columns, 1);
    return box;
}

} // namespace

QWidget* buildDioPage(Form1Ui& ui)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageDio"));

    auto* left = new QVBoxLayout;
    left->addWidget(diGroup(ui));
    left->addWidget(doGroup(ui));
    left->addWidget(deviceGroup(ui));
    left->addStretch(1);

    auto* h = new QHBoxLayout(page);
    h->setContentsMargins(8, 8, 8, 8);
    h->setSpacing(10);
    h->addLayout(left);
    h->addWidget(outputGroup(ui), 0, Qt::AlignTop);
    h->addWidget(ledGroup(ui), 0, Qt::AlignTop);
    h->addStretch(1);
    return page;
}

} // namespace form1ui
