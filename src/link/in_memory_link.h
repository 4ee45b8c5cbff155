#pragma once

#include "link/link.h"

namespace tessaro {

// A link whose far end is the test: feed() delivers bytes as if the transceiver sent them, written()
// shows what the program wrote. open() connects at once unless connectOnOpen is cleared.
class InMemoryLink final : public ILink {
    Q_OBJECT
public:
    explicit InMemoryLink(LinkKind kind = LinkKind::Tcp, QObject* parent = nullptr) : ILink(parent), m_kind(kind) {}

    LinkKind kind() const override { return m_kind; }
    void setTarget(const QString& target, const QString& settings = {}) override {
        m_target = target;
        m_settings = settings;
    }
    QString target() const override { return m_target; }
    QString settings() const { return m_settings; }
    bool open() override {
        ++openCount;
        m_open = connectOnOpen;
        return m_open || m_kind == LinkKind::Tcp;
    }
    void close() override {
        ++closeCount;
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override {
        if (!m_open || failWrites)
            return false;
        m_written += bytes;
        return true;
    }
    QByteArray readAll() override {
        QByteArray out;
        out.swap(m_incoming);
        return out;
    }
    LinkEvent takeEvent() override {
        const LinkEvent e = m_event;
        m_event = LinkEvent::None;
        return e;
    }
    bool carrierHolding() const override { return carrier; }
    int errorNumber() const override { return failWrites ? 7 : errorCode; }
    QString errorString() const override { return failWrites ? QStringLiteral("Write refused") : errorText; }

    // The far end.
    void feed(const QByteArray& bytes) {
        m_incoming += bytes;
        Q_EMIT dataArrived();
    }
    void feed(const char* latin1) { feed(QByteArray(latin1)); }
    void raiseEvent(LinkEvent e) {
        m_event = e;
        Q_EMIT eventOccurred(e);
    }
    void setConnected(bool open) { m_open = open; }
    const QByteArray& written() const { return m_written; }
    QByteArray takeWritten() {
        QByteArray out;
        out.swap(m_written);
        return out;
    }
    bool hasPendingInput() const { return !m_incoming.isEmpty(); }

    bool connectOnOpen = true;
    bool failWrites = false;
    int errorCode = 0; // the error a raised event reports
    QString errorText;
    bool carrier = true;
    int openCount = 0;
    int closeCount = 0;

private:
    LinkKind m_kind;
    QString m_target;
    QString m_settings;
    bool m_open = false;
    QByteArray m_incoming;
    QByteArray m_written;
    LinkEvent m_event = LinkEvent::None;
};

} // namespace tessaro
