#include "link/engine.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "link/texts.h"
#include "proto/serial_commands.h"
#include "proto/net_datagram.h"
#include "proto/serial_frame.h"

#include <QPointer>
#include <algorithm>
#include <utility>

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
    connect(&timCheckDevice, &QTimer::timeout, this, [this] {
        if (!mayRun(timCheckDevice)) {
            timCheckDevice.stop();
            return;
        }
        Q_EMIT watchdogTick();
    });
    // Blocks follow each other at the 10 ms tick: a coarse timer would let
    // each tick slip by up to half a millisecond.
    Timer1.setTimerType(Qt::PreciseTimer);
    if (port_) {
        connect(port_, &SerialTransport::received, this, &Engine::onPortEvent);
        // Before anyone else hears of it: the link is down.
        connect(port_, &SerialTransport::lost, this, [this](const QString& why) {
            trap(QStringLiteral("Comm1_OnComm(Form1)"), [&] { losePort(why); });
        });
    }
    CmdStack[0] = QS_REFRESH_LIVE;
    expiry_.setObjectName(QStringLiteral("expiry"));
    connect(&expiry_, &QTimer::timeout, this, &Engine::expireAsked);

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
    stackRefilledAbove(CmdTop);
    ++CmdTop;
    CmdStack[std::size_t(CmdTop)] = code;
    entryParam_[std::size_t(CmdTop)].reset();
}

void Engine::push(std::int16_t code, std::int32_t param)
{
    refuseWhileOwned();
    if (CmdTop >= STACK_TOP_MAX || CmdTop < 0)
        throw RuntimeError(QStringLiteral("下标越界"));
    PendParam = param;
    push(code);
    entryParam_[std::size_t(CmdTop)] = param;
}

void Engine::setParam(std::int32_t param)
{
    refuseWhileOwned();
    PendParam = param;
}

void Engine::loadList(std::span<const std::int16_t> entries)
{
    refuseWhileOwned();
    fillStack(entries);
}

bool Engine::mayOwn()
{
    if (!mayQueue())
        return false;
    // An owner with nothing on its way would refuse every command until the
    // user found 继续 or Stop.
    if (!linked_ || held()) {
        MsgBox(QString::fromUtf8(linked_ ? texts::LINK_HELD : texts::LINK_NOT_STARTED));
        return false;
    }
    return true;
}

void Engine::loadOwnedList(std::span<const std::int16_t> entries, Owner who)
{
    if (!mayOwn())
        throw Abandoned{};
    fillStack(entries);
    setOwner(who);
}

void Engine::own(Owner who)
{
    if (!mayOwn())
        throw Abandoned{};
    setOwner(who);
}

void Engine::release(Owner who)
{
    if (owner_ == who)
        setOwner(Owner::None);
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
    if (finishUpgrade(how))
        MsgBox(QString::fromUtf8(texts::UPGRADE_FAILED_BOX));
}

bool Engine::finishUpgrade(UpgradeEnd how)
{
    const bool failed = how == UpgradeEnd::Failed;
    if (owner_ != Owner::Upgrade && !(failed && UpgradeTimeout == 1))
        return false;
    UpgradeTimeout = 0;
    Timer2.stop(); // no second time-out while the box is open
    nb_->resetFirmwareBlocks();
    nb_->endProgress();
    Timer1.setInterval(TimerInterval);
    dropQueued();
    release(Owner::Upgrade);
    if (!failed)
        return false;
    view_->setStatus(QString::fromUtf8(texts::UPGRADE_TIMEOUT));
    if (setSpeed(QString::fromLatin1(texts::SETTINGS_9600)))
        enable(Timer1);
    return true;
}

// ---------------------------------------------------------------- connections

