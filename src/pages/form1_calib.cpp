// Calibration commands of the analog-input and AQ pages, the clock page's
// buttons and the MAC page's boxes.
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/calib_rows.h"
#include "device/shared_rows.h"
#include "device/typed_values.h"
#include "pages/form1.h"
#include "pages/texts.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>

using namespace serial;
using namespace net;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// Runs the MAC page's focus handler when one of its boxes gets the focus.
// A click gives the focus before the box's own mouse press places the cursor,
// which drops the selection: the handler then runs again when the button is
// released, unless the press began a selection of its own (a drag).
class MacFocus : public QObject {
public:
    MacFocus(Form1* f) : QObject(f), f_(f), boxes_(f->ui.txt_MAC) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool focusIn = event->type() == QEvent::FocusIn;
        if (!focusIn && event->type() != QEvent::MouseButtonRelease)
            return false;
        for (int i = 0; i < 6; ++i) {
            QLineEdit* box = boxes_[std::size_t(i)];
            if (watched != box)
                continue;
            if (focusIn) {
                f_->txt_MAC_GotFocus(i);
                clicked_ = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason ? box : nullptr;
            } else if (clicked_ == box) {
                clicked_ = nullptr;
                if (!box->hasSelectedText())
                    f_->txt_MAC_GotFocus(i);
            }
        }
        return false;
    }

private:
    Form1* f_;
    std::array<QLineEdit*, 6> boxes_;
    QLineEdit* clicked_ = nullptr;
};

} // namespace

void Form1::connectCalibPage()
{
    command(ui.cmdWriteprj, [this] { cmdWriteprj_Click(); });
    command(ui.bt_AQAdjust, [this] { bt_AQAdjust_Click(); });
    command(ui.CmdGainE, [this] { CmdGainE_Click(); });
    command(ui.CmdGainD, [this] { CmdGainD_Click(); });
    command(ui.Cmd_Wtite_Temprature, [this] { Cmd_Wtite_Temprature_Click(); });
    command(ui.Cmd_LeiCheck, [this] { Cmd_LeiCheck_Click(); });
    command(ui.cmdReclock, [this] { cmdReclock_Click(); });
    command(ui.cmdWrclock, [this] { cmdWrclock_Click(); });
    command(ui.cmdNowclock, [this] { cmdNowclock_Click(); });
    command(ui.bt_MAC, [this] { bt_MAC_Click(); });
    command(ui.bt_NetGate, [this] { bt_NetGate_Click(); });
    auto* focus = new MacFocus(this);
    for (auto* box : ui.txt_MAC)
        box->installEventFilter(focus);
}

// Pushes the serial or the Ethernet code of the chosen link.
void Form1::pushOnLink(std::int16_t serialCode, std::int16_t ethernetCode)
{
    engine_->push(ethernetChosen() ? ethernetCode : serialCode);
}

void Form1::cmdWriteprj_Click()
{
    trap(QStringLiteral("cmdWriteprj_Click(Form1)"), [&] {
        prjCalValues(controls_); // a value that fails its check queues nothing
        pushOnLink(QS_READ_PRJ_CAL, QE_READ_PRJ_CAL);
        pushOnLink(QS_WRITE_PRJ_CAL, QE_WRITE_PRJ_CAL); // sent first, then read back
    });
}

void Form1::bt_AQAdjust_Click()
{
    trap(QStringLiteral("bt_AQAdjust_Click(Form1)"), [&] {
        // An emptied box is no zero: nothing is written until every box holds a value the device takes.
        dev_.SysInfo.AqAdjust = aqAdjustValues(controls_);
        engine_->push(QS_WRITE_AQ_PRJ_CAL); // the same code on both links
    });
}

void Form1::selfCalibrate(const char* question, std::uint8_t kind)
{
    trap(kind == 0 ? QStringLiteral("CmdGainE_Click(Form1)") : QStringLiteral("CmdGainD_Click(Form1)"), [&] {
        if (MsgBox(u(question), MsgButtons::OkCancel) != MsgAnswer::Ok)
            return;
        if (ethernetChosen())
            engine_->push(QE_READ_SYS_INFO);
        engine_->push(QS_WRITE_SELF_GAIN); // the same code on both links
        dev_.SelfCalKind = kind;
    });
}

void Form1::CmdGainE_Click() { selfCalibrate(texts1::ASK_SELF_GAIN, 0); }
void Form1::CmdGainD_Click() { selfCalibrate(texts1::ASK_SELF_OFFSET, 1); }

void Form1::Cmd_Wtite_Temprature_Click()
{
    trap(QStringLiteral("Cmd_Wtite_Temprature_Click(Form1)"), [&] {
        if (!serialOnly()) // the device takes this value on the serial link only
            return;
        std::int64_t sum = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            const auto t = boxValue(ui.ChnlDis[i], INT32_MIN, INT32_MAX);
            if (t < 0 || t > 6000) {
                MsgBox(u(texts1::CHANNEL_TEMPERATURE_WRONG));
                return;
            }
            sum += 3000 - t;
        }
        const auto average = roundHalfEven(double(sum) / 8);
        // The compensation is taken only where the sum fits the value's 16 bits.
        const auto compensation = boxValue(ui.txtTempComp, INT16_MIN - average, INT16_MAX - average);
        dev_.TempWriteValue = std::int16_t(average + compensation);
        engine_->push(QS_READ_SYS_INFO);
        engine_->push(QS_WRITE_COLD_CAL);
    });
}

void Form1::Cmd_LeiCheck_Click()
{
    trap(QStringLiteral("Cmd_LeiCheck_Click(Form1)"), [&] {
        qint16 values[8];
        readInnerCalBoxes(controls_, values); // a box that does not fit queues nothing
        pushOnLink(QS_WRITE_INNER_CAL, QE_WRITE_INNER_CAL);
    });
}

void Form1::cmdReclock_Click()
{
    trap(QStringLiteral("cmdReclock_Click(Form1)"), [&] {
        if (ethernetChosen()) {
            engine_->push(QE_READ_CLOCK);
            engine_->push(QE_READ_WEEKDAY);
        } else {
            engine_->push(QS_READ_CLOCK);
        }
    });
}

void Form1::cmdWrclock_Click()
{
    trap(QStringLiteral("cmdWrclock_Click(Form1)"), [&] {
        // Sent in the reverse order: the weekday, the clock, then both read back.
        if (ethernetChosen()) {
            for (auto code : {QE_READ_CLOCK, QE_READ_WEEKDAY, QE_WRITE_CLOCK, QE_WRITE_WEEKDAY})
                engine_->push(code);
        } else {
            engine_->push(QS_READ_CLOCK);
            engine_->push(QS_WRITE_CLOCK);
        }
    });
}

void Form1::cmdNowclock_Click()
{
    const QDateTime now = QDateTime::currentDateTime();
    ui.clkDate->setDate(now.date());
    ui.clkTime->setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    ui.Combo_WeekDay->setCurrentIndex(now.date().dayOfWeek() - 1);
    cmdWrclock_Click();
}

void Form1::txt_MAC_GotFocus(int index)
{
    auto* box = ui.txt_MAC[std::size_t(index)];
    box->setSelection(0, int(box->text().size()));
}
