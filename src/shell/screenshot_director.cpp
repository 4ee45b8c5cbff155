#include "shell/screenshot_director.h"

#include "link/terminal.h"
#include "shell/alert_window.h"
#include "shell/inbox_model.h"
#include "shell/main_form.h"
#include "shell/text_window.h"
#include "status/session.h"
#include "status/status_module.h"

#include <QDir>
#include <QPixmap>

#include <cstdio>

namespace tessaro {

namespace {
constexpr int kTickMs = 500;
constexpr int kReadyTicks = 120; // give up waiting for a logged-in inbox after a minute
constexpr int kWindowTicks = 40;
} // namespace

ScreenshotDirector::ScreenshotDirector(const QString& folder, MainForm& form, CSession& session, StatusModule& status,
                                       CTerminal& terminal, QObject* parent)
    : QObject(parent), m_folder(folder), m_form(form), m_session(session), m_status(status), m_terminal(terminal) {
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &ScreenshotDirector::tick);
}

void ScreenshotDirector::start() {
    QDir().mkpath(m_folder);
    m_timer.start();
}

bool ScreenshotDirector::grab(QWidget& widget, const QString& name) {
    const QString path = QDir(m_folder).filePath(name);
    const bool ok = widget.grab().save(path);
    std::printf("screenshot: %s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    std::fflush(stdout);
    return ok;
}

void ScreenshotDirector::tick() {
    ++m_ticks;
    ++m_stepTicks;
    switch (m_step) {
    case 0: {
        const bool ready = m_session.LoggedIn() && m_form.inboxModel().rowCount() > 0 && m_session.SystemTimeSet() &&
                           !m_session.ProcessingMsgs();
        if (!ready && m_stepTicks < kReadyTicks)
            return;
        if (!ready)
            std::printf("screenshot: not logged in with messages after %d s; taking the pictures anyway\n",
                        kReadyTicks * kTickMs / 1000);
        grab(m_form, QStringLiteral("main_window.png"));
        // The distress message of the review scenario raises the alert window.
        if (AlertWindow* alert = m_form.alertWindow(); alert && alert->isVisible())
            grab(*alert, QStringLiteral("priority_alert.png"));
        m_form.newMessage();
        if (MessageEditor* e = m_form.editor()) {
            e->addRecipient({FieldTo, EMail, QStringLiteral("operations@example.com")});
            e->addRecipient({FieldCc, Telex, QStringLiteral("58123456")});
            e->setSubject(QStringLiteral("Noon report"));
            e->setBody(QStringLiteral("Position 55 40N 012 35E, course 270, speed 12 kn.\nETA Rotterdam 0600 UTC."));
        }
        m_step = 1;
        m_stepTicks = 0;
        return;
    }
    case 1:
        if (MessageEditor* e = m_form.editor()) {
            grab(*e, QStringLiteral("message_editor.png"));
            e->close();
        }
        m_status.ShowTerminalStatus();
        m_step = 2;
        m_stepTicks = 0;
        return;
    case 2: {
        TextWindow& w = m_form.terminalStatusWindow();
        if ((!w.isVisible() || w.text().isEmpty()) && m_stepTicks < kWindowTicks)
            return;
        if (m_stepTicks == kWindowTicks || !w.isVisible())
            w.present();
        m_step = 3;
        return;
    }
    default:
        grab(m_form.terminalStatusWindow(), QStringLiteral("terminal_status.png"));
        m_timer.stop();
        m_terminal.finishShutDown();
        return;
    }
}

} // namespace tessaro
