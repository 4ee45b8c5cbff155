#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tessaro {

// A check box of the set-up window as the transceiver reports it: 0 off, 1 on, anything else unknown. An
// unknown switch sends nothing, so a value the program could not read is never overwritten by a guess.
inline constexpr int kSwitchOff = 0;
inline constexpr int kSwitchOn = 1;
inline constexpr int kSwitchUnknown = 2;

// The coastal warning subjects in the order their letters are sent.
inline constexpr int kSubjectCount = 10;
inline constexpr std::array<char, kSubjectCount> kSubjectLetters = {'A', 'B', 'C', 'D', 'E', 'F', 'H', 'J', 'K', 'L'};
// The NAVAREA boxes offer "None" (0) and these area numbers.
inline constexpr int kFirstNavarea = 1;
inline constexpr int kLastNavarea = 21;
inline constexpr int kNavareaBoxes = 4;
inline constexpr int kFixedPositionRows = 5;

// One fixed-position row: degrees as typed (digits) and the hemisphere boxes ("N"/"S", "E"/"W" or empty).
struct FixedPositionRow {
    QString latDegrees;
    QString latHemisphere;
    QString lonDegrees;
    QString lonHemisphere;
    bool complete() const {
        return !latDegrees.isEmpty() && !latHemisphere.isEmpty() && !lonDegrees.isEmpty() && !lonHemisphere.isEmpty();
    }
    bool operator==(const FixedPositionRow&) const = default;
};

// Everything the EGC set-up window shows and sends.
struct EgcSetupValues {
    int egcOnly = kSwitchOff;                            // "se -e"
    int systemMessages = kSwitchOff;                     // "se -a"
    int safetyNet = kSwitchOff;                          // "se -w"
    bool addNavarea = false;                             // "se -n"
    std::array<int, kNavareaBoxes> navareas{0, 0, 0, 0}; // 0 = None
    // The transceiver takes four additional areas rather than one.
    bool support4ExtraNavAreas = false;
    QString coastalAreas;                       // letters A..Z, empty for none
    std::array<bool, kSubjectCount> subjects{}; // in kSubjectLetters order
    std::array<FixedPositionRow, kFixedPositionRows> fixedPositions;
    // The transceiver accepts "fx"; otherwise the fixed-position rows are disabled and "fx" is not sent.
    bool fixedPositionsSupported = true;
    bool operator==(const EgcSetupValues&) const = default;
};

// Reply parsers. Each changes only what its reply reports, so the three replies can be applied in turn
// to the same values; lineEnd is the shell's line end (CR LF when none was learned).
// "se": the "-e ", "-a " and "-w " switches (missing: off) and the subjects of "-y " (absent letters untouched).
void ApplyEgcSwitchesReply(const QString& reply, EgcSetupValues& values);
// "se -e": only the "-e " switch, read the same way.
void ApplyEgcOnlyReply(const QString& reply, EgcSetupValues& values);
// "se -x": the coastal warning areas; "." means none; without "value is " nothing changes.
void ApplyCoastalAreasReply(const QString& reply, EgcSetupValues& values);
// "se -sn": the spare NAVAREAs after a line that starts with "Spare Navareas:".
void ApplySpareNavareasReply(const QString& reply, const QString& lineEnd, EgcSetupValues& values);
// "fx": false when the transceiver does not know the command ("ERROR 120").
bool FixedPositionsSupportedByReply(const QString& reply);

// The stored fixed-position list (" 55,N,12,E 60,N,5,E"): what the "fx" command carries after "fx".
QString FormatFixedPositions(const std::array<FixedPositionRow, kFixedPositionRows>& rows);
std::array<FixedPositionRow, kFixedPositionRows> ParseFixedPositions(const QString& list);

// Which control a validation error points at.
struct FixedPositionError {
    int row = 0; // 0..4
    enum class Field { LatitudeDegrees, LongitudeDegrees } field = Field::LatitudeDegrees;
    QString text;
    QString title;
    bool operator==(const FixedPositionError&) const = default;
};
// The first row whose latitude is outside 0..90 or longitude outside 0..180, rows in order.
std::optional<FixedPositionError> ValidateFixedPositions(const std::array<FixedPositionRow, kFixedPositionRows>& rows);

// The commands OK sends, in order.
QStringList EgcSetupCommands(const EgcSetupValues& values);

// Input filters of the window: coastal areas keep letters, upper-cased; degree fields keep digits.
QString FilterCoastalAreas(const QString& text);
QString FilterDegrees(const QString& text);

} // namespace tessaro
