#include "shell/alert_window.h"

#include "config/text_util.h"
#include "shell/screen_saver.h"
#include "shell/shell_texts.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaro {

AlertWindow::AlertWindow(QWidget* parent) : QDialog(parent), m_bell(this) {
    setObjectName(QStringLiteral("AlertWindow"));
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);
    m_caption = new QLabel(this);
    m_caption->setAlignment(Qt::AlignCenter);
    QFont big = m_caption->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    m_caption->setFont(big);
    m_caption->setAutoFillBackground(true);
    m_caption->setMargin(12);
    m_received = new QLabel(this);
    m_received->setAlignment(Qt::AlignCenter);
    QFont bold = m_received->font();
    bold.setBold(true);
    m_received->setFont(bold);
    // A long message scrolls instead of pushing the button off the screen.
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    auto* ok = new QPushButton(ShellText(5710, "Acknowledge"), this);
    ok->setDefault(true);
    // A large target for a hurried hand at night.
    ok->setMinimumSize(180, 40);
    ok->setFont(bold);
    ok->setToolTip(ShellText(5712, "Stops the alarm and closes this window; the messages stay in the inbox."));
    layout->addWidget(m_caption);
    layout->addWidget(m_received);
    layout->addWidget(m_text, 1);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(560, 340);

    connect(ok, &QPushButton::clicked, this, &AlertWindow::acknowledge);
    connect(this, &QDialog::rejected, this, &AlertWindow::acknowledge);
    connect(&m_bell, &AlarmBell::flashed, this, &AlertWindow::flash);
}

void AlertWindow::raiseAlert(const QString& caption, const QString& text, bool distress) {
    if (m_pending.isEmpty())
        m_distressPending = false;
    // The big caption names the most severe alert still waiting; a later urgency never tones down a distress.
    if (distress || !m_distressPending)
        m_caption->setText(caption);
    m_distressPending = m_distressPending || distress;
    setWindowTitle(m_distressPending ? ShellText(2251, "Message with distress priority received")
                                     : ShellText(5711, "Message with urgency priority received"));

    // Stored messages keep the transceiver's CR LF; the window shows plain lines.
    QString plain = text.trimmed();
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    m_pending.prepend({caption, plain});
    m_text->setPlainText(messagesText());
    m_received->setText(m_pending.size() == 1 ? ShellText(2255, "RECEIVED")
                                              : FormatText(ShellText(5713, "%0 MESSAGES RECEIVED, NEWEST FIRST"),
                                                           {QString::number(m_pending.size())}));
    m_bell.start(); // a further alert keeps the running alarm going
    showNormal();
    raise();
    activateWindow();
}

QString AlertWindow::captionText() const {
    return m_caption->text();
}

QString AlertWindow::messagesText() const {
    if (m_pending.size() == 1)
        return m_pending.front().second; // the big caption above already names it
    QStringList entries;
    for (const auto& [caption, text] : m_pending)
        entries << caption + QLatin1Char('\n') + text;
    return entries.join(QStringLiteral("\n\n"));
}

void AlertWindow::acknowledge() {
    m_bell.stop();
    m_pending.clear();
    m_distressPending = false;
    m_flashOn = false;
    flash();
    hide();
}

void AlertWindow::flash() {
    m_flashOn = !m_flashOn && m_bell.running();
    QPalette p = m_caption->palette();
    p.setColor(QPalette::Window, m_flashOn ? QColor(Qt::red) : palette().color(QPalette::Window));
    p.setColor(QPalette::WindowText, m_flashOn ? QColor(Qt::white) : QColor(Qt::red));
    m_caption->setPalette(p);
    // Until acknowledged the alarm cannot be put out of sight: a minimised or hidden window comes back.
    if (m_bell.running() && (isMinimized() || !isVisible())) {
        showNormal();
        raise();
    }
    // Once a second, as the EGC alarm does: a screen saver must not hide the alarm.
    if (m_bell.running() && m_flashes++ % 3 == 0)
        CloseScreenSaver();
}

} // namespace tessaro
