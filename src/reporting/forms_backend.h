#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// Outcome of handing a form to the sender. code 1000 means submitted; any other code is a refusal whose
// text says why. reference names the submitted message so that its status can be looked up later.
struct FormsSendResult {
    int code = 0;
    QString text;
    QString reference;
};

// The refusal of a form while a transmit password is set: any page the browser loads can post to the local
// server, so it must not be able to send past the password the window asks for.
inline constexpr int kFormsTransmitPasswordRefused = 1030;

// Outcome of a status look-up: the status text when found, otherwise the look-up's own explanation.
struct FormsStatusLookup {
    bool found = false;
    QString text;
};

// What the forms server needs from the rest of the program. Kept narrow so that request handling can be
// tested on its own; the program's adapter forwards to the session, the outbox, the inbox and the sender.
class IFormsBackend {
public:
    virtual ~IFormsBackend() = default;

    // Session values for the page placeholders. positionText() has the form "55,40.12N , 12,5.30E";
    // without a fix the session holds "255,255.255N , 255,255.255E".
    virtual QString positionText() = 0;
    virtual QString speedText() = 0;
    virtual QString courseText() = 0;
    virtual QString mobileNumber() = 0;
    virtual QDateTime transceiverTimeUtc() = 0;

    // The sender. messageType is the index 0..8, formatCode 0 = 5 bit, 1 = 7 bit, 2 = 8 bit.
    // Implementations may throw; the caller turns that into the "unknown error" page.
    virtual FormsSendResult SendMessageToAddress(const QString& address, int messageType, int formatCode,
                                                 const QString& subject, const QString& text) = 0;
    virtual FormsSendResult SendMessageToAddressBookEntry(const QString& entry, const QString& subject,
                                                          const QString& text) = 0;

    // Status of the outbox line whose out file name or reference number equals reference.
    virtual FormsStatusLookup GetIndexValue(const QString& reference) = 0;

    // Raw stored bodies by file name inside the outbox or inbox folder; nullopt when no such file exists.
    // The caller passes plain file names only.
    virtual std::optional<QString> outboxMessageText(const QString& fileName) = 0;
    virtual std::optional<QString> inboxMessageText(const QString& fileName) = 0;

    // The mailbox listings as HTML tables of the outbox's and inbox's index records, every value escaped.
    // Up to count lines, after skipping skip lines, newest first when asked; unreadOnly limits the inbox.
    virtual QString outboxListingHtml(int count, int skip, bool newestFirst) = 0;
    virtual QString inboxListingHtml(int count, bool unreadOnly, int skip, bool newestFirst) = 0;
};

} // namespace tessaro
