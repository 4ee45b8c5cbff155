#include "messaging/address_book.h"

#include "config/logs.h"
#include "config/strings.h"
#include "config/text_util.h"
#include "messaging/index_file.h"
#include "messaging/message_types.h"

#include <QFileInfo>

namespace tessaro {

namespace {
const char* const kTypeWords[] = {"Email", "Telex", "Fax", "InmC", "PSTN", "SAC", "DNID", "X25", "SMS"};
constexpr int kTypeWordCount = int(sizeof(kTypeWords) / sizeof(kTypeWords[0]));
const QLatin1Char kSeparator(':');
} // namespace

QString AddressTypeWord(int type) {
    return QLatin1String(kTypeWords[type >= 0 && type < kTypeWordCount ? type : 0]);
}

int AddressTypeOfWord(const QString& word) {
    for (int i = 0; i < kTypeWordCount; ++i)
        if (word == QLatin1String(kTypeWords[i]))
            return i;
    return 0;
}

QString PresentationWord(int presentation) {
    switch (presentation) {
    case 1:
        return QStringLiteral("7");
    case 2:
        return QStringLiteral("8");
    default:
        return QStringLiteral("5");
    }
}

int PresentationOfWord(const QString& word) {
    if (word == QLatin1String("7"))
        return 1;
    if (word == QLatin1String("8"))
        return 2;
    return 0;
}

QString AddressBookLine(const AddressBookEntry& entry) {
    QString line = entry.Name + kSeparator + AddressTypeWord(entry.Type) + kSeparator +
                   PresentationWord(entry.Presentation) + kSeparator + entry.Address;
    if (!entry.Extra.isEmpty())
        line += kSeparator + entry.Extra;
    return line;
}

AddressBookEntry ParseAddressBookLine(const QString& line) {
    QString text = line;
    while (text.endsWith(QLatin1Char('\r')) || text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    const QStringList f = text.split(kSeparator);
    AddressBookEntry e;
    e.Name = f.value(0).trimmed();
    e.Type = quint8(AddressTypeOfWord(f.value(1).trimmed()));
    e.Presentation = qint16(PresentationOfWord(f.value(2).trimmed()));
    e.Address = f.value(3).trimmed();
    e.Extra = f.value(4).trimmed();
    return e;
}

QString AddressBookPath(const QString& folder) {
    return CaseBlindPath(folder, QStringLiteral("address.dat"));
}

QVector<AddressBookEntry> LoadAddressBook(const QString& folder, bool* ok) {
    QVector<AddressBookEntry> entries;
    const QString path = AddressBookPath(folder);
    bool read = true;
    // No folder configured: no book (never a file of the working directory).
    if (!folder.isEmpty() && QFileInfo(path).isFile()) {
        const QStringList lines = ReadIndexLines(path, &read);
        for (const QString& line : lines) {
            if (line.trimmed().isEmpty())
                continue;
            entries << ParseAddressBookLine(line);
        }
    }
    if (ok)
        *ok = read;
    return entries;
}

bool SaveAddressBook(const QString& folder, const QVector<AddressBookEntry>& entries) {
    QByteArray bytes;
    for (const AddressBookEntry& e : entries) {
        if (e.Name.trimmed().isEmpty())
            continue;
        bytes += AddressBookLine(e).toLatin1() + "\r\n";
    }
    return WriteWholeFile(AddressBookPath(folder), bytes);
}

int FindAddressBookEntry(const QVector<AddressBookEntry>& entries, const QString& name) {
    const QString key = name.trimmed();
    if (key.isEmpty())
        return -1;
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].Name == key)
            return i;
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].Name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString EntryDestination(const AddressBookEntry& entry) {
    if (entry.Type == DNID && !entry.Extra.isEmpty())
        return entry.Address + QLatin1Char(',') + entry.Extra;
    return entry.Address;
}

namespace {
QString dialledForm(QString address) {
    address = address.trimmed();
    if (address.startsWith(QLatin1String("00")))
        address.remove(0, 2);
    if (address.startsWith(QLatin1Char('+')))
        address.remove(0, 1);
    return address;
}
} // namespace

bool EntryWantsEightBit(const QVector<AddressBookEntry>& entries, const QString& address, bool* known) {
    const QString wanted = dialledForm(address);
    for (const AddressBookEntry& e : entries) {
        if (e.Type == InmC && !wanted.isEmpty() && dialledForm(e.Address) == wanted) {
            *known = true;
            return e.Presentation == 2;
        }
    }
    *known = false;
    return false;
}

