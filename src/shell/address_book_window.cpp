#include "shell/address_book_window.h"

#include "messaging/message_store.h"
#include "messaging/message_submission.h"
#include "shell/message_editor.h"
#include "shell/shell_texts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace tessaro {

namespace {
enum Column { NameColumn = 0, TypeColumn, AddressColumn };

QMessageBox* openBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                     const char* objectName) {
    auto* box = new QMessageBox(icon, title, text, QMessageBox::NoButton, parent);
    box->setObjectName(QLatin1String(objectName));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    return box;
}
} // namespace

QString AddressCardLabel(int type) {
    switch (type) {
    case EMail:
        return ShellText(6321, "E-Mail Address:");
    case Telex:
        return ShellText(6322, "Telex No.:");
    case Fax:
        return ShellText(6323, "Telefax No.:");
    case InmC:
        return ShellText(6324, "Inmarsat-C Mobile No.:");
    case PSTN:
        return ShellText(6325, "Telephone No.:");
    case SAC:
        return ShellText(6326, "Special Access Code Service:");
    case DNID:
        return ShellText(6327, "DNID No.:");
    case X25:
        return ShellText(6328, "X.25 No.:");
    case SMS:
        return ShellText(6329, "SMS Mobile phone number:");
    default:
        return {};
    }
}

AddressCardDialog::AddressCardDialog(const AddressBookEntry& entry, QVector<AddressBookEntry> book, int editing,
                                     QWidget* parent)
    : QDialog(parent), m_book(std::move(book)), m_editing(editing) {
    setObjectName(QStringLiteral("AddressCard"));
    setWindowTitle(ShellText(6313, "Address book entry"));
    auto* form = new QFormLayout;
    m_name = new QLineEdit(entry.Name, this);
    m_type = new QComboBox(this);
    for (int t = 0; t < kMessageTypeCount; ++t)
        m_type->addItem(MessageTypeDisplayName(t), t);
    m_type->setCurrentIndex(entry.Type < kMessageTypeCount ? entry.Type : 0);
    m_presentation = new QComboBox(this);
    m_presentation->addItem(ShellText(6317, "5 bit"), 0);
    m_presentation->addItem(ShellText(6318, "7 bit"), 1);
    m_presentation->addItem(ShellText(6319, "8 bit"), 2);
    m_presentation->setCurrentIndex(entry.Presentation >= 0 && entry.Presentation <= 2 ? entry.Presentation : 0);
    m_addressLabel = new QLabel(this);
    m_address = new QLineEdit(entry.Address, this);
    m_addressLabel->setBuddy(m_address);
    m_extra = new QLineEdit(entry.Extra, this);
    form->addRow(ShellText(6314, "Name:"), m_name);
    form->addRow(ShellText(6315, "Type:"), m_type);
    form->addRow(ShellText(6316, "Presentation:"), m_presentation);
    form->addRow(m_addressLabel, m_address);
    form->addRow(ShellText(6320, "Member / prefix:"), m_extra);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &AddressCardDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_type, &QComboBox::currentIndexChanged, this, &AddressCardDialog::typeChanged);
    typeChanged();
}

void AddressCardDialog::typeChanged() {
    const int type = m_type->currentData().toInt();
    m_addressLabel->setText(AddressCardLabel(type));
    // Every Inmarsat-C number starts with an ocean code; "580" (any ocean) is the usual one.
    if (type == InmC && m_address->text().trimmed().isEmpty())
        m_address->setText(QStringLiteral("580"));
}

AddressBookEntry AddressCardDialog::entry() const {
    AddressBookEntry e;
    e.Name = m_name->text().trimmed();
    e.Type = quint8(m_type->currentData().toInt());
    e.Presentation = qint16(m_presentation->currentData().toInt());
    e.Address = m_address->text().trimmed();
    e.Extra = m_extra->text().trimmed();
    return e;
}

