#include "aqcal/form_aq.h"

#include "aqcal/texts.h"
#include "base/command.h"
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/device_data.h"
#include "device/io_rows.h"
#include "device/shared_rows.h"
#include "device/texts.h"
#include "device/typed_values.h"
#include "link/engine.h"
#include "link/udp_transport.h"
#include "proto/aq_cal.h"
#include "proto/eth_replies.h"
#include "proto/net_datagram.h"
#include "proto/settings_blocks.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace {
QString u(const char* s) { return QString::fromUtf8(s); }

// One command of the AQ window: its request on each link and its reply.
struct AqRow {
    std::int16_t code;
    const char* wait;   // Text1 while it waits
    const char* done;   // Text1 when it is answered
    std::uint8_t fn;    // serial function code
    int replyLen;       // serial reply bytes
    bool write;         // Ethernet service
    std::int16_t sub;   // Ethernet sub-index of index 10003
    int timeoutMs;
    std::int8_t mode;   // zero/full write: the mode byte and parameter; -1 otherwise
    std::int16_t readBack; // the read its button queues beneath it, to show what the device took
};

constexpr AqRow ROWS[] = {
    {AQ_READ_TYPE, "正在读AQ通道类型", "读AQ通道类型成功", 39, 15, false, 17, 1000, -1, AQ_IDLE},
    {AQ_WRITE_TYPE, "正在写AQ通道类型", "写AQ通道类型成功", 38, 15, true, 20, 5000, -1, AQ_READ_TYPE},
    {AQ_READ_ZERO_FULL, "正在读AQ零点满度信息", "读AQ零点满度成功", 35, 71, false, 15, 1000, -1, AQ_IDLE},
    {AQ_WRITE_ZERO, "输出或写入AQ零点满度信息", "写AQ零点满度成功", 34, 40, true, 18, 2000, 2, AQ_READ_ZERO_FULL},
    {AQ_WRITE_FULL, "输出或写入AQ零点满度信息", "写AQ零点满度成功", 34, 40, true, 18, 2000, 3, AQ_READ_ZERO_FULL},
    {AQ_WRITE_AO, "正在写入AO数据，请等待", "写AO值成功", 16, 23, true, 16, 5000, -1, AQ_IDLE},
    {AQ_WRITE_DO, "正在写入DO数据，请等待", "设置DO值成功", 14, 8, true, 14, 5000, -1, AQ_IDLE},
    {AQ_WRITE_TO_DQ, "正在写AQ转DQ状态信息", "写AQ转DQ状态成功", 41, 8, true, 21, 4000, -1, AQ_IDLE},
    {AQ_MEASURE_V, "正在读测量值", texts5::MEASURE_OK, 0, 0, false, 0, 2000, -1, AQ_IDLE},
    {AQ_MEASURE_M, "正在读测量值", texts5::MEASURE_OK, 0, 0, false, 0, 2000, -1, AQ_IDLE},
};

const AqRow* rowOf(std::int16_t code)
{
    for (const auto& r : ROWS)
        if (r.code == code)
            return &r;
    return nullptr;
}

QLineEdit* box(QWidget* parent, const QString& name, int width = 64)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setFixedWidth(width);
    return e;
}

// A zero or full-scale point as the write carries it: the box's value times
// 1000, rounded, in the block's signed 16-bit field, as the main page's AQ
// boxes take it. A box that does not fit refuses the write, named.
std::int16_t milli(const QLineEdit* e)
{
    return std::int16_t(boxValue(e, std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max(), 1000.0));
}
} // namespace

// ---------------------------------------------------------------- load and unload

