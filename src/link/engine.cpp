#include "link/engine.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "link/texts.h"
#include "proto/serial_commands.h"
#include "proto/net_datagram.h"
#include "proto/serial_frame.h"

#include <QPointer>

using namespace serial;

namespace {
const QString TICK_TAG = QStringLiteral("Timer1_Timer(Form1)");
} // namespace

Engine::Engine(LinkView* view, Neighbours* neighbours, SerialTransport* port, QObject* parent)
    : QObject(parent), view_(view), nb_(neighbours), port_(port)
{
    const auto name = [](QTimer& t, const char* n, int interval) {
        t.setObjectName(QString::fromLatin1(n));
        t.setInterval(interval);
    };
    name(Timer1, "Timer1", 0);
    name(Timer2, "Timer2", 20000);
    name(timMscon, "timMscon", 0);
    name(Sleep_Timer, "Sleep_Timer", 1000);
    name(timCheckDevice, "timCheckDevice", 10000);
    connect(&Timer1, &QTimer::timeout, this, &Engine::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Engine::Timer2_Timer);
    connect(&timMscon, &QTimer::timeout, this, &Engine::timMscon_Timer);
    connect(&Sleep_Timer, &QTimer::timeout, this, &Engine::Sleep_Timer_Timer);
    if (port_) {
        connect(port_, &SerialTransport::received, this, &Engine::onPortEvent);
        // Before anyone else hears of it: the connection is over. The port's
        // own message says why, so an upgrade under way ends without a word.
        connect(port_, &SerialTransport::lost, this, [this] {
            trap(QStringLiteral("Comm1_OnComm(Form1)"), [&] { newConnection(End::Stopped, false); });
        });
    }
    CmdStack[0] = QS_REFRESH_LIVE;
    clock_.start();

    // The replies whose work is the engine's own.
    setSerialCheck(std::uint8_t(QS_READ_ZIGBEE), atLeast(ZIGBEE_BLOCK_SIZE));
    setSerialCheck(std::uint8_t(QS_TEST_ZIGBEE), atLeast(2));
    setEthCheck(QStringLiteral("zigbeeRead"), atLeast(ZIGBEE_BLOCK_SIZE));
    setEthCheck(QStringLiteral("devIdTagRead"), atLeast(net::DEVID_BLOCK_SIZE));

    // Receive events that came while a message box was open run once it is closed.
    QPointer<Engine> self(this);
    onModalClosed([self] {
        if (self && (self->portEventPending_ || !self->heldDatagrams_.isEmpty()))
            QTimer::singleShot(0, self.data(), [self] {
                if (self)
                    self->runHeldEvents();
            });
    });
}

Engine::~Engine() = default;

// ---------------------------------------------------------------- stack

void Engine::push(std::int16_t code)
{
    refuseWhileOwned();
    if (CmdTop >= STACK_TOP_MAX || CmdTop < 0)
        throw RuntimeError(QStringLiteral("下标越界"));
    ++CmdTop;
    CmdStack[std::size_t(CmdTop)] = code;
}

void Engine::loadList(std::span<const std::int16_t> entries)
{
    refuseWhileOwned();
    fillStack(entries);
}

void Engine::loadOwnedList(std::span<const std::int16_t> entries, Owner who)
{
    refuseWhileOwned();
    fillStack(entries);
    setOwner(who);
    noteOwnerParam();
}

void Engine::own(Owner who)
{
    refuseWhileOwned();
    setOwner(who);
    noteOwnerParam();
}

void Engine::release(Owner who)
{
    if (owner_ == who)
        setOwner(Owner::None);
}

void Engine::noteOwnerParam()
{
    if (stackOwned())
        ownerParam_ = PendParam;
}

void Engine::setOwner(Owner who)
{
    if (owner_ == who)
        return;
    const bool was = stackOwned();
    owner_ = who;
    if (was != stackOwned())
        Q_EMIT stackOwnerChanged(stackOwned());
}

bool Engine::mayQueue()
{
    if (!stackOwned())
        return true;
    // A handler may have stored its parameter before it asked for the stack:
    // the owner's requests and the matching of their replies go on with the
    // owner's own (the box below lets the dispatcher tick).
    PendParam = ownerParam_;
    if (!refusalShown_) {
        refusalShown_ = true;
        MsgBox(QString::fromUtf8(owner_ == Owner::Upgrade ? texts::UPGRADE_OWNS_STACK : texts::SLAVE_WRITE_OWNS_STACK));
        // One word per user action: what the same handler tries next is refused silently.
        QTimer::singleShot(0, this, [this] { refusalShown_ = false; });
    }
    return false;
}

