#pragma once
// ANSI text of the device is code page 936 (GBK) on every platform.
#include <QByteArray>
#include <QString>

#include <optional>

QString fromAnsi(const QByteArray& bytes);
// A character the code page lacks comes out as "?".
QByteArray toAnsi(const QString& text);
// The text's bytes, or nothing when the code page lacks one of its characters.
std::optional<QByteArray> toAnsiExact(const QString& text);
