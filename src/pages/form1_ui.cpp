#include "pages/form1_ui.h"

#include "pages/ui_util.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace form1ui;

namespace {

// Link choice and the link commands, always on top.
QLayout* buildLinkBar(QWidget* form, Form1Ui& ui)
{
    makeArray(ui.optComm, "optComm", [](const QString& n, int i) {
        return radio(n, i == 0 ? QStringLiteral("串行通信") : QStringLiteral("网络通信"));
    });
    ui.optCommGroup = exclusive(form, QStringLiteral("optCommGroup"), {ui.optComm[0], ui.optComm[1]});
    ui.ComPort = combo(QStringLiteral("ComPort"), 7);
    ui.cmbDevice = combo(QStringLiteral("cmbDevice"), 15);
    ui.cmbDevice->setPlaceholderText(QStringLiteral("选择设备"));
    ui.cmbDevice->hide(); // shown once devices have announced themselves
    ui.StartRun = button(QStringLiteral("StartRun"), QStringLiteral("通讯开始"));
    ui.cmdStop = button(QStringLiteral("cmdStop"), QStringLiteral("停止通讯"));
    ui.cmdStop->setEnabled(false);
    ui.cmdPause = button(QStringLiteral("cmdPause"), QStringLiteral("暂停"));
    ui.cmdGetSys = button(QStringLiteral("cmdGetSys"), QStringLiteral("读取全部"));
    ui.chkMaintenance = check(QStringLiteral("chkMaintenance"), QStringLiteral("维护模式"));

    auto* bar = new QHBoxLayout;
    bar->setSpacing(6);
    bar->addWidget(ui.optComm[0]);
    bar->addWidget(ui.ComPort);
    bar->addSpacing(16);
    bar->addWidget(ui.optComm[1]);
    bar->addWidget(ui.cmbDevice);
    bar->addSpacing(24);
    bar->addWidget(ui.StartRun);
    bar->addWidget(ui.cmdStop);
    bar->addWidget(ui.cmdPause);
    bar->addSpacing(12);
    bar->addWidget(vline());
    bar->addSpacing(12);
    bar->addWidget(ui.cmdGetSys);
    bar->addSpacing(12);
    bar->addWidget(ui.chkMaintenance);
    bar->addStretch(1);
    return bar;
}

// Status line, progress, counters and clock, always at the bottom. The progress
// bar lives here rather than on a page because the RAM test drives it too.
QLayout* buildStatusArea(Form1Ui& ui)
{
    ui.Text2 = readOnlyEdit(QStringLiteral("Text2"));
    ui.ProgressBar = new QProgressBar;
    ui.ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ui.ProgressBar->setTextVisible(false);
    ui.ProgressBar->setFixedWidth(180);
    ui.ProgressBar->hide();
    ui.lb_ProgProc = label(QStringLiteral("lb_ProgProc"));
    ui.lb_ProgProc->setMinimumWidth(charWidth(ui.lb_ProgProc, 6));
    ui.lb_ProgProc->hide();
    ui.Text3 = readOnlyEdit(QStringLiteral("Text3"), 6);
    ui.Text3->setAlignment(Qt::AlignRight);
    ui.Text4 = readOnlyEdit(QStringLiteral("Text4"), 8);
    ui.Text4->setAlignment(Qt::AlignRight);
    ui.NowDis = label(QStringLiteral("NowDis"));
    ui.NowDis->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The label also shows received frames in hex; a long frame must not widen
    // the window, so the label takes its share of the row and clips the rest.
    ui.NowDis->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ui.NowDis->setMinimumWidth(ui.NowDis->fontMetrics().horizontalAdvance(
                                   QStringLiteral("0000年00月00日    00:00:00")) + 12);

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(ui.Text2, 5);
    row->addWidget(ui.ProgressBar);
    row->addWidget(ui.lb_ProgProc);
    row->addSpacing(6);
    row->addWidget(caption(QStringLiteral("丢失")));
    row->addWidget(ui.Text3);
    row->addWidget(caption(QStringLiteral("接收")));
    row->addWidget(ui.Text4);
    row->addSpacing(6);
    row->addWidget(ui.NowDis, 2);
    return row;
}

// Pages fit a 1280 x 800 window at the usual font sizes; with a larger font
// a page scrolls instead of being cut off. The area asks for its page's full
// size, so the window opens large enough to show the page unscrolled.
class PageScrollArea : public QScrollArea {
public:
    QSize sizeHint() const override
    {
        const int f = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(f, f) : QScrollArea::sizeHint();
    }
};

QWidget* scrolled(QWidget* page)
{
    auto* area = new PageScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(page);
    // Let the tab pane's colour show through, as on an unscrolled page.
    area->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    return area;
}

} // namespace

void setupForm1Ui(QWidget* form, Form1Ui& ui)
{
    auto* root = new QVBoxLayout(form);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(6);
    root->addLayout(buildLinkBar(form, ui));

    ui.tabs = new QTabWidget;
    ui.tabs->setObjectName(QStringLiteral("tabs"));
    ui.tabs->addTab(scrolled(buildSystemPage(ui)), QStringLiteral("系统参数"));
    ui.tabs->addTab(scrolled(buildAiPage(ui)), QStringLiteral("模拟量输入"));
    ui.tabs->addTab(scrolled(buildDioPage(ui)), QStringLiteral("数字量/输出/指示灯"));
    ui.tabs->addTab(scrolled(buildAqPage(ui)), QStringLiteral("AQ通道"));
    ui.tabs->addTab(scrolled(buildClockPage(ui)), QStringLiteral("时钟"));
    ui.tabs->addTab(scrolled(buildControlPage(ui)), QStringLiteral("设备控制"));
    ui.tabs->addTab(scrolled(buildFilesPage(ui)), QStringLiteral("文件与升级"));
    root->addWidget(ui.tabs, 1);

    root->addLayout(buildStatusArea(ui));
}
