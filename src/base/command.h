#pragma once
// The one way a user action reaches its handler. The handler runs through the
// error trap, so nothing it throws reaches Qt; and unless the action is marked
// free, it runs only when the stack gate lets it go: while an operation owns
// the command stack the action is refused (one box) before the handler
// changes anything, and what the action itself changed on the screen is set
// back (a check box the click toggled, a list the pick moved). The gate has no
// side effect but its word.
#include "base/errorlog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QObject>
#include <QSignalBlocker>
#include <functional>
#include <utility>

enum class Gate {
    Stack, // a command that would queue or reload requests, or open a window that does
    Free,  // a command that sends and queues nothing (stop, pause, show a window, load a file)
};

namespace detail {
// The gated, trapped body of one action; `undo` sets back what the refused action changed.
template <class StackGate, class Handler>
auto gated(QString tag, StackGate& stackGate, Handler handler, Gate gate, std::function<void()> undo)
{
    return [tag = std::move(tag), &stackGate, gate, handler = std::move(handler), undo = std::move(undo)]() mutable {
        if (gate == Gate::Stack && !stackGate.mayQueue()) {
            if (undo)
                undo();
            return;
        }
        trap(tag, handler);
    };
}
} // namespace detail

// `stackGate` has `bool mayQueue()` (the command engine) and outlives the button.
template <class StackGate, class Handler>
QMetaObject::Connection command(QAbstractButton* button, QObject* context, StackGate& stackGate, Handler handler,
                                Gate gate = Gate::Stack)
{
    const QString tag = button->objectName() + QStringLiteral("_Click(") + context->objectName() + QLatin1Char(')');
    return QObject::connect(button, &QAbstractButton::clicked, context,
                            detail::gated(tag, stackGate, std::move(handler), gate, [button] {
                                if (button->isCheckable()) {
                                    const QSignalBlocker quiet(button);
                                    button->toggle();
                                }
                            }));
}

// A pick in a list: a refused pick puts the list back on `current()`, the
// entry that still holds (-1: none).
template <class StackGate, class Handler>
QMetaObject::Connection command(QComboBox* list, QObject* context, StackGate& stackGate, Handler handler,
                                std::function<int()> current, Gate gate = Gate::Stack)
{
    const QString tag = list->objectName() + QStringLiteral("_Click(") + context->objectName() + QLatin1Char(')');
    return QObject::connect(list, qOverload<int>(&QComboBox::activated), context,
                            detail::gated(tag, stackGate, std::move(handler), gate, [list, current] {
                                const QSignalBlocker quiet(list);
                                list->setCurrentIndex(current());
                            }));
}
