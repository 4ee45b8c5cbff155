#include "sim_clock.h"

namespace tessaro::sim {

SimClock::SimClock(QObject* parent) : QObject(parent), m_base(QDateTime::currentDateTimeUtc()) {
    m_base.setTime(QTime(m_base.time().hour(), m_base.time().minute(), m_base.time().second()));
    connect(&m_timer, &QTimer::timeout, this, &SimClock::onTick);
}

void SimClock::setUtc(const QDateTime& utc) {
    m_base = utc.toUTC().addMSecs(-m_nowMs);
}

int SimClock::callAfter(qint64 delayMs, std::function<void()> fn) {
    const int id = m_nextId++;
    const qint64 due = m_nowMs + std::max<qint64>(0, delayMs);
    m_calls.emplace(std::make_pair(due, id), std::move(fn));
    m_dueById.emplace(id, due);
    return id;
}

void SimClock::cancel(int id) {
    auto it = m_dueById.find(id);
    if (it == m_dueById.end())
        return;
    m_calls.erase(std::make_pair(it->second, id));
    m_dueById.erase(it);
}

bool SimClock::isPending(int id) const {
    return m_dueById.count(id) != 0;
}

void SimClock::advance(qint64 ms) {
    const qint64 target = m_nowMs + std::max<qint64>(0, ms);
    while (!m_calls.empty() && m_calls.begin()->first.first <= target) {
        auto it = m_calls.begin();
        m_nowMs = std::max(m_nowMs, it->first.first);
        auto fn = std::move(it->second);
        m_dueById.erase(it->first.second);
        m_calls.erase(it);
        fn();
    }
    m_nowMs = target;
}

void SimClock::startRealTime(int tickMs) {
    m_real.start();
    m_realSeen = 0;
    m_timer.start(tickMs);
}

void SimClock::stopRealTime() {
    m_timer.stop();
}

void SimClock::onTick() {
    const qint64 real = m_real.elapsed();
    const qint64 step = real - m_realSeen;
    m_realSeen = real;
    advance(step);
}

} // namespace tessaro::sim
