#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace tessaro {

// One named destination of address.dat.
struct AddressBookEntry {
    QString Name;            // the key; never empty in a saved book
    quint8 Type = 0;         // message type index 0..8 (MessageType)
    qint16 Presentation = 0; // 0 = 5 bit, 1 = 7 bit, 2 = 8 bit
    QString Address;
    QString Extra; // member or prefix; optional

    bool operator==(const AddressBookEntry&) const = default;
};

// "Email", "Telex", ... "SMS" for the type index; "Email" outside 0..8.
QString AddressTypeWord(int type);
// The type index of a word of address.dat; 0 (Email) for a word not in the list.
int AddressTypeOfWord(const QString& word);
// "5", "7", "8" for presentation 0, 1, 2; "5" for anything else.
QString PresentationWord(int presentation);
// 1 for "7", 2 for "8", 0 for anything else.
int PresentationOfWord(const QString& word);

// Name:Type:Presentation:Address, then :Extra only when Extra is not empty. No CR LF.
QString AddressBookLine(const AddressBookEntry& entry);
// Lenient: missing trailing fields stay empty, unknown words read as index 0, CR/LF and blanks around
// the name are dropped. A blank line gives an entry with an empty name.
AddressBookEntry ParseAddressBookLine(const QString& line);

// address.dat in the folder: every non-blank line as an entry, in file order. Missing file: empty book.
QVector<AddressBookEntry> LoadAddressBook(const QString& folder, bool* ok = nullptr);
// Writes the whole book atomically (entries with a blank name are skipped), CR LF line ends, Latin-1.
bool SaveAddressBook(const QString& folder, const QVector<AddressBookEntry>& entries);

// The path of address.dat in the folder (found case-blind).
QString AddressBookPath(const QString& folder);

} // namespace tessaro