Form_AQ::Form_AQ(Engine& engine, DeviceData& device, bool& aqPageOpen, const AqCalSetup& setup)
    : engine_(engine), dev_(device), open_(aqPageOpen), linkHeld_(setup.linkHeld), measuringPort_(setup.measuringPort)
{
    setObjectName(QStringLiteral("Form_AQ"));
    setWindowTitle(u(texts5::TITLE));
    setAttribute(Qt::WA_DeleteOnClose);
    buildUi();
    txtIpM->setText(setup.TesterIpM);
    txtIpV->setText(setup.TesterIpV);
    VerifyReadCount = setup.VerifyReadCount;
    showDevice(true);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(500);
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setInterval(2000);
    connect(&Timer1, &QTimer::timeout, this, &Form_AQ::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Form_AQ::Timer2_Timer);

    wsckM_ = std::make_unique<QtUdpTransport>();
    wsckV_ = std::make_unique<QtUdpTransport>();
    wsckM_->setObjectName(QStringLiteral("wsckM"));
    wsckV_->setObjectName(QStringLiteral("wsckV"));
    wsckM_->bind(0);
    wsckV_->bind(0);
    connect(wsckM_.get(), &UdpTransport::datagram, this, [this](const QByteArray& d) { wsckMeasure_DataArrival(false, d); });
    connect(wsckV_.get(), &UdpTransport::datagram, this, [this](const QByteArray& d) { wsckMeasure_DataArrival(true, d); });

    // Take the link: the main dispatcher, its pending time-out and the device
    // watchdog are held until the window is unloaded.
    engine_.pause(Engine::Hold::AqWindow);
    connect(&engine_, &Engine::connectionEnded, this, &Form_AQ::forget);
    open_ = true;
    Timer1.start();
    if (linkHeld_)
        linkHeld_(true);
}

Form_AQ::~Form_AQ() { Form_Unload(); }

void Form_AQ::Form_Unload()
{
    if (!loaded_)
        return;
    loaded_ = false;
    Timer1.stop();
    Timer2.stop();
    wsckM_->close();
    wsckV_->close();
    open_ = false;
    // The link runs on if it still stands (and the user holds it not).
    engine_.resume(Engine::Hold::AqWindow);
    if (linkHeld_)
        linkHeld_(false);
}

void Form_AQ::closeEvent(QCloseEvent* e)
{
    Form_Unload();
    QWidget::closeEvent(e);
}

void Form_AQ::buildUi()
{
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    txtIpM = box(this, QStringLiteral("txtIpM"), 130);
    txtIpV = box(this, QStringLiteral("txtIpV"), 130);
    // The addresses are a form of their own, so that a refused one is named by its label.
    auto* addresses = new QWidget(this);
    auto* ips = new QFormLayout(addresses);
    ips->setContentsMargins(0, 0, 0, 0);
    ips->addRow(u(texts5::IP_M), txtIpM);
    ips->addRow(u(texts5::IP_V), txtIpV);

    // The channel table is a widget of its own whose grid is its layout: a
    // refused box is named by its channel and its column ("AQ3 电压零点(V)").
    auto* table = new QWidget(this);
    auto* g = new QGridLayout(table);
    g->setContentsMargins(0, 0, 0, 0);
    const char* heads[] = {texts5::CHANNEL, texts5::TYPE, texts5::OUTPUT, texts5::ZERO_V, texts5::FULL_V,
                           texts5::ZERO_M, texts5::FULL_M, "DQ", texts5::MEAS_V, texts5::MEAS_M};
    for (int c = 0; c < int(std::size(heads)); ++c)
        g->addWidget(new QLabel(u(heads[c]), table), 0, c);
    for (int i = 0; i < 8; ++i) {
        const auto n = [i](const char* name, int k) { return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(k); };
        auto* type = new QComboBox(this);
        type->setObjectName(n("ComboAQType", i));
        for (const char* t : texts5::TYPES)
            type->addItem(u(t));
        type->setCurrentIndex(-1);
        ComboAQType[std::size_t(i)] = type;
        txtAQOut[std::size_t(i)] = box(this, n("txtAQOut", i));
        txt_AQV[std::size_t(i)] = box(this, n("txt_AQV", i));
        txt_AQV[std::size_t(i + 8)] = box(this, n("txt_AQV", i + 8));
        txt_AQM[std::size_t(i)] = box(this, n("txt_AQM", i));
        txt_AQM[std::size_t(i + 8)] = box(this, n("txt_AQM", i + 8));
        ckDQ[std::size_t(i)] = new QCheckBox(this);
        ckDQ[std::size_t(i)]->setObjectName(n("ckDQ", i));
        connect(ckDQ[std::size_t(i)], &QCheckBox::clicked, this, [this, i] { dqChanged_ |= 1u << i; });
        txtMeasV[std::size_t(i)] = box(this, n("txtMeasV", i));
        txtMeasM[std::size_t(i)] = box(this, n("txtMeasM", i));
        QWidget* row[] = {new QLabel(QStringLiteral("AQ%1").arg(i), table), type, txtAQOut[std::size_t(i)],
                          txt_AQV[std::size_t(i)], txt_AQV[std::size_t(i + 8)], txt_AQM[std::size_t(i)],
                          txt_AQM[std::size_t(i + 8)], ckDQ[std::size_t(i)], txtMeasV[std::size_t(i)],
                          txtMeasM[std::size_t(i)]};
        for (int c = 0; c < int(std::size(row)); ++c)
            g->addWidget(row[c], i + 1, c);
    }
    auto* dos = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        ckDO[std::size_t(i)] = new QCheckBox(u(texts5::DO).arg(i), this);
        ckDO[std::size_t(i)]->setObjectName(QStringLiteral("ckDO_%1").arg(i));
        connect(ckDO[std::size_t(i)], &QCheckBox::clicked, this, [this, i] { doChanged_ |= 1u << i; });
        dos->addWidget(ckDO[std::size_t(i)]);
    }
    dos->addStretch(1);

    const struct {
        const char* name;
        const char* caption;
        std::vector<std::int16_t> codes; // pushed in this order, each above its read-back: the last runs first
    } commands[] = {
        {"cmdReadType", texts5::READ_TYPE, {AQ_READ_TYPE}},
        {"cmdWriteType", texts5::WRITE_TYPE, {AQ_WRITE_TYPE}},
        {"cmdReadZF", texts5::READ_ZF, {AQ_READ_ZERO_FULL}},
        {"cmdWriteZero", texts5::WRITE_ZERO, {AQ_WRITE_ZERO}},
        {"cmdWriteFull", texts5::WRITE_FULL, {AQ_WRITE_FULL}},
        {"cmdWriteAO", texts5::WRITE_AO, {AQ_WRITE_AO}},
        {"cmdWriteDO", texts5::WRITE_DO, {AQ_WRITE_DO}},
        {"cmdWriteDQ", texts5::WRITE_DQ, {AQ_WRITE_TO_DQ}},
        {"cmdMeasure", texts5::MEASURE, {AQ_MEASURE_M, AQ_MEASURE_V}},
    };
    auto* bar = new QHBoxLayout;
    for (const auto& c : commands) {
        auto* b = new QPushButton(u(c.caption), this);
        b->setObjectName(QLatin1String(c.name));
        const auto codes = c.codes;
        command(b, this, engine_, [this, codes] {
            // The click builds what it will send: input that does not fit is
            // refused here with its box named, and nothing is queued.
            for (auto code : codes)
                payload(code);
            for (auto code : codes) {
                if (const auto back = rowOf(code)->readBack; back != AQ_IDLE)
                    push(back);
                push(code);
            }
        });
        buttons.push_back(b);
        bar->addWidget(b);
    }
    auto* v = new QVBoxLayout(this);
    v->addWidget(addresses);
    v->addWidget(table);
    v->addLayout(dos);
    v->addLayout(bar);
    v->addWidget(Text1);
}

