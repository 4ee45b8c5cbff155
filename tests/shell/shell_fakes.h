#pragma once

#include "shell/alarm_player.h"

#include <QString>
#include <QStringList>

#include <initializer_list>

namespace tessaro::test {

// Counts the sounds started and stopped instead of playing them.
struct FakeAlarmPlayer final : IAlarmPlayer {
    bool play() override {
        ++plays;
        return true;
    }
    void stop() override { ++stops; }
    int soundMs() const override { return 500; }
    QString description() const override { return QStringLiteral("Alarm sound: test player"); }
    int plays = 0;
    int stops = 0;
};

// Test texts are plain ASCII.
inline QStringList AsciiTexts(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* i : items)
        list << QString::fromLatin1(i);
    return list;
}

} // namespace tessaro::test
