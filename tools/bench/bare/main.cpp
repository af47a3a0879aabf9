// riodesk-bare: the smallest Qt Widgets program scripts/bench holds riodesk's
// start-up against: one window with one Chinese label. With RIODESK_BENCH_READY
// set it prints "READY <CPU microseconds>" on its first event-loop turn and
// quits, as riodesk does.
#include "app/bench_ready.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    layout->addWidget(new QLabel(QStringLiteral("串行通信")));
    w.show();
    quitWhenReadyForBench(app);
    return app.exec();
}
