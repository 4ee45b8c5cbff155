#include "messaging/message_types.h"

#include <QStringList>

namespace tessaro {

QString MessageTypeName(int type) {
    static const std::array<QLatin1String, kMessageTypeCount> names = {
        QLatin1String("E-Mail"), QLatin1String("Telex"), QLatin1String("Fax"),
        QLatin1String("InmC"),   QLatin1String("PSTN"),  QLatin1String("SAC"),
        QLatin1String("DNID"),   QLatin1String("X.25"),  QLatin1String("SMS")};
    if (type < 0 || type >= kMessageTypeCount)
        return {};
    return names[std::size_t(type)];
}

QString PriorityName(int priority) {
    static const std::array<QLatin1String, kPriorityCount> names = {QLatin1String("Routine"), QLatin1String("Safety"),
                                                                    QLatin1String("Urgent"), QLatin1String("Distress")};
    if (priority < 0 || priority >= kPriorityCount)
        return {};
    return names[std::size_t(priority)];
}

QString OutboxBitsText(int presentation) {
    switch (presentation) {
    case 0:
        return QStringLiteral(" 7 Bit");
    case 6:
        return QStringLiteral(" 5 Bit");
    case 7:
        return QStringLiteral(" 8 Bit");
    default:
        return {};
    }
}

QString ReceivedBitsText(int bits) {
    switch (bits) {
    case 0:
        return QStringLiteral("7 bit");
    case 5:
        return QStringLiteral("8 bit");
    case 7:
        return QStringLiteral("5 bit");
    default:
        return QStringLiteral("Unknown");
    }
}

bool CMessage::valid(int type, int field) {
    return type >= 0 && type < kMessageTypeCount && field >= 0 && field < kRecipientFieldCount;
}

QString CMessage::GetAddresses(int type, int field) const {
    return valid(type, field) ? m_addresses[std::size_t(type)][std::size_t(field)] : QString();
}

void CMessage::SetAddresses(int type, int field, const QString& addresses) {
    if (valid(type, field))
        m_addresses[std::size_t(type)][std::size_t(field)] = addresses;
}

void CMessage::AddAddress(int type, int field, const QString& address) {
    if (!valid(type, field))
        return;
    QString& entry = m_addresses[std::size_t(type)][std::size_t(field)];
    entry = entry.isEmpty() ? address : entry + QLatin1Char(';') + address;
}

QString CMessage::GetAliases(int type, int field) const {
    return valid(type, field) ? m_aliases[std::size_t(type)][std::size_t(field)] : QString();
}

void CMessage::SetAliases(int type, int field, const QString& aliases) {
    if (valid(type, field))
        m_aliases[std::size_t(type)][std::size_t(field)] = aliases;
}

void CMessage::AddAlias(int type, int field, const QString& alias) {
    if (!valid(type, field))
        return;
    QString& entry = m_aliases[std::size_t(type)][std::size_t(field)];
    entry = entry.isEmpty() ? alias : entry + QLatin1Char(';') + alias;
}

QString CMessage::GetFirstAddress(int type, int field) const {
    return GetAddresses(type, field).section(QLatin1Char(';'), 0, 0);
}

QString CMessage::GetFieldAliases(int type) const {
    QStringList parts;
    for (int field = 0; field < kRecipientFieldCount; ++field) {
        const QString aliases = GetAliases(type, field);
        if (!aliases.isEmpty())
            parts << QString(aliases).replace(QLatin1Char(';'), QLatin1Char(','));
    }
    return parts.join(QLatin1Char(','));
}

bool CMessage::ExistRecipient(int type) const {
    for (int field = 0; field < kRecipientFieldCount; ++field)
        if (!GetAddresses(type, field).trimmed().isEmpty())
            return true;
    return false;
}

} // namespace tessaro
