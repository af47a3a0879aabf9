// Maintenance mode and the zero/full editor.
//
// The commands that calibrate, upgrade firmware and restore parameters are
// disabled by every system read. The 维护模式 box in the link bar opens them
// while a device is connected; clearing it, Stop, a dropped device and the
// next system read put back the states they had. The zero/full editor walks a
// light-blue cell along the zero or the full-scale column of the grid, takes
// the live value into it and saves the column. The window is keyboard-driven:
// F4 to F6 choose the display mode, F7/F8 open the editor, the arrows move the
// cell, Enter takes the live value, F9 saves and Esc cancels; a key acts only
// where its control is enabled.
#include "pages/form1.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "device/colors.h"
#include "device/shared_rows.h"
#include "pages/texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

namespace {

constexpr int AI_CHANNELS = 11;
constexpr int ZERO_COLUMN = 11; // ChnlDis 11..21
constexpr int FULL_COLUMN = 22; // ChnlDis 22..32
constexpr int AQ_TYPE_DQ = 2;    // ComboType2 position of a switching channel

} // namespace

void Form1::connectMaintenance()
{
    command(ui.chkMaintenance, [this] { chkMaintenance_Click(); }, Gate::Free);
    command(ui.cmdSetZero, [this] { cmdSetZero_Click(); }, Gate::Free);
    command(ui.cmdSetFull, [this] { cmdSetFull_Click(); }, Gate::Free);
    command(ui.cmdLeft, [this] { cmdLeft_Click(); }, Gate::Free);
    command(ui.cmdRight, [this] { cmdRight_Click(); }, Gate::Free);
    command(ui.cmdEnter, [this] { cmdEnter_Click(); }, Gate::Free);
    command(ui.cmdZFSave, [this] { cmdZFSave_Click(); });
    command(ui.cmdZFCancel, [this] { cmdZFCancel_Click(); }, Gate::Free);
}

// ---------------------------------------------------------------- maintenance mode

void Form1::chkMaintenance_Click()
{
    trap(QStringLiteral("chkMaintenance_Click(Form1)"), [&] {
        if (!ui.chkMaintenance->isChecked()) {
            leaveMaintenance(true);
            return;
        }
        if (MsgBox(QString::fromUtf8(texts1::MAINTENANCE_ASK), MsgButtons::YesNo, {}, MsgIcon::Question)
                != MsgAnswer::Yes
            || !ui.chkMaintenance->isEnabled()) { // the device went while the question was open
            ui.chkMaintenance->setChecked(false);
            return;
        }
        QList<QWidget*> guarded = {ui.cmdSetZero, ui.cmdSetFull, ui.Cmd_LeiCheck, ui.Cmd_Wtite_Temprature,
                                   ui.Cmd_SetDefault, ui.Command_Store, ui.Command_Resume, ui.cmdSave, ui.cmdRead,
                                   ui.ReadTxt, ui.ReadTxtAndDown, ui.bt_FindUpdataFile, ui.bt_Updata,
                                   ui.txtSeries, ui.txtPD_Tag, ui.datePicker, ui.timePicker};
        for (auto* e : ui.txt_LeiCkeck)
            guarded << e;
        for (auto* e : ui.txt_MAC)
            guarded << e;
        // The AQ zero/full points of the channels that have them.
        for (std::size_t c = 0; c < 8; ++c)
            if (ui.ComboType2[c]->currentIndex() != AQ_TYPE_DQ)
                guarded << ui.txt_AQV[c] << ui.txt_AQV[c + 8] << ui.txt_AQM[c] << ui.txt_AQM[c + 8];
        guardedStates_.clear();
        for (QWidget* w : guarded) {
            guardedStates_.append({w, w->isEnabled()});
            w->setEnabled(true);
        }
    });
}

void Form1::leaveMaintenance(bool connected)
{
    closeZeroFullEditor();
    for (const auto& [w, enabled] : std::as_const(guardedStates_))
        w->setEnabled(enabled);
    guardedStates_.clear();
    ui.chkMaintenance->setChecked(false);
    ui.chkMaintenance->setEnabled(connected);
}

// ---------------------------------------------------------------- zero/full editor

namespace {
QList<QPushButton*> editorButtons(const Form1Ui& ui)
{
    return {ui.cmdLeft, ui.cmdRight, ui.cmdEnter, ui.cmdZFSave, ui.cmdZFCancel};
}
} // namespace

void Form1::paintEditorCell(bool editing)
{
    if (ZFMode != 1 && ZFMode != 2)
        return;
    auto* cell = ui.ChnlDis[std::size_t((ZFMode == 1 ? ZERO_COLUMN : FULL_COLUMN) + ZFChannel)];
    colors::paint(cell, editing ? colors::EDITING : colors::WHITE);
    if (!editing) {
        QPalette p = cell->palette();
        p.setColor(QPalette::Text, Qt::black);
        cell->setPalette(p);
    }
}

