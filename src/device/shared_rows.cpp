#include "device/shared_rows.h"

#include "base/errorlog.h"
#include "device/colors.h"
#include "device/controls.h"
#include "device/device_data.h"
#include "device/typed_values.h"
#include "link/engine.h"
#include "link/view.h"
#include "proto/serial_frame.h"

#include <QLineEdit>
#include <QPushButton>
#include <limits>

void toggleRunStop(const Controls& c)
{
    auto* b = c.get<QPushButton>(QStringLiteral("bt_RunStop"));
    if (colors::isFace(b))
        colors::paint(b, colors::ON);
    else
        colors::paintFace(b);
}

void showInnerCal(const Controls& c, const qint16 (&v)[8])
{
    for (int i = 0; i < 8; ++i)
        c.setText(QStringLiteral("txt_LeiCkeck_%1").arg(i), QString::number(v[i]));
}

void readInnerCalBoxes(const Controls& c, qint16 (&v)[8])
{
    for (int i = 0; i < 8; ++i)
        v[i] = qint16(std::uint16_t(boxValue(c, QStringLiteral("txt_LeiCkeck"), i, -32768, 65535)));
}

io::AiI32 aiCellValues(const Controls& c, int first)
{
    io::AiI32 v{};
    for (int i = 0; i < io::AI_CHANNELS; ++i)
        v[std::size_t(i)] = std::int32_t(boxValue(c, QStringLiteral("ChnlDis"), first + i,
                                                std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max()));
    return v;
}

AqPoints aqZeroFullPoints(const Engine& e, const Controls& c, const DeviceData& d, bool full)
{
    constexpr int AQ_TYPE_DQ = 2; // ComboType2 position of a switching channel
    const int source = full ? 8 : 0;
    const io::AqZeroFull& read = d.AQZeroFullRead;
    const auto value = [&](const char* boxes, int ch, const auto& zero, const auto& fullScale) -> std::int16_t {
        const QString name = QString::fromLatin1(boxes);
        // A switching channel's boxes are left blank by the AQ area: the
        // device keeps the points it holds, as read from it on this link.
        // Without such a read the blank stops the write like any other.
        const bool blank = c.text(name, source + ch).trimmed().isEmpty();
        if (blank && c.position(QStringLiteral("ComboType2"), ch) == AQ_TYPE_DQ
            && d.AQZeroFullConnection == e.connection())
            return (full ? fullScale : zero)[std::size_t(ch)];
        return std::int16_t(boxValue(c, name, source + ch, -32768, 32767, 1000.0));
    };
    AqPoints p;
    for (int ch = 0; ch < io::AQ_CHANNELS; ++ch) {
        p.volt[std::size_t(ch)] = value("txt_AQV", ch, read.voltZero, read.voltFull);
        p.current[std::size_t(ch)] = value("txt_AQM", ch, read.currentZero, read.currentFull);
    }
    return p;
}

bool aqZeroFullNeverFilled(const Engine& e, const Controls& c, const DeviceData& d)
{
    if (d.AQZeroFullConnection == e.connection())
        return false;
    for (const char* boxes : {"txt_AQV", "txt_AQM"})
        for (int i = 0; i < 2 * io::AQ_CHANNELS; ++i)
            if (!c.text(QString::fromLatin1(boxes), i).trimmed().isEmpty())
                return false;
    return true;
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
