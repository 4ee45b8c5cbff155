#pragma once

#include "messaging/address_book.h"

#include <QAbstractTableModel>
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace tessaro {

class CConfiguration;
class MessageEditor;

// The label of the address field on an entry card for a message type.
QString AddressCardLabel(int type);

// One entry, new or changed. OK checks the card (ValidateAddressCard); a refused card stays open with the
// message shown under its title, and an e-mail address without "@" or "." may be kept when the operator
// answers Yes to "Continue anyway?".
class AddressCardDialog final : public QDialog {
    Q_OBJECT
public:
    // book and editing (-1 for a new entry) let the card refuse a name another entry has.
    AddressCardDialog(const AddressBookEntry& entry, QVector<AddressBookEntry> book, int editing,
                      QWidget* parent = nullptr);

    AddressBookEntry entry() const;
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* addressEdit() const { return m_address; }
    QLineEdit* extraEdit() const { return m_extra; }
    QComboBox* typeBox() const { return m_type; }
    QComboBox* presentationBox() const { return m_presentation; }
    QLabel* addressLabel() const { return m_addressLabel; }
    // The box showing the last refusal (or the "Continue anyway?" question); null when none is open.
    QMessageBox* failureBox() const { return m_box; }

    void accept() override;

private:
    void typeChanged();

    QVector<AddressBookEntry> m_book;
    int m_editing;
    QLineEdit* m_name;
    QComboBox* m_type;
    QComboBox* m_presentation;
    QLabel* m_addressLabel;
    QLineEdit* m_address;
    QLineEdit* m_extra;
    QMessageBox* m_box = nullptr;
};

// The entries as a table: name, type, address.
class AddressBookModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit AddressBookModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void setEntries(const QVector<AddressBookEntry>& entries);
    const AddressBookEntry& entry(int row) const { return m_entries[row]; }
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_entries.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVector<AddressBookEntry> m_entries;
};

// The address book window: the entries filtered as the operator types in the search box, New, Properties
// and Delete, and To/Cc/Bcc that hand the selected names to a message editor. Every change is made on the
// book as it is on disk at that moment, so an entry added meanwhile (remote configuration) is kept.
class AddressBookForm final : public QDialog {
    Q_OBJECT
public:
    explicit AddressBookForm(CConfiguration& config, QWidget* parent = nullptr);

    const cAddressBook& book() const { return m_book; }
    QLineEdit* searchBox() const { return m_search; }
    QTableView* view() const { return m_view; }
    // Entries shown after the search, in display order.
    QStringList shownNames() const;
    // Selects the shown entry of that name; false when it is not shown.
    bool selectName(const QString& name);
    QStringList selectedNames() const;
    // The open entry card, or null.
    AddressCardDialog* card() const { return m_card; }
    // The open delete question or save failure, or null.
    QMessageBox* questionBox() const { return m_box; }

    // To/Cc/Bcc are usable only while an editor takes the names.
    void setPickingEnabled(bool enabled);

    void newEntry(const AddressBookEntry& preset = {});
    void showProperties();
    void deleteSelected();
    void pick(int field);

Q_SIGNALS:
    void namesPicked(int field, const QStringList& names);
    void bookChanged();

private:
    void reload();
    // Applies a change to the book as stored now: replaces the entry named original (or adds when empty),
    // or removes it when replacement is null. Tells the operator when the book could not be saved.
    void store(const QString& original, const AddressBookEntry* replacement);
    void showFailure(const QString& text);

    cAddressBook m_book;
    AddressBookModel* m_model;
    QSortFilterProxyModel* m_filter;
    QLineEdit* m_search;
    QTableView* m_view;
    QList<QPushButton*> m_pickButtons;
    AddressCardDialog* m_card = nullptr;
    QMessageBox* m_box = nullptr;
};

// Opens the address book window (one per parent), raising it when open. With an editor, To/Cc/Bcc put the
// names into that editor (until it closes).
AddressBookForm* ShowAddressBook(CConfiguration& config, QWidget* parent, MessageEditor* editor = nullptr);

} // namespace tessaro
