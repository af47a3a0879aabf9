#include "device/colors.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>

namespace colors {
namespace {
QPalette::ColorRole role(const QWidget* w)
{
    if (qobject_cast<const QAbstractButton*>(w))
        return QPalette::Button;
    if (qobject_cast<const QLineEdit*>(w))
        return QPalette::Base;
    return QPalette::Window;
}

// Whether the control's background is `c` already, in every colour group.
bool shows(const QWidget* w, const QColor& c)
{
    const QPalette& p = w->palette();
    const auto r = role(w);
    return p.color(QPalette::Active, r) == c && p.color(QPalette::Inactive, r) == c
           && p.color(QPalette::Disabled, r) == c;
}

// The style's button face; asking the style for its palette is costly, and
// the idle poll paints the lamps on every reply.
QColor faceColour(const QWidget* w)
{
    static QPointer<QStyle> style;
    static QColor face;
    QStyle* s = w->style();
    if (!style || style != s) {
        style = s;
        face = s ? s->standardPalette().color(QPalette::Button) : QPalette().color(QPalette::Button);
    }
    return face;
}
} // namespace

void paint(QWidget* w, const QColor& c)
{
    if (!w)
        return;
    // Already so painted: nothing to change.
    const QVariant face = w->property("riodeskFace");
    if (face.isValid() && !face.toBool() && w->autoFillBackground() && shows(w, c))
        return;
    QPalette p = w->palette();
    p.setColor(role(w), c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
    w->setProperty("riodeskFace", false);
}

void paintFace(QWidget* w)
{
    if (!w)
        return;
    const QColor c = faceColour(w);
    const QVariant face = w->property("riodeskFace");
    if (face.isValid() && face.toBool() && shows(w, c))
        return;
    QPalette p = w->palette();
    p.setColor(role(w), c);
    w->setPalette(p);
    w->setProperty("riodeskFace", true);
}

QColor background(const QWidget* w) { return w ? w->palette().color(role(w)) : QColor(); }

bool isFace(const QWidget* w)
{
    if (!w)
        return false;
    const auto v = w->property("riodeskFace");
    return !v.isValid() || v.toBool();
}
} // namespace colors
