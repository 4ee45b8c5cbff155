#include "egc/egc_module.h"

#include "status/session.h"

namespace tessaro {

EgcModule::EgcModule(CSession& session, QObject* parent) : QObject(parent), m_session(session) {}

EgcModule::~EgcModule() = default;

void EgcModule::attach(ModuleContext& context) {
    m_context = &context;
    m_egc = std::make_unique<CEGC>(context, m_session);
    m_egc->setSimulateRxError(m_simulateRxError);
    if (m_freeDisk)
        m_egc->setFreeDiskProbe(m_freeDisk);
    connect(m_egc.get(), &CEGC::egcStored, this, &EgcModule::egcStored);
    connect(m_egc.get(), &CEGC::stored, this, &EgcModule::stored);
    connect(m_egc.get(), &CEGC::indexChanged, this, &EgcModule::indexChanged);
    connect(m_egc.get(), &CEGC::enidDownloaded, this, &EgcModule::enidDownloaded);
    connect(m_egc.get(), &CEGC::printRequested, this, &EgcModule::printRequested);

    CEGC* egc = m_egc.get();
    context.addRoute(RouteKey::EgcListing, MatchKind::EchoNoCase, QStringLiteral("ls EGC.*"),
                     [egc](const QString& r) { egc->HandleListing(r); });
    context.addRoute(RouteKey::EgcLog, MatchKind::EchoNoCase, QStringLiteral("st -e"),
                     [egc](const QString& r) { egc->HandleLogReply(r); });
    context.addRoute(RouteKey::EgcFetch, MatchKind::StartsNoCase, QStringLiteral("ty EGC."),
                     [egc](const QString& r) { egc->Transfer(r); });
    context.addRoute(RouteKey::EgcDelete, MatchKind::StartsNoCase, QStringLiteral("delete EGC."),
                     [egc](const QString& r) { egc->HandleDelete(r); });
    m_setup.attach(context);
    context.addPollStep(PollOrder::Egcs, [this] {
        if (!m_session.ProcessingEgcs())
            m_context->QueueCommand(QStringLiteral("ls EGC.*"));
    });
    context.addStartUpJob([egc] { egc->CheckStore(); });
    // Left in the queue, the old cycle's fetches would run beside the next cycle's.
    context.addLinkLostJob([egc] { egc->LinkLost(); });
}

QString EgcModule::egcFolder() const {
    return m_egc ? m_egc->egcFolder() : QString();
}

QString EgcModule::indexPath() const {
    return m_egc ? m_egc->indexPath() : QString();
}

bool EgcModule::DeleteStoredEgc(const QString& diskFileName) {
    return m_egc && m_egc->DeleteStoredEgc(diskFileName);
}

bool EgcModule::MarkRead(const QString& diskFileName) {
    return m_egc && m_egc->MarkRead(diskFileName);
}

bool EgcModule::MarkUnread(const QString& diskFileName) {
    return m_egc && m_egc->MarkUnread(diskFileName);
}

void EgcModule::RepairEgcLog() {
    if (m_egc)
        m_egc->RepairEgcLog();
}

void EgcModule::QueueSimulatedEgc(int priority) {
    static const char* const kCodes[] = {"200", "400", "4", "100"};
    if (!m_context || priority < 0 || priority > 3)
        return;
    // Every request makes one EGC, also when an equal one still waits in the queue.
    m_context->QueueCommand(QStringLiteral("db egc sim ") + QLatin1String(kCodes[priority]), true);
}

void EgcModule::setSimulateRxError(bool on) {
    m_simulateRxError = on;
    if (m_egc)
        m_egc->setSimulateRxError(on);
}

bool EgcModule::simulateRxError() const {
    return m_simulateRxError;
}

void EgcModule::setFreeDiskProbe(std::function<qint64(const QString& folder)> kb) {
    m_freeDisk = kb;
    if (m_egc)
        m_egc->setFreeDiskProbe(std::move(kb));
}

} // namespace tessaro
