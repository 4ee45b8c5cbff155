#include "shell/routing_dialog.h"

#include "shell/password_prompt.h"
#include "shell/shell_texts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tessaro {

namespace {

constexpr std::array<RoutingBit, 3> kBits{RouteDisk, RouteLocalPrinter, RouteRemotePrinter};

std::optional<size_t> rowOf(int routingClass) {
    for (size_t i = 0; i < kRoutingClasses.size(); ++i)
        if (kRoutingClasses[i] == routingClass)
            return i;
    return std::nullopt;
}

} // namespace

RoutingForm::RoutingForm(RoutingService& service, QWidget* parent) : QDialog(parent), m_service(service) {
    setWindowTitle(ShellText(6600, "Routing"));
    auto* layout = new QVBoxLayout(this);

    auto* routing = new QGroupBox(ShellText(6601, "Routing of received traffic"), this);
    auto* grid = new QGridLayout(routing);
    grid->addWidget(new QLabel(ShellText(6602, "Disk          Local Printer   Remote Printer"), routing), 0, 1, 1, 3);
    for (size_t i = 0; i < kRoutingClasses.size(); ++i) {
        const int row = int(i) + 1;
        grid->addWidget(new QLabel(RoutingCaption(kRoutingClasses[i]), routing), row, 0);
        for (size_t b = 0; b < kBits.size(); ++b) {
            auto* box = new QCheckBox(routing);
            m_rows[i].boxes[b] = box;
            grid->addWidget(box, row, int(b) + 1);
            connect(box, &QCheckBox::toggled, this, [this, i] {
                if (!m_filling)
                    m_rows[i].touched = true;
            });
        }
    }
    layout->addWidget(routing);

    auto* printer = new QGroupBox(ShellText(6603, "Local Printer Setting:"), this);
    auto* printerRow = new QHBoxLayout(printer);
    m_printerGroup = new QButtonGroup(this);
    m_printerPc = new QRadioButton(QStringLiteral("PC"), printer);
    m_printerModem = new QRadioButton(QStringLiteral("Modem"), printer);
    m_printerOff = new QRadioButton(QStringLiteral("OFF"), printer);
    for (QRadioButton* b : {m_printerPc, m_printerModem, m_printerOff}) {
        m_printerGroup->addButton(b);
        printerRow->addWidget(b);
    }
    layout->addWidget(printer);

    auto* folders = new QGroupBox(ShellText(6604, "Folders"), this);
    auto* folderGrid = new QGridLayout(folders);
    const QString captions[] = {ShellText(6605, "Inbox:"), ShellText(6606, "Sent Items:"), ShellText(6607, "EGC:")};
    for (int i = 0; i < 3; ++i) {
        m_folders[size_t(i)] = new QLineEdit(folders);
        auto* browse = new QPushButton(QStringLiteral("..."), folders);
        folderGrid->addWidget(new QLabel(captions[i], folders), i, 0);
        folderGrid->addWidget(m_folders[size_t(i)], i, 1);
        folderGrid->addWidget(browse, i, 2);
        QLineEdit* field = m_folders[size_t(i)];
        connect(browse, &QPushButton::clicked, this, [this, field] { chooseFolder(field); });
    }
    layout->addWidget(folders);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { submit(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    showTable(service.routing());
    if (const auto p = service.localPrinter())
        setLocalPrinter(*p);
    const StoreFolders stored = service.storeFolders();
    m_folders[0]->setText(stored.inbox);
    m_folders[1]->setText(stored.outbox);
    m_folders[2]->setText(stored.egc);
    connect(&service, &RoutingService::routingRead, this, &RoutingForm::showTable);
    connect(&service, &RoutingService::localPrinterRead, this, &RoutingForm::setLocalPrinter);
}

QCheckBox* RoutingForm::box(int routingClass, RoutingBit bit) const {
    const auto row = rowOf(routingClass);
    for (size_t b = 0; row && b < kBits.size(); ++b)
        if (kBits[b] == bit)
            return m_rows[*row].boxes[b];
    return nullptr;
}

std::optional<int> RoutingForm::Route(int routingClass) const {
    const auto i = rowOf(routingClass);
    if (!i)
        return std::nullopt;
    const Row& row = m_rows[*i];
    if (!row.read && !row.touched)
        return std::nullopt;
    int value = row.read.value_or(0) & ~kRoutingBits;
    for (size_t b = 0; b < kBits.size(); ++b)
        if (row.boxes[b]->isChecked())
            value |= kBits[b];
    return value;
}

void RoutingForm::setRoute(int routingClass, int value) {
    const auto i = rowOf(routingClass);
    if (!i)
        return;
    m_filling = true;
    Row& row = m_rows[*i];
    row.read = value;
    row.touched = false;
    for (size_t b = 0; b < kBits.size(); ++b)
        row.boxes[b]->setChecked((value & kBits[b]) != 0);
    m_filling = false;
}

void RoutingForm::showTable(const RoutingTable& table) {
    for (int routingClass : kRoutingClasses)
        if (const auto v = table.value(routingClass))
            setRoute(routingClass, *v);
}

bool RoutingForm::LocalPrinterPCValue() const {
    return m_printerPc->isChecked();
}
bool RoutingForm::LocalPrinterModemValue() const {
    return m_printerModem->isChecked();
}
bool RoutingForm::LocalPrinterOFFValue() const {
    return m_printerOff->isChecked();
}

std::optional<LocalPrinter> RoutingForm::localPrinter() const {
    if (m_printerPc->isChecked())
        return LocalPrinter::PC;
    if (m_printerModem->isChecked())
        return LocalPrinter::Modem;
    if (m_printerOff->isChecked())
        return LocalPrinter::Off;
    return std::nullopt;
}

void RoutingForm::setLocalPrinter(LocalPrinter printer) {
    (printer == LocalPrinter::PC    ? m_printerPc
     : printer == LocalPrinter::Off ? m_printerOff
                                    : m_printerModem)
        ->setChecked(true);
}

RoutingTable RoutingForm::table() const {
    RoutingTable t;
    for (int routingClass : kRoutingClasses)
        if (const auto v = Route(routingClass))
            t.set(routingClass, *v);
    return t;
}

StoreFolders RoutingForm::folders() const {
    return {m_folders[0]->text(), m_folders[1]->text(), m_folders[2]->text()};
}

RoutingApplyResult RoutingForm::submit() {
    const RoutingApplyResult result = m_service.ApplyRouting(table(), localPrinter(), folders());
    accept();
    return result;
}

void RoutingForm::chooseFolder(QLineEdit* field) {
    // Opened with open(), not exec(): the command cycle keeps running while the operator browses.
    auto* dialog = new QFileDialog(this, ShellText(6608, "Choose a folder"), field->text());
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, field, [field](const QString& folder) { field->setText(folder); });
    dialog->open();
}

void OpenRoutingForm(CConfiguration& config, RoutingService& service, QWidget* parent) {
    GuardConfigAction(config, parent, [&service, parent] {
        service.OpenRouting();
        auto* form = new RoutingForm(service, parent);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->show();
    });
}

} // namespace tessaro
