#include "reporting/remote_config.h"

#include "config/logs.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <algorithm>

namespace tessaro {

namespace {
const QLatin1String kSocid("$XYWGHJIP$");
const QLatin1String kEocid("$PIJHGWYX$");
const QLatin1String kCrLf("\r\n");
constexpr int kMarkerLength = 10;
constexpr int kHashLength = 32;

const char* const kCommandNames[] = {"SAVEHTML",  "SAVEISP",     "SAVECONTACT",  "SETDEFLES",
                                     "SETDEFISP", "GETDEBUGLOG", "GETREMCONFLOG"};

// A delimiter counts only behind an even number of backslashes.
bool isUnescaped(const QString& text, qsizetype pos) {
    int backslashes = 0;
    for (qsizetype i = pos - 1; i >= 0 && text[i] == u'\\'; --i)
        ++backslashes;
    return backslashes % 2 == 0;
}

qsizetype findUnescaped(const QString& text, QChar c, qsizetype from) {
    for (qsizetype i = text.indexOf(c, from); i >= 0; i = text.indexOf(c, i + 1))
        if (isUnescaped(text, i))
            return i;
    return -1;
}

QString unescape(QString piece) {
    piece.replace(QLatin1String("\\$"), QLatin1String("$"));
    piece.replace(QLatin1String("\\#"), QLatin1String("#"));
    piece.replace(QLatin1String("\\&"), QLatin1String("&"));
    piece.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    return piece;
}

// The parameter text between "#" and the closing "$", split at unescaped "&"; false past six pieces.
bool splitParams(const QString& text, RemoteConfigCommand& command) {
    qsizetype start = 0;
    for (;;) {
        const qsizetype amp = findUnescaped(text, u'&', start);
        const QString piece = text.mid(start, amp < 0 ? -1 : amp - start);
        if (command.ParamCount >= kRemoteConfigMaxParams)
            return false;
        command.Params[command.ParamCount++] = unescape(piece);
        if (amp < 0)
            return true;
        start = amp + 1;
    }
}
} // namespace

void cRemoteConfig::log(const QString& text) {
    if (Logging)
        Logging->Log(text);
}

bool cRemoteConfig::ExistConfig(const QString& text) {
    const qsizetype start = text.indexOf(kSocid);
    if (start < 0)
        return false;
    for (qsizetype end = text.indexOf(kEocid, start); end >= 0; end = text.indexOf(kEocid, end + 1))
        if (QStringView(text).mid(end + kMarkerLength).startsWith(kCrLf))
            return true;
    return false;
}

RemoteConfigPacket cRemoteConfig::DecodePacket(const QString& text) {
    RemoteConfigPacket packet;
    if (!ExistConfig(text)) {
        log(QStringLiteral("Error: no configuration found"));
        return packet;
    }
    log(QStringLiteral("Remote configuration packet found"));

    const auto parse = [&]() -> bool {
        const qsizetype p1 = text.indexOf(kSocid);
        if (p1 < 0) {
            log(QStringLiteral("Error: SOCID not found"));
            return false;
        }
        packet.Socid = text.mid(p1, kMarkerLength);
        const qsizetype p2 = text.indexOf(kEocid, p1);
        if (p2 < 0) {
            log(QStringLiteral("Error: EOCID not found"));
            return false;
        }
        const qsizetype q = p1 + kMarkerLength;
        if (p2 < q + kHashLength) {
            log(QStringLiteral("Error: Wrong size of remote configuration packet"));
            return false;
        }
        qsizetype pos = text.indexOf(u'$', q);
        if (pos < 0) {
            log(QStringLiteral("Error: Finding password"));
            pos = q;
        } else {
            packet.PasswordHash = text.mid(q, pos - q);
        }
        for (;;) {
            const qsizetype s = findUnescaped(text, u'$', pos);
            if (s < 0) {
                log(QStringLiteral("Error: Start of command $ missing"));
                return false;
            }
            if (s == p2)
                break;
            const qsizetype e = findUnescaped(text, u'$', s + 1);
            if (e < 0) {
                log(QStringLiteral("Error: End of command $ missing"));
                return false;
            }
            qsizetype h = findUnescaped(text, u'#', s + 1);
            const bool hasParams = h >= 0 && h < e;
            if (!hasParams)
                h = e;
            if (h > p2) {
                log(QStringLiteral("Error: Error in command"));
                return false;
            }
            RemoteConfigCommand command;
            command.Name = text.mid(s + 1, h - s - 1);
            if (hasParams && !splitParams(text.mid(h + 1, e - h - 1), command)) {
                log(QStringLiteral("Error: Error in command"));
                return false;
            }
            packet.Commands << command;
            pos = e;
        }
        const qsizetype crlf = text.indexOf(kCrLf, p2);
        if (crlf < 0) {
            log(QStringLiteral("Error: Error in EOCID"));
            return false;
        }
        packet.Eocid = text.mid(p2, crlf - p2);
        packet.Trailer = text.mid(crlf + 2);
        return true;
    };
    parse();

    if (!CheckPassword(packet.PasswordHash)) {
        log(QStringLiteral("Error: password check failed"));
        return packet;
    }
    log(QStringLiteral("Password check OK"));
    packet.PasswordOk = true;

    if (packet.Commands.isEmpty())
        log(QStringLiteral("No commands in packet"));
    for (int i = 0; i < packet.Commands.size(); ++i) {
        RemoteConfigCommand& c = packet.Commands[i];
        c.Valid = std::any_of(std::begin(kCommandNames), std::end(kCommandNames),
                              [&c](const char* name) { return c.Name == QLatin1String(name); });
        if (!c.Valid)
            log(QStringLiteral("Error: command(") + QString::number(i) + QStringLiteral(" not valid."));
    }
    log(QStringLiteral("Remote Configuration packet successfully decoded"));
    return packet;
}

QString cRemoteConfig::PasswordHashFor(const QDateTime& utcHour, const QString& password) {
    const QString input = utcHour.toString(QStringLiteral("yyyyMMddHH")) + password;
    return QString::fromLatin1(QCryptographicHash::hash(input.toLatin1(), QCryptographicHash::Md5).toHex().toUpper());
}

bool cRemoteConfig::CheckPassword(const QString& hash) {
    if (Password.isEmpty()) {
        log(QStringLiteral("Error: No password set"));
        return false;
    }
    if (!UTCDate.isValid() || !UTCTime.isValid())
        return false;
    const QDateTime hour(UTCDate, QTime(UTCTime.hour(), 0), Qt::UTC);
    return hash == PasswordHashFor(hour, Password) || hash == PasswordHashFor(hour.addSecs(-3600), Password);
}

QString ScrambleRemotePassword(const QString& clear) {
    QString out;
    for (QChar c : clear)
        out += QStringLiteral("%1").arg(255 - (c.unicode() & 0xFF), 2, 16, QLatin1Char('0')).toUpper();
    return out;
}

QString UnscrambleRemotePassword(const QString& stored) {
    QString out;
    for (qsizetype i = 0; i + 1 < stored.size(); i += 2) {
        bool ok = false;
        const int code = stored.mid(i, 2).toInt(&ok, 16);
        if (!ok)
            break;
        out += QChar(255 - code);
    }
    return out;
}

} // namespace tessaro
