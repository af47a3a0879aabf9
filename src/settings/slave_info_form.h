#pragma once
// The slave-device window: the 16 rows of the device's slave table. The rows
// are read one record per request, each reply into the row it was asked for;
// an edited row is marked and coloured, and the write button takes the
// records of the marked rows, which then go out one per request, in row order.
// A row loses its mark only on the device's acknowledgement of its own write;
// the write owns the command stack until its last row is answered.
#include "proto/slave_record.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class Engine;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class SlaveInfoForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int ROWS = slave::ROWS;

    explicit SlaveInfoForm(Engine& engine, QWidget* parent = nullptr);

    std::array<QLabel*, ROWS> Label6{};          // row captions, green while the row waits to be written
    std::array<QLineEdit*, ROWS> txtAddr{};
    std::array<QComboBox*, ROWS> ComboCommType{};
    std::array<QComboBox*, ROWS> ComboSlave{};
    std::array<QLineEdit*, ROWS> txtScanTime{};
    std::array<QLineEdit*, ROWS> txtScanNo{};
    QPushButton* Command1 = nullptr;
    QTimer CheckTimer;                            // the table read's time-out

    std::array<std::int16_t, ROWS> SlaveChanged{}; // 1: the row waits to be written
    std::int16_t SlaveRowIndex = 0;                // the row of the record being written

    // A table write runs from 写入 until its last taken row is answered or
    // the connection ends; meanwhile it owns the engine's stack.
    bool writing() const { return writing_; }
    // The answer to the record in flight: acknowledged by the device (the row
    // turns grey and loses its mark, unless edited since 写入), or not
    // (refused or timed out: the row stays marked). The last answer ends the write.
    void rowAnswered(bool acknowledged);
    // The connection ended: so does the write; the rows not acknowledged stay marked.
    void writeAbandoned();

    void Form_Load();
    void Command1_Click();
    void CheckTimer_Timer();
    // An edit of row r by the user.
    void rowEdited(int r);

    bool anyRowMarked() const;
    // Whether records taken by the write button still wait to go out under
    // the connection they were taken in.
    bool rowsQueued() const;
    // The next record taken by the write button, now in flight:
    // SlaveRowIndex := its row; its flag stays until the device acknowledges it.
    // Throws when none waits (or they were taken under an earlier connection).
    QByteArray takeNextRecord();
    // Fills row `row` from a read reply under the current connection.
    void DistributeSlaveInfo(std::span<const std::uint8_t> payload, int row);
    // Empties every row (boxes, lists, flags, captions) and forgets what was
    // read into them.
    void clearRows();

protected:
    // Closing the window forgets its rows, as a window loaded afresh: the
    // next table read fills them again. Records already taken by the write
    // button are still written.
    void closeEvent(QCloseEvent* event) override;

private:
    enum class WriteEnd { Answered, ConnectionEnded };
    // The one end of a table write: the stack released, the window and 写入
    // usable again, and, when the rows were answered, the status line says
    // whether every row taken was acknowledged.
    void endWrite(WriteEnd how);
    struct BoxRefused;
    // The record of row r as its boxes hold it; throws BoxRefused at the
    // first box that does not fit its field.
    slave::SlaveRecord recordOfRow(int r) const;
    void buildUi();

    Engine& engine_;
    // The connection each row was read under (0: not read since the rows
    // were cleared). Only a row read under the current connection is written.
    std::array<int, ROWS> rowConnection_{};
    // The records the write button took, in row order, and the connection
    // they were taken under. Closing the window does not drop them.
    std::vector<std::pair<int, QByteArray>> queued_;
    int queuedConnection_ = 0;
    bool writing_ = false;
    std::optional<int> inFlight_;   // the row whose record waits for its answer
    bool writeFailed_ = false;      // a row of this write was refused or not answered
    std::array<bool, ROWS> taken_{}; // taken by 写入 and not edited since
    // A device-type code the table lacks, as read for the row: written back
    // unchanged while the row still shows it as unknown.
    std::array<std::optional<std::uint16_t>, ROWS> unknownType_{};
};
