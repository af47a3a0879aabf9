#include "settings/zigbee_form.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/shared_rows.h"
#include "base/command.h"
#include "link/engine.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "proto/settings_blocks.h"
#include "settings/block_form.h"
#include "settings/texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString u(const char* s) { return QString::fromUtf8(s); }

constexpr int SERIAL_WRITE_REPLY = 41;

QLineEdit* box(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QPushButton* button(QWidget* parent, const QString& name, const char* caption)
{
    auto* b = new QPushButton(u(caption), parent);
    b->setObjectName(name);
    return b;
}

[[noreturn]] void badValue(QLineEdit* e)
{
    e->setFocus();
    throw RuntimeError(QString::fromUtf8(texts6::BAD_VALUE));
}

// A whole number in lo..hi from a box.
std::int32_t number(QLineEdit* e, std::int32_t lo, std::int32_t hi)
{
    const QString t = e->text().trimmed();
    if (!isNumeric(t))
        badValue(e);
    double v = strictNumber(t);
    if (v < lo - 0.5 || v > hi + 0.5)
        badValue(e);
    const auto r = std::int32_t(roundHalfEven(v));
    if (r < lo || r > hi)
        badValue(e);
    return r;
}

QString hex8(const std::array<std::uint8_t, 8>& b)
{
    QString s;
    for (auto v : b)
        s += QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
    return s;
}

std::array<std::uint8_t, 8> fromHex8(QLineEdit* e)
{
    const QString t = e->text().trimmed().remove(QLatin1Char(' ')).remove(QLatin1Char('-'));
    if (t.size() != 16 || !isHexText(t))
        badValue(e);
    std::array<std::uint8_t, 8> b{};
    for (int i = 0; i < 8; ++i)
        b[std::size_t(i)] = std::uint8_t(t.mid(2 * i, 2).toUInt(nullptr, 16));
    return b;
}
} // namespace

// ---------------------------------------------------------------- advanced parameters

ZigbeeAdvanceParam::ZigbeeAdvanceParam()
{
    setObjectName(QStringLiteral("ZigbeeAdvanceParam"));
    setWindowTitle(u(texts6::ZIGBEE_ADVANCE_TITLE));
    auto* form = new QFormLayout(this);
    for (int i = 0; i < 3; ++i) {
        txtZbAdvParam[std::size_t(i)] = box(this, QStringLiteral("txtZbAdvParam_%1").arg(i));
        form->addRow(u(texts6::ZB_ADV_PARAM).arg(i + 1), txtZbAdvParam[std::size_t(i)]);
    }
    txtZbAdvFlag = box(this, QStringLiteral("txtZbAdvFlag"));
    form->addRow(u(texts6::ZB_ADV_FLAG), txtZbAdvFlag);
}

void ZigbeeAdvanceParam::showVars(const ZigbeeVars& z)
{
    txtZbAdvParam[0]->setText(QString::number(z.ZbAdvParam1));
    txtZbAdvParam[1]->setText(QString::number(z.ZbAdvParam2));
    txtZbAdvParam[2]->setText(QString::number(z.ZbAdvParam3));
    txtZbAdvFlag->setText(QString::number(z.ZbAdvFlag));
}

void ZigbeeAdvanceParam::capture(ZigbeeVars& z) const
{
    z.ZbAdvParam1 = std::int16_t(number(txtZbAdvParam[0], -32768, 32767));
    z.ZbAdvParam2 = std::int16_t(number(txtZbAdvParam[1], -32768, 32767));
    z.ZbAdvParam3 = std::int16_t(number(txtZbAdvParam[2], -32768, 32767));
    z.ZbAdvFlag = std::int16_t(number(txtZbAdvFlag, -32768, 32767));
}

// ---------------------------------------------------------------- the ZigBee window

