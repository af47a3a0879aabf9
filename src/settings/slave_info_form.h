#pragma once
// The slave-device window: the 16 rows of the device's slave table. The rows
// are read one record per request; an edited row is marked and coloured, and
// the write button writes the marked rows one record per request, in row order.
#include "proto/slave_record.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

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
    // The record of the lowest marked row: SlaveRowIndex := that row, its flag
    // cleared, the unmarked rows' captions back to grey. A row whose boxes do
    // not convert throws; its flag is cleared all the same (it stays green), so
    // the write goes on with the next marked row instead of trying it forever.
    QByteArray takeNextRecord();
    // Fills the first empty row from a read reply; a full table drops it.
    void DistributeSlaveInfo(std::span<const std::uint8_t> payload);
    // Empties every row (boxes, lists, flags, captions).
    void clearRows();

protected:
    // Closing the window forgets its rows, as a window loaded afresh: the
    // next table read fills them again.
    void closeEvent(QCloseEvent* event) override;

private:
    slave::SlaveRecord recordOfRow(int r) const;
    void buildUi();

    Engine& engine_;
    // A device-type code the table lacks, as read for the row: written back
    // unchanged while the row still shows it as unknown.
    std::array<std::optional<std::uint16_t>, ROWS> unknownType_{};
};
