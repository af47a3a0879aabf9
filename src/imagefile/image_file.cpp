#include "imagefile/image_file.h"

#include "base/ansi.h"
#include "base/command.h"
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "imagefile/texts.h"
#include "link/engine.h"
#include "link/view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QTimeEdit>

using imagefile::Record;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

const QString DATE_FORMAT = QStringLiteral("yyyy-MM-dd");
const QString TIME_FORMAT = QStringLiteral("HH:mm:ss");

// The page controls an image file holds, in the order they are saved and
// loaded: the lists first and the device number next, because their change
// handlers fill other boxes (baud rate -> frame gap, device number -> series
// and date), which their own records then set again.
QList<QWidget*> pageControls(QWidget* window)
{
    QList<QWidget*> lists, number, rest;
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("tabs"));
    if (!tabs)
        return {};
    for (auto* w : tabs->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        if (qobject_cast<QComboBox*>(w))
            lists << w;
        else if (name == QLatin1String("lblNUM"))
            number << w;
        else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QDateTimeEdit*>(w))
            rest << w;
    }
    return lists + number + rest;
}

QString valueOf(QWidget* w)
{
    if (auto* c = qobject_cast<QComboBox*>(w))
        return QString::number(c->currentIndex());
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* b = qobject_cast<QCheckBox*>(w))
        return QString::number(int(b->checkState()));
    if (auto* t = qobject_cast<QTimeEdit*>(w))
        return t->time().toString(TIME_FORMAT);
    if (auto* d = qobject_cast<QDateTimeEdit*>(w))
        return d->date().toString(DATE_FORMAT);
    return {};
}

// Sets a control from its record; false when the value does not fit it.
bool setValue(QWidget* w, const QString& value)
{
    bool ok = false;
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        const int pos = value.trimmed().toInt(&ok);
        if (!ok || pos < -1 || pos >= c->count())
            return false;
        c->setCurrentIndex(pos);
        return true;
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(value);
        return true;
    }
    if (auto* b = qobject_cast<QCheckBox*>(w)) {
        const int state = value.trimmed().toInt(&ok);
        if (!ok || state < 0 || state > 2)
            return false;
        b->setCheckState(Qt::CheckState(state));
        return true;
    }
    if (auto* t = qobject_cast<QTimeEdit*>(w)) {
        const QTime v = QTime::fromString(value.trimmed(), TIME_FORMAT);
        if (!v.isValid())
            return false;
        t->setTime(v);
        return true;
    }
    if (auto* d = qobject_cast<QDateTimeEdit*>(w)) {
        const QDate v = QDate::fromString(value.trimmed(), DATE_FORMAT);
        if (!v.isValid())
            return false;
        d->setDate(v);
        return true;
    }
    return false;
}

} // namespace

ImageFile::ImageFile(QWidget* window, Engine& engine, ImageHeader header, std::function<bool()> setParaVk,
                     QObject* parent)
    : QObject(parent), window_(window), engine_(engine), header_(header), setParaVk_(std::move(setParaVk))
{
    chooseFile = [this](bool save, const QString& suggested) {
        return save ? QFileDialog::getSaveFileName(window_, u(texts4::SAVE_TITLE), suggested, u(texts4::TXT_FILTER))
                    : QFileDialog::getOpenFileName(window_, u(texts4::OPEN_TITLE), suggested, u(texts4::TXT_FILTER));
    };
    const auto hook = [this](const char* name, void (ImageFile::*handler)(), Gate gate = Gate::Stack) {
        if (auto* b = window_->findChild<QPushButton*>(QString::fromLatin1(name)))
            command(b, this, engine_, [this, handler] { (this->*handler)(); }, gate);
    };
    hook("cmdSave", &ImageFile::cmdSave_Click, Gate::Free);
    // Loading a file only fills the pages: it sends nothing.
    hook("cmdRead", &ImageFile::cmdRead_Click, Gate::Free);
    hook("ReadTxt", &ImageFile::ReadTxt_Click, Gate::Free);
    hook("ReadTxtAndDown", &ImageFile::ReadTxtAndDown_Click);
}

QString* ImageFile::headerField(const QString& key) const
{
    const std::pair<const char*, QString*> keys[] = {
        {texts4::KEY_EMPLOYEE_NO, header_.EmployeeNo}, {texts4::KEY_BIN_FILE, header_.BinFileName},
        {texts4::KEY_BIN_VERSION, header_.BinVersion}, {texts4::KEY_BOOT_VERSION, header_.BootVersion},
        {texts4::KEY_DEVICE_SERIAL, header_.DeviceSerial},
    };
    for (const auto& [k, field] : keys)
        if (key == u(k))
            return field;
    return nullptr;
}

