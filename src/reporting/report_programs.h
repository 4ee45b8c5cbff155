#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tessaro {

inline constexpr int kProgramSlots = 4;
inline constexpr int kOceans = 4; // West, East, Pacific, Indian

// One DNID a program reports into: LES (three digits), DNID and member number as the listing shows them.
struct ProgramConnection {
    QString les;
    QString dnid;
    QString member;
    bool operator==(const ProgramConnection&) const = default;
};

struct SlotButtons {
    bool newProgram = false;
    bool start = false;
    bool stop = false;
    bool remove = false;
    bool operator==(const SlotButtons&) const = default;
};

// One slot of the transceiver's program listing.
struct ProgramSlot {
    QString PrgType;   // "1" closed, "2" local, "3" remote; empty when the listing lacks the line
    QString PrgStatus; // "1" none, "2" started, "3" stopped
    QString kind;      // "PU-", "ADS-" or empty
    std::array<std::optional<ProgramConnection>, kOceans> connections; // by ocean region
    SlotButtons buttons;
};

struct ProgramListing {
    enum class Outcome { Ok, NotSupported, NoHeader };
    Outcome outcome = Outcome::NoHeader;
    std::array<ProgramSlot, kProgramSlots> slots;
};

// Reads the reply to "pg -d": the four lines after the "Connection" header.
ProgramListing ParseProgramListing(const QString& reply, const QString& lineEnd);
// The slot buttons for a type and status, by the rules applied in order.
SlotButtons ProgramSlotButtons(const QString& prgType, const QString& prgStatus);
// "Closed", "Local", "Remote" for the type code; "None", "Started", "Stopped" for the status code.
QString ProgramTypeWord(const QString& prgType);
QString ProgramStatusWord(const QString& prgStatus);
// The lowest closed slot, or -1.
int FreeProgramSlot(const ProgramListing& listing);

// The text of a reply to "pg -d n" from behind the echoed line up to the prompt.
QString ProgramStatusText(const QString& reply, const QString& lineEnd, const QString& prompt);

// The DNIDs of an "st -d" block as fixed-width choice entries (name 25, LES 3, DNID 5, member 3), one list per
// ocean region by LES number (0-99 West ... 300-399 Indian); other LES numbers are not offered.
std::array<QStringList, kOceans> DnidChoices(const QString& block, const QString& lineEnd);

// What the programming window holds when OK is pressed. A choice is an entry of DnidChoices or empty.
struct ProgramDefinition {
    std::array<QString, kOceans> choices;
    QString startHour;
    QString startMinute;
    QString intervalHour;
    QString intervalMinute;
    bool immediately = false;
};

// Hours and minutes as the transceiver counts time: units of 8.64 s, rounded.
int TimeUnits(int hours, int minutes);
// A time field outside 0..max or not a number becomes "00".
QString CheckedTimeField(const QString& text, int max);

struct ProgramCommands {
    QStringList commands;
    ProgramDefinition checked; // the definition with its time fields checked
    bool noDnid = false;       // no DNID chosen: nothing to send
};
ProgramCommands BuildProgramCommands(int slot, const ProgramDefinition& definition);

} // namespace tessaro
