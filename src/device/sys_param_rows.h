#pragma once
// The system-parameter block on both links: the reply decode with its model
// identification, status lamps and messages, and the write builders of the
// short and the long layout.
#include "proto/sys_param.h"

#include <functional>

class Engine;
class Controls;
struct DeviceData;

// `showSysInfo` is the window's display of the record, run at the end of a
// successful decode.
void registerSysParamRows(Engine& engine, DeviceData& dev, const Controls& controls,
                          std::function<void()> showSysInfo);

// Decodes the reply in the engine's buffer of the link into the record and
// applies what only the reply carries; throws RuntimeError, with nothing
// applied, when the reply is too short.
void distributeSysParam(Engine& engine, DeviceData& dev, const Controls& c, sysparam::Link link,
                        const std::function<void()>& showSysInfo);

// The payload of the system-parameter write for the connected device: the
// short or the long layout, by model and firmware. Reads the page's boxes; a
// box that does not fit its field tells the user and throws Abandoned, and
// nothing is built. The set-parameter commands run it before they queue the
// write, so a refused set queues nothing.
QByteArray sysParamPayload(const DeviceData& dev, const Controls& c, sysparam::Link link);

// The model's own effects on the page: the RAM-test button and hidden channels.
void applyModelEffects(std::uint8_t deviceType, const Controls& c, sysparam::Link link);