void Engine::newConnection(End how, bool linked, bool announceEnd)
{
    const bool ended = linked_ || announceEnd;
    // The requests left waiting keep their own time: within it a late reply
    // of the old connection may still come, and is dropped.
    stopTimers(); // nothing runs on for the old device
    linked_ = false;
    ++connection_;
    // What came for the old connection while a box was open is as late as
    // any reply of it: counted, nothing more.
    if (std::exchange(portEventPending_, false))
        view_->setRxCount(QString::number(++RxCount));
    if (!heldDatagrams_.isEmpty()) {
        NetRxCount += std::int32_t(heldDatagrams_.size());
        heldDatagrams_.clear();
        view_->setRxCount(QString::number(NetRxCount));
    }
    // What the old connection owned ends with it, before anyone hears of the
    // change; the box of a failed upgrade waits until everyone has.
    bool upgradeBox = false;
    if (owner_ == Owner::Upgrade)
        upgradeBox = finishUpgrade(how == End::Stopped ? UpgradeEnd::Stopped : UpgradeEnd::Failed);
    release(Owner::SlaveWrite);
    dropQueued(); // nothing queued for the old device goes to the next one
    UpgradeTimeout = 0;
    SetParaPending = false;
    devIdBaseRead_ = -1;
    AQZFTwoStep = false;
    Zigbee = {};
    setHolds(holds_ & ~unsigned(Hold::User)); // the user's pause was the old link's
    if (ended)
        Q_EMIT connectionEnded();
    linked_ = linked;
    Q_EMIT connectionChanged(connection_);
    if (upgradeBox)
        MsgBox(QString::fromUtf8(texts::UPGRADE_FAILED_BOX));
}

void Engine::capAsked()
{
    // A request whose time-out cannot fire (its timer stopped by another
    // reply) waits at most until this many were sent after it.
    constexpr std::size_t KEPT = 32;
    if (asked_.size() > KEPT)
        asked_.erase(asked_.begin(), asked_.end() - KEPT);
}

void Engine::recordAsked(Waiting w)
{
    w.connection = connection_;
    w.number = ++sent_;
    w.by = asker_;
    w.code = asker_ == Asker::Page ? rowCode_ : std::int16_t(-1);
    // Its own time: the window's time-out, else the lost-reply time.
    const int ms = asker_ == Asker::Window ? askerTimeout_ : timMscon.interval() > 0 ? timMscon.interval() : 5000;
    w.until = QDeadlineTimer(ms);
    asked_.push_back(std::move(w));
    capAsked();
    armExpiry();
}

void Engine::armExpiry()
{
    qint64 next = -1;
    for (const Waiting& w : asked_)
        if (!(w.awaited && w.connection == connection_)) // the reply time-out ends that one
            next = next < 0 ? w.until.remainingTime() : std::min(next, w.until.remainingTime());
    if (next < 0)
        expiry_.stop();
    else
        expiry_.start(int(std::clamp<qint64>(next, 1, 60000)));
}

void Engine::expireAsked()
{
    if (modalDepth() > 0) {
        expiry_.start(50); // a reply the box holds may still answer one of them
        return;
    }
    if (portEventPending_ || !heldDatagrams_.isEmpty())
        runHeldEvents();
    std::vector<Waiting> ended;
    for (auto it = asked_.begin(); it != asked_.end();) {
        if (!(it->awaited && it->connection == connection_) && it->until.hasExpired()) {
            ended.push_back(std::move(*it));
            it = asked_.erase(it);
        } else {
            ++it;
        }
    }
    armExpiry();
    for (const Waiting& w : ended)
        lost(w);
}

void Engine::lost(const Waiting& w)
{
    if (w.by == Asker::Page && w.connection == connection_)
        Q_EMIT replyLost(w.code);
}

void Engine::forgetAwaited()
{
    const auto it = std::find_if(asked_.begin(), asked_.end(),
                                 [this](const Waiting& w) { return w.awaited && w.connection == connection_; });
    const std::int16_t code = it != asked_.end() ? it->code : rowCode_;
    if (it != asked_.end())
        asked_.erase(it);
    armExpiry();
    Q_EMIT replyLost(code);
}

bool Engine::awaitsPage() const
{
    return std::any_of(asked_.begin(), asked_.end(), [this](const Waiting& w) {
        return w.awaited && w.by == Asker::Page && w.connection == connection_;
    });
}

void Engine::answering(const Waiting& w)
{
    answered_ = {w.write, w.seq, w.index, w.subIndex, w.param, w.code};
    answersAwaited_ = w.awaited || !awaitsPage();
}

