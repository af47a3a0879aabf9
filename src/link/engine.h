#pragma once
// The command engine: the command stack and its dispatcher, the reply time-out,
// the lost-reply counter and the dispatcher pause, the serial sender and the
// serial receive handler with its reply dispatch.
//
// Pages never send: they push queue codes. The dispatcher runs the top entry on
// every tick; a row that waits for its reply stops the dispatcher and arms the
// reply time-out; the reply (or the time-out) restarts it. Entry 0 is the idle
// poll and is never removed.
#include "link/neighbours.h"
#include "link/serial_transport.h"
#include "link/udp_transport.h"
#include "link/view.h"
#include "proto/serial_commands.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

// The ZigBee parameter fields, filled by the ZigBee read replies.
struct ZigbeeVars {
    std::uint8_t ZbLogic = 0;
    std::uint8_t ZbNetType = 0;
    std::int32_t ZbDNO = 0;
    std::int32_t ZbChannelMask = 0;
    std::array<std::uint8_t, 8> ZbMAC{};
    std::array<std::uint8_t, 8> ZbExtPan{};
    std::uint8_t ZbEnable = 0;
    std::uint8_t ZbChainAddr = 0;
    std::int16_t ZbAdvParam1 = 0, ZbAdvParam2 = 0, ZbAdvParam3 = 0, ZbAdvFlag = 0;
};

