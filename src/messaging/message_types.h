#pragma once

#include <QDateTime>
#include <QString>

#include <array>

namespace tessaro {

// Message type index as stored in files and settings. Exactly these nine exist.
enum MessageType : int { EMail = 0, Telex, Fax, InmC, PSTN, SAC, DNID, X25, SMS };
inline constexpr int kMessageTypeCount = 9;
inline constexpr int kPriorityCount = 4;

// Recipient field of a message.
enum RecipientField : int { FieldTo = 0, FieldCc = 1, FieldBcc = 2 };
inline constexpr int kRecipientFieldCount = 3;

// "E-Mail", "Telex", ... ; empty for an index outside 0..8.
QString MessageTypeName(int type);
// "Routine", "Safety", "Urgent", "Distress"; empty outside 0..3.
QString PriorityName(int priority);
// Outbox text of a transmission presentation code: 0 " 7 Bit", 6 " 5 Bit", 7 " 8 Bit"; empty for others.
QString OutboxBitsText(int presentation);
// Display of a received Bits code: 0 "7 bit", 5 "8 bit", 7 "5 bit", anything else "Unknown".
QString ReceivedBitsText(int bits);

// One message being composed or sent: body, subject and, per type and recipient field, the resolved
// addresses and the aliases as typed, each list separated by ";".
class CMessage final {
public:
    quint8 Status = 0;
    qint16 GroupId = 0;
    QString Subject;
    QString TextField;

    QString GetAddresses(int type, int field) const;
    void SetAddresses(int type, int field, const QString& addresses);
    // Appends with ";" when the entry already holds something.
    void AddAddress(int type, int field, const QString& address);

    QString GetAliases(int type, int field) const;
    void SetAliases(int type, int field, const QString& aliases);
    void AddAlias(int type, int field, const QString& alias);

    // First address of one list ("" when the list is empty or the indexes are out of range).
    QString GetFirstAddress(int type, int field) const;
    // To, Cc and Bcc aliases of one type, each with ";" turned into ",", joined by "," without empty parts.
    QString GetFieldAliases(int type) const;
    // True when the type has at least one address in To, Cc or Bcc.
    bool ExistRecipient(int type) const;

private:
    using Matrix = std::array<std::array<QString, kRecipientFieldCount>, kMessageTypeCount>;
    static bool valid(int type, int field);
    Matrix m_addresses;
    Matrix m_aliases;
};

// One destination as the address book and the sender see it.
struct CAddress {
    QString MemberOrPrefix;
    QString NetworkType;
    QString Presentation;
    QString Address;
};

// One received message as the reception fills it and the inbox indexes store it.
struct InboxRecord {
    QString To;
    QString From;
    QString Subject;
    QString DiskFileName;
    QString ModemFileName;
    qint16 LES = 0;
    quint8 Priority = 0;
    quint8 Bits = 0;
    QDateTime Received;
    qint32 Size = 0;
    qint32 Refnumber = 0;
    QString Routing;
    quint8 Read = 0; // 255 = read, below = unread
};

} // namespace tessaro
