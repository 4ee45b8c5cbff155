#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QWidget>

#include <array>

class QLabel;
class QProgressBar;

namespace tessaro {

class CSession;
struct NightSettings;

// How a value of the status panel stands: green normal, amber degraded, red lost. Neutral values
// (a count, a protocol word) carry no judgement and keep the window's own colours.
enum class StatusLevel { Neutral, Normal, Degraded, Lost };

// One labelled line of the status panel. The text alone must say what the colour says.
struct StatusRow {
    QString label;
    QString value;
    StatusLevel level = StatusLevel::Neutral;
    QString hint; // tool tip: the value in a sentence
    bool operator==(const StatusRow&) const = default;
};

enum StatusRowId { RowLogin, RowOcean, RowChannel, RowProtocol, RowSignal, RowGps, RowPosition, RowUtc, RowPending };
inline constexpr int kStatusRowCount = RowPending + 1;

// What the panel needs beyond the session.
struct StatusDisplayInputs {
    QDateTime nowUtc;         // the PC's UTC time, for the age of a position while the transceiver time is unknown
    int pendingOutgoing = -1; // messages not sent yet; -1 while the outbox is not read
    bool linkWasUp = false;   // the transceiver answered earlier in this run: a silent link is then "lost"
};

// What the status display shows, computed from the session alone.
struct StatusDisplayState {
    QString mobileType; // "Mobile type: " + name
    QString imn;        // "IMN: " + number, or "<unknown>"
    QString date;       // transceiver UTC date "yyyy-mm-dd", "-" while unknown
    QString time;       // "hh:nn UTC"
    int signalBars = 0; // 0..5
    int linkBars = 0;   // 0 no transceiver, 1 answering, 2 synchronised, 3 logged in
    int gpsBars = 0;    // 0 no position, 3 valid position
    // What the bars mean in words (their tool tips), for an operator who does not know the bars yet.
    QString signalHint;
    QString linkHint;
    QString gpsHint;
    std::array<StatusRow, kStatusRowCount> rows;
    bool operator==(const StatusDisplayState&) const = default;
};
StatusDisplayState ComputeStatusDisplay(const CSession& session, const StatusDisplayInputs& inputs = {});

// Signal level in dBHz as bars: below 30 nothing usable, every 3 dBHz one bar more, 5 from 42.
int SignalBars(int dbHz);

// Minutes from the time of position ("hh:mm", as the transceiver writes it, maybe followed by "UTC") to
// the reference time of day, across midnight; -1 when either is unknown.
int PositionAgeMinutes(const QString& timeOfPosition, const QDateTime& referenceUtc);

// Background and text colour of a value at a level, day or night; an invalid background for Neutral.
struct LevelColours {
    QColor background;
    QColor text;
};
LevelColours ColoursForLevel(StatusLevel level, const NightSettings& night);

// Texts of the position and system-information windows.
QString PositionWindowText(const CSession& session);
QString SystemInformationText(const CSession& session);

// The status panel of the main window; refresh() runs on every GUITimer tick and repaints only changes.
class StatusDisplay final : public QWidget {
    Q_OBJECT
public:
    explicit StatusDisplay(const CSession& session, QWidget* parent = nullptr);
    void refresh();
    void retranslate();
    // Compact mode shows the essentials only.
    void setCompact(bool compact);
    // Values beyond the session; the next refresh shows them.
    void setInputs(const StatusDisplayInputs& inputs);
    void setNight(const NightSettings& night);
    const StatusDisplayState& state() const { return m_state; }
    // The value label of a row (tests and the screenshot check read it).
    QLabel* valueLabel(StatusRowId row) const { return m_values[size_t(row)]; }

private:
    void show(const StatusDisplayState& s);
    const CSession& m_session;
    StatusDisplayInputs m_inputs;
    StatusDisplayState m_state;
    bool m_shown = false;
    bool m_nightOn = false;
    int m_nightDim = 0;
    QLabel* m_type;
    QLabel* m_imn;
    std::array<QLabel*, kStatusRowCount> m_labels{};
    std::array<QLabel*, kStatusRowCount> m_values{};
    QProgressBar* m_signal;
};

} // namespace tessaro
