#pragma once

#include <QObject>

class QSocketNotifier;

namespace tessaro {

// Turns SIGINT and SIGTERM into a Qt signal on the event loop (a signal handler may only write to a pipe).
class SignalWatcher final : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tessaro
