// The image file on the main window: what a record sets, what is skipped, the
// command line and load-and-download.
#include "base/errorlog.h"
#include "base/msgbox.h"
#include "imagefile/image_file.h"
#include "pages/form1.h"
#include "support/fakes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QtTest>

namespace {
// The error-log lines of the image-record loader.
QStringList loaderLogLines()
{
    QFile f(QString::fromLatin1(ERROR_LOG_FILE));
    QStringList out;
    if (f.open(QIODevice::ReadOnly))
        for (const auto& line : f.readAll().split('\n'))
            if (line.contains("AnalysisParam(Form1)"))
                out << QString::fromUtf8(line);
    return out;
}
} // namespace

class TestImageFile : public QObject {
    Q_OBJECT
    FakeSerial serial;
    FakeUdp discovery, device;
    QTemporaryDir dir;

    std::unique_ptr<Form1> window(const QString& commandLine = {})
    {
        Form1Options o;
        o.commandLine = commandLine;
        o.serial = &serial;
        o.discovery = &discovery;
        o.deviceSocket = &device;
        o.platformPorts = false;
        return std::make_unique<Form1>(o);
    }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
    }

    void recordSetsItsControl()
    {
        auto f = window();
        QString text = QStringLiteral("txtModuleAddr€12|\r\nCombo9_1€2|\r\nCheck_SysParam_2€2|\r\n"
                                      "datePicker€2024-02-29|\r\ntimePicker€08:09:10|\r\n员工编号€0042|\r\n");
        QCOMPARE(f->imageFile().AnalysisParam(text), 6);
        QCOMPARE(f->ui.txtModuleAddr->text(), QStringLiteral("12"));
        QCOMPARE(f->ui.Combo9[1]->currentIndex(), 2);
        QCOMPARE(f->ui.txt_RSDataTime[1]->text(), QStringLiteral("8")); // the list's own handler ran
        QCOMPARE(f->ui.Check_SysParam[2]->checkState(), Qt::Checked);
        QCOMPARE(f->ui.datePicker->date(), QDate(2024, 2, 29));
        QCOMPARE(f->ui.timePicker->time(), QTime(8, 9, 10));
        QCOMPARE(f->EmployeeNo, QStringLiteral("0042"));
    }

    void refusedRecordsAreSkippedAndLoggedOnce_data()
    {
        QTest::addColumn<QString>("record");
        QTest::newRow("unknown key") << QStringLiteral("txtNoSuchBox€1|");
        QTest::newRow("a control of the link bar") << QStringLiteral("ComPort€0|");
        QTest::newRow("list position not a number") << QStringLiteral("ComboCold€abc|");
        QTest::newRow("list position beyond the list") << QStringLiteral("ComboCold€99|");
        QTest::newRow("check state beyond 2") << QStringLiteral("Check_SysParam_0€3|");
        QTest::newRow("no such date") << QStringLiteral("datePicker€2024-13-01|");
        QTest::newRow("no separator") << QStringLiteral("设备演示");
    }
    void refusedRecordsAreSkippedAndLoggedOnce()
    {
        QFETCH(QString, record);
        auto f = window();
        const int before = int(loaderLogLines().size());
        const int cold = f->ui.ComboCold->currentIndex();
        QString text = record + QStringLiteral("\r\ntxtSubErr€7|\r\n");
        QCOMPARE(f->imageFile().AnalysisParam(text), 1);
        QCOMPARE(f->ui.txtSubErr->text(), QStringLiteral("7"));
        QCOMPARE(f->ui.ComboCold->currentIndex(), cold);
        QCOMPARE(f->ui.Check_SysParam[0]->checkState(), Qt::Unchecked);
        const auto lines = loaderLogLines();
        QCOMPARE(int(lines.size()), before + 1);
        QVERIFY2(lines.last().contains(QStringLiteral(": 1 条")), qPrintable(lines.last()));
    }

    void commandLineIsAppliedBeforeTheAutomaticStart()
    {
        auto f = window(QStringLiteral("txtModuleAddr€5| ComboCold€1|ComboType2_3€2|"));
        QCOMPARE(f->ui.txtModuleAddr->text(), QStringLiteral("5"));
        QCOMPARE(f->ui.ComboCold->currentIndex(), 1);
        QVERIFY(f->Time2Start.isActive());
        QVERIFY(!serial.isOpen());
        // The AQ type survives the start, which fills the type lists.
        f->Time2Start_Timer();
        QVERIFY(serial.isOpen());
        QCOMPARE(f->ui.ComboType2[3]->currentIndex(), 2);
    }

    // A value the file cannot carry is left out, not saved as something
    // else, and named with its control once in the log and once on screen.
    void saveLeavesOutWhatWouldNotLoadBack_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("not in GBK") << QStringLiteral("A\uD55CB");
        QTest::newRow("bar, then separator") << QStringLiteral("A|B\u20ACC");
        QTest::newRow("line break") << QStringLiteral("A\nB|");
    }
    void saveLeavesOutWhatWouldNotLoadBack()
    {
        QFETCH(QString, value);
        QStringList shown;
        setMsgResponder([&](const MsgRequest& r) {
            shown << r.text;
            return MsgAnswer::Ok;
        });
        const auto logged = [] {
            QFile log(QString::fromLatin1(ERROR_LOG_FILE));
            return log.open(QIODevice::ReadOnly) ? log.readAll().count("\"cmdSave_Click(Form1)\"") : 0;
        };
        const auto before = logged();
        auto f = window();
        f->ui.txtPD_Tag->setText(value);
        QCOMPARE(f->ui.txtPD_Tag->text(), value);
        f->ui.txtModuleAddr->setText(QStringLiteral("12|"));
        const QString path = dir.filePath(QStringLiteral("save.txt"));
        f->imageFile().chooseFile = [path](bool, const QString&) { return path; };
        f->imageFile().cmdSave_Click();

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        auto expected = f->imageFile().records();
        expected.removeIf([](const imagefile::Record& r) { return r.key == QLatin1String("txtPD_Tag"); });
        QCOMPARE(imagefile::decodeFile(file.readAll()), expected);
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(QLatin1String("txtPD_Tag")), qPrintable(shown[0]));
        QCOMPARE(logged(), before + 1);
    }

    void readTxtAndDownLoadsAndQueuesTheDownload()
    {
        auto f = window();
        for (auto* box : f->ui.tabs->findChildren<QLineEdit*>())
            if (box->text().isEmpty())
                box->setText(QStringLiteral("1"));
        for (auto* list : f->ui.ComboType2) { // the lists a start fills, a type chosen
            list->addItem(QStringLiteral("电压输出"));
            list->setCurrentIndex(0);
        }
        const QString path = dir.filePath(QStringLiteral("down.txt"));
        QVERIFY(f->imageFile().saveFile(path));
        f->ui.txtModuleAddr->setText(QStringLiteral("99"));
        f->device().SysInfoConnection = f->engine().connection(); // the record as read in this connection
        f->imageFile().chooseFile = [path](bool save, const QString&) { return save ? QString() : path; };
        f->imageFile().ReadTxtAndDown_Click();
        QCOMPARE(f->ui.txtModuleAddr->text(), QStringLiteral("1"));
        QVERIFY(f->engine().AQTypeChanged);
        QVERIFY(f->engine().AQZFTwoStep);
        QCOMPARE(f->engine().PendParam, 8);
        QVERIFY(f->engine().queued(serial::QS_WRITE_SYS_INFO));
        int zeroFull = 0;
        for (int i = 1; i <= f->engine().CmdTop; ++i)
            zeroFull += f->engine().CmdStack[std::size_t(i)] == serial::QS_WRITE_AQ_ZERO_FULL;
        QCOMPARE(zeroFull, 2);
    }
};

QTEST_MAIN(TestImageFile)
#include "tst_image_file.moc"
