#pragma once
// The writes the set-parameter command queues beside the system parameters
// for devices whose short layout lacks those values: sensor types, AQ channel
// types, AI alarm limits, gateway and subnet mask. Each builder reads the page
// (or the staged values) when the dispatcher runs it.
class Engine;
class Controls;
struct DeviceData;

void registerParamWriteRows(Engine& engine, DeviceData& dev, const Controls& controls);
