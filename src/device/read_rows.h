#pragma once
// The reads that fill the page boxes the set-parameter command writes back:
// engineering calibration values, AI alarm limits, MAC address, gateway and
// subnet mask, AQ channel types, hardware number and PD tag. The same effect
// on both links; serial replies carry the block from frame byte 3, Ethernet
// replies from datagram byte 12.
class Engine;
class Controls;
struct DeviceData;

void registerReadRows(Engine& engine, DeviceData& dev, const Controls& controls);
