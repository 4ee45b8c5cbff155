#pragma once

#include "reporting/report_programs.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tessaro {

class ReportingModule;

// The four position-report programs: each slot's type, status and DNIDs per ocean region, and its New,
// Start, Stop, Delete and Status buttons. The window is refreshed in place when the listing is read again.
class PUReportingForm final : public QDialog {
    Q_OBJECT
public:
    PUReportingForm(ReportingModule* module, QWidget* parent = nullptr);

    // connected: false disables every slot button.
    void setListing(const ProgramListing& listing, bool connected);

    struct SlotWidgets {
        QLabel* type = nullptr;
        QLabel* status = nullptr;
        std::array<QLabel*, kOceans> dnids{};
        QPushButton* newButton = nullptr;
        QPushButton* start = nullptr;
        QPushButton* stop = nullptr;
        QPushButton* remove = nullptr;
        QPushButton* statusButton = nullptr;
    };
    const SlotWidgets& slotWidgets(int slot) const { return m_slots[size_t(slot)]; }

private:
    ReportingModule* m_module;
    std::array<SlotWidgets, kProgramSlots> m_slots;
};

// A new program: one DNID per ocean region, the start time (or Immediately) and the interval.
class DNIDPUProgramForm final : public QDialog {
    Q_OBJECT
public:
    // module may be null: OK then only emits applied().
    DNIDPUProgramForm(int slot, const std::array<QStringList, kOceans>& choices, ReportingModule* module,
                      QWidget* parent = nullptr);

    ProgramDefinition definition() const;
    QComboBox& ocean(int index) { return *m_oceans[size_t(index)]; }
    QLineEdit& startHour() { return *m_startHour; }
    QLineEdit& startMinute() { return *m_startMinute; }
    QLineEdit& intervalHour() { return *m_intervalHour; }
    QLineEdit& intervalMinute() { return *m_intervalMinute; }
    QCheckBox& immediately() { return *m_immediately; }
    void submit();

Q_SIGNALS:
    void applied(const tessaro::ProgramDefinition& definition);

private:
    int m_slot;
    ReportingModule* m_module;
    std::array<QComboBox*, kOceans> m_oceans{};
    QLineEdit* m_startHour;
    QLineEdit* m_startMinute;
    QLineEdit* m_intervalHour;
    QLineEdit* m_intervalMinute;
    QCheckBox* m_immediately;
};

// One program's status as the transceiver reports it.
class ProgramStatusForm final : public QDialog {
    Q_OBJECT
public:
    ProgramStatusForm(int slot, const QString& text, QWidget* parent = nullptr);
    QString text() const;

private:
    QPlainTextEdit* m_text;
};

// Opens (or refreshes) the program window, the programming window and the status window when the module
// has read what they show.
void ShowProgramWindowsWhenReady(ReportingModule& module, QWidget* parent);

} // namespace tessaro
