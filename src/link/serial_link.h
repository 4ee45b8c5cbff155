#pragma once

#include "link/link.h"

#include <QSerialPort>

namespace tessaro {

// The serial transport. Opening never raises: a bad device leaves the port closed. Qt reports no
// framing or parity errors, so the events seen here are read errors, line changes and a lost device.
class SerialLink final : public ILink {
    Q_OBJECT
public:
    explicit SerialLink(QObject* parent = nullptr);

    LinkKind kind() const override { return LinkKind::Serial; }
    void setTarget(const QString& device, const QString& settings = {}) override;
    QString target() const override { return m_device; }
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    LinkEvent takeEvent() override;
    bool carrierHolding() const override;
    int errorNumber() const override { return m_errorNumber; }
    QString errorString() const override { return m_errorText; }

private:
    void onError(QSerialPort::SerialPortError error);
    void notePinChanges();

    mutable QSerialPort m_port; // reading the line state is not const in Qt
    QString m_device;
    QString m_settings;
    LinkEvent m_event = LinkEvent::None;
    QSerialPort::PinoutSignals m_lastPins;
    int m_errorNumber = 0;
    QString m_errorText;
};

} // namespace tessaro
