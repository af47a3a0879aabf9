#include "settings/slave_info_form.h"

#include "base/command.h"
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/colors.h"
#include "link/engine.h"
#include "proto/eth_commands.h"
#include "proto/serial_commands.h"
#include "settings/slave_texts.h"
#include "settings/texts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString u(const char* s) { return QString::fromUtf8(s); }
QString rowName(const char* base, int r) { return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(r); }
// The caption colour of a row that does not wait to be written.
const QColor ROW_IDLE{212, 208, 200};

QString text(const QComboBox* c) { return c->currentText(); }

// The columns of a row, as slavetexts::HEADERS names them.
constexpr int COL_ADDR = 0;
constexpr int COL_TYPE = 2;
constexpr int COL_SCAN_TIME = 3;
constexpr int COL_SCAN_NO = 4;
} // namespace

// A row's box that does not fit its field of the record.
struct SlaveInfoForm::BoxRefused {
    int column;
    QWidget* box;
};

SlaveInfoForm::SlaveInfoForm(Engine& engine, QWidget* parent)
    : QWidget(parent, Qt::Window), engine_(engine)
{
    setObjectName(QStringLiteral("SlaveInfoForm"));
    setWindowTitle(u(slavetexts::CAPTION));
    buildUi();
    CheckTimer.setObjectName(QStringLiteral("CheckTimer"));
    CheckTimer.setInterval(5000);
    connect(&CheckTimer, &QTimer::timeout, this, &SlaveInfoForm::CheckTimer_Timer);
    command(Command1, this, engine_, [this] { Command1_Click(); });
    Form_Load();
}

void SlaveInfoForm::buildUi()
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    int col = 1;
    for (const char* h : slavetexts::HEADERS)
        grid->addWidget(new QLabel(u(h)), 0, col++);
    for (int r = 0; r < ROWS; ++r) {
        const auto i = std::size_t(r);
        Label6[i] = new QLabel(u(slavetexts::ROW_CAPTION).arg(r + 1));
        Label6[i]->setObjectName(rowName("Label6", r));
        txtAddr[i] = new QLineEdit;
        txtAddr[i]->setObjectName(rowName("txtAddr", r));
        ComboCommType[i] = new QComboBox;
        ComboCommType[i]->setObjectName(rowName("ComboCommType", r));
        ComboSlave[i] = new QComboBox;
        ComboSlave[i]->setObjectName(rowName("ComboSlave", r));
        ComboSlave[i]->setEditable(true);
        ComboSlave[i]->setInsertPolicy(QComboBox::NoInsert);
        txtScanTime[i] = new QLineEdit;
        txtScanTime[i]->setObjectName(rowName("txtScanTime", r));
        txtScanNo[i] = new QLineEdit;
        txtScanNo[i]->setObjectName(rowName("txtScanNo", r));
        for (auto* e : {txtAddr[i], txtScanTime[i], txtScanNo[i]}) {
            e->setMaximumWidth(80);
            connect(e, &QLineEdit::textEdited, this, [this, r] { rowEdited(r); });
        }
        connect(ComboCommType[i], &QComboBox::activated, this, [this, r] { rowEdited(r); });
        connect(ComboSlave[i], &QComboBox::activated, this, [this, r] { rowEdited(r); });
        connect(ComboSlave[i]->lineEdit(), &QLineEdit::textEdited, this, [this, r] { rowEdited(r); });
        const QList<QWidget*> cells{Label6[i], txtAddr[i], ComboCommType[i], ComboSlave[i], txtScanTime[i], txtScanNo[i]};
        for (int c = 0; c < cells.size(); ++c)
            grid->addWidget(cells[c], r + 1, c);
    }
    Command1 = new QPushButton(u(slavetexts::WRITE));
    Command1->setObjectName(QStringLiteral("Command1"));
    auto* v = new QVBoxLayout(this);
    v->addLayout(grid);
    auto* h = new QHBoxLayout;
    h->addStretch(1);
    h->addWidget(Command1);
    v->addLayout(h);
}

