#include "shell/reading_pane.h"

#include "shell/shell_texts.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tessaro {

namespace {
// One label or value that the wrapping must not cut ("IN.1" or a date split at its dashes): no-break spaces,
// and word joiners after the punctuation where a line could otherwise end.
QString unbroken(const QString& text) {
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text.toHtmlEscaped()) {
        if (c == u' ') {
            out += QStringLiteral("&nbsp;");
            continue;
        }
        out += c;
        if (c == u'.' || c == u'-' || c == u'/' || c == u':' || c == u',')
            out += QChar(0x2060);
    }
    return out;
}
} // namespace

ReadingPane::ReadingPane(CConfiguration& config, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ReadingPane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(4);
    m_header = new QLabel(this);
    m_header->setObjectName(QStringLiteral("ReadingPaneHeader"));
    m_header->setTextFormat(Qt::RichText);
    m_header->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_header->setWordWrap(true);
    layout->addWidget(m_header);
    m_body = new QPlainTextEdit(this);
    m_body->setObjectName(QStringLiteral("ReadingPaneBody"));
    m_body->setReadOnly(true);
    m_body->setFont(MessageBodyFont(config));
    layout->addWidget(m_body, 1);
    clear();
}

void ReadingPane::showMessage(const QList<MessageWindow::Field>& fields, const QString& body) {
    // Stored values are bytes from the transceiver: escaped, never read as markup. The pairs flow as one
    // wrapped paragraph, so that the body keeps most of the pane.
    QStringList pairs;
    m_headerText.clear();
    for (const MessageWindow::Field& f : fields) {
        if (f.value.trimmed().isEmpty())
            continue;
        pairs << QStringLiteral("<b>") + unbroken(f.label) + QStringLiteral("</b>&nbsp;") + unbroken(f.value);
        m_headerText += f.label + u' ' + f.value + u'\n';
    }
    const QString html = pairs.join(QStringLiteral(" &nbsp;&nbsp; "));
    m_header->setText(html);
    m_header->show();
    m_body->setPlainText(body);
}

void ReadingPane::clear() {
    m_headerText.clear();
    m_header->clear();
    m_header->hide();
    m_body->clear();
    // Set here rather than once: the operator may have chosen another language since.
    m_body->setPlaceholderText(ShellText(9400, "Select a message to read it here."));
}

QString ReadingPane::body() const {
    return m_body->toPlainText();
}

} // namespace tessaro
