#pragma once
// The slave-device window: the 16 rows of the device's slave table. The rows
// are read one record per request, each reply into the row it was asked for;
// an edited row is marked and coloured, and the write button takes the
// records of the marked rows, which then go out one per request, in row order.
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

    void Form_Load();
    void Command1_Click();
    void CheckTimer_Timer();
    // An edit of row r by the user.
    void rowEdited(int r);

    bool anyRowMarked() const;
    // Whether records taken by the write button still wait to go out under
    // the connection they were taken in.
    bool rowsQueued() const;
    // The next record taken by the write button: SlaveRowIndex := its row,
    // the row's flag cleared, the unmarked rows' captions back to grey.
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
    // A device-type code the table lacks, as read for the row: written back
    // unchanged while the row still shows it as unknown.
    std::array<std::optional<std::uint16_t>, ROWS> unknownType_{};
};