void Engine::refuseWhileOwned()
{
    if (!mayQueue())
        throw Abandoned{};
}

void Engine::endUpgrade(UpgradeEnd how)
{
    const bool failed = how == UpgradeEnd::Failed;
    if (owner_ != Owner::Upgrade && !(failed && UpgradeTimeout == 1))
        return;
    UpgradeTimeout = 0;
    Timer2.stop(); // no second time-out while the box is open
    nb_->resetFirmwareBlocks();
    nb_->endProgress();
    Timer1.setInterval(TimerInterval);
    CmdTop = 0;
    release(Owner::Upgrade);
    if (failed) {
        if (port_ && port_->isOpen())
            port_->setSettings(QString::fromLatin1(texts::SETTINGS_9600));
        view_->setStatus(QString::fromUtf8(texts::UPGRADE_TIMEOUT));
        if (linked_)
            enableTimer(Timer1);
        MsgBox(QString::fromUtf8(texts::UPGRADE_FAILED_BOX));
    }
}

// ---------------------------------------------------------------- connections

void Engine::newConnection(End how, bool linked)
{
    const bool ended = linked_;
    linked_ = false;
    ++connection_;
    staleFns_.insert(askedFns_);
    askedFns_.clear();
    readsBefore_ = readsBefore_ || readFirst_ >= 0;
    writesBefore_ = writesBefore_ || writeFirst_ >= 0;
    readFirst_ = writeFirst_ = -1;
    // What the old connection owned ends with it, before anyone hears of the change.
    if (owner_ == Owner::Upgrade)
        endUpgrade(how == End::Stopped ? UpgradeEnd::Stopped : UpgradeEnd::Failed);
    release(Owner::SlaveWrite);
    CmdTop = 0; // nothing queued for the old device goes to the next one
    if (ended)
        Q_EMIT connectionEnded();
    linked_ = linked;
    Q_EMIT connectionChanged(connection_);
}

bool Engine::serialReplyStale(std::uint8_t fn)
{
    constexpr qint64 LONGEST_WAIT_MS = 20000; // the longest reply time-out
    const auto it = staleFns_.find(fn);
    if (it == staleFns_.end()) {
        askedFns_.remove(fn);
        return false;
    }
    const bool inTime = clock_.elapsed() - *it <= LONGEST_WAIT_MS;
    staleFns_.erase(it);
    if (!inTime)
        askedFns_.remove(fn);
    return inTime;
}

bool Engine::ethReplyStale(bool write, bool hasSeq, quint16 seq) const
{
    if (!(write ? writesBefore_ : readsBefore_))
        return false;
    const int first = write ? writeFirst_ : readFirst_;
    if (first < 0)
        return true; // nothing of this service asked in this connection yet
    const int last = quint16(write ? WriteSeq : ReadSeq);
    return hasSeq && quint16(seq - first) > quint16(last - first);
}

int Engine::openSerial(const QString& name, const QString& settings, QString* why)
{
    if (port_ && port_->isOpen())
        port_->close();
    const int err = port_ ? port_->open(name, settings, why) : 8002;
    newConnection(End::Stopped, err == 0);
    return err;
}

void Engine::closeLink(End how)
{
    if (port_ && port_->isOpen())
        port_->close();
    if (wsckR_W_)
        wsckR_W_->close();
    newConnection(how, false);
}

int Engine::aimDevice(const QString& host, quint16 port, QString* why)
{
    if (!wsckR_W_)
        return 10038;
    wsckR_W_->close();
    wsckR_W_->setRemote(host, port);
    const int err = wsckR_W_->bind(port, why);
    newConnection(End::Lost, err == 0);
    return err;
}

void Engine::deviceGone() { newConnection(End::Lost, false); }

void Engine::fillStack(std::span<const std::int16_t> entries)
{
    if (entries.empty() || entries.size() > CmdStack.size())
        throw RuntimeError(QStringLiteral("命令表长度错误"));
    std::size_t i = 0;
    for (auto c : entries)
        CmdStack[i++] = c;
    CmdTop = std::int16_t(entries.size() - 1);
}