void AddressCardDialog::accept() {
    const AddressCardCheck check = ValidateAddressCard(entry(), m_book, m_editing);
    if (check.ok) {
        QDialog::accept();
        return;
    }
    QLineEdit* field = check.nameField ? m_name : m_address;
    if (check.mayContinue) {
        m_box = openBox(this, QMessageBox::Question, check.title, check.message, "AddressCardQuestion");
        QPushButton* yes = m_box->addButton(ShellText(5010, "&Yes"), QMessageBox::YesRole);
        QPushButton* no = m_box->addButton(ShellText(5011, "&No"), QMessageBox::NoRole);
        m_box->setDefaultButton(no);
        m_box->setEscapeButton(no);
        connect(m_box, &QMessageBox::buttonClicked, this, [this, yes, field](QAbstractButton* b) {
            m_box = nullptr;
            if (b == yes)
                QDialog::accept();
            else
                field->setFocus();
        });
    } else {
        m_box = openBox(this, QMessageBox::Warning, check.title, check.message, "AddressCardFailure");
        m_box->addButton(QMessageBox::Ok);
        connect(m_box, &QMessageBox::finished, this, [this, field] {
            m_box = nullptr;
            field->setFocus();
        });
    }
    m_box->open();
}

void AddressBookModel::setEntries(const QVector<AddressBookEntry>& entries) {
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

QVariant AddressBookModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_entries.size() || role != Qt::DisplayRole)
        return {};
    const AddressBookEntry& e = m_entries[index.row()];
    switch (index.column()) {
    case NameColumn:
        return e.Name;
    case TypeColumn:
        return MessageTypeDisplayName(e.Type);
    case AddressColumn:
        return e.Extra.isEmpty() ? e.Address : e.Address + QStringLiteral(" / ") + e.Extra;
    default:
        return {};
    }
}

QVariant AddressBookModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return ShellText(6310, "Name");
    case TypeColumn:
        return ShellText(5152, "Type");
    case AddressColumn:
        return ShellText(5425, "Address");
    default:
        return {};
    }
}

AddressBookForm::AddressBookForm(CConfiguration& config, QWidget* parent)
    : QDialog(parent), m_book(StoreFolderPath(config, kAddressBookKey)) {
    setObjectName(QStringLiteral("AddressBookForm"));
    setWindowTitle(ShellText(6301, "Address Book"));
    auto* layout = new QVBoxLayout(this);
    auto* searchRow = new QHBoxLayout;
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(ShellText(6339, "Type to find names and addresses"));
    m_search->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(ShellText(6302, "&Search:"), this);
    searchLabel->setBuddy(m_search);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    layout->addLayout(searchRow);

    m_model = new AddressBookModel(this);
    m_filter = new QSortFilterProxyModel(this);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filter->setFilterKeyColumn(-1);
    m_filter->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_view = new QTableView(this);
    m_view->setModel(m_filter);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(NameColumn, Qt::AscendingOrder);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_view, 1);

    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(ShellText(6303, "&New..."), this);
    auto* properties = new QPushButton(ShellText(6304, "&Properties..."), this);
    auto* remove = new QPushButton(ShellText(6305, "&Delete"), this);
    buttons->addWidget(add);
    buttons->addWidget(properties);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    const std::pair<int, QString> picks[] = {
        {FieldTo, ShellText(6306, "T&o")}, {FieldCc, ShellText(6307, "&Cc")}, {FieldBcc, ShellText(6308, "&Bcc")}};
    for (const auto& [field, text] : picks) {
        auto* b = new QPushButton(text, this);
        connect(b, &QPushButton::clicked, this, [this, field = field] { pick(field); });
        buttons->addWidget(b);
        m_pickButtons << b;
    }
    auto* close = new QPushButton(ShellText(6309, "Close"), this);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_search, &QLineEdit::textChanged, m_filter, &QSortFilterProxyModel::setFilterFixedString);
    connect(add, &QPushButton::clicked, this, [this] { newEntry(); });
    connect(properties, &QPushButton::clicked, this, &AddressBookForm::showProperties);
    connect(remove, &QPushButton::clicked, this, &AddressBookForm::deleteSelected);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_view, &QTableView::doubleClicked, this, &AddressBookForm::showProperties);
    setPickingEnabled(false);
    reload();
    resize(600, 420);
}

void AddressBookForm::reload() {
    m_book.Load();
    m_model->setEntries(m_book.entries());
}

QStringList AddressBookForm::shownNames() const {
    QStringList names;
    for (int row = 0; row < m_filter->rowCount(); ++row)
        names << m_filter->index(row, NameColumn).data().toString();
    return names;
}

bool AddressBookForm::selectName(const QString& name) {
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        if (m_filter->index(row, NameColumn).data().toString() == name) {
            m_view->selectionModel()->select(m_filter->index(row, NameColumn),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            m_view->setCurrentIndex(m_filter->index(row, NameColumn));
            return true;
        }
    }
    return false;
}

