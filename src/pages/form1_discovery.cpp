// The Ethernet start, device discovery, device selection and the device
// watchdog of the main window.
#include "base/ansi.h"
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "device/colors.h"
#include "link/error_messages.h"
#include "pages/form1.h"
#include "pages/texts.h"
#include "proto/announce.h"
#include "proto/eth_commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

using namespace net;

namespace {
QString u(const char* s) { return QString::fromUtf8(s); }
const char* const DEVICE_ONLINE = "有新设备上线";
const char* const CHOOSE_DEVICE = "当前有设备在线,请选择设备IP";
const char* const READING = "正在读取信息";
const char* const NO_DEVICE = "当前无在线设备,请检查设备状态";
const char* const DEVICE_OFFLINE = "当前设备下线";
const char* const OTHER_OFFLINE = "有设备下线";
} // namespace

void Form1::startEthernet()
{
    ui.StartRun->setEnabled(false);
    ui.Text2->setText(u(texts1::RUN_START));
    // The discovery socket only listens: the tool never sends on it.
    QString why;
    const int err = engine_->listen(discoveryPort, &why);
    if (err != 0) {
        startFailed(err, why);
        return;
    }
    ui.Text2->setText(u(texts1::QUERYING));
    devices.reset();
}

void Form1::wsckDeviceQuery_DataArrival(const QByteArray& datagram)
{
    trap(QStringLiteral("wsckDeviceQuery_DataArrival(Form1)"), [&] {
        const auto a = parseAnnounce(datagram);
        if (!a)
            return;
        const auto seen = devices.accept(*a, clock());
        if (seen == DeviceTable::Seen::New) {
            ui.cmbDevice->addItem(addrText(a->addr));
            ui.Text2->setText(u(DEVICE_ONLINE));
        }
        engine_->watch(true);
        if (ui.cmbDevice->isHidden()) {
            ui.cmbDevice->show();
            ui.Text2->clear();
            ui.Text2->setText(u(CHOOSE_DEVICE));
        }
    });
}

void Form1::cmbDevice_Click()
{
    trap(QStringLiteral("cmbDevice_Click(Form1)"), [&] {
        const QString item = ui.cmbDevice->currentText();
        const int index = ui.cmbDevice->currentIndex();
        if (index < 0 || index >= devices.size())
            throw RuntimeError(QStringLiteral("下标越界"));
        const DeviceEntry& rec = devices.at(index);
        // Aimed first: what the old device said is forgotten before the new one's
        // announcement is shown.
        QString why;
        if (engine_->aimDevice(item, rec.port(), &why) != 0)
            throw RuntimeError(WinsockErrorMessage(10048, why));
        engine_->zeroCounters();
        resetPages('S');
        ui.Text2->setText(u(READING));
        const auto parts = item.split(QLatin1Char('.'));
        for (int i = 0; i < 4; ++i)
            ui.txtIp[std::size_t(i)]->setText(i < parts.size() ? parts[i] : QString());
        // The DeviceID starts with the hardware number padded with "0" to 16 characters.
        QString hw = fromAnsi(rec.DeviceId).mid(1, 15);
        if (hw.startsWith(QLatin1Char('0')))
            hw = hw.mid(1, 14);
        ui.txthardwarenum->setText(hw);
        ui.txtPD_Tag->setText(fromAnsi(rec.PdTag));
        dev_.PdTagRead = rec.PdTag; // the device's own bytes while the box shows them
        for (auto* e : ui.ChnlDis)
            e->clear();
        TuneParamText.clear();
        CmdLine.clear();
        fillAqTypeLists();
        engine_->start(startupList(true));
    });
}

int Form1::connectedDeviceIndex() const
{
    const QString connected = engine_->connectedDevice();
    return connected.isEmpty() ? -1 : ui.cmbDevice->findText(connected);
}

void Form1::timCheckDevice_Timer()
{
    trap(QStringLiteral("timCheckDevice_Timer(Form1)"), [&] {
        // The table and the list are brought to agree first; the connection
        // ends afterwards, since its end may open a box.
        QList<char> resets;
        const qint64 now = clock();
        const int lastAtStart = devices.size() - 1;
        for (int i = 0; i <= lastAtStart && i <= devices.size() - 1; ++i) {
            if (DeviceTable::ageSeconds(devices.at(i), now) <= 10)
                continue;
            if (devices.size() == 1) {
                devices.reset();
                for (auto* e : ui.txtIp)
                    e->clear();
                if (ui.cmbDevice->count() > 0)
                    ui.cmbDevice->removeItem(0);
                engine_->watch(false);
                ui.cmbDevice->hide();
                ui.Text2->setText(u(NO_DEVICE));
                resets << 'A';
                continue;
            }
            // The connected device is the one the engine is aimed at, whatever
            // the address boxes hold.
            const bool connected = i == connectedDeviceIndex();
            devices.removeAt(i);
            if (connected) {
                for (auto* e : ui.txtIp)
                    e->clear();
                ui.Text2->setText(u(DEVICE_OFFLINE));
                resets << 'B';
            } else {
                ui.Text2->setText(u(OTHER_OFFLINE));
            }
            ui.cmbDevice->removeItem(i);
        }
        for (char col : resets) {
            engine_->zeroCounters();
            resetPages(col);
        }
        if (ui.cmbDevice->count() == 0)
            resetPages('C');
    });
}

