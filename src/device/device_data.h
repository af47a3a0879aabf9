#pragma once
// Device data in memory: the blocks read from the device and the values the
// pages stage for writing. Overwritten by each reply, alive for the process.
#include "proto/io_blocks.h"
#include "proto/sys_param.h"

#include <QString>
#include <array>
#include <deque>
#include <cstdint>

struct DeviceData {
    SysParamRecord SysInfo;
    // The connection the system record was read in (0: none). The record is
    // written back (设置参数, 读取并下载) only while that connection lasts.
    int SysInfoConnection = 0;
    QString DeviceBootVer;              // "1.2", from the serial system-parameter reply
    QString DeviceInnerVer;             // "2554", the firmware version word in hex
    std::array<std::uint8_t, 8> AQType{};    // AQ channel types as read: 0 voltage, 1 current, 2 DQ
    std::array<std::uint8_t, 8> AQTypeBuf{}; // AQ channel types to write
    std::int16_t LivePollPhase = 0;     // serial idle poll: 0 live values next, 1 DI/DO next
    std::int16_t TempWriteValue = 0;    // cold-junction value to write
    std::uint8_t SelfCalKind = 0;       // self-calibration to run: 0 gain, 1 offset
    std::uint8_t ResumeMask = 0;        // parameters to restore, bit i = group i
    // DO clicks not yet written, oldest first: each write carries the outputs
    // the device last reported with its one DO flipped.
    std::deque<std::uint8_t> DOFlips;
    std::uint8_t DOByte = 0;            // DO byte last sent
    std::array<std::uint8_t, 8> AQtoDQState{}; // AQ channels switched to DQ: 1 on, 0 off
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
        AQTypeBuf = {};
        DOFlips.clear();
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
