#pragma once
// Values typed into the page boxes (or brought by an image file) as the device
// takes them. A box whose text is no number where a number is asked, or a
// number outside its field, refuses the step: a message names the box by the
// caption the user sees, and the step ends (Abandoned) before anything of it
// is sent. A write's builder, the click that queues it and the image
// download's check go through the same conversion.
#include <QString>
#include <cstdint>

class Controls;
class QWidget;

// The caption a box is shown with: the label of its form row, or in a table
// its row's and its column's headers ("通道3 报警上限"); its name without one.
QString boxCaption(const QWidget* box);

// Names the box in the page's message and ends the step.
[[noreturn]] void refuseBox(const QWidget* box);
// The same for box `name`, element `index` of its array (-1: a single box).
[[noreturn]] void refuseBox(const Controls& c, const QString& name, int index = -1);

// The number a box holds, times `scale`, rounded to the nearest whole number
// (halves to even), when it lies in lo..hi; any other text refuses the step.
std::int64_t boxValue(const QWidget* box, std::int64_t lo, std::int64_t hi, double scale = 1.0);
std::int64_t boxValue(const Controls& c, const QString& name, int index, std::int64_t lo, std::int64_t hi,
                      double scale = 1.0);
