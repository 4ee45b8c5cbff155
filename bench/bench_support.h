#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <functional>

namespace tessaro::bench {

// Runs the event loop until pred holds or ms pass (a benchmark program may wait; the program never does).
inline bool waitFor(const std::function<bool()>& pred, int ms) {
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (pred() || t.elapsed() > ms)
            loop.quit();
    });
    check.start(1);
    if (!pred())
        loop.exec();
    return pred();
}

} // namespace tessaro::bench
