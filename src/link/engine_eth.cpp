// The Ethernet side of the engine: the rows of the Ethernet command table, the
// idle poll, the two UDP senders, the reply checks and the reply dispatch.
#include "base/errorlog.h"
#include "base/filename.h"
#include "base/msgbox.h"
#include "link/engine.h"
#include "link/texts.h"
#include "proto/eth_commands.h"
#include "proto/eth_replies.h"
#include "proto/net_datagram.h"

#include <QFile>

using namespace net;

void Engine::setDeviceSocket(UdpTransport* socket)
{
    if (wsckR_W_)
        disconnect(wsckR_W_, nullptr, this, nullptr);
    wsckR_W_ = socket;
    if (!wsckR_W_)
        return;
    connect(wsckR_W_, &UdpTransport::foreignDatagram, this, &Engine::onForeignDatagram);
    connect(wsckR_W_, &UdpTransport::datagram, this, [this](const QByteArray& d) {
        if (modalDepth() > 0)
            heldDatagrams_ << d; // held until the open box is closed
        else
            wsckR_W_DataArrival(d);
    });
}

void Engine::onForeignDatagram()
{
    // Only the chosen device answers: anything else is counted and ignored.
    ++NetRxCount;
    view_->setRxCount(QString::number(NetRxCount));
}

void Engine::setEthBuilder(std::int16_t code, Action builder) { ethBuilders_.insert(code, std::move(builder)); }
void Engine::setEthAction(const QString& name, Action action, Check accept)
{
    ethActions_.insert(name, std::move(action));
    if (accept)
        setEthCheck(name, std::move(accept));
}

void Engine::setEthCheck(const QString& name, Check accept) { ethChecks_.insert(name, std::move(accept)); }

// ---------------------------------------------------------------- rows

void Engine::runEthRow(std::int16_t code, bool& keepEntry)
{
    const auto* row = findEthCommand(code);
    if (!row) {
        view_->setStatus(QString::fromUtf8(serial::TEXT_NO_SUCH_FUNCTION));
        StatusText.clear();
        return;
    }
    // Whether this row lay under a refused write; and what lies under it.
    readBackOfRefusal_ = CmdTop > 0 && CmdTop <= refusedUnder_ && refusedConnection_ == connection_;
    underRow_ = std::max(CmdTop - 1, 0);
    if (code == QE_REFRESH_LIVE) {
        Timer1.setInterval(TimerInterval);
        StatusText = QString::fromUtf8(row->status);
        trap(QStringLiteral("CircularRead(Form1)"), [&] { CircularRead(); });
        return;
    }
    if (code == QE_WRITE_SLAVE && noSlaveRowLeft())
        return;
    const bool alt = row->statusAlt && PendParam == 0;
    if (const char* st = alt ? row->statusAlt : row->status)
        StatusText = QString::fromUtf8(st);
    PendIndex = row->index;
    PendSubIndex = row->subIndex;
    if (!row->paramAsLeft)
        PendParam = row->param;
    if (const char* wait = alt ? row->waitAlt : row->wait)
        view_->setStatus(QString::fromUtf8(wait));

    const auto arm = [&](int ms) { armReplyTimeout(ms); };
    const QString tag = QString::fromLatin1(row->builder ? row->builder : row->name) + QStringLiteral("(Form1)");
    // Sends the request of the row; a payload builder that ends early sends nothing.
    const auto send = [&] {
        if (!row->write) {
            trap(QStringLiteral("ReadCmd(Form1)"), [&] { ReadCmd(); });
            return Built::Sent;
        }
        const auto it = ethBuilders_.constFind(code);
        if (it == ethBuilders_.constEnd())
            return Built::Failed;
        const Built built = build(tag, *it);
        if (built == Built::Sent && row->builderThenWriteCmd)
            trap(QStringLiteral("WriteCmd(Form1)"), [&] { WriteCmd(); });
        return built;
    };

    switch (code) {
    case QE_TEST_RAM:
        armRamTest();
        send();
        nb_->InitProgress(9, true);
        view_->setStatus(QString::fromUtf8(texts::RAM_TEST_WAIT));
        return;
    case QE_FLASH_START:
    case QE_FLASH_SIZE:
    case QE_FLASH_BLOCK:
        UpgradeTimeout = 1;
        send();
        arm(row->timeoutMs);
        if (code == QE_FLASH_START) {
            timMscon.stop();
            timMscon.setInterval(10000);
            Timer1.stop();
            restart(Timer2);
            restart(timMscon);
        } else {
            Timer1.setInterval(10);
        }
        nb_->StepProgress(1);
        return;
    default:
        break;
    }

    // A refused input was the user's to mend: the box said why, nothing waits.
    const Built built = send();
    // Only the answer to this very read is the base of the queued write.
    if (code == QE_READ_PDTAG)
        devIdBaseRead_ = std::exchange(SetParaPending, false) ? int(quint16(ReadSeq)) : -1;
    if (built == Built::Refused)
        refused();
    else if (row->timeoutMs > 0)
        arm(row->timeoutMs);

    if (code == QE_WRITE_SLAVE)
        keepEntry = slaveRowsLeft();
}

