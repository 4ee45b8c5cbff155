#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

namespace tessaro {

class CSession;
class CTerminal;
class MainForm;
class StatusModule;

// Drives a run for review pictures (scripts/screenshot): waits until the transceiver is logged in and the
// inbox and EGC lists hold traffic, then writes 1280x800 PNGs of the main window by day and by night, the
// priority alarm window, the EGC list and the message editor into a folder, and closes the program.
// Timer-driven; nothing waits in a loop.
class ScreenshotDirector final : public QObject {
    Q_OBJECT
public:
    ScreenshotDirector(const QString& folder, MainForm& form, CSession& session, StatusModule& status,
                       CTerminal& terminal, QObject* parent = nullptr);
    void start();

    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 800;

private:
    void tick();
    // The widget alone, or the whole screen when other windows stand over the main window.
    bool grab(QWidget& widget, const QString& name);
    bool grabScreen(QWidget& window, const QString& name);
    static void placeOverMainWindow(QWidget& window);
    bool save(const QPixmap& picture, const QString& name);
    void next();

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
