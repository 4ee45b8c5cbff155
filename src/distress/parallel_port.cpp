#include "distress/parallel_port.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#if defined(__linux__)
#include <linux/parport.h>
#include <linux/ppdev.h>
#endif

namespace tessaro {

namespace {

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

bool PpdevParallelPort::open(const QString& device, QString* error) {
#if defined(__linux__)
    if (m_fd >= 0 && device == m_device)
        return true;
    close();
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = ErrnoText();
        return false;
    }
    if (::ioctl(fd, PPCLAIM) != 0) {
        if (error)
            *error = ErrnoText();
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_device = device;
    return true;
#else
    Q_UNUSED(device);
    if (error)
        *error = QStringLiteral("parallel port not supported on this system");
    return false;
#endif
}

bool PpdevParallelPort::writeData(quint8 value) {
#if defined(__linux__)
    if (m_fd < 0)
        return false;
    unsigned char data = value;
    return ::ioctl(m_fd, PPWDATA, &data) == 0;
#else
    Q_UNUSED(value);
    return false;
#endif
}

void PpdevParallelPort::close() {
#if defined(__linux__)
    if (m_fd < 0)
        return;
    ::ioctl(m_fd, PPRELEASE);
    ::close(m_fd);
    m_fd = -1;
#endif
}

} // namespace tessaro
