// libFuzzer entry: the environment variable RIODESK_FUZZ_TARGET names the
// target (scripts/fuzz sets it; an unknown name lists the targets). The window
// runs offscreen. The error log and the user-block dumps it writes into the
// working directory are removed now and then (scripts/fuzz runs it in a
// scratch directory).
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "fuzz/targets.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

namespace {
const fuzzing::Target* target = nullptr;
long runs = 0;

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    const QByteArray name = qgetenv("RIODESK_FUZZ_TARGET");
    target = fuzzing::findTarget(name.constData());
    if (!target) {
        std::fprintf(stderr, "RIODESK_FUZZ_TARGET names no target; the targets are:\n");
        for (const auto& t : fuzzing::targets())
            std::printf("%s\n", t.name);
        std::exit(2);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("RIODESK_PORTS", "/dev/riodesk-fuzz-no-port");
    qInstallMessageHandler(quiet);
    static int qtArgc = 1;
    static char program[] = "riodesk-fuzz";
    static char* qtArgv[] = {program, nullptr};
    new QApplication(qtArgc, qtArgv);
    setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    target->run(fuzzing::Bytes(data, size));
    if (++runs % 2000 == 0) {
        QDir dir;
        dir.remove(QString::fromLatin1(ERROR_LOG_FILE));
        for (const QString& f : dir.entryList({QStringLiteral("*.DAT")}, QDir::Files))
            dir.remove(f);
    }
    return 0;
}