bool Engine::queued(std::int16_t code) const
{
    for (int i = 1; i <= CmdTop; ++i)
        if (CmdStack[std::size_t(i)] == code)
            return true;
    return false;
}

void Engine::resume()
{
    Timer2.stop();
    enableTimer(Timer1);
}

// ---------------------------------------------------------------- dispatcher

void Engine::Timer1_Timer()
{
    if (modalDepth() > 0)
        return; // a message box of this tick or of a reply is still open
    trap(TICK_TAG, [&] {
        view_->setStatus(QString());
        UpgradeTimeout = 0;
        const int option = view_->linkOption();
        bool keepEntry = false;
        if (option == 0 || option == 1) {
            if (CmdTop < 0 || CmdTop > STACK_TOP_MAX)
                throw RuntimeError(QStringLiteral("下标越界"));
            const auto code = CmdStack[std::size_t(CmdTop)];
            if (option == 0)
                runSerialRow(code, keepEntry);
            else
                runEthRow(code, keepEntry);
        }
        if (!keepEntry && CmdTop != 0)
            --CmdTop;
    });
    noteOwnerParam();
}

bool Engine::runSerialBuilder(std::int16_t code)
{
    const auto it = serialBuilders_.constFind(code);
    if (it != serialBuilders_.constEnd()) {
        const auto* row = findCommand(code);
        return trap(QString::fromLatin1(row ? row->builder : "builder") + QStringLiteral("(Form1)"), *it);
    }
    const auto* row = findCommand(code);
    if (row && row->build == Build::Plain) {
        return trap(QStringLiteral("SendCommand(Form1)"), [&] {
            prepareRequest(row->fn, row->frameLen, row->replyLen);
            SendCommand();
        });
    }
    return false; // no builder yet: nothing goes out, the time-out reports the loss
}

void Engine::runSerialRow(std::int16_t code, bool& keepEntry)
{
    const auto* row = findCommand(code);
    if (!row) {
        view_->setStatus(QString::fromUtf8(TEXT_NO_SUCH_FUNCTION));
        StatusText.clear();
        return;
    }
    if (code == QS_WRITE_SLAVE && noSlaveRowLeft())
        return;
    const bool alt = row->statusAlt && PendParam == 0;
    StatusText = QString::fromUtf8(alt ? row->statusAlt : row->status);
    if (const char* wait = alt ? row->waitAlt : row->wait)
        view_->setStatus(QString::fromUtf8(wait));

    const auto arm = [&](int ms) {
        Timer1.stop();
        Timer2.setInterval(ms);
        Timer2.start();
    };

    switch (code) {
    case QS_TEST_RAM:
        armRamTest();
        runSerialBuilder(code);
        nb_->InitProgress(9, true);
        view_->setStatus(QString::fromUtf8(texts::RAM_TEST_WAIT));
        return;
    case QS_FLASH_START:
    case QS_FLASH_SIZE:
    case QS_FLASH_BLOCK:
        if (code == QS_FLASH_BLOCK && nb_->FwBlockIndex() == 0)
            ReopenComm(QString::fromLatin1(texts::SETTINGS_115200));
        UpgradeTimeout = 1;
        upgradeReplyFn_ = row->fn;
        runSerialBuilder(code);
        arm(row->timeoutMs);
        if (code == QS_FLASH_SIZE)
            Timer1.setInterval(100);
        else if (code == QS_FLASH_BLOCK)
            Timer1.setInterval(10);
        nb_->StepProgress(1);
        return;
    default:
        break;
    }

    runSerialBuilder(code);
    if (row->timeoutMs > 0)
        arm(row->timeoutMs);

    if (code == QS_WRITE_SLAVE)
        keepEntry = slaveRowsLeft();
}

void Engine::armRamTest()
{
    timMscon.stop();
    timMscon.setInterval(8000);
    Timer2.setInterval(8000);
    Timer1.stop();
    Timer2.start();
    timMscon.start();
}

bool Engine::noSlaveRowLeft()
{
    // The write button pushes one entry per marked row, while one entry already
    // writes them all: the entries left over send nothing and do not wait.
    if (nb_->slaveRowsMarked())
        return false;
    nb_->slaveWindowSwitch(true);
    return true;
}