// ---------------------------------------------------------------- dispatcher

void Form_AQ::push(std::int16_t code)
{
    // Without a link the device's commands would only meet a closed port;
    // the measuring devices are read on their own sockets.
    const AqRow* row = rowOf(code);
    if (row && row->fn != 0 && !engine_.linked())
        return;
    AQCmdStack.push_back(code);
}

void Form_AQ::forget()
{
    if (!loaded_)
        return;
    for (auto* e : txt_AQV)
        e->clear();
    for (auto* e : txt_AQM)
        e->clear();
    for (auto* c : ComboAQType)
        c->setCurrentIndex(-1);
    AQCmdStack.assign(1, AQ_IDLE);
    Text1->clear();
    doChanged_ = dqChanged_ = 0;
    showDevice(false);
    resume();
}

void Form_AQ::showDevice(bool all)
{
    const auto follow = [](std::span<QCheckBox* const> boxes, unsigned changed, std::span<const std::uint8_t> known) {
        for (std::size_t i = 0; i < boxes.size(); ++i)
            if (!((changed >> i) & 1) && boxes[i]->isChecked() != (known[i] == 1)) {
                const QSignalBlocker quiet(boxes[i]);
                boxes[i]->setChecked(known[i] == 1);
            }
    };
    follow(ckDO, doChanged_, dev_.DOState);
    follow(ckDQ, dqChanged_, dev_.AQtoDQState);
    if (!all)
        return;
    if (dev_.AQTypeConnection == engine_.connection() && engine_.linked())
        for (std::size_t i = 0; i < ComboAQType.size(); ++i)
            ComboAQType[i]->setCurrentIndex(dev_.AQType[i] <= 2 ? dev_.AQType[i] : 0);
    if (dev_.AQZeroFullConnection == engine_.connection() && engine_.linked())
        showPoints(true, true);
}

