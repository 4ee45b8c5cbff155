#include "shell/screenshot_director.h"

#include "link/terminal.h"
#include "shell/alert_window.h"
#include "shell/egc_model.h"
#include "shell/egc_view.h"
#include "shell/inbox_model.h"
#include "shell/mailbox_view.h"
#include "shell/main_form.h"
#include "shell/night_mode.h"
#include "status/session.h"
#include "status/status_module.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cstdio>

namespace tessaro {

namespace {
constexpr int kTickMs = 500;
constexpr int kReadyTicks = 120; // give up waiting for a logged-in inbox after a minute
enum Step { WaitReady, Alarm, EgcList, Editor, Night, Done };
constexpr int kTitleHeight = 26;
} // namespace

ScreenshotDirector::ScreenshotDirector(const QString& folder, MainForm& form, CSession& session, StatusModule& status,
                                       CTerminal& terminal, QObject* parent)
    : QObject(parent), m_folder(folder), m_form(form), m_session(session), m_status(status), m_terminal(terminal) {
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &ScreenshotDirector::tick);
}

void ScreenshotDirector::start() {
    QDir().mkpath(m_folder);
    m_form.nightMode().setOn(false);
    m_form.setGeometry(0, 0, kWidth, kHeight);
    m_timer.start();
}

bool ScreenshotDirector::save(const QPixmap& picture, const QString& name) {
    const QString path = QDir(m_folder).filePath(name);
    // Highest compression: the pictures live in the repository.
    const bool ok = !picture.isNull() && picture.save(path, "PNG", 0);
    std::printf("screenshot: %s %s (%dx%d)\n", ok ? "wrote" : "could not write", qPrintable(path), picture.width(),
                picture.height());
    std::fflush(stdout);
    return ok;
}

bool ScreenshotDirector::grab(QWidget& widget, const QString& name) {
    return save(widget.grab(), name);
}

bool ScreenshotDirector::grabScreen(QWidget& window, const QString& name) {
    QScreen* screen = QGuiApplication::primaryScreen();
    QPixmap shot = screen ? screen->grabWindow(0, 0, 0, kWidth, kHeight) : QPixmap();
    if (shot.isNull())
        return grab(window, name);
    // The virtual X server has no window manager: the picture gets the frame and caption one would draw,
    // so that the window stands out from the main window and says what it is.
    const QRect r = window.geometry();
    QPainter p(&shot);
    const QRect title(r.left() - 1, r.top() - kTitleHeight, r.width() + 2, kTitleHeight);
    p.fillRect(title, QColor(0x3A, 0x3F, 0x47));
    p.setPen(QColor(0x3A, 0x3F, 0x47));
    p.drawRect(r.adjusted(-1, -1, 0, 0));
    QFont f = window.font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(title.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft, window.windowTitle());
    p.end();
    return save(shot, name);
}

void ScreenshotDirector::placeOverMainWindow(QWidget& window) {
    window.move((kWidth - window.width()) / 2, std::max(kTitleHeight + 4, (kHeight - window.height()) / 2));
    window.raise();
}

void ScreenshotDirector::next() {
    ++m_step;
    m_stepTicks = 0;
}

void ScreenshotDirector::tick() {
    ++m_ticks;
    ++m_stepTicks;
    switch (m_step) {
    case WaitReady: {
        const bool ready = m_session.LoggedIn() && m_form.inboxModel().rowCount() > 0 &&
                           m_form.egcModel().rowCount() > 0 && m_session.SystemTimeSet() &&
                           m_session.Position().Valid && !m_session.ProcessingMsgs() && !m_session.ProcessingEgcs();
        if (!ready && m_stepTicks < kReadyTicks)
            return;
        if (!ready)
            std::printf("screenshot: not logged in with messages after %d s; taking the pictures anyway\n",
                        kReadyTicks * kTickMs / 1000);
        m_form.refreshStatusPanel();
        m_form.mailboxTabs().setCurrentIndex(MainForm::kInboxTab);
        m_form.inboxView().selectRow(0); // the reading pane shows a message, as on a working day
        grab(m_form, QStringLiteral("main_window_day.png"));
        // The distress message of the review scenario raises the alarm window over the main window; it is
        // taken at the next tick, once the X server has drawn it in its place.
        if (AlertWindow* alert = m_form.alertWindow(); alert && alert->isVisible())
            placeOverMainWindow(*alert);
        else
            std::printf("screenshot: no alarm window is up\n");
        next();
        return;
    }
    case Alarm:
        if (AlertWindow* alert = m_form.alertWindow(); alert && alert->isVisible()) {
            grabScreen(*alert, QStringLiteral("alarm_window.png"));
            alert->hide();
        }
        m_form.mailboxTabs().setCurrentIndex(MainForm::kEgcTab);
        m_form.egcView().selectRow(0);
        next();
        return;
    case EgcList:
        grab(m_form, QStringLiteral("egc_view.png"));
        m_form.mailboxTabs().setCurrentIndex(MainForm::kInboxTab);
        m_form.newMessage();
        if (MessageEditor* e = m_form.editor()) {
            e->addRecipient({FieldTo, EMail, QStringLiteral("operations@example.com")});
            e->addRecipient({FieldCc, Telex, QStringLiteral("58123456")});
            e->setSubject(QStringLiteral("Noon report"));
            e->setBody(QStringLiteral("Position 55 40N 012 35E, course 270, speed 12 kn.\nETA Rotterdam 0600 UTC."));
            placeOverMainWindow(*e);
        }
        next();
        return;
    case Editor:
        if (MessageEditor* e = m_form.editor()) {
            grabScreen(*e, QStringLiteral("message_editor.png"));
            e->close();
        }
        m_form.nightMode().setOn(true);
        next();
        return;
    case Night:
        grab(m_form, QStringLiteral("main_window_night.png"));
        m_form.nightMode().setOn(false);
        next();
        return;
    default:
        m_timer.stop();
        m_terminal.finishShutDown();
        return;
    }
}

} // namespace tessaro