class Engine : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;
    // Whether a reply's payload can be taken at all: the serial payload runs
    // from byte 3 of RxBuf up to the CRC, the UDP payload from byte 12 of
    // NetRxBuf to its end. A refused reply is handled as if it had not come.
    using Check = std::function<bool(std::span<const std::uint8_t> payload)>;
    // A check that wants at least n payload bytes.
    static Check atLeast(std::size_t n)
    {
        return [n](std::span<const std::uint8_t> p) { return p.size() >= n; };
    }
    // A check that wants a decoder returning an optional to give a value.
    template <class Decode>
    static Check decodes(Decode decode)
    {
        return [decode](std::span<const std::uint8_t> p) { return decode(p).has_value(); };
    }

    Engine(LinkView* view, Neighbours* neighbours, SerialTransport* port, QObject* parent = nullptr);
    ~Engine() override;

    // ---- command stack ----
    static constexpr int STACK_TOP_MAX = 10000;
    static constexpr std::size_t STACK_SIZE = STACK_TOP_MAX + 1;
    std::array<std::int16_t, STACK_TOP_MAX + 1> CmdStack{};
    std::int16_t CmdTop = 0;
    // Raises CmdTop and stores the code; throws RuntimeError on a full stack
    // (the stack then stays as it was).
    void push(std::int16_t code);
    // Writes entries 0..n straight into the stack and sets CmdTop to n.
    void loadList(std::span<const std::int16_t> entries);
    void loadList(std::initializer_list<std::int16_t> entries) { loadList(std::span(entries.begin(), entries.size())); }
    std::int16_t top() const { return CmdStack[std::size_t(CmdTop)]; }
    // Whether the code waits in entries 1 to CmdTop.
    bool queued(std::int16_t code) const;
    // How many entries of the code wait on the stack.
    int queuedCount(std::int16_t code) const;

    // Stores the parameter the row runs with, then pushes the code (refused,
    // with nothing changed, while an operation owns the stack). The entry
    // keeps it: whatever is clicked or runs before it, it runs with its own.
    void push(std::int16_t code, std::int32_t param);
    // The parameter the rows already queued run with (refused while owned).
    void setParam(std::int32_t param);
    // For a row that walks the slave table: the parameter it runs with, the next one left.
    std::int32_t nextParam() { return PendParam++; }

    // ---- stack ownership ----
    // An operation of several steps owns the stack from its first request to
    // its one end: a firmware upgrade (its last block, a refused step, its
    // time-out, Stop or the connection's end) and a slave-table write (its
    // last row answered, Stop or the connection's end). Meanwhile nobody else
    // loads, empties or pushes: a command that would is refused with one word
    // per user action before its handler changes anything.
    enum class Owner { None, Upgrade, SlaveWrite };
    Owner owner() const { return owner_; }
    bool stackOwned() const { return owner_ != Owner::None; }
    // Loads the stack and takes it for the operation. Refused with a word, and
    // nothing changed, while another owns it and while nothing would carry
    // its requests: no link, or the dispatcher held (paused, AQ window).
    void loadOwnedList(std::span<const std::int16_t> entries, Owner who = Owner::Upgrade);
    // Takes the stack as it stands for the operation (refused as above).
    void own(Owner who);
    // The operation has ended: the stack is free again (nothing when another owns it).
    void release(Owner who);
    // The gate of every command that would queue or reload requests: true
    // when it may go on; false, after the word, while an operation owns the
    // stack. It changes nothing else. Call it before the handler changes anything.
    bool mayQueue();
    // The same gate inside a handler: throws Abandoned, after the word.
    void refuseWhileOwned();
    // The gate of an operation that would own the stack: besides the above,
    // false after a word while nothing would carry its requests (no link, or
    // the dispatcher held), so that no owner waits with nothing on its way.
    bool mayOwn();
    enum class UpgradeEnd { Failed, Stopped };
    // The one end of an upgrade that does not complete: the blocks dropped, the
    // bar hidden and released, the normal pace, the stack emptied down to entry
    // 0 and released. A failure (time-out, refused step, a connection lost)
    // also shows why and sets the port back to 9600; the dispatcher restarts
    // only while the link still stands. Nothing happens when no upgrade runs.
    void endUpgrade(UpgradeEnd how);

    // ---- the link's life ----
    // A connection is one stretch of the link aimed at one device. The engine
    // opens, closes and aims the link, and so it alone begins a new
    // connection: at an open, a close, a lost port, a device pick and a
    // dropped device. Data kept for a later write remembers the connection it
    // was read in and is written only while that connection lasts; a reply is
    // taken only for a request sent in the current connection.
    //
    // The engine's timers run only for a connection: its end stops them all,
    // and none starts again while no connection reaches a device (the device
    // watchdog: while the Ethernet link listens). Windows ask through the
    // verbs below; none starts or stops a timer of the engine itself.
    int connection() const { return connection_; }
    // Whether the connection reaches a device (a port open, a device aimed).
    bool linked() const { return linked_; }
    // Whether the Ethernet link listens for device announcements.
    bool listening() const { return listening_; }
    // Whether a link runs at all: a device reached, or announcements awaited.
    bool running() const { return linked_ || listening_; }
    // The address the device socket is aimed at while a connection reaches a
    // device on the Ethernet link (else empty): which device is connected.
    QString connectedDevice() const;
    // How a connection ends: by the user's Stop, or under the link (a lost
    // port, a dropped device).
    enum class End { Stopped, Lost };
    // Opens the serial port: a new connection. Returns the port's error number (0: open).
    int openSerial(const QString& name, const QString& settings, QString* why = nullptr);
    // Binds the discovery socket: the Ethernet link listens for announcements.
    // Returns the socket's error number (0: bound).
    int listen(quint16 port, QString* why = nullptr);
    // The serial port is gone under the link, or cannot be opened again (or
    // take its speed): the link stops as at Stop, an upgrade under way fails,
    // and the window is told why (portLost).
    void losePort(const QString& why);
    // Closes the serial port, the device socket and the discovery socket: the
    // link stops and its connection ends, also when no device was reached.
    void closeLink(End how = End::Stopped);
    // Aims the device socket at another device and binds it: a new connection,
    // whose start ends what the pages showed before, also of no device.
    // Returns the socket's error number (0: bound).
    int aimDevice(const QString& host, quint16 port, QString* why = nullptr);
    // The connected device is gone (no longer announcing): a new connection.
    void deviceGone();
    // Loads the start-up list and starts the dispatcher at the normal pace:
    // at once, or when the last hold is lifted. Nothing starts without a connection.
    void start(std::span<const std::int16_t> entries);
    // Who may hold the dispatcher of a running link: the user's pause (lifted
    // at the connection's end) and the AQ window, whose hold lasts until it is
    // unloaded. While held, neither the dispatcher nor the device watchdog
    // runs; the AQ window's hold also takes the waiting reply's time-out.
    enum class Hold : unsigned { User = 1, AqWindow = 2 };
    void pause(Hold who);
    void resume(Hold who);
    bool held() const { return holds_ != 0; }
    bool heldBy(Hold who) const { return (holds_ & unsigned(who)) != 0; }
    // The device watchdog: asked for by an announcement, dropped with the
    // last device; it runs only while the link listens and is not held.
    void watch(bool on);
    // The lost-reply and receive counters back to 0, and shown.
    void zeroCounters();
    // ---- the AQ window's requests ----
    // Who sent a request: its answer goes to its sender, whoever holds the
    // link, and only there. A closed window's late answers are nobody's.
    enum class Asker { Page, Window, ClosedWindow };
    // Runs `send` (which sends one request on either link) as the AQ window's:
    // the request lives `timeoutMs` (the window's own time-out), and its
    // answer goes to the window. Nothing of the page's pending request, its
    // payload or its stack is touched by the window's requests.
    void windowRequest(int timeoutMs, const Action& send);
    // The window's requests on the device socket, from their own values.
    void sendRead(std::int32_t index, std::int32_t subIndex, std::int32_t param);
    void sendWrite(std::int32_t index, std::int32_t subIndex, std::int32_t param, const QByteArray& payload);
    // A read request for a measuring device, which the caller sends on its own
    // socket (the next read sequence number; readSeq() tells it).
    QByteArray measureRequest(std::int32_t index);
    // Whether the page waits for the answer of a request it sent (its reply
    // time-out runs): the window sends nothing meanwhile.
    bool awaiting() const { return Timer2.isActive(); }
    // The request the reply being handed over answers (Ethernet: its service,
    // index, sub-index and parameter as sent).
    struct Answered {
        bool write = false;
        quint16 seq = 0;
        std::int32_t index = 0, subIndex = 0, param = 0;
        std::int16_t code = -1; // the queue code of the page's row that sent it
    };
    const Answered& answered() const { return answered_; }
    // The sequence number of the last read sent.
    quint16 readSeq() const { return quint16(ReadSeq); }

    // ---- module state of the engine ----
    QString StatusText;
    int UpgradeTimeout = 0;
    int TimerInterval = 300;
    std::int32_t TimeoutCount = 0;
    std::int32_t RxCount = 0;
    std::int32_t NetRxCount = 0;
    std::int32_t PendIndex = 0, PendSubIndex = 0, PendParam = 0;
    std::int32_t ReadSeq = 0, WriteSeq = 0;
    std::uint8_t DisplayMode = 0;
    bool AQZFTwoStep = false;
    bool AQTypeChanged = false;
    // The DeviceID/PD-tag read a parameter write queued is the base of that
    // write: set with the list, taken by the read when it is sent, gone with
    // the list when it is dropped or replaced.
    bool SetParaPending = false;
    ZigbeeVars Zigbee;

    // Serial frame buffer shared by the request being built and the reply read.
    QByteArray RxBuf;
    std::int16_t FrameLen = 0;
    std::int16_t ReplyLen = 0;
    std::int16_t CrcLen = 0;
    std::int32_t CrcValue = 0;

    // Ethernet buffers.
    QByteArray NetRxBuf;
    QByteArray WritePayload;
    QByteArray DevIdBuf;          // the last DeviceID/PD-tag block read, 82 bytes
    // The DeviceID/PD-tag block put into WritePayload by the read that
    // SetParaPending marks; emptied by the next write sent.
    QByteArray StagedDevIdBlock;
    int CircularPhase = 0;        // Ethernet idle poll: 0 live values next, 1 DI/DO next

    // ---- the engine's timers (started and stopped by the engine alone) ----
    QTimer Timer1;         // dispatcher
    QTimer Timer2;         // reply time-out
    QTimer timMscon;       // lost-reply counter
    QTimer Sleep_Timer;    // end of a dispatcher pause
    QTimer timCheckDevice; // device watchdog (Ethernet)

    // ---- handlers ----
    void Timer1_Timer();
    void Timer2_Timer();
    void timMscon_Timer();
    bool Sleeping(int ms);
    void Sleep_Timer_Timer();

    // Serial sender: completes the frame in RxBuf (FrameLen bytes) and sends it.
    void SendCommand();
    // Prepares RxBuf for a request of the given lengths and function code.
    void prepareRequest(std::uint8_t fn, int frameLen, int replyLen);
    // Sends a whole prepared frame (markers and CRC are redone by SendCommand).
    void sendFrame(const QByteArray& frame, int replyLen);
    // Closes the port if open, sets the settings and opens it again.
    void ReopenComm(const QString& settings);
    void Comm1_OnComm();

    // Builders and reply decoders registered by the device data and the windows.
    // A serial builder fills RxBuf and calls SendCommand; a builder that ends
    // early (throws) sends nothing.
    void setSerialBuilder(std::int16_t code, Action builder);
    // The decode step of the reply branch of a function code, and the check
    // its reply must pass before anything of the branch runs.
    void setSerialDecoder(std::uint8_t fn, Action decoder, Check accept = {});
    void setSerialCheck(std::uint8_t fn, Check accept);

    // ---- Ethernet ----
    void setDeviceSocket(UdpTransport* socket);
    // The socket the device announcements come in on (the link binds and closes it).
    void setDiscoverySocket(UdpTransport* socket) { discovery_ = socket; }
    UdpTransport* deviceSocket() const { return wsckR_W_; }
    void ReadCmd();
    void WriteCmd();
    void CircularRead();
    void wsckR_W_DataArrival(const QByteArray& datagram);
    // An Ethernet payload builder: fills WritePayload (and, for the rows whose
    // builder sends itself, calls WriteCmd). One that throws sends nothing.
    void setEthBuilder(std::int16_t code, Action builder);
    // The work of a reply branch, by the action name of the reply table, and
    // the check its reply must pass before anything of the branch runs.
    void setEthAction(const QString& name, Action action, Check accept = {});
    void setEthCheck(const QString& name, Check accept);
    // The payload of the last reply on the given link (empty when too short).
    std::span<const std::uint8_t> replyPayload(bool serialLink) const;

    SerialTransport* port() const { return port_; }
    LinkView* view() const { return view_; }
    Neighbours* neighbours() const { return nb_; }

    // A reply branch that completes a waiting command: Timer2 off, Timer1 on.
    void replyDone();

