#include "app/signal_watcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tessaro {

namespace {
int g_fds[2] = {-1, -1};

void onSignal(int number) {
    const char byte = char(number);
    [[maybe_unused]] const auto n = ::write(g_fds[0], &byte, 1);
}
} // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    if (g_fds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_fds) != 0)
        return;
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readSignal);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}

SignalWatcher::~SignalWatcher() {
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
}

void SignalWatcher::readSignal() {
    char byte = 0;
    if (::read(g_fds[1], &byte, 1) == 1)
        Q_EMIT terminationRequested(int(byte));
}

} // namespace tessaro