bool ImageFile::apply(const Record& r, const QHash<QString, QWidget*>& controls)
{
    if (QString* field = headerField(r.key)) {
        *field = r.value;
        return true;
    }
    auto* w = controls.value(r.key);
    return w && setValue(w, r.value);
}

int ImageFile::AnalysisParam(QString& records)
{
    int skipped = 0;
    const auto list = imagefile::parseRecords(records, &skipped);
    // The page controls by name, looked up once for the whole text; where two
    // share a name the first in loading order takes the record.
    QHash<QString, QWidget*> controls;
    if (!list.isEmpty())
        for (auto* w : pageControls(window_))
            controls.insert(w->objectName(), controls.value(w->objectName(), w));
    int applied = 0;
    for (const auto& r : list) {
        if (apply(r, controls))
            ++applied;
        else
            ++skipped;
    }
    if (skipped > 0)
        WriteErrorLog(u(texts4::SKIPPED).arg(skipped), QStringLiteral("AnalysisParam(Form1)"));
    return applied;
}

QList<Record> ImageFile::records() const
{
    QList<Record> out;
    for (const char* k : {texts4::KEY_EMPLOYEE_NO, texts4::KEY_BIN_FILE, texts4::KEY_BIN_VERSION,
                          texts4::KEY_BOOT_VERSION, texts4::KEY_DEVICE_SERIAL}) {
        const QString* field = headerField(u(k));
        out.append({u(k), field ? *field : QString()});
    }
    for (auto* w : pageControls(window_))
        out.append({w->objectName(), valueOf(w)});
    return out;
}

bool ImageFile::saveFile(const QString& path, QList<Record>* leftOut)
{
    QList<Record> kept;
    for (const auto& r : records()) {
        if (imagefile::loadsBack(r))
            kept.append(r);
        else if (leftOut)
            leftOut->append(r);
    }
    QSaveFile f(path);
    const QByteArray bytes = imagefile::encodeFile(kept);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw RuntimeError(u(texts4::SAVE_FAILED) + path);
    return true;
}

bool ImageFile::loadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        MsgBox(u(texts4::OPEN_FAILED) + path);
        return false;
    }
    QString text = fromAnsi(f.readAll());
    AnalysisParam(text);
    return true;
}

void ImageFile::cmdSave_Click()
{
    trap(QStringLiteral("cmdSave_Click(Form1)"), [&] {
        auto* number = window_->findChild<QLineEdit*>(QStringLiteral("lblNUM"));
        const QString path = chooseFile(true, (number ? number->text() : QString()) + u(texts4::TXT_SUFFIX));
        if (path.isEmpty())
            return;
        QList<Record> leftOut;
        saveFile(path, &leftOut);
        engine_.view()->setStatus(u(texts4::SAVED) + path);
        if (leftOut.isEmpty())
            return;
        // Each control with its value, on one line (a line break shown as \n).
        QStringList named;
        for (const auto& r : leftOut) {
            QString v = r.value;
            v.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
            named << QStringLiteral("%1=\"%2\"").arg(r.key, v);
        }
        const QString text = u(texts4::LEFT_OUT).arg(named.join(QLatin1String("; ")));
        WriteErrorLog(text, QStringLiteral("cmdSave_Click(Form1)"));
        MsgBox(text, MsgButtons::Ok, {}, MsgIcon::Exclamation);
    });
}

void ImageFile::cmdRead_Click()
{
    trap(QStringLiteral("cmdRead_Click(Form1)"), [&] {
        const QString path = chooseFile(false, {});
        if (!path.isEmpty() && loadFile(path))
            engine_.view()->setStatus(u(texts4::LOADED) + path);
    });
}

void ImageFile::ReadTxt_Click() { cmdRead_Click(); }

bool ImageFile::download()
{
    if (!setParaVk_())
        return false;
    // The two queued AQ zero/full writes send the zero values, then the full-scale values.
    engine_.setParam(8);
    return true;
}

void ImageFile::ReadTxtAndDown_Click()
{
    trap(QStringLiteral("ReadTxtAndDown_Click(Form1)"), [&] {
        if (mayDownload && !mayDownload())
            return;
        const QString path = chooseFile(false, {});
        if (path.isEmpty() || !loadFile(path) || !download())
            return;
        // The AQ type write's reply then leaves the AQ area as loaded.
        engine_.AQTypeChanged = true;
    });
}

void ImageFile::DownOrder(QString& text, int& upgradeMode)
{
    trap(QStringLiteral("DownOrder(Form1)"), [&] {
        AnalysisParam(text);
        upgradeMode = 0;
        download();
    });
}