void Engine::CircularRead()
{
    if (CircularPhase == 0) {
        CircularPhase = 1;
        if (const auto sub = liveSubIndex(DisplayMode)) {
            PendIndex = IDX_SYSTEM;
            PendSubIndex = *sub;
            PendParam = 0;
            ReadCmd();
        }
    } else {
        CircularPhase = 0;
        PendIndex = IDX_SYSTEM;
        PendSubIndex = SUB_LIVE_DIDO;
        PendParam = 0;
        ReadCmd();
    }
}

// ---------------------------------------------------------------- senders

void Engine::ReadCmd()
{
    const std::int32_t param = PendParam;
    // Slave rows: each read fetches the row in PendParam and leaves the next one.
    if (PendSubIndex == SUB_SLAVE_READ)
        PendParam += 1;
    sendNet(false, PendIndex, PendSubIndex, param, {});
    StatusText.clear();
}

void Engine::WriteCmd()
{
    StagedDevIdBlock.clear(); // whatever this sends, the block read is no longer the one in WritePayload
    if (PendSubIndex == 4 || PendSubIndex == 10 || PendSubIndex == 11)
        timMscon.setInterval(10000);
    sendNet(true, PendIndex, PendSubIndex, PendParam, WritePayload);
    StatusText.clear();
}

void Engine::sendNet(bool write, std::int32_t index, std::int32_t subIndex, std::int32_t param, const QByteArray& payload)
{
    // A closed device socket would bind itself again to send.
    if (!linked_)
        throw RuntimeError(QStringLiteral("套接字没有连接"));
    std::int32_t& seq = write ? WriteSeq : ReadSeq;
    seq = nextSeq(seq);
    QByteArray d;
    if (write) {
        const auto w = NetWriteRequest(quint16(seq), index, subIndex, param, payload);
        if (!w)
            throw RuntimeError(QStringLiteral("溢出"));
        d = *w;
    } else {
        d = NetReadRequest(quint16(seq), index, subIndex, param);
    }
    if (!wsckR_W_ || !wsckR_W_->send(d))
        throw RuntimeError(QStringLiteral("套接字发送失败"));
    Waiting w;
    w.net = true;
    w.write = write;
    w.seq = quint16(seq);
    w.index = index;
    w.subIndex = subIndex;
    w.param = param;
    recordAsked(std::move(w));
    enable(timMscon);
    Q_EMIT datagramSent(d);
}

void Engine::windowRequest(int timeoutMs, const Action& send)
{
    const struct Restore {
        Engine& e;
        ~Restore() { e.asker_ = Asker::Page; }
    } restore{*this};
    asker_ = Asker::Window;
    askerTimeout_ = timeoutMs;
    send();
}

void Engine::sendRead(std::int32_t index, std::int32_t subIndex, std::int32_t param)
{
    sendNet(false, index, subIndex, param, {});
}

void Engine::sendWrite(std::int32_t index, std::int32_t subIndex, std::int32_t param, const QByteArray& payload)
{
    sendNet(true, index, subIndex, param, payload);
}

QByteArray Engine::measureRequest(std::int32_t index)
{
    ReadSeq = nextSeq(ReadSeq);
    return NetReadRequest(quint16(ReadSeq), index, 0, 0);
}

