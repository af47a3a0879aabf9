#include "device/shared_rows.h"

#include "base/errorlog.h"
#include "base/numbers.h"
#include "device/colors.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "link/engine.h"
#include "link/view.h"
#include "proto/serial_frame.h"

#include <QLineEdit>
#include <QPushButton>

void toggleRunStop(const Controls& c)
{
    auto* b = c.get<QPushButton>(QStringLiteral("bt_RunStop"));
    if (colors::isFace(b))
        colors::paint(b, colors::ON);
    else
        colors::paintFace(b);
}

void colourAqToDq(const Controls& c, const DeviceData& dev)
{
    for (int i = 0; i < 8; ++i) {
        auto* b = c.get<QPushButton>(QStringLiteral("cmdDQ3"), i);
        if (dev.AQtoDQState[std::size_t(i)] == 1)
            colors::paint(b, colors::ON);
        else if (dev.AQtoDQState[std::size_t(i)] == 0)
            colors::paint(b, colors::DQ_OFF);
    }
}

void showInnerCal(const Controls& c, const qint16 (&v)[8])
{
    for (int i = 0; i < 8; ++i)
        c.setText(QStringLiteral("txt_LeiCkeck_%1").arg(i), QString::number(v[i]));
}

void readInnerCalBoxes(const Controls& c, qint16 (&v)[8])
{
    for (int i = 0; i < 8; ++i)
        v[i] = qint16(toInt32(strictNumber(c.text(QStringLiteral("txt_LeiCkeck"), i))) & 0xFFFF);
}

void sendSerialPayload(Engine& e, std::uint8_t fn, const QByteArray& payload, int replyLen)
{
    e.prepareRequest(fn, int(payload.size()) + serial::PAYLOAD_AT + 4, replyLen);
    e.RxBuf.replace(serial::PAYLOAD_AT, payload.size(), payload);
    e.SendCommand();
}

std::span<const std::uint8_t> replyPayload(const Engine& e, bool serialLink)
{
    return e.replyPayload(serialLink);
}

bool serialChosen(const Engine& e) { return e.view() && e.view()->linkOption() == 0; }

void sendBlock(Engine& e, std::uint8_t fn, const QByteArray& payload, int serialReplyLen)
{
    if (serialChosen(e)) {
        sendSerialPayload(e, fn, payload, serialReplyLen);
    } else {
        e.WritePayload = payload;
        e.WriteCmd();
    }
}

void setTrappedEthAction(Engine& e, const char* name, std::function<void()> f, Engine::Check accept)
{
    const QString n = QString::fromLatin1(name);
    e.setEthAction(n, [n, f] { trap(n + QStringLiteral("(Form1)"), f); }, std::move(accept));
}
