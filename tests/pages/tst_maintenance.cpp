// Maintenance mode opens the guarded commands only after its question and only
// while a device is connected; the zero/full editor answers its keys only where
// its buttons are enabled.
#include "base/msgbox.h"
#include "device/colors.h"
#include "pages/form1.h"
#include "support/form_rig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

class TestMaintenance : public QObject {
    Q_OBJECT
    std::unique_ptr<FormRig> rig;
    Form1* f = nullptr;
    MsgAnswer answer = MsgAnswer::Yes;
    QStringList asked;

    // The controls the mode opens, by the ones a system read closes.
    QList<QWidget*> guarded() const
    {
        return {f->ui.cmdSetZero, f->ui.Cmd_SetDefault, f->ui.bt_Updata, f->ui.txt_MAC[5], f->ui.txt_LeiCkeck[0],
                f->ui.datePicker, f->ui.txtPD_Tag, f->ui.txt_AQV[0], f->ui.txt_AQM[8 + 1]};
    }
    bool allGuarded(bool enabled) const
    {
        for (QWidget* w : guarded())
            if (w->isEnabled() != enabled)
                return false;
        return true;
    }
    void connectAndEnter()
    {
        f->StartRun_Click();
        f->ShowSysInfo();
        answer = MsgAnswer::Yes;
        f->ui.chkMaintenance->click();
    }
    // A key as the window gets it, whichever control has the focus.
    void key(Qt::Key k, QWidget* focus = nullptr) { QTest::keyClick(focus ? focus : f, k); }

private Q_SLOTS:
    void init()
    {
        asked.clear();
        setMsgResponder([this](const MsgRequest& r) {
            asked << r.text;
            return answer;
        });
        rig = std::make_unique<FormRig>();
        rig->f->portCandidates = {QStringLiteral("pty")};
        f = rig->f.get();
    }
    void cleanup() { rig.reset(); }

    void onlyAfterYesWhileConnected()
    {
        QVERIFY(!f->ui.chkMaintenance->isEnabled()); // nothing connected yet
        f->StartRun_Click();
        f->ShowSysInfo();
        QVERIFY(f->ui.chkMaintenance->isEnabled());
        QVERIFY(allGuarded(false));

        answer = MsgAnswer::No;
        f->ui.chkMaintenance->click();
        QCOMPARE(asked, QStringList{QStringLiteral("维护模式可标定、升级固件和恢复参数，是否继续？")});
        QVERIFY(!f->ui.chkMaintenance->isChecked());
        QVERIFY(allGuarded(false));

        answer = MsgAnswer::Yes;
        f->ui.ComboType2[2]->setCurrentIndex(2); // a switching channel has no zero/full points
        f->ui.chkMaintenance->click();
        QVERIFY(f->ui.chkMaintenance->isChecked());
        QVERIFY(allGuarded(true));
        for (auto* box : {f->ui.txt_AQV[2], f->ui.txt_AQV[8 + 2], f->ui.txt_AQM[2], f->ui.txt_AQM[8 + 2]})
            QVERIFY(!box->isEnabled());
    }

