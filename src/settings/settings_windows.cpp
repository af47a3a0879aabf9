#include "settings/settings_windows.h"

#include "base/errorlog.h"
#include "link/engine.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "settings/texts.h"

#include <QPushButton>

using namespace serial;
using blocks::Cell;

namespace {

const char* const RESEND_SLAVE_COLUMNS[] = {texts6::RESEND_SLAVE_START, texts6::RESEND_SLAVE_END};

// The read and write queue codes are the same numbers on both links.
const BlockFormSpec CTRL{"Form_Ctrl", texts6::CTRL_TITLE, blocks::CTRL_SIZE, Cell::U8, 0, 16,
                         QS_READ_CTRL, QS_WRITE_CTRL, FN_WRITE_CTRL, nullptr};
const BlockFormSpec SM{"Form_SM", texts6::SM_TITLE, blocks::SM_SIZE, Cell::I32, 0, 8,
                       QS_READ_SM, QS_WRITE_SM, FN_WRITE_SM, nullptr};
const BlockFormSpec RESEND{"Form_Resend", texts6::RESEND_TITLE, blocks::RESEND_SIZE, Cell::U8,
                           blocks::RESEND_HEAD_SIZE, blocks::RESEND_ENTRY_SIZE,
                           QS_READ_RESEND, QS_WRITE_RESEND, FN_WRITE_RESEND, nullptr};
const BlockFormSpec RESEND_SLAVE{"Form_Resend_Slave", texts6::RESEND_SLAVE_TITLE, blocks::RESEND_SLAVE_SIZE,
                                 Cell::I16, 0, 2, QS_READ_RESEND_SLAVE, QS_WRITE_RESEND_SLAVE,
                                 FN_WRITE_RESEND_SLAVE, RESEND_SLAVE_COLUMNS};
const BlockFormSpec RONGYU{"Form_Rongyu", texts6::RONGYU_TITLE, blocks::RONGYU_SIZE, Cell::U8, 0, 16,
                           QS_READ_RONGYU, QS_WRITE_RONGYU, FN_WRITE_RONGYU, nullptr};

static_assert(int(QS_READ_CTRL) == int(net::QE_READ_CTRL) && int(QS_WRITE_CTRL) == int(net::QE_WRITE_CTRL)
              && int(QS_READ_SM) == int(net::QE_READ_SM) && int(QS_WRITE_SM) == int(net::QE_WRITE_SM)
              && int(QS_READ_RESEND) == int(net::QE_READ_RESEND)
              && int(QS_WRITE_RESEND) == int(net::QE_WRITE_RESEND)
              && int(QS_READ_RESEND_SLAVE) == int(net::QE_READ_RESEND_SLAVE)
              && int(QS_WRITE_RESEND_SLAVE) == int(net::QE_WRITE_RESEND_SLAVE)
              && int(QS_READ_RONGYU) == int(net::QE_READ_RONGYU)
              && int(QS_WRITE_RONGYU) == int(net::QE_WRITE_RONGYU),
              "the settings windows push one code for both links");

} // namespace

SettingsWindows::SettingsWindows(Engine& engine) : engine_(engine) {}
SettingsWindows::~SettingsWindows() = default;

BlockForm& SettingsWindows::form(std::unique_ptr<BlockForm>& slot, const BlockFormSpec& spec)
{
    if (!slot)
        slot = std::make_unique<BlockForm>(spec, engine_);
    return *slot;
}

BlockForm& SettingsWindows::loadedForm(std::unique_ptr<BlockForm>& slot)
{
    if (!slot)
        throw RuntimeError(QString::fromUtf8(texts6::READ_FIRST));
    return *slot;
}

BlockForm& SettingsWindows::Form_Ctrl() { return form(ctrl_, CTRL); }
BlockForm& SettingsWindows::Form_SM() { return form(sm_, SM); }
BlockForm& SettingsWindows::Form_Resend() { return form(resend_, RESEND); }
BlockForm& SettingsWindows::Form_Resend_Slave() { return form(resendSlave_, RESEND_SLAVE); }
BlockForm& SettingsWindows::Form_Rongyu() { return form(rongyu_, RONGYU); }

