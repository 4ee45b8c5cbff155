#pragma once

#include <QObject>
#include <QTimer>

namespace tessaro {

class CSession;
class CTerminal;
class MainForm;
class StatusModule;

// Drives a run for review pictures (scripts/screenshot): waits until the transceiver is logged in and the
// inbox holds messages, writes PNGs of the main window, the priority alert window (when an alert is up),
// the message editor and the terminal-status window into a folder, then closes the program. Timer-driven; nothing waits
// in a loop.
class ScreenshotDirector final : public QObject {
    Q_OBJECT
public:
    ScreenshotDirector(const QString& folder, MainForm& form, CSession& session, StatusModule& status,
                       CTerminal& terminal, QObject* parent = nullptr);
    void start();

private:
    void tick();
    bool grab(QWidget& widget, const QString& name);

    QString m_folder;
    MainForm& m_form;
    CSession& m_session;
    StatusModule& m_status;
    CTerminal& m_terminal;
    QTimer m_timer;
    int m_step = 0;
    int m_ticks = 0;
    int m_stepTicks = 0;
};

} // namespace tessaro
