// The status area's progress bar: the RAM test's bar steps once a second up to
// its maximum; a bar started without its timer moves only by StepProgress.
#include "support/form_rig.h"
#include "upgrade/firmware_upgrade.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class TestProgress : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void timerSteps_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<bool>("timer");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("label");
        QTest::newRow("fresh bar") << 9 << true << 0 << 1 << "0.0%";
        QTest::newRow("RAM test after 3 s") << 9 << true << 3 << 4 << "44.4%";
        QTest::newRow("full after 8 s") << 9 << true << 8 << 9 << "100%";
        QTest::newRow("stays full") << 9 << true << 20 << 9 << "100%";
        QTest::newRow("upgrade bar ignores the timer") << 40 << false << 5 << 1 << "0.0%";
    }
    void timerSteps()
    {
        QFETCH(int, maximum);
        QFETCH(bool, timer);
        QFETCH(int, ticks);
        FormRig rig;
        Form1& f = *rig.f;
        f.InitProgress(maximum, timer);
        QVERIFY(!f.ui.ProgressBar->isHidden());
        for (int i = 0; i < ticks; ++i)
            f.ProgressTimer_Timer();
        QTEST(f.ui.ProgressBar->value(), "value");
        QTEST(f.ui.lb_ProgProc->text(), "label");
    }

    void stepsStopAtTheMaximumAndEndHidesTheBar()
    {
        FormRig rig;
        Form1& f = *rig.f;
        f.InitProgress(3, false);
        f.StepProgress(5);
        QCOMPARE(f.ui.ProgressBar->value(), 3);
        QVERIFY(f.progressAtMaximum());
        f.endProgress();
        QCOMPARE(f.ui.ProgressBar->value(), 0);
        QVERIFY(f.ui.ProgressBar->isHidden());
        QVERIFY(f.ui.lb_ProgProc->isHidden());
    }

    // The RAM test asks for the bar through the window's neighbours; while an
    // upgrade owns it, the bar is not restarted and the timer leaves it alone.
    void timerNeverMovesAnUpgradesBar()
    {
        FakeSerial serial;
        FakeUdp discovery, device;
        Form1Options o;
        o.serial = &serial;
        o.discovery = &discovery;
        o.deviceSocket = &device;
        o.platformPorts = false;
        Form1 f(o);
        f.InitProgress(40, false);
        f.upgrade().ownsProgress = true;
        f.engine().neighbours()->InitProgress(9, true);
        for (int i = 0; i < 5; ++i)
            f.ProgressTimer_Timer();
        QCOMPARE(f.ui.ProgressBar->maximum(), 40);
        QCOMPARE(f.ui.ProgressBar->value(), 1);
    }
};

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