ZigbeeForm::ZigbeeForm(Engine& engine, std::function<ZigbeeAdvanceParam*(bool)> advance)
    : engine_(engine), advance_(std::move(advance))
{
    setObjectName(QStringLiteral("ZigBee"));
    setWindowTitle(u(texts6::ZIGBEE_TITLE));
    cmbZbLogic = new QComboBox(this);
    cmbZbLogic->setObjectName(QStringLiteral("cmbZbLogic"));
    for (const char* t : texts6::ZB_LOGICS)
        cmbZbLogic->addItem(u(t));
    cmbZbNetType = new QComboBox(this);
    cmbZbNetType->setObjectName(QStringLiteral("cmbZbNetType"));
    for (const char* t : texts6::ZB_NET_TYPES)
        cmbZbNetType->addItem(u(t));
    cmbZbLogic->setCurrentIndex(-1);
    cmbZbNetType->setCurrentIndex(-1);
    txtZbDNO = box(this, QStringLiteral("txtZbDNO"));
    txtZbMAC = box(this, QStringLiteral("txtZbMAC"));
    txtZbExtPan = box(this, QStringLiteral("txtZbExtPan"));
    txtZbChainAddr = box(this, QStringLiteral("txtZbChainAddr"));
    ckZbEnable = new QCheckBox(u(texts6::ZB_ENABLE), this);
    ckZbEnable->setObjectName(QStringLiteral("ckZbEnable"));
    auto* channels = new QGridLayout;
    for (int i = 0; i < 16; ++i) {
        auto* c = new QCheckBox(QString::number(i), this);
        c->setObjectName(QStringLiteral("ckZbChannel_%1").arg(i));
        ckZbChannel[std::size_t(i)] = c;
        channels->addWidget(c, i / 8, i % 8);
    }
    cmdZbRead = button(this, QStringLiteral("cmdZbRead"), texts6::READ);
    cmdZbWrite = button(this, QStringLiteral("cmdZbWrite"), texts6::WRITE);
    Cmd_TestZigbee = button(this, QStringLiteral("Cmd_TestZigbee"), texts6::ZB_TEST);
    cmdZbAdvance = button(this, QStringLiteral("cmdZbAdvance"), texts6::ZB_ADVANCE);

    auto* form = new QFormLayout;
    form->addRow(u(texts6::ZB_LOGIC), cmbZbLogic);
    form->addRow(u(texts6::ZB_NET_TYPE), cmbZbNetType);
    form->addRow(u(texts6::ZB_DNO), txtZbDNO);
    form->addRow(u(texts6::ZB_CHANNELS), channels);
    form->addRow(u(texts6::ZB_MAC), txtZbMAC);
    form->addRow(u(texts6::ZB_EXT_PAN), txtZbExtPan);
    form->addRow(u(texts6::ZB_CHAIN_ADDR), txtZbChainAddr);
    form->addRow(QString(), ckZbEnable);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Cmd_TestZigbee);
    buttons->addWidget(cmdZbAdvance);
    buttons->addStretch(1);
    buttons->addWidget(cmdZbRead);
    buttons->addWidget(cmdZbWrite);
    auto* v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addLayout(buttons);

    command(cmdZbRead, this, engine_, [this] { cmdZbRead_Click(); });
    command(cmdZbWrite, this, engine_, [this] { cmdZbWrite_Click(); });
    command(Cmd_TestZigbee, this, engine_, [this] { Cmd_TestZigbee_Click(); });
    command(cmdZbAdvance, this, engine_, [this] { cmdZbAdvance_Click(); }, Gate::Free);
    connect(&engine_, &Engine::connectionEnded, this, &ZigbeeForm::forget);
}

void ZigbeeForm::forget()
{
    // What the device that is gone said is not shown as if it were the next one's.
    for (auto* c : {cmbZbLogic, cmbZbNetType})
        c->setCurrentIndex(-1);
    for (auto* e : {txtZbDNO, txtZbMAC, txtZbExtPan, txtZbChainAddr})
        e->clear();
    for (auto* c : ckZbChannel)
        c->setChecked(false);
    ckZbEnable->setChecked(false);
    if (auto* adv = advance_(false)) {
        for (auto* e : adv->txtZbAdvParam)
            e->clear();
        adv->txtZbAdvFlag->clear();
    }
}

bool ZigbeeForm::blockRead() const { return readConnection_ == engine_.connection(); }

void ZigbeeForm::DistributeZigbeeParam()
{
    const auto& z = engine_.Zigbee;
    cmbZbLogic->setCurrentIndex(z.ZbLogic < cmbZbLogic->count() ? z.ZbLogic : -1);
    cmbZbNetType->setCurrentIndex(z.ZbNetType < cmbZbNetType->count() ? z.ZbNetType : -1);
    txtZbDNO->setText(QString::number(std::uint32_t(z.ZbDNO) & 0xFFFF));
    for (int i = 0; i < 16; ++i)
        ckZbChannel[std::size_t(i)]->setChecked((std::uint32_t(z.ZbChannelMask) >> i) & 1);
    txtZbMAC->setText(hex8(z.ZbMAC));
    txtZbExtPan->setText(hex8(z.ZbExtPan));
    ckZbEnable->setChecked(z.ZbEnable != 0);
    txtZbChainAddr->setText(QString::number(z.ZbChainAddr));
    if (auto* adv = advance_(false))
        adv->showVars(z);
    readConnection_ = engine_.connection();
}

