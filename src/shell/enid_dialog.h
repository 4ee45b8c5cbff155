#pragma once

#include "egc/enid_list.h"

#include <QDialog>
#include <QList>

class QCheckBox;

namespace tessaro {

class EgcSetupService;

// The ENID list: one row per ENID with its number, provider, ENID, status and a tick for enabled. OK
// sends an enable or disable command for each row the operator changed.
class ENIDForm final : public QDialog {
    Q_OBJECT
public:
    // service may be null: OK then only emits applied().
    ENIDForm(const QList<EnidRecord>& records, EgcSetupService* service, QWidget* parent = nullptr);

    // The ticks, row by row.
    QList<bool> states() const;

Q_SIGNALS:
    void applied(const QList<bool>& states);

private:
    void onOk();

    EgcSetupService* m_service;
    QList<QCheckBox*> m_checks;
};

// Opens an ENIDForm (modeless, deleted on close) each time the service has read the list.
void ShowEnidListWhenReady(EgcSetupService& service, QWidget* parent);

} // namespace tessaro
