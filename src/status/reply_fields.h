#pragma once

#include <QString>

namespace tessaro {

// Small readers shared by the status parsers. All of them are bounds-safe on any input.

// Position right after the first ":" that follows the first case-insensitive occurrence of label,
// or -1 when either is missing.
qsizetype ValueStartAfterLabel(const QString& reply, QLatin1StringView label, qsizetype from = 0);

// At most width characters from start, cut at the first CR or LF (a short value never takes the next
// line with it), then trimmed.
QString FixedField(const QString& reply, qsizetype start, qsizetype width);

// The text from start up to the next LF, with every CR removed and blanks trimmed.
QString LineField(const QString& reply, qsizetype start);

// Index of the first CR or LF at or after from, or the text's size.
qsizetype LineEndFrom(const QString& text, qsizetype from);

// Val() of the text kept within [lo, hi]: a lenient number that fits the field it goes into.
int BoundedVal(QStringView text, int lo, int hi);

// Removes the STX/ETX framing characters (0x02, 0x03) some replies carry.
QString WithoutFraming(QString text);

} // namespace tessaro