Engine::Waiting Engine::takeAnswered(std::vector<Waiting>::iterator it)
{
    Waiting w = std::move(*it);
    asked_.erase(it);
    std::vector<Waiting> ended;
    // A datagram the device answered ends the page's requests sent before it
    // on the device socket: their answers are not coming any more.
    if (w.net && w.by == Asker::Page) {
        for (auto i = asked_.begin(); i != asked_.end();) {
            if (i->net && i->by == Asker::Page && i->connection == w.connection && i->number < w.number) {
                ended.push_back(std::move(*i));
                i = asked_.erase(i);
            } else {
                ++i;
            }
        }
    }
    armExpiry();
    answering(w);
    for (const Waiting& e : ended)
        if (!e.awaited)
            lost(e);
    return w;
}

bool Engine::heldRepliesFirst(const QTimer& t)
{
    if (!portEventPending_ && heldDatagrams_.isEmpty())
        return false;
    runHeldEvents();
    return !t.isActive();
}

Engine::Answer Engine::serialAnswer(std::uint8_t fn, Waiting& taken)
{
    const auto earlier = [this](const Waiting& w) { return !w.net && w.connection != connection_; };
    // The first reply after the change settles what the ended connection left
    // waiting: the device answers in order, so if this is not its answer none is coming.
    const bool late = std::any_of(asked_.begin(), asked_.end(), [&](const Waiting& w) { return earlier(w) && w.fn == fn; });
    std::erase_if(asked_, earlier);
    if (late) {
        armExpiry();
        return Answer::Earlier;
    }
    const auto it = std::find_if(asked_.begin(), asked_.end(), [fn](const Waiting& w) { return !w.net && w.fn == fn; });
    if (it == asked_.end()) {
        armExpiry();
        return Answer::Unasked;
    }
    taken = takeAnswered(it);
    return taken.by == Asker::ClosedWindow ? Answer::Earlier : Answer::Taken;
}

bool Engine::refusesAwaited(std::uint8_t fn, Waiting& refused)
{
    if (!Timer2.isActive() || (findReply(fn) && UpgradeTimeout != 1))
        return false;
    const auto it = std::find_if(asked_.begin(), asked_.end(),
                                 [this](const Waiting& w) { return w.awaited && w.connection == connection_; });
    if (it == asked_.end())
        return false;
    refused = takeAnswered(it);
    return true;
}

QString Engine::connectedDevice() const
{
    return linked_ && wsckR_W_ && view_->linkOption() == 1 ? aimedHost_ : QString();
}

int Engine::openSerial(const QString& name, const QString& settings, QString* why)
{
    if (port_ && port_->isOpen())
        port_->close();
    const int err = port_ ? port_->open(name, settings, why) : 8002;
    newConnection(End::Stopped, err == 0);
    // A request left waiting on one port is never answered on another.
    std::erase_if(asked_, [&name](const Waiting& w) { return w.net || w.port != name; });
    armExpiry();
    return err;
}

int Engine::listen(quint16 port, QString* why)
{
    if (!discovery_)
        return 10038;
    const int err = discovery_->bind(port, why);
    listening_ = err == 0;
    return err;
}

void Engine::closeLink(End how)
{
    if (port_ && port_->isOpen())
        port_->close();
    if (wsckR_W_)
        wsckR_W_->close();
    if (discovery_)
        discovery_->close();
    listening_ = watching_ = false;
    timCheckDevice.stop();
    aimedHost_.clear();
    newConnection(how, false, true);
}

void Engine::losePort(const QString& why)
{
    closeLink(End::Lost);
    Q_EMIT portLost(why);
}

bool Engine::setSpeed(const QString& settings)
{
    if (!port_ || !port_->isOpen())
        return true;
    if (port_->setSettings(settings) == 0)
        return true;
    losePort(QString::fromUtf8(texts::PORT_REFUSES_SETTINGS).arg(settings));
    return false;
}

int Engine::aimDevice(const QString& host, quint16 port, QString* why)
{
    if (!wsckR_W_)
        return 10038;
    wsckR_W_->close();
    wsckR_W_->setRemote(host, port);
    const int err = wsckR_W_->bind(port, why);
    aimedHost_ = err == 0 ? host : QString();
    newConnection(End::Lost, err == 0, true);
    return err;
}

