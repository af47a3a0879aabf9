#pragma once
// The named colours of the pages, and painting a control's background.
#include <QColor>
#include <QWidget>

namespace colors {
inline const QColor ON{0, 255, 0};          // on, lit, pass
inline const QColor ALARM{255, 0, 0};       // fail, alarm, a device status flag set
inline const QColor DQ_OFF{212, 208, 200};  // AQ-to-DQ button off
inline const QColor EDITING{173, 216, 230}; // the zero/full cell being edited (light blue)
inline const QColor WHITE{255, 255, 255};

// Background of a button, lamp or box.
void paint(QWidget* w, const QColor& c);
// Back to the style's button face.
void paintFace(QWidget* w);
// The background a control shows now.
QColor background(const QWidget* w);
bool isFace(const QWidget* w);
} // namespace colors
