#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tessaro {

// A stored message template: "DefaultMsg" + number + ".txt" in the "DefaultMessages" folder, numbers 0..8.
struct DefaultMessageFields {
    QString Version = QStringLiteral("1");
    QString Name;
    QString To;
    QString Cc;
    QString Bcc;
    QString Subject;
    QString BodyText;
    bool operator==(const DefaultMessageFields&) const = default;
};

inline constexpr int kDefaultMessageCount = 9; // numbers below 9
inline const QLatin1String kDefaultMessagesFolder("DefaultMessages");

// The tagged layout: "<Message><Version>v</Version><Header>" CR LF, then each header element followed by
// CR LF, "</Header><BodyText>body</BodyText></Message>". Values are Latin-1; "&", "<" and ">" are written
// as entities so the file stays well-formed whatever the body holds.
QByteArray FormatDefaultMessage(const DefaultMessageFields& message);
// A file starting with "[" is read in the older sectioned layout (a "[Key]" line followed by its value; the
// body runs to the next known key); any other file in the tagged layout, leniently: a missing element is
// empty, entities are decoded, line ends stay as written. nullopt when neither layout is recognised.
std::optional<DefaultMessageFields> ParseDefaultMessage(const QByteArray& bytes);
// The older sectioned layout, as an earlier version of the program wrote it.
QByteArray FormatOlderDefaultMessage(const DefaultMessageFields& message);

QString DefaultMessageFileName(int number);

// One default message at a time, in a folder (normally the data folder's "DefaultMessages").
class cDefaultMessage final {
public:
    // The folder the default messages live in; created when a message is written.
    void Init(const QString& folder);
    const QString& folder() const { return m_folder; }

    // Writes message number (0..8) whole, or not at all; false with lastError otherwise.
    bool CreateMessage(int number, const DefaultMessageFields& message);
    // Reads message number into this object; false when it is missing or unreadable.
    bool LoadMessage(int number);
    bool Delete(int number);
    bool ExistsFile(int number) const;
    // The lowest free number, or -1 when all nine are taken.
    int FreeNumber() const;
    // The numbers in use, ascending.
    QList<int> numbers() const;

    QString GetName() const { return m_fields.Name; }
    QString GetTo() const { return m_fields.To; }
    QString GetCc() const { return m_fields.Cc; }
    QString GetBcc() const { return m_fields.Bcc; }
    QString GetSubject() const { return m_fields.Subject; }
    QString GetBodyText() const { return m_fields.BodyText; }
    const DefaultMessageFields& fields() const { return m_fields; }
    const QString& lastError() const { return m_lastError; }

    // Moves the files of an older installation (numbers 0..8 in oldFolder) into this object's folder when
    // no file of that name is there yet, creating the folder if needed. A file that cannot be moved stays
    // where it is. Returns how many were moved.
    int Upgrade(const QString& oldFolder);

    static QString NewMessageName() { return QStringLiteral("Default message"); }

private:
    QString path(int number) const;

    QString m_folder;
    DefaultMessageFields m_fields;
    QString m_lastError;
};

} // namespace tessaro
