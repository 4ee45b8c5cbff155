#pragma once

#include "messaging/les_lists.h"
#include "messaging/provider_list.h"

#include <QDialog>

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace tessaro {

class LesListService;

// A yes/no question answered later, so no window runs a nested event loop; tests pre-answer it.
using AskFunction = std::function<void(const QString& text, const QString& title, std::function<void(bool)> answer)>;

// The e-mail service providers: the list on the left, the 17 fields of the chosen provider on the right,
// and New Provider, Delete Provider, Load Default and Add. Every change is saved to isp.dat at once.
class EmailServicesForm final : public QDialog {
    Q_OBJECT
public:
    explicit EmailServicesForm(LesListService& service, QWidget* parent = nullptr);

    void setAsker(AskFunction ask) { m_ask = std::move(ask); }
    // The field editor of a field number 1..17.
    QLineEdit* fieldEdit(int field) const { return m_fields.at(size_t(field - 1)); }
    QListWidget* providerList() const { return m_list; }
    QPushButton* newButton() const { return m_new; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* loadDefaultButton() const { return m_loadDefault; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* saveButton() const { return m_save; }
    // The last problem shown (empty when the last action went through).
    QString problemText() const;

    void EmailServicesFormInit();
    void EmailServicesFormClear();
    void ProviderDataClear();
    void ProviderNameDataClear();
    void ProviderDataEnable(bool on);
    void ProviderNameDataEnable(bool on);

private:
    void showProvider(int row);
    ServiceProvider enteredProvider() const;
    void onNew();
    void onDelete();
    void onLoadDefault();
    void onAdd();
    void onSave();
    void showProblem(const QString& text);
    void ask(const QString& text, const QString& title, std::function<void()> onYes);

    LesListService& m_service;
    AskFunction m_ask;
    QListWidget* m_list;
    std::array<QLineEdit*, ServiceProvider::kFieldCount> m_fields{};
    QLabel* m_problem;
    QPushButton* m_new;
    QPushButton* m_delete;
    QPushButton* m_loadDefault;
    QPushButton* m_add;
    QPushButton* m_save;
};

// The LES lists of the four oceans, one tab each: number and name per row, ticks that mark rows for
// Delete, and fields to add an LES or change the selected one.
class LesListForm final : public QDialog {
    Q_OBJECT
public:
    explicit LesListForm(LesListService& service, QWidget* parent = nullptr);

    void setAsker(AskFunction ask) { m_ask = std::move(ask); }
    QTabWidget* tabs() const { return m_tabs; }
    QListWidget* list(int ocean) const { return m_lists.at(size_t(ocean)); }
    QLineEdit* idEdit() const { return m_id; }
    QLineEdit* nameEdit() const { return m_name; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* changeButton() const { return m_change; }
    QPushButton* deleteButton() const { return m_delete; }
    QString problemText() const;

    // Fills an ocean's list from its file.
    void LoadLes(int ocean);
    void DeleteMarkedLES(int ocean);

private:
    int ocean() const;
    void showProblem(const QString& text);

    LesListService& m_service;
    AskFunction m_ask;
    QTabWidget* m_tabs;
    std::array<QListWidget*, 4> m_lists{};
    QLineEdit* m_id;
    QLineEdit* m_name;
    QLabel* m_problem;
    QPushButton* m_add;
    QPushButton* m_change;
    QPushButton* m_delete;
};

// The default LES of each ocean, chosen by name from the ocean's list ("000" for none); OK stores them.
class DefaultLesForm final : public QDialog {
    Q_OBJECT
public:
    explicit DefaultLesForm(LesListService& service, QWidget* parent = nullptr);
    QComboBox* box(int ocean) const { return m_boxes.at(size_t(ocean)); }
    void apply();

private:
    LesListService& m_service;
    std::array<QComboBox*, 4> m_boxes{};
};

// The default e-mail service provider, with its LES in each ocean; OK stores it.
class DefaultProviderForm final : public QDialog {
    Q_OBJECT
public:
    explicit DefaultProviderForm(LesListService& service, QWidget* parent = nullptr);
    QComboBox* box() const { return m_box; }
    QLabel* lesLabel() const { return m_les; }
    void apply();

private:
    void showLes();

    LesListService& m_service;
    QComboBox* m_box;
    QLabel* m_les;
};

// The services of one LES as the transceiver reports them ("status -n").
class LesServicesForm final : public QDialog {
    Q_OBJECT
public:
    explicit LesServicesForm(LesListService& service, QWidget* parent = nullptr);
    QComboBox* lesBox() const { return m_les; }
    QPushButton* askButton() const { return m_ask; }
    QPlainTextEdit* text() const { return m_text; }

private:
    LesListService& m_service;
    QComboBox* m_les;
    QPushButton* m_ask;
    QPlainTextEdit* m_text;
};

// The windows of the lists, for the menus: each opens modeless and is deleted when closed.
enum class LesWindow { LesList, Providers, DefaultLes, DefaultProvider, Services };
QDialog* OpenLesWindow(LesWindow which, LesListService& service, QWidget* parent);

// Fills a combo box with the LESs of an ocean as "id name" with the identifier as item data, and selects
// current (added when the list lacks it); nothing is selected when current is empty.
void FillLesBox(QComboBox* box, const QVector<LesTableEntry>& entries, const QString& current);

} // namespace tessaro
