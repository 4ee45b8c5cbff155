#include "config/ini_store.h"

#include "config/text_util.h"

#include <QFile>
#include <QSaveFile>

namespace tessaro {

namespace {
const QLatin1String kSignature("[Signature]");
const QLatin1String kEndOfSignature("[End Of Signature]");
const QLatin1String kEndOfFile("[End Of File]");
const QLatin1String kCrLf("\r\n");

bool isKeyLine(const QString& trimmed) {
    return trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')) &&
           trimmed != kEndOfFile;
}
} // namespace

CIniStore::CIniStore(QString dataPath)
    : m_dataPath(std::move(dataPath)), m_path(m_dataPath + QLatin1String("Tessaro.ini")) {}

QVector<CIniStore::Entry> CIniStore::parse(const QByteArray& content) {
    // Lines end in CR LF, but a file edited by hand may use LF alone; both split the same way.
    QStringList lines = TextFromFile(content).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);

    QVector<Entry> entries;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines[i].trimmed();
        if (!isKeyLine(trimmed))
            continue;
        Entry e{trimmed, {}};
        if (trimmed == kSignature) {
            QStringList block;
            qsizetype j = i + 1;
            for (; j < lines.size() && lines[j].trimmed() != kEndOfSignature; ++j)
                block << lines[j];
            e.value = block.join(kCrLf);
            i = j; // the end marker (or the end of the file) is consumed
        } else if (i + 1 < lines.size()) {
            e.value = lines[i + 1].trimmed();
            ++i; // a value line is never a key, even when it looks like one
        }
        entries.push_back(e);
    }
    return entries;
}

QByteArray CIniStore::serialise(const QVector<Entry>& entries) {
    QString out;
    for (const Entry& e : entries) {
        out += e.key + kCrLf + e.value + kCrLf;
        if (e.key == kSignature)
            out += QString(kEndOfSignature) + kCrLf;
        out += kCrLf;
    }
    return out.toUtf8();
}

QByteArray CIniStore::defaultFile(const QString& dataPath) {
    // One row per item of the default file: key, value and, for most keys, the empty line after them.
    // clang-format off
    const QStringList lines = {
        QStringLiteral("[Version]"), QStringLiteral("1. 0. 4"),
        QStringLiteral("[Default ISP]"), QString(),
        QStringLiteral("[AS IS Accepted?]"), QStringLiteral("NO"), QString(),
        QStringLiteral("[COM port]"), QStringLiteral("1"), QString(),
        QStringLiteral("[COM Settings]"), QStringLiteral("115200,n,8,1"), QString(),
        QStringLiteral("[HOST Interface]"), QStringLiteral("LAN"), QString(),
        QStringLiteral("[working dir]"), dataPath, QString(),
        QStringLiteral("[egc]"), dataPath + QStringLiteral("egc/"), QString(),
        QStringLiteral("[inbox]"), dataPath + QStringLiteral("inbox/"), QString(),
        QStringLiteral("[outbox]"), dataPath + QStringLiteral("sent items/"), QString(),
        QStringLiteral("[addressbook]"), dataPath + QStringLiteral("addressbook/"), QString(),
        QStringLiteral("[Default LES East]"), QStringLiteral("000"), QString(),
        QStringLiteral("[Default LES Pacific]"), QStringLiteral("000"), QString(),
        QStringLiteral("[Default LES Indian]"), QStringLiteral("000"), QString(),
        QStringLiteral("[Default LES West]"), QStringLiteral("000"), QString(),
        QStringLiteral("[Preferred Ocean]"), QStringLiteral("None"), QString(),
        QStringLiteral("[Signature]"), QStringLiteral("[End Of Signature]"), QString(),
        QStringLiteral("[End Of File]"),
    };
    // clang-format on
    return (lines.join(kCrLf) + kCrLf).toUtf8();
}

void CIniStore::LoadIni() {
    QFile file(m_path);
    if (!file.exists()) {
        QSaveFile out(m_path);
        if (out.open(QIODevice::WriteOnly)) {
            out.write(defaultFile(m_dataPath));
            out.commit();
        }
    }
    m_loaded = true;
    m_entries.clear();
    if (!file.open(QIODevice::ReadOnly)) {
        // Without a readable file every lookup yields "", and the defaults the callers give apply.
        if (!file.exists())
            m_entries = parse(defaultFile(m_dataPath));
        return;
    }
    m_entries = parse(file.readAll());
}

void CIniStore::ensureLoaded() {
    if (!m_loaded)
        LoadIni();
}

QString CIniStore::GetIni(const QString& key) {
    ensureLoaded();
    for (const Entry& e : std::as_const(m_entries))
        if (e.key == key)
            return e.value;
    return {};
}

void CIniStore::SetIni(const QString& key, const QString& value, bool save) {
    ensureLoaded();
    bool found = false;
    for (Entry& e : m_entries) {
        if (e.key == key) {
            e.value = value;
            found = true;
            break;
        }
    }
    if (!found)
        m_entries.push_back({key, value});
    if (save)
        SaveIni();
}

bool CIniStore::SaveIni() {
    if (!m_loaded)
        return false;
    // Written whole or not at all: a crash mid-save never leaves a truncated configuration.
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(serialise(m_entries));
    return out.commit();
}

} // namespace tessaro
