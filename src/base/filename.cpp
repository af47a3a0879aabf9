#include "base/filename.h"

QString safeFileName(const QString& text, const QString& fallback)
{
    QString out;
    for (const QChar ch : text) {
        if (ch.isLetterOrNumber() || ch == u'-' || ch == u'_')
            out += ch;
        else if (ch == u'.' && !out.isEmpty() && !out.endsWith(u'.'))
            out += ch; // never a leading dot, never two in a row
    }
    while (out.endsWith(u'.'))
        out.chop(1);
    return out.isEmpty() ? fallback : out;
}