void Engine::deviceGone()
{
    aimedHost_.clear();
    newConnection(End::Lost, false);
}

void Engine::start(std::span<const std::int16_t> entries)
{
    loadList(entries);
    timMscon.setInterval(5000);
    Timer1.setInterval(TimerInterval);
    enable(Timer1);
}

void Engine::setHolds(unsigned holds)
{
    if (holds == holds_)
        return;
    const bool was = held();
    holds_ = holds;
    if (was != held())
        Q_EMIT holdChanged(held());
}

void Engine::pause(Hold who)
{
    if (who == Hold::User && !running())
        return; // no link: nothing to pause (the AQ window's hold outlasts links)
    // A request the page waits for keeps its own time-out, and its answer
    // is the page's whoever holds the link.
    setHolds(holds_ | unsigned(who));
    Timer1.stop();
    timCheckDevice.stop();
}

void Engine::resume(Hold who)
{
    if (!heldBy(who))
        return;
    setHolds(holds_ & ~unsigned(who));
    // The window's requests were its own: what answers them later, within
    // their own time, is nobody's, and is dropped unseen.
    if (who == Hold::AqWindow)
        for (Waiting& w : asked_)
            if (w.by == Asker::Window)
                w.by = Asker::ClosedWindow;
    // A request still waiting restarts the dispatcher itself, as does the end of a pause.
    if (!Timer2.isActive() && !Sleep_Timer.isActive())
        enable(Timer1);
    enable(timCheckDevice);
}

void Engine::watch(bool on)
{
    watching_ = on && listening_;
    if (watching_)
        enable(timCheckDevice);
    else
        timCheckDevice.stop();
}

void Engine::zeroCounters()
{
    TimeoutCount = RxCount = NetRxCount = 0;
    view_->setLostCount(QStringLiteral("0"));
    view_->setRxCount(QStringLiteral("0"));
}

bool Engine::mayRun(const QTimer& t) const
{
    if (&t == &timCheckDevice)
        return listening_ && watching_ && !held();
    if (&t == &Timer1)
        return linked_ && !held();
    return linked_;
}

void Engine::enable(QTimer& t)
{
    if (mayRun(t) && !t.isActive() && t.interval() > 0)
        t.start();
}

void Engine::restart(QTimer& t)
{
    if (mayRun(t))
        t.start();
}

void Engine::armReplyTimeout(int ms)
{
    Timer1.stop();
    Timer2.setInterval(ms);
    restart(Timer2);
    // The request this row just sent is the one the dispatcher waits for;
    // one waited for before whose wait ended otherwise lives its own time.
    if (!asked_.empty() && asked_.back().number > rowSent_ && asked_.back().by == Asker::Page) {
        for (Waiting& w : asked_)
            w.awaited = false;
        asked_.back().awaited = true;
        asked_.back().until = QDeadlineTimer(ms);
        armExpiry();
    }
}

void Engine::stopTimers()
{
    for (QTimer* t : {&Timer1, &Timer2, &timMscon, &Sleep_Timer})
        t->stop();
}

void Engine::fillStack(std::span<const std::int16_t> entries)
{
    if (entries.empty() || entries.size() > CmdStack.size())
        throw RuntimeError(QStringLiteral("命令表长度错误"));
    const bool dropped = CmdTop > 0;
    std::size_t i = 0;
    for (auto c : entries) {
        entryParam_[i].reset();
        CmdStack[i++] = c;
    }
    CmdTop = std::int16_t(entries.size() - 1);
    stackRefilledAbove(0);
    if (dropped)
        queueWasDropped();
}

void Engine::queueWasDropped()
{
    // The marks a list set for its own entries go with them.
    SetParaPending = false;
    AQZFTwoStep = false;
    AQTypeChanged = false;
    Q_EMIT queueDropped();
}

void Engine::dropQueued()
{
    if (CmdTop <= 0)
        return;
    CmdTop = 0;
    stackRefilledAbove(0);
    queueWasDropped();
}

void Engine::stackRefilledAbove(int top)
{
    // An entry that takes the place of one run or dropped is not what lay under a refused write.
    underRow_ = std::min(underRow_, top);
    refusedUnder_ = std::min(refusedUnder_, top);
}

