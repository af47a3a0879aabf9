#pragma once
// Stand-ins for the engine's collaborators: a serial port that records what is
// written and delivers what the test injects, a window that records the status
// line and counters, and neighbours that record every call.
#include "link/neighbours.h"
#include "link/serial_transport.h"
#include "link/view.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class FakeSerial : public SerialTransport {
public:
    QList<QByteArray> written;
    QByteArray input;
    int threshold = 0;
    bool open_ = false;
    QString name_, settings_;
    int openError = 0;
    int clears = 0;

    int open(const QString& port, const QString& settings, QString* description = nullptr) override
    {
        if (openError) {
            if (description)
                *description = QStringLiteral("fake failure");
            return openError;
        }
        name_ = port;
        settings_ = settings;
        open_ = true;
        return 0;
    }
    int settingsError = 0;
    int setSettings(const QString& s) override
    {
        if (settingsError)
            return settingsError;
        settings_ = s;
        return 0;
    }
    QString settings() const override { return settings_; }
    bool isOpen() const override { return open_; }
    QString portName() const override { return name_; }
    void close() override { open_ = false; }
    bool write(const QByteArray& b) override
    {
        written << b;
        return true;
    }
    void clearInput() override
    {
        input.clear();
        ++clears;
    }
    void setThreshold(int b) override { threshold = b; }
    int bytesAvailable() const override { return int(input.size()); }
    QByteArray readAll() override
    {
        QByteArray out;
        out.swap(input);
        return out;
    }
    // Adds bytes; raises the receive event when the threshold is reached.
    void inject(const QByteArray& b)
    {
        input += b;
        if (threshold > 0 && input.size() >= threshold)
            Q_EMIT received();
    }
    // Raises the receive event whatever the count.
    using SerialTransport::event;
    void event(const QByteArray& b)
    {
        input += b;
        Q_EMIT received();
    }
    QList<int> writtenFns() const
    {
        QList<int> out;
        for (const auto& f : written)
            out << (f.size() > 2 ? std::uint8_t(f[2]) : -1);
        return out;
    }
};

class FakeView : public LinkView {
public:
    QString text2, text3, text4, deviceId;
    QStringList history;
    int option = 0;
    QString deviceIdText() const override { return deviceId; }
    void setStatus(const QString& t) override
    {
        text2 = t;
        if (!t.isEmpty())
            history << t;
    }
    QString status() const override { return text2; }
    void setLostCount(const QString& t) override { text3 = t; }
    void setRxCount(const QString& t) override { text4 = t; }
    int linkOption() const override { return option; }
};

class RecordingNeighbours : public Neighbours {
public:
    QStringList calls;
    int mode = 0;
    bool atMax = false;
    bool aqOpen = false;
    int blockIndex = 0;
    int marked = 0; // slave rows still marked
    int UpgradeMode() const override { return mode; }
    void setUpgradeMode(int m) override
    {
        mode = m;
        calls << QStringLiteral("setUpgradeMode %1").arg(m);
    }
    void StepProgress(int s) override { calls << QStringLiteral("StepProgress %1").arg(s); }
    void InitProgress(int m, bool t) override { calls << QStringLiteral("InitProgress %1 %2").arg(m).arg(t); }
    bool progressAtMaximum() const override { return atMax; }
    void endProgress() override { calls << QStringLiteral("endProgress"); }
    void resetFirmwareBlocks() override { calls << QStringLiteral("resetFirmwareBlocks"); }
    int FwBlockIndex() const override { return blockIndex; }
    void DownBin() override { calls << QStringLiteral("DownBin"); }
    void DownBoot() override { calls << QStringLiteral("DownBoot"); }
    void DownParaAndOrder() override { calls << QStringLiteral("DownParaAndOrder"); }
    bool AQPageOpen() const override { return aqOpen; }
    void OnDevReturnFromComm() override { calls << QStringLiteral("OnDevReturnFromComm"); }
    void OnDevReturnFromSock() override { calls << QStringLiteral("OnDevReturnFromSock"); }
    void OnReadCtrl() override { calls << QStringLiteral("OnReadCtrl"); }
    void OnReadSM() override { calls << QStringLiteral("OnReadSM"); }
    void OnReadResend() override { calls << QStringLiteral("OnReadResend"); }
    void OnReadSlave() override { calls << QStringLiteral("OnReadSlave"); }
    void OnReadRongyu() override { calls << QStringLiteral("OnReadRongyu"); }
    void DistributeZigbeeParam() override { calls << QStringLiteral("DistributeZigbeeParam"); }
    void slaveWindowSwitch(bool on) override { calls << QStringLiteral("slaveWindowSwitch %1").arg(on); }
    bool slaveRowsMarked() const override { return marked > 0; }
    void stopSlaveCheckTimer() override { calls << QStringLiteral("stopSlaveCheckTimer"); }
    void Cmd_SetDefault_Click() override { calls << QStringLiteral("Cmd_SetDefault_Click"); }
    void SetAQDQChange() override { calls << QStringLiteral("SetAQDQChange"); }
    void StartRun_Click() override { calls << QStringLiteral("StartRun_Click"); }
};

#include "link/udp_transport.h"

class FakeUdp : public UdpTransport {
public:
    QList<QByteArray> sent;
    QString host;
    quint16 remotePort = 0;
    quint16 localPort = 0;
    bool bound = false;
    int bindError = 0;
    int binds = 0;
    int closes = 0;
    int bind(quint16 port, QString* description = nullptr) override
    {
        ++binds;
        if (bindError) {
            if (description)
                *description = QStringLiteral("fake failure");
            return bindError;
        }
        localPort = port;
        bound = true;
        return 0;
    }
    void setRemote(const QString& h, quint16 p) override
    {
        host = h;
        remotePort = p;
    }
    bool send(const QByteArray& d) override
    {
        sent << d;
        return true;
    }
    void close() override
    {
        bound = false;
        ++closes;
    }
    bool isBound() const override { return bound; }
    void deliver(const QByteArray& d) { Q_EMIT datagram(d); }
};
