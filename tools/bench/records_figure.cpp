// The image-record load figure: 20,000 records loaded into the window's pages
// in this process, from the text to the last control set. The records are the
// window's own page records, repeated; each round gives the text boxes new
// numbers so that every record changes its control.
#include "base/ansi.h"
#include "base/msgbox.h"
#include "bench/figures.h"
#include "imagefile/image_file.h"
#include "pages/form1.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>

namespace {
constexpr int RECORDS = 20000;
constexpr double AIM_S = 0.25;
} // namespace

Figure recordsLoadFigure()
{
    setMsgResponder([](const MsgRequest&) { return MsgAnswer::Ok; });
    Form1Options o;
    o.platformPorts = false;
    Form1 window(o);
    window.resize(1280, 800);
    window.show();
    QCoreApplication::processEvents();

    const QList<imagefile::Record> page = window.imageFile().records();
    QList<imagefile::Record> list;
    list.reserve(RECORDS);
    for (int i = 0; i < RECORDS; ++i) {
        imagefile::Record r = page[i % page.size()];
        if (window.findChild<QLineEdit*>(r.key))
            r.value = QString::number(i / page.size());
        list.append(r);
    }
    QString text = fromAnsi(imagefile::encodeFile(list));

    QElapsedTimer t;
    t.start();
    const int applied = window.imageFile().AnalysisParam(text);
    const double s = double(t.nsecsElapsed()) / 1e9;
    return {QStringLiteral("20,000 image records loaded into the window"),
            QStringLiteral("%1 s (%2 applied)").arg(s, 0, 'f', 3).arg(applied), QStringLiteral("<= 0.25 s"),
            s <= AIM_S};
}
