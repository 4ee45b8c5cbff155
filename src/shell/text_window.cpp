#include "shell/text_window.h"

#include "shell/shell_texts.h"
#include "shell/window_geometry.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tessaro {

TextWindow::TextWindow(CConfiguration& config, const QString& settingsSection, QWidget* parent)
    : QDialog(parent), m_config(config), m_section(settingsSection) {
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    // Transceiver replies line up in columns: a fixed-pitch font keeps them readable.
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_text);
    auto* buttons = new QDialogButtonBox(this);
    m_refresh = buttons->addButton(ShellText(5300, "&Refresh"), QDialogButtonBox::ActionRole);
    QPushButton* print = buttons->addButton(ShellText(6904, "&Print"), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("print"));
    buttons->addButton(QDialogButtonBox::Close)->setText(ShellText(5301, "&Close"));
    connect(m_refresh, &QPushButton::clicked, this, &TextWindow::refreshRequested);
    connect(print, &QPushButton::clicked, this, [this] { Q_EMIT printRequested(text()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    // First opening: wide enough for the transceiver's 80-column replies with their two-column layouts.
    const int columns = QFontMetrics(m_text->font()).horizontalAdvance(QString(96, u'M'));
    resize(std::max(620, columns + 40), 460);
}

void TextWindow::setContent(const QString& text, const QString& caption) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (m_text->toPlainText() != shown)
        m_text->setPlainText(shown);
    if (!caption.isEmpty())
        setWindowTitle(caption);
}

QString TextWindow::text() const {
    return m_text->toPlainText();
}

void TextWindow::present() {
    if (!m_restored) {
        m_restored = true;
        RestoreWindowGeometry(*this, m_config, m_section);
    }
    show();
    raise();
    activateWindow();
}

void TextWindow::hideEvent(QHideEvent* event) {
    SaveWindowGeometry(*this, m_config, m_section);
    QDialog::hideEvent(event);
}

} // namespace tessaro