Q_SIGNALS:
    // Every frame written to the port (for the log and the tests).
    void frameSent(const QByteArray& frame);
    void stackOwnerChanged(bool owned);
    // Every datagram sent on the device socket.
    void datagramSent(const QByteArray& datagram);
    // A connection that reached a device has ended: every window and page
    // that shows what that device said forgets it (boxes emptied, lists unset,
    // its own queued requests dropped). Raised before connectionChanged.
    void connectionEnded();
    // A new connection has begun: what was read or queued under the old one is over.
    void connectionChanged(int connection);
    // The dispatcher was held or let go (the pause button shows it).
    void holdChanged(bool held);
    // The serial link ended because its port was lost (after connectionEnded).
    void portLost(const QString& why);
    // A tick of the device watchdog, while it may run.
    void watchdogTick();
    // Entries left the command stack unsent: a list was loaded over them, or
    // the stack was emptied (an upgrade's start and end, the connection's end).
    void queueDropped();
    // A request of the page ended without its own answer: its time-out
    // fired, the device refused it, or (a request no time-out waits for) its
    // lost-reply time ran out or the device answered requests sent after it.
    // `code` is the queue code of the row that sent it.
    void replyLost(std::int16_t code);

private:
    void runSerialRow(std::int16_t code, bool& keepEntry);
    void runEthRow(std::int16_t code, bool& keepEntry);
    void runEthAction(const QString& name);
    void firmwareStartAccepted();
    void firmwareBlockAccepted();
    void userBlockDump();
    // Copies a ZigBee block into the module variables and shows it; throws when short.
    void storeZigbee(bool serialLink);
    void runHeldEvents();
    // The RAM test waits 8000 ms and watches its reply as long.
    void armRamTest();
    // After a slave-record write: whether the entry stays for the next marked row.
    bool slaveRowsLeft();
    // A slave-record write entry with no marked row left: nothing to send.
    bool noSlaveRowLeft();
    void dispatchSerialReply();
    void firmwareBlockReply();
    void restoreDefaultsReply();
    // How a builder ended: its request went out (or was never built: logged,
    // and the reply time-out reports the loss), or the user's input was
    // refused with a word (Abandoned): nothing was sent and nothing waits.
    enum class Built { Sent, Failed, Refused };
    Built build(const QString& tag, const Action& builder);
    Built runSerialBuilder(std::int16_t code);
    // A row whose builder refused the user's input: nothing waits for it.
    void refused();
    void onPortEvent();
    // Runs the registered check of a branch on the reply's payload; a refusal
    // is logged under the tag and the reply goes no further.
    bool accepted(const Check& check, bool serialLink, const QString& tag);
    void onForeignDatagram();

    void fillStack(std::span<const std::int16_t> entries);
    // Empties the stack down to entry 0 (queueDropped when anything waited).
    void dropQueued();
    // What lived with the dropped entries goes with them.
    void queueWasDropped();
    void setOwner(Owner who);
    // Begins a new connection; `linked` tells whether the new one reaches a
    // device; the end is announced when the old one reached a device, or always.
    void newConnection(End how, bool linked, bool announceEnd = false);
    // The upgrade's end without its box; true when the failure's box is due.
    bool finishUpgrade(UpgradeEnd how);
    // Whether the timer may run now, by the one rule of the link's life.
    bool mayRun(const QTimer& t) const;
    // Starts a timer that may run and is off (one that runs keeps its phase;
    // one without an interval stays off).
    void enable(QTimer& t);
    // Starts a timer that may run again from now.
    void restart(QTimer& t);
    // Arms the reply time-out of the request just sent: the dispatcher waits.
    void armReplyTimeout(int ms);
    // Stops the timers of a connection (the watchdog is the listening link's).
    void stopTimers();
    void setHolds(unsigned holds);
    // Sets the open port's line; a port that refuses it is lost (false).
    bool setSpeed(const QString& settings);

    int connection_ = 1;
    bool linked_ = false;
    bool listening_ = false;
    bool watching_ = false;
    QString aimedHost_;
    unsigned holds_ = 0;
    UdpTransport* discovery_ = nullptr;
    // The witnesses of what was asked: every request sent on either link, of
    // this connection or one that ended, until it ends once: by its answer,
    // by its own time-out (the reply time-out for the one the dispatcher
    // waits for; for the others the time they were given when sent: the
    // lost-reply time, or the AQ window's own), or, on Ethernet, once the
    // device has answered a request of the page sent after it. A time-out
    // waits while a box holds the port's events and runs them first, so a
    // reply that came in time is taken. Serial: the frame carries no
    // sequence number, so this record is the only witness of what a reply
    // answers; the device answers in order, so the first reply after a
    // connection's change settles what the ended one left waiting.
    // Ethernet: a reply answers the request whose service and sequence
    // number it carries, and is read by that request's own index, sub-index
    // and parameter.
    struct Waiting {
        std::uint8_t fn = 0;   // serial: the function code its reply carries
        QString port;          // serial: the port it was sent on: no other port answers it
        int connection = 0;
        std::uint64_t number = 0; // the count of requests sent, this one included
        bool awaited = false;  // the dispatcher waits for its reply (Timer2)
        bool net = false;      // sent on the device socket
        bool write = false;    // Ethernet: the write service
        quint16 seq = 0;       // Ethernet: its sequence number
        std::int32_t index = 0, subIndex = 0, param = 0;
        Asker by = Asker::Page;
        std::int16_t code = -1; // the queue code of the page's row that sent it
        QDeadlineTimer until;  // the end of its own time
    };
    std::vector<Waiting> asked_;
    // Ends the requests whose own time has run out (not the one the reply
    // time-out governs); runs at the earliest end, and sends nothing.
    QTimer expiry_;
    void expireAsked();
    void armExpiry();
    // Records a request just sent on either link.
    void recordAsked(Waiting w);
    // A request of the page that ended unanswered: what waited on it settles.
    void lost(const Waiting& w);
    // Takes the request a reply answers out of the record; on Ethernet the
    // page's requests sent before it end with it.
    Waiting takeAnswered(std::vector<Waiting>::iterator it);
    // The reply being handled answers this request.
    void answering(const Waiting& w);
    std::uint64_t sent_ = 0;   // requests sent on either link
    std::uint64_t rowSent_ = 0; // the count when the dispatcher's row began
    std::int16_t rowCode_ = -1; // the queue code of the row running
    Asker asker_ = Asker::Page; // who sends now
    int askerTimeout_ = 0;
    Answered answered_;
    // Whether the reply being handled may end the dispatcher's wait: it
    // answers the request waited for, or no request of the page is waited for.
    bool answersAwaited_ = true;
    bool awaitsPage() const;
    // What the reply just received answers: a request of this connection
    // (taken), one an ended connection left waiting (dropped unseen), a
    // request of a window since closed (dropped unseen), or nothing asked.
    enum class Answer { Taken, Earlier, Unasked };
    Answer serialAnswer(std::uint8_t fn, Waiting& taken);
    // A reply of a code that has no branch, or any reply but its own to a
    // firmware step, is the device's refusal of the request the dispatcher
    // waits for: true, and that request leaves the record, when one waits.
    bool refusesAwaited(std::uint8_t fn, Waiting& refused);
    // Keeps the record of requests within its cap.
    void capAsked();
    // The request the dispatcher waits for, its time-out fired: it waits no more.
    void forgetAwaited();
    // Runs the port events and datagrams a box held: a reply that came in
    // time is taken before its request's time-out counts it lost. True when
    // the timer's wait is over with it.
    bool heldRepliesFirst(const QTimer& t);
    // Sends one datagram of the given service from the given values.
    void sendNet(bool write, std::int32_t index, std::int32_t subIndex, std::int32_t param, const QByteArray& payload);
    // Hands a reply to the sender of the request it answers.
    void dispatchEthReply(bool write, bool ok, Waiting& w);
    Owner owner_ = Owner::None;
    bool refusalShown_ = false;
    std::uint8_t upgradeReplyFn_ = 0; // the function code the waiting firmware request is answered with
    LinkView* view_;
    Neighbours* nb_;
    SerialTransport* port_;
    QHash<std::int16_t, Action> serialBuilders_;
    QHash<std::uint8_t, Action> serialDecoders_;
    QHash<std::uint8_t, Check> serialChecks_;
    QHash<QString, Check> ethChecks_;
    // The parameter of each entry pushed with one, beside its code.
    std::array<std::optional<std::int32_t>, STACK_SIZE> entryParam_{};
    int devIdBaseRead_ = -1; // the read sequence number of the base read sent (-1: none)
    // A write the device refused keeps its verdict on the status line: the
    // replies to the entries that lay under it on the stack (its read-backs)
    // show the refusal instead of their success texts. The mark belongs to
    // that list: it counts the entries under the row last run, and under the
    // refused write, that have not run yet (a push onto their places and a
    // list loaded end them), and the connection it was refused in; whether
    // the row last run was one of those read-backs.
    int underRow_ = 0;
    int refusedUnder_ = 0;
    int refusedConnection_ = 0;
    bool readBackOfRefusal_ = false;
    // The stack entries above `top` are new ones.
    void stackRefilledAbove(int top);
    void showReplyText(const char* text);
    QHash<std::int16_t, Action> ethBuilders_;
    QHash<QString, Action> ethActions_;
    UdpTransport* wsckR_W_ = nullptr;
    bool portEventPending_ = false;
    QList<QByteArray> heldDatagrams_;
};
