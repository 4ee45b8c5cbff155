#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tessaro::sim {

// Collects what the shell prints for one command, as bytes, with the places where a real unit's output
// tends to arrive in separate pieces. Text is Latin-1, so every byte value survives.
class Reply final {
public:
    explicit Reply(QByteArray lineEnd) : m_lineEnd(std::move(lineEnd)) {}

    const QByteArray& lineEnd() const { return m_lineEnd; }

    // text followed by the shell's line end
    void line(const QString& text = {});
    void text(const QString& text);
    void raw(const QByteArray& bytes);
    // The output so far goes out as one piece; what follows starts a new one.
    void split();

    bool isEmpty() const;
    QList<QByteArray> chunks() const;
    QByteArray all() const;

private:
    QByteArray m_lineEnd;
    QList<QByteArray> m_chunks{QByteArray()};
};

} // namespace tessaro::sim
