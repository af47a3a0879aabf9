#pragma once
#include <QString>

// A name that is safe as one file name in the current directory, made from a
// text that came from a device: only letters, digits, '-', '_' and single dots
// are kept (no path separators, "..", control characters or NUL), and an
// empty result becomes `fallback`.
QString safeFileName(const QString& text, const QString& fallback);
