#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

namespace tessaro::sim {

// Writes a session's output to its line: each piece after a short pause, and at the speed of a serial line when
// a baud rate is set (10 bits a byte). Real time on purpose: this is what the PC's completion detection sees.
class OutputPacer final : public QObject {
    Q_OBJECT
public:
    using Sink = std::function<void(const QByteArray&)>;
    OutputPacer(Sink sink, int baud, int chunkDelayMs, QObject* parent = nullptr);

    void push(const QByteArray& chunk);
    bool isIdle() const { return m_queue.isEmpty() && !m_timer.isActive(); }
    void clear();
    void setBaud(int baud) { m_baud = baud; }

Q_SIGNALS:
    void drained();

private:
    void writeNext();

    Sink m_sink;
    int m_baud;
    int m_chunkDelayMs;
    QList<QByteArray> m_queue;
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_lineFreeNs = 0; // when the line has carried everything written so far
};

} // namespace tessaro::sim
