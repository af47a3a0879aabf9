#pragma once
// Named controls of a window, looked up by objectName (array elements are
// "Name_i"). The device glue reads and fills controls through this, so it does
// not depend on the window classes above it.
#include <QHash>
#include <QString>
#include <QWidget>

class Controls {
public:
    explicit Controls(QWidget* root) : root_(root) {}

    QWidget* widget(const QString& name) const;
    template <class T>
    T* get(const QString& name) const
    {
        return qobject_cast<T*>(widget(name));
    }
    template <class T>
    T* get(const QString& name, int index) const
    {
        return get<T>(name + QLatin1Char('_') + QString::number(index));
    }
    // Text of a line edit, combo box, label or button; throws when absent.
    QString text(const QString& name) const;
    QString text(const QString& name, int index) const { return text(name + QLatin1Char('_') + QString::number(index)); }
    void setText(const QString& name, const QString& text) const;
    void setText(const QString& name, int index, const QString& text) const
    {
        setText(name + QLatin1Char('_') + QString::number(index), text);
    }
    // Selected position of a list, -1 for none; throws when absent.
    int position(const QString& name, int index) const;
    // Shows or hides, enables or disables a control; throws when absent.
    void setVisible(const QString& name, bool visible) const;
    void setEnabled(const QString& name, bool enabled) const;

private:
    QWidget* root_;
    mutable QHash<QString, QWidget*> cache_;
};
