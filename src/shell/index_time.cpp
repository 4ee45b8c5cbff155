#include "shell/index_time.h"

#include <QDate>

#include <array>

namespace tessaro {

namespace {

// A cursor over the value's characters; a hand-written reader, because 100,000 lines are read on every sort.
class Reader {
public:
    explicit Reader(QStringView text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    void skipBlanks() {
        while (!atEnd() && m_text[m_pos] == u' ')
            ++m_pos;
    }
    bool take(QChar c) {
        if (atEnd() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    // 1..maxDigits digits; -1 when none.
    int number(int maxDigits, int* digits = nullptr) {
        int value = 0;
        int count = 0;
        while (!atEnd() && count < maxDigits && m_text[m_pos] >= u'0' && m_text[m_pos] <= u'9') {
            value = value * 10 + (m_text[m_pos].unicode() - u'0');
            ++m_pos;
            ++count;
        }
        if (digits)
            *digits = count;
        return count == 0 ? -1 : value;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

} // namespace

qint64 IndexTime::key() const {
    return ((((qint64(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 + second;
}

std::optional<IndexTime> ParseIndexTime(QStringView text) {
    Reader r(text);
    IndexTime t;
    int yearDigits = 0;
    r.skipBlanks();
    t.year = r.number(4, &yearDigits);
    if (yearDigits == 2)
        t.year += t.year < 70 ? 2000 : 1900;
    else if (yearDigits != 4)
        return std::nullopt;
    if (!r.take(u'-') || (t.month = r.number(2)) < 0 || !r.take(u'-') || (t.day = r.number(2)) < 0)
        return std::nullopt;
    if (!r.take(u' '))
        return std::nullopt;
    r.skipBlanks();
    int minuteDigits = 0;
    if ((t.hour = r.number(2)) < 0 || !r.take(u':') || (t.minute = r.number(2, &minuteDigits)) < 0 || minuteDigits != 2)
        return std::nullopt;
    if (r.take(u':')) {
        int secondDigits = 0;
        if ((t.second = r.number(2, &secondDigits)) < 0 || secondDigits != 2)
            return std::nullopt;
    }
    r.skipBlanks();
    if (!r.atEnd() || !QDate::isValid(t.year, t.month, t.day) || t.hour > 23 || t.minute > 59 || t.second > 59)
        return std::nullopt;
    return t;
}

std::optional<IndexTime> ParseIndexTime(QStringView first, QChar joint, QStringView second) {
    // Both parts together are short; longer ones are no date of ours.
    std::array<QChar, 48> buffer;
    if (first.size() + 1 + second.size() > qsizetype(buffer.size()))
        return std::nullopt;
    qsizetype n = 0;
    for (QChar c : first)
        buffer[size_t(n++)] = c;
    buffer[size_t(n++)] = joint;
    for (QChar c : second)
        buffer[size_t(n++)] = c;
    return ParseIndexTime(QStringView(buffer.data(), n));
}

QString IndexTimeText(const IndexTime& t) {
    const auto two = [](int v) { return QString::number(v).rightJustified(2, u'0'); };
    return QString::number(t.year).rightJustified(4, u'0') + u'-' + two(t.month) + u'-' + two(t.day) + u' ' +
           two(t.hour) + u':' + two(t.minute);
}

} // namespace tessaro