void SlaveInfoForm::Form_Load()
{
    for (int r = 0; r < ROWS; ++r) {
        const auto i = std::size_t(r);
        ComboCommType[i]->clear();
        for (const char* t : slavetexts::COMM_TYPES)
            ComboCommType[i]->addItem(u(t));
        ComboCommType[i]->setCurrentIndex(-1);
        ComboSlave[i]->clear();
        for (const auto& t : slave::SlaveTypeTable())
            ComboSlave[i]->addItem(u(t.text));
        ComboSlave[i]->setCurrentIndex(-1);
    }
    SlaveChanged.fill(0);
    Command1->setEnabled(false);
}

void SlaveInfoForm::rowEdited(int r)
{
    SlaveChanged[std::size_t(r)] = 1;
    taken_[std::size_t(r)] = false; // what 写入 took is no longer what the row holds
    Command1->setEnabled(true);
    colors::paint(Label6[std::size_t(r)], colors::ON);
}

bool SlaveInfoForm::anyRowMarked() const
{
    return std::any_of(SlaveChanged.begin(), SlaveChanged.end(), [](std::int16_t f) { return f != 0; });
}

void SlaveInfoForm::Command1_Click()
{
    const QString tag = QStringLiteral("Command1_Click(SlaveInfoForm)");
    trap(tag, [&] {
        // Refused before anything of the window changes while nothing would
        // carry the rows (the gate of the button has asked for the stack).
        if (!engine_.mayOwn())
            return;
        // The records are taken now: what goes out is what the rows held at
        // the click, even when the window is closed before the last is sent.
        // A row not read under this connection is left out and stays marked;
        // a box that does not fit its field refuses the whole write.
        std::vector<std::pair<int, QByteArray>> records;
        bool unread = false;
        for (int r = 0; r < ROWS; ++r) {
            const auto i = std::size_t(r);
            if (!SlaveChanged[i])
                continue;
            if (rowConnection_[i] != engine_.connection()) {
                unread = true;
                continue;
            }
            try {
                records.emplace_back(r, slave::encodeSlaveRecord(recordOfRow(r)));
            } catch (const BoxRefused& b) {
                MsgBox(u(slavetexts::ROW_BOX_WRONG).arg(u(slavetexts::ROW_CAPTION).arg(r + 1), u(slavetexts::HEADERS[b.column])));
                b.box->setFocus();
                return;
            }
        }
        if (unread)
            MsgBox(u(texts6::READ_FIRST));
        if (records.empty())
            return;
        queued_ = std::move(records);
        queuedConnection_ = engine_.connection();
        const bool eth = engine_.view()->linkOption() == 1;
        for (std::size_t k = 0; k < queued_.size(); ++k)
            engine_.push(eth ? std::int16_t(net::QE_WRITE_SLAVE) : std::int16_t(serial::QS_WRITE_SLAVE), 0);
        // From here until its last row is answered the write owns the stack.
        engine_.own(Engine::Owner::SlaveWrite);
        writing_ = true;
        writeFailed_ = false;
        inFlight_.reset();
        taken_.fill(false);
        for (const auto& q : queued_)
            taken_[std::size_t(q.first)] = true;
        setEnabled(false);
        Command1->setEnabled(false);
    });
}

void SlaveInfoForm::CheckTimer_Timer()
{
    // Once: the table did not come, and the window is usable again.
    CheckTimer.stop();
    MsgBox(u(slavetexts::READ_FAILED), MsgButtons::Ok, u(slavetexts::SYSTEM_HINT));
    clearRows();
    setEnabled(true);
}

void SlaveInfoForm::closeEvent(QCloseEvent* event)
{
    CheckTimer.stop();
    clearRows();
    setEnabled(true);
    QWidget::closeEvent(event);
}

void SlaveInfoForm::clearRows()
{
    for (int r = 0; r < ROWS; ++r) {
        const auto i = std::size_t(r);
        txtAddr[i]->clear();
        ComboCommType[i]->setCurrentIndex(-1);
        ComboSlave[i]->setCurrentIndex(-1);
        ComboSlave[i]->setEditText(QString());
        txtScanTime[i]->clear();
        txtScanNo[i]->clear();
        colors::paint(Label6[i], ROW_IDLE);
        unknownType_[i].reset();
    }
    SlaveChanged.fill(0);
    rowConnection_.fill(0);
}

