// The simulated device on a pseudo-terminal. The program opens slavePath()
// as its serial port; the device reads request frames from the master side
// and answers them.
#pragma once

#include "devsim/device_model.h"
#include "devsim/faults.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class QSocketNotifier;

class SimSerialDevice : public QObject
{
    Q_OBJECT
public:
    // A null model gives the device a model of its own; pass one to share it
    // with a SimUdpDevice.
    explicit SimSerialDevice(SimDeviceModel *model = nullptr, QObject *parent = nullptr);
    ~SimSerialDevice() override;

    bool open(); // creates the pseudo-terminal; false with errorString() on failure
    void close();
    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }
    // The line speed the program has set on its end of the line (baud), 0 when unknown.
    int lineSpeed() const;

    SimDeviceModel *model() { return m_model; }
    SimFaults &faults() { return m_faults; }

    // Fault shortcuts.
    void setSilent(bool on) { m_faults.silent = on; }
    void dropReplies(int n) { m_faults.dropNext = n; }
    void setReplyDelay(int ms) { m_faults.delayMs = ms; }
    void truncateNextReplies(int n = 1) { m_faults.truncateNext = n; }
    void corruptNextCrc(int n = 1) { m_faults.corruptCrcNext = n; }
    void corruptNextMarkers(int n = 1) { m_faults.corruptMarkersNext = n; }
    void wrongFunctionNext(int n = 1) { m_faults.wrongFnNext = n; }
    void answerWithOtherCode(quint8 on, quint8 code, const QByteArray &payload)
    {
        m_faults.otherCodeOn = on;
        m_faults.otherCode = code;
        m_faults.otherPayload = payload;
    }
    void refuseFlashStep(int step) { m_faults.refuseFlashStep = step; }
    void clearFaults() { m_faults.clear(); }

    // What came in: function codes of accepted request frames, in order.
    QList<quint8> receivedFunctions() const { return m_log; }
    int badFrames() const { return m_badFrames; }
    int repliesSent() const { return m_repliesSent; }
    void clearLog();

    // The device's command table.
    // Request lengths the device accepts for a function code (empty: unknown
    // code; {0}: variable length, ended by the end marker and a valid CRC).
    static QList<int> requestLengths(quint8 fn);
    // Reply length for a request frame (0: the device does not answer it).
    int replyLength(quint8 fn, int requestLength) const;
    static QByteArray frame(quint8 fn, const QByteArray &payload);

Q_SIGNALS:
    void requestReceived(quint8 fn, QByteArray frame);
    void replySent(quint8 fn, QByteArray frame);

private:
    void onReadable();
    void onWritable();
    void parse();
    void handle(const QByteArray &request);
    QByteArray replyPayload(quint8 fn, const QByteArray &request);
    void send(const QByteArray &bytes);
    void writePending();

    std::unique_ptr<SimDeviceModel> m_ownModel;
    SimDeviceModel *m_model = nullptr;
    SimFaults m_faults;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_rx;
    QByteArray m_tx;
    QElapsedTimer m_lastRx;
    QList<quint8> m_log;
    int m_badFrames = 0;
    int m_repliesSent = 0;
};
