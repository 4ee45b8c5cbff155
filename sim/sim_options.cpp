#include "sim_options.h"

namespace tessaro::sim {

QByteArray lineEndBytes(LineEnd lineEnd) {
    switch (lineEnd) {
    case LineEnd::Lf:
        return QByteArray("\n");
    case LineEnd::CrLf:
        return QByteArray("\r\n");
    case LineEnd::CrCrLf:
        return QByteArray("\r\r\n");
    }
    return QByteArray("\r\n");
}

std::optional<LineEnd> parseLineEnd(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == u"lf")
        return LineEnd::Lf;
    if (t == u"crlf")
        return LineEnd::CrLf;
    if (t == u"crcrlf")
        return LineEnd::CrCrLf;
    return std::nullopt;
}

QString lineEndName(LineEnd lineEnd) {
    switch (lineEnd) {
    case LineEnd::Lf:
        return QStringLiteral("lf");
    case LineEnd::CrLf:
        return QStringLiteral("crlf");
    case LineEnd::CrCrLf:
        return QStringLiteral("crcrlf");
    }
    return QStringLiteral("crlf");
}

QByteArray promptFor(const QString& name) {
    const QString t = name.trimmed().toLower();
    if (t == u"can0" || t == u"can1" || t == u"can2")
        return t.toLatin1() + ":/$ ";
    return {};
}

bool parseHostPort(const QString& text, QHostAddress* host, quint16* port) {
    QString hostText = QStringLiteral("127.0.0.1");
    QString portText = text.trimmed();
    const qsizetype colon = portText.lastIndexOf(u':');
    if (colon >= 0) {
        if (colon > 0)
            hostText = portText.left(colon);
        portText = portText.mid(colon + 1);
    }
    if (hostText.startsWith(u'[') && hostText.endsWith(u']'))
        hostText = hostText.mid(1, hostText.size() - 2);
    bool ok = false;
    const uint value = portText.toUInt(&ok);
    if (!ok || value > 65535)
        return false;
    QHostAddress address;
    if (hostText.compare(u"localhost", Qt::CaseInsensitive) == 0)
        address = QHostAddress(QHostAddress::LocalHost);
    else if (!address.setAddress(hostText))
        return false;
    *host = address;
    *port = static_cast<quint16>(value);
    return true;
}

} // namespace tessaro::sim
