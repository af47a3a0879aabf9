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
    void steps_data()
    {
        QTest::addColumn<bool>("timer");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("label");
        QTest::newRow("fresh bar") << true << 0 << 0 << 1 << "0.0%";
        QTest::newRow("RAM test after 3 s") << true << 3 << 0 << 4 << "44.4%";
        QTest::newRow("full after 8 s, then stays") << true << 20 << 0 << 9 << "100%";
        QTest::newRow("upgrade bar ignores the timer") << false << 5 << 0 << 1 << "0.0%";
        QTest::newRow("a step past the end stops at it") << false << 0 << 20 << 9 << "100%";
    }
    void steps()
    {
        QFETCH(bool, timer);
        QFETCH(int, ticks);
        QFETCH(int, step);
        FormRig rig;
        Form1& f = *rig.f;
        f.InitProgress(9, timer);
        for (int i = 0; i < ticks; ++i)
            f.ProgressTimer_Timer();
        if (step)
            f.StepProgress(step);
        QTEST(f.ui.ProgressBar->value(), "value");
        QTEST(f.ui.lb_ProgProc->text(), "label");
        f.endProgress();
        QVERIFY(f.ui.ProgressBar->isHidden() && f.ui.lb_ProgProc->isHidden());
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
