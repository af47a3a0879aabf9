// 时钟: the device's real-time clock (date, time, weekday) and its commands.
#include "pages/form1_ui.h"
#include "pages/ui_util.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace form1ui {

QWidget* buildClockPage(Form1Ui& ui)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageClock"));

    ui.clkDate = dateEdit(QStringLiteral("clkDate"));
    ui.clkTime = timeEdit(QStringLiteral("clkTime"));
    ui.Combo_WeekDay = combo(QStringLiteral("Combo_WeekDay"), 4);
    ui.cmdReclock = button(QStringLiteral("cmdReclock"), QStringLiteral("读时钟"));
    ui.cmdWrclock = button(QStringLiteral("cmdWrclock"), QStringLiteral("写时钟"));
    ui.cmdNowclock = button(QStringLiteral("cmdNowclock"), QStringLiteral("当前时间"));
    ui.cmdNowclock->setToolTip(QStringLiteral("取计算机的当前时间写入设备"));

    auto* box = group(QStringLiteral("设备时钟"));
    auto* f = new QFormLayout(box);
    f->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    f->setVerticalSpacing(6);
    f->addRow(QStringLiteral("日期"), ui.clkDate);
    f->addRow(QStringLiteral("时间"), ui.clkTime);
    f->addRow(QStringLiteral("星期"), ui.Combo_WeekDay);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ui.cmdReclock);
    buttons->addWidget(ui.cmdWrclock);
    buttons->addWidget(ui.cmdNowclock);
    f->addRow(buttons);

    auto* h = new QHBoxLayout;
    h->addWidget(box);
    h->addStretch(1);
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->addLayout(h);
    v->addStretch(1);
    return page;
}

} // namespace form1ui