// ---------------------------------------------------------------- receive

void Engine::wsckR_W_DataArrival(const QByteArray& datagram)
{
    const struct Reset {
        bool& flag;
        ~Reset() { flag = true; }
    } reset{answersAwaited_};
    trap(QStringLiteral("wsckR_W_DataArrival(Form1)"), [&] {
        NetRxBuf = datagram;
        ++NetRxCount;
        view_->setRxCount(QString::number(NetRxCount));
        timMscon.stop();
        const auto h = parseReplyHeader(NetRxBuf);
        if (!h || h->kind == ReplyKind::Other)
            return;
        const bool write = h->kind == ReplyKind::Write;
        // The reply answers the request whose service and sequence number it
        // carries: the newest of them, while it waits. Anything else (a copy
        // of a reply handled, an answer after its request ended, a number
        // never sent) is counted and goes no further.
        auto it = asked_.end();
        for (auto i = asked_.begin(); h->hasSeq && i != asked_.end(); ++i)
            if (i->net && i->write == write && i->seq == h->seq)
                it = i;
        if (it == asked_.end()) {
            // A refusal too short to carry a number refuses what the page
            // waits for; while an upgrade runs, any refusal ends it.
            if (!h->ok && (!h->hasSeq || owner_ == Owner::Upgrade) && !nb_->AQPageOpen()) {
                const auto awaited = std::find_if(asked_.begin(), asked_.end(), [this](const Waiting& w) {
                    return w.awaited && w.net && w.connection == connection_;
                });
                Waiting refused; // nothing waited for: the word alone
                if (awaited != asked_.end())
                    refused = takeAnswered(awaited);
                dispatchEthReply(write, false, refused);
            }
            return;
        }
        // A reply belongs to the connection its request was sent in, and to
        // the window that sent it while that window is open.
        const auto* row = it->by == Asker::Page && h->ok ? findEthReply(write, it->index, it->subIndex, it->param) : nullptr;
        const bool userBlock = row && row->action && QLatin1String(row->action) == QLatin1String("userBlockDump");
        Waiting w = userBlock ? *it : takeAnswered(it);
        if (userBlock)
            answering(w); // the user block comes as several replies to its one request
        if (w.connection != connection_ || w.by == Asker::ClosedWindow)
            return;
        if (w.by == Asker::Window) {
            if (nb_->AQPageOpen())
                nb_->OnDevReturnFromSock();
            return;
        }
        dispatchEthReply(write, h->ok, w);
    });
}

void Engine::dispatchEthReply(bool write, bool ok, Waiting& w)
{
    if (!ok) {
        view_->setStatus(QString::fromUtf8(write ? TEXT_WRITE_FAILED : TEXT_READ_FAILED));
        if (owner_ == Owner::Upgrade) {
            // The device refused something while the upgrade runs: whatever
            // it answers, no further block goes out.
            endUpgrade(UpgradeEnd::Failed);
            return;
        }
        if (write) {
            refusedUnder_ = underRow_;
            refusedConnection_ = connection_;
        }
        replyDone();
        if (w.code < 0 && !w.awaited)
            return;
        if (write && owner_ == Owner::SlaveWrite)
            nb_->slaveRowFailed();
        Q_EMIT replyLost(w.code);
        return;
    }
    // The reply is read as the answer to its own request.
    const auto* row = findEthReply(write, w.index, w.subIndex, w.param);
    if (!row)
        return;
    const QString action = row->action ? QString::fromLatin1(row->action) : QString();
    if (!action.isEmpty() && !accepted(ethChecks_.value(action), false, QStringLiteral("wsckR_W_DataArrival(Form1)")))
        return;
    if (row->timers && row->timersFirst)
        replyDone();
    if (row->text)
        showReplyText(row->text);
    if (row->timers && row->timersBeforeAction && !row->timersFirst)
        replyDone();
    if (row->action)
        runEthAction(action);
    if (row->timers && !row->timersFirst && !row->timersBeforeAction)
        replyDone();
}

void Engine::showReplyText(const char* text)
{
    view_->setStatus(QString::fromUtf8(readBackOfRefusal_ ? TEXT_WRITE_FAILED : text));
}

