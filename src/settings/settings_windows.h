#pragma once
// The settings windows that the main window opens and that the reply branches
// feed: controller parameters, SM area, forwarding table, slave forwarding
// ranges, redundancy, and the ZigBee windows. Each is created on first use
// (a reply that comes first creates it without showing it) and unloaded with
// the main window.
#include "settings/block_form.h"
#include "settings/zigbee_form.h"

#include <memory>

class Engine;

class SettingsWindows {
public:
    explicit SettingsWindows(Engine& engine);
    ~SettingsWindows();

    BlockForm& Form_Ctrl();
    BlockForm& Form_SM();
    BlockForm& Form_Resend();
    BlockForm& Form_Resend_Slave();
    BlockForm& Form_Rongyu();
    ZigbeeForm& ZigBee();
    ZigbeeAdvanceParam& ZigbeeAdvance();
    // Whether a window object exists, by its name.
    bool loaded(const QString& name) const;

    // Reply readers, called by the reply branches of both links.
    void OnReadCtrl() { Form_Ctrl().OnRead(); }
    void OnReadSM() { Form_SM().OnRead(); }
    void OnReadResend() { Form_Resend().OnRead(); }
    void OnReadSlave() { Form_Resend_Slave().OnRead(); }
    void OnReadRongyu() { Form_Rongyu().OnRead(); }
    void DistributeZigbeeParam() { ZigBee().DistributeZigbeeParam(); }
    // Block builders, run by the dispatcher. A window never loaded has never
    // read its block: nothing is sent.
    void WriteCtrl() { loadedForm(ctrl_).Write(); }
    void WriteSM() { loadedForm(sm_).Write(); }
    void WriteResend() { loadedForm(resend_).Write(); }
    void WriteSlave() { loadedForm(resendSlave_).Write(); }
    void WriteRongyu() { loadedForm(rongyu_).Write(); }
    void WriteZigbeeParam();
    // The test button of the ZigBee window; touching it loads the window.
    void setZigbeeTestVisible(bool visible);
    // Shows a window, loading it first.
    static void open(QWidget& w);
    // Unloads every loaded window.
    void unload();

private:
    BlockForm& form(std::unique_ptr<BlockForm>& slot, const BlockFormSpec& spec);
    BlockForm& loadedForm(std::unique_ptr<BlockForm>& slot);

    Engine& engine_;
    std::unique_ptr<BlockForm> ctrl_, sm_, resend_, resendSlave_, rongyu_;
    std::unique_ptr<ZigbeeForm> zigbee_;
    std::unique_ptr<ZigbeeAdvanceParam> zigbeeAdvance_;
};

// The write builders of the settings blocks on both links.
void registerSettingsRows(Engine& engine, SettingsWindows& windows);
