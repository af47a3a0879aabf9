#pragma once
// The AQ calibration window. While it is loaded it holds the link: the main
// window's dispatcher is paused and every reply goes to this window, which runs
// a command stack of its own with its own dispatcher (Timer1, 500 ms) and
// reply time-out (Timer2). It reads and writes the device's AQ blocks on the
// chosen link and reads the two measuring devices over UDP.
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class Engine;
struct DeviceData;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class UdpTransport;

// The AQ window's own queue codes.
enum AqCode : std::int16_t {
    AQ_IDLE = 0,
    AQ_READ_TYPE,
    AQ_WRITE_TYPE,
    AQ_READ_ZERO_FULL,
    AQ_WRITE_ZERO,
    AQ_WRITE_FULL,
    AQ_WRITE_AO,
    AQ_WRITE_DO,
    AQ_WRITE_TO_DQ,
    AQ_MEASURE_V,
    AQ_MEASURE_M,
};

struct AqCalSetup {
    QString TesterIpM, TesterIpV; // the measuring devices
    int VerifyReadCount = 4;
    quint16 measuringPort = 11000;
    // Told when the window takes the link (true) and gives it back (false).
    std::function<void(bool held)> linkHeld;
};

class Form_AQ : public QWidget {
    Q_OBJECT
public:
    // The load handler: takes the link from the main window. What the device
    // reports or acknowledges to the window goes into the device's data, the
    // one picture the main page shows and writes from as well.
    Form_AQ(Engine& engine, DeviceData& device, bool& aqPageOpen, const AqCalSetup& setup);
    // The unload handler: gives the link back (closing the window unloads it).
    ~Form_AQ() override;
    void Form_Unload();

    // ---- command stack ----
    std::vector<std::int16_t> AQCmdStack{AQ_IDLE};
    // Queues a command; one for the device queues nothing while no link runs.
    void push(std::int16_t code);
    int VerifyReadCount = 0;

    QTimer Timer1; // dispatcher
    QTimer Timer2; // reply time-out
    void Timer1_Timer();
    void Timer2_Timer();

    // Replies while the window holds the link.
    void OnDevReturnFromComm();
    void OnDevReturnFromSock();
    // A datagram of a measuring socket (`voltage`: the voltage-measuring one).
    void wsckMeasure_DataArrival(bool voltage, const QByteArray& datagram);

    QLineEdit* Text1 = nullptr;
    QLineEdit* txtIpM = nullptr;
    QLineEdit* txtIpV = nullptr;
    std::array<QComboBox*, 8> ComboAQType{};
    std::array<QLineEdit*, 8> txtAQOut{};
    std::array<QLineEdit*, 16> txt_AQV{};  // 0..7 voltage zero, 8..15 voltage full
    std::array<QLineEdit*, 16> txt_AQM{};  // 0..7 current zero, 8..15 current full
    std::array<QCheckBox*, 8> ckDQ{};
    std::array<QCheckBox*, 2> ckDO{};
    std::array<QLineEdit*, 8> txtMeasV{};
    std::array<QLineEdit*, 8> txtMeasM{};
    std::vector<QPushButton*> buttons;     // one per command, in AqCode order from AQ_READ_TYPE

    UdpTransport& measuringSocket(bool voltage) { return voltage ? *wsckV_ : *wsckM_; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildUi();
    void run(std::int16_t code);
    // What the request of `code` carries, built from the boxes and lists: the
    // click that queues it and its send go through it. A box that does not fit
    // its field, or a list without a type, refuses (Abandoned) with a word
    // that names it.
    QByteArray payload(std::int16_t code) const;
    // The output values of txtAQOut, or nothing when a box does not fit
    // (its box named and focused).
    std::optional<std::array<double, 8>> outputs() const;
    void sendMeasure(bool voltage);
    // The end of a reply to the command in flight: Timer2 off, Timer1 on.
    void resume();
    void replied(std::int16_t code, bool serialLink);
    // The connection's end: what the device said is forgotten (the points
    // and types it filled emptied and unset), its queued requests and the
    // waiting reply dropped.
    void forget();
    // The boxes show the device's data: the DO and DQ boxes the user has not
    // changed since the last write follow it; at the load, the types and
    // points known from this connection too.
    void showDevice(bool all);
    // The zero and/or full-scale boxes show the points the device last reported.
    void showPoints(bool zero, bool full);
    // The write of a bank of boxes: the device's last known state with only
    // the boxes the user changed here.
    static int switchByte(std::span<QCheckBox* const> boxes, unsigned changed, std::span<const std::uint8_t> known);
    void acknowledged(std::int16_t code, std::span<const std::uint8_t> reply, bool serialLink);

    Engine& engine_;
    DeviceData& dev_;
    bool& open_;
    bool loaded_ = true;
    std::function<void(bool)> linkHeld_;
    quint16 measuringPort_;
    std::unique_ptr<UdpTransport> wsckM_, wsckV_;
    std::uint8_t doSent_ = 0;
    // What the write in flight carries, to become the device's state when acknowledged.
    QByteArray sent_;
    // The DO and DQ boxes the user changed since they last showed the device.
    unsigned doChanged_ = 0, dqChanged_ = 0;
    int measureSeq_ = -1; // the sequence number of the measuring read in flight
    // The command whose reply the window waits for, from its send until its
    // answer or its own time-out (AQ_IDLE: none). A reply is taken only as
    // the answer to it: the main page's late answers and the window's own
    // after their time-out were reported go nowhere.
    std::int16_t awaited_ = AQ_IDLE;
};

// The AQ window as the main window holds it: loaded by its opener, unloaded by
// closing it or with the main window.
class AqCalWindow {
public:
    AqCalWindow(Engine& engine, DeviceData& device) : engine_(engine), dev_(device) {}
    ~AqCalWindow() { unload(); }

    bool AQPageOpen = false;
    quint16 measuringPort = 11000;
    Form_AQ* form() const { return form_; }
    Form_AQ& open(const AqCalSetup& setup);
    void unload();
    void OnDevReturnFromComm()
    {
        if (form_)
            form_->OnDevReturnFromComm();
    }
    void OnDevReturnFromSock()
    {
        if (form_)
            form_->OnDevReturnFromSock();
    }

private:
    Engine& engine_;
    DeviceData& dev_;
    QPointer<Form_AQ> form_;
};