void Form1::cmdSetZero_Click() { openZeroFullEditor(1); }
void Form1::cmdSetFull_Click() { openZeroFullEditor(2); }

void Form1::openZeroFullEditor(std::uint8_t mode)
{
    closeZeroFullEditor();
    ZFMode = mode;
    const int column = mode == 1 ? ZERO_COLUMN : FULL_COLUMN;
    editorTexts_.clear();
    for (int i = 0; i < AI_CHANNELS; ++i) {
        auto* cell = ui.ChnlDis[std::size_t(column + i)];
        editorTexts_ << cell->text();
        cell->setEnabled(true);
    }
    ZFChannel = 0;
    paintEditorCell(true);
    for (auto* b : editorButtons(ui))
        b->setEnabled(true);
    ui.cmdSetZero->setEnabled(false);
    ui.cmdSetFull->setEnabled(false);
}

void Form1::cmdLeft_Click()
{
    paintEditorCell(false);
    ZFChannel = std::max(0, ZFChannel - 1);
    paintEditorCell(true);
}

void Form1::cmdRight_Click()
{
    paintEditorCell(false);
    ZFChannel = std::min(AI_CHANNELS - 1, ZFChannel + 1);
    paintEditorCell(true);
}

void Form1::cmdEnter_Click()
{
    if (ZFMode != 1 && ZFMode != 2)
        return;
    const int column = ZFMode == 1 ? ZERO_COLUMN : FULL_COLUMN;
    ui.ChnlDis[std::size_t(column + ZFChannel)]->setText(ui.ChnlDis[std::size_t(ZFChannel)]->text());
}

void Form1::cmdZFSave_Click()
{
    trap(QStringLiteral("cmdZFSave_Click(Form1)"), [&] {
        if (ZFMode != 1 && ZFMode != 2)
            return;
        const bool zero = ZFMode == 1;
        // Every cell is converted before the question: a cell that does not
        // fit is named, nothing is stored and the editor stays open.
        const io::AiI32 v = aiCellValues(controls_, zero ? ZERO_COLUMN : FULL_COLUMN);
        if (MsgBox(QString::fromUtf8(zero ? texts1::SAVE_ZERO_ASK : texts1::SAVE_FULL_ASK), MsgButtons::YesNo, {},
                   MsgIcon::Question)
            != MsgAnswer::Yes)
            return;
        (zero ? dev_.ZeroVal : dev_.FullVal) = v;
        // The read-back is pushed first, so the write runs first.
        engine_->push(zero ? 2 : 3);
        engine_->push(zero ? 6 : 7);
        editorTexts_.clear();
        closeZeroFullEditor();
    });
}

void Form1::cmdZFCancel_Click()
{
    if (ZFMode != 1 && ZFMode != 2)
        return;
    const int column = ZFMode == 1 ? ZERO_COLUMN : FULL_COLUMN;
    for (int i = 0; i < AI_CHANNELS && i < editorTexts_.size(); ++i)
        ui.ChnlDis[std::size_t(column + i)]->setText(editorTexts_[i]);
    editorTexts_.clear();
    closeZeroFullEditor();
}

void Form1::closeZeroFullEditor()
{
    if (ZFMode == 1 || ZFMode == 2) {
        paintEditorCell(false);
        const int column = ZFMode == 1 ? ZERO_COLUMN : FULL_COLUMN;
        for (int i = 0; i < AI_CHANNELS; ++i)
            ui.ChnlDis[std::size_t(column + i)]->setEnabled(false);
        // Back to the state maintenance mode gave.
        ui.cmdSetZero->setEnabled(!guardedStates_.isEmpty());
        ui.cmdSetFull->setEnabled(!guardedStates_.isEmpty());
    }
    ZFMode = 0;
    ZFChannel = 0;
    for (auto* b : editorButtons(ui))
        b->setEnabled(false);
}

// ---------------------------------------------------------------- keys

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()
        || static_cast<QWidget*>(watched)->window() != this)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    QAbstractButton* target = nullptr;
    switch (key->key()) {
    case Qt::Key_F4: target = ui.Option1; break;
    case Qt::Key_F5: target = ui.Option2; break;
    case Qt::Key_F6: target = ui.Option3; break;
    case Qt::Key_F7: target = ui.cmdSetZero; break;
    case Qt::Key_F8: target = ui.cmdSetFull; break;
    case Qt::Key_F9: target = ui.cmdZFSave; break;
    case Qt::Key_Escape: target = ui.cmdZFCancel; break;
    case Qt::Key_Left: target = ui.cmdLeft; break;
    case Qt::Key_Right: target = ui.cmdRight; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: target = ui.cmdEnter; break;
    default: return false;
    }
    // A disabled control takes no key, as it takes no click; the key then
    // goes on to the control with the focus.
    if (!target->isEnabled())
        return false;
    target->click();
    return true;
}
