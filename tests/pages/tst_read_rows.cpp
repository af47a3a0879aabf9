// The reads that fill the boxes the set-parameter command takes back, on the
// real window with a stand-in port and socket.
#include "base/msgbox.h"
#include "device/colors.h"
#include "pages/form1.h"
#include "proto/serial_frame.h"
#include "support/form_rig.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace serial;

class TestReadRows : public QObject {
    Q_OBJECT
    std::unique_ptr<FormRig> rig;
    Form1* f = nullptr;

    void ethernetRead(int index, int sub, const QByteArray& payload) { rig->ethernetRead(index, sub, payload); }
    QStringList texts(const char* base, int n) const
    {
        QStringList out;
        for (int i = 0; i < n; ++i)
            out << f->controls().text(QString::fromLatin1(base), i);
        return out;
    }

private Q_SLOTS:
    void init()
    {
        setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
        rig = std::make_unique<FormRig>();
        f = rig->f.get();
        rig->openPort();
    }
    void cleanup() { rig.reset(); }

    void macAndGatewayOnBothLinks()
    {
        rig->serialReply(37, QByteArray::fromHex("00fc1803050a"));
        QCOMPARE(texts("txt_MAC", 6), QStringList({"0", "FC", "18", "3", "5", "A"}));
        rig->serialReply(77, QByteArray::fromHex("c0a80101ffffff00"));
        QCOMPARE(texts("txtGate", 4), QStringList({"192", "168", "1", "1"}));
        QCOMPARE(texts("txtSubNet", 4), QStringList({"255", "255", "255", "0"}));

        ethernetRead(10003, 16, QByteArray::fromHex("0102030405ff"));
        QCOMPARE(texts("txt_MAC", 6), QStringList({"1", "2", "3", "4", "5", "FF"}));
        ethernetRead(14000, 5, QByteArray::fromHex("7f0000fe ff000000"));
        QCOMPARE(texts("txtGate", 4), QStringList({"127", "0", "0", "254"}));
        // A reply too short for its block changes nothing.
        ethernetRead(14000, 5, QByteArray::fromHex("0a0b0c"));
        QCOMPARE(texts("txtGate", 4), QStringList({"127", "0", "0", "254"}));
    }

    void calibrationValuesAndAlarms()
    {
        QByteArray prj;
        for (int i = 0; i < 11; ++i)
            prj += QByteArray::fromHex(i == 0 ? "ff7f" : i == 1 ? "0080" : "fdff");
        rig->serialReply(18, prj);
        QCOMPARE(texts("prjTxt", 3), QStringList({"32767", "-32768", "-3"}));
        QVERIFY(f->ui.cmdWriteprj->isEnabled());

        // Status 0x81: channels 0 and 7 in alarm.
        QByteArray alarm = QByteArray::fromHex("81");
        for (int i = 0; i < 8; ++i)
            alarm += QByteArray::fromHex("e803") + QByteArray::fromHex("9cff");
        rig->serialReply(50, alarm);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(colors::background(f->ui.sapAI[std::size_t(i)]), i == 0 || i == 7 ? colors::ALARM : colors::WHITE);
        QCOMPARE(f->ui.txt_AIUp[3]->text(), QStringLiteral("1000"));
        QCOMPARE(f->ui.txt_AIDown[3]->text(), QStringLiteral("-100"));

        ethernetRead(10003, 4, QByteArray(22, 0).replace(20, 2, QByteArray::fromHex("0700")));
        QCOMPARE(f->ui.prjTxt[10]->text(), QStringLiteral("7"));
        ethernetRead(10003, 20, QByteArray(33, 0));
        QCOMPARE(colors::background(f->ui.sapAI[0]), colors::WHITE);
        QCOMPARE(f->ui.txt_AIUp[3]->text(), QStringLiteral("0"));
    }

    void aqTypesSelectTheirListItems()
    {
        for (auto* c : f->ui.ComboType2)
            if (c->count() == 0)
                c->addItems({QStringLiteral("电压输出"), QStringLiteral("电流输出"), QStringLiteral("开关量输出")});
        rig->serialReply(39, QByteArray::fromHex("0001020501000200"));
        QList<int> shown;
        for (auto* c : f->ui.ComboType2)
            shown << c->currentIndex();
        QCOMPARE(shown, QList<int>({0, 1, 2, 0, 1, 0, 2, 0})); // a code above 2 selects the first
        QCOMPARE(f->device().AQType[3], std::uint8_t(5));
        QVERIFY(rig->nb.calls.contains(QStringLiteral("SetAQDQChange")));
    }

    void hardwareNumberAndPdTag()
    {
        // Two pad zeros before a 14-digit hardware number, then the device number.
        const QByteArray id14 = "00" "20230615000042" "0095202306151234";
        const QByteArray tag = QByteArray("ABC").leftJustified(32, ' ');
        rig->serialReply(21, id14 + tag);
        QCOMPARE(f->ui.txthardwarenum->text(), QStringLiteral("20230615000042"));
        QCOMPARE(f->ui.txtPD_Tag->text(), QString::fromLatin1(tag)); // trailing spaces kept
        QCOMPARE(f->ui.Text2->text(), QStringLiteral("读PDTag、DeviceID成功"));

        // One pad zero before a 15-character number that begins with a letter;
        // a Chinese PD tag in GBK. On Ethernet the block is 82 bytes.
        const QByteArray id15 = "0" "H20230615000042" "0095202306151234";
        const QByteArray gbk = QByteArray::fromHex("d6d0").leftJustified(32, ' ');
        ethernetRead(10010, 2, id15 + gbk + QByteArray(18, 0));
        QCOMPARE(f->ui.txthardwarenum->text(), QStringLiteral("H20230615000042"));
        QCOMPARE(f->ui.txtPD_Tag->text(), QString(QChar(0x4E2D)) + QString(30, u' '));
        QCOMPARE(f->ui.txtDevID->text(), QString()); // a read never changes the DeviceID box
    }
};

QTEST_MAIN(TestReadRows)
#include "tst_read_rows.moc"