bool Engine::queued(std::int16_t code) const { return queuedCount(code) > 0; }

int Engine::queuedCount(std::int16_t code) const
{
    int n = 0;
    for (int i = 1; i <= CmdTop; ++i)
        n += CmdStack[std::size_t(i)] == code ? 1 : 0;
    return n;
}

void Engine::replyDone()
{
    // The answer to another request leaves the wait of the one waited for alone.
    if (!answersAwaited_)
        return;
    Timer2.stop();
    enable(Timer1);
}

// ---------------------------------------------------------------- dispatcher

void Engine::Timer1_Timer()
{
    if (modalDepth() > 0)
        return; // a message box of this tick or of a reply is still open
    if (!mayRun(Timer1)) {
        Timer1.stop(); // nothing talks to a device outside a connection
        return;
    }
    trap(TICK_TAG, [&] {
        view_->setStatus(QString());
        UpgradeTimeout = 0;
        const int option = view_->linkOption();
        bool keepEntry = false;
        rowSent_ = sent_;
        if (option == 0 || option == 1) {
            if (CmdTop < 0 || CmdTop > STACK_TOP_MAX)
                throw RuntimeError(QStringLiteral("下标越界"));
            const auto code = CmdStack[std::size_t(CmdTop)];
            rowCode_ = code;
            if (const auto param = entryParam_[std::size_t(CmdTop)])
                PendParam = *param;
            if (option == 0)
                runSerialRow(code, keepEntry);
            else
                runEthRow(code, keepEntry);
        }
        if (!keepEntry && CmdTop != 0)
            --CmdTop;
    });
}

Engine::Built Engine::build(const QString& tag, const Action& builder)
{
    try {
        builder();
        return Built::Sent;
    } catch (const Abandoned&) {
        return Built::Refused;
    } catch (const std::exception& e) {
        WriteErrorLog(QString::fromStdString(e.what()), tag);
    } catch (...) {
        WriteErrorLog(QStringLiteral("unknown error"), tag);
    }
    return Built::Failed;
}

