#include "messaging/submission_order.h"

#include <QSet>

namespace tessaro {

namespace {
// Entries kept at most: one more than the transceiver has names, so no number can stand for two of them.
constexpr qsizetype kKept = SubmissionOrder::kNames - 1;
const QString kLastTag = QStringLiteral("=last");

QString outName(int n) {
    return n == 0 ? QStringLiteral("-") : QStringLiteral("OUT.%1").arg(n, 3, 10, QLatin1Char('0'));
}
} // namespace

int SubmissionOrder::next(int n) {
    return n <= 0 ? 0 : n % kNames + 1;
}

int SubmissionOrder::outNumber(const QString& name) {
    if (name.size() != 7 || !name.startsWith(QLatin1String("OUT.")))
        return 0;
    bool ok = false;
    const int n = name.mid(4).toInt(&ok);
    return ok && n >= 1 && n <= kNames ? n : 0;
}

void SubmissionOrder::written(const QString& txName) {
    m_last = next(m_last);
    m_entries.append({txName, 0});
    expect(m_entries.size() - 1, m_last);
    if (m_entries.size() > kKept)
        m_entries.remove(0, m_entries.size() - kKept);
}

void SubmissionOrder::refused(const QString& txName) {
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        if (m_entries[i].txName != txName)
            continue;
        // Refused right after it was written, so it is normally the last one: the next "tx" takes its name.
        if (i == m_entries.size() - 1 && m_entries[i].expected != 0 && m_entries[i].expected == m_last)
            m_last = (m_last + kNames - 2) % kNames + 1;
        m_entries.remove(i);
        return;
    }
}

QString SubmissionOrder::holderOf(int n) const {
    if (n == 0)
        return {};
    for (const Entry& e : m_entries)
        if (e.expected == n)
            return e.txName;
    return {};
}

void SubmissionOrder::settled(const QString& txName, int n) {
    if (n == 0)
        return;
    qsizetype at = -1;
    for (qsizetype i = 0; i < m_entries.size() && at < 0; ++i)
        if (m_entries[i].txName == txName && m_entries[i].expected == n)
            at = i;
    for (qsizetype i = 0; i < m_entries.size() && at < 0; ++i)
        if (m_entries[i].txName == txName)
            at = i;
    if (at < 0) {
        // A submission written before anything was noted here: the numbering starts from its report.
        if (m_entries.isEmpty() && m_last == 0)
            m_last = n;
        return;
    }
    if (m_entries[at].expected != n) {
        int e = n;
        for (qsizetype j = at + 1; j < m_entries.size(); ++j) {
            e = next(e);
            expect(j, e);
        }
        m_last = e;
    }
    m_entries.remove(at);
}

void SubmissionOrder::keepOnly(const QStringList& waiting) {
    const QSet<QString> names(waiting.begin(), waiting.end());
    m_entries.removeIf([&names](const Entry& e) { return !names.contains(e.txName); });
}

void SubmissionOrder::expect(qsizetype at, int n) {
    // An older entry with the same number is from a transmission 999 names ago that never reported.
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        if (i != at && m_entries[i].expected == n)
            m_entries[i].expected = 0;
    m_entries[at].expected = n;
}

QStringList SubmissionOrder::toLines() const {
    QStringList lines;
    for (const Entry& e : m_entries)
        lines << e.txName + QLatin1Char(' ') + outName(e.expected);
    if (m_last != 0)
        lines << kLastTag + QLatin1Char(' ') + outName(m_last);
    return lines;
}

bool SubmissionOrder::readLine(const QString& line) {
    const QStringList words = line.simplified().split(QLatin1Char(' '));
    if (words.size() != 2)
        return false;
    const int n = outNumber(words[1]);
    if (words[0] == kLastTag) {
        m_last = n;
        return true;
    }
    if (n == 0 && words[1] != QLatin1String("-"))
        return false;
    m_entries.append({words[0], 0});
    if (n != 0)
        expect(m_entries.size() - 1, n);
    return true;
}

} // namespace tessaro
