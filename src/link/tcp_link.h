#pragma once

#include "link/link.h"

#include <QTcpSocket>

namespace tessaro {

// The TCP transport to the transceiver's shell (port 23 unless the target names one).
class TcpLink final : public ILink {
    Q_OBJECT
public:
    explicit TcpLink(QObject* parent = nullptr);

    LinkKind kind() const override { return LinkKind::Tcp; }
    void setTarget(const QString& hostPort, const QString& settings = {}) override;
    QString target() const override { return m_target; }
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_socket.state() == QAbstractSocket::ConnectedState; }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    LinkEvent takeEvent() override;
    bool carrierHolding() const override { return isOpen(); }
    int errorNumber() const override { return m_errorNumber; }
    QString errorString() const override { return m_errorText; }

private:
    QTcpSocket m_socket;
    QString m_target;
    LinkEvent m_event = LinkEvent::None;
    int m_errorNumber = 0;
    QString m_errorText;
};

} // namespace tessaro
