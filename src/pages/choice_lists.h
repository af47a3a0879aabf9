#pragma once
// The fixed choice lists of the main window. The position of an entry is the
// code the device uses for that setting.
#include <QStringList>

namespace choices {
QStringList cold();          // ComboCold
QStringList sensorTypes();   // ChnlSensor, 24 entries, position = sensor-type code
QStringList adRate();        // ComboADRate, without filter
QStringList adRateFiltered();// ComboADRate1, with filter
QStringList weekDays();      // Combo_WeekDay, Monday first
QStringList adFilter();      // ComboADFilter
QStringList masterSlave();   // ComboMS
QStringList parity();        // Combo6
QStringList dataBits();      // Combo7
QStringList stopBits();      // Combo8
QStringList baudRates();     // Combo9
QStringList protocols();     // Combo10
} // namespace choices