    void statesComeBack_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("boxEnabled");
        QTest::newRow("box cleared") << QStringLiteral("uncheck") << true;
        QTest::newRow("stop") << QStringLiteral("stop") << false;
        QTest::newRow("system read") << QStringLiteral("read") << true;
        QTest::newRow("device dropped") << QStringLiteral("dropped") << false;
    }
    void statesComeBack()
    {
        QFETCH(QString, how);
        QFETCH(bool, boxEnabled);
        connectAndEnter();
        key(Qt::Key_F7); // with the editor open
        QCOMPARE(f->ZFMode, std::uint8_t(1));
        if (how == QLatin1String("uncheck"))
            f->ui.chkMaintenance->click();
        else if (how == QLatin1String("stop"))
            f->cmdStop_Click();
        else if (how == QLatin1String("read"))
            f->ShowSysInfo();
        else
            f->resetPages('B');
        QVERIFY(!f->ui.chkMaintenance->isChecked());
        QCOMPARE(f->ui.chkMaintenance->isEnabled(), boxEnabled);
        QVERIFY(allGuarded(false));
        QCOMPARE(f->ZFMode, std::uint8_t(0));
        QVERIFY(!f->ui.cmdZFSave->isEnabled());
        QVERIFY(!f->ui.ChnlDis[11]->isEnabled());
        QCOMPARE(colors::background(f->ui.ChnlDis[11]), colors::WHITE);
        QCOMPARE(asked.size(), 1); // clearing asks nothing
    }

    void keysActOnlyWhereEnabled()
    {
        f->StartRun_Click();
        f->ShowSysInfo();
        key(Qt::Key_F7);
        key(Qt::Key_F8);
        QCOMPARE(f->ZFMode, std::uint8_t(0));
        key(Qt::Key_F6);
        QCOMPARE(f->engine().DisplayMode, std::uint8_t(2));
        key(Qt::Key_F5);
        QCOMPARE(f->engine().DisplayMode, std::uint8_t(1));
        key(Qt::Key_F4);
        QCOMPARE(f->engine().DisplayMode, std::uint8_t(0));

        answer = MsgAnswer::Yes;
        f->ui.chkMaintenance->click();
        for (int i = 0; i < 11; ++i) {
            f->ui.ChnlDis[std::size_t(i)]->setText(QString::number(100 + i));
            f->ui.ChnlDis[std::size_t(11 + i)]->setText(QStringLiteral("7"));
        }
        key(Qt::Key_F7, f->ui.ChnlDis[5]);
        QCOMPARE(f->ZFMode, std::uint8_t(1));
        QVERIFY(!f->ui.cmdSetFull->isEnabled());
        key(Qt::Key_F8); // disabled inside the editor
        QCOMPARE(f->ZFMode, std::uint8_t(1));
        key(Qt::Key_Left); // stays at channel 0
        key(Qt::Key_Right, f->ui.cmdEnter); // not the page scrolling
        key(Qt::Key_Right, f->ui.tabs);
        QCOMPARE(f->ZFChannel, 2);
        QCOMPARE(colors::background(f->ui.ChnlDis[13]), colors::EDITING);
        QCOMPARE(colors::background(f->ui.ChnlDis[11]), colors::WHITE);
        key(Qt::Key_Return);
        QCOMPARE(f->ui.ChnlDis[13]->text(), QStringLiteral("102"));
        key(Qt::Key_Escape, f->ui.cmdLeft); // the column as it was
        QCOMPARE(f->ui.ChnlDis[13]->text(), QStringLiteral("7"));
        QCOMPARE(f->ZFMode, std::uint8_t(0));
        QVERIFY(f->ui.cmdSetZero->isEnabled());
        key(Qt::Key_Return); // the editor is closed: nothing is taken
        QCOMPARE(f->ui.ChnlDis[11]->text(), QStringLiteral("7"));
        f->ui.ChnlDis[0]->setEnabled(true); // and an arrow is the box's own again
        f->ui.ChnlDis[0]->setCursorPosition(2);
        key(Qt::Key_Left, f->ui.ChnlDis[0]);
        QCOMPARE(f->ui.ChnlDis[0]->cursorPosition(), 1);
    }

    void saveWritesThenReadsBack_data()
    {
        QTest::addColumn<Qt::Key>("open");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("read");
        QTest::addColumn<int>("write");
        QTest::newRow("zero") << Qt::Key_F7 << QStringLiteral("确实要保存零点？") << 11 << 2 << 6;
        QTest::newRow("full") << Qt::Key_F8 << QStringLiteral("确实要保存满度？") << 22 << 3 << 7;
    }
    void saveWritesThenReadsBack()
    {
        QFETCH(Qt::Key, open);
        QFETCH(QString, question);
        QFETCH(int, column);
        QFETCH(int, read);
        QFETCH(int, write);
        connectAndEnter();
        Engine& e = f->engine();
        e.CmdTop = 0;
        for (int i = 0; i < 11; ++i)
            f->ui.ChnlDis[std::size_t(column + i)]->setText(QString::number(i));
        key(open);
        f->ui.ChnlDis[std::size_t(column + 4)]->setText(QStringLiteral("abc"));
        key(Qt::Key_F9); // a cell that is not a number: nothing saved, the editor stays
        QCOMPARE(e.CmdTop, std::int16_t(0));
        QVERIFY(f->ZFMode != 0);
        f->ui.ChnlDis[std::size_t(column + 4)]->setText(QStringLiteral("12.5"));
        answer = MsgAnswer::No;
        key(Qt::Key_F9);
        QCOMPARE(e.CmdTop, std::int16_t(0));
        answer = MsgAnswer::Yes;
        key(Qt::Key_F9);
        QCOMPARE(asked.last(), question);
        QCOMPARE(e.CmdTop, std::int16_t(2));
        QCOMPARE(e.CmdStack[1], std::int16_t(read));
        QCOMPARE(e.CmdStack[2], std::int16_t(write));
        const auto& v = column == 11 ? f->device().ZeroVal : f->device().FullVal;
        QCOMPARE(v[4], 12); // halves to even
        QCOMPARE(v[10], 10);
        QCOMPARE(f->ZFMode, std::uint8_t(0));
    }

    // A cell the device cannot take is named before the question is asked;
    // nothing is stored or queued and the editor stays open.
    void saveRefusesACellThatDoesNotFit_data()
    {
        QTest::addColumn<Qt::Key>("open");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("abc") << Qt::Key_F7 << 11 + 4 << "abc" << "通道4 零点";
        QTest::newRow("empty") << Qt::Key_F8 << 22 << "" << "通道0 满度";
        QTest::newRow("beyond 32 bits") << Qt::Key_F7 << 11 + 10 << "3000000000" << "通道10 零点";
    }
    void saveRefusesACellThatDoesNotFit()
    {
        QFETCH(Qt::Key, open);
        QFETCH(int, cell);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        connectAndEnter();
        f->engine().CmdTop = 0;
        for (int i = 11; i < 33; ++i)
            f->ui.ChnlDis[std::size_t(i)]->setText(QStringLiteral("5"));
        key(open);
        f->ui.ChnlDis[std::size_t(cell)]->setText(text);
        asked.clear();
        key(Qt::Key_F9);
        QCOMPARE(asked, QStringList{QStringLiteral("“%1”的值无法转换，参数未写入！请核查后再操作").arg(caption)});
        QCOMPARE(f->engine().CmdTop, std::int16_t(0));
        QVERIFY(f->ZFMode != 0);
        QCOMPARE(f->device().ZeroVal, (std::array<std::int32_t, 11>{}));
        QCOMPARE(f->device().FullVal, (std::array<std::int32_t, 11>{}));
    }
};

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
