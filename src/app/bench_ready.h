#pragma once
// For scripts/bench: with RIODESK_BENCH_READY set, the first turn of the event
// loop prints "READY <CPU microseconds>" and ends the program. Shared by
// riodesk and the bare window the bench holds it against.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

inline void quitWhenReadyForBench(QApplication& app)
{
    if (!qEnvironmentVariableIsSet("RIODESK_BENCH_READY"))
        return;
    QTimer::singleShot(0, &app, [] {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        const long long us = (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000000LL + u.ru_utime.tv_usec + u.ru_stime.tv_usec;
        std::printf("READY %lld\n", us);
        std::fflush(stdout);
        QApplication::quit();
    });
}
