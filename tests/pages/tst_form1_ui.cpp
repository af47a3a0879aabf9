// The main window's widget tree: every named control exists once, with its
// name, type and design-time state, and the pages fit the window.
#include "pages/form1_ui.h"

#include <QtTest>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTimeEdit>

#include <memory>
#include <vector>

namespace {

struct Control {
    QString name;          // the element name: "StartRun", "ChnlDis_11"
    const QMetaObject* type;
    QWidget* member;       // the pointer the struct holds
};

struct Table {
    std::vector<Control> controls;
    QStringList sizeErrors;

    template <class T>
    void add(const char* name, int count, T* p)
    {
        if (count != 1)
            sizeErrors << QStringLiteral("%1 is single, expected %2").arg(QLatin1String(name)).arg(count);
        controls.push_back({QString::fromLatin1(name), &T::staticMetaObject, p});
    }
    template <class T, std::size_t N>
    void add(const char* name, int count, const std::array<T*, N>& a)
    {
        if (int(N) != count)
            sizeErrors << QStringLiteral("%1 has %2 elements, expected %3").arg(QLatin1String(name)).arg(N).arg(count);
        for (std::size_t i = 0; i < N; ++i)
            controls.push_back({QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i), &T::staticMetaObject, a[i]});
    }
};

