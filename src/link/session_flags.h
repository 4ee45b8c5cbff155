#pragma once

#include <QObject>
#include <QString>

namespace tessaro {

// The part of the session state that the link and the command engine read or write. The status
// subsystem's CSession derives from it, so the link never depends on status. Every value changes through
// a setter that notifies on a real change.
class SessionFlags : public QObject {
    Q_OBJECT
public:
    explicit SessionFlags(QObject* parent = nullptr) : QObject(parent) {}

    // Link fields, owned by the LAN connect sequence and the prompt test; Reset leaves them alone.
    bool LanLinkUp() const { return m_lanLinkUp; } // the shell over TCP is usable
    void SetLanLinkUp(bool value);
    bool TcpConnected() const { return m_tcpConnected; } // the socket is connected
    void SetTcpConnected(bool value);
    bool PromptSeen() const { return m_promptSeen; } // a prompt was recognised since the indicator looked
    void SetPromptSeen(bool value) { m_promptSeen = value; }

    // Session values: every completed reply proves the transceiver is there.
    bool MesConnected() const { return m_mesConnected; }
    void SetMesConnected(bool value);
    bool ProcessingEgcs() const { return m_processingEgcs; } // an EGC download cycle runs
    void SetProcessingEgcs(bool value);
    bool ProcessingMsgs() const { return m_processingMsgs; } // a message download cycle runs
    void SetProcessingMsgs(bool value);

    // Capabilities and state words that decide the poll burst.
    qint16 SolasType() const { return m_solasType; }
    qint16 ProductModel() const { return m_productModel; }
    const QString& CurrentProtocol() const { return m_currentProtocol; }
    void SetCurrentProtocol(const QString& value);
    const QString& CurrentChannel() const { return m_currentChannel; }
    void SetCurrentChannel(const QString& value);

    // The identity values that decide the poll burst (the status subsystem learns them).
    void SetCapabilities(qint16 solasType, qint16 productModel) {
        m_solasType = solasType;
        m_productModel = productModel;
    }

    // Returns the session values to their start values (run when the link is lost), with their change
    // signals. A derived class resets its own values and calls this.
    virtual void Reset();

Q_SIGNALS:
    void lanLinkUpChanged(bool up);
    void tcpConnectedChanged(bool connected);
    void mesConnectedChanged(bool connected);
    void processingChanged(); // a download cycle started or ended
    void currentProtocolChanged(const QString& protocol);
    void currentChannelChanged(const QString& channel);
    // Any session value changed (a view that shows many values refreshes on this).
    void changed();

private:
    bool m_lanLinkUp = false;
    bool m_tcpConnected = false;
    bool m_promptSeen = false;
    bool m_mesConnected = false;
    bool m_processingEgcs = false;
    bool m_processingMsgs = false;
    qint16 m_solasType = 0;
    qint16 m_productModel = 0;
    QString m_currentProtocol;
    QString m_currentChannel;
};

} // namespace tessaro
