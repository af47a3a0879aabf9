#pragma once
// A settings window that shows one data block of the device as rows of
// numbered cells, exactly as read, and writes it back as edited. Its read
// button pushes the block's read code; its write button pushes the read code
// and then the write code, so the write runs first and the read-back after it.
// A block is written only under the connection it was read in: one never read,
// or read before the last start, device pick, Stop or lost port, is refused
// alike: the button says so, and the builder sends nothing.
#include "proto/settings_blocks.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class Engine;
class QPushButton;
class QTableWidget;

struct BlockFormSpec {
    const char* name;          // objectName of the window
    const char* title;
    int size;                  // bytes of the block
    blocks::Cell cell;
    int headCells;             // cells of an unnumbered head row (0: none)
    int columns;               // cells per numbered row
    std::int16_t readCode;     // queue codes, the same numbers on both links
    std::int16_t writeCode;
    std::uint8_t writeFn;      // serial function code of the write
    const char* const* columnCaptions; // nullptr: the cells are numbered
};

// The check of a write button: a block never read, or controls that do not
// make a block, are refused with a message; true when the write may be queued.
bool readyToWrite(bool blockRead, const std::function<void()>& capture);

class BlockForm : public QWidget {
    Q_OBJECT
public:
    BlockForm(const BlockFormSpec& spec, Engine& engine);

    const BlockFormSpec& spec() const { return spec_; }
    // Whether the block was read in the current connection.
    bool blockRead() const;
    int cellCount() const { return spec_.size / blocks::cellBytes(spec_.cell); }
    // Grid position of cell i.
    int rowOf(int i) const;
    int columnOf(int i) const;

    // The reply reader: the block from the reply buffer of the chosen link
    // into the grid. Throws when the reply is shorter than the block.
    void OnRead();
    // The block builder: the grid as the block, sent on the chosen link.
    // Throws (and sends nothing) for a block never read or a bad cell.
    void Write();
    void cmdRead_Click();
    void cmdWrite_Click();

    QTableWidget* grdBlock = nullptr;
    QPushButton* cmdRead = nullptr;
    QPushButton* cmdWrite = nullptr;

private:
    // The cells as values; throws at the first cell that is not a number
    // fitting its cell, after selecting it.
    std::vector<std::int32_t> capture() const;

    BlockFormSpec spec_;
    Engine& engine_;
    int readConnection_ = 0; // the connection the block was read in; 0: never
};
