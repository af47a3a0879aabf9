#pragma once
// What the command engine needs of the main window: the status line, the
// counters and the link option. The window implements it; engine tests use a
// recording stand-in.
#include <QByteArray>
#include <QString>

class LinkView {
public:
    virtual ~LinkView() = default;
    virtual void setStatus(const QString& text) = 0;   // Text2
    virtual QString status() const = 0;
    virtual void setLostCount(const QString& text) = 0; // Text3
    virtual void setRxCount(const QString& text) = 0;   // Text4
    // 0 serial option selected, 1 Ethernet option selected, -1 neither.
    virtual int linkOption() const = 0;
    // The DeviceID box (names the user-block dump file).
    virtual QString deviceIdText() const { return {}; }
};
