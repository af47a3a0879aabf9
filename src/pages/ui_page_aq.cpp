// AQ通道: per channel the output type, the DQ switch, the voltage and current
// zero and full-scale points and the engineering calibration value.
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

constexpr int AQ_CHANNELS = 8;

QLineEdit* valueBox(const QString& name)
{
    auto* e = edit(name, 8);
    e->setAlignment(Qt::AlignRight);
    return e;
}

QGroupBox* channelTable(Form1Ui& ui)
{
    makeArray(ui.ComboType2, "ComboType2", [](const QString& n, int) { return combo(n, 11); });
    makeArray(ui.lbl_unit1, "lbl_unit1", [](const QString& n, int) {
        auto* l = label(n);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("mA")) + 4);
        return l;
    });
    makeArray(ui.cmdDQ3, "cmdDQ3", [](const QString& n, int i) { return colourButton(n, QStringLiteral("DQ%1").arg(i)); });
    makeArray(ui.txt_AQV, "txt_AQV", [](const QString& n, int) { return valueBox(n); });
    makeArray(ui.txt_AQM, "txt_AQM", [](const QString& n, int) { return valueBox(n); });
    makeArray(ui.txt_AQjust, "txt_AQjust", [](const QString& n, int) { return valueBox(n); });

    auto* box = group(QStringLiteral("AQ通道"));
    auto* g = new QGridLayout(box);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(3);
    enum { C_CHANNEL, C_TYPE, C_UNIT, C_DQ, C_SEP1, C_VZERO, C_VFULL, C_SEP2, C_MZERO, C_MFULL, C_SEP3, C_ADJ, C_END };
    const struct {
        int col;
        const char* text;
    } headers[] = {{C_CHANNEL, "通道"},         {C_TYPE, "输出类型"},       {C_UNIT, "单位"},
                   {C_DQ, "DQ状态"},            {C_VZERO, "电压零点(V)"},   {C_VFULL, "电压满度(V)"},
                   {C_MZERO, "电流零点(mA)"},   {C_MFULL, "电流满度(mA)"},  {C_ADJ, "工程校准值"}};
    for (const auto& h : headers)
        g->addWidget(columnHeader(QString::fromUtf8(h.text)), 0, h.col);
    for (int sep : {C_SEP1, C_SEP2, C_SEP3})
        g->addWidget(vline(), 0, sep, AQ_CHANNELS + 1, 1);
    for (int i = 0; i < AQ_CHANNELS; ++i) {
        const int row = i + 1;
        g->addWidget(columnHeader(QStringLiteral("AQ%1").arg(i)), row, C_CHANNEL);
        g->addWidget(ui.ComboType2[i], row, C_TYPE);
        g->addWidget(ui.lbl_unit1[i], row, C_UNIT, Qt::AlignCenter);
        g->addWidget(ui.cmdDQ3[i], row, C_DQ);
        g->addWidget(ui.txt_AQV[i], row, C_VZERO);
        g->addWidget(ui.txt_AQV[AQ_CHANNELS + i], row, C_VFULL);
        g->addWidget(ui.txt_AQM[i], row, C_MZERO);
        g->addWidget(ui.txt_AQM[AQ_CHANNELS + i], row, C_MFULL);
        g->addWidget(ui.txt_AQjust[i], row, C_ADJ);
    }
    g->setColumnStretch(C_END, 1);
    g->setRowStretch(AQ_CHANNELS + 1, 1);
    return box;
}

QGroupBox* typeGroup(Form1Ui& ui, QWidget* page)
{
    ui.OpAqSingle = radio(QStringLiteral("OpAqSingle"), QStringLiteral("单独设置"));
    ui.OpAqUnion = radio(QStringLiteral("OpAqUnion"), QStringLiteral("统一设置"));
    ui.aqModeGroup = exclusive(page, QStringLiteral("aqModeGroup"), {ui.OpAqSingle, ui.OpAqUnion});
    ui.bt_ReadAQType = button(QStringLiteral("bt_ReadAQType"), QStringLiteral("读通道类型"));
    ui.bt_WriteAQType = button(QStringLiteral("bt_WriteAQType"), QStringLiteral("写通道类型"));
    auto* box = group(QStringLiteral("输出类型"));
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(4);
    g->addWidget(ui.OpAqSingle, 0, 0);
    g->addWidget(ui.OpAqUnion, 0, 1);
    g->addWidget(ui.bt_ReadAQType, 1, 0);
    g->addWidget(ui.bt_WriteAQType, 1, 1);
    return box;
}

QGroupBox* dqGroup(Form1Ui& ui)
{
    ui.bt_FreshDQ = button(QStringLiteral("bt_FreshDQ"), QStringLiteral("刷新DQ状态"));
    auto* box = group(QStringLiteral("开关量输出"));
    auto* v = new QVBoxLayout(box);
    v->addWidget(ui.bt_FreshDQ);
    return box;
}

QGroupBox* zeroFullGroup(Form1Ui& ui)
{
    ui.bt_ReadAQZeroFull = button(QStringLiteral("bt_ReadAQZeroFull"), QStringLiteral("读零点满度"));
    static const char* const captions[4] = {"输出零点", "输出满度", "写零点", "写满度"};
    makeArray(ui.bt_WriteOrOut, "bt_WriteOrOut",
              [](const QString& n, int i) { return button(n, QString::fromUtf8(captions[i])); });
    auto* box = group(QStringLiteral("零点/满度"));
    auto* g = new QGridLayout(box);
    g->setVerticalSpacing(4);
    g->addWidget(ui.bt_ReadAQZeroFull, 0, 0, 1, 2);
    g->addWidget(ui.bt_WriteOrOut[0], 1, 0);
    g->addWidget(ui.bt_WriteOrOut[1], 1, 1);
    g->addWidget(ui.bt_WriteOrOut[2], 2, 0);
    g->addWidget(ui.bt_WriteOrOut[3], 2, 1);
    return box;
}

QGroupBox* adjustGroup(Form1Ui& ui)
{
    ui.bt_AQAdjust = button(QStringLiteral("bt_AQAdjust"), QStringLiteral("写AQ校准值"));
    ui.bt_AQAuto = button(QStringLiteral("bt_AQAuto"), QStringLiteral("自动校准AQ"));
    ui.bt_AQAuto->hide(); // the second opener of the AQ calibration window stays hidden
    auto* box = group(QStringLiteral("工程校准"));
    auto* v = new QVBoxLayout(box);
    v->addWidget(ui.bt_AQAdjust);
    v->addWidget(ui.bt_AQAuto);
    return box;
}

} // namespace

QWidget* buildAqPage(Form1Ui& ui)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageAq"));

    auto* side = new QVBoxLayout;
    side->addWidget(typeGroup(ui, page));
    side->addWidget(dqGroup(ui));
    side->addWidget(zeroFullGroup(ui));
    side->addWidget(adjustGroup(ui));
    side->addStretch(1);

    auto* h = new QHBoxLayout(page);
    h->setContentsMargins(8, 8, 8, 8);
    h->setSpacing(10);
    h->addWidget(channelTable(ui), 0, Qt::AlignTop);
    h->addLayout(side);
    h->addStretch(1);
    return page;
}

} // namespace form1ui