// The main window's controls with their array sizes, as the device pages use them.
Table controlTable(const Form1Ui& ui)
{
    Table t;
#define C(member, count) t.add(#member, count, ui.member)
    // Link and status
    C(optComm, 2); C(ComPort, 1); C(StartRun, 1); C(cmdStop, 1); C(cmdPause, 1); C(cmbDevice, 1);
    C(Text2, 1); C(Text3, 1); C(Text4, 1); C(NowDis, 1); C(cmdGetSys, 1); C(chkMaintenance, 1);
    // System parameters
    C(txtSeries, 1); C(txtModuleAddr, 1); C(txtIp, 4); C(txtDIPrevent, 1); C(txtTempComp, 1); C(ComboCold, 1);
    C(datePicker, 1); C(timePicker, 1); C(uPortTxt, 1); C(cpuTxt, 1); C(txtSubErr, 1); C(txtSubcommIntv, 1);
    C(txtSubWaitTime, 1); C(ScanCtrl, 1); C(ScanInterval, 1); C(txt_RSDataTime, 2); C(Text_ErrorTimeComm2, 1);
    C(Text_InterTimeComm2, 1); C(Text_WaitTimeComm2, 1);
    C(Combo6, 2); C(Combo7, 2); C(Combo8, 2); C(Combo9, 2); C(Combo10, 2); C(ComboMS, 2);
    C(ComboADFilter, 1); C(ComboADRate, 1); C(ComboADRate1, 1);
    C(txtDeviceType, 1); C(lblNUM, 1); C(lblVersion, 1); C(txtInnerVersion, 1); C(lb_BookNo, 1); C(txtDevID, 1);
    C(txtPD_Tag, 1); C(txthardwarenum, 1); C(txtPallTime, 1); C(txtISOAddr, 1); C(shpFlash, 16);
    C(cmdSetPara, 1); C(Command3, 1); C(Check_SysParam, 8); C(Cmd_ResumeParam, 1); C(Cmd_SetDefault, 1);
    C(Command_Store, 1); C(Command_Resume, 1);
    C(txt_MAC, 6); C(ophandornot, 2); C(bt_MAC, 1); C(txtGate, 4); C(txtSubNet, 4); C(bt_NetGate, 1);
    // Analog inputs
    C(chanl, 11); C(ChnlSensor, 11); C(cmdChnlEnable, 11); C(prjTxt, 11); C(ChnlDis, 33); C(opSingle, 1);
    C(opUnion, 1); C(Option1, 1); C(Option2, 1); C(Option3, 1); C(Text_Average, 1);
    C(cmdSetZero, 1); C(cmdSetFull, 1); C(cmdZFSave, 1); C(cmdZFCancel, 1); C(cmdLeft, 1); C(cmdRight, 1);
    C(cmdEnter, 1);
    C(cmdWriteprj, 1); C(txt_LeiCkeck, 8); C(Cmd_LeiCheck, 1); C(Cmd_Wtite_Temprature, 1); C(CmdGainE, 1);
    C(CmdGainD, 1);
    C(txt_AIUp, 8); C(txt_AIDown, 8); C(sapAI, 8); C(cmdFreshAI, 1); C(cmd_ReadAIWarning, 1);
    C(cmd_WriteAIWarning, 1);
    // Digital I/O, outputs, LEDs
    C(shpDI, 4); C(cmdDO, 2); C(txtAQ, 8); C(txtAQ_Set, 8); C(cmdSetAO, 1); C(Cmd_AQ_Unit, 1); C(txt_HardAddr, 1);
    C(txtCellPressure, 1); C(LightState, 18);
    // AQ channels
    C(ComboType2, 8); C(OpAqSingle, 1); C(OpAqUnion, 1); C(lbl_unit0, 16); C(lbl_unit1, 8); C(cmdDQ3, 8);
    C(bt_FreshDQ, 1); C(bt_ReadAQType, 1); C(bt_WriteAQType, 1); C(bt_ReadAQZeroFull, 1); C(bt_WriteOrOut, 4);
    C(txt_AQV, 16); C(txt_AQM, 16); C(txt_AQjust, 8); C(bt_AQAdjust, 1); C(bt_AQAuto, 1);
    // Clock
    C(clkDate, 1); C(clkTime, 1); C(Combo_WeekDay, 1); C(cmdReclock, 1); C(cmdWrclock, 1); C(cmdNowclock, 1);
    // Device control
    C(bt_CheckRAM, 1); C(ram_sap, 8); C(bt_RunStop, 1); C(cmdClearCode, 1); C(cmdCheckLight, 1);
    C(cmdStopCheck, 1); C(ckProfibus, 1); C(btReadProfibus, 1);
    // Openers, files and firmware
    C(btSlaveShow, 1); C(btShowZigBee, 1); C(btShowCtrl, 1); C(btShowSM, 1); C(btShowResend, 1);
    C(btShowResendSlave, 1); C(btShowRongyu, 1); C(btShowAQ, 1); C(cmdSave, 1); C(cmdRead, 1); C(ReadTxt, 1); C(ReadTxtAndDown, 1);
    C(bt_FindUpdataFile, 1); C(bt_Updata, 1); C(ProgressBar, 1); C(lb_ProgProc, 1); C(cmd_DownOrderInfo, 1);
    C(cmd_DownOAPara, 1); C(Cmd_TransPara, 1);
#undef C
    return t;
}

const QSet<QString> hiddenAtDesign = {
    QStringLiteral("cmd_DownOrderInfo"), QStringLiteral("cmd_DownOAPara"), QStringLiteral("Cmd_TransPara"),
    QStringLiteral("bt_AQAuto"),         QStringLiteral("ProgressBar"),    QStringLiteral("lb_ProgProc"),
    QStringLiteral("cmbDevice")};

} // namespace

class TestForm1Ui : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> form;
    Form1Ui ui;

    void showTab(int index)
    {
        ui.tabs->setCurrentIndex(index);
        QCoreApplication::processEvents();
        form->layout()->activate();
    }
    int tabOf(QWidget* w) const
    {
        for (int i = 0; i < ui.tabs->count(); ++i)
            if (ui.tabs->widget(i)->isAncestorOf(w))
                return i;
        return -1;
    }
    // A page may sit in a scroll area that only scrolls when the font is large.
    QWidget* pageAt(int i) const
    {
        auto* area = qobject_cast<QScrollArea*>(ui.tabs->widget(i));
        return area ? area->widget() : ui.tabs->widget(i);
    }

