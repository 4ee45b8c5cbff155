#include "shell/alarm_bell.h"

#include "shell/alarm_player.h"

namespace tessaro {

AlarmBell::AlarmBell(QObject* parent) : QObject(parent) {
    m_flash.setInterval(kFlashMs);
    m_sound.setSingleShot(true);
    connect(&m_flash, &QTimer::timeout, this, &AlarmBell::flashTick);
    connect(&m_sound, &QTimer::timeout, this, &AlarmBell::soundTick);
}

void AlarmBell::start() {
    if (running())
        return;
    m_sounds = 0;
    m_flash.start();
    soundTick();
}

void AlarmBell::stop() {
    m_flash.stop();
    m_sound.stop();
    if (m_player)
        m_player->stop();
}

void AlarmBell::flashTick() {
    Q_EMIT flashed();
}

void AlarmBell::soundTick() {
    if (!running())
        return;
    ++m_sounds;
    int length = 0;
    if (m_player && m_player->play())
        length = std::max(0, m_player->soundMs());
    m_sound.start(length + kPauseMs);
}

} // namespace tessaro
