#include "shell/message_reporting_dialog.h"

#include "reporting/reporting_module.h"
#include "shell/shell_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tessaro {

namespace {

// Lists and ranges of numbers, "*" for every.
const QRegularExpression kSchedule(QStringLiteral("[0-9,*-]*"));
// Digits and letters, starting with a digit.
const QRegularExpression kPassword(QStringLiteral("([0-9][0-9A-Za-z]*)?"));

} // namespace

QLineEdit* MessageReportingForm::scheduleField(const QString& name, const QString& text, const QString& tip) {
    auto* field = new QLineEdit(text, this);
    field->setObjectName(name);
    field->setValidator(new QRegularExpressionValidator(kSchedule, field));
    field->setToolTip(tip);
    return field;
}

MessageReportingForm::MessageReportingForm(const MessageReportingSettings& settings,
                                           const ReportDestinations& destinations, ReportingModule* module,
                                           QWidget* parent)
    : QDialog(parent), m_module(module), m_read(settings) {
    setWindowTitle(ShellText(2395, "Message Reporting"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    m_function = new QCheckBox(ShellText(2365, "Message reporting active"), this);
    m_function->setObjectName(QStringLiteral("rsFunctionCheck"));
    m_function->setChecked(settings.function);
    m_function->setToolTip(
        ShellText(2366, "Send position reports on this schedule through the default LES of each ocean region"));
    form->addRow(m_function);

    m_month = scheduleField(QStringLiteral("MonthText"), settings.month,
                            ShellText(2367, "Months 1-12: a list (1,6), a range (3-5) or * for every month"));
    m_dayOfMonth = scheduleField(QStringLiteral("DayOfMonthText"), settings.dayOfMonth,
                                 ShellText(2368, "Days of the month 1-31: a list, a range or * for every day"));
    m_dayOfWeek =
        scheduleField(QStringLiteral("DayOfWeekText"), settings.dayOfWeek,
                      ShellText(2369, "Days of the week 0-6 (0 = Sunday): a list, a range or * for every day"));
    m_hour = scheduleField(QStringLiteral("HourOfDayText"), settings.hour,
                           ShellText(2370, "Hours 0-23: a list, a range or * for every hour"));
    m_minute = scheduleField(QStringLiteral("MinuteOfDayText"), settings.minute,
                             ShellText(2371, "Minutes 0-59: a list, a range or * for every minute"));
    form->addRow(ShellText(2372, "Month:"), m_month);
    form->addRow(ShellText(2373, "Day of month:"), m_dayOfMonth);
    form->addRow(ShellText(2374, "Day of week:"), m_dayOfWeek);
    form->addRow(ShellText(2375, "Hour:"), m_hour);
    form->addRow(ShellText(2376, "Minute:"), m_minute);

    m_destination = new QComboBox(this);
    m_destination->setObjectName(QStringLiteral("rsDestinationAddressText"));
    m_destination->addItems(destinations.names);
    m_destination->setCurrentIndex(destinations.selected);
    m_destination->setToolTip(ShellText(2377, "The address-book entry the reports are sent to"));
    form->addRow(ShellText(2378, "Destination:"), m_destination);

    m_password = new QLineEdit(settings.pinCode, this);
    m_password->setObjectName(QStringLiteral("PINCodeText"));
    m_password->setValidator(new QRegularExpressionValidator(kPassword, m_password));
    m_password->setToolTip(ShellText(
        2379, "Digits and letters, starting with a digit; a poll message must read \"Position request <Password>\""));
    form->addRow(ShellText(2380, "Password:"), m_password);

    m_noPrintCopy = new QCheckBox(ShellText(2381, "No print copy"), this);
    m_noPrintCopy->setObjectName(QStringLiteral("NoPrintCopyCheck"));
    m_noPrintCopy->setChecked(settings.noPrintCopy);
    form->addRow(m_noPrintCopy);
    m_confirmation = new QCheckBox(ShellText(2382, "Confirmation"), this);
    m_confirmation->setObjectName(QStringLiteral("ConfirmationCheck"));
    m_confirmation->setChecked(settings.confirmation);
    form->addRow(m_confirmation);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(ShellText(5427, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &MessageReportingForm::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

MessageReportingSettings MessageReportingForm::settings() const {
    MessageReportingSettings s = m_read;
    s.function = m_function->isChecked();
    s.month = m_month->text().trimmed();
    s.dayOfMonth = m_dayOfMonth->text().trimmed();
    s.dayOfWeek = m_dayOfWeek->text().trimmed();
    s.hour = m_hour->text().trimmed();
    s.minute = m_minute->text().trimmed();
    s.noPrintCopy = m_noPrintCopy->isChecked();
    s.confirmation = m_confirmation->isChecked();
    s.pinCode = m_password->text().trimmed();
    return s;
}

QString MessageReportingForm::destination() const {
    return m_destination->currentText();
}

void MessageReportingForm::onOk() {
    // A blank destination sends nothing and leaves the window open for a choice.
    if (destination().trimmed().isEmpty())
        return;
    const MessageReportingSettings s = settings();
    if (m_module && !m_module->ApplyMessageReporting(s, destination()))
        return;
    Q_EMIT applied(s, destination());
    accept();
}

void ShowMessageReportingWhenReady(ReportingModule& module, QWidget* parent) {
    QObject::connect(&module, &ReportingModule::messageReportingReady, parent,
                     [&module, parent](const MessageReportingSettings& s, const ReportDestinations& d) {
                         auto* form = new MessageReportingForm(s, d, &module, parent);
                         form->setAttribute(Qt::WA_DeleteOnClose);
                         form->show();
                     });
    QObject::connect(&module, &ReportingModule::messageReportingUnsupported, parent, [parent] {
        auto* box = new QMessageBox(QMessageBox::Information, ShellText(2395, "Message Reporting"),
                                    ShellText(2396, "Message Reporting Not Supported!"), QMessageBox::Ok, parent);
        box->setObjectName(QStringLiteral("NoMsgRepForm"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
    });
}

} // namespace tessaro
