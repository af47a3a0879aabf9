#pragma once
// Device data in memory: the blocks read from the device and the values the
// pages stage for writing. Overwritten by each reply, alive for the process.
#include "proto/io_blocks.h"
#include "proto/sys_param.h"

#include <QString>
#include <array>
#include <deque>
#include <optional>
#include <utility>
#include <cstdint>

// Clicks on a bank of N switches (DO, LEDs, AQ-to-DQ). A click lives exactly
// as long as its write: `pending` holds the clicks whose writes wait on the
// command stack, oldest first (a click whose write leaves the stack unsent is
// forgotten with it), `sent` the states of the write that went out until the
// device answers it. Each write carries the states the device last reported
// (or acknowledged) with the oldest click flipped: a reply landing between a
// click and its write moves the base, never the click, and two clicks flip
// twice. A switch shows the same base with every click still on its way.
template <std::size_t N>
struct SwitchClicks {
    using States = std::array<std::uint8_t, N>;
    std::deque<std::uint8_t> pending;
    std::optional<States> sent;

    static std::uint8_t flipped(std::uint8_t s) { return s == 1 ? 0 : 1; }
    // The states to write: `known` with the oldest click flipped; that click
    // leaves the queue and stays on its way until the write is answered.
    States next(States known)
    {
        if (!pending.empty()) {
            auto& s = known[pending.front() % N];
            s = flipped(s);
            pending.pop_front();
        }
        sent = known;
        return known;
    }
    // What switch i is to show.
    std::uint8_t shown(const States& known, std::size_t i) const
    {
        std::uint8_t s = (sent ? *sent : known)[i];
        for (auto c : pending)
            if (c == i)
                s = flipped(s);
        return s;
    }
    // Keeps the newest `queued` clicks, those whose writes still wait; true
    // when any was forgotten.
    bool keep(std::size_t queued)
    {
        const bool dropped = pending.size() > queued;
        while (pending.size() > queued)
            pending.pop_front();
        return dropped;
    }
    // The device answered the write: it holds what was sent.
    void acknowledged(States& known)
    {
        if (sent)
            known = *sent;
        sent.reset();
    }
    // The write's answer will not come (its time-out, a refusal): it is on
    // its way no more, and the switches show the last known state again.
    bool settle() { return std::exchange(sent, std::nullopt).has_value(); }
};

struct DeviceData {
    SysParamRecord SysInfo;
    // The connection the system record was read in (0: none). The record is
    // written back (设置参数, 读取并下载) only while that connection lasts.
    int SysInfoConnection = 0;
    QString DeviceBootVer;              // "1.2", from the serial system-parameter reply
    QString DeviceInnerVer;             // "2554", the firmware version word in hex
    std::array<std::uint8_t, 8> AQType{};    // AQ channel types as read or written: 0 voltage, 1 current, 2 DQ
    int AQTypeConnection = 0;                // the connection they were read or written in (0: none)
    std::array<std::uint8_t, 8> AQTypeBuf{}; // AQ channel types to write
    std::int16_t LivePollPhase = 0;     // serial idle poll: 0 live values next, 1 DI/DO next
    std::int16_t TempWriteValue = 0;    // cold-junction value to write
    std::uint8_t SelfCalKind = 0;       // self-calibration to run: 0 gain, 1 offset
    std::uint8_t ResumeMask = 0;        // parameters to restore, bit i = group i
    SwitchClicks<2> DOClicks;
    SwitchClicks<18> LedClicks;
    SwitchClicks<8> DQClicks;
    std::uint8_t DOByte = 0;            // DO byte last sent
    // AQ channels switched to DQ as last read or acknowledged: 1 on, 0 off.
    std::array<std::uint8_t, 8> AQtoDQState{};
    // The AQ zero/full block last read, and the connection it was read in
    // (0: none). A switching channel's points are written back from it.
    io::AqZeroFull AQZeroFullRead{};
    int AQZeroFullConnection = 0;
    // The PD tag's 32 bytes as the device last reported them (empty: none in
    // this connection): while the box shows them they go back as they are.
    QByteArray PdTagRead;
    // Analog inputs: raw device numbers per channel.
    std::array<std::int32_t, 11> ZeroVal{};
    std::array<std::int32_t, 11> FullVal{};
    std::array<std::int32_t, 11> ADVal{};
    std::array<std::int16_t, 11> TempVal{};
    std::array<float, 11> VoltVal{};
    // Digital I/O, outputs and LEDs.
    std::uint8_t DIByte = 0;            // DI byte of the last serial DI/DO reply
    std::array<std::uint8_t, 4> DIState{};
    std::array<std::uint8_t, 2> DOState{};
    std::array<double, 8> AOVal{};      // output values to write, in V or mA
    std::array<std::int16_t, 8> AOValInt{}; // the same x 1000 as on the wire
    std::array<std::uint8_t, 18> LedState{};

    // The connection ended: what the device said is forgotten, the states the
    // LED, DO, DQ and AQ-to-DQ buttons toggle included. The system record
    // stays for the lengths that depend on the model, but no longer counts as
    // read; the values the user staged for a write stay the user's.
    void forget()
    {
        SysInfoConnection = 0;
        DeviceBootVer.clear();
        DeviceInnerVer.clear();
        AQType = {};
        AQTypeConnection = 0;
        AQTypeBuf = {};
        DOClicks = {};
        LedClicks = {};
        DQClicks = {};
        DOByte = 0;
        AQtoDQState = {};
        AQZeroFullRead = {};
        AQZeroFullConnection = 0;
        PdTagRead.clear();
        ZeroVal = {};
        FullVal = {};
        ADVal = {};
        TempVal = {};
        VoltVal = {};
        DIByte = 0;
        DIState = {};
        DOState = {};
        AOValInt = {};
        LedState = {};
    }
};
