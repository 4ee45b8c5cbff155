#include "reporting/reporting_module.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "config/text_util.h"
#include "messaging/address_book.h"
#include "messaging/message_store.h"
#include "status/session.h"

namespace tessaro {

namespace {

const char* const kDefaultLesKeys[] = {"[Default LES West]", "[Default LES East]", "[Default LES Pacific]",
                                       "[Default LES Indian]"};

} // namespace

ReportingModule::ReportingModule(CSession& session, QObject* parent) : QObject(parent), m_session(session) {}

void ReportingModule::attach(ModuleContext& context) {
    m_context = &context;
    // A reply that is only the echo is the transceiver still working on the list: collect more.
    context.addRoute(
        RouteKey::DnidList, MatchKind::Echo, QStringLiteral("st -d"), [this](const QString& r) { onDnidReply(r); },
        RowOption::KeepReceivingIfEchoOnly);
    const RouteKey statusKeys[] = {RouteKey::ReportProgramStatus0, RouteKey::ReportProgramStatus1,
                                   RouteKey::ReportProgramStatus2, RouteKey::ReportProgramStatus3};
    for (int slot = 0; slot < kProgramSlots; ++slot)
        context.addRoute(statusKeys[slot], MatchKind::Echo, QStringLiteral("pg -d %1").arg(slot),
                         [this, slot](const QString& r) { onStatusReply(slot, r); });
    context.addRoute(
        RouteKey::ReportPrograms, MatchKind::Echo, QStringLiteral("pg -d"),
        [this](const QString& r) { onListingReply(r); }, RowOption::KeepReceivingIfEchoOnly);
    context.addRoute(RouteKey::ReportSettings, MatchKind::Echo, QStringLiteral("rs"),
                     [this](const QString& r) { onSettingsReply(r); });
    // A wait window left open by a lost link would never close.
    context.addLinkLostJob([this] {
        if (m_context)
            m_context->notifier().waitWindow(QString());
    });
}

bool ReportingModule::connected() const {
    return m_session.MesConnected();
}

QString ReportingModule::lineEnd() const {
    const QString le = m_context ? m_context->lineEnd() : QString();
    return le.isEmpty() ? QStringLiteral("\r\n") : le;
}

void ReportingModule::notice(const QString& text, const QString& title) {
    if (m_context)
        m_context->notifier().showMessage(text, title);
}

void ReportingModule::wait(const QString& text) {
    if (m_context)
        m_context->notifier().waitWindow(text);
}

void ReportingModule::queue(const QString& command) {
    if (m_context)
        m_context->QueueCommand(command, true);
}

// --- DNID list

bool ReportingModule::OpenDnidList() {
    if (!m_context)
        return false;
    if (!connected()) {
        notice(QStringLiteral("Not connected to the transceiver."));
        return false;
    }
    m_dnidListPurpose = 0;
    wait(QStringLiteral("Reading the DNID list..."));
    queue(QStringLiteral("st -d"));
    return true;
}

int ReportingModule::ApplyDnidChanges(const QList<bool>& newStates) {
    const QStringList commands = DnidChangeCommands(m_dnids.records(), newStates);
    if (commands.isEmpty())
        return 0;
    if (!connected()) {
        // Queued now, they would go out to whichever transceiver is connected next.
        notice(QStringLiteral("Not connected to the transceiver. The DNID changes were not sent."));
        return -1;
    }
    for (const QString& c : commands)
        queue(c);
    return int(commands.size());
}

void ReportingModule::onDnidReply(const QString& reply) {
    const QString block = DnidListBlock(reply);
    if (m_context)
        m_context->errorLog().AddLine(block);
    if (m_dnidListPurpose == 1) {
        onDnidChoices(block);
        return;
    }
    m_dnids.SaveData(block, lineEnd());
    wait(QString());
    Q_EMIT dnidListReady(m_dnids.records());
}

// --- message reporting

bool ReportingModule::OpenMessageReporting() {
    if (!m_context)
        return false;
    if (!connected()) {
        notice(QStringLiteral("Not connected to the transceiver."));
        return false;
    }
    wait(QStringLiteral("Reading the message reporting setup..."));
    queue(QStringLiteral("rs"));
    return true;
}

void ReportingModule::onSettingsReply(const QString& reply) {
    wait(QString());
    const MessageReportingReply parsed = ParseMessageReportingReply(reply);
    if (!parsed.supported) {
        Q_EMIT messageReportingUnsupported();
        return;
    }
    QVector<AddressBookEntry> book;
    if (m_context)
        book = LoadAddressBook(StoreFolderPath(m_context->config(), kAddressBookKey));
    Q_EMIT messageReportingReady(parsed.settings,
                                 MessageReportingDestinations(book, parsed.settings.destinationAddress));
}

bool ReportingModule::ApplyMessageReporting(const MessageReportingSettings& settings, const QString& destination) {
    if (!m_context || destination.trimmed().isEmpty())
        return false;
    if (!connected()) {
        notice(QStringLiteral("Not connected to the transceiver. The message reporting setup was not sent."));
        return false;
    }
    std::array<QString, 4> les;
    for (int i = 0; i < 4; ++i)
        les[size_t(i)] = StripLineEnds(m_context->config().GetIni(QLatin1String(kDefaultLesKeys[i]))).trimmed();
    const QVector<AddressBookEntry> book = LoadAddressBook(StoreFolderPath(m_context->config(), kAddressBookKey));
    wait(QStringLiteral("Saving Message Reporting Setup in Modem."));
    for (const QString& c : MessageReportingCommands(settings, destination, book, les))
        queue(c);
    wait(QString());
    return true;
}

// --- position-report programs

void ReportingModule::OpenPrograms() {
    if (!m_context)
        return;
    if (!connected()) {
        ProgramListing closed;
        Q_EMIT programsReady(closed, false);
        return;
    }
    m_listingPurpose = 2;
    wait(QStringLiteral("Reading the position report programs..."));
    queue(QStringLiteral("pg -d"));
    queue(QStringLiteral("se -z posformat=pu"));
}

void ReportingModule::onListingReply(const QString& reply) {
    if (m_listingPurpose != 2)
        return;
    const ProgramListing listing = ParseProgramListing(reply, lineEnd());
    // The wait window closes on every outcome; the listing's own failure leaves it open forever.
    wait(QString());
    if (listing.outcome == ProgramListing::Outcome::NotSupported) {
        notice(QStringLiteral("Feature not supported"), QStringLiteral("Error"));
        return;
    }
    m_listing = listing;
    if (listing.outcome == ProgramListing::Outcome::NoHeader)
        return;
    Q_EMIT programsReady(m_listing, true);
}

const ProgramSlot* ReportingModule::slotAt(int slot) const {
    if (slot < 0 || slot >= kProgramSlots || m_listing.outcome != ProgramListing::Outcome::Ok)
        return nullptr;
    return &m_listing.slots[size_t(slot)];
}

bool ReportingModule::NewProgram() {
    if (!m_context)
        return false;
    if (!connected()) {
        notice(QStringLiteral("Not connected to the transceiver."));
        return false;
    }
    if (FreeProgramSlot(m_listing) < 0) {
        notice(QStringLiteral("All four programs are in use. Delete a program before defining a new one."));
        return false;
    }
    m_dnidListPurpose = 1;
    wait(QStringLiteral("Reading the DNID list..."));
    queue(QStringLiteral("st -d"));
    return true;
}

void ReportingModule::onDnidChoices(const QString& block) {
    // The next list asked for by the DNID menu must open the DNID window again.
    m_dnidListPurpose = 0;
    wait(QString());
    const int slot = FreeProgramSlot(m_listing);
    if (slot < 0) {
        notice(QStringLiteral("All four programs are in use. Delete a program before defining a new one."));
        return;
    }
    Q_EMIT dnidChoicesReady(slot, DnidChoices(block, lineEnd()));
}

bool ReportingModule::StartProgram(int slot) {
    const ProgramSlot* s = slotAt(slot);
    if (!s)
        return false;
    if (s->PrgType == u"3") {
        notice(QStringLiteral("You are not allowed to START a Remote Program!"));
        return false;
    }
    if (s->PrgType != u"2" || !connected())
        return false;
    queue(QStringLiteral("pg -i %1,P").arg(slot));
    OpenPrograms();
    return true;
}

bool ReportingModule::StopProgram(int slot) {
    const ProgramSlot* s = slotAt(slot);
    if (!s)
        return false;
    if (s->PrgType == u"3") {
        notice(QStringLiteral("You are not allowed to STOP a Remote Program!"));
        return false;
    }
    if (s->PrgType != u"2" || !connected())
        return false;
    queue(QStringLiteral("pg -s %1").arg(slot));
    OpenPrograms();
    return true;
}

void ReportingModule::DeleteProgram(int slot) {
    const ProgramSlot* s = slotAt(slot);
    if (!s || !m_context)
        return;
    if (s->PrgType == u"3") {
        notice(QStringLiteral("You are not allowed to DELETE a Remote Program!"));
        return;
    }
    ConfirmRequest request{QStringLiteral("Do you want to delete Program %1?").arg(slot + 1),
                           QStringLiteral("Delete Confimation"), false};
    m_context->notifier().confirm(request, [this, slot](bool yes) {
        const ProgramSlot* now = slotAt(slot);
        if (!yes || !now || now->PrgType != u"2" || !connected())
            return;
        queue(QStringLiteral("pg -c %1").arg(slot));
        OpenPrograms();
    });
}

bool ReportingModule::ProgramStatus(int slot) {
    if (slot < 0 || slot >= kProgramSlots || !connected())
        return false;
    wait(QStringLiteral("Reading the program status..."));
    queue(QStringLiteral("pg -d %1").arg(slot));
    return true;
}

void ReportingModule::onStatusReply(int slot, const QString& reply) {
    wait(QString());
    Q_EMIT programStatusReady(slot,
                              ProgramStatusText(reply, lineEnd(), m_context ? m_context->promptText() : QString()));
}

bool ReportingModule::SaveProgram(int slot, const ProgramDefinition& definition, ProgramDefinition* checked) {
    const ProgramCommands built = BuildProgramCommands(slot, definition);
    if (checked)
        *checked = built.checked;
    if (!m_context || slot < 0 || slot >= kProgramSlots)
        return false;
    if (built.noDnid) {
        notice(QStringLiteral("Choose a DNID for at least one ocean region."));
        return false;
    }
    if (!connected()) {
        notice(QStringLiteral("Not connected to the transceiver. The program was not sent."));
        return false;
    }
    wait(QStringLiteral("Saving PU Settings in Modem."));
    for (const QString& c : built.commands)
        queue(c);
    wait(QString());
    OpenPrograms();
    return true;
}

} // namespace tessaro