void Form_AQ::showPoints(bool zero, bool full)
{
    const auto& z = dev_.AQZeroFullRead;
    for (std::size_t c = 0; c < 8; ++c) {
        if (zero) {
            txt_AQV[c]->setText(aqPointText(z.voltZero[c]));
            txt_AQM[c]->setText(aqPointText(z.currentZero[c]));
        }
        if (full) {
            txt_AQV[c + 8]->setText(aqPointText(z.voltFull[c]));
            txt_AQM[c + 8]->setText(aqPointText(z.currentFull[c]));
        }
    }
}

int Form_AQ::switchByte(std::span<QCheckBox* const> boxes, unsigned changed, std::span<const std::uint8_t> known)
{
    int b = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if ((changed >> i) & 1 ? boxes[i]->isChecked() : known[i] == 1)
            b |= 1 << i;
    return b;
}

void Form_AQ::Timer1_Timer()
{
    trap(QStringLiteral("Timer1_Timer(Form_AQ)"), [&] {
        Text1->clear();
        showDevice(false);
        // The page's request waits for its answer or its time-out first.
        if (AQCmdStack.size() <= 1 || engine_.awaiting())
            return;
        const auto code = AQCmdStack.back();
        AQCmdStack.pop_back();
        run(code);
    });
}

void Form_AQ::run(std::int16_t code)
{
    const AqRow* row = rowOf(code);
    if (!row)
        return;
    // The request is built before anything waits for it. Input refused now
    // (changed since the click) ends the step: its box said why, nothing is
    // sent, no time-out follows, and the read queued to show what the write
    // did goes with it, so the boxes keep what the user typed.
    QByteArray p;
    try {
        p = payload(code);
    } catch (const Abandoned&) {
        if (row->readBack != AQ_IDLE && AQCmdStack.size() > 1 && AQCmdStack.back() == row->readBack)
            AQCmdStack.pop_back();
        return;
    }
    Text1->setText(u(row->wait));
    Timer1.stop();
    Timer2.setInterval(row->timeoutMs);
    Timer2.start();
    awaited_ = code;
    sent_ = p;
    // A request that cannot be sent is lost; the time-out reports it.
    trap(QStringLiteral("AQSend(Form_AQ)"), [&] {
        if (code == AQ_MEASURE_V || code == AQ_MEASURE_M) {
            sendMeasure(code == AQ_MEASURE_V);
            return;
        }
        if (code == AQ_WRITE_DO)
            doSent_ = p.isEmpty() ? 0 : std::uint8_t(p[0]);
        engine_.windowRequest(row->timeoutMs, [&] {
            if (serialChosen(engine_)) {
                sendSerialPayload(engine_, row->fn, p, row->replyLen);
                return;
            }
            const int param = row->mode >= 0 ? row->mode : 0;
            if (row->write)
                engine_.sendWrite(net::IDX_SYSTEM, row->sub, param, p);
            else
                engine_.sendRead(net::IDX_SYSTEM, row->sub, param);
        });
    });
}

std::optional<std::array<double, 8>> Form_AQ::outputs() const
{
    std::array<double, 8> v{};
    for (std::size_t i = 0; i < txtAQOut.size(); ++i) {
        const auto x = outputValue(txtAQOut[i]->text());
        if (!x) {
            MsgBox(u(texts2::OUTPUT_RANGE));
            txtAQOut[i]->setFocus();
            return std::nullopt;
        }
        v[i] = *x;
    }
    return v;
}

