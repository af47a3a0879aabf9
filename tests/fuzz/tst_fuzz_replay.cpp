// Every saved input of every fuzz target, run through the target the way the
// fuzzer runs it: the crashes once found (regressions/<target>/) and the
// starting inputs (seeds/<target>/). A row fails by crashing, by a sanitizer
// report, or by a broken property of the target.
#include "base/msgbox.h"
#include "fuzz/targets.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestFuzzReplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        qputenv("RIODESK_PORTS", "/dev/riodesk-fuzz-no-port");
    }

    void savedInputs_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        int rows = 0;
        for (const auto& t : fuzzing::targets()) {
            const QString name = QString::fromLatin1(t.name);
            for (const char* kind : {"regressions", "seeds"}) {
                QDir dir(QStringLiteral(RIODESK_FUZZ_DIR "/%1/%2").arg(QLatin1String(kind), name));
                for (const QString& f : dir.entryList(QDir::Files, QDir::Name)) {
                    QTest::addRow("%s/%s/%s", kind, t.name, qPrintable(f)) << name << dir.filePath(f);
                    ++rows;
                }
            }
        }
        QVERIFY(rows > 0);
    }
    void savedInputs()
    {
        QFETCH(QString, target);
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray in = f.readAll();
        // An exact-size copy, so that a read past the input is a read past the buffer.
        std::vector<std::uint8_t> buf(in.begin(), in.end());
        fuzzing::findTarget(qPrintable(target))->run(buf);
    }
};

QTEST_MAIN(TestFuzzReplay)
#include "tst_fuzz_replay.moc"
