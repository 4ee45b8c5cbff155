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

// The entry a typed name stands for: the exact name first, else the first whose name matches ignoring
// letter case. Blanks around the typed text do not count. -1 when none matches.
int FindAddressBookEntry(const QVector<AddressBookEntry>& entries, const QString& name);

// The destination an entry sends to: its address, and for DNID entries with a member the pair
// "DNID,member" that the submission passes with " -e ".
QString EntryDestination(const AddressBookEntry& entry);

// Whether the InmC entry holding address (compared without a leading "00" or "+") is kept with 8-bit
// presentation. *known tells whether any InmC entry holds it.
bool EntryWantsEightBit(const QVector<AddressBookEntry>& entries, const QString& address, bool* known);

// What checking an entry card found. ok: the card may be saved. Otherwise message and title are shown;
// mayContinue: the operator may keep the entry anyway (asked "Continue anyway?").
struct AddressCardCheck {
    bool ok = true;
    QString message;
    QString title;
    bool mayContinue = false;
    bool nameField = false; // the name was refused (else the address or extra value)
};

// Checks an entry card before it is stored. book and editing (the index of the entry being changed, or -1
// for a new one) let it refuse a name another entry already has.
AddressCardCheck ValidateAddressCard(const AddressBookEntry& entry, const QVector<AddressBookEntry>& book = {},
                                     int editing = -1);

class ILog;

// What remote configuration needs of the book; never raises a dialog, every outcome goes to the log.
class IAddressBook {
public:
    virtual ~IAddressBook() = default;
    virtual void SetLogFile(ILog* log) = 0;
    // Adds (or with overwrite replaces) the entry of that exact name in address.dat. True when the file
    // holds the entry afterwards as asked (an existing entry kept without overwrite counts as done).
    virtual bool AddAddress(const QString& name, int type, int presentation, const QString& address,
                            const QString& extra, bool overwrite) = 0;
};

// The address book of one folder: the entries in memory, loaded from and saved to address.dat whole.
class cAddressBook final : public IAddressBook {
public:
    explicit cAddressBook(QString folder) : m_folder(std::move(folder)) {}

    const QString& folder() const { return m_folder; }
    bool Load();
    bool Save() const;
    const QVector<AddressBookEntry>& entries() const { return m_entries; }
    void setEntries(QVector<AddressBookEntry> entries) { m_entries = std::move(entries); }
    int find(const QString& name) const { return FindAddressBookEntry(m_entries, name); }

    void SetLogFile(ILog* log) override { m_log = log; }
    bool AddAddress(const QString& name, int type, int presentation, const QString& address, const QString& extra,
                    bool overwrite) override;

private:
    void log(const QString& text) const;

    QString m_folder;
    QVector<AddressBookEntry> m_entries;
    ILog* m_log = nullptr;
};

// Log lines of AddAddress.
namespace AddAddressLog {
inline const QLatin1String NotFound("Error occurred adding address. File 'address.dat' not found");
inline const QLatin1String Overwritten("Address already exists and will be overwritten");
inline const QLatin1String Kept("Address already exists and will not be overwritten");
inline const QLatin1String Unknown("Unknown error occurred in AddAddress. Address Book might not have been updated");
// A field holding ":" or a line end would split the line and damage the book.
inline const QLatin1String BadField("Error occurred adding address. The name is empty or a field holds ':' or a "
                                    "line break");
} // namespace AddAddressLog

} // namespace tessaro