private Q_SLOTS:
    void init()
    {
        form = std::make_unique<QWidget>();
        ui = Form1Ui{};
        setupForm1Ui(form.get(), ui);
    }
    void cleanup() { form.reset(); }

    void everyControlIsFoundByNameWithItsType()
    {
        const Table t = controlTable(ui);
        QVERIFY2(t.sizeErrors.isEmpty(), qPrintable(t.sizeErrors.join(QLatin1String("; "))));
        QStringList errors;
        for (const Control& c : t.controls) {
            const auto found = form->findChildren<QWidget*>(c.name);
            if (found.size() != 1) {
                errors << QStringLiteral("%1 found %2 times").arg(c.name).arg(found.size());
                continue;
            }
            if (found.first() != c.member)
                errors << QStringLiteral("%1: struct pointer is not the named widget").arg(c.name);
            if (QLatin1String(found.first()->metaObject()->className()) != QLatin1String(c.type->className()))
                errors << QStringLiteral("%1 is a %2, expected %3")
                              .arg(c.name, QLatin1String(found.first()->metaObject()->className()),
                                   QLatin1String(c.type->className()));
        }
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1String("; "))));
        QVERIFY(ui.tabs);
        QCOMPARE(form->findChild<QTabWidget*>(QStringLiteral("tabs")), ui.tabs);
    }

    // A misspelt or extra name (ChnlDis_33, a second Text2) would let a handler
    // or a test reach the wrong box.
    void namesAreUniqueAndNoStrayNamedWidget()
    {
        QSet<QString> expected;
        for (const Control& c : controlTable(ui).controls)
            expected.insert(c.name);
        expected.insert(QStringLiteral("tabs"));
        QSet<QString> seen;
        QStringList errors;
        for (QWidget* w : form->findChildren<QWidget*>()) {
            const QString n = w->objectName();
            if (n.isEmpty() || n.startsWith(QLatin1String("qt_")) || ui.tabs->tabBar()->isAncestorOf(w))
                continue; // Qt's own inner widgets
            if (seen.contains(n))
                errors << QStringLiteral("duplicate %1").arg(n);
            seen.insert(n);
            bool isPage = false;
            for (int i = 0; i < ui.tabs->count(); ++i)
                isPage = isPage || pageAt(i) == w;
            if (!expected.contains(n) && !isPage)
                errors << QStringLiteral("unexpected named widget %1").arg(n);
        }
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1String("; "))));
        QCOMPARE(seen.size(), int(expected.size()) + ui.tabs->count());
    }

    void designTimeState()
    {
        QStringList errors;
        for (const Control& c : controlTable(ui).controls) {
            QWidget* w = c.member;
            if (!w)
                continue; // reported by the name test
            const bool shouldHide = hiddenAtDesign.contains(c.name);
            if (w->isHidden() != shouldHide)
                errors << QStringLiteral("%1 %2").arg(c.name, shouldHide ? QLatin1String("not hidden")
                                                                         : QLatin1String("hidden"));
            const bool shouldEnable = c.name != QLatin1String("cmdStop");
            if (w->isEnabled() != shouldEnable)
                errors << QStringLiteral("%1 %2").arg(c.name, shouldEnable ? QLatin1String("disabled")
                                                                           : QLatin1String("enabled"));
            if (auto* cb = qobject_cast<QComboBox*>(w); cb && cb->count() != 0)
                errors << QStringLiteral("%1 has items").arg(c.name);
            if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isChecked())
                errors << QStringLiteral("%1 checked").arg(c.name);
        }
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1String("; "))));

        for (QLineEdit* e : {ui.Text2, ui.Text3, ui.Text4, ui.lblNUM, ui.txtDevID})
            QVERIFY2(e->isReadOnly(), qPrintable(e->objectName()));
        for (QDateEdit* d : {ui.datePicker, ui.clkDate}) {
            QVERIFY(d->calendarPopup());
            QCOMPARE(d->displayFormat(), QStringLiteral("yyyy-MM-dd"));
        }
        for (QTimeEdit* t : {ui.timePicker, ui.clkTime})
            QCOMPARE(t->displayFormat(), QStringLiteral("HH:mm:ss"));
        // Buttons and lamps whose colour the program paints fill their background.
        QList<QWidget*> painted;
        for (auto* b : ui.cmdDQ3) painted << b;
        for (auto* b : ui.cmdDO) painted << b;
        for (auto* b : ui.LightState) painted << b;
        for (auto* b : ui.cmdChnlEnable) painted << b;
        for (auto* l : ui.shpFlash) painted << l;
        for (auto* l : ui.shpDI) painted << l;
        for (auto* l : ui.sapAI) painted << l;
        for (auto* l : ui.ram_sap) painted << l;
        for (QWidget* w : painted)
            QVERIFY2(w->autoFillBackground(), qPrintable(w->objectName()));
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const char* const rows[][2] = {
            {"optComm_0", "串行通信"},        {"optComm_1", "网络通信"},
            {"StartRun", "通讯开始"},         {"cmdStop", "停止通讯"},
            {"cmdPause", "暂停"},             {"Option1", "温度(F4)"},
            {"Option2", "A/D(F5)"},           {"Option3", "电压(F6)"},
            {"cmdWriteprj", "校  准"},        {"Cmd_LeiCheck", "内部校准"},
            {"Cmd_Wtite_Temprature", "计算写入"}, {"bt_WriteOrOut_0", "输出零点"},
            {"bt_WriteOrOut_1", "输出满度"},  {"bt_WriteOrOut_2", "写零点"},
            {"bt_WriteOrOut_3", "写满度"},    {"bt_AQAuto", "自动校准AQ"},
            {"cmd_DownOrderInfo", "下订单参数"}, {"cmd_DownOAPara", "下载终调参数"},
            {"Cmd_TransPara", "上传参数"},    {"Check_SysParam_0", "恢复控制参数"},
            {"Check_SysParam_1", "SM掉电保持区"}, {"Check_SysParam_2", "从设备参数"},
            {"Check_SysParam_3", "恢复描述参数"}, {"Check_SysParam_4", "恢复设备参数"},
            {"Check_SysParam_5", "恢复转发参数"}, {"Check_SysParam_6", "ZigBee参数"},
            {"Check_SysParam_7", "恢复冗余参数"}, {"cmdChnlEnable_0", ""},
            {"cmdCheckLight", "启动灯板检测"}, {"cmdStopCheck", "停止灯板检测"},
        };
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString::fromUtf8(r[0]) << QString::fromUtf8(r[1]);
    }
    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        auto* b = form->findChild<QAbstractButton*>(name);
        QVERIFY(b);
        QCOMPARE(b->text(), text);
    }

    // Each choice is exclusive within itself and independent of the others.
    void optionButtonsFormSeparateChoices()
    {
        const QList<QPair<QButtonGroup*, QList<QRadioButton*>>> groups = {
            {ui.optCommGroup, {ui.optComm[0], ui.optComm[1]}},
            {ui.sensorModeGroup, {ui.opSingle, ui.opUnion}},
            {ui.displayModeGroup, {ui.Option1, ui.Option2, ui.Option3}},
            {ui.aqModeGroup, {ui.OpAqSingle, ui.OpAqUnion}},
            {ui.macModeGroup, {ui.ophandornot[0], ui.ophandornot[1]}},
        };
        for (const auto& [group, buttons] : groups) {
            QVERIFY(group);
            QVERIFY(group->exclusive());
            QCOMPARE(group->buttons().size(), buttons.size());
            for (int i = 0; i < buttons.size(); ++i)
                QCOMPARE(group->id(buttons[i]), i);
        }
        // Pick the last option of every choice, then the first of one of them:
        // only that choice changes.
        for (const auto& g : groups)
            g.second.last()->setChecked(true);
        ui.Option1->setChecked(true);
        QVERIFY(!ui.Option3->isChecked());
        for (const auto& g : groups)
            if (g.first != ui.displayModeGroup)
                QVERIFY2(g.second.last()->isChecked(), qPrintable(g.second.last()->objectName()));
    }

    // The AI grid shows one row per channel: live value, zero and full scale side
    // by side, channels top to bottom.
    void aiGridHasOneRowPerChannel()
    {
        form->resize(1280, 800);
        form->show();
        showTab(tabOf(ui.ChnlDis[0]));
        int lastY = -1;
        for (int i = 0; i < 11; ++i) {
            const QRect live = ui.ChnlDis[i]->geometry();
            const QRect zero = ui.ChnlDis[11 + i]->geometry();
            const QRect full = ui.ChnlDis[22 + i]->geometry();
            QCOMPARE(zero.y(), live.y());
            QCOMPARE(full.y(), live.y());
            QVERIFY(live.right() < zero.left());
            QVERIFY(zero.right() < full.left());
            QCOMPARE(ui.prjTxt[i]->geometry().y(), live.y());
            QVERIFY(qAbs(ui.ChnlSensor[i]->geometry().center().y() - live.center().y()) <= 1);
            QVERIFY(live.y() > lastY);
            lastY = live.y();
        }
    }

    // At 1280 x 800 every page shows all its visible controls whole, without
    // scrolling, and the link bar and status area stay in view.
    void everyPageFitsTheWindow()
    {
        form->resize(1280, 800);
        form->show();
        const QString shotDir = qEnvironmentVariable("RIODESK_SHOT_DIR");
        const Table t = controlTable(ui);
        for (int tab = 0; tab < ui.tabs->count(); ++tab) {
            showTab(tab);
            QWidget* page = pageAt(tab);
            QWidget* pane = ui.tabs->widget(tab);
            const QString where = page->objectName();
            QVERIFY2(page->minimumSizeHint().width() <= pane->width()
                         && page->minimumSizeHint().height() <= pane->height(),
                     qPrintable(QStringLiteral("%1 needs %2 x %3, has %4 x %5")
                                    .arg(where)
                                    .arg(page->minimumSizeHint().width())
                                    .arg(page->minimumSizeHint().height())
                                    .arg(pane->width())
                                    .arg(pane->height())));
            if (auto* area = qobject_cast<QScrollArea*>(pane)) {
                QVERIFY2(!area->horizontalScrollBar()->isVisible(), qPrintable(where));
                QVERIFY2(!area->verticalScrollBar()->isVisible(), qPrintable(where));
            }
            const QRect paneRect(pane->mapTo(form.get(), QPoint(0, 0)), pane->size());
            for (const Control& c : t.controls) {
                QWidget* w = c.member;
                if (!w || !w->isVisibleTo(form.get()))
                    continue;
                const bool onPage = page->isAncestorOf(w);
                const bool always = !ui.tabs->isAncestorOf(w);
                if (!onPage && !always)
                    continue;
                const QRect r(w->mapTo(form.get(), QPoint(0, 0)), w->size());
                QVERIFY2(form->rect().contains(r), qPrintable(c.name + QLatin1String(" outside the form")));
                if (onPage)
                    QVERIFY2(paneRect.contains(r), qPrintable(c.name + QLatin1String(" clipped by its page")));
                QVERIFY2(w->width() >= w->minimumSizeHint().width(), qPrintable(c.name + QLatin1String(" squeezed")));
            }
            if (!shotDir.isEmpty())
                form->grab().save(QDir(shotDir).filePath(QStringLiteral("form1_%1.png").arg(where)));
        }
    }
};

QTEST_MAIN(TestForm1Ui)
#include "tst_form1_ui.moc"
