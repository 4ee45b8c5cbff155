#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace tessaro {

enum class LinkKind { Serial, Tcp };

// Line and error events of a link. The numbers are the serial control's event codes, which the
// error-log texts are keyed by; Lost means the device itself went away (a pulled USB adapter).
enum class LinkEvent : int {
    None = 0,
    Send = 1,
    DsrChange = 4,
    CarrierChange = 5,
    Break = 1001,
    CtsTimeout = 1002,
    DsrTimeout = 1003,
    Framing = 1004,
    Overrun = 1006,
    CdTimeout = 1007,
    RxOverflow = 1008,
    Parity = 1009,
    TxFull = 1010,
    Lost = -1,
};

// The one byte stream the engine sees. Text on it is Latin-1: every byte survives.
class ILink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ILink() override = default;

    virtual LinkKind kind() const = 0;
    // Serial: device path and settings ("115200,n,8,1"). TCP: "HOST" or "HOST:PORT" (port 23 by default).
    virtual void setTarget(const QString& target, const QString& settings = {}) = 0;
    virtual QString target() const = 0;
    // Serial: opens now and returns whether the port is open. TCP: starts connecting (isOpen() follows).
    virtual bool open() = 0;
    virtual void close() = 0;
    // Serial: the port is open. TCP: the socket is connected.
    virtual bool isOpen() const = 0;
    // Returns false when the bytes could not be handed to the device whole.
    virtual bool write(const QByteArray& bytes) = 0;
    // Everything received since the last read.
    virtual QByteArray readAll() = 0;
    // The last line or error event since the previous call, then None.
    virtual LinkEvent takeEvent() = 0;
    // Carrier detect is present (serial); a TCP link counts as holding while connected.
    virtual bool carrierHolding() const = 0;
    virtual int errorNumber() const = 0;
    virtual QString errorString() const = 0;

Q_SIGNALS:
    void dataArrived();
    void eventOccurred(tessaro::LinkEvent event);
};

std::unique_ptr<ILink> CreateLink(LinkKind kind);

} // namespace tessaro
