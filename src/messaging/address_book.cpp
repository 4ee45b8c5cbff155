#include "messaging/address_book.h"

#include "messaging/index_file.h"

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
    if (QFileInfo(path).isFile()) {
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

} // namespace tessaro
