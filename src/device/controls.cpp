#include "device/controls.h"

#include "base/errorlog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

QWidget* Controls::widget(const QString& name) const
{
    auto it = cache_.constFind(name);
    if (it != cache_.constEnd() && *it)
        return *it;
    auto* w = root_->objectName() == name ? root_ : root_->findChild<QWidget*>(name);
    cache_.insert(name, w);
    return w;
}

QString Controls::text(const QString& name) const
{
    auto* w = widget(name);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    throw RuntimeError(QStringLiteral("控件不存在: ") + name);
}

void Controls::setText(const QString& name, const QString& text) const
{
    auto* w = widget(name);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        // The live values come again on every poll: a box that already shows
        // the text is left alone (no new layout, no repaint).
        if (e->text() != text)
            e->setText(text);
    } else if (auto* c = qobject_cast<QComboBox*>(w))
        c->setCurrentText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else
        throw RuntimeError(QStringLiteral("控件不存在: ") + name);
}

int Controls::position(const QString& name, int index) const
{
    const QString full = name + QLatin1Char('_') + QString::number(index);
    if (auto* c = qobject_cast<QComboBox*>(widget(full)))
        return c->currentIndex();
    throw RuntimeError(QStringLiteral("控件不存在: ") + full);
}

void Controls::setVisible(const QString& name, bool visible) const
{
    auto* w = widget(name);
    if (!w)
        throw RuntimeError(QStringLiteral("控件不存在: ") + name);
    w->setVisible(visible);
}

void Controls::setEnabled(const QString& name, bool enabled) const
{
    auto* w = widget(name);
    if (!w)
        throw RuntimeError(QStringLiteral("控件不存在: ") + name);
    w->setEnabled(enabled);
}
