#pragma once

#include <QObject>
#include <QTimer>

namespace tessaro {

class IAlarmPlayer;

// The two timers of an alarm window. The flash timer ticks every 333 ms (the window blinks and comes back
// to the front); the sound repeats one second after each sound ends, the rhythm of the transceiver's
// alarm box, without ever blocking the event loop while a sound plays.
class AlarmBell final : public QObject {
    Q_OBJECT
public:
    explicit AlarmBell(QObject* parent = nullptr);

    // Not owned; null sounds nothing (the window still flashes).
    void setPlayer(IAlarmPlayer* player) { m_player = player; }
    IAlarmPlayer* player() const { return m_player; }

    // Sounds at once and starts both timers; while running, a second alarm only keeps it going.
    void start();
    // Stops the sound and both timers.
    void stop();
    bool running() const { return m_flash.isActive(); }
    // Sounds started (or due, when silent) since start().
    int soundsSoFar() const { return m_sounds; }
    const QTimer& flashTimer() const { return m_flash; }
    const QTimer& soundTimer() const { return m_sound; }

    // The timers' work, public so that tests drive time.
    void flashTick();
    void soundTick();

    static constexpr int kFlashMs = 333;
    static constexpr int kPauseMs = 1000;

Q_SIGNALS:
    void flashed();

private:
    QTimer m_flash;
    QTimer m_sound;
    IAlarmPlayer* m_player = nullptr;
    int m_sounds = 0;
};

} // namespace tessaro
