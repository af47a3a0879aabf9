#include "base/ansi.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString fromAnsi(const QByteArray& bytes)
{
    QStringDecoder dec("GBK");
    if (!dec.isValid())
        return QString::fromLatin1(bytes);
    return dec.decode(bytes);
}

QByteArray toAnsi(const QString& text)
{
    QStringEncoder enc("GBK");
    if (!enc.isValid())
        return text.toLatin1();
    return enc.encode(text);
}

std::optional<QByteArray> toAnsiExact(const QString& text)
{
    QStringEncoder enc("GBK");
    if (!enc.isValid()) {
        for (const QChar c : text)
            if (c.unicode() > 0x7F)
                return std::nullopt;
        return text.toLatin1();
    }
    QByteArray bytes = enc.encode(text);
    if (enc.hasError())
        return std::nullopt;
    return bytes;
}
