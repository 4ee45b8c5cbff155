#pragma once

#include "shell/alarm_bell.h"

#include <QDialog>
#include <QList>
#include <QPair>

class QLabel;
class QPlainTextEdit;

namespace tessaro {

class IAlarmPlayer;

// The priority alert window: top-most and non-modal, its caption flashing and the beep repeating until the
// operator acknowledges it. One window serves every alert. Alerts that arrive before the acknowledgement are
// collected, newest first, so a second distress message in the same batch never hides the first one.
class AlertWindow final : public QDialog {
    Q_OBJECT
public:
    explicit AlertWindow(QWidget* parent = nullptr);

    // caption: the big text ("DISTRESS PRIORITY MESSAGE", ...); distress outranks urgency while both wait.
    void raiseAlert(const QString& caption, const QString& text, bool distress);

    // Not owned; the alarm sound (null: the window only flashes).
    void setPlayer(IAlarmPlayer* player) { m_bell.setPlayer(player); }
    AlarmBell& bell() { return m_bell; }
    bool alarmRunning() const { return m_bell.running(); }
    int beepsSoFar() const { return m_bell.soundsSoFar(); }
    // Alerts shown and not yet acknowledged.
    int pendingAlerts() const { return int(m_pending.size()); }
    QString captionText() const;
    QString messagesText() const;

    static constexpr int kBeepMs = AlarmBell::kPauseMs;
    static constexpr int kFlashMs = AlarmBell::kFlashMs;

private:
    void acknowledge();
    void flash();

    QLabel* m_caption;
    QLabel* m_received;
    QPlainTextEdit* m_text;
    AlarmBell m_bell;
    QList<QPair<QString, QString>> m_pending; // caption and text per alert, newest first
    bool m_distressPending = false;
    bool m_flashOn = false;
    int m_flashes = 0;
};

} // namespace tessaro
