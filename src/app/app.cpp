#include "app/app.h"

#include "app/bench_ready.h"
#include "base/msgbox.h"
#include "pages/form1.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace {
MsgAnswer showBox(const MsgRequest& q)
{
    QMessageBox box;
    box.setText(q.text);
    box.setWindowTitle(q.title.isEmpty() ? QStringLiteral(" ") : q.title);
    switch (q.icon) {
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::None: break;
    }
    switch (q.buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return MsgAnswer::Ok;
    }
}
} // namespace

int runRiodesk(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("riodesk"));
    setMsgResponder(showBox);

    // The command line is one text of image records.
    QStringList args = QApplication::arguments();
    args.removeFirst();
    QString shot;
    const QString shotPrefix = QStringLiteral("--screenshot=");
    for (int i = args.size() - 1; i >= 0; --i)
        if (args[i].startsWith(shotPrefix))
            shot = args.takeAt(i).mid(shotPrefix.size());

    Form1Options opt;
    opt.commandLine = args.join(QLatin1Char(' '));
    Form1 w(opt);
    w.resize(1280, 800);
    w.show();
    if (!shot.isEmpty()) {
        // For unattended runs: save a picture of the window after a few seconds and quit.
        bool ok = false;
        int secs = qEnvironmentVariableIntValue("RIODESK_SHOT_SECONDS", &ok);
        if (!ok || secs <= 0)
            secs = 6;
        QTimer::singleShot(secs * 1000, &w, [&w, shot] {
            w.grab().save(shot);
            QApplication::quit();
        });
    }
    quitWhenReadyForBench(app);
    return app.exec();
}
