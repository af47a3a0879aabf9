// The "decoders" target: one row per pure function that reads bytes that came
// from a device. The first input byte is the row's index, the rest its input.
// To cover a new decoder, append a row (never reorder: the saved inputs name
// their row by index). A row may also check what its decoder promises.
#include "fuzz/targets.h"

#include "imagefile/image_records.h"
#include "proto/announce.h"
#include "proto/aq_cal.h"
#include "proto/calib_blocks.h"
#include "proto/clock_block.h"
#include "proto/control_blocks.h"
#include "proto/device_types.h"
#include "proto/firmware.h"
#include "proto/io_blocks.h"
#include "proto/net_datagram.h"
#include "proto/param_blocks.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "proto/settings_blocks.h"
#include "proto/slave_record.h"
#include "proto/sys_param.h"

#include <QByteArray>
#include <QString>

namespace fuzzing {

namespace {

// The input as a byte array that owns no copy, so that a read past its end is
// a read past the fuzzer's buffer.
QByteArray raw(Bytes b)
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

void sysParam(Bytes b, sysparam::Link link, int minimum)
{
    SysParamRecord r;
    const auto extras = sysparam::decodeSysParamReply(b, link, r);
    expect(extras.has_value() == (b.size() >= std::size_t(minimum)), "system parameters: decoded iff long enough");
    if (!extras)
        expect(r == SysParamRecord{}, "system parameters: a short reply changes nothing");
}

const Decoder DECODERS[] = {
    {"checkFrame", [](Bytes b) { serial::checkFrame(raw(b)); }},
    {"buildFrame+checkFrame",
     [](Bytes b) {
         if (b.empty())
             return;
         const QByteArray f = serial::buildFrame(b[0], raw(b.subspan(1)));
         if (f.size() < serial::CRC_CHECK_LIMIT)
             expect(serial::checkFrame(f) == serial::Check::Ok, "a built frame passes the frame check");
     }},
    {"parseReplyHeader",
     [](Bytes b) {
         if (const auto h = net::parseReplyHeader(raw(b)))
             expect(h->hasSeq == (b.size() >= std::size_t(net::REPLY_HEADER_SIZE)), "reply header: the sequence echo only from 8 bytes on");
         else
             expect(b.empty(), "reply header: only an empty datagram has none");
     }},
    {"parseAnnounce",
     [](Bytes b) {
         if (const auto a = net::parseAnnounce(raw(b))) {
             expect(b.size() == std::size_t(net::ANNOUNCE_SIZE) && b[0] == net::ANNOUNCE_KIND, "announcement: size and kind");
             net::addrText(a->addr);
         }
     }},
    {"decodeSysParamReply serial", [](Bytes b) { sysParam(b, sysparam::Link::Serial, sysparam::REPLY_MIN_SERIAL); }},
    {"decodeSysParamReply ethernet", [](Bytes b) { sysParam(b, sysparam::Link::Ethernet, sysparam::REPLY_MIN_ETHERNET); }},
    {"decodeAiAlarm", [](Bytes b) { blocks::decodeAiAlarm(b); }},
    {"decodePrjCal", [](Bytes b) { blocks::decodePrjCal(b); }},
    {"decodeDevIdTag", [](Bytes b) { blocks::decodeDevIdTag(b); }},
    {"decodeZigbee",
     [](Bytes b) {
         serial::ZigbeeBlock z;
         const bool ok = serial::decodeZigbee(b, z);
         expect(ok == (b.size() >= std::size_t(serial::ZIGBEE_BLOCK_SIZE)), "ZigBee block: decoded iff it fits");
     }},
    {"decodeZigbeeReply",
     [](Bytes b) {
         serial::ZigbeeBlock z;
         net::decodeZigbeeReply(raw(b), z);
     }},
    {"userBlockData", [](Bytes b) { net::userBlockData(raw(b)); }},
    {"devIdBlock", [](Bytes b) { net::devIdBlock(raw(b)); }},
    {"weekdayValue", [](Bytes b) { net::weekdayValue(raw(b)); }},
    {"innerCalValues", [](Bytes b) { net::innerCalValues(raw(b)); }},
    {"parseDeviceNumber", [](Bytes b) { models::parseDeviceNumber(QString::fromLatin1(raw(b))); }},
    {"unpackPort",
     [](Bytes b) {
         if (b.size() >= 2)
             sysparam::unpackPort(b[0], b[1]);
     }},
    {"decodeInnerCal", [](Bytes b) { blocks::decodeInnerCal(b); }},
    {"decodeClock serial", [](Bytes b) { clockblk::decodeClock(b, true); }},
    {"decodeClock ethernet", [](Bytes b) { clockblk::decodeClock(b, false); }},
    {"decodeWeekday", [](Bytes b) { clockblk::decodeWeekday(b); }},
    {"cutBlocks",
     [](Bytes b) {
         const auto blocks = firmware::cutBlocks(raw(b));
         expect(blocks.size() == (b.size() + firmware::BLOCK_SIZE - 1) / firmware::BLOCK_SIZE, "firmware: one block per 512 bytes begun");
         for (const auto& block : blocks)
             expect(block.size() == firmware::BLOCK_SIZE && firmware::blockRequest(block).has_value(), "firmware: whole blocks");
     }},
    {"decodeFile", [](Bytes b) { imagefile::decodeFile(raw(b)); }},
    {"decodeRamResult", [](Bytes b) { control::decodeRamResult(b); }},
    {"decodeProfibus", [](Bytes b) { control::decodeProfibus(b); }},
    {"decodeSensorTypes", [](Bytes b) { io::decodeSensorTypes(b); }},
    {"decodeAiI32", [](Bytes b) { io::decodeAiI32(b); }},
    {"decodeAiTemp", [](Bytes b) { io::decodeAiTemp(b); }},
    {"decodeAiVolt", [](Bytes b) { io::decodeAiVolt(b); }},
    {"decodeDido short", [](Bytes b) { io::decodeDido(b, false); }},
    {"decodeDido long", [](Bytes b) { io::decodeDido(b, true); }},
    {"decodeLeds", [](Bytes b) { io::decodeLeds(b); }},
    {"decodeAqToDq", [](Bytes b) { io::decodeAqToDq(b); }},
    {"decodeAqZeroFull", [](Bytes b) { io::decodeAqZeroFull(b); }},
    {"decodeCells",
     [](Bytes b) {
         // Byte 0 the cell kind, then the block sizes of the settings windows.
         if (b.empty())
             return;
         const blocks::Cell cell = blocks::Cell(b[0] % 3);
         for (int size : {blocks::CTRL_SIZE, blocks::SM_SIZE, blocks::RESEND_SIZE, blocks::RESEND_SLAVE_SIZE,
                          blocks::RONGYU_SIZE}) {
             const auto cells = blocks::decodeCells(b.subspan(1), size, cell);
             expect(cells.has_value() == (b.size() - 1 >= std::size_t(size)), "cells: decoded iff the block is there");
         }
     }},
    {"decodeSlaveRecord", [](Bytes b) { slave::decodeSlaveRecord(b); }},
    {"decodeMeasurements", [](Bytes b) { aqcal::decodeMeasurements(raw(b)); }},
};

} // namespace

std::span<const Decoder> decoders() { return DECODERS; }

void decode(Bytes input)
{
    if (input.empty() || input[0] >= std::size(DECODERS))
        return;
    DECODERS[input[0]].run(input.subspan(1));
}

} // namespace fuzzing
