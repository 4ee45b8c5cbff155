#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace tessaro {

// The priority alert window: top-most and non-modal, its caption flashing and the beep repeating until the
// operator acknowledges it. One window serves every alert; a new alert while it is open replaces its text.
class AlertWindow final : public QDialog {
    Q_OBJECT
public:
    explicit AlertWindow(QWidget* parent = nullptr);

    void raiseAlert(const QString& caption, const QString& text);
    bool alarmRunning() const { return m_beep.isActive(); }
    int beepsSoFar() const { return m_beeps; }

    static constexpr int kBeepMs = 1000;
    static constexpr int kFlashMs = 500;

private:
    void acknowledge();
    void flash();

    QLabel* m_caption;
    QLabel* m_text;
    QTimer m_beep;
    QTimer m_flash;
    bool m_flashOn = false;
    int m_beeps = 0;
};

} // namespace tessaro
