#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace tessaro {

// Index of the main window's status-line texts; SetMobileStatus(index) shows one of them.
enum MobileStatusIndex : int {
    StatusNotConnected = 0,
    StatusSendingDistress = 1,
    StatusLinkTest = 2,
    StatusConnected = 3,
    StatusLoggedOut = 4,
    StatusPending = 5,
    StatusSendingDistressTest = 6,
    StatusConfirmationRequest = 7,
    StatusLoggingIn = 8,
    StatusLoggingOut = 9,
    StatusChangingNcs = 10,
    StatusScanning = 11,
    StatusTransmission = 12,
    StatusReceiving = 13,
    StatusReceivingEgc = 14,
    StatusPositionReport = 15,
    StatusDataReport = 16,
    StatusEnhancedDataReport = 17,
    StatusProgrammedReport = 18,
    StatusTuning = 19,
    StatusSearching = 20,
    StatusWestAtlantic = 21,
    StatusEastAtlantic = 22,
    StatusIndianOcean = 23,
    StatusPacificOcean = 24,
    StatusNone = 25,
};
inline constexpr int kMobileStatusCount = 26;

// Text of a status-line index in the current language; an index out of range gives "".
QString MobileStatusText(int index);
// Resource id behind MobileStatusText(index) (a block of consecutive ids).
inline constexpr int kMobileStatusTextFirstId = 3100;

// Distress states are shown white on red so they cannot be overlooked.
bool IsAlarmStatus(int index);

// Ocean region of a station ID: the hundreds digit; 0 and IDs of 400 and above mean "none" (4).
int OceanFromStationId(int stationId);

// Status line while logged in follows the ocean; any other login value shows "Logged out".
int LoggedInStatusIndex(bool loggedIn, int ocean);

// Status line for a protocol word (already trimmed and lower-cased). "free" only shows "Tuning..."
// while the transceiver is not synchronised; words not in the table change nothing.
std::optional<int> ProtocolStatusIndex(const QString& word, bool synchronised);

// The banner the main window shows while the transceiver runs its automatic link test.
QString TestModeBannerText();

// What one "st -w" reply says. Each field is empty when its label is missing from the reply,
// so the caller leaves that value unchanged.
struct TerminalStatusReply {
    std::optional<QString> swVersion; // e.g. "1.06"
    std::optional<bool> synchronised;
    std::optional<int> tdmOrigin; // station ID
    std::optional<bool> loggedIn;
    std::optional<QString> protocol;     // as the transceiver wrote it, trimmed
    std::optional<QString> protocolWord; // trimmed and lower-cased, for the status table
    std::optional<QString> channel;      // "NCS" or the channel text
    std::optional<QString> serialNumber;
    std::optional<QString> mobileNumberText; // raw value; stored only when numeric
    std::optional<QChar> preferredOcean;     // 'E', 'W', 'I', 'P' or 'N'
    std::optional<int> tdmChannel;           // "TDM channel", when the reply carries it
    std::optional<int> signalStrength;       // "Signal strength", when the reply carries it
};

// Parses the reply to "st -w" (given without its final prompt). Labels are found case-insensitively
// anywhere in the reply; each value starts right after the first ":" following its label.
TerminalStatusReply ParseTerminalStatus(const QString& reply);

// Text of the terminal-status window and its caption.
QString TerminalStatusWindowText(const QString& reply);
QString TerminalStatusCaption(bool systemTimeSet, const QDateTime& systemTime);

} // namespace tessaro
