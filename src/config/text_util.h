#pragma once

#include <QString>
#include <QStringList>

namespace tessaro {

// Lenient number reading as the transceiver's replies need it: leading blanks are skipped, an optional sign
// and the leading digits count, anything unreadable is 0. Never throws, never overflows (saturates).
qint64 Val(QStringView text);

// True when the text, after trimming blanks, is a (possibly signed, possibly decimal) number.
bool IsNumeric(QStringView text);

// Replaces "%0", "%1", ... by the values in order. "%10" is tried before "%1" so that long lists work.
QString FormatText(const QString& templ, const QStringList& values);

// Every LF becomes CR LF, then every run of CRs becomes one CR: shell output as the operator sees it.
QString NormaliseLineEnds(const QString& text);

// Removes STX and ETX and turns CR LF, CR and LF each into one blank: shell output on one line.
QString FlattenText(const QString& text);

// Drops CR and LF characters at both ends; used where a value is cut up to a line end.
QString StripLineEnds(const QString& text);

// Safe substring by 0-based position: never reads outside the text.
inline QString SafeMid(const QString& text, qsizetype pos, qsizetype len = -1)
{
    if (pos < 0 || pos >= text.size())
        return {};
    return text.mid(pos, len);
}

} // namespace tessaro
