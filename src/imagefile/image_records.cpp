#include "imagefile/image_records.h"

#include "base/ansi.h"

namespace imagefile {

namespace {

bool isSeparator(QChar c) { return c.unicode() == SEPARATOR || c.unicode() == SEPARATOR_C1; }

// A key is a control's name or a header word: no blanks.
bool isKey(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c.isSpace())
            return false;
    return true;
}

// The records of one line. Keys never hold "|", blanks or the separator; a
// value runs to the last "|" before the next key, which follows a "|" (and
// blanks) and ends at a separator. The last value of a line runs to the
// line's last "|".
void parseLine(const QString& line, QList<Record>& out, int& malformed)
{
    const int n = int(line.size());
    int at = 0;
    while (at < n) {
        int sep = at;
        while (sep < n && !isSeparator(line[sep]))
            ++sep;
        if (sep == n) {
            if (!line.mid(at).trimmed().isEmpty())
                ++malformed;
            return;
        }
        int valueEnd = -1, end = n;
        int bar = -1;
        for (int i = sep + 1; i < n; ++i) {
            if (line[i] == QLatin1Char('|')) {
                bar = i;
            } else if (isSeparator(line[i]) && bar >= 0 && isKey(line.mid(bar + 1, i - bar - 1).trimmed())) {
                valueEnd = bar;
                end = bar + 1;
                break;
            }
        }
        if (valueEnd < 0)
            valueEnd = bar >= 0 ? bar : n;
        const QString key = line.mid(at, sep - at).trimmed();
        if (key.isEmpty())
            ++malformed;
        else
            out.append({key, line.mid(sep + 1, valueEnd - sep - 1)});
        at = end;
    }
}

} // namespace

QList<Record> parseRecords(const QString& text, int* malformed)
{
    QList<Record> out;
    int bad = 0;
    const auto lines = QStringView(text).split(QLatin1Char('\n'));
    for (auto line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        parseLine(line.toString(), out, bad);
    }
    if (malformed)
        *malformed = bad;
    return out;
}

QList<Record> decodeFile(const QByteArray& bytes, int* malformed)
{
    return parseRecords(fromAnsi(bytes), malformed);
}

QByteArray encodeFile(const QList<Record>& records)
{
    QString text;
    for (const auto& r : records)
        text += r.key + QChar(SEPARATOR) + r.value + QStringLiteral("|\r\n");
    return toAnsi(text);
}

bool loadsBack(const Record& record)
{
    int bad = 0;
    return decodeFile(encodeFile({record}), &bad) == QList<Record>{record} && bad == 0;
}

} // namespace imagefile
