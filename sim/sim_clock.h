#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>

namespace tessaro::sim {

// Simulated time of the virtual transceiver. Everything that takes "a few seconds" on a real unit (login,
// transmission, upload time-out, stalls) is scheduled here, so tests step time instead of sleeping and the
// program runs it from a QTimer at real speed.
class SimClock final : public QObject {
    Q_OBJECT
public:
    explicit SimClock(QObject* parent = nullptr);

    qint64 nowMs() const { return m_nowMs; }
    // The unit's wall clock (UTC): the start time plus the simulated time that has passed.
    QDateTime utc() const { return m_base.addMSecs(m_nowMs); }
    void setUtc(const QDateTime& utc);

    // Runs fn once the simulated time has advanced by delayMs; returns an id for cancel().
    int callAfter(qint64 delayMs, std::function<void()> fn);
    void cancel(int id);
    bool isPending(int id) const;

    // Moves simulated time forward, running every due call in time order (calls may schedule more).
    void advance(qint64 ms);

    // Follow the real clock: a QTimer advances simulated time by the real time that has passed.
    void startRealTime(int tickMs = 20);
    void stopRealTime();

private:
    struct Call {
        qint64 due;
        std::function<void()> fn;
    };

    void onTick();

    qint64 m_nowMs = 0;
    QDateTime m_base;
    int m_nextId = 1;
    // Ordered by (due time, id) so equal times run in scheduling order.
    std::map<std::pair<qint64, int>, std::function<void()>> m_calls;
    std::map<int, qint64> m_dueById;
    QTimer m_timer;
    QElapsedTimer m_real;
    qint64 m_realSeen = 0;
};

} // namespace tessaro::sim
