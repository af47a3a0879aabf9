#pragma once
// Reply effects that are the same on both links.
#include <QString>

class Controls;
struct DeviceData;

// bt_RunStop toggles between the button face and green on every run/stop reply.
void toggleRunStop(const Controls& c);
// The AQ-to-DQ buttons coloured by the states last sent.
void colourAqToDq(const Controls& c, const DeviceData& dev);
// The eight internal-calibration values shown as decimal text.
void showInnerCal(const Controls& c, const qint16 (&v)[8]);
// The eight internal-calibration boxes as the values to send (low 16 bits).
void readInnerCalBoxes(const Controls& c, qint16 (&v)[8]);
