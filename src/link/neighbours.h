#pragma once
// The services of the neighbouring windows and stages that the command engine
// calls: the firmware upgrade, the AQ calibration window, the settings windows
// and a few main-window procedures. Each later piece implements its part; the
// defaults do nothing, so a branch that reaches an absent neighbour shows its
// text and takes its ending.
#include <QString>
#include <cstdint>

class Neighbours {
public:
    virtual ~Neighbours() = default;

    // --- firmware upgrade ---
    virtual int UpgradeMode() const { return 0; }
    virtual void setUpgradeMode(int) {}
    virtual void StepProgress(int) {}
    virtual void InitProgress(int maximum, bool timer) {}
    virtual bool progressAtMaximum() const { return false; } // value >= maximum
    virtual void endProgress() {}                            // value 0, bar and label hidden
    virtual void resetFirmwareBlocks() {}                    // two empty blocks, counters 0
    virtual int FwBlockIndex() const { return 0; }
    virtual void DownBin() {}
    virtual void DownBoot() {}
    virtual void DownParaAndOrder() {}

    // --- AQ calibration window ---
    virtual bool AQPageOpen() const { return false; }
    virtual void OnDevReturnFromComm() {}
    virtual void OnDevReturnFromSock() {}

    // --- settings windows (each reads the reply buffer of the chosen link) ---
    virtual void OnReadCtrl() {}
    virtual void OnReadSM() {}
    virtual void OnReadResend() {}
    virtual void OnReadSlave() {}
    virtual void OnReadRongyu() {}
    virtual void DistributeZigbeeParam() {}
    virtual void slaveWindowSwitch(bool on) {}      // SlaveInfoForm switched on or off
    virtual bool slaveRowsMarked() const { return false; } // slave records still wait to be written
    // The slave record in flight was not written: the device refused it, or
    // no answer came within its time-out (the acknowledgement is the slave
    // window's own reply handler).
    virtual void slaveRowFailed() {}
    virtual void stopSlaveCheckTimer() {}           // CheckTimer off, interval 0
    virtual void setZigbeeTestVisible(bool) {}      // the ZigBee window's test button
    virtual void unloadWindows() {}                 // the other windows, when the main window closes

    // --- main window ---
    virtual void Cmd_SetDefault_Click() {}
    virtual void SetAQDQChange() {}
    virtual void StartRun_Click() {}
};
