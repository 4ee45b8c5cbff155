#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace tessaro {

class CConfiguration;
class CSession;
class CTerminal;
class IClock;
class MessagingModule;

// What --send asks for.
struct SendRequest {
    int type = -1; // message type index 0..8
    QString address;
    QString subject;
    QString text;
    int format = 1; // 0 = 5 bit, 1 = 7 bit, 2 = 8 bit
};

// Reads the --text-file: UTF-8 when it is valid UTF-8 (the sending code page then decides the bytes, and
// characters it cannot carry stop the send), else bytes as Latin-1, so every byte reaches the transceiver
// unchanged. Returns false with *error set when it cannot be read.
bool ReadSendText(const QString& path, QString* text, QString* error);

// The environment variable that carries the transmit password to --send. Never an option: a command line is
// readable by every user through ps.
inline constexpr char kTransmitPasswordVariable[] = "TESSARO_TRANSMIT_PASSWORD";
// Whether --send may go while a transmit password may be set: empty when it may (no password set, or given is
// the password), else the reason it may not. givenSet tells an empty password from none given.
QString SendTransmitPasswordRefusal(CConfiguration& config, const QString& given, bool givenSet);

// Queues one message through SendMessageToAddress once the transceiver can take it: the link is up (the
// line end is learned and the transceiver answers) and a status reply read since then says it is logged in
// to a known ocean region, which decides the LES. It prints what it waits for, then the out file and the
// result code, and follows that message's outbox line (reference and status) for as long as the program
// runs. When the transceiver is not ready within the time-out it gives up without sending.
class HeadlessSender final : public QObject {
    Q_OBJECT
public:
    using Print = std::function<void(const QString& line)>;
    // Long enough for a scan and a login at sea; short enough that a script learns of a dead transceiver.
    static constexpr int kDefaultTimeOutSeconds = 300;

    HeadlessSender(CTerminal& terminal, CSession& session, MessagingModule& messaging, SendRequest request, Print print,
                   const IClock& clock, QObject* parent = nullptr);

    enum class State { WaitingForLink, WaitingForLogin, Sent, GaveUp };
    State state() const { return m_state; }
    int resultCode() const { return m_result; }
    const QString& outFileName() const { return m_outFileName; }
    // The outbox status of the sent message as last printed.
    const QString& lastStatus() const { return m_lastStatus; }

    void setTimeOutSeconds(int seconds) { m_timeOutMs = qint64(seconds) * 1000; }

    // One look at the link (also run by the 100 ms display timer).
    void check();

Q_SIGNALS:
    void sent(int resultCode, const QString& outFileName);
    // The transceiver was not ready in time; the message was not sent.
    void gaveUp(const QString& reason);

private:
    bool linkUp() const;
    bool readyToSend() const;
    void enter(State state);
    void sendNow();
    void followOutbox();

    CTerminal& m_terminal;
    CSession& m_session;
    MessagingModule& m_messaging;
    SendRequest m_request;
    Print m_print;
    const IClock& m_clock;
    qint64 m_startedMs = 0;
    qint64 m_timeOutMs = qint64(kDefaultTimeOutSeconds) * 1000;
    bool m_statusSinceLink = false; // a status reply came after the link came up
    State m_state = State::WaitingForLink;
    int m_result = 0;
    QString m_outFileName;
    QString m_lastStatus;
    QString m_lastReference;
};

} // namespace tessaro
