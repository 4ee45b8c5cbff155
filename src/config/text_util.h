#pragma once

#include <QString>
#include <QStringList>

namespace tessaro {

// Lenient number reading as the transceiver's replies need it: leading blanks are skipped, an optional sign
// and the leading digits count, anything unreadable is 0. Never throws, never overflows (saturates).
qint64 Val(QStringView text);

// True when the text, after trimming blanks, is a (possibly signed, possibly decimal) number.
bool IsNumeric(QStringView text);
// True when the text is one or more of the digits 0-9 and nothing else (no sign, point or blank).
bool IsAllDigits(QStringView text);

// Replaces "%0", "%1", ... by the values in one left-to-right pass: the longest run of digits that names a
// given value wins ("%10" is value 10 when there are eleven values, else value 1 and "0"). Inserted values
// are never scanned again, so a value may itself contain "%0". A "%" that names no value stays as it is.
QString FormatText(const QString& templ, const QStringList& values);

// Text of a file that should be UTF-8 (Tessaro.ini, DataPath.txt): UTF-8 when the bytes are valid UTF-8
// (a leading byte-order mark is dropped), else Latin-1, so files written by other programs still load.
QString TextFromFile(const QByteArray& bytes);

// Every LF becomes CR LF, then every run of CRs becomes one CR: shell output as the operator sees it.
QString NormaliseLineEnds(const QString& text);

// Removes STX and ETX and turns CR LF, CR and LF each into one blank: shell output on one line.
QString FlattenText(const QString& text);

// Drops CR and LF characters at both ends; used where a value is cut up to a line end.
QString StripLineEnds(const QString& text);

// Safe substring by 0-based position: never reads outside the text.
inline QString SafeMid(const QString& text, qsizetype pos, qsizetype len = -1) {
    if (pos < 0 || pos >= text.size())
        return {};
    return text.mid(pos, len);
}

} // namespace tessaro
