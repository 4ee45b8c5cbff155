#include "messaging/default_message.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace tessaro {

namespace {

const QLatin1String kHeaderTags[] = {QLatin1String("Name"), QLatin1String("To"), QLatin1String("Cc"),
                                     QLatin1String("Bcc"), QLatin1String("Subject")};

QString* fieldFor(DefaultMessageFields& m, QStringView tag) {
    if (tag.compare(u"Version", Qt::CaseInsensitive) == 0)
        return &m.Version;
    if (tag.compare(u"Name", Qt::CaseInsensitive) == 0)
        return &m.Name;
    if (tag.compare(u"To", Qt::CaseInsensitive) == 0)
        return &m.To;
    if (tag.compare(u"Cc", Qt::CaseInsensitive) == 0)
        return &m.Cc;
    if (tag.compare(u"Bcc", Qt::CaseInsensitive) == 0)
        return &m.Bcc;
    if (tag.compare(u"Subject", Qt::CaseInsensitive) == 0)
        return &m.Subject;
    if (tag.compare(u"BodyText", Qt::CaseInsensitive) == 0)
        return &m.BodyText;
    return nullptr;
}

QString escaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        if (c == u'&')
            out += QLatin1String("&amp;");
        else if (c == u'<')
            out += QLatin1String("&lt;");
        else if (c == u'>')
            out += QLatin1String("&gt;");
        else
            out += c;
    }
    return out;
}

// The five named entities and numeric references within Latin-1; anything else stays as written (older
// files wrote "&" bare).
QString unescaped(QStringView value) {
    static const std::pair<QLatin1String, QChar> kNamed[] = {{QLatin1String("&amp;"), u'&'},
                                                             {QLatin1String("&lt;"), u'<'},
                                                             {QLatin1String("&gt;"), u'>'},
                                                             {QLatin1String("&quot;"), u'"'},
                                                             {QLatin1String("&apos;"), u'\''}};
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'&') {
            out += value[i];
            continue;
        }
        bool done = false;
        for (const auto& [name, c] : kNamed) {
            if (value.sliced(i).startsWith(name)) {
                out += c;
                i += name.size() - 1;
                done = true;
                break;
            }
        }
        if (!done && value.sliced(i).startsWith(u"&#")) {
            const qsizetype semi = value.indexOf(u';', i);
            if (semi > i + 2 && semi - i <= 8) {
                QStringView digits = value.sliced(i + 2, semi - i - 2);
                bool ok = false;
                const uint code = digits.startsWith(u'x') || digits.startsWith(u'X') ? digits.sliced(1).toUInt(&ok, 16)
                                                                                     : digits.toUInt(&ok, 10);
                if (ok && code <= 0xFF) {
                    out += QChar(char16_t(code));
                    i = semi;
                    done = true;
                }
            }
        }
        if (!done)
            out += u'&';
    }
    return out;
}

// The raw text between "<tag>" and the next "</tag>", searched from *from; nullopt when either is missing.
std::optional<QStringView> element(QStringView text, QLatin1String tag, qsizetype from = 0) {
    const QString open = QStringLiteral("<") + tag + QStringLiteral(">");
    const QString close = QStringLiteral("</") + tag + QStringLiteral(">");
    const qsizetype start = text.indexOf(open, from, Qt::CaseInsensitive);
    if (start < 0)
        return std::nullopt;
    const qsizetype valueStart = start + open.size();
    const qsizetype end = text.indexOf(close, valueStart, Qt::CaseInsensitive);
    if (end < 0)
        return std::nullopt;
    return text.sliced(valueStart, end - valueStart);
}

std::optional<DefaultMessageFields> parseTagged(QStringView text) {
    const auto message = element(text, QLatin1String("Message"));
    if (!message)
        return std::nullopt;
    DefaultMessageFields m;
    m.Version.clear();
    if (const auto v = element(*message, QLatin1String("Version")))
        m.Version = unescaped(*v).trimmed();
    const QStringView header = element(*message, QLatin1String("Header")).value_or(QStringView());
    for (QLatin1String tag : kHeaderTags) {
        if (const auto v = element(header, tag))
            *fieldFor(m, QString(tag)) = unescaped(*v);
    }
    if (const auto body = element(*message, QLatin1String("BodyText")))
        m.BodyText = unescaped(*body);
    return m;
}

// "[Key]" on a line of its own (blanks around allowed): the key, else empty.
QString sectionKey(QStringView line) {
    line = line.trimmed();
    if (line.size() < 3 || !line.startsWith(u'[') || !line.endsWith(u']'))
        return {};
    return line.sliced(1, line.size() - 2).trimmed().toString();
}

std::optional<DefaultMessageFields> parseOlder(QStringView text) {
    DefaultMessageFields m;
    m.Version.clear();
    QStringList lines = text.toString().split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    bool any = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString key = sectionKey(lines[i]);
        QString* field = key.isEmpty() ? nullptr : fieldFor(m, key);
        if (!field)
            continue;
        any = true;
        if (key.compare(u"BodyText", Qt::CaseInsensitive) != 0) {
            *field = lines.value(i + 1);
            ++i;
            continue;
        }
        // The body may span lines: everything up to the next known key.
        qsizetype j = i + 1;
        while (j < lines.size()) {
            const QString next = sectionKey(lines[j]);
            if (!next.isEmpty() && fieldFor(m, next))
                break;
            ++j;
        }
        QStringList body = lines.mid(i + 1, j - i - 1);
        if (j == lines.size() && !body.isEmpty() && body.last().isEmpty())
            body.removeLast(); // the file's final line end
        *field = body.join(QStringLiteral("\r\n"));
        i = j - 1;
    }
    if (!any)
        return std::nullopt;
    return m;
}