QByteArray Form_AQ::payload(std::int16_t code) const
{
    std::vector<std::int32_t> v;
    switch (code) {
    case AQ_WRITE_TYPE:
        for (auto* c : ComboAQType) {
            if (c->currentIndex() < 0)
                refuseBox(c); // a list without a type: named like a box
            v.push_back(c->currentIndex());
        }
        return *blocks::encodeCells(v, blocks::Cell::U8);
    case AQ_WRITE_ZERO:
    case AQ_WRITE_FULL: {
        const int from = code == AQ_WRITE_FULL ? 8 : 0;
        for (int c = 0; c < 8; ++c) {
            v.push_back(milli(txt_AQV[std::size_t(from + c)]));
            v.push_back(milli(txt_AQM[std::size_t(from + c)]));
        }
        return QByteArray(1, char(rowOf(code)->mode)) + *blocks::encodeCells(v, blocks::Cell::I16);
    }
    case AQ_WRITE_AO: {
        const auto values = outputs();
        if (!values)
            throw Abandoned{};
        for (double x : *values)
            v.push_back(toInt16(x * 1000.0));
        return *blocks::encodeCells(v, blocks::Cell::I16);
    }
    case AQ_WRITE_DO:
        return QByteArray(1, char(switchByte(ckDO, doChanged_, dev_.DOState)));
    case AQ_WRITE_TO_DQ:
        return QByteArray(1, char(switchByte(ckDQ, dqChanged_, dev_.AQtoDQState)));
    case AQ_MEASURE_V:
    case AQ_MEASURE_M: {
        // A measuring device is asked at the address its box holds, or not at all.
        QLineEdit* ip = code == AQ_MEASURE_V ? txtIpV : txtIpM;
        const QHostAddress a(ip->text().trimmed());
        if (a.protocol() != QAbstractSocket::IPv4Protocol)
            refuseBox(ip);
        return {};
    }
    default:
        return {}; // the reads carry no payload
    }
}

void Form_AQ::sendMeasure(bool voltage)
{
    auto& s = measuringSocket(voltage);
    s.setRemote((voltage ? txtIpV : txtIpM)->text().trimmed(), measuringPort_);
    const QByteArray request = engine_.measureRequest(aqcal::IDX_MEASURE);
    measureSeq_ = engine_.readSeq();
    if (!s.send(request))
        throw RuntimeError(QStringLiteral("套接字发送失败"));
}

void Form_AQ::Timer2_Timer()
{
    if (modalDepth() > 0)
        return; // a reply the box holds came in time; the time-out runs again after it
    awaited_ = AQ_IDLE;
    measureSeq_ = -1;
    Text1->setText(u(texts5::TIMEOUT));
    Timer2.stop();
    Timer1.start();
}

void Form_AQ::resume()
{
    awaited_ = AQ_IDLE;
    measureSeq_ = -1;
    Timer2.stop();
    Timer1.start();
}

// ---------------------------------------------------------------- replies

void Form_AQ::replied(std::int16_t code, bool serialLink)
{
    const auto p = replyPayload(engine_, serialLink);
    const char* done = rowOf(code)->done;
    switch (code) {
    case AQ_READ_ZERO_FULL: {
        const auto v = blocks::decodeCells(p, 64, blocks::Cell::I16);
        if (!v)
            throw RuntimeError(QStringLiteral("应答长度不足"));
        auto& z = dev_.AQZeroFullRead;
        for (std::size_t c = 0; c < 8; ++c) {
            z.voltZero[c] = std::int16_t((*v)[4 * c]);
            z.voltFull[c] = std::int16_t((*v)[4 * c + 1]);
            z.currentZero[c] = std::int16_t((*v)[4 * c + 2]);
            z.currentFull[c] = std::int16_t((*v)[4 * c + 3]);
        }
        dev_.AQZeroFullConnection = engine_.connection();
        // A box whose own write still waits keeps what the user typed: the
        // write sends it, and its read-back shows what the device then holds.
        const auto queued = [this](std::int16_t w) { return std::find(AQCmdStack.begin(), AQCmdStack.end(), w) != AQCmdStack.end(); };
        showPoints(!queued(AQ_WRITE_ZERO), !queued(AQ_WRITE_FULL));
        break;
    }
    case AQ_READ_TYPE: {
        const auto v = blocks::decodeCells(p, 8, blocks::Cell::U8);
        if (!v)
            throw RuntimeError(QStringLiteral("应答长度不足"));
        for (std::size_t i = 0; i < 8; ++i) {
            dev_.AQType[i] = std::uint8_t((*v)[i]);
            ComboAQType[i]->setCurrentIndex((*v)[i] <= 2 ? (*v)[i] : 0);
        }
        dev_.AQTypeConnection = engine_.connection();
        break;
    }
    case AQ_WRITE_DO:
        if (serialLink && (p.empty() || p[0] != doSent_))
            done = texts5::DO_FAILED;
        acknowledged(code, p, serialLink);
        break;
    default:
        acknowledged(code, p, serialLink);
        break;
    }
    Text1->setText(u(done));
    resume();
}

