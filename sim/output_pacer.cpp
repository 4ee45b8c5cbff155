#include "output_pacer.h"

namespace tessaro::sim {

namespace {
constexpr int kSliceMs = 20;
}

OutputPacer::OutputPacer(Sink sink, int baud, int chunkDelayMs, QObject* parent)
    : QObject(parent), m_sink(std::move(sink)), m_baud(baud), m_chunkDelayMs(chunkDelayMs) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_since.start();
    connect(&m_timer, &QTimer::timeout, this, &OutputPacer::writeNext);
}

void OutputPacer::push(const QByteArray& chunk) {
    if (chunk.isEmpty())
        return;
    m_queue.append(chunk);
    if (!m_timer.isActive() && m_queue.size() == 1)
        writeNext();
}

void OutputPacer::clear() {
    m_queue.clear();
    m_timer.stop();
}

void OutputPacer::writeNext() {
    if (m_queue.isEmpty()) {
        Q_EMIT drained();
        return;
    }
    if (m_baud <= 0) {
        m_sink(m_queue.takeFirst());
        // The pause runs even when nothing else is queued yet: a reply is pushed piece by piece, and the
        // next piece must still arrive separately, or the reader never sees a reply in several pieces.
        if (m_chunkDelayMs > 0)
            m_timer.start(m_chunkDelayMs);
        else if (m_queue.isEmpty())
            Q_EMIT drained();
        else
            m_timer.start(0);
        return;
    }
    // A slice of what the line carries in kSliceMs, then wait for the time it takes on the wire.
    const qsizetype perSlice = std::max<qsizetype>(1, static_cast<qsizetype>(m_baud) * kSliceMs / 10000);
    QByteArray& head = m_queue.first();
    const QByteArray slice = head.left(perSlice);
    head.remove(0, slice.size());
    const bool chunkDone = head.isEmpty();
    if (chunkDone)
        m_queue.removeFirst();
    m_sink(slice);
    // The line's own clock, so that the timer's lateness does not add up slice by slice.
    const qint64 nowNs = m_since.nsecsElapsed();
    m_lineFreeNs = std::max(m_lineFreeNs, nowNs) + slice.size() * 10'000'000'000LL / m_baud;
    const qint64 waitMs = (m_lineFreeNs - nowNs + 999'999) / 1'000'000;
    m_timer.start(int(waitMs) + (chunkDone && !m_queue.isEmpty() ? m_chunkDelayMs : 0));
}

} // namespace tessaro::sim