bool Engine::slaveRowsLeft()
{
    // The entry stays on the stack while slave rows are still marked.
    nb_->slaveWindowSwitch(true);
    if (nb_->slaveRowsMarked())
        return true;
    nb_->slaveWindowSwitch(true);
    return false;
}

// ---------------------------------------------------------------- time-outs and pause

void Engine::Timer2_Timer()
{
    if (modalDepth() > 0)
        return; // runs again when the box is closed and its interval has passed
    trap(QStringLiteral("Timer2_Timer(Form1)"), [&] {
        if (UpgradeTimeout == 0)
            view_->setStatus(QString::fromUtf8(texts::TIMEOUT));
        else
            endUpgrade(UpgradeEnd::Failed);
        if (owner_ == Owner::SlaveWrite)
            nb_->slaveRowFailed();
    });
    enableTimer(Timer1);
    Timer2.stop();
}

void Engine::timMscon_Timer()
{
    if (modalDepth() > 0)
        return;
    timMscon.stop();
    ++TimeoutCount;
    view_->setLostCount(QString::number(TimeoutCount));
    if (view_->linkOption() == 0 && port_)
        port_->clearInput(); // a late or partial reply must not answer the next request
}

bool Engine::Sleeping(int ms)
{
    timCheckDevice.stop();
    Timer1.stop();
    Sleep_Timer.setInterval(ms);
    Sleep_Timer.start();
    return true;
}

void Engine::Sleep_Timer_Timer()
{
    timCheckDevice.stop();
    Timer2.stop();
    enableTimer(Timer1);
    Sleep_Timer.stop();
    timCheckDevice.setInterval(5000);
    timCheckDevice.start();
}

// ---------------------------------------------------------------- serial sender

void Engine::prepareRequest(std::uint8_t fn, int frameLen, int replyLen)
{
    FrameLen = std::int16_t(frameLen);
    ReplyLen = std::int16_t(replyLen);
    RxBuf = QByteArray(frameLen, '\0');
    RxBuf[2] = char(fn);
}

void Engine::sendFrame(const QByteArray& frame, int replyLen)
{
    RxBuf = frame;
    FrameLen = std::int16_t(frame.size());
    ReplyLen = std::int16_t(replyLen);
    SendCommand();
}

void Engine::SendCommand()
{
    if (RxBuf.size() != FrameLen || FrameLen < FRAMING)
        throw RuntimeError(QStringLiteral("下标越界"));
    finishFrame(RxBuf);
    CrcLen = FrameLen;
    CrcValue = std::uint8_t(RxBuf[FrameLen - 4]) | (std::uint8_t(RxBuf[FrameLen - 3]) << 8);
    const auto fn = std::uint8_t(RxBuf[2]);
    if (fn == 4 || fn == 10 || fn == 11)
        timMscon.setInterval(5000);
    if (!port_ || !port_->isOpen())
        throw RuntimeError(QStringLiteral("端口没有打开"));
    // The input is emptied before the write goes out, so no byte of the reply
    // can be lost to it; what is left of an earlier reply is gone.
    port_->clearInput();
    port_->setThreshold(ReplyLen);
    if (!port_->write(RxBuf))
        throw RuntimeError(QStringLiteral("写端口错误"));
    askedFns_.insert(fn, clock_.elapsed());
    enableTimer(timMscon);
    StatusText.clear();
    Q_EMIT frameSent(RxBuf);
}

void Engine::ReopenComm(const QString& settings)
{
    if (!port_)
        return;
    const QString name = port_->portName();
    if (port_->isOpen())
        port_->close();
    QString why;
    if (port_->open(name, settings, &why) != 0)
        throw RuntimeError(why);
}

// ---------------------------------------------------------------- serial receive

void Engine::setSerialBuilder(std::int16_t code, Action builder) { serialBuilders_.insert(code, std::move(builder)); }
void Engine::setSerialDecoder(std::uint8_t fn, Action decoder, Check accept)
{
    serialDecoders_.insert(fn, std::move(decoder));
    if (accept)
        setSerialCheck(fn, std::move(accept));
}

void Engine::setSerialCheck(std::uint8_t fn, Check accept) { serialChecks_.insert(fn, std::move(accept)); }

std::span<const std::uint8_t> Engine::replyPayload(bool serialLink) const
{
    const QByteArray& buf = serialLink ? RxBuf : NetRxBuf;
    const qsizetype at = serialLink ? PAYLOAD_AT : 12;
    const qsizetype tail = serialLink ? 4 : 0; // CRC and end markers
    if (buf.size() < at + tail)
        return {};
    return {reinterpret_cast<const std::uint8_t*>(buf.constData()) + at, std::size_t(buf.size() - at - tail)};
}

