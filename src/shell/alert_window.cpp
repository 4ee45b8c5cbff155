#include "shell/alert_window.h"

#include "shell/shell_texts.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaro {

AlertWindow::AlertWindow(QWidget* parent) : QDialog(parent)
{
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
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setTextFormat(Qt::PlainText);
    auto* ok = new QPushButton(ShellText(5710, "Acknowledge"), this);
    ok->setDefault(true);
    layout->addWidget(m_caption);
    layout->addWidget(m_text, 1);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(520, 280);

    connect(ok, &QPushButton::clicked, this, &AlertWindow::acknowledge);
    connect(this, &QDialog::rejected, this, &AlertWindow::acknowledge);
    connect(&m_beep, &QTimer::timeout, this, [this] {
        ++m_beeps;
        QApplication::beep();
    });
    connect(&m_flash, &QTimer::timeout, this, &AlertWindow::flash);
}

void AlertWindow::raiseAlert(const QString& caption, const QString& text)
{
    setWindowTitle(caption);
    m_caption->setText(caption);
    m_text->setText(text);
    m_beeps = 1;
    QApplication::beep();
    m_beep.start(kBeepMs);
    m_flash.start(kFlashMs);
    show();
    raise();
    activateWindow();
}

void AlertWindow::acknowledge()
{
    m_beep.stop();
    m_flash.stop();
    m_flashOn = false;
    flash();
    hide();
}

void AlertWindow::flash()
{
    m_flashOn = !m_flashOn && m_flash.isActive();
    QPalette p = m_caption->palette();
    p.setColor(QPalette::Window, m_flashOn ? QColor(Qt::red) : palette().color(QPalette::Window));
    p.setColor(QPalette::WindowText, m_flashOn ? QColor(Qt::white) : QColor(Qt::red));
    m_caption->setPalette(p);
}

} // namespace tessaro
