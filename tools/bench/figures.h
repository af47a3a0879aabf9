#pragma once
// One figure of scripts/bench: what was measured, against its aim.
#include <QString>
#include <optional>

struct Figure {
    QString name;      // "idle polling: CPU"
    QString measured;  // "0.12 % of one core"
    QString aim;       // "<= 0.3 %"
    bool met = false;
};

// The firmware upload ratio (time on the wire against the image's size at the
// link speed). Nothing until the firmware upgrade measures it; it then returns
// its figure here and the table shows it.
std::optional<Figure> firmwareUploadFigure();

// 20,000 image records, built from the records of the window's own pages,
// loaded into a window in this process.
Figure recordsLoadFigure();