namespace {
bool allDigits(const QString& text) {
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return !text.isEmpty();
}

// ":" splits the line of address.dat and a line break splits the file.
bool breaksTheLine(const QString& text) {
    return text.contains(kSeparator) || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

AddressCardCheck refused(const QString& message, bool nameCheck, bool mayContinue = false) {
    return {false, message,
            nameCheck ? GetText(2717, QStringLiteral("Name failure"))
                      : GetText(2716, QStringLiteral("Address failure")),
            mayContinue, nameCheck};
}
} // namespace

AddressCardCheck ValidateAddressCard(const AddressBookEntry& entry, const QVector<AddressBookEntry>& book,
                                     int editing) {
    const QString name = entry.Name.trimmed();
    if (name.isEmpty())
        return refused(GetText(2710, QStringLiteral("The name field can not be empty.")), true);
    // ";" separates the names typed in a recipient field, so such a name could never be picked by typing.
    if (breaksTheLine(name) || name.contains(QLatin1Char(';')))
        return refused(GetText(2718, QStringLiteral("The name can not contain ':' or ';'.")), true);
    const int same = FindAddressBookEntry(book, name);
    if (same >= 0 && same != editing && book[same].Name.compare(name, Qt::CaseInsensitive) == 0)
        return refused(FormatText(GetText(2719, QStringLiteral("An entry named '%0' is already in the address book.")),
                                  {book[same].Name}),
                       true);
    const QString address = entry.Address.trimmed();
    if (address.isEmpty())
        return refused(GetText(2720, QStringLiteral("The address field can not be empty.")), false);
    if (breaksTheLine(address) || breaksTheLine(entry.Extra))
        return refused(GetText(2721, QStringLiteral("The address and the extra value can not contain ':'.")), false);
    switch (entry.Type) {
    case EMail:
        if (!address.contains(QLatin1Char('.')) || !address.contains(QLatin1Char('@')))
            return refused(GetText(2711, QStringLiteral("E-mail addresses must have an '@' character.")) +
                               GetText(2712, QStringLiteral(" Continue anyway?")),
                           false, true);
        break;
    case InmC: {
        if (address.size() != 12 || !allDigits(address))
            return refused(GetText(2713, QStringLiteral("Inm-C addresses needs to be a 12 digits No., 3 digit for "
                                                        "Ocean Region & 9 digit for the Mobile No.")),
                           false);
        static const QLatin1String starts[] = {QLatin1String("5804"), QLatin1String("5814"), QLatin1String("5824"),
                                               QLatin1String("5834"), QLatin1String("5844")};
        bool known = false;
        for (const QLatin1String& s : starts)
            known = known || address.startsWith(s);
        if (!known)
            return refused(GetText(2714, QStringLiteral("Inm-C addresses must start with the ocean region "
                                                        "(581,582,583,584 or 580 for any ocean) and a '4' in "
                                                        "Mobile Number.")),
                           false);
        break;
    }
    case DNID:
        if (address.size() > 5 || !allDigits(address))
            return refused(GetText(2715, QStringLiteral("DNID Numbers can max. be a 5 digit No.")), false);
        break;
    default:
        break;
    }
    return {};
}

bool cAddressBook::Load() {
    bool ok = true;
    m_entries = LoadAddressBook(m_folder, &ok);
    return ok;
}

bool cAddressBook::Save() const {
    return SaveAddressBook(m_folder, m_entries);
}

void cAddressBook::log(const QString& text) const {
    if (m_log)
        m_log->Log(text);
}

bool cAddressBook::AddAddress(const QString& name, int type, int presentation, const QString& address,
                              const QString& extra, bool overwrite) {
    const QString path = AddressBookPath(m_folder);
    if (m_folder.isEmpty() || !QFileInfo(path).isFile()) {
        log(AddAddressLog::NotFound);
        return false;
    }
    AddressBookEntry entry;
    entry.Name = name.trimmed();
    entry.Type = quint8(type >= 0 && type < kMessageTypeCount ? type : 0);
    entry.Presentation = qint16(presentation >= 0 && presentation <= 2 ? presentation : 0);
    entry.Address = address.trimmed();
    entry.Extra = extra.trimmed();
    if (entry.Name.isEmpty() || breaksTheLine(entry.Name) || breaksTheLine(entry.Address) ||
        breaksTheLine(entry.Extra)) {
        log(AddAddressLog::BadField);
        return false;
    }
    bool read = false;
    QStringList lines = ReadIndexLines(path, &read);
    if (!read) {
        log(AddAddressLog::Unknown);
        return false;
    }
    const QString newLine = AddressBookLine(entry);
    bool found = false;
    for (QString& line : lines) {
        if (line.trimmed().isEmpty() || ParseAddressBookLine(line).Name != entry.Name)
            continue;
        if (!found)
            log(overwrite ? AddAddressLog::Overwritten : AddAddressLog::Kept);
        found = true;
        if (overwrite)
            line = newLine;
    }
    if (!found)
        lines << newLine;
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    // The whole book is replaced in one step: a crash leaves the old book or the new one, never a part.
    if (!WriteWholeFile(path, bytes)) {
        log(AddAddressLog::Unknown);
        return false;
    }
    Load();
    return true;
}

} // namespace tessaro
