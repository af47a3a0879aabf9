#pragma once
// Image records: the text form of the device image file, of the parameter
// texts from the production server and of the command line. A record is the
// key, the byte 0x80, the value, "|" and a line end; files are GBK text.
#include <QByteArray>
#include <QList>
#include <QString>

namespace imagefile {

struct Record {
    QString key;
    QString value;
    bool operator==(const Record&) const = default;
};

// The separator as text: GBK byte 0x80 decodes to U+20AC. U+0080, which a
// command line given in UTF-8 carries instead, is taken as the same.
inline constexpr char16_t SEPARATOR = u'\u20AC';
inline constexpr char16_t SEPARATOR_C1 = u'\u0080';

// Splits a text into records. Records may stand one per line or several on
// one line (a command line): each ends at the last "|" before the next key.
// Pieces without a separator or with an empty key are counted in `malformed`.
QList<Record> parseRecords(const QString& text, int* malformed = nullptr);

// File bytes (GBK) to records, and records to file bytes (CR LF line ends).
QList<Record> decodeFile(const QByteArray& bytes, int* malformed = nullptr);
QByteArray encodeFile(const QList<Record>& records);
// Whether a record written to a file loads back as the same record: false for
// a value with a character GBK does not have, a line break, or a "|" followed
// by what reads as the next record's key and separator.
bool loadsBack(const Record& record);

} // namespace imagefile