Engine::Built Engine::runSerialBuilder(std::int16_t code)
{
    const auto it = serialBuilders_.constFind(code);
    if (it != serialBuilders_.constEnd()) {
        const auto* row = findCommand(code);
        return build(QString::fromLatin1(row ? row->builder : "builder") + QStringLiteral("(Form1)"), *it);
    }
    const auto* row = findCommand(code);
    if (row && row->build == Build::Plain) {
        return build(QStringLiteral("SendCommand(Form1)"), [&] {
            prepareRequest(row->fn, row->frameLen, row->replyLen);
            SendCommand();
        });
    }
    return Built::Failed; // no builder yet: nothing goes out, the time-out reports the loss
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

    const auto arm = [&](int ms) { armReplyTimeout(ms); };

    switch (code) {
    case QS_TEST_RAM:
        runSerialBuilder(code);
        armRamTest();
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

    const Built built = runSerialBuilder(code);
    // A refused input was the user's to mend: the box said why, nothing waits.
    if (built == Built::Refused)
        refused();
    else if (row->timeoutMs > 0)
        arm(row->timeoutMs);

    if (code == QS_WRITE_SLAVE)
        keepEntry = slaveRowsLeft();
}

void Engine::refused()
{
    // The word is the refusal's: no wait text stays, no time-out follows,
    // and the dispatcher goes on with the rest of the stack.
    StatusText.clear();
    view_->setStatus(QString());
    Timer2.stop();
    enable(Timer1);
}

void Engine::armRamTest()
{
    timMscon.stop();
    timMscon.setInterval(8000);
    armReplyTimeout(8000);
    restart(timMscon);
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
    if (heldRepliesFirst(Timer2))
        return; // the reply came in time; a box held it
    if (!mayRun(Timer2)) {
        Timer2.stop();
        return;
    }
    trap(QStringLiteral("Timer2_Timer(Form1)"), [&] {
        if (UpgradeTimeout == 0)
            view_->setStatus(QString::fromUtf8(texts::TIMEOUT));
        else
            endUpgrade(UpgradeEnd::Failed);
        if (owner_ == Owner::SlaveWrite)
            nb_->slaveRowFailed();
    });
    enable(Timer1);
    Timer2.stop();
    // The request whose time-out this was waits no more.
    forgetAwaited();
}

void Engine::timMscon_Timer()
{
    if (modalDepth() > 0 || heldRepliesFirst(timMscon))
        return;
    timMscon.stop();
    if (!mayRun(timMscon))
        return;
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
    restart(Sleep_Timer);
    return true;
}

void Engine::Sleep_Timer_Timer()
{
    Sleep_Timer.stop();
    if (!mayRun(Sleep_Timer))
        return;
    timCheckDevice.stop();
    Timer2.stop();
    enable(Timer1);
    timCheckDevice.setInterval(5000);
    restart(timCheckDevice);
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
    Waiting w;
    w.fn = fn;
    w.port = port_->portName();
    recordAsked(std::move(w));
    enable(timMscon);
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
    if (port_->open(name, settings, &why) != 0) {
        // A port that cannot be opened again is lost: the link ends here.
        losePort(why);
        throw Abandoned{};
    }
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
    // Only while this reply is handled may it leave another request's wait alone.
    const struct Reset {
        bool& flag;
        ~Reset() { flag = true; }
    } reset{answersAwaited_};
    trap(QStringLiteral("Comm1_OnComm(Form1)"), [&] {
        ++RxCount;
        view_->setRxCount(QString::number(RxCount));
        const int count = port_ ? port_->bytesAvailable() : 0;
        CrcLen = std::int16_t(count + 2);
        RxBuf = port_ ? port_->readAll() : QByteArray();
        const auto check = checkFrame(RxBuf);
        // A reply is taken only for a request of this connection that has had
        // none yet. Any other frame is counted and goes no further: the
        // requests that wait run on to their own replies or time-outs, and the
        // lost-reply counter runs on. A refusal answers the request waited for.
        Waiting asked;
        if (check == serial::Check::Ok) {
            const auto fn = std::uint8_t(RxBuf[2]);
            const Answer answer = serialAnswer(fn, asked);
            if (answer == Answer::Earlier)
                return;
            if (answer == Answer::Unasked && !refusesAwaited(fn, asked))
                throw RuntimeError(QString::fromUtf8(texts::REPLY_NOT_ASKED).arg(fn));
        }
        timMscon.stop();
        switch (check) {
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
        // The answer goes to whoever asked: the window's to the window, the
        // page's to the page, whoever holds the link now.
        if (asked.by == Asker::Window) {
            if (nb_->AQPageOpen())
                nb_->OnDevReturnFromComm();
            return;
        }
        view_->setStatus(QString());
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
        replyDone();
        view_->setStatus(QString::fromUtf8(TEXT_NO_SUCH_FUNCTION));
        Q_EMIT replyLost(answered_.code);
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
        replyDone();
        nb_->stopSlaveCheckTimer();
        decode();
        return;
    case 34: // AQ zero/full write
        text();
        replyDone();
        if (AQZFTwoStep) {
            PendParam = 3;
            AQZFTwoStep = false;
        }
        return;
    case 38: // AQ channel-type write
        text();
        replyDone();
        if (AQTypeChanged)
            AQTypeChanged = false;
        else
            nb_->SetAQDQChange();
        return;
    case 40: // RAM test
        text();
        replyDone();
        timMscon.stop();
        timMscon.setInterval(5000);
        restart(timMscon);
        decode();
        return;
    case 44:
    case 45:
    case 46:
        PendParam = 0;
        text();
        replyDone();
        return;
    case 47:
        firmwareBlockReply();
        return;
    case 52:
        restoreDefaultsReply();
        return;
    case 57: // ZigBee parameters
        replyDone();
        text();
        storeZigbee(true);
        return;
    case 65: // ZigBee communication test
        view_->setStatus(QString::fromUtf8(zigbeeTestText(std::uint8_t(RxBuf[PAYLOAD_AT]))));
        replyDone();
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
        replyDone();
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
        replyDone();
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
        if (!setSpeed(QString::fromLatin1(texts::SETTINGS_9600)))
            return; // the link has ended with the port
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
    enable(Timer1);
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
    enable(Timer1);
}
