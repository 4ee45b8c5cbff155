#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QString>

#include <optional>

namespace tessaro::sim {

enum class LineEnd { Lf, CrLf, CrCrLf };

QByteArray lineEndBytes(LineEnd lineEnd);
std::optional<LineEnd> parseLineEnd(const QString& text);
QString lineEndName(LineEnd lineEnd);

// "can0" .. "can2" -> the main prompt "can0:/$ " .. "can2:/$ "; empty when the name is unknown.
QByteArray promptFor(const QString& name);

// "HOST:PORT" or ":PORT" or "PORT"; the host defaults to loopback so nothing is exposed by accident.
bool parseHostPort(const QString& text, QHostAddress* host, quint16* port);

struct SimOptions {
    LineEnd lineEnd = LineEnd::CrLf;
    QByteArray prompt = "can0:/$ ";
    int baud = 0; // 0: unpaced; otherwise 10 bits a byte
    QString model = QStringLiteral("larch-c");
    bool egcOnly = false;
    quint32 seed = 1;
    bool chunked = true;               // replies are written in several pieces
    int chunkDelayMs = 15;             // real milliseconds between the pieces of a reply
    int uploadTimeoutMs = 10000;       // simulated silence after which a short upload body is given up
    std::optional<QDateTime> startUtc; // unset: the PC's present time
    bool realTime = true;              // simulated time follows the real clock; tests step it instead
};

} // namespace tessaro::sim
