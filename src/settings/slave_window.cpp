#include "settings/slave_window.h"

#include "device/shared_rows.h"
#include "link/engine.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "proto/serial_frame.h"
#include "proto/slave_record.h"

#include <QPushButton>

using namespace serial;

SlaveWindow::SlaveWindow(Engine& engine) : engine_(engine)
{
    Engine* e = &engine;
    e->setSerialBuilder(QS_READ_SLAVE, [this] { ReadSlaveInfo(); });
    e->setSerialBuilder(QS_WRITE_SLAVE, [this] { WriteSlaveInfo(); });
    e->setEthBuilder(net::QE_WRITE_SLAVE, [this] { StoreSlaveInfo(); });
    // DistributeSlaveInfo, on the link whose option is chosen.
    const auto record = Engine::decodes(slave::decodeSlaveRecord);
    e->setSerialDecoder(std::uint8_t(QS_READ_SLAVE), [this] { DistributeSlaveInfo(true); }, record);
    e->setEthAction(QStringLiteral("DistributeSlaveInfo"), [this] { DistributeSlaveInfo(false); }, record);
    // The device's acknowledgement of the record in flight.
    e->setSerialDecoder(std::uint8_t(QS_WRITE_SLAVE), [this] { rowAnswered(true); });
    e->setEthAction(QStringLiteral("slaveRowWritten"), [this] { rowAnswered(true); });
    QObject::connect(e, &Engine::frameSent, &context_,
                     [this](const QByteArray& f) { requestSent(slave::slaveReadRowOfFrame(f)); });
    QObject::connect(e, &Engine::datagramSent, &context_,
                     [this](const QByteArray& d) { requestSent(slave::slaveReadRowOfDatagram(d)); });
    QObject::connect(e, &Engine::connectionChanged, &context_, [this] { connectionChanged(); });
    // What the rows show was said by the device of the connection that ended.
    QObject::connect(e, &Engine::connectionEnded, &context_, [this] {
        if (form_)
            form_->clearRows();
    });
}

SlaveWindow::~SlaveWindow() { unload(); }

SlaveInfoForm& SlaveWindow::form()
{
    if (!form_)
        form_ = new SlaveInfoForm(engine_);
    return *form_;
}

void SlaveWindow::unload()
{
    if (form_ && form_->writing())
        engine_.release(Engine::Owner::SlaveWrite); // nothing is left to write the rows
    delete form_.data();
}

void SlaveWindow::rowAnswered(bool acknowledged)
{
    if (form_)
        form_->rowAnswered(acknowledged);
}

void SlaveWindow::showAndRead()
{
    const bool eth = engine_.view()->linkOption() == 1;
    readCode_ = eth ? std::int16_t(net::QE_READ_SLAVE) : std::int16_t(QS_READ_SLAVE);
    // The sixteen reads count their rows on from one start: no entry has a row of its own.
    engine_.setParam(eth ? slave::READ_PARAM_BASE : 0);
    for (int r = 0; r < slave::ROWS; ++r)
        engine_.push(readCode_);
    reading_ = true;
    SlaveInfoForm& f = form();
    f.clearRows(); // nothing the window held may pass for the device's rows
    f.CheckTimer.setInterval(5000);
    f.CheckTimer.start();
    f.Command1->setEnabled(false);
    f.show();
    f.setEnabled(false);
}

void SlaveWindow::requestSent(std::optional<int> slaveRow)
{
    if (slaveRow) {
        asked_ = slaveRow;
        return;
    }
    if (asked_) {
        asked_.reset();
        endOfReads();
    }
}

void SlaveWindow::DistributeSlaveInfo(bool serialLink)
{
    // Each reply fills the row its read asked for; a reply with no read in
    // flight answers nothing and is dropped.
    if (!asked_)
        return;
    const int row = *asked_;
    asked_.reset();
    try {
        form().DistributeSlaveInfo(engine_.replyPayload(serialLink), row);
    } catch (...) {
        endOfReads();
        throw;
    }
    endOfReads();
}

void SlaveWindow::endOfReads()
{
    if (!reading_ || asked_ || engine_.queued(readCode_))
        return;
    reading_ = false;
    if (form_)
        form_->setEnabled(true);
}

void SlaveWindow::connectionChanged()
{
    // The reads and the records still queued belong to the connection that
    // ended: the window is usable again, and its rows are not written.
    asked_.reset();
    reading_ = false;
    if (form_) {
        form_->CheckTimer.stop();
        form_->writeAbandoned();
        form_->setEnabled(true);
    }
}

void SlaveWindow::switchOn(bool on)
{
    if (form_)
        form_->setEnabled(on);
}

bool SlaveWindow::rowsMarked() const { return form_ && form_->rowsQueued(); }

void SlaveWindow::stopCheckTimer()
{
    if (!form_)
        return;
    form_->CheckTimer.stop();
    form_->CheckTimer.setInterval(0);
}

void SlaveWindow::ReadSlaveInfo()
{
    const auto row = std::uint8_t(engine_.nextParam());
    engine_.sendFrame(buildFrame(QS_READ_SLAVE, slave::slaveReadRequest(row)), 19);
}

void SlaveWindow::WriteSlaveInfo() { engine_.sendFrame(buildFrame(QS_WRITE_SLAVE, form().takeNextRecord()), 19); }

void SlaveWindow::StoreSlaveInfo() { engine_.WritePayload = form().takeNextRecord(); }
