// riodesk-bare: the smallest Qt Widgets program scripts/bench holds riodesk's
// start-up against: one window with one Chinese label. With RIODESK_BENCH_READY
// set it prints "READY <CPU microseconds>" on its first event-loop turn and
// quits, as riodesk does.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    layout->addWidget(new QLabel(QStringLiteral("串行通信")));
    w.show();
    if (qEnvironmentVariableIsSet("RIODESK_BENCH_READY"))
        QTimer::singleShot(0, &app, [] {
            rusage u{};
            getrusage(RUSAGE_SELF, &u);
            const long long us = (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000000LL + u.ru_utime.tv_usec + u.ru_stime.tv_usec;
            std::printf("READY %lld\n", us);
            std::fflush(stdout);
            QApplication::quit();
        });
    return app.exec();
}