ZigbeeAdvanceParam& SettingsWindows::ZigbeeAdvance()
{
    if (!zigbeeAdvance_)
        zigbeeAdvance_ = std::make_unique<ZigbeeAdvanceParam>();
    return *zigbeeAdvance_;
}

ZigbeeForm& SettingsWindows::ZigBee()
{
    if (!zigbee_)
        zigbee_ = std::make_unique<ZigbeeForm>(engine_, [this](bool create) -> ZigbeeAdvanceParam* {
            return create || zigbeeAdvance_ ? &ZigbeeAdvance() : nullptr;
        });
    return *zigbee_;
}

bool SettingsWindows::loaded(const QString& name) const
{
    for (const QWidget* w : std::initializer_list<const QWidget*>{ctrl_.get(), sm_.get(), resend_.get(),
                                                                 resendSlave_.get(), rongyu_.get(), zigbee_.get(),
                                                                 zigbeeAdvance_.get()})
        if (w && w->objectName() == name)
            return true;
    return false;
}

void SettingsWindows::WriteZigbeeParam()
{
    if (!zigbee_)
        throw RuntimeError(QString::fromUtf8(texts6::READ_FIRST));
    zigbee_->WriteZigbeeParam();
}

void SettingsWindows::setZigbeeTestVisible(bool visible) { ZigBee().Cmd_TestZigbee->setVisible(visible); }

void SettingsWindows::open(QWidget& w)
{
    w.show();
    w.raise();
    w.activateWindow();
}

void SettingsWindows::unload()
{
    ctrl_.reset();
    resend_.reset();
    resendSlave_.reset();
    sm_.reset();
    rongyu_.reset();
    zigbee_.reset();
    zigbeeAdvance_.reset();
}

void registerSettingsRows(Engine& engine, SettingsWindows& windows)
{
    SettingsWindows* w = &windows;
    const struct {
        std::int16_t serialCode, ethCode;
        void (SettingsWindows::*write)();
    } rows[] = {
        {QS_WRITE_CTRL, net::QE_WRITE_CTRL, &SettingsWindows::WriteCtrl},
        {QS_WRITE_SM, net::QE_WRITE_SM, &SettingsWindows::WriteSM},
        {QS_WRITE_RESEND, net::QE_WRITE_RESEND, &SettingsWindows::WriteResend},
        {QS_WRITE_RESEND_SLAVE, net::QE_WRITE_RESEND_SLAVE, &SettingsWindows::WriteSlave},
        {QS_WRITE_RONGYU, net::QE_WRITE_RONGYU, &SettingsWindows::WriteRongyu},
        {QS_WRITE_ZIGBEE, net::QE_WRITE_ZIGBEE, &SettingsWindows::WriteZigbeeParam},
    };
    for (const auto& r : rows) {
        const auto write = r.write;
        engine.setSerialBuilder(r.serialCode, [w, write] { (w->*write)(); });
        engine.setEthBuilder(r.ethCode, [w, write] { (w->*write)(); });
    }
    // A read reply is taken only when it carries the whole block.
    const struct {
        const BlockFormSpec* spec;
        std::uint8_t fn;
        const char* ethAction;
    } reads[] = {
        {&CTRL, FN_READ_CTRL, "OnReadCtrl"},
        {&SM, FN_READ_SM, "OnReadSM"},
        {&RESEND, FN_READ_RESEND, "OnReadResend"},
        {&RESEND_SLAVE, FN_READ_RESEND_SLAVE, "OnReadSlave"},
        {&RONGYU, FN_READ_RONGYU, "OnReadRongyu"},
    };
    for (const auto& r : reads) {
        const int size = r.spec->size;
        const Cell cell = r.spec->cell;
        const Engine::Check whole = [size, cell](std::span<const std::uint8_t> p) {
            return blocks::decodeCells(p, size, cell).has_value();
        };
        engine.setSerialCheck(r.fn, whole);
        engine.setEthCheck(QString::fromLatin1(r.ethAction), whole);
    }
}
