#include "shell/enid_dialog.h"

#include "egc/egc_setup_service.h"
#include "shell/shell_texts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tessaro {

namespace {

// Provider names are shown as they are: no mnemonic, no rich text.
QLabel* plainLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

ENIDForm::ENIDForm(const QList<EnidRecord>& records, EgcSetupService* service, QWidget* parent)
    : QDialog(parent), m_service(service) {
    setWindowTitle(ShellText(2319, "ENID List"));
    auto* layout = new QVBoxLayout(this);

    if (records.isEmpty()) {
        layout->addWidget(plainLabel(ShellText(2640, "No ENID's in mobile."), "EmptyLabel", this));
    } else {
        auto* heading =
            plainLabel(ShellText(2320, "Enable  Provider                                           ENID   Status"),
                       "HeadingLabel", this);
        heading->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        layout->addWidget(heading);
        auto* scroll = new QScrollArea(this);
        scroll->setWidgetResizable(true);
        auto* rows = new QWidget(scroll);
        auto* grid = new QGridLayout(rows);
        for (int i = 0; i < records.size(); ++i) {
            const EnidRecord& r = records.at(i);
            auto* check = new QCheckBox(rows);
            check->setObjectName(QStringLiteral("CheckEnabled%1").arg(i));
            check->setChecked(r.Enabled != 0);
            m_checks << check;
            grid->addWidget(check, i, 0);
            grid->addWidget(plainLabel(QString::number(i + 1), "LabelNo", rows), i, 1);
            grid->addWidget(plainLabel(r.Provider, "LabelProvider", rows), i, 2);
            grid->addWidget(plainLabel(QString::number(r.Enid), "LabelEnid", rows), i, 3);
            grid->addWidget(
                plainLabel(r.Enabled ? ShellText(5854, "Enabled") : ShellText(5855, "Disabled"), "LabelStatus", rows),
                i, 4);
        }
        grid->setColumnStretch(2, 1);
        grid->setRowStretch(int(records.size()), 1);
        scroll->setWidget(rows);
        layout->addWidget(scroll);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(ShellText(5427, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ENIDForm::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QList<bool> ENIDForm::states() const {
    QList<bool> out;
    for (const QCheckBox* c : m_checks)
        out << c->isChecked();
    return out;
}

void ENIDForm::onOk() {
    const QList<bool> s = states();
    // Without a transceiver the changes are not sent: the window stays open so they are not lost.
    if (m_service && m_service->ApplyEnidChanges(s) < 0)
        return;
    Q_EMIT applied(s);
    accept();
}

void ShowEnidListWhenReady(EgcSetupService& service, QWidget* parent) {
    QObject::connect(&service, &EgcSetupService::enidListReady, parent,
                     [&service, parent](const QList<EnidRecord>& records) {
                         auto* form = new ENIDForm(records, &service, parent);
                         form->setAttribute(Qt::WA_DeleteOnClose);
                         form->show();
                     });
}

} // namespace tessaro
