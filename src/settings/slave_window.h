#pragma once
// The slave-device window as the main window and the command engine reach it:
// created on first use, its serial and Ethernet record builders and its reply
// reader registered with the engine.
#include "settings/slave_info_form.h"

#include <QObject>
#include <QPointer>
#include <optional>

class Engine;

class SlaveWindow {
public:
    explicit SlaveWindow(Engine& engine);
    ~SlaveWindow();

    SlaveInfoForm& form();            // loads the window when it does not exist
    bool loaded() const { return !form_.isNull(); }
    void unload();

    // btSlaveShow: empties the rows, reads the 16 rows and shows the window,
    // disabled until every read is answered or over (timed out, or passed by
    // the next request), or the connection ends. The end of a connection also
    // ends a table write: the records it had not sent are not written, the
    // rows not acknowledged stay marked and 写入 is usable again.
    void showAndRead();

    // The engine's view of the window.
    void switchOn(bool on);
    bool rowsMarked() const;
    void stopCheckTimer();
    // The answer to the slave record in flight (see SlaveInfoForm::rowAnswered).
    void rowAnswered(bool acknowledged);
    void rowFailed() { rowAnswered(false); }

private:
    // Serial builders: ReadSlaveInfo, WriteSlaveInfo; Ethernet: StoreSlaveInfo.
    void ReadSlaveInfo();
    void WriteSlaveInfo();
    void StoreSlaveInfo();

    // A request went out: a slave-row read (its row), or anything else, which
    // ends the read in flight: its reply can no longer come.
    void requestSent(std::optional<int> slaveRow);
    void DistributeSlaveInfo(bool serialLink);
    // The table read is over once no read is in flight and none is queued.
    void endOfReads();
    void connectionChanged();

    Engine& engine_;
    QPointer<SlaveInfoForm> form_;
    QObject context_; // the engine's signals reach this object while it lives
    bool reading_ = false;
    std::int16_t readCode_ = 0;    // the queue code of the table read under way
    std::optional<int> asked_;     // the row whose read is in flight
};