bool Engine::accepted(const Check& check, bool serialLink, const QString& tag)
{
    if (!check || check(replyPayload(serialLink)))
        return true;
    WriteErrorLog(QStringLiteral("应答数据无效，已丢弃"), tag);
    return false;
}

void Engine::onPortEvent()
{
    if (modalDepth() > 0) {
        portEventPending_ = true; // held until the open box is closed
        return;
    }
    portEventPending_ = false;
    Comm1_OnComm();
}

void Engine::runHeldEvents()
{
    if (modalDepth() > 0)
        return;
    if (portEventPending_)
        onPortEvent();
    while (!heldDatagrams_.isEmpty() && modalDepth() == 0)
        wsckR_W_DataArrival(heldDatagrams_.takeFirst());
}

void Engine::storeZigbee(bool serialLink)
{
    ZigbeeBlock b;
    if (!decodeZigbee(replyPayload(serialLink), b))
        throw RuntimeError(QStringLiteral("应答长度不足"));
    auto& z = Zigbee;
    z.ZbLogic = b.logic;
    z.ZbNetType = b.netType;
    z.ZbDNO = std::int32_t((std::uint32_t(z.ZbDNO) & 0xFFFF0000u) | b.dnoLow); // the upper half stays
    z.ZbChannelMask = b.channelMask;
    std::copy(std::begin(b.mac), std::end(b.mac), z.ZbMAC.begin());
    std::copy(std::begin(b.extPan), std::end(b.extPan), z.ZbExtPan.begin());
    z.ZbEnable = b.enable;
    z.ZbChainAddr = b.chainAddr;
    z.ZbAdvParam1 = b.adv1;
    z.ZbAdvParam2 = b.adv2;
    z.ZbAdvParam3 = b.adv3;
    z.ZbAdvFlag = b.advFlag;
    nb_->DistributeZigbeeParam();
}

void Engine::Comm1_OnComm()
{
    trap(QStringLiteral("Comm1_OnComm(Form1)"), [&] {
        ++RxCount;
        view_->setRxCount(QString::number(RxCount));
        timMscon.stop();
        const int count = port_ ? port_->bytesAvailable() : 0;
        CrcLen = std::int16_t(count + 2);
        RxBuf = port_ ? port_->readAll() : QByteArray();
        switch (checkFrame(RxBuf)) {
        case serial::Check::TooShort:
            throw RuntimeError(QStringLiteral("下标越界"));
        case serial::Check::BadCrc:
            // A corrupted frame is shown and dropped, never dispatched.
            CrcValue = 1;
            view_->setStatus(QString::fromUtf8(TEXT_CRC_ERROR));
            return;
        case serial::Check::BadMarkers:
            return;
        case serial::Check::Ok:
            break;
        }
        CrcValue = 0;
        // The frame carries no sequence number: the engine's record of what it
        // asked in this connection is the only witness. A reply to a request
        // of an earlier connection is counted and goes no further.
        if (serialReplyStale(std::uint8_t(RxBuf[2])))
            return;
        view_->setStatus(QString());
        if (nb_->AQPageOpen()) {
            nb_->OnDevReturnFromComm();
            return;
        }
        dispatchSerialReply();
    });
}

