#include "reporting/forms_backend_adapter.h"

#include "config/text_util.h"
#include "messaging/inbox.h"
#include "messaging/outbox.h"
#include "messaging/transmission.h"
#include "status/session.h"

#include <QFile>

namespace tessaro {

namespace {
// What the transceiver reports without a fix; the page shows it as "No position available".
const QString kNoFix = QStringLiteral("255,255.255N , 255,255.255E");

std::optional<QString> readBody(const QString& folder, const QString& fileName) {
    if (!IsPlainFileName(fileName))
        return std::nullopt;
    QFile f(folder + fileName);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromLatin1(f.readAll());
}
} // namespace

CFormsBackend::CFormsBackend(CConfiguration& config, const CSession& session, cOutBox& outbox, CInbox& inbox,
                             IMessagingHost& host, PendingTransfers& transfers, const IClock& clock)
    : m_config(config), m_session(session), m_outbox(outbox), m_inbox(inbox), m_host(host), m_transfers(transfers),
      m_clock(clock) {}

QString CFormsBackend::positionText() {
    const PositionRecord& p = m_session.Position();
    if (!p.Valid)
        return kNoFix;
    return QStringLiteral("%1,%2.%3%4 , %5,%6.%7%8")
        .arg(p.LatDegrees)
        .arg(p.LatMinutes)
        .arg(p.LatFraction)
        .arg(p.South ? QLatin1Char('S') : QLatin1Char('N'))
        .arg(p.LonDegrees)
        .arg(p.LonMinutes)
        .arg(p.LonFraction)
        .arg(p.West ? QLatin1Char('W') : QLatin1Char('E'));
}

QString CFormsBackend::speedText() {
    return QString::number(m_session.Position().Speed);
}

QString CFormsBackend::courseText() {
    return QString::number(m_session.Position().Course);
}

QString CFormsBackend::mobileNumber() {
    const qint64 n = m_session.MobileNumber();
    return n > 0 ? QString::number(n) : QString();
}

QDateTime CFormsBackend::transceiverTimeUtc() {
    // Before the transceiver has told its time the clock's start value is shown, as the session keeps it.
    if (!m_session.SystemTimeSet() || !m_session.SystemTime().isValid())
        return QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC);
    return m_session.SystemTime();
}

FormsSendResult CFormsBackend::SendMessageToAddress(const QString& address, int messageType, int formatCode,
                                                    const QString& subject, const QString& text) {
    const SendOutcome outcome = tessaro::SendMessageToAddress(m_config, m_outbox, m_host, m_transfers, m_clock, address,
                                                              messageType, formatCode, subject, text);
    return {outcome.code, SendResultText(outcome.code), outcome.outFileName};
}

FormsSendResult CFormsBackend::SendMessageToAddressBookEntry(const QString& entry, const QString&, const QString&) {
    return {SendResult::EmptyDestination,
            FormatText(QStringLiteral("The address book has no entry '%0'."), {entry.trimmed()}), QString()};
}

FormsStatusLookup CFormsBackend::GetIndexValue(const QString& reference) {
    // The answer to a sent form names the out file, since the LES reference comes later: accept either.
    const QString ref = reference.trimmed();
    if (!ref.isEmpty()) {
        for (const QStringList& p : m_outbox.ReadIndex()) {
            if (p.size() > OutPos::Status &&
                (p[OutPos::Reference].trimmed() == ref || p[OutPos::FileName].trimmed() == ref))
                return {true, p[OutPos::Status].trimmed()};
        }
    }
    return {false, m_outbox.GetIndexValue(ref)};
}

std::optional<QString> CFormsBackend::outboxMessageText(const QString& fileName) {
    return readBody(m_outbox.folder(), fileName);
}

std::optional<QString> CFormsBackend::inboxMessageText(const QString& fileName) {
    return readBody(m_inbox.folder(), fileName);
}

QString CFormsBackend::outboxListingHtml(int count, int skip, bool newestFirst) {
    return m_outbox.LoadIndexHTML(count, skip, newestFirst);
}

QString CFormsBackend::inboxListingHtml(int count, bool unreadOnly, int skip, bool newestFirst) {
    return m_inbox.LoadIndexHTML(count, unreadOnly, skip, newestFirst);
}

} // namespace tessaro
