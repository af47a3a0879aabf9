// The model table, device numbers and DeviceID texts.
#include "proto/device_types.h"

#include <QTest>

using namespace models;

namespace {
const QString UNKNOWN = QString::fromUtf8("未编制设备,无法识别");
}

class TstDeviceTypes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void table_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("readBack"); // the number's own model text
        QTest::newRow("1") << 1 << "MRK9000" << "87" << "MRK9000";
        QTest::newRow("2") << 2 << "ORV9000" << "85" << "ORV9000";
        QTest::newRow("3") << 3 << "MRK1000" << "92" << "MRK1000";
        QTest::newRow("4") << 4 << "MRK4600" << "90" << "MRK4600/MRK4000";
        QTest::newRow("5") << 5 << "MRK4400" << "90" << "MRK4600/MRK4000";
        QTest::newRow("6") << 6 << "TLX7000" << "96" << "TLX7000";
        QTest::newRow("7") << 7 << "MRK7000" << "95" << "MRK7000";
        QTest::newRow("12") << 12 << "TLX6000" << "196" << "TLX6000";
        QTest::newRow("13") << 13 << "VSN70DQ" << "195" << "VSN70DQ";
        QTest::newRow("14") << 14 << "TLX6000" << "196" << "TLX6000";
        QTest::newRow("16") << 16 << "MRK6000" << "129" << "MRK6000";
        QTest::newRow("29") << 29 << "MRK7AAQ" << "188" << "MRK7AAQ";
        QTest::newRow("33") << 33 << "MRK7ADQ" << "181" << "MRK7ADQ";
        QTest::newRow("0") << 0 << UNKNOWN << "87" << "MRK9000";
        QTest::newRow("30") << 30 << UNKNOWN << "87" << "MRK9000";
        QTest::newRow("255") << 255 << UNKNOWN << "87" << "MRK9000";
    }
    // Each type's number reads back to the model text of its code.
    void table()
    {
        QFETCH(int, type);
        QFETCH(QString, model);
        QFETCH(QString, code);
        QFETCH(QString, readBack);
        const auto t = std::uint8_t(type);
        QCOMPARE(modelText(t), model);
        QCOMPARE(knownType(t), model != UNKNOWN);
        QCOMPARE(numberCode(t), code);

        const QString number = deviceNumber(t, 2021, 12, 31, QStringLiteral("7"));
        QCOMPARE(number, code + QStringLiteral("202112310007"));
        const auto parts = parseDeviceNumber(number);
        QVERIFY(parts);
        QCOMPARE(parts->model, readBack);
        QCOMPARE(parts->year, 2021);
        QCOMPARE(parts->month, 12);
        QCOMPARE(parts->day, 31);
        QCOMPARE(parts->series, QStringLiteral("0007"));
    }

    void numbers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("number");
        QTest::newRow("MRK7000 2015-03-09") << 7 << 2015 << 3 << 9 << "12" << "95201503090012";
        QTest::newRow("long series") << 7 << 2015 << 3 << 9 << "123456" << "95201503093456";
        QTest::newRow("empty series") << 7 << 2015 << 3 << 9 << "" << "95201503090000";
        QTest::newRow("MRK7AAQ") << 29 << 1900 << 1 << 1 << "4321" << "188190001014321";
        QTest::newRow("unknown type") << 30 << 2020 << 10 << 20 << "1" << "87202010200001";
        QTest::newRow("short year") << 7 << 999 << 1 << 1 << "1" << "95099901010001";
    }
    void numbers()
    {
        QFETCH(int, type);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(QString, series);
        QTEST(deviceNumber(std::uint8_t(type), year, month, day, series), "number");
    }

    void deviceIds()
    {
        const QString n14 = QStringLiteral("95201503090012");
        const QString n15 = QStringLiteral("188190001014321");
        QCOMPARE(shownDeviceId(7, n14), QString(18, QLatin1Char('0')) + n14);
        QCOMPARE(shownDeviceId(29, n15), QString(17, QLatin1Char('0')) + n15);
        QCOMPARE(shownDeviceId(4, QStringLiteral("90201503090012")),
                 QStringLiteral("02") + QString(16, QLatin1Char('0')) + QStringLiteral("90201503090012"));
        QCOMPARE(shownDeviceId(3, n14).size(), 32);
        QCOMPARE(shownDeviceId(5, n14).left(2), QStringLiteral("02"));
        QCOMPARE(shownDeviceId(6, n14).left(2), QStringLiteral("00"));

        const QString hw14 = QStringLiteral("HW345678901234");
        QCOMPARE(composedDeviceId(7, hw14, n14), QStringLiteral("00HW34567890123400") + n14);
        QCOMPARE(composedDeviceId(29, QStringLiteral("HW3456789012345"), n15),
                 QStringLiteral("0HW34567890123450") + n15);
        QCOMPARE(composedDeviceId(4, hw14, n14), shownDeviceId(4, n14));
        QCOMPARE(composedDeviceId(7, hw14, n14).size(), 32);
    }

    void parseNumbers_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("series");
        QTest::newRow("14 MRK7000") << "95201503090012" << true << "MRK7000" << 2015 << 3 << 9 << "0012";
        QTest::newRow("14 unknown code") << "11202001310ABC" << true << UNKNOWN << 2020 << 1 << 31 << "0ABC";
        QTest::newRow("15 TLX7000") << "096201812250001" << true << "TLX7000" << 2018 << 12 << 25 << "0001";
        QTest::newRow("15 MRK7000") << "095201812259999" << true << "MRK7000" << 2018 << 12 << 25 << "9999";
        // A two-character code is not looked up among the three-character ones.
        QTest::newRow("15 code 95x") << "950201503090012" << true << UNKNOWN << 2015 << 3 << 9 << "0012";
        QTest::newRow("15 unknown") << "999201503090012" << true << UNKNOWN << 2015 << 3 << 9 << "0012";
        QTest::newRow("13") << "9520150309001" << false << QString() << 0 << 0 << 0 << QString();
        QTest::newRow("16") << "9520150309001234" << false << QString() << 0 << 0 << 0 << QString();
        QTest::newRow("empty") << "" << false << QString() << 0 << 0 << 0 << QString();
    }
    void parseNumbers()
    {
        QFETCH(QString, number);
        QFETCH(bool, parsed);
        const auto p = parseDeviceNumber(number);
        QCOMPARE(bool(p), parsed);
        if (!parsed)
            return;
        QTEST(p->model, "model");
        QTEST(p->year, "year");
        QTEST(p->month, "month");
        QTEST(p->day, "day");
        QTEST(p->series, "series");
    }
};

QTEST_GUILESS_MAIN(TstDeviceTypes)
#include "tst_device_types.moc"
