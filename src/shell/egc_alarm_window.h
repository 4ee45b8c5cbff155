#pragma once

#include "shell/alarm_bell.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tessaro {

class IAlarmPlayer;

// The alarm of a stored Urgent or Distress EGC: top-most and non-modal, its big text blinking, the alarm
// sounding every second until "OK" or closing the window. A minimised or hidden window comes back.
class EgcAlarmWindow final : public QDialog {
    Q_OBJECT
public:
    explicit EgcAlarmWindow(QWidget* parent = nullptr);

    void setPlayer(IAlarmPlayer* player) { m_bell.setPlayer(player); }
    // Shows the window and starts the alarm; while it runs, a further EGC only keeps it going.
    void raiseAlarm();
    bool alarmRunning() const { return m_bell.running(); }
    AlarmBell& bell() { return m_bell; }
    // Whether the blinking "DISTRESS / URGENT EGC MESSAGE" is shown at this moment.
    bool bannerShown() const;
    QPushButton* okButton() const { return m_ok; }
    QLabel* banner() const { return m_banner; }

protected:
    void showEvent(QShowEvent* event) override;
    // Tab and Shift+Tab always land on "OK": the only thing to do here is to acknowledge.
    bool focusNextPrevChild(bool next) override;

private:
    void acknowledge();
    void flash();

    AlarmBell m_bell;
    QLabel* m_banner;
    QPushButton* m_ok;
    bool m_centred = false;
    int m_flashes = 0;
};

} // namespace tessaro
