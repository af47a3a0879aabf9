#pragma once
// The ZigBee window and its advanced-parameter window. The window shows the
// ZigBee module variables that the read replies fill, and writes them back
// from its controls. Its test button is shown on the serial link only.
#include <QWidget>
#include <array>
#include <functional>

class Engine;
struct ZigbeeVars;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class ZigbeeAdvanceParam : public QWidget {
    Q_OBJECT
public:
    ZigbeeAdvanceParam();
    void showVars(const ZigbeeVars& z);
    // The boxes into the variables; throws at a box that is not a 16-bit number.
    void capture(ZigbeeVars& z) const;

    std::array<QLineEdit*, 3> txtZbAdvParam{};
    QLineEdit* txtZbAdvFlag = nullptr;
};

class ZigbeeForm : public QWidget {
    Q_OBJECT
public:
    // `advance` gives the advanced-parameter window, creating it when asked
    // (nullptr when it is not loaded and must not be).
    ZigbeeForm(Engine& engine, std::function<ZigbeeAdvanceParam*(bool create)> advance);

    // Whether the block was read in the current connection.
    bool blockRead() const;
    // The module variables into the controls (and the advanced window's).
    void DistributeZigbeeParam();
    // The controls into the variables and the block onto the chosen link.
    void WriteZigbeeParam();
    void cmdZbRead_Click();
    void cmdZbWrite_Click();
    void Cmd_TestZigbee_Click();
    void cmdZbAdvance_Click();

    QComboBox* cmbZbLogic = nullptr;
    QComboBox* cmbZbNetType = nullptr;
    QLineEdit* txtZbDNO = nullptr;
    std::array<QCheckBox*, 16> ckZbChannel{};
    QLineEdit* txtZbMAC = nullptr;
    QLineEdit* txtZbExtPan = nullptr;
    QCheckBox* ckZbEnable = nullptr;
    QLineEdit* txtZbChainAddr = nullptr;
    QPushButton* cmdZbRead = nullptr;
    QPushButton* cmdZbWrite = nullptr;
    QPushButton* Cmd_TestZigbee = nullptr;
    QPushButton* cmdZbAdvance = nullptr;

private:
    // Empties the controls when the connection that filled them has ended.
    void forget();
    // The controls as the variables would hold them; throws at a bad box.
    ZigbeeVars capture() const;

    Engine& engine_;
    std::function<ZigbeeAdvanceParam*(bool)> advance_;
    int readConnection_ = 0; // the connection the block was read in; 0: never
};
