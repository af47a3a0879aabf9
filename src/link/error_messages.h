#pragma once
// Messages shown when the serial port or a socket cannot be used.
#include <QString>

// Numbers not in the table give the description unchanged.
QString CommErrorMessage(int number, const QString& description);
QString WinsockErrorMessage(int number, const QString& description);
