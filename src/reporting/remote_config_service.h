#pragma once

#include "reporting/remote_config_process.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace tessaro {

class CConfiguration;
class CSession;
class MessagingModule;
class IClock;
class OperatorNotifier;

// The logs asked for from shore go back as one message: e-mail when the address holds "@", otherwise to
// an Inmarsat-C mobile number, 7 bit.
class MessagingLogMailer final : public IRemoteLogMailer {
public:
    explicit MessagingLogMailer(MessagingModule& messaging) : m_messaging(messaging) {}
    Result SendText(const QString& address, const QString& subject, const QString& text) override;

private:
    MessagingModule& m_messaging;
};

// Runs the remote configuration packets that messages and EGCs carry. The caller deletes the carrying
// message whenever Handle says it was a packet: a packet is never filed, shown or announced as mail.
class RemoteConfigService final : public QObject {
    Q_OBJECT
public:
    RemoteConfigService(CConfiguration& config, const CSession& session, const IClock& clock,
                        OperatorNotifier& notifier, IAddressBook* addressBook, IRemoteLogMailer* mailer,
                        QObject* parent = nullptr);

    // False when the text holds no packet (the caller files it as usual). allowed: "AllowRemoteConfig".
    bool Handle(const QString& text, bool allowed);
    // "AllowRemoteConfig" of section "Settings": a numeric 0 refuses, anything else (absent too) allows.
    static bool RemoteConfigAllowed(CConfiguration& config);

    // The packets already run, newest last, kept across restarts so a copied packet runs once only.
    static QString ExecutedFileName() { return QStringLiteral("RemoteExecuted.dat"); }

Q_SIGNALS:
    // A packet was run (successfully or not); the lists it may have changed are to be read again.
    void packetProcessed(bool success);

private:
    bool alreadyExecuted(const QString& key);
    bool rememberExecuted(const QString& key);

    CConfiguration& m_config;
    const CSession& m_session;
    const IClock& m_clock;
    OperatorNotifier& m_notifier;
    IAddressBook* m_addressBook;
    IRemoteLogMailer* m_mailer;
};

// Stores the new remote password (scrambled) when old is the stored one (empty when none is set) and the
// new one equals its confirmation.
bool ChangeRemotePassword(CConfiguration& config, const QString& old, const QString& newPassword,
                          const QString& confirmation);

} // namespace tessaro
