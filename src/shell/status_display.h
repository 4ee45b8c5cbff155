#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace tessaro {

class CSession;

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
    bool operator==(const StatusDisplayState&) const = default;
};
StatusDisplayState ComputeStatusDisplay(const CSession& session);

// Signal level in dBHz as bars: below 30 nothing usable, every 3 dBHz one bar more, 5 from 42.
int SignalBars(int dbHz);

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
    // Compact mode shows everything on one line.
    void setCompact(bool compact);
    const StatusDisplayState& state() const { return m_state; }

private:
    void show(const StatusDisplayState& s);
    const CSession& m_session;
    StatusDisplayState m_state;
    bool m_shown = false;
    QLabel* m_type;
    QLabel* m_imn;
    QLabel* m_date;
    QLabel* m_time;
    QLabel* m_signalLabel;
    QLabel* m_linkLabel;
    QLabel* m_gpsLabel;
    QProgressBar* m_signal;
    QProgressBar* m_link;
    QProgressBar* m_gps;
};

} // namespace tessaro