ZigbeeVars ZigbeeForm::capture() const
{
    ZigbeeVars z = engine_.Zigbee; // what no control holds stays as read
    if (cmbZbLogic->currentIndex() >= 0)
        z.ZbLogic = std::uint8_t(cmbZbLogic->currentIndex());
    if (cmbZbNetType->currentIndex() >= 0)
        z.ZbNetType = std::uint8_t(cmbZbNetType->currentIndex());
    z.ZbDNO = std::int32_t((std::uint32_t(z.ZbDNO) & 0xFFFF0000u) | std::uint32_t(number(txtZbDNO, 0, 65535)));
    std::uint32_t mask = std::uint32_t(z.ZbChannelMask) & 0xFFFF0000u;
    for (int i = 0; i < 16; ++i)
        if (ckZbChannel[std::size_t(i)]->isChecked())
            mask |= 1u << i;
    z.ZbChannelMask = std::int32_t(mask);
    z.ZbMAC = fromHex8(txtZbMAC);
    z.ZbExtPan = fromHex8(txtZbExtPan);
    z.ZbEnable = ckZbEnable->isChecked() ? 1 : 0;
    z.ZbChainAddr = std::uint8_t(number(txtZbChainAddr, 0, 255));
    if (auto* adv = advance_(false))
        adv->capture(z);
    return z;
}

void ZigbeeForm::WriteZigbeeParam()
{
    if (!blockRead())
        throw RuntimeError(QString::fromUtf8(texts6::READ_FIRST));
    const ZigbeeVars z = capture();
    engine_.Zigbee = z;
    serial::ZigbeeBlock b;
    b.logic = z.ZbLogic;
    b.netType = z.ZbNetType;
    b.dnoLow = std::uint16_t(std::uint32_t(z.ZbDNO) & 0xFFFF);
    b.channelMask = z.ZbChannelMask;
    std::copy(z.ZbMAC.begin(), z.ZbMAC.end(), b.mac);
    std::copy(z.ZbExtPan.begin(), z.ZbExtPan.end(), b.extPan);
    b.enable = z.ZbEnable;
    b.chainAddr = z.ZbChainAddr;
    b.adv1 = z.ZbAdvParam1;
    b.adv2 = z.ZbAdvParam2;
    b.adv3 = z.ZbAdvParam3;
    b.advFlag = z.ZbAdvFlag;
    QByteArray block = serial::encodeZigbee(b);
    if (!serialChosen(engine_))
        block.append(QByteArray(blocks::ZIGBEE_WRITE_ETH_SIZE - block.size(), '\0'));
    sendBlock(engine_, std::uint8_t(serial::QS_WRITE_ZIGBEE), block, SERIAL_WRITE_REPLY);
}

void ZigbeeForm::cmdZbRead_Click()
{
    trap(QStringLiteral("cmdZbRead_Click(ZigBee)"), [&] {
        engine_.push(serialChosen(engine_) ? std::int16_t(serial::QS_READ_ZIGBEE) : std::int16_t(net::QE_READ_ZIGBEE));
    });
}

void ZigbeeForm::cmdZbWrite_Click()
{
    trap(QStringLiteral("cmdZbWrite_Click(ZigBee)"), [&] {
        if (!readyToWrite(blockRead(), [this] { capture(); }))
            return;
        const bool s = serialChosen(engine_);
        engine_.push(s ? std::int16_t(serial::QS_READ_ZIGBEE) : std::int16_t(net::QE_READ_ZIGBEE));
        engine_.push(s ? std::int16_t(serial::QS_WRITE_ZIGBEE) : std::int16_t(net::QE_WRITE_ZIGBEE));
    });
}

void ZigbeeForm::Cmd_TestZigbee_Click()
{
    trap(QStringLiteral("Cmd_TestZigbee_Click(ZigBee)"), [&] { engine_.push(serial::QS_TEST_ZIGBEE); });
}

void ZigbeeForm::cmdZbAdvance_Click()
{
    const bool loaded = advance_(false) != nullptr;
    if (auto* adv = advance_(true)) {
        if (!loaded)
            adv->showVars(engine_.Zigbee);
        adv->show();
        adv->raise();
    }
}
