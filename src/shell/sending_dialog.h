#pragma once

#include "messaging/message_submission.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimeEdit;

namespace tessaro {

class CConfiguration;

// The sending dialog: confirmation, print, DES, deferred date and time, presentation and priority, and
// the LES or service provider used in the current ocean. OK hands the options over; the dialog then
// shows each type's outcome and the upload progress until the operator closes it.
class SendingDialog final : public QDialog {
    Q_OBJECT
public:
    // ocean: 0..3, 4 when not logged in; needsProvider: the message has E-mail or SMS recipients.
    SendingDialog(CConfiguration& config, int ocean, bool needsProvider, QWidget* parent = nullptr);

    SendingOptions options() const;
    // Stores the LES and provider chosen for the ocean so the transmission finds them.
    void storeChoices();
    void showOutcome(const QVector<SubmissionStep>& steps);

    void uploadStarted(int maximum);
    void uploadProgress(int value);
    void uploadFinished();

    // A message from the distress editor: the priority shows "Distress" and cannot be lowered.
    void setDistressPriority();
    QComboBox* priorityBox() const { return m_priority; }

    QCheckBox* confirmationBox() const { return m_confirmation; }
    QComboBox* codePageBox() const { return m_codePage; }
    // The LESs of the current ocean by name; the item data is the identifier.
    QComboBox* lesBox() const { return m_les; }

Q_SIGNALS:
    void submitRequested();

private:
    CConfiguration& m_config;
    int m_ocean;
    QCheckBox* m_confirmation;
    QCheckBox* m_print;
    QCheckBox* m_des;
    QCheckBox* m_deferred;
    QDateEdit* m_date;
    QTimeEdit* m_time;
    QComboBox* m_presentation;
    QComboBox* m_priority;
    QComboBox* m_codePage;
    QComboBox* m_les;
    QComboBox* m_provider;
    QListWidget* m_outcome;
    QProgressBar* m_progress;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace tessaro
