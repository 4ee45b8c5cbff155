#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace tessaro {

class CSession;
class CTerminal;
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

// Queues one message through SendMessageToAddress once the link is up: the line end is learned and the
// transceiver answers. The ocean decides the LES, so a missing ocean is asked for with "st -s" first. Then it
// prints the out file and the result code, and follows that message's outbox line (reference and status)
// for as long as the program runs.
class HeadlessSender final : public QObject {
    Q_OBJECT
public:
    using Print = std::function<void(const QString& line)>;
    HeadlessSender(CTerminal& terminal, CSession& session, MessagingModule& messaging, SendRequest request, Print print,
                   QObject* parent = nullptr);

    enum class State { WaitingForLink, WaitingForOcean, Sent };
    State state() const { return m_state; }
    int resultCode() const { return m_result; }
    const QString& outFileName() const { return m_outFileName; }
    // The outbox status of the sent message as last printed.
    const QString& lastStatus() const { return m_lastStatus; }

    // One look at the link (also run by the 100 ms display timer).
    void check();

Q_SIGNALS:
    void sent(int resultCode, const QString& outFileName);

private:
    void sendNow();
    void followOutbox();

    CTerminal& m_terminal;
    CSession& m_session;
    MessagingModule& m_messaging;
    SendRequest m_request;
    Print m_print;
    State m_state = State::WaitingForLink;
    int m_result = 0;
    QString m_outFileName;
    QString m_lastStatus;
    QString m_lastReference;
};

} // namespace tessaro
