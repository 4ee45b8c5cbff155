#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <QVector>

#include <array>

namespace tessaro {

class ILog;

inline constexpr int kRemoteConfigMaxParams = 6;

struct RemoteConfigCommand {
    QString Name; // as written, not unescaped
    std::array<QString, kRemoteConfigMaxParams> Params{};
    quint8 ParamCount = 0;
    bool Valid = false;
};

struct RemoteConfigPacket {
    QString Socid;
    QString PasswordHash;
    bool PasswordOk = false;
    QVector<RemoteConfigCommand> Commands;
    QString Eocid;
    QString Trailer;
};

// The packet a shore office sends inside an ordinary message or EGC. Decoding is pure text work; every
// step and failure is written to the remote log, never shown.
class cRemoteConfig final {
public:
    QString Password; // in clear
    QDate UTCDate;    // the transceiver's UTC date and time, never the PC's
    QTime UTCTime;
    ILog* Logging = nullptr;

    // The text holds the start marker and, at or after it, the end marker followed by CR LF.
    static bool ExistConfig(const QString& text);
    RemoteConfigPacket DecodePacket(const QString& text);
    bool CheckPassword(const QString& hash);

    // The 32 upper-case hex digits of the MD5 over "yyyyMMddhh" + password (8-bit codes).
    static QString PasswordHashFor(const QDateTime& utcHour, const QString& password);

private:
    void log(const QString& text);
};

// "Remote Password" as stored: each character's code complemented and written as two upper-case hex digits.
QString ScrambleRemotePassword(const QString& clear);
QString UnscrambleRemotePassword(const QString& stored);

} // namespace tessaro
