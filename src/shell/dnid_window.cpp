#include "shell/dnid_window.h"

#include "reporting/reporting_module.h"
#include "shell/message_reporting_dialog.h"
#include "shell/password_prompt.h"
#include "shell/report_program_windows.h"
#include "shell/shell_texts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tessaro {

namespace {

// Provider names are shown as they are: an "&" stays visible, nothing is read as rich text.
QLabel* plainLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setObjectName(name);
    return label;
}

} // namespace

DNIDForm::DNIDForm(const QList<DnidRecord>& records, ReportingModule* module, QWidget* parent)
    : QDialog(parent), m_module(module) {
    setWindowTitle(ShellText(2269, "DNID List"));
    auto* layout = new QVBoxLayout(this);

    if (records.isEmpty()) {
        layout->addWidget(plainLabel(ShellText(2633, "No DNID's in mobile."), QStringLiteral("EmptyLabel"), this));
    } else {
        auto* scroll = new QScrollArea(this);
        scroll->setWidgetResizable(true);
        auto* rows = new QWidget(scroll);
        auto* grid = new QGridLayout(rows);
        const QString headings[] = {ShellText(2879, "Provider"), ShellText(2159, "DNID"),   ShellText(306, "LES"),
                                    ShellText(2880, "Member"),   ShellText(2881, "SubAdr"), ShellText(2882, "Channel"),
                                    ShellText(2883, "Random"),   ShellText(318, "Status"),  ShellText(2884, "Enable")};
        for (int c = 0; c < 9; ++c)
            grid->addWidget(plainLabel(headings[c], QStringLiteral("Heading%1").arg(c), rows), 0, c + 1);
        for (int i = 0; i < records.size(); ++i) {
            const DnidRecord& r = records.at(i);
            const int row = i + 1;
            grid->addWidget(plainLabel(QStringLiteral("%1.").arg(row), QStringLiteral("LabelNo"), rows), row, 0);
            grid->addWidget(plainLabel(r.Provider, QStringLiteral("LabelProvider"), rows), row, 1);
            grid->addWidget(plainLabel(QString::number(r.Dnid), QStringLiteral("LabelDnid"), rows), row, 2);
            grid->addWidget(plainLabel(QString::number(r.LesId), QStringLiteral("LabelLes"), rows), row, 3);
            grid->addWidget(plainLabel(QString::number(r.Member), QStringLiteral("LabelMember"), rows), row, 4);
            grid->addWidget(plainLabel(QString::number(r.SubAddress), QStringLiteral("LabelSubAddress"), rows), row, 5);
            grid->addWidget(plainLabel(QString::number(r.Channel), QStringLiteral("LabelChannel"), rows), row, 6);
            grid->addWidget(plainLabel(QString::number(r.Random), QStringLiteral("LabelRandom"), rows), row, 7);
            grid->addWidget(plainLabel(r.enabled() ? ShellText(5854, "Enabled") : ShellText(5855, "Disabled"),
                                       QStringLiteral("LabelStatus"), rows),
                            row, 8);
            auto* check = new QCheckBox(rows);
            check->setObjectName(QStringLiteral("CheckEnabled%1").arg(i));
            check->setChecked(r.enabled());
            m_checks << check;
            grid->addWidget(check, row, 9);
        }
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(int(records.size()) + 1, 1);
        scroll->setWidget(rows);
        layout->addWidget(scroll);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(ShellText(5427, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &DNIDForm::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 300);
}

QList<bool> DNIDForm::states() const {
    QList<bool> out;
    for (const QCheckBox* c : m_checks)
        out << c->isChecked();
    return out;
}

void DNIDForm::onOk() {
    const QList<bool> s = states();
    // Without a transceiver the changes are not sent: the window stays open so they are not lost.
    if (m_module && m_module->ApplyDnidChanges(s) < 0)
        return;
    Q_EMIT applied(s);
    accept();
}

void ShowDnidListWhenReady(ReportingModule& module, QWidget* parent) {
    QObject::connect(&module, &ReportingModule::dnidListReady, parent,
                     [&module, parent](const QList<DnidRecord>& records) {
                         auto* form = new DNIDForm(records, &module, parent);
                         form->setAttribute(Qt::WA_DeleteOnClose);
                         form->show();
                     });
}

void OpenDnidListMenu(CConfiguration& config, ReportingModule& module, QWidget* parent) {
    GuardConfigAction(config, parent, [&module] { module.OpenDnidList(); });
}

void OpenMessageReportingMenu(CConfiguration& config, ReportingModule& module, QWidget* parent) {
    GuardConfigAction(config, parent, [&module] { module.OpenMessageReporting(); });
}

void OpenPositionReportsMenu(CConfiguration& config, ReportingModule& module, QWidget* parent) {
    GuardConfigAction(config, parent, [&module] { module.OpenPrograms(); });
}

void ConnectReportingWindows(ReportingModule& module, QWidget* parent) {
    ShowDnidListWhenReady(module, parent);
    ShowMessageReportingWhenReady(module, parent);
    ShowProgramWindowsWhenReady(module, parent);
}

} // namespace tessaro
