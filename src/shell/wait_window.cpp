#include "shell/wait_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tessaro {

WaitWindow::WaitWindow(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowTitleHint) {
    setModal(false);
    setWindowTitle(QStringLiteral("Tessaro"));
    auto* layout = new QVBoxLayout(this);
    m_label = new QLabel(this);
    m_label->setMinimumWidth(320);
    m_label->setAlignment(Qt::AlignCenter);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 10);
    m_bar->setTextVisible(false);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
}

void WaitWindow::setText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_label->setText(shown);
    if (text.isEmpty()) {
        hide();
    } else {
        m_bar->setValue(0);
        show();
        raise();
    }
}

void WaitWindow::setStep(int step) {
    m_bar->setValue(std::clamp(step, 0, 10));
}

QString WaitWindow::text() const {
    return isVisible() ? m_label->text() : QString();
}

} // namespace tessaro
