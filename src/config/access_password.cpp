#include "config/access_password.h"

#include "config/configuration.h"

namespace tessaro {

namespace {
QChar nibbleChar(int n) {
    return QChar(n < 10 ? 48 + n : 65 + n);
}
int charNibble(QChar c) {
    const int code = c.unicode();
    return code < 65 ? code - 48 : code - 65;
}
QString settingKey(AccessPassword which) {
    return which == AccessPassword::Config ? QStringLiteral("Config Password") : QStringLiteral("Transmit Password");
}
} // namespace

QString EncodeAccessPassword(const QString& password) {
    QString out;
    for (char byte : password.toLatin1()) {
        const int b = static_cast<unsigned char>(byte);
        out += nibbleChar(b >> 4);
        out += nibbleChar(b & 15);
    }
    return out;
}

QString DecodeAccessPassword(const QString& stored) {
    QByteArray bytes;
    for (qsizetype i = 0; i + 1 < stored.size(); i += 2)
        bytes += char((16 * charNibble(stored[i]) + charNibble(stored[i + 1])) & 0xFF);
    return QString::fromLatin1(bytes);
}

QString StoredAccessPassword(CConfiguration& config, AccessPassword which) {
    return DecodeAccessPassword(config.GetSettingValue(QStringLiteral("Config"), settingKey(which)));
}

bool AccessPasswordAccepts(CConfiguration& config, AccessPassword which, const QString& typed) {
    const QString stored = StoredAccessPassword(config, which);
    return stored.isEmpty() || stored == typed;
}

bool ChangeAccessPassword(CConfiguration& config, AccessPassword which, const QString& oldPassword,
                          const QString& newPassword, const QString& confirmation) {
    if (StoredAccessPassword(config, which) != oldPassword || newPassword != confirmation)
        return false;
    config.SaveSettingValue(QStringLiteral("Config"), settingKey(which), EncodeAccessPassword(newPassword));
    return true;
}

} // namespace tessaro
