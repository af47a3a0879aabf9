#include "device/colors.h"

#include <QAbstractButton>
#include <QLineEdit>
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
} // namespace

void paint(QWidget* w, const QColor& c)
{
    if (!w)
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
    QPalette p = w->palette();
    p.setColor(role(w), w->style() ? w->style()->standardPalette().color(QPalette::Button)
                                   : QPalette().color(QPalette::Button));
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
