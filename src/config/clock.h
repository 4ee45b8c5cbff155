#pragma once

#include <QDateTime>
#include <QElapsedTimer>

namespace tessaro {

// Every reading of time goes through this, so tests can drive time-outs and dates without sleeping.
class IClock {
public:
    virtual ~IClock() = default;
    virtual QDateTime nowUtc() const = 0;
    virtual QDateTime nowLocal() const = 0;
    // Milliseconds on a monotonic clock: never jumps with the wall clock, never wraps at midnight.
    virtual qint64 monotonicMs() const = 0;
};

class SystemClock final : public IClock {
public:
    SystemClock() { m_elapsed.start(); }
    QDateTime nowUtc() const override { return QDateTime::currentDateTimeUtc(); }
    QDateTime nowLocal() const override { return QDateTime::currentDateTime(); }
    qint64 monotonicMs() const override { return m_elapsed.elapsed(); }

private:
    QElapsedTimer m_elapsed;
};

// A clock that moves only when told to; local time equals UTC plus a fixed offset.
class ManualClock final : public IClock {
public:
    explicit ManualClock(QDateTime utc = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC), int localOffsetSeconds = 0)
        : m_utc(std::move(utc)), m_offset(localOffsetSeconds) {}
    QDateTime nowUtc() const override { return m_utc; }
    QDateTime nowLocal() const override {
        QDateTime local = m_utc.addSecs(m_offset);
        return QDateTime(local.date(), local.time());
    }
    qint64 monotonicMs() const override { return m_monotonic; }

    void advanceMs(qint64 ms) {
        m_monotonic += ms;
        m_utc = m_utc.addMSecs(ms);
    }
    void setUtc(const QDateTime& utc) { m_utc = utc; }

private:
    QDateTime m_utc;
    int m_offset;
    qint64 m_monotonic = 0;
};

} // namespace tessaro
