#pragma once
// The one way a button reaches its handler. The handler runs through the
// error trap, so nothing it throws reaches Qt; and unless the button is marked
// free, it runs only when the stack gate lets it go: while an operation owns
// the command stack the click is refused (one box) before the handler changes
// anything, and a check box the click has toggled is set back.
#include "base/errorlog.h"

#include <QAbstractButton>
#include <QObject>
#include <QSignalBlocker>
#include <utility>

enum class Gate {
    Stack, // a command that would queue or reload requests, or open a window that does
    Free,  // a command that never does (stop, pause, save a file, the editor's arrows)
};

// `stackGate` has `bool mayQueue()` (the command engine) and outlives the button.
template <class StackGate, class Handler>
QMetaObject::Connection command(QAbstractButton* button, QObject* context, StackGate& stackGate, Handler handler,
                                Gate gate = Gate::Stack)
{
    const QString tag = button->objectName() + QStringLiteral("_Click(") + context->objectName() + QLatin1Char(')');
    return QObject::connect(button, &QAbstractButton::clicked, context,
                            [button, &stackGate, tag, gate, handler = std::move(handler)]() mutable {
                                if (gate == Gate::Stack && !stackGate.mayQueue()) {
                                    if (button->isCheckable()) {
                                        const QSignalBlocker quiet(button);
                                        button->toggle();
                                    }
                                    return;
                                }
                                trap(tag, handler);
                            });
}
