#pragma once

#include "egc/egc_idx.h"
#include "egc/egc_setup_service.h"
#include "egc/egc_store.h"
#include "status/module_context.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace tessaro {

class CSession;

// The EGC subsystem as the terminal runs it: the fetch cycle's reply routes and poll step, the store's
// start-up check, and the operations the EGC windows call.
class EgcModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    explicit EgcModule(CSession& session, QObject* parent = nullptr);
    ~EgcModule() override;

    Subsystem subsystem() const override { return Subsystem::Egc; }
    void attach(ModuleContext& context) override;
    // Valid once attached.
    CEGC& egc() { return *m_egc; }
    // The receiver set-up and the ENID list.
    EgcSetupService& setup() { return m_setup; }
    QString egcFolder() const;
    QString indexPath() const;

    // Operations of the EGC list and the debug menu.
    bool DeleteStoredEgc(const QString& diskFileName);
    bool MarkUnread(const QString& diskFileName);
    bool MarkRead(const QString& diskFileName);
    void RepairEgcLog();
    // Makes the transceiver simulate an EGC: 0 Routine, 1 Safety, 2 Urgent, 3 Distress.
    void QueueSimulatedEgc(int priority);
    void setSimulateRxError(bool on);
    bool simulateRxError() const;
    void setFreeDiskProbe(std::function<qint64(const QString& folder)> kb);

Q_SIGNALS:
    void egcStored(const tessaro::EgcIdxRecord& record, const QString& text);
    void stored(const QString& path, const QString& kind, int priority, const QString& modemFileName);
    void indexChanged();
    void enidDownloaded();
    void printRequested(const QString& text);

private:
    CSession& m_session;
    ModuleContext* m_context = nullptr;
    std::unique_ptr<CEGC> m_egc;
    EgcSetupService m_setup;
    // Settings made before attach, handed to the store when it is made.
    bool m_simulateRxError = false;
    std::function<qint64(const QString&)> m_freeDisk;
};

} // namespace tessaro
