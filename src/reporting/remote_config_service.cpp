#include "reporting/remote_config_service.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "config/text_util.h"
#include "link/operator_notifier.h"
#include "messaging/address_book.h"
#include "messaging/index_file.h"
#include "messaging/message_store.h"
#include "messaging/message_types.h"
#include "messaging/messaging_module.h"
#include "status/session.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace tessaro {

namespace {
const QLatin1String kSocid("$XYWGHJIP$");
const QLatin1String kEocid("$PIJHGWYX$");
constexpr int kExecutedKept = 500;
const QString kSeeLog = QStringLiteral("\r\nPlease refer to 'RemoteLog.txt' for details.");

// The packet from its start marker to the end of its end marker: hash and commands together.
QString packetKey(const QString& text) {
    const qsizetype start = text.indexOf(kSocid);
    const qsizetype end = start < 0 ? -1 : text.indexOf(kEocid, start);
    const QString packet = end < 0 ? text : text.mid(start, end + 10 - start);
    return QString::fromLatin1(QCryptographicHash::hash(packet.toUtf8(), QCryptographicHash::Sha256).toHex());
}
} // namespace

IRemoteLogMailer::Result MessagingLogMailer::SendText(const QString& address, const QString& subject,
                                                      const QString& text) {
    const int type = address.contains(u'@') ? EMail : InmC;
    const SendOutcome outcome = m_messaging.SendMessageToAddress(address.trimmed(), type, 1, subject, text);
    return {outcome.code, SendOutcomeText(outcome), outcome.outFileName};
}

RemoteConfigService::RemoteConfigService(CConfiguration& config, const CSession& session, const IClock& clock,
                                         OperatorNotifier& notifier, IAddressBook* addressBook,
                                         IRemoteLogMailer* mailer, QObject* parent)
    : QObject(parent), m_config(config), m_session(session), m_clock(clock), m_notifier(notifier),
      m_addressBook(addressBook), m_mailer(mailer) {}

bool ChangeRemotePassword(CConfiguration& config, const QString& old, const QString& newPassword,
                          const QString& confirmation) {
    const QString stored =
        UnscrambleRemotePassword(config.GetSettingValue(QStringLiteral("Config"), QStringLiteral("Remote Password")));
    if (newPassword != confirmation || old != stored)
        return false;
    // The hash is made over 8-bit codes: a character beyond them could never match the shore's hash.
    if (std::any_of(newPassword.begin(), newPassword.end(), [](QChar c) { return c.unicode() > 0xFF; }))
        return false;
    config.SaveSettingValue(QStringLiteral("Config"), QStringLiteral("Remote Password"),
                            ScrambleRemotePassword(newPassword));
    return true;
}

bool RemoteConfigService::RemoteConfigAllowed(CConfiguration& config) {
    return Val(config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("AllowRemoteConfig"),
                                      QStringLiteral("1"))) != 0;
}

bool RemoteConfigService::Handle(const QString& text, bool allowed) {
    cLog log(m_config.DataPath(), m_clock);
    log.SetLogFile(QStringLiteral("RemoteLog.txt"));
    cRemoteConfig remote;
    remote.Logging = &log;
    // The book of the folder configured now, unless one was given (tests).
    cAddressBook book(StoreFolderPath(m_config, kAddressBookKey));
    cRemoteConfigProcess process(m_config, m_addressBook ? m_addressBook : &book, m_mailer);
    process.SetLogFile(&log);

    if (!cRemoteConfig::ExistConfig(text))
        return false;
    if (!allowed) {
        log.Log(QStringLiteral("Remote configuration packet refused: remote configuration is not allowed"));
        return true;
    }

    remote.Password =
        UnscrambleRemotePassword(m_config.GetSettingValue(QStringLiteral("Config"), QStringLiteral("Remote Password")));
    if (m_session.SystemTimeSet()) {
        remote.UTCDate = m_session.SystemTime().date();
        remote.UTCTime = m_session.SystemTime().time();
    } else {
        log.Log(QStringLiteral("Error: the transceiver's time is not known yet"));
    }
    const RemoteConfigPacket packet = remote.DecodePacket(text);
    if (!packet.PasswordOk) {
        log.Log(QStringLiteral("Error: Remote configuration failed. Password not valid "));
        m_notifier.showMessage(QStringLiteral("Error: Remote configuration failed. Password not valid.") + kSeeLog,
                               QStringLiteral("Info"));
        return true;
    }
    // Within its two valid hours a genuine packet could be copied into another message and run again.
    const QString key = packetKey(text);
    if (alreadyExecuted(key)) {
        log.Log(QStringLiteral("Error: Remote configuration packet already executed. Refused"));
        m_notifier.showMessage(QStringLiteral("Error: Remote configuration failed.") + kSeeLog, QStringLiteral("Info"));
        return true;
    }
    if (!rememberExecuted(key)) {
        log.Log(QStringLiteral("Error: the record of executed packets could not be written. Refused"));
        m_notifier.showMessage(QStringLiteral("Error: Remote configuration failed.") + kSeeLog, QStringLiteral("Info"));
        return true;
    }
    const bool ok = process.ProcessConfig(packet);
    if (ok) {
        log.Log(QStringLiteral("Remote configuration completed successfully"));
        m_notifier.showMessage(QStringLiteral("Remote configuration completed successfully."), QStringLiteral("Info"));
    } else {
        log.Log(QStringLiteral("Error: Remote configuration failed"));
        m_notifier.showMessage(QStringLiteral("Error: Remote configuration failed.") + kSeeLog, QStringLiteral("Info"));
    }
    Q_EMIT packetProcessed(ok);
    return true;
}

bool RemoteConfigService::alreadyExecuted(const QString& key) {
    const QString path = m_config.DataPath() + ExecutedFileName();
    if (!QFileInfo(path).isFile())
        return false;
    bool ok = false;
    const QStringList lines = ReadIndexLines(path, &ok);
    return lines.contains(key);
}

bool RemoteConfigService::rememberExecuted(const QString& key) {
    const QString path = m_config.DataPath() + ExecutedFileName();
    QStringList lines;
    if (QFileInfo(path).isFile())
        lines = ReadIndexLines(path);
    lines << key;
    while (lines.size() > kExecutedKept)
        lines.removeFirst();
    return WriteWholeFile(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
}

} // namespace tessaro
