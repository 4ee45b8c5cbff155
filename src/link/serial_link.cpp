#include "link/serial_link.h"

#include "link/link_settings.h"

namespace tessaro {

SerialLink::SerialLink(QObject* parent) : ILink(parent) {
    connect(&m_port, &QSerialPort::readyRead, this, &ILink::dataArrived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::onError);
}

void SerialLink::setTarget(const QString& device, const QString& settings) {
    m_device = device;
    m_settings = settings.isEmpty() ? QStringLiteral("115200,n,8,1") : settings;
}

bool SerialLink::open() {
    if (m_port.isOpen())
        m_port.close();
    const SerialSettings s = ParseSerialSettings(m_settings);
    m_port.setPortName(m_device);
    m_port.setBaudRate(s.ok ? s.baud : 115200);
    m_port.setParity(s.ok ? s.parity : QSerialPort::NoParity);
    m_port.setDataBits(s.ok ? s.dataBits : QSerialPort::Data8);
    m_port.setStopBits(s.ok ? s.stopBits : QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    m_lastPins = m_port.pinoutSignals();
    return true;
}

void SerialLink::close() {
    if (m_port.isOpen())
        m_port.close();
}

bool SerialLink::write(const QByteArray& bytes) {
    if (!m_port.isOpen())
        return false;
    // Handed to the port now, not at the next event-loop turn (see TcpLink::write).
    const bool whole = m_port.write(bytes) == bytes.size();
    m_port.flush();
    return whole;
}

QByteArray SerialLink::readAll() {
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}

void SerialLink::notePinChanges() {
    if (!m_port.isOpen())
        return;
    const QSerialPort::PinoutSignals pins = m_port.pinoutSignals();
    const auto changed = pins ^ m_lastPins;
    m_lastPins = pins;
    if (changed & QSerialPort::DataCarrierDetectSignal)
        m_event = LinkEvent::CarrierChange;
    else if (changed & QSerialPort::DataSetReadySignal)
        m_event = LinkEvent::DsrChange;
}

LinkEvent SerialLink::takeEvent() {
    if (m_event == LinkEvent::None)
        notePinChanges();
    const LinkEvent e = m_event;
    m_event = LinkEvent::None;
    return e;
}

bool SerialLink::carrierHolding() const {
    if (!m_port.isOpen())
        return false;
    return m_port.pinoutSignals().testFlag(QSerialPort::DataCarrierDetectSignal);
}

void SerialLink::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError)
        return;
    m_errorNumber = int(error);
    m_errorText = m_port.errorString();
    switch (error) {
    case QSerialPort::ResourceError:
        // The device vanished (USB adapter pulled): close it so the periodic reopen can find it again.
        m_event = LinkEvent::Lost;
        m_port.close();
        break;
    case QSerialPort::ReadError:
        m_event = LinkEvent::Overrun;
        break;
    default:
        return; // open and write failures are reported by their callers
    }
    Q_EMIT eventOccurred(m_event);
}

} // namespace tessaro
