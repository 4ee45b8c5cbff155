#include "shell/message_editor.h"

#include "messaging/message_store.h"
#include "shell/address_book_window.h"
#include "shell/message_window.h"
#include "shell/shell_texts.h"

#include <QColor>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tessaro {

namespace {
enum Column { FieldColumn = 0, TypeColumn, AddressColumn };
constexpr int kAliasRole = Qt::UserRole + 1;
} // namespace

MessageEditor::MessageEditor(CConfiguration& config, QWidget* parent) : QWidget(parent, Qt::Window), m_config(config) {
    setWindowTitle(ShellText(5420, "New message"));
    auto* layout = new QVBoxLayout(this);

    // One line to type a destination: field, type, address, Add.
    auto* entry = new QHBoxLayout;
    m_field = new QComboBox(this);
    for (int f = 0; f < kRecipientFieldCount; ++f)
        m_field->addItem(RecipientFieldName(f), f);
    m_type = new QComboBox(this);
    for (int t = 0; t < kMessageTypeCount; ++t)
        m_type->addItem(MessageTypeDisplayName(t), t);
    m_address = new QLineEdit(this);
    m_address->setPlaceholderText(ShellText(6340, "Address-book names or addresses, separated by ';'"));
    auto* add = m_add = new QPushButton(ShellText(5422, "&Add"), this);
    auto* remove = m_remove = new QPushButton(ShellText(5423, "&Remove"), this);
    entry->addWidget(m_field);
    entry->addWidget(m_type);
    entry->addWidget(m_address, 1);
    entry->addWidget(add);
    entry->addWidget(remove);
    layout->addLayout(entry);
    auto* bookRow = new QHBoxLayout;
    auto* book = new QPushButton(ShellText(6336, "Address &Book..."), this);
    auto* toBook = new QPushButton(ShellText(6337, "Add to address boo&k"), this);
    bookRow->addWidget(book);
    bookRow->addWidget(toBook);
    bookRow->addStretch(1);
    layout->addLayout(bookRow);

    m_recipients = new QTableWidget(0, 3, this);
    m_recipients->setHorizontalHeaderLabels(
        {ShellText(5424, "Field"), ShellText(5152, "Type"), ShellText(5425, "Address")});
    m_recipients->horizontalHeader()->setStretchLastSection(true);
    m_recipients->verticalHeader()->hide();
    m_recipients->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_recipients->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_recipients->setMaximumHeight(120);
    layout->addWidget(m_recipients);

    auto* form = new QFormLayout;
    m_subject = new QLineEdit(this);
    form->addRow(ShellText(5103, "Subject") + QLatin1Char(':'), m_subject);
    layout->addLayout(form);

    m_body = new QPlainTextEdit(this);
    m_body->setFont(MessageBodyFont(config));
    layout->addWidget(m_body, 1);

    auto* buttons = new QHBoxLayout;
    // Ready-made lines for the cursor: position, times, numbers, signature and the vessel.
    auto* insert = new QPushButton(ShellText(5950, "&Insert"), this);
    auto* insertMenu = new QMenu(insert);
    const std::pair<Insertion, QString> entries[] = {
        {Insertion::Position, ShellText(5951, "&Position")},
        {Insertion::SpeedAndCourse, ShellText(5952, "Speed and &course")},
        {Insertion::UtcTime, ShellText(5953, "&UTC date and time")},
        {Insertion::LocalTime, ShellText(5954, "&Local date and time")},
        {Insertion::MobileNumber, ShellText(5955, "&Mobile number")},
        {Insertion::Signature, ShellText(5956, "&Signature")},
        {Insertion::VesselName, ShellText(5957, "Vessel &name")},
        {Insertion::VesselData, ShellText(5958, "Vessel &data")},
    };
    for (const auto& [which, text] : entries) {
        QAction* a = insertMenu->addAction(text);
        m_insertActions << a;
        connect(a, &QAction::triggered, this, [this, which = which] { Q_EMIT insertRequested(which); });
    }
    insert->setMenu(insertMenu);
    buttons->addWidget(insert);
    auto* print = new QPushButton(ShellText(6904, "&Print"), this);
    print->setObjectName(QStringLiteral("print"));
    connect(print, &QPushButton::clicked, this, [this] { Q_EMIT printRequested(body()); });
    buttons->addWidget(print);
    // Ctrl+P as in the main window; the button keeps its Alt+P.
    connect(new QShortcut(QKeySequence::Print, this), &QShortcut::activated, print, &QPushButton::click);
    auto* send = new QPushButton(ShellText(5426, "&Send..."), this);
    send->setDefault(true);
    auto* cancel = new QPushButton(ShellText(5427, "Cancel"), this);
    buttons->addStretch(1);
    buttons->addWidget(send);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &MessageEditor::addFromEntry);
    connect(m_address, &QLineEdit::returnPressed, this, &MessageEditor::addFromEntry);
    connect(remove, &QPushButton::clicked, this, &MessageEditor::removeSelected);
    connect(book, &QPushButton::clicked, this, [this] { ShowAddressBook(m_config, this, this); });
    connect(toBook, &QPushButton::clicked, this, &MessageEditor::addSelectedToAddressBook);
    connect(send, &QPushButton::clicked, this, [this] {
        // An address typed but not yet added is what the operator means to send to.
        if (!m_address->text().trimmed().isEmpty())
            addFromEntry();
        Q_EMIT sendRequested();
    });
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    resize(720, 560);
}

