#pragma once
// The Ethernet payload builders and reply actions of the device data,
// registered with the command engine.
class Engine;
class Controls;
struct DeviceData;

void registerEthRows(Engine& engine, DeviceData& dev, const Controls& controls);
