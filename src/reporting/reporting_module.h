#pragma once

#include "reporting/dnid_list.h"
#include "reporting/message_reporting.h"
#include "reporting/report_programs.h"
#include "status/module_context.h"

#include <QObject>
#include <QString>

#include <array>

namespace tessaro {

class CSession;

// The DNID list, message reporting and the position-report programs: reads them from the transceiver, sends
// the operator's changes, and tells the windows what to show through its signals. Nothing here touches a
// widget.
class ReportingModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    explicit ReportingModule(CSession& session, QObject* parent = nullptr);

    Subsystem subsystem() const override { return Subsystem::Reporting; }
    void attach(ModuleContext& context) override;

    // --- DNID list
    // Reads the list for the DNID window (dnidListReady follows). False without a transceiver.
    bool OpenDnidList();
    // newStates[i] belongs to dnids().records()[i]; queues one command per changed row and returns how many.
    // Without a transceiver nothing is queued and the operator is told (-1).
    int ApplyDnidChanges(const QList<bool>& newStates);
    const cDnid& dnids() const { return m_dnids; }
    // 0: the next "st -d" is for the DNID window; 1: for a new program's DNID choice.
    int DnidListPurpose() const { return m_dnidListPurpose; }

    // --- message reporting
    // Asks the transceiver for its settings (messageReportingReady or messageReportingUnsupported follow).
    bool OpenMessageReporting();
    // Sends the settings with the chosen address-book destination. False (nothing sent) when the
    // destination is blank or no transceiver is connected.
    bool ApplyMessageReporting(const MessageReportingSettings& settings, const QString& destination);

    // --- position-report programs
    // Reads the listing (programsReady follows); without a transceiver programsReady comes at once with every
    // button off.
    void OpenPrograms();
    // The slot buttons, n = 0..3.
    bool NewProgram();
    bool StartProgram(int slot);
    bool StopProgram(int slot);
    void DeleteProgram(int slot);
    bool ProgramStatus(int slot);
    // OK of the programming window for the slot dnidChoicesReady named. The definition with its time fields
    // checked is returned; false when nothing was sent (not connected, or no DNID chosen).
    bool SaveProgram(int slot, const ProgramDefinition& definition, ProgramDefinition* checked = nullptr);
    const ProgramListing& listing() const { return m_listing; }
    int ListingPurpose() const { return m_listingPurpose; }

Q_SIGNALS:
    void dnidListReady(const QList<tessaro::DnidRecord>& records);
    void messageReportingReady(const tessaro::MessageReportingSettings& settings,
                               const tessaro::ReportDestinations& destinations);
    void messageReportingUnsupported();
    // connected: false when the window opens without a transceiver (all slot buttons off).
    void programsReady(const tessaro::ProgramListing& listing, bool connected);
    void programStatusReady(int slot, const QString& text);
    void dnidChoicesReady(int slot, const std::array<QStringList, 4>& choices);

private:
    bool connected() const;
    QString lineEnd() const;
    void notice(const QString& text, const QString& title = QStringLiteral("Info"));
    void wait(const QString& text);
    void queue(const QString& command);
    const ProgramSlot* slotAt(int slot) const;
    void onDnidReply(const QString& reply);
    void onDnidChoices(const QString& block);
    void onSettingsReply(const QString& reply);
    void onListingReply(const QString& reply);
    void onStatusReply(int slot, const QString& reply);

    CSession& m_session;
    ModuleContext* m_context = nullptr;
    cDnid m_dnids;
    int m_dnidListPurpose = 0;
    int m_listingPurpose = 0;
    ProgramListing m_listing;
};

} // namespace tessaro