QVector<AddressBookEntry> MessageEditor::loadBook() const {
    // Read when used: the book may have changed in its window or by remote configuration.
    return LoadAddressBook(StoreFolderPath(m_config, kAddressBookKey));
}

void MessageEditor::addFromEntry() {
    addTyped(m_address->text());
    m_address->clear();
}

void MessageEditor::addTyped(const QString& text) {
    for (const Recipient& r :
         ResolveRecipientText(loadBook(), text, m_field->currentData().toInt(), m_type->currentData().toInt()))
        addRecipient(r);
}

void MessageEditor::addNames(int field, const QStringList& names) {
    const QVector<AddressBookEntry> book = loadBook();
    for (const QString& name : names)
        for (const Recipient& r : ResolveRecipientText(book, name, field, m_type->currentData().toInt()))
            addRecipient(r);
}

void MessageEditor::selectRecipient(int row) {
    m_recipients->selectRow(row);
}

QString MessageEditor::recipientText(int row) const {
    const QTableWidgetItem* item = m_recipients->item(row, AddressColumn);
    return item ? item->text() : QString();
}

bool MessageEditor::addSelectedToAddressBook() {
    const int row = m_recipients->currentRow();
    const QTableWidgetItem* item = m_recipients->item(row, AddressColumn);
    if (!item || !item->data(kAliasRole).toString().isEmpty())
        return false;
    AddressBookEntry preset;
    preset.Type = quint8(m_recipients->item(row, TypeColumn)->data(Qt::UserRole).toInt());
    preset.Address = item->data(Qt::UserRole).toString();
    auto* box = new QMessageBox(
        QMessageBox::Information, ShellText(6338, "Information"),
        ShellText(6335, "'%0' will be added to the address book . ").replace(QLatin1String("%0"), preset.Address),
        QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("AddToAddressBookNotice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::finished, this,
            [this, preset] { ShowAddressBook(m_config, this, this)->newEntry(preset); });
    box->open();
    return true;
}

void MessageEditor::addRecipient(const Recipient& r) {
    if (m_locked)
        return;
    const int row = m_recipients->rowCount();
    m_recipients->insertRow(row);
    auto* field = new QTableWidgetItem(RecipientFieldName(r.field));
    field->setData(Qt::UserRole, r.field);
    auto* type = new QTableWidgetItem(MessageTypeDisplayName(r.type));
    type->setData(Qt::UserRole, r.type);
    m_recipients->setItem(row, FieldColumn, field);
    m_recipients->setItem(row, TypeColumn, type);
    // A name from the book shows with its address; the address is what is sent.
    auto* address =
        new QTableWidgetItem(r.alias.isEmpty() ? r.address : r.alias + QStringLiteral(" <") + r.address + u'>');
    address->setData(Qt::UserRole, r.address);
    address->setData(kAliasRole, r.alias);
    m_recipients->setItem(row, AddressColumn, address);
}

void MessageEditor::removeSelected() {
    if (m_locked)
        return;
    const int row = m_recipients->currentRow();
    if (row >= 0)
        m_recipients->removeRow(row);
}

int MessageEditor::recipientCount() const {
    return m_recipients->rowCount();
}

void MessageEditor::setSubject(const QString& subject) {
    m_subject->setText(subject);
}

void MessageEditor::setBody(const QString& body) {
    m_body->setPlainText(body);
}

OutgoingMessage MessageEditor::message() const {
    OutgoingMessage m;
    for (int row = 0; row < m_recipients->rowCount(); ++row) {
        m.recipients.push_back({m_recipients->item(row, FieldColumn)->data(Qt::UserRole).toInt(),
                                m_recipients->item(row, TypeColumn)->data(Qt::UserRole).toInt(),
                                m_recipients->item(row, AddressColumn)->data(Qt::UserRole).toString(),
                                m_recipients->item(row, AddressColumn)->data(kAliasRole).toString()});
    }
    m.subject = m_subject->text();
    // Bodies travel with CR LF line ends.
    m.body = m_body->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    return m;
}

void MessageEditor::insertAtCursor(const QString& text) {
    QString lines = text;
    m_body->insertPlainText(lines.replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

QString MessageEditor::body() const {
    return m_body->toPlainText();
}

void MessageEditor::setRecipients(const QVector<Recipient>& recipients) {
    if (m_locked)
        return;
    m_recipients->setRowCount(0);
    for (const Recipient& r : recipients)
        addRecipient(r);
}

QString MessageEditor::toText() const {
    QString text;
    for (const Recipient& r : message().recipients)
        if (r.field == FieldTo)
            text += r.address + QLatin1Char(';');
    return text;
}

void MessageEditor::setRecipientsLocked(bool locked, const QColor& colour) {
    m_locked = locked;
    for (QWidget* w : {static_cast<QWidget*>(m_field), static_cast<QWidget*>(m_type), static_cast<QWidget*>(m_address),
                       static_cast<QWidget*>(m_add), static_cast<QWidget*>(m_remove)})
        w->setEnabled(!locked);
    m_recipients->setSelectionMode(locked ? QAbstractItemView::NoSelection : QAbstractItemView::ExtendedSelection);
    for (int row = 0; row < m_recipients->rowCount(); ++row)
        for (int column = 0; column < m_recipients->columnCount(); ++column)
            m_recipients->item(row, column)
                ->setData(Qt::ForegroundRole, colour.isValid() ? QVariant(colour) : QVariant());
}

QColor MessageEditor::recipientColour(int row) const {
    const QTableWidgetItem* item = m_recipients->item(row, AddressColumn);
    return item ? item->data(Qt::ForegroundRole).value<QColor>() : QColor();
}

void MessageEditor::setBanner(QWidget* banner) {
    // Later: the old banner's own button may be what asked for its removal.
    if (m_banner) {
        m_banner->hide();
        m_banner->deleteLater();
    }
    m_banner = banner;
    if (banner)
        static_cast<QVBoxLayout*>(layout())->insertWidget(0, banner);
}

QAction* MessageEditor::insertAction(Insertion which) const {
    return m_insertActions.value(int(which));
}

} // namespace tessaro
