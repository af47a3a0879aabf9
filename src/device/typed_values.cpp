#include "device/typed_values.h"

#include "base/errorlog.h"
#include "base/msgbox.h"
#include "base/numbers.h"
#include "device/controls.h"
#include "device/texts.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// Whether the layout item is the box or a layout that holds it.
bool holds(QLayoutItem* item, const QWidget* box)
{
    if (!item)
        return false;
    if (item->widget() == box)
        return true;
    if (auto* l = item->layout())
        for (int i = 0; i < l->count(); ++i)
            if (holds(l->itemAt(i), box))
                return true;
    return false;
}

QString labelText(QLayoutItem* item)
{
    const auto* l = item ? qobject_cast<const QLabel*>(item->widget()) : nullptr;
    return l ? l->text() : QString();
}

QString layoutCaption(const QWidget* box)
{
    const QWidget* parent = box->parentWidget();
    QLayout* top = parent ? parent->layout() : nullptr;
    if (auto* form = qobject_cast<QFormLayout*>(top)) {
        for (int row = 0; row < form->rowCount(); ++row)
            if (holds(form->itemAt(row, QFormLayout::FieldRole), box))
                return labelText(form->itemAt(row, QFormLayout::LabelRole));
    } else if (auto* grid = qobject_cast<QGridLayout*>(top)) {
        for (int i = 0; i < grid->count(); ++i) {
            if (!holds(grid->itemAt(i), box))
                continue;
            int row = 0, col = 0, rows = 0, cols = 0;
            grid->getItemPosition(i, &row, &col, &rows, &cols);
            QStringList parts;
            if (col > 0)
                parts << labelText(grid->itemAtPosition(row, 0));
            if (row > 0)
                parts << labelText(grid->itemAtPosition(0, col));
            parts.removeAll(QString());
            return parts.join(u' ');
        }
    }
    return {};
}

const QWidget* boxNamed(const Controls& c, const QString& name, int index)
{
    const QString full = index < 0 ? name : name + QLatin1Char('_') + QString::number(index);
    const QWidget* w = c.widget(full);
    if (!w)
        throw RuntimeError(QStringLiteral("控件不存在: ") + full);
    return w;
}

} // namespace

QString boxCaption(const QWidget* box)
{
    const QString caption = layoutCaption(box);
    return caption.isEmpty() ? box->objectName() : caption;
}

void refuseBox(const QWidget* box)
{
    MsgBox(QString::fromUtf8(texts2::PARAM_NOT_CONVERTED).arg(boxCaption(box)), MsgButtons::Ok,
           QString::fromUtf8(texts2::HINT_TITLE), MsgIcon::Exclamation);
    throw Abandoned{};
}

void refuseBox(const Controls& c, const QString& name, int index) { refuseBox(boxNamed(c, name, index)); }

std::int64_t boxValue(const QWidget* box, std::int64_t lo, std::int64_t hi, double scale)
{
    const auto* edit = qobject_cast<const QLineEdit*>(box);
    if (!edit)
        throw RuntimeError(QStringLiteral("不是文本框: ") + box->objectName());
    const QString text = edit->text();
    if (!isNumeric(text))
        refuseBox(box);
    const auto v = roundedIn(strictNumber(text) * scale, lo, hi);
    if (!v)
        refuseBox(box);
    return *v;
}

std::int64_t boxValue(const Controls& c, const QString& name, int index, std::int64_t lo, std::int64_t hi,
                      double scale)
{
    return boxValue(boxNamed(c, name, index), lo, hi, scale);
}