QStringList AddressBookForm::selectedNames() const {
    QStringList names;
    for (const QModelIndex& i : m_view->selectionModel()->selectedRows(NameColumn))
        names << i.data().toString();
    return names;
}

void AddressBookForm::setPickingEnabled(bool enabled) {
    for (QPushButton* b : m_pickButtons)
        b->setEnabled(enabled);
}

void AddressBookForm::pick(int field) {
    const QStringList names = selectedNames();
    if (!names.isEmpty())
        Q_EMIT namesPicked(field, names);
}

void AddressBookForm::newEntry(const AddressBookEntry& preset) {
    if (m_card)
        return m_card->raise();
    reload();
    m_card = new AddressCardDialog(preset, m_book.entries(), -1, this);
    m_card->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_card, &QDialog::accepted, this, [this, card = m_card] {
        const AddressBookEntry e = card->entry();
        store({}, &e);
    });
    connect(m_card, &QDialog::finished, this, [this] { m_card = nullptr; });
    m_card->open();
}

void AddressBookForm::showProperties() {
    const QStringList names = selectedNames();
    if (names.isEmpty() || m_card)
        return;
    reload();
    const int index = m_book.find(names.first());
    if (index < 0)
        return;
    const QString original = m_book.entries()[index].Name;
    m_card = new AddressCardDialog(m_book.entries()[index], m_book.entries(), index, this);
    m_card->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_card, &QDialog::accepted, this, [this, card = m_card, original] {
        const AddressBookEntry e = card->entry();
        store(original, &e);
    });
    connect(m_card, &QDialog::finished, this, [this] { m_card = nullptr; });
    m_card->open();
}

void AddressBookForm::deleteSelected() {
    const QStringList names = selectedNames();
    if (names.isEmpty())
        return;
    const QString name = names.first();
    m_box = openBox(this, QMessageBox::Question, ShellText(6332, "Delete entry"),
                    ShellText(6331, "Delete the entry '%0' from the address book?").replace(QLatin1String("%0"), name),
                    "AddressBookDeleteQuestion");
    QPushButton* yes = m_box->addButton(ShellText(5010, "&Yes"), QMessageBox::YesRole);
    QPushButton* no = m_box->addButton(ShellText(5011, "&No"), QMessageBox::NoRole);
    m_box->setDefaultButton(no);
    m_box->setEscapeButton(no);
    connect(m_box, &QMessageBox::buttonClicked, this, [this, yes, name](QAbstractButton* b) {
        m_box = nullptr;
        if (b == yes)
            store(name, nullptr);
    });
    m_box->open();
}

void AddressBookForm::store(const QString& original, const AddressBookEntry* replacement) {
    reload();
    QVector<AddressBookEntry> entries = m_book.entries();
    const int at = original.isEmpty() ? -1 : m_book.find(original);
    if (replacement && at >= 0)
        entries[at] = *replacement;
    else if (replacement)
        entries << *replacement;
    else if (at >= 0)
        entries.removeAt(at);
    m_book.setEntries(entries);
    if (!m_book.Save()) {
        reload();
        showFailure(ShellText(6333, "The address book could not be saved; it is unchanged."));
        return;
    }
    m_model->setEntries(m_book.entries());
    if (replacement)
        selectName(replacement->Name);
    Q_EMIT bookChanged();
}

void AddressBookForm::showFailure(const QString& text) {
    m_box = openBox(this, QMessageBox::Warning, ShellText(6301, "Address Book"), text, "AddressBookFailure");
    m_box->addButton(QMessageBox::Ok);
    connect(m_box, &QMessageBox::finished, this, [this] { m_box = nullptr; });
    m_box->open();
}

AddressBookForm* ShowAddressBook(CConfiguration& config, QWidget* parent, MessageEditor* editor) {
    auto* form = parent->findChild<AddressBookForm*>(QStringLiteral("AddressBookForm"), Qt::FindDirectChildrenOnly);
    if (!form) {
        form = new AddressBookForm(config, parent);
        form->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (editor) {
        form->setPickingEnabled(true);
        QObject::connect(form, &AddressBookForm::namesPicked, editor, &MessageEditor::addNames, Qt::UniqueConnection);
        // Once the editor is gone there is nothing to put names into.
        QObject::connect(editor, &QObject::destroyed, form, [form] { form->setPickingEnabled(false); });
    }
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

} // namespace tessaro
