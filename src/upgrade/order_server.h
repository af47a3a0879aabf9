#pragma once
// The production-server client: parameter sheets up, device programs and
// final-tuning parameters down. The program ships without a server; its
// client answers every question with "not available".
#include <QByteArray>
#include <QString>
#include <optional>

class OrderServer {
public:
    virtual ~OrderServer() = default;
    virtual bool UploadParamSheet(const QString& deviceNumber, const QString& sheet) = 0;
    // The main-program image of that name.
    virtual std::optional<QByteArray> GetDeviceProgram(const QString& name) = 0;
    // The final-tuning parameter text (image records) of a device.
    virtual std::optional<QString> GetTuneParam(const QString& deviceNumber) = 0;
};

class UnavailableOrderServer : public OrderServer {
public:
    bool UploadParamSheet(const QString&, const QString&) override { return false; }
    std::optional<QByteArray> GetDeviceProgram(const QString&) override { return std::nullopt; }
    std::optional<QString> GetTuneParam(const QString&) override { return std::nullopt; }
};
