#include "reply.h"

namespace tessaro::sim {

void Reply::line(const QString& text) {
    m_chunks.last() += text.toLatin1();
    m_chunks.last() += m_lineEnd;
}

void Reply::text(const QString& text) {
    m_chunks.last() += text.toLatin1();
}

void Reply::raw(const QByteArray& bytes) {
    m_chunks.last() += bytes;
}

void Reply::split() {
    if (!m_chunks.last().isEmpty())
        m_chunks.append(QByteArray());
}

bool Reply::isEmpty() const {
    for (const QByteArray& c : m_chunks) {
        if (!c.isEmpty())
            return false;
    }
    return true;
}

QList<QByteArray> Reply::chunks() const {
    QList<QByteArray> out;
    for (const QByteArray& c : m_chunks) {
        if (!c.isEmpty())
            out.append(c);
    }
    return out;
}

QByteArray Reply::all() const {
    QByteArray out;
    for (const QByteArray& c : m_chunks)
        out += c;
    return out;
}

} // namespace tessaro::sim
