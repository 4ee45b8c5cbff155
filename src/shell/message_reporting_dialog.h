#pragma once

#include "reporting/message_reporting.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tessaro {

class ReportingModule;

// The transceiver's message-reporting schedule: when reports go out, to which address-book destination,
// with or without a print copy and a confirmation, and the password a poll must carry.
class MessageReportingForm final : public QDialog {
    Q_OBJECT
public:
    // module may be null: OK then only emits applied().
    MessageReportingForm(const MessageReportingSettings& settings, const ReportDestinations& destinations,
                         ReportingModule* module, QWidget* parent = nullptr);

    MessageReportingSettings settings() const;
    QString destination() const;

Q_SIGNALS:
    void applied(const tessaro::MessageReportingSettings& settings, const QString& destination);

private:
    void onOk();
    QLineEdit* scheduleField(const QString& name, const QString& text, const QString& tip);

    ReportingModule* m_module;
    MessageReportingSettings m_read;
    QCheckBox* m_function;
    QLineEdit* m_month;
    QLineEdit* m_dayOfMonth;
    QLineEdit* m_dayOfWeek;
    QLineEdit* m_hour;
    QLineEdit* m_minute;
    QCheckBox* m_noPrintCopy;
    QCheckBox* m_confirmation;
    QLineEdit* m_password;
    QComboBox* m_destination;
};

// Opens MessageReportingForm, or the not-supported notice, when the module has read the settings.
void ShowMessageReportingWhenReady(ReportingModule& module, QWidget* parent);

} // namespace tessaro
