#pragma once

#include <QString>

namespace tessaro {

// The part of the session state that the link and the command engine read or write. The status
// subsystem's CSession derives from it, so the link never depends on status.
struct SessionFlags {
    virtual ~SessionFlags() = default;

    // Link fields, owned by the LAN connect sequence and the prompt test; Reset leaves them alone.
    bool LanLinkUp = false;    // the shell over TCP is usable
    bool TcpConnected = false; // the socket is connected
    bool PromptSeen = false;   // a shell prompt was recognised since the indicator last looked

    // Session values: every completed reply proves the transceiver is there.
    bool MesConnected = false;
    bool ProcessingEgcs = false; // an EGC download cycle runs
    bool ProcessingMsgs = false; // a message download cycle runs

    // Capabilities and state words that decide the poll burst.
    qint16 SolasType = 0;
    qint16 ProductModel = 0;
    QString CurrentProtocol;
    QString CurrentChannel;

    // Returns the session values to their start values (run when the link is lost). A derived class
    // resets its own values and calls this.
    virtual void Reset() {
        MesConnected = false;
        ProcessingEgcs = false;
        ProcessingMsgs = false;
        SolasType = 0;
        ProductModel = 0;
        CurrentProtocol.clear();
        CurrentChannel.clear();
    }
};

} // namespace tessaro
