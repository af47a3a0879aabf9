#pragma once
// ANSI text of the device is code page 936 (GBK) on every platform.
#include <QByteArray>
#include <QString>

QString fromAnsi(const QByteArray& bytes);
QByteArray toAnsi(const QString& text);
