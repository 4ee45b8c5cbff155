#include "config/text_util.h"

#include <limits>

namespace tessaro {

qint64 Val(QStringView text)
{
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

bool IsNumeric(QStringView text)
{
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

QString FormatText(const QString& templ, const QStringList& values)
{
    QString out = templ;
    // Highest index first, so "%1" does not eat the front of "%10".
    for (qsizetype i = values.size() - 1; i >= 0; --i)
        out.replace(QLatin1Char('%') + QString::number(i), values[i]);
    return out;
}

QString NormaliseLineEnds(const QString& text)
{
    QString out = text;
    out.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    // One pass would turn the shell's CR CR LF into CR CR CR LF and leave CR CR LF behind; repeat until
    // every run of CRs is one CR, so each shell line end shows as exactly one CR LF.
    while (out.contains(QLatin1String("\r\r")))
        out.replace(QLatin1String("\r\r"), QLatin1String("\r"));
    return out;
}

QString FlattenText(const QString& text)
{
    QString out = text;
    out.remove(QChar(0x02));
    out.remove(QChar(0x03));
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

QString StripLineEnds(const QString& text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    auto isEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    while (b < e && isEnd(text[b]))
        ++b;
    while (e > b && isEnd(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

} // namespace tessaro
