#pragma once
// The serial builders and reply decoders of the device data, registered with
// the command engine.
class Engine;
class Controls;
struct DeviceData;

void registerSerialRows(Engine& engine, DeviceData& dev, const Controls& controls);

// The serial idle poll: a live-value read by display mode, then the DI/DO read.
void ReadData(Engine& engine, DeviceData& dev);
void ReadDIDO(Engine& engine, DeviceData& dev);
