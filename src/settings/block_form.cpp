#include "settings/block_form.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/shared_rows.h"
#include "base/command.h"
#include "link/engine.h"
#include "settings/texts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QString u(const char* s) { return QString::fromUtf8(s); }
constexpr int SERIAL_WRITE_REPLY = 7;
} // namespace

bool readyToWrite(bool blockRead, const std::function<void()>& capture)
{
    if (!blockRead) {
        MsgBox(u(texts6::READ_FIRST));
        return false;
    }
    try {
        capture();
    } catch (const RuntimeError&) {
        MsgBox(u(texts6::BAD_VALUE));
        return false;
    }
    return true;
}

BlockForm::BlockForm(const BlockFormSpec& spec, Engine& engine) : spec_(spec), engine_(engine)
{
    setObjectName(QString::fromLatin1(spec.name));
    setWindowTitle(u(spec.title));
    const int head = spec.headCells > 0 ? 1 : 0;
    const int rows = head + (cellCount() - spec.headCells + spec.columns - 1) / spec.columns;
    const int cols = std::max(spec.columns, spec.headCells);
    grdBlock = new QTableWidget(rows, cols, this);
    grdBlock->setObjectName(QStringLiteral("grdBlock"));
    QStringList colHeads, rowHeads;
    for (int c = 0; c < cols; ++c)
        colHeads << (spec.columnCaptions ? u(spec.columnCaptions[c]) : QString::number(c));
    if (head)
        rowHeads << u(texts6::HEAD_ROW);
    for (int r = head; r < rows; ++r)
        rowHeads << QString::number(r - head + 1);
    grdBlock->setHorizontalHeaderLabels(colHeads);
    grdBlock->setVerticalHeaderLabels(rowHeads);
    grdBlock->horizontalHeader()->setDefaultSectionSize(spec.cell == blocks::Cell::I32 ? 90 : 46);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::NoItemFlags); // cells beyond the block stay blank
            grdBlock->setItem(r, c, item);
        }
    for (int i = 0; i < cellCount(); ++i)
        grdBlock->item(rowOf(i), columnOf(i))->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);

    cmdRead = new QPushButton(u(texts6::READ), this);
    cmdRead->setObjectName(QStringLiteral("cmdRead"));
    cmdWrite = new QPushButton(u(texts6::WRITE), this);
    cmdWrite->setObjectName(QStringLiteral("cmdWrite"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdRead);
    buttons->addWidget(cmdWrite);
    auto* v = new QVBoxLayout(this);
    v->addWidget(grdBlock);
    v->addLayout(buttons);
    resize(std::min(1200, 60 + cols * grdBlock->horizontalHeader()->defaultSectionSize()), 480);
    command(cmdRead, this, engine_, [this] { cmdRead_Click(); });
    command(cmdWrite, this, engine_, [this] { cmdWrite_Click(); });
    // The grid shows what the device that is gone said: it is emptied.
    connect(&engine_, &Engine::connectionEnded, this, [this] {
        for (int i = 0; i < cellCount(); ++i)
            grdBlock->item(rowOf(i), columnOf(i))->setText(QString());
    });
}

bool BlockForm::blockRead() const { return readConnection_ == engine_.connection(); }

int BlockForm::rowOf(int i) const
{
    if (spec_.headCells > 0)
        return i < spec_.headCells ? 0 : 1 + (i - spec_.headCells) / spec_.columns;
    return i / spec_.columns;
}

int BlockForm::columnOf(int i) const
{
    if (spec_.headCells > 0 && i < spec_.headCells)
        return i;
    return (i - spec_.headCells) % spec_.columns;
}

void BlockForm::OnRead()
{
    const auto values = blocks::decodeCells(replyPayload(engine_, serialChosen(engine_)), spec_.size, spec_.cell);
    if (!values)
        throw RuntimeError(QStringLiteral("应答长度不足"));
    for (int i = 0; i < cellCount(); ++i)
        grdBlock->item(rowOf(i), columnOf(i))->setText(QString::number((*values)[std::size_t(i)]));
    readConnection_ = engine_.connection();
}

std::vector<std::int32_t> BlockForm::capture() const
{
    std::vector<std::int32_t> values;
    values.reserve(std::size_t(cellCount()));
    for (int i = 0; i < cellCount(); ++i) {
        auto* item = grdBlock->item(rowOf(i), columnOf(i));
        const auto bad = [&] {
            grdBlock->setCurrentItem(item);
            throw RuntimeError(QString::fromUtf8(texts6::BAD_VALUE));
        };
        const QString t = item->text().trimmed();
        if (!isNumeric(t))
            bad();
        std::int32_t v = 0;
        try {
            v = toInt32(strictNumber(t));
        } catch (const RuntimeError&) {
            bad();
        }
        if (!blocks::encodeCells({v}, spec_.cell))
            bad();
        values.push_back(v);
    }
    return values;
}

void BlockForm::Write()
{
    if (!blockRead())
        throw RuntimeError(QString::fromUtf8(texts6::READ_FIRST));
    const auto bytes = blocks::encodeCells(capture(), spec_.cell);
    sendBlock(engine_, spec_.writeFn, *bytes, SERIAL_WRITE_REPLY);
}

void BlockForm::cmdRead_Click()
{
    trap(QStringLiteral("cmdRead_Click(%1)").arg(objectName()), [&] { engine_.push(spec_.readCode); });
}

void BlockForm::cmdWrite_Click()
{
    trap(QStringLiteral("cmdWrite_Click(%1)").arg(objectName()), [&] {
        if (!readyToWrite(blockRead(), [this] { capture(); }))
            return;
        engine_.push(spec_.readCode);
        engine_.push(spec_.writeCode);
    });
}