slave::SlaveRecord SlaveInfoForm::recordOfRow(int r) const
{
    const auto i = std::size_t(r);
    // Each field as its box holds it, or the box that does not fit.
    const auto field = [](int column, QWidget* box, const auto& convert) {
        try {
            return convert();
        } catch (const RuntimeError&) {
            throw BoxRefused{column, box};
        }
    };
    slave::SlaveRecord rec;
    rec.row = std::uint8_t(r);
    rec.address = field(COL_ADDR, txtAddr[i], [&] { return toByte(strictNumber(txtAddr[i]->text())); });
    rec.commType = std::uint8_t(ComboCommType[i]->currentIndex() + 1);
    rec.deviceType = field(COL_TYPE, ComboSlave[i], [&] {
        const QString type = text(ComboSlave[i]);
        if (unknownType_[i] && type == u(slavetexts::TYPE_UNKNOWN))
            return *unknownType_[i];
        // Only a text of the type list names a device type.
        const auto code = slave::slaveTypeCode(type);
        if (!code)
            throw RuntimeError(QStringLiteral("无此设备类型"));
        return *code;
    });
    rec.scanTime = field(COL_SCAN_TIME, txtScanTime[i], [&] { return toUInt16(strictNumber(txtScanTime[i]->text())); });
    rec.scanNo = field(COL_SCAN_NO, txtScanNo[i], [&] { return toByte(strictNumber(txtScanNo[i]->text())); });
    return rec;
}

bool SlaveInfoForm::rowsQueued() const { return !queued_.empty() && queuedConnection_ == engine_.connection(); }

QByteArray SlaveInfoForm::takeNextRecord()
{
    if (!rowsQueued()) {
        queued_.clear();
        throw RuntimeError(QStringLiteral("没有待写的从设备"));
    }
    // A record still in flight is not answered any more: its answer could
    // not be told from the next one's.
    if (inFlight_)
        writeFailed_ = true;
    const auto [r, rec] = queued_.front();
    queued_.erase(queued_.begin());
    SlaveRowIndex = std::int16_t(r);
    inFlight_ = r;
    return rec;
}

void SlaveInfoForm::rowAnswered(bool acknowledged)
{
    if (!writing_ || !inFlight_)
        return; // no record waits for an answer
    const auto i = std::size_t(*inFlight_);
    inFlight_.reset();
    if (!acknowledged) {
        writeFailed_ = true;
    } else if (taken_[i]) {
        SlaveChanged[i] = 0;
        colors::paint(Label6[i], ROW_IDLE);
    }
    taken_[i] = false;
    if (!rowsQueued())
        endWrite(WriteEnd::Answered);
}

void SlaveInfoForm::writeAbandoned()
{
    if (writing_)
        endWrite(WriteEnd::ConnectionEnded);
}

void SlaveInfoForm::endWrite(WriteEnd how)
{
    queued_.clear();
    inFlight_.reset();
    taken_.fill(false);
    writing_ = false;
    engine_.release(Engine::Owner::SlaveWrite);
    setEnabled(true);
    Command1->setEnabled(anyRowMarked());
    if (how == WriteEnd::Answered)
        engine_.view()->setStatus(u(writeFailed_ ? slavetexts::WRITE_FAILED : slavetexts::WRITE_DONE));
}

void SlaveInfoForm::DistributeSlaveInfo(std::span<const std::uint8_t> payload, int row)
{
    const auto rec = slave::decodeSlaveRecord(payload);
    if (!rec)
        throw RuntimeError(QStringLiteral("应答长度不足"));
    if (row < 0 || row >= ROWS)
        throw RuntimeError(QStringLiteral("下标越界"));
    const auto i = std::size_t(row);
    rowConnection_[i] = engine_.connection();
    txtAddr[i]->setText(QString::number(rec->address));
    if (rec->commType >= 3)
        throw RuntimeError(QStringLiteral("无效的通讯类型"));
    ComboCommType[i]->setCurrentIndex(int(rec->commType) - 1);
    const int pos = slave::slaveTypePosition(rec->deviceType);
    ComboSlave[i]->setCurrentIndex(pos);
    if (pos < 0) {
        ComboSlave[i]->setEditText(u(slavetexts::TYPE_UNKNOWN));
        unknownType_[i] = rec->deviceType;
    } else {
        unknownType_[i].reset();
    }
    txtScanTime[i]->setText(QString::number(rec->scanTime));
    txtScanNo[i]->setText(QString::number(rec->scanNo));
}
