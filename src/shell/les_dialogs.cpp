#include "shell/les_dialogs.h"

#include "messaging/les_list_service.h"
#include "shell/shell_texts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tessaro {

namespace {

// The question as a window-modal box that answers through a callback, without a nested event loop.
AskFunction boxAsker(QWidget* parent) {
    return [parent](const QString& text, const QString& title, std::function<void(bool)> answer) {
        auto* box = new QMessageBox(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QMessageBox::finished, box,
                         [answer = std::move(answer)](int result) { answer(result == QMessageBox::Yes); });
        box->open();
    };
}

QLabel* problemLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setStyleSheet(QStringLiteral("color: red"));
    label->setWordWrap(true);
    label->hide();
    return label;
}

QDialogButtonBox* closeButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->button(QDialogButtonBox::Close)->setText(ShellText(5301, "&Close"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QDialogButtonBox* okCancelButtons(QDialog* dialog, std::function<void()> apply) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(ShellText(5427, "Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, apply = std::move(apply)] {
        apply();
        dialog->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

void FillLesBox(QComboBox* box, const QVector<LesTableEntry>& entries, const QString& current) {
    box->clear();
    for (const LesTableEntry& e : entries)
        box->addItem(e.name.isEmpty() ? e.id : e.id + QLatin1Char(' ') + e.name, e.id);
    const QString wanted = current.trimmed();
    if (wanted.isEmpty()) {
        box->setCurrentIndex(-1); // nothing chosen yet: the operator picks
        return;
    }
    int index = box->findData(wanted);
    if (index < 0) {
        box->addItem(wanted, wanted);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

// --- Providers ---------------------------------------------------------------------------------------------

EmailServicesForm::EmailServicesForm(LesListService& service, QWidget* parent)
    : QDialog(parent), m_service(service), m_ask(boxAsker(this)) {
    setWindowTitle(ShellText(6420, "E-mail service providers"));
    auto* layout = new QHBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ProviderList"));
    layout->addWidget(m_list, 1);

    auto* right = new QVBoxLayout;
    auto* form = new QFormLayout;
    static const char* const kLabels[ServiceProvider::kFieldCount] = {
        "Provider name:", "West:",    "East:",           "Pacific:",      "Indian:",  "To:",        "Cc:",
        "Bcc:",           "Subject:", "Message Prefix:", "Address Type:", "Address:", "Delimiter:", "SMS prefix:",
        "Postfix:",       "SMS SAC:", "Reserved:"};
    for (int i = 0; i < ServiceProvider::kFieldCount; ++i) {
        m_fields[size_t(i)] = new QLineEdit(this);
        m_fields[size_t(i)]->setObjectName(QStringLiteral("ProviderField%1").arg(i + 1));
        form->addRow(ShellText(6430 + i, kLabels[i]), m_fields[size_t(i)]);
    }
    for (int field = ServiceProvider::LesWest; field <= ServiceProvider::LesIndian; ++field)
        fieldEdit(field)->setMaxLength(3);
    fieldEdit(ServiceProvider::Reserved)->setReadOnly(true);
    right->addLayout(form);
    m_problem = problemLabel(this);
    right->addWidget(m_problem);

    auto* buttons = new QHBoxLayout;
    m_new = new QPushButton(ShellText(6421, "New Provider"), this);
    m_delete = new QPushButton(ShellText(6422, "Delete Provider"), this);
    m_loadDefault = new QPushButton(ShellText(6423, "Load Default"), this);
    m_add = new QPushButton(ShellText(6424, "Add"), this);
    m_save = new QPushButton(ShellText(6425, "Save"), this);
    for (QPushButton* b : {m_new, m_delete, m_loadDefault, m_add, m_save})
        buttons->addWidget(b);
    right->addLayout(buttons);
    right->addWidget(closeButtons(this));
    layout->addLayout(right, 2);

    connect(m_list, &QListWidget::currentRowChanged, this, &EmailServicesForm::showProvider);
    connect(m_new, &QPushButton::clicked, this, &EmailServicesForm::onNew);
    connect(m_delete, &QPushButton::clicked, this, &EmailServicesForm::onDelete);
    connect(m_loadDefault, &QPushButton::clicked, this, &EmailServicesForm::onLoadDefault);
    connect(m_add, &QPushButton::clicked, this, &EmailServicesForm::onAdd);
    connect(m_save, &QPushButton::clicked, this, &EmailServicesForm::onSave);
    EmailServicesFormInit();
}

QString EmailServicesForm::problemText() const {
    return m_problem->isHidden() ? QString() : m_problem->text();
}

void EmailServicesForm::showProblem(const QString& text) {
    m_problem->setText(text);
    m_problem->setVisible(!text.isEmpty());
}

void EmailServicesForm::ask(const QString& text, const QString& title, std::function<void()> onYes) {
    QPointer<EmailServicesForm> self(this);
    m_ask(text, title, [self, onYes = std::move(onYes)](bool yes) {
        if (self && yes)
            onYes();
    });
}

void EmailServicesForm::EmailServicesFormInit() {
    EmailServicesFormClear();
    if (!m_service.providersLoaded() && !m_service.reloadProviders()) {
        auto* box = new QMessageBox(QMessageBox::Critical, ShellText(6413, "Error"),
                                    ShellText(6412, "Error loading ISP list"), QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        showProblem(ShellText(6412, "Error loading ISP list"));
    }
    const QSignalBlocker block(m_list);
    for (const ServiceProvider& p : m_service.providers())
        m_list->addItem(p.name());
    if (m_list->count() > 0) {
        m_list->setCurrentRow(0);
        showProvider(0);
    }
}

void EmailServicesForm::EmailServicesFormClear() {
    const QSignalBlocker block(m_list);
    m_list->clear();
    ProviderNameDataClear();
    ProviderDataClear();
    ProviderNameDataEnable(false);
    ProviderDataEnable(false);
    m_add->setEnabled(false);
    m_save->setEnabled(false);
    m_delete->setEnabled(false);
}

void EmailServicesForm::ProviderDataClear() {
    for (int field = 2; field <= ServiceProvider::kFieldCount; ++field)
        fieldEdit(field)->clear();
}

void EmailServicesForm::ProviderNameDataClear() {
    fieldEdit(ServiceProvider::Name)->clear();
}

void EmailServicesForm::ProviderDataEnable(bool on) {
    for (int field = 2; field < ServiceProvider::kFieldCount; ++field)
        fieldEdit(field)->setEnabled(on);
}

void EmailServicesForm::ProviderNameDataEnable(bool on) {
    fieldEdit(ServiceProvider::Name)->setEnabled(on);
}

void EmailServicesForm::showProvider(int row) {
    const QVector<ServiceProvider> providers = m_service.providers();
    if (row < 0 || row >= providers.size())
        return;
    for (int field = 1; field <= ServiceProvider::kFieldCount; ++field)
        fieldEdit(field)->setText(providers[row].field(field));
    ProviderNameDataEnable(false);
    ProviderDataEnable(true);
    m_add->setEnabled(false);
    m_save->setEnabled(true);
    m_delete->setEnabled(true);
    showProblem({});
}

ServiceProvider EmailServicesForm::enteredProvider() const {
    ServiceProvider p;
    for (int field = 1; field <= ServiceProvider::kFieldCount; ++field)
        p.fields << fieldEdit(field)->text();
    return p;
}

void EmailServicesForm::onNew() {
    const QSignalBlocker block(m_list);
    m_list->setCurrentRow(-1);
    ProviderNameDataClear();
    ProviderDataClear();
    ProviderNameDataEnable(true);
    ProviderDataEnable(true);
    m_add->setEnabled(true);
    m_save->setEnabled(false);
    m_delete->setEnabled(false);
    showProblem({});
    fieldEdit(ServiceProvider::Name)->setFocus();
}

void EmailServicesForm::onAdd() {
    const ServiceProvider p = enteredProvider();
    const QString problem = m_service.addProvider(p);
    showProblem(problem);
    if (!problem.isEmpty())
        return;
    EmailServicesFormInit();
    const QList<QListWidgetItem*> found = m_list->findItems(p.name().trimmed(), Qt::MatchExactly);
    if (!found.isEmpty())
        m_list->setCurrentItem(found.first());
}

void EmailServicesForm::onSave() {
    const int row = m_list->currentRow();
    const QString problem = m_service.updateProvider(enteredProvider());
    showProblem(problem);
    if (problem.isEmpty()) {
        EmailServicesFormInit();
        m_list->setCurrentRow(row);
    }
}

void EmailServicesForm::onDelete() {
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const QString name = item->text();
    ask(ShellText(6426, "Do you want to delete the Service Provider:") + QLatin1Char(' ') + name,
        ShellText(6427, "Delete confirmation!"), [this, name] {
            const QString problem = m_service.deleteProvider(name);
            EmailServicesFormInit();
            showProblem(problem);
        });
}

void EmailServicesForm::onLoadDefault() {
    ask(ShellText(6428, "Are you sure you want to load default e-mail service providers ?") + QStringLiteral("\r\n") +
            ShellText(6429, "All other service providers will be lost."),
        ShellText(6420, "E-mail service providers"), [this] {
            const QString problem = m_service.loadDefaultProviders();
            EmailServicesFormInit();
            showProblem(problem);
        });
}

// --- LES lists ---------------------------------------------------------------------------------------------

LesListForm::LesListForm(LesListService& service, QWidget* parent)
    : QDialog(parent), m_service(service), m_ask(boxAsker(this)) {
    setWindowTitle(ShellText(6450, "LES list"));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    for (int ocean = 0; ocean < 4; ++ocean) {
        auto* list = new QListWidget(m_tabs);
        list->setObjectName(QStringLiteral("LesList%1").arg(ocean));
        m_lists[size_t(ocean)] = list;
        QString label = OceanLabel(ocean);
        label.chop(1);
        m_tabs->addTab(list, ShellText(6451 + ocean, label.toUtf8().constData()));
        connect(list, &QListWidget::currentRowChanged, this, [this, ocean](int row) {
            const QVector<LesTableEntry> entries = ReadLesTable(m_service.dataPath(), ocean);
            if (row >= 0 && row < entries.size()) {
                m_id->setText(entries[row].id);
                m_name->setText(entries[row].name);
            }
        });
        LoadLes(ocean);
    }
    const int current = m_service.currentOcean();
    if (current >= 0 && current <= 3)
        m_tabs->setCurrentIndex(current);
    layout->addWidget(m_tabs);

    auto* form = new QFormLayout;
    m_id = new QLineEdit(this);
    m_id->setMaxLength(3);
    m_name = new QLineEdit(this);
    form->addRow(ShellText(6455, "LES number:"), m_id);
    form->addRow(ShellText(6456, "Name:"), m_name);
    layout->addLayout(form);
    m_problem = problemLabel(this);
    layout->addWidget(m_problem);

    auto* buttons = new QHBoxLayout;
    m_add = new QPushButton(ShellText(6424, "Add"), this);
    m_change = new QPushButton(ShellText(6457, "Change"), this);
    m_delete = new QPushButton(ShellText(6458, "Delete marked"), this);
    for (QPushButton* b : {m_add, m_change, m_delete})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    layout->addWidget(closeButtons(this));

    connect(m_add, &QPushButton::clicked, this, [this] {
        showProblem(m_service.addLes(ocean(), {m_id->text(), m_name->text()}));
        LoadLes(ocean());
    });
    connect(m_change, &QPushButton::clicked, this, [this] {
        const int row = list(ocean())->currentRow();
        showProblem(m_service.replaceLes(ocean(), row, {m_id->text(), m_name->text()}));
        LoadLes(ocean());
    });
    connect(m_delete, &QPushButton::clicked, this, [this] {
        const int which = ocean();
        QPointer<LesListForm> self(this);
        m_ask(ShellText(6459, "Do you want to delete the marked LESs?"), ShellText(6427, "Delete confirmation!"),
              [self, which](bool yes) {
                  if (self && yes)
                      self->DeleteMarkedLES(which);
              });
    });
}

int LesListForm::ocean() const {
    return m_tabs->currentIndex();
}

QString LesListForm::problemText() const {
    return m_problem->isHidden() ? QString() : m_problem->text();
}

void LesListForm::showProblem(const QString& text) {
    m_problem->setText(text);
    m_problem->setVisible(!text.isEmpty());
}

void LesListForm::LoadLes(int ocean) {
    QListWidget* box = list(ocean);
    const QSignalBlocker block(box);
    box->clear();
    for (const LesTableEntry& e : ReadLesTable(m_service.dataPath(), ocean)) {
        auto* item = new QListWidgetItem(e.id + QStringLiteral("  ") + e.name, box);
        item->setData(Qt::UserRole, e.id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void LesListForm::DeleteMarkedLES(int ocean) {
    QList<int> rows;
    QListWidget* box = list(ocean);
    for (int row = 0; row < box->count(); ++row)
        if (box->item(row)->checkState() == Qt::Checked)
            rows << row;
    showProblem(m_service.deleteLes(ocean, rows));
    LoadLes(ocean);
}

// --- Defaults ----------------------------------------------------------------------------------------------

DefaultLesForm::DefaultLesForm(LesListService& service, QWidget* parent) : QDialog(parent), m_service(service) {
    setWindowTitle(ShellText(6460, "Default LES"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (int ocean = 0; ocean < 4; ++ocean) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("DefaultLes%1").arg(ocean));
        QVector<LesTableEntry> entries{{QStringLiteral("000"), ShellText(6461, "(none)")}};
        entries << ReadLesTable(service.dataPath(), ocean);
        FillLesBox(box, entries, service.defaultLes(ocean));
        m_boxes[size_t(ocean)] = box;
        form->addRow(ShellText(6430 + 1 + ocean, OceanLabel(ocean).toUtf8().constData()), box);
    }
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this, [this] { apply(); }));
}

void DefaultLesForm::apply() {
    for (int ocean = 0; ocean < 4; ++ocean) {
        const QString les = m_boxes[size_t(ocean)]->currentData().toString();
        if (!les.isEmpty())
            m_service.setDefaultLes(ocean, les);
    }
}

DefaultProviderForm::DefaultProviderForm(LesListService& service, QWidget* parent)
    : QDialog(parent), m_service(service) {
    setWindowTitle(ShellText(6462, "Default e-mail service provider"));
    auto* layout = new QVBoxLayout(this);
    m_box = new QComboBox(this);
    if (!service.providersLoaded())
        service.reloadProviders();
    for (const ServiceProvider& p : service.providers())
        m_box->addItem(p.name());
    const int current = m_box->findText(service.defaultProvider());
    if (current >= 0)
        m_box->setCurrentIndex(current);
    layout->addWidget(m_box);
    m_les = new QLabel(this);
    layout->addWidget(m_les);
    connect(m_box, &QComboBox::currentIndexChanged, this, &DefaultProviderForm::showLes);
    showLes();
    layout->addWidget(okCancelButtons(this, [this] { apply(); }));
}

void DefaultProviderForm::showLes() {
    const ServiceProvider* p = FindProvider(m_service.providers(), m_box->currentText());
    QStringList parts;
    for (int ocean = 0; ocean < 4; ++ocean) {
        const QString les = p ? p->les(ocean) : QString();
        parts << OceanLabel(ocean) + QLatin1Char(' ') + (les.isEmpty() ? QStringLiteral("-") : les);
    }
    m_les->setText(parts.join(QStringLiteral("   ")));
}

void DefaultProviderForm::apply() {
    if (!m_box->currentText().isEmpty())
        m_service.setDefaultProvider(m_box->currentText());
}

// --- LES services ------------------------------------------------------------------------------------------

LesServicesForm::LesServicesForm(LesListService& service, QWidget* parent) : QDialog(parent), m_service(service) {
    setWindowTitle(ShellText(6465, "LES services"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    m_les = new QComboBox(this);
    const int ocean = service.currentOcean();
    FillLesBox(m_les, service.offeredLes(ocean >= 0 && ocean <= 3 ? ocean : 0), {});
    m_les->setEditable(true);
    m_ask = new QPushButton(ShellText(6466, "Show services"), this);
    row->addWidget(m_les, 1);
    row->addWidget(m_ask);
    layout->addLayout(row);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    layout->addWidget(m_text);
    layout->addWidget(closeButtons(this));
    connect(m_ask, &QPushButton::clicked, this, [this] {
        // An entered number counts as well as a chosen one.
        const QString chosen = m_les->currentData().toString();
        const QString typed = m_les->currentText().section(u' ', 0, 0).trimmed();
        const QString les = m_les->currentIndex() >= 0 && m_les->itemText(m_les->currentIndex()) == m_les->currentText()
                                ? chosen
                                : typed;
        m_text->setPlainText(m_service.requestLesServices(les) ? ShellText(6467, "Asking the transceiver...")
                                                               : ShellText(6468, "Please enter an LES number."));
    });
    connect(&service, &LesListService::lesServicesReady, this,
            [this](const QString&, const QString& text) { m_text->setPlainText(QString(text).remove(u'\r')); });
}

QDialog* OpenLesWindow(LesWindow which, LesListService& service, QWidget* parent) {
    QDialog* dialog = nullptr;
    switch (which) {
    case LesWindow::LesList:
        dialog = new LesListForm(service, parent);
        break;
    case LesWindow::Providers:
        dialog = new EmailServicesForm(service, parent);
        break;
    case LesWindow::DefaultLes:
        dialog = new DefaultLesForm(service, parent);
        break;
    case LesWindow::DefaultProvider:
        dialog = new DefaultProviderForm(service, parent);
        break;
    case LesWindow::Services:
        dialog = new LesServicesForm(service, parent);
        break;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

} // namespace tessaro