bool copyWhole(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    return out.open(QIODevice::WriteOnly) && out.write(in.readAll()) >= 0 && out.commit();
}

} // namespace

QByteArray FormatDefaultMessage(const DefaultMessageFields& m) {
    QString out = QStringLiteral("<Message><Version>") + escaped(m.Version) + QStringLiteral("</Version><Header>\r\n");
    for (QLatin1String tag : kHeaderTags) {
        DefaultMessageFields copy = m;
        out += QStringLiteral("<") + tag + QStringLiteral(">") + escaped(*fieldFor(copy, QString(tag))) +
               QStringLiteral("</") + tag + QStringLiteral(">\r\n");
    }
    out += QStringLiteral("</Header><BodyText>") + escaped(m.BodyText) + QStringLiteral("</BodyText></Message>");
    return out.toLatin1();
}

QByteArray FormatOlderDefaultMessage(const DefaultMessageFields& m) {
    QString out;
    for (QLatin1String tag : kHeaderTags) {
        DefaultMessageFields copy = m;
        out += QStringLiteral("[") + tag + QStringLiteral("]\r\n") + *fieldFor(copy, QString(tag)) +
               QStringLiteral("\r\n");
    }
    out += QStringLiteral("[BodyText]\r\n") + m.BodyText + QStringLiteral("\r\n");
    return out.toLatin1();
}

std::optional<DefaultMessageFields> ParseDefaultMessage(const QByteArray& bytes) {
    const QString text = QString::fromLatin1(bytes);
    if (text.startsWith(u'['))
        return parseOlder(text);
    return parseTagged(text);
}

QString DefaultMessageFileName(int number) {
    return QStringLiteral("DefaultMsg%1.txt").arg(number);
}

void cDefaultMessage::Init(const QString& folder) {
    m_folder = folder;
    if (!m_folder.isEmpty() && !m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
    m_fields = {};
}

QString cDefaultMessage::path(int number) const {
    return m_folder + DefaultMessageFileName(number);
}

bool cDefaultMessage::CreateMessage(int number, const DefaultMessageFields& message) {
    m_lastError.clear();
    if (number < 0 || number >= kDefaultMessageCount || m_folder.isEmpty()) {
        m_lastError = QStringLiteral("No place for default message %1.").arg(number);
        return false;
    }
    if (!QDir().mkpath(m_folder)) {
        m_lastError = QStringLiteral("The folder %1 could not be created.").arg(m_folder);
        return false;
    }
    QSaveFile file(path(number));
    if (!file.open(QIODevice::WriteOnly) || file.write(FormatDefaultMessage(message)) < 0 || !file.commit()) {
        m_lastError = file.errorString();
        return false;
    }
    m_fields = message;
    return true;
}

bool cDefaultMessage::LoadMessage(int number) {
    m_lastError.clear();
    m_fields = {};
    if (!ExistsFile(number))
        return false;
    QFile file(path(number));
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError = file.errorString();
        return false;
    }
    const auto fields = ParseDefaultMessage(file.readAll());
    if (!fields) {
        m_lastError = QStringLiteral("%1 is not a default message.").arg(DefaultMessageFileName(number));
        return false;
    }
    m_fields = *fields;
    return true;
}

bool cDefaultMessage::Delete(int number) {
    return ExistsFile(number) && QFile::remove(path(number));
}

bool cDefaultMessage::ExistsFile(int number) const {
    return number >= 0 && number < kDefaultMessageCount && !m_folder.isEmpty() && QFile::exists(path(number));
}

int cDefaultMessage::FreeNumber() const {
    for (int n = 0; n < kDefaultMessageCount; ++n)
        if (!ExistsFile(n))
            return n;
    return -1;
}

QList<int> cDefaultMessage::numbers() const {
    QList<int> out;
    for (int n = 0; n < kDefaultMessageCount; ++n)
        if (ExistsFile(n))
            out << n;
    return out;
}

int cDefaultMessage::Upgrade(const QString& oldFolder) {
    QString from = oldFolder;
    if (!from.endsWith(QLatin1Char('/')))
        from += QLatin1Char('/');
    if (m_folder.isEmpty() || QDir(from) == QDir(m_folder))
        return 0;
    int moved = 0;
    for (int n = 0; n < kDefaultMessageCount; ++n) {
        const QString source = from + DefaultMessageFileName(n);
        if (!QFile::exists(source) || ExistsFile(n))
            continue;
        if (!QDir().mkpath(m_folder))
            return moved;
        // A rename across file systems fails: copy whole, and remove the old file only once the copy is there.
        if (QFile::rename(source, path(n)) || (copyWhole(source, path(n)) && QFile::remove(source)))
            ++moved;
    }
    return moved;
}

} // namespace tessaro