void Engine::dispatchSerialReply()
{
    const auto fn = std::uint8_t(RxBuf[2]);
    const auto* row = findReply(fn);
    // A firmware request is answered by its own code only: any other reply,
    // or one refused, ends the upgrade; no further block goes out.
    if (UpgradeTimeout == 1
        && (fn != upgradeReplyFn_ || !accepted(serialChecks_.value(fn), true, QStringLiteral("Comm1_OnComm(Form1)")))) {
        endUpgrade(UpgradeEnd::Failed);
        return;
    }
    if (!row) {
        resume();
        view_->setStatus(QString::fromUtf8(TEXT_NO_SUCH_FUNCTION));
        // The serial link's refusal of a slave record: a code nobody asked for.
        if (owner_ == Owner::SlaveWrite)
            nb_->slaveRowFailed();
        return;
    }
    if (!accepted(serialChecks_.value(fn), true, QStringLiteral("Comm1_OnComm(Form1)")))
        return;
    const auto text = [&] {
        if (row->text)
            view_->setStatus(QString::fromUtf8(row->text));
    };
    const auto decode = [&] {
        const auto it = serialDecoders_.constFind(fn);
        if (it != serialDecoders_.constEnd())
            (*it)();
    };

    switch (fn) {
    case 32: // slave record
        text();
        resume();
        nb_->stopSlaveCheckTimer();
        decode();
        return;
    case 34: // AQ zero/full write
        text();
        resume();
        if (AQZFTwoStep) {
            PendParam = 3;
            AQZFTwoStep = false;
        }
        return;
    case 38: // AQ channel-type write
        text();
        resume();
        if (AQTypeChanged)
            AQTypeChanged = false;
        else
            nb_->SetAQDQChange();
        return;
    case 40: // RAM test
        text();
        resume();
        timMscon.stop();
        timMscon.setInterval(5000);
        timMscon.start();
        decode();
        return;
    case 44:
    case 45:
    case 46:
        PendParam = 0;
        text();
        resume();
        return;
    case 47:
        firmwareBlockReply();
        return;
    case 52:
        restoreDefaultsReply();
        return;
    case 57: // ZigBee parameters
        resume();
        text();
        storeZigbee(true);
        return;
    case 65: // ZigBee communication test
        view_->setStatus(QString::fromUtf8(zigbeeTestText(std::uint8_t(RxBuf[PAYLOAD_AT]))));
        resume();
        return;
    case FN_READ_RESEND_SLAVE:
    case FN_READ_RESEND:
    case FN_READ_RONGYU:
    case FN_READ_SM:
    case FN_READ_CTRL:
        text();
        switch (fn) {
        case FN_READ_RESEND_SLAVE: nb_->OnReadSlave(); break;
        case FN_READ_RESEND: nb_->OnReadResend(); break;
        case FN_READ_RONGYU: nb_->OnReadRongyu(); break;
        case FN_READ_SM: nb_->OnReadSM(); break;
        default: nb_->OnReadCtrl(); break;
        }
        resume();
        return;
    default:
        break;
    }

    if (row->textAfterDecode) {
        decode();
        text();
    } else {
        text();
        decode();
    }
    if (row->ending == Ending::Resume)
        resume();
    if (row->restoreInterval)
        Timer1.setInterval(TimerInterval);
    if (row->msconTo5000)
        timMscon.setInterval(5000);
}

void Engine::firmwareBlockReply()
{
    PendParam = 0;
    Timer2.stop();
    Timer1.stop();
    if (nb_->progressAtMaximum()) {
        // The transfer is complete: back to the normal pace and speed, and the
        // stack is free for the next stage.
        setOwner(Owner::None);
        nb_->endProgress();
        Timer1.setInterval(TimerInterval);
        if (port_)
            port_->setSettings(QString::fromLatin1(texts::SETTINGS_9600));
        switch (nb_->UpgradeMode()) {
        case 2:
            view_->setStatus(QString::fromUtf8(texts::UPGRADE_MAIN_OK));
            MsgBox(QString::fromUtf8(texts::UPGRADE_WAIT_INIT_BOX));
            nb_->setUpgradeMode(5);
            nb_->Cmd_SetDefault_Click();
            break;
        case 3:
            view_->setStatus(QString::fromUtf8(texts::UPGRADE_BOOT_OK));
            MsgBox(QString::fromUtf8(texts::UPGRADE_POWER_CYCLE_BOX));
            nb_->DownBin();
            break;
        case 4:
            view_->setStatus(QString::fromUtf8(texts::UPGRADE_IAP_OK));
            nb_->DownBoot();
            break;
        case 0:
            view_->setStatus(QString::fromUtf8(texts::UPGRADE_MAIN_OK));
            nb_->StartRun_Click();
            break;
        default:
            break;
        }
    }
    Timer2.stop();
    enableTimer(Timer1);
}

void Engine::restoreDefaultsReply()
{
    Timer2.stop();
    Timer1.stop();
    view_->setStatus(QString::fromUtf8(findReply(FN_RESTORE_DEFAULTS)->text));
    if (nb_->UpgradeMode() == 5) {
        nb_->setUpgradeMode(1);
        nb_->DownParaAndOrder();
    }
    Timer2.stop();
    enableTimer(Timer1);
}
