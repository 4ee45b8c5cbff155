#include "shell/message_window.h"

#include "config/configuration.h"
#include "config/text_util.h"
#include "messaging/outbox.h"
#include "shell/shell_texts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace tessaro {

QString ReadMessageBody(const QString& folder, const QString& fileName) {
    const QString name = fileName.trimmed();
    QFile f(folder + name);
    if (!IsPlainFileName(name) || !f.open(QIODevice::ReadOnly))
        return MissingBodyText(name, QStringLiteral("\n"));
    QString text = QString::fromLatin1(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

int MessageFontSize(CConfiguration& config) {
    const qint64 stored =
        Val(config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("MsgFontSize"), QString()));
    if (stored > 0 && stored <= 400)
        return int(stored);
    return QApplication::font().pointSize();
}

QFont MessageBodyFont(CConfiguration& config) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const int size = MessageFontSize(config);
    if (size > 0)
        font.setPointSize(size);
    return font;
}

MessageWindow::MessageWindow(CConfiguration& config, const QString& caption, const QList<Field>& fields,
                             const QString& body, QWidget* parent)
    : QDialog(parent) {
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const Field& f : fields) {
        // The main window's labels end in a colon already; the printout carries one.
        QString label = f.label;
        if (label.endsWith(QLatin1Char(':')))
            label.chop(1);
        m_header += label + QStringLiteral(": ") + f.value + QStringLiteral("\r\n");
        auto* value = new QLabel(f.value.toHtmlEscaped(), this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(f.label, value);
    }
    layout->addLayout(form);
    m_body = new QPlainTextEdit(this);
    m_body->setReadOnly(true);
    m_body->setFont(MessageBodyFont(config));
    m_body->setPlainText(body);
    layout->addWidget(m_body, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(ShellText(5301, "&Close"));
    QPushButton* print = buttons->addButton(ShellText(6904, "&Print"), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("print"));
    connect(print, &QPushButton::clicked, this, [this] { Q_EMIT printRequested(printText()); });
    // Ctrl+P as in the main window; the button keeps its Alt+P.
    connect(new QShortcut(QKeySequence::Print, this), &QShortcut::activated, print, &QPushButton::click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    resize(640, 520);
}

QString MessageWindow::printText() const {
    QString text = body();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return m_header + QStringLiteral("\r\n") + text;
}

QString MessageWindow::body() const {
    return m_body->toPlainText();
}

} // namespace tessaro
