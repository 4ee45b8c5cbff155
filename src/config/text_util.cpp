#include "config/text_util.h"

#include <algorithm>

#include <QStringDecoder>

#include <limits>

namespace tessaro {

qint64 Val(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    constexpr qint64 limit = std::numeric_limits<qint64>::max() / 10 - 1;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value > limit)
            return negative ? std::numeric_limits<qint64>::min() + 1 : std::numeric_limits<qint64>::max();
        value = value * 10 + (text[i].unicode() - u'0');
    }
    return negative ? -value : value;
}

bool IsNumeric(QStringView text) {
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return false;
    qsizetype i = 0;
    if (t[0] == u'-' || t[0] == u'+')
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= u'0' && t[i] <= u'9')
            digits = true;
        else if (t[i] == u'.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

QString FormatText(const QString& templ, const QStringList& values) {
    QString out;
    out.reserve(templ.size());
    const qsizetype n = templ.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = templ[i];
        qsizetype digits = 0; // nine at most: no list of values is longer, and the number cannot overflow
        if (c == u'%')
            while (i + 1 + digits < n && templ[i + 1 + digits] >= u'0' && templ[i + 1 + digits] <= u'9' && digits < 9)
                ++digits;
        // Longest prefix of the digit run that is the index of a value; "01" names no value (no leading zeros).
        qsizetype used = 0;
        qsizetype index = -1;
        for (qsizetype len = digits; len > 0 && index < 0; --len) {
            const QStringView number = QStringView(templ).sliced(i + 1, len);
            if (len > 1 && number[0] == u'0')
                continue;
            const qsizetype value = number.toLongLong();
            if (value < values.size()) {
                index = value;
                used = len;
            }
        }
        if (index >= 0) {
            out += values[index];
            i += 1 + used;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString TextFromFile(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString NormaliseLineEnds(const QString& text) {
    QString out = text;
    out.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    // One pass would turn the shell's CR CR LF into CR CR CR LF and leave CR CR LF behind; repeat until
    // every run of CRs is one CR, so each shell line end shows as exactly one CR LF.
    while (out.contains(QLatin1String("\r\r")))
        out.replace(QLatin1String("\r\r"), QLatin1String("\r"));
    return out;
}

QString FlattenText(const QString& text) {
    QString out = text;
    out.remove(QChar(0x02));
    out.remove(QChar(0x03));
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

QString StripLineEnds(const QString& text) {
    qsizetype b = 0;
    qsizetype e = text.size();
    auto isEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    while (b < e && isEnd(text[b]))
        ++b;
    while (e > b && isEnd(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

bool IsAllDigits(QStringView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace tessaro