void Form_AQ::acknowledged(std::int16_t code, std::span<const std::uint8_t> reply, bool serialLink)
{
    if (sent_.isEmpty())
        return;
    const auto byte = std::uint8_t(sent_[0]);
    switch (code) {
    case AQ_WRITE_DO: {
        // The serial reply carries the outputs the device now holds.
        const std::uint8_t held = serialLink && !reply.empty() ? reply[0] : byte;
        for (std::size_t i = 0; i < dev_.DOState.size(); ++i)
            dev_.DOState[i] = (held >> i) & 1;
        doChanged_ = 0;
        break;
    }
    case AQ_WRITE_TO_DQ:
        for (std::size_t i = 0; i < dev_.AQtoDQState.size(); ++i)
            dev_.AQtoDQState[i] = (byte >> i) & 1;
        dqChanged_ = 0;
        break;
    case AQ_WRITE_TYPE:
        for (std::size_t i = 0; i < dev_.AQType.size() && i < std::size_t(sent_.size()); ++i)
            dev_.AQType[i] = std::uint8_t(sent_[qsizetype(i)]);
        dev_.AQTypeConnection = engine_.connection();
        break;
    case AQ_WRITE_ZERO:
    case AQ_WRITE_FULL: {
        // The points written are the device's now; its read-back follows.
        if (dev_.AQZeroFullConnection != engine_.connection() || sent_.size() < 33)
            break;
        auto& z = dev_.AQZeroFullRead;
        const bool full = code == AQ_WRITE_FULL;
        const auto at = [this](int k) { return std::int16_t(std::uint8_t(sent_[1 + 2 * k]) | (std::uint8_t(sent_[2 + 2 * k]) << 8)); };
        for (std::size_t c = 0; c < 8; ++c) {
            (full ? z.voltFull : z.voltZero)[c] = at(int(2 * c));
            (full ? z.currentFull : z.currentZero)[c] = at(int(2 * c + 1));
        }
        break;
    }
    default:
        break;
    }
    showDevice(false);
}

void Form_AQ::OnDevReturnFromComm()
{
    trap(QStringLiteral("OnDevReturnFromComm(Form_AQ)"), [&] {
        const AqRow* row = rowOf(awaited_);
        if (engine_.RxBuf.size() < 3 || !row || row->fn == 0 || row->fn != std::uint8_t(engine_.RxBuf[2]))
            return;
        replied(row->code, true);
    });
}

void Form_AQ::OnDevReturnFromSock()
{
    trap(QStringLiteral("OnDevReturnFromSock(Form_AQ)"), [&] {
        // The engine hands over only the answers to this window's requests,
        // with the request each answers.
        const auto h = net::parseReplyHeader(engine_.NetRxBuf);
        const auto& asked = engine_.answered();
        const AqRow* row = rowOf(awaited_);
        if (!h || !row || row->fn == 0 || asked.index != net::IDX_SYSTEM || row->write != asked.write || row->sub != asked.subIndex)
            return;
        if (!h->ok) {
            // The device refused it: nothing of it counts as done.
            Text1->setText(u(asked.write ? net::TEXT_WRITE_FAILED : net::TEXT_READ_FAILED));
            resume();
            return;
        }
        replied(row->code, false);
    });
}

void Form_AQ::wsckMeasure_DataArrival(bool voltage, const QByteArray& datagram)
{
    trap(QStringLiteral("wsckMeasure_DataArrival(Form_AQ)"), [&] {
        engine_.NetRxBuf = datagram;
        const auto h = net::parseReplyHeader(datagram);
        if (!h || h->kind != net::ReplyKind::Read || !h->ok || int(h->seq) != measureSeq_
            || awaited_ != (voltage ? AQ_MEASURE_V : AQ_MEASURE_M))
            return;
        const auto m = aqcal::decodeMeasurements(datagram);
        if (!m)
            throw RuntimeError(QStringLiteral("应答长度不足"));
        auto& boxes = voltage ? txtMeasV : txtMeasM;
        for (std::size_t i = 0; i < boxes.size(); ++i)
            boxes[i]->setText(QString::number(double((*m)[i]), 'f', 3));
        Text1->setText(u(texts5::MEASURE_OK));
        resume();
    });
}

// ---------------------------------------------------------------- the main window's slot

Form_AQ& AqCalWindow::open(const AqCalSetup& setup)
{
    if (!form_) {
        AqCalSetup s = setup;
        s.measuringPort = measuringPort;
        form_ = new Form_AQ(engine_, dev_, AQPageOpen, s);
    }
    form_->show();
    form_->raise();
    return *form_;
}

void AqCalWindow::unload()
{
    delete form_.data();
}
