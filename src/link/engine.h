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
#include <QHash>
#include <QList>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>

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
    // Loads the stack and takes it for the operation.
    void loadOwnedList(std::span<const std::int16_t> entries, Owner who = Owner::Upgrade);
    // Takes the stack as it stands for the operation (refused while another owns it).
    void own(Owner who);
    // The operation has ended: the stack is free again (nothing when another owns it).
    void release(Owner who);
    // The gate of every command that would queue or reload requests: true
    // when it may go on; false, after the word, while an operation owns the
    // stack. Call it before the handler changes anything.
    bool mayQueue();
    // The same gate inside a handler: throws Abandoned, after the word.
    void refuseWhileOwned();
    enum class UpgradeEnd { Failed, Stopped };
    // The one end of an upgrade that does not complete: the blocks dropped, the
    // bar hidden and released, the normal pace, the stack emptied down to entry
    // 0 and released. A failure (time-out, refused step, a connection lost)
    // also shows why and sets the port back to 9600; the dispatcher restarts
    // only while the link still stands. Nothing happens when no upgrade runs.
    void endUpgrade(UpgradeEnd how);

    // ---- connections ----
    // A connection is one stretch of the link aimed at one device. The engine
    // opens, closes and aims the link, and so it alone begins a new
    // connection: at an open, a close, a lost port, a device pick and a
    // dropped device. Data kept for a later write remembers the connection it
    // was read in and is written only while that connection lasts; a reply is
    // taken only for a request sent in the current connection.
    int connection() const { return connection_; }
    // Whether the connection reaches a device (a port open, a device aimed).
    bool linked() const { return linked_; }
    // How a connection ends: by the user's Stop, or under the link (a lost
    // port, a dropped device).
    enum class End { Stopped, Lost };
    // Opens the serial port: a new connection. Returns the port's error number (0: open).
    int openSerial(const QString& name, const QString& settings, QString* why = nullptr);
    // Closes the serial port and the device socket: a new connection.
    void closeLink(End how = End::Stopped);
    // Aims the device socket at another device and binds it: a new connection.
    // Returns the socket's error number (0: bound).
    int aimDevice(const QString& host, quint16 port, QString* why = nullptr);
    // The connected device is gone (no longer announcing): a new connection.
    void deviceGone();

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

    // ---- timers of the main window that the engine drives ----
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
    void resume();
    // Enables a timer: one that runs keeps its phase, and one without an
    // interval stays off (it would otherwise fire without pause).
    static void enableTimer(QTimer& t)
    {
        if (!t.isActive() && t.interval() > 0)
            t.start();
    }

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

private:
    void runSerialRow(std::int16_t code, bool& keepEntry);
    void runEthRow(std::int16_t code, bool& keepEntry);
    // Whether the reply was taken (a copy of it is then ignored).
    bool dispatchEthReply(bool write);
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
    bool runSerialBuilder(std::int16_t code);
    void onPortEvent();
    // Runs the registered check of a branch on the reply's payload; a refusal
    // is logged under the tag and the reply goes no further.
    bool accepted(const Check& check, bool serialLink, const QString& tag);
    void onForeignDatagram();

    void fillStack(std::span<const std::int16_t> entries);
    // While an operation owns the stack: PendParam as the engine last left it.
    void noteOwnerParam();
    void setOwner(Owner who);
    // Begins a new connection; `linked` tells whether the new one reaches a device.
    void newConnection(End how, bool linked);

    int connection_ = 1;
    bool linked_ = false;
    // The witnesses of what an earlier connection asked. Serial: the function
    // codes asked and not answered in this connection, and those left
    // unanswered by earlier ones, with the time they were asked; the first
    // reply with such a code within the longest reply time-out answers the
    // earlier request (its own came first) and is dropped. Ethernet: the
    // sequence number of the first read and write of this connection (-1:
    // none sent since the change), and whether requests of an earlier
    // connection may still be answered.
    QHash<std::uint8_t, qint64> askedFns_, staleFns_;
    QElapsedTimer clock_;
    int readFirst_ = -1, writeFirst_ = -1;
    bool readsBefore_ = false, writesBefore_ = false;
    // Whether the reply just received answers a request of an earlier connection.
    bool serialReplyStale(std::uint8_t fn);
    bool ethReplyStale(bool write, bool hasSeq, quint16 seq) const;
    Owner owner_ = Owner::None;
    bool refusalShown_ = false;
    std::int32_t ownerParam_ = 0;
    std::uint8_t upgradeReplyFn_ = 0; // the function code the waiting firmware request is answered with
    LinkView* view_;
    Neighbours* nb_;
    SerialTransport* port_;
    QHash<std::int16_t, Action> serialBuilders_;
    QHash<std::uint8_t, Action> serialDecoders_;
    QHash<std::uint8_t, Check> serialChecks_;
    QHash<QString, Check> ethChecks_;
    // The sequence number of the last read (write) whose reply was handled:
    // further copies of that reply are counted and ignored.
    int readAnswered_ = -1;
    int writeAnswered_ = -1;
    QHash<std::int16_t, Action> ethBuilders_;
    QHash<QString, Action> ethActions_;
    UdpTransport* wsckR_W_ = nullptr;
    bool portEventPending_ = false;
    QList<QByteArray> heldDatagrams_;
};
