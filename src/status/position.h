#pragma once

#include <QString>

#include <optional>

namespace tessaro {

// The last position as the editor insertions, the forms server and the distress parts read it.
struct PositionRecord {
    bool Valid = false;
    quint8 LatDegrees = 0, LatMinutes = 0, LatFraction = 0;
    bool South = false;
    quint8 LonDegrees = 0, LonMinutes = 0, LonFraction = 0;
    bool West = false;
    qint16 Course = 0;
    qint16 Speed = 0;
    QString Time; // time of position, as the transceiver wrote it

    bool operator==(const PositionRecord&) const = default;
};

// The eight blank-separated pieces of a position text: degrees, minutes, fraction, hemisphere, for the
// latitude then the longitude. Anything else (another count, a number that is not an unsigned byte) is
// not a position.
struct PositionPieces {
    quint8 latDegrees = 0, latMinutes = 0, latFraction = 0;
    bool south = false;
    quint8 lonDegrees = 0, lonMinutes = 0, lonFraction = 0;
    bool west = false;
};
std::optional<PositionPieces> SplitPosition(const QString& position);

// Applies SetPos's rules to a record: a text that is not a position clears it (ResetPos); a non-numeric
// course or speed keeps the stored value.
void ApplyPosition(PositionRecord& record, const QString& position, const QString& course, const QString& time,
                   const QString& speed, bool valid);

// The labelled values of a "se -p" reply; valid unless the reply says "Not Valid".
struct PositionReply {
    QString position, course, time, speed;
    bool valid = true;
};
PositionReply ParsePosition(const QString& reply);

// The GPS status block of a "ru -g" reply (without the echo and the prompt, ending with the speed line
// when there is one), line ends normalised to CR LF.
QString ParseGpsStatus(const QString& reply);

// The position as messages and forms carry it: "55,40.12N , 12,5.30E". The minute fraction is hundredths of
// a minute and keeps its two digits, since "40.5" would move the ship half a nautical mile.
QString PositionCommaText(const PositionRecord& p);

} // namespace tessaro
