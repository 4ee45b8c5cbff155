#pragma once

#include "reporting/dnid_list.h"

#include <QDialog>
#include <QList>

class QCheckBox;

namespace tessaro {

class CConfiguration;
class ReportingModule;

// The DNID list: one row per DNID with provider, DNID, LES, member, sub-address, channel, random, status and
// an Enable tick. OK sends an enable or disable command for each row the operator changed.
class DNIDForm final : public QDialog {
    Q_OBJECT
public:
    // module may be null: OK then only emits applied().
    DNIDForm(const QList<DnidRecord>& records, ReportingModule* module, QWidget* parent = nullptr);

    QList<bool> states() const;

Q_SIGNALS:
    void applied(const QList<bool>& states);

private:
    void onOk();

    ReportingModule* m_module;
    QList<QCheckBox*> m_checks;
};

// Opens a DNIDForm (modeless, deleted on close) each time the module has read the list for it.
void ShowDnidListWhenReady(ReportingModule& module, QWidget* parent);

// The menu actions, behind the configuration password: the DNID list, message reporting and the
// position-report programs.
void OpenDnidListMenu(CConfiguration& config, ReportingModule& module, QWidget* parent);
void OpenMessageReportingMenu(CConfiguration& config, ReportingModule& module, QWidget* parent);
void OpenPositionReportsMenu(CConfiguration& config, ReportingModule& module, QWidget* parent);

// Every window of the reporting module, opened when the module has read what it shows.
void ConnectReportingWindows(ReportingModule& module, QWidget* parent);

} // namespace tessaro
