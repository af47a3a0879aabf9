// The simulated device's parameter store: restore brings back what was saved,
// the whole set or the groups of its mask; the defaults bring back the
// factory set; stop and clear leaves no user program.
#include "devsim/device_model.h"

#include <QTest>

class TstSimControl : public QObject {
    Q_OBJECT
    // Changes a slave row and an alarm limit, the groups 2 and 4.
    static void edit(SimDeviceModel& m, char address, qint16 limit)
    {
        m.slaves[5][4] = address;
        m.aiAlarmUp[0] = limit;
    }

private Q_SLOTS:
    void restoreBringsBackTheSavedGroups_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("address"); // slave row 5 afterwards
        QTest::addColumn<int>("limit");   // first upper alarm limit afterwards
        QTest::newRow("whole set") << QByteArray() << 50 << 500;
        QTest::newRow("slave table only") << QByteArray::fromHex("55aa04") << 50 << 999;
        QTest::newRow("device group only") << QByteArray::fromHex("55aa10") << 99 << 500;
        QTest::newRow("no group") << QByteArray::fromHex("55aa00") << 99 << 999;
    }
    void restoreBringsBackTheSavedGroups()
    {
        QFETCH(QByteArray, request);
        SimDeviceModel m;
        edit(m, 50, 500);
        m.saveParams();
        edit(m, 99, 999);
        m.restoreParams(request);
        QTEST(int(m.slaves[5][4]), "address");
        QTEST(int(m.aiAlarmUp[0]), "limit");
        QCOMPARE(m.restoreCount, 1);
    }

    void defaultsAndStopAndClear()
    {
        const SimDeviceModel factory;
        SimDeviceModel m;
        edit(m, 50, 500);
        m.saveParams();
        m.restoreDefaults();
        QCOMPARE(m.slaves, factory.slaves);
        QCOMPARE(m.aiAlarmUp, factory.aiAlarmUp);
        // Nothing saved yet: a restore gives the factory set too.
        SimDeviceModel fresh;
        edit(fresh, 50, 500);
        fresh.restoreParams({});
        QCOMPARE(fresh.slaves, factory.slaves);

        m.stopAndClear();
        QCOMPARE(int(m.runState), 0);
        QCOMPARE(int(m.noUserProgram), 1);
    }
};

QTEST_APPLESS_MAIN(TstSimControl)
#include "tst_sim_control.moc"
