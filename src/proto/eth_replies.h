#pragma once
// The reply branches of the Ethernet link. A reply that passed the header
// checks says nothing reliable about what it answers, so it is dispatched on
// the request last sent: the service, then the pending index, then the pending
// sub-index (for reads of the memory index 107: the pending parameter).
// Data only; the engine registers one handler per action name.
//
// The mark T ("timers") means: Timer2 off, then Timer1 on. A branch runs, in
// this order: T if timersFirst; the text; then its action and T, T first when
// timersBeforeAction is set. A branch without T leaves both timers alone. A
// run-time error in the action skips the rest of the branch, so the order of
// T and the action matters.
#include <QtGlobal>

namespace net {

struct EthReplyRow {
    bool write;               // reply to a write (service 13), else to a read (12)
    qint32 index;
    qint32 subIndex;          // for reads of index 107: the parameter; ANY_SUB: any other
    const char* text;         // Text2; nullptr = none
    bool timers;              // the mark T
    bool timersFirst;         // T before the text (ZigBee read, firmware size and block)
    const char* action;       // the branch's work, nullptr = nothing beyond text and T
    bool timersBeforeAction;  // T after the text but before the action
};

// Sub-index of the row that answers every sub-index of its index not named by
// another row.
inline constexpr qint32 ANY_SUB = -1;

// The branch for a reply, or nullptr when the combination is ignored (no text,
// no timer change: a waiting command then ends by its time-out).
const EthReplyRow* findEthReply(bool write, qint32 index, qint32 subIndex, qint32 param);
// All rows: reads first, then writes.
const EthReplyRow* ethReplyRows(int* count);

// Texts shown by actions rather than by their row.
inline constexpr const char* TEXT_READ_FAILED = "读服务响应错误";
inline constexpr const char* TEXT_WRITE_FAILED = "写服务失败";
// Shown by the DeviceID/PD-tag read only while no system-parameter write is pending.
inline constexpr const char* TEXT_DEVID_READ_OK = "读DeviceID、PDTag成功";
// Shown after the last firmware block was accepted (message box, OK only, no title).
inline constexpr const char* TEXT_UPGRADE_DONE = "升级成功！";

} // namespace net
