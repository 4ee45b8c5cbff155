#include "shell/egc_alarm_window.h"

#include "shell/screen_saver.h"
#include "shell/shell_texts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tessaro {

EgcAlarmWindow::EgcAlarmWindow(QWidget* parent) : QDialog(parent), m_bell(this) {
    setObjectName(QStringLiteral("EgcAlarmWindow"));
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle(ShellText(2278, "EGC Distress/Urgent Message received!"));

    auto* layout = new QVBoxLayout(this);
    m_banner = new QLabel(ShellText(2280, "DISTRESS / URGENT EGC MESSAGE"), this);
    m_banner->setAlignment(Qt::AlignCenter);
    QFont big = m_banner->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    m_banner->setFont(big);
    m_banner->setStyleSheet(QStringLiteral("QLabel { color: #ff0000; }"));
    // Blinking must not make the window jump: the hidden text keeps its room.
    QSizePolicy keep = m_banner->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_banner->setSizePolicy(keep);

    auto* received = new QLabel(ShellText(2255, "RECEIVED"), this);
    received->setAlignment(Qt::AlignCenter);
    QFont bold = received->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    received->setFont(bold);
    auto* reset = new QLabel(ShellText(2253, "Reset alarm using Reset/Test button on remote Alarm/Distress box or "
                                             "Distress --> Reset Alarm menu."),
                             this);
    reset->setWordWrap(true);
    reset->setAlignment(Qt::AlignCenter);

    m_ok = new QPushButton(ShellText(1906, "OK"), this);
    m_ok->setDefault(true);
    m_ok->setMinimumSize(140, 36);
    layout->addWidget(m_banner);
    layout->addWidget(received);
    layout->addWidget(reset);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    setFocusProxy(m_ok);
    resize(520, 240);

    connect(m_ok, &QPushButton::clicked, this, &EgcAlarmWindow::acknowledge);
    connect(this, &QDialog::rejected, this, &EgcAlarmWindow::acknowledge);
    connect(&m_bell, &AlarmBell::flashed, this, &EgcAlarmWindow::flash);
}

void EgcAlarmWindow::raiseAlarm() {
    if (!m_bell.running()) {
        m_flashes = 0;
        m_banner->setVisible(true);
        m_bell.start();
    }
    showNormal();
    raise();
    m_ok->setFocus();
}

bool EgcAlarmWindow::bannerShown() const {
    return m_banner->isVisibleTo(this);
}

void EgcAlarmWindow::flash() {
    if (!isVisible() || isMinimized())
        showNormal();
    // Once a second is enough to wake a screen saver; every tick would flood the session bus.
    if (m_flashes++ % 3 == 0)
        CloseScreenSaver();
    raise();
    m_banner->setVisible(!m_banner->isVisibleTo(this));
}

void EgcAlarmWindow::acknowledge() {
    m_bell.stop();
    m_banner->setVisible(true);
    hide();
}

void EgcAlarmWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

bool EgcAlarmWindow::focusNextPrevChild(bool) {
    m_ok->setFocus(Qt::TabFocusReason);
    return true;
}

} // namespace tessaro