void Form1::resetPages(char col)
{
    const bool S = col == 'S', A = col == 'A', B = col == 'B', C = col == 'C';
    // The connected device is gone: its connection ends (and a running
    // upgrade with it, as failed); the pages forget it at that end.
    if (A || B)
        engine_->deviceGone();
    if (S || A || B) {
        CmdLine.clear();
        TuneParamText.clear();
        for (auto* e : ui.txtAQ_Set)
            e->setText(QStringLiteral("10"));
        for (auto* b : ui.bt_WriteOrOut)
            b->setEnabled(false);
        ui.bt_ReadAQZeroFull->setEnabled(false);
    }
    if (C)
        for (auto* l : ui.sapAI)
            colors::paint(l, colors::WHITE);

    // Cold-junction list.
    if (S) {
        ui.ComboCold->setCurrentIndex(-1);
        ui.ComboCold->setEnabled(false);
    } else if (A) {
        ui.ComboCold->setEnabled(false);
        ui.ComboCold->setCurrentIndex(0);
    } else if (B) {
        ui.ComboCold->setEnabled(false);
        ui.ComboCold->setCurrentIndex(-1);
    }
    // Display-mode options.
    if (S) {
        ui.Option1->setEnabled(true);
        ui.Option1->setChecked(true);
        ui.Option2->setEnabled(false);
        ui.Option3->setEnabled(false);
    } else if (B) {
        ui.Option1->setEnabled(false);
        ui.Option2->setEnabled(false);
        ui.Option3->setEnabled(false);
    }
    // Device serial ports, A/D lists, sensor lists, pickers, options, channel buttons.
    if (S || B || C) {
        QList<QComboBox*> lists{ui.ComboADFilter, ui.ComboADRate1, ui.ComboADRate};
        for (int i = 0; i < 2; ++i)
            lists << ui.Combo6[std::size_t(i)] << ui.Combo7[std::size_t(i)] << ui.Combo8[std::size_t(i)]
                  << ui.Combo9[std::size_t(i)] << ui.Combo10[std::size_t(i)] << ui.ComboMS[std::size_t(i)];
        for (auto* c : ui.ChnlSensor)
            lists << c;
        for (auto* c : lists) {
            if (!C)
                c->setCurrentIndex(-1);
            c->setEnabled(false);
        }
        if (!C) {
            ui.datePicker->setDate(QDate(1900, 1, 1));
            ui.timePicker->setTime(QTime(0, 0, 0));
        }
        ui.datePicker->setEnabled(false);
        ui.timePicker->setEnabled(false);
        for (QWidget* w : {static_cast<QWidget*>(ui.opSingle), static_cast<QWidget*>(ui.opUnion),
                           static_cast<QWidget*>(ui.ophandornot[0]), static_cast<QWidget*>(ui.ophandornot[1])})
            w->setEnabled(false);
        if (B || C) {
            ui.opSingle->setAutoExclusive(false);
            ui.opSingle->setChecked(false);
            ui.opSingle->setAutoExclusive(true);
        }
        for (auto* b : ui.cmdChnlEnable) {
            b->setEnabled(false);
            if (!C) {
                colors::paintFace(b);
                b->setText(QString());
            }
        }
        ui.cmdDO[0]->setEnabled(false);
        for (QPushButton* w : {ui.cmdSetPara, ui.cmdClearCode, ui.cmdCheckLight, ui.cmdStopCheck, ui.cmdFreshAI,
                               ui.cmd_ReadAIWarning, ui.cmd_WriteAIWarning, ui.btSlaveShow, ui.btShowZigBee,
                               ui.btReadProfibus, ui.Command3, ui.cmdSetZero, ui.cmdSetFull, ui.cmdSave,
                               ui.bt_FindUpdataFile, ui.cmdRead, ui.ReadTxtAndDown, ui.ReadTxt, ui.bt_Updata,
                               ui.cmdSetAO, ui.cmdZFSave, ui.cmdZFCancel, ui.cmdRight, ui.cmdLeft, ui.cmdEnter})
            w->setEnabled(false);
        ui.cmdPause->setEnabled(false);
        showHold(engine_->held());
    }
    if (S || B) {
        for (auto* l : ui.shpDI)
            colors::paintFace(l);
        for (auto* b : ui.cmdDO)
            colors::paintFace(b);
    }
    if (S) {
        ui.cmdGetSys->setEnabled(true);
        ui.cmdWriteprj->setEnabled(false);
        ui.cmdReclock->setEnabled(true);
        ui.cmdSave->show();
        ui.cmdRead->show();
        // The cold-junction list is enabled again once the selection is done.
        ui.ComboCold->setEnabled(true);
    }
    if (B || C) {
        ui.cmdGetSys->setEnabled(false);
        ui.bt_RunStop->setEnabled(false);
        // The zero/full cell being edited goes back to white with black text.
        for (int ch = 0; ch < 11; ++ch) {
            bool found = false;
            for (int cell : {11 + ch, 22 + ch}) {
                auto* e = ui.ChnlDis[std::size_t(cell)];
                if (!colors::isFace(e) && colors::background(e) == colors::EDITING) {
                    colors::paint(e, colors::WHITE);
                    QPalette p = e->palette();
                    p.setColor(QPalette::Text, Qt::black);
                    e->setPalette(p);
                    found = true;
                    break;
                }
            }
            if (found)
                break;
        }
    }
    if (B)
        ui.bt_AQAdjust->setEnabled(false);
}
