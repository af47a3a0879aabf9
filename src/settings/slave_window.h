#pragma once
// The slave-device window as the main window and the command engine reach it:
// created on first use, its serial and Ethernet record builders and its reply
// reader registered with the engine.
#include "settings/slave_info_form.h"

#include <QPointer>

class Engine;

class SlaveWindow {
public:
    explicit SlaveWindow(Engine& engine);
    ~SlaveWindow();

    SlaveInfoForm& form();            // loads the window when it does not exist
    bool loaded() const { return !form_.isNull(); }
    void unload();

    // btSlaveShow: reads the 16 rows and shows the window, disabled until the
    // last row arrives.
    void showAndRead();

    // The engine's view of the window.
    void switchOn(bool on);
    bool rowsMarked() const;
    void stopCheckTimer();

private:
    // Serial builders: ReadSlaveInfo, WriteSlaveInfo; Ethernet: StoreSlaveInfo.
    void ReadSlaveInfo();
    void WriteSlaveInfo();
    void StoreSlaveInfo();

    Engine& engine_;
    QPointer<SlaveInfoForm> form_;
};
