#pragma once

#include <QString>

namespace tessaro {

// The data register of a parallel port, which drives the In Harbour push button's lamp line.
class IParallelPort {
public:
    virtual ~IParallelPort() = default;
    // Opens and claims the port; on failure false with a reason in *error.
    virtual bool open(const QString& device, QString* error) = 0;
    virtual bool writeData(quint8 value) = 0;
    // Gives the port back; harmless when it is not open.
    virtual void close() = 0;
};

// Linux: the ppdev character device ("/dev/parport0"), claimed for as long as it is open.
class PpdevParallelPort final : public IParallelPort {
public:
    ~PpdevParallelPort() override { close(); }
    bool open(const QString& device, QString* error) override;
    bool writeData(quint8 value) override;
    void close() override;

private:
    int m_fd = -1;
    QString m_device;
};

} // namespace tessaro
