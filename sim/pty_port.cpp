#include "pty_port.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace tessaro::sim {

PtyPort::PtyPort(QObject* parent) : QObject(parent) {}

PtyPort::~PtyPort() {
    m_readNotifier.reset();
    m_writeNotifier.reset();
    if (m_master >= 0)
        ::close(m_master);
    if (m_slaveKeepAlive >= 0)
        ::close(m_slaveKeepAlive);
}

bool PtyPort::open(QString* error) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        if (error)
            *error =
                QStringLiteral("cannot create a pseudo-terminal: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const char* name = ::ptsname(m_master);
    m_slavePath = QString::fromLocal8Bit(name ? name : "");
    // Holding the slave open keeps the master readable while the PC closes and reopens its port; raw mode so
    // that bytes pass unchanged, like a serial line.
    m_slaveKeepAlive = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slaveKeepAlive >= 0) {
        termios tio{};
        if (::tcgetattr(m_slaveKeepAlive, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(m_slaveKeepAlive, TCSANOW, &tio);
        }
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_readNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &PtyPort::onReadable);
    m_writeNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &PtyPort::onWritable);
    return true;
}

void PtyPort::onReadable() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            Q_EMIT received(QByteArray(buffer, static_cast<qsizetype>(n)));
            continue;
        }
        break;
    }
}

void PtyPort::write(const QByteArray& bytes) {
    m_pending += bytes;
    flush();
}

void PtyPort::onWritable() {
    flush();
}

void PtyPort::flush() {
    while (!m_pending.isEmpty() && m_master >= 0) {
        const ssize_t n = ::write(m_master, m_pending.constData(), static_cast<size_t>(m_pending.size()));
        if (n <= 0)
            break;
        m_pending.remove(0, n);
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

} // namespace tessaro::sim