void Engine::runEthAction(const QString& name)
{
    const auto registered = [&] {
        const auto it = ethActions_.constFind(name);
        if (it != ethActions_.constEnd())
            (*it)();
    };
    if (name == QLatin1String("userBlockDump")) {
        userBlockDump();
    } else if (name == QLatin1String("firmwareStart")) {
        firmwareStartAccepted();
    } else if (name == QLatin1String("firmwareSize")) {
        PendParam = 0;
    } else if (name == QLatin1String("firmwareBlock")) {
        firmwareBlockAccepted();
    } else if (name == QLatin1String("zigbeeRead")) {
        storeZigbee(false);
    } else if (name == QLatin1String("devIdTagRead")) {
        const auto block = devIdBlock(NetRxBuf);
        if (!block)
            throw RuntimeError(QStringLiteral("应答长度不足"));
        if (std::exchange(devIdBaseRead_, -1) == int(answered_.seq)) {
            // The block read becomes the base of the DeviceID/PD-tag write.
            WritePayload = *block;
            StagedDevIdBlock = *block;
        } else {
            DevIdBuf = *block;
            showReplyText(TEXT_DEVID_READ_OK);
            const auto it = ethActions_.constFind(QStringLiteral("DistributePDTagandDeviceID"));
            if (it != ethActions_.constEnd())
                (*it)();
        }
    } else if (name == QLatin1String("pushReadSysInfo")) {
        // The read-back of the sensor types. While a system-parameter write
        // waits on the stack it is left out: it would run first and put the
        // device's old record over the one captured for that write.
        if (!queued(QE_WRITE_SYS_INFO))
            push(QE_READ_SYS_INFO);
    } else if (name == QLatin1String("aqZeroFullStep")) {
        if (AQZFTwoStep) {
            AQZFTwoStep = false;
            PendParam = 3;
        }
    } else if (name == QLatin1String("aqTypeWritten")) {
        if (AQTypeChanged)
            AQTypeChanged = false;
        else
            nb_->SetAQDQChange();
    } else if (name == QLatin1String("restoreTimerInterval")) {
        Timer1.setInterval(TimerInterval);
    } else if (name == QLatin1String("clearPendParam")) {
        PendParam = 0;
    } else if (name == QLatin1String("OnReadCtrl")) {
        nb_->OnReadCtrl();
    } else if (name == QLatin1String("OnReadSM")) {
        nb_->OnReadSM();
    } else if (name == QLatin1String("OnReadResend")) {
        nb_->OnReadResend();
    } else if (name == QLatin1String("OnReadSlave")) {
        nb_->OnReadSlave();
    } else if (name == QLatin1String("OnReadRongyu")) {
        nb_->OnReadRongyu();
    } else if (name == QLatin1String("DistributeSlaveInfo")) {
        nb_->stopSlaveCheckTimer();
        registered();
    } else if (name == QLatin1String("DistributeRAMTest")) {
        registered();
        timMscon.stop();
        timMscon.setInterval(5000);
        restart(timMscon);
    } else {
        registered();
    }
}

void Engine::firmwareStartAccepted()
{
    PendParam = 0;
    Sleeping(5000);
}

void Engine::firmwareBlockAccepted()
{
    PendParam = 0;
    if (!nb_->progressAtMaximum())
        return; // the next block is already on the stack
    setOwner(Owner::None);
    nb_->endProgress();
    Timer1.setInterval(TimerInterval);
    timCheckDevice.stop();
    timCheckDevice.setInterval(7000);
    restart(timCheckDevice);
    MsgBox(QString::fromUtf8(TEXT_UPGRADE_DONE));
}

void Engine::userBlockDump()
{
    // Appended to "<DeviceID>.DAT"; a block larger than one datagram arrives as
    // several replies to the one request, each appended in arrival order. The
    // DeviceID may come from the device, so only what is safe in a file name
    // is kept: the file always lands in the current directory.
    QFile f(safeFileName(view_->deviceIdText(), QStringLiteral("DEVICE")) + QStringLiteral(".DAT"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        throw RuntimeError(f.errorString());
    const QByteArray data = userBlockData(NetRxBuf);
    if (f.write(data) != data.size())
        throw RuntimeError(f.errorString());
}
