#pragma once
// Reply effects that are the same on both links.
#include "base/errorlog.h"
#include "device/texts.h"
#include "link/engine.h"
#include "proto/io_blocks.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>


class Controls;
struct DeviceData;

// bt_RunStop toggles between the button face and green on every run/stop reply.
void toggleRunStop(const Controls& c);
// The eight internal-calibration values shown as decimal text.
void showInnerCal(const Controls& c, const qint16 (&v)[8]);
// The eight internal-calibration boxes as the values to send: 16 bits read
// signed or unsigned (-32768..65535); a box that does not fit refuses the
// write with a word that names it.
void readInnerCalBoxes(const Controls& c, qint16 (&v)[8]);

// The AI zero (first cell 11) or full-scale (first cell 22) cells of the
// channel grid as the values to write: whole 32-bit numbers after rounding.
// A cell that does not fit refuses the write with a word that names it.
io::AiI32 aiCellValues(const Controls& c, int first);

// The AQ voltage and current points of the zero boxes, or of the full-scale
// boxes, as the AQ zero/full write carries them: the value times 1000 as a
// signed 16-bit number. A switching channel's blank box stands for the point
// read from the device in this connection; any other box that does not fit
// refuses the write with a word that names it.
struct AqPoints {
    std::array<std::int16_t, io::AQ_CHANNELS> volt{}, current{};
};
AqPoints aqZeroFullPoints(const Engine& e, const Controls& c, const DeviceData& d, bool full);
// Whether the AQ zero/full boxes were never filled: all blank, and the block
// not read in this connection (a device whose AQ channels all switch). Such a
// set holds nothing to write.
bool aqZeroFullNeverFilled(const Engine& e, const Controls& c, const DeviceData& d);

// A serial request whose payload follows the function code.
void sendSerialPayload(Engine& e, std::uint8_t fn, const QByteArray& payload, int replyLen);

// The payload of the reply in the engine's buffer of the link: serial from
// frame byte 3 up to the CRC, Ethernet from datagram byte 12.
std::span<const std::uint8_t> replyPayload(const Engine& e, bool serialLink);
// Whether the serial link option is the chosen one.
bool serialChosen(const Engine& e);

// A block sent on the chosen link: the serial request above, or the Ethernet
// write payload through WriteCmd to the index and sub-index already pending.
void sendBlock(Engine& e, std::uint8_t fn, const QByteArray& payload, int serialReplyLen);

// An Ethernet reply action that logs its own failures under its name, with the
// check its reply must pass.
void setTrappedEthAction(Engine& e, const char* name, std::function<void()> f, Engine::Check accept = {});

// The value a reply decoder gave; a reply too short for it ends the branch.
template <class T>
T need(const std::optional<T>& v)
{
    if (!v)
        throw RuntimeError(QString::fromUtf8(texts2::SHORT_REPLY));
    return *v;
}

// The bytes of an array of byte-sized values, in order.
QByteArray bytes(const auto& a)
{
    QByteArray b;
    for (auto v : a)
        b.append(char(v));
    return b;
}
