#pragma once

#include "egc/egc_setup.h"
#include "egc/enid_list.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <optional>

namespace tessaro {

class ModuleContext;

// What OK of the set-up window came to.
struct EgcApplyResult {
    bool accepted = false; // the window may close
    bool sent = false;     // commands went to the queue (false without a transceiver)
    std::optional<FixedPositionError> error;
};

// The EGC receiver set-up and the ENID list: reads the settings and the list from the transceiver and
// sends the operator's changes. The windows get what they show through setupReady and enidListReady, so
// any window (or a test) can listen; nothing here touches a widget.
class EgcSetupService final : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultWaitTimeoutMs = 30000;

    explicit EgcSetupService(QObject* parent = nullptr);

    // Registers the replies to "fx ", "st -g", "se -e", "se", "se -x" and "se -sn", and ends the waits
    // when the link is lost.
    void attach(ModuleContext& context);

    // Without a transceiver setupReady comes at once with the stored values and nothing is sent;
    // otherwise the settings are read and setupReady follows the reply to "se -sn". False (and nothing
    // sent) while an earlier read is still waiting.
    bool OpenSetup();
    // Validates the fixed positions (validationFailed and no change on an error); queues the commands
    // when connected and stores the fixed-position list in either case.
    EgcApplyResult ApplySetup(const EgcSetupValues& values);
    // Reads the ENID list; enidListReady follows. False without a transceiver or while a read waits.
    bool OpenEnidList();
    // newStates[i] belongs to enids().records()[i] as last read; queues a command per changed row and
    // returns how many. Without a transceiver nothing is queued and the operator is told (-1).
    int ApplyEnidChanges(const QList<bool>& newStates);

    const cENID& enids() const { return m_enids; }
    bool FixedPositionsSupported() const { return m_fixedPositionsSupported; }
    // The stored fixed-position list with the hemisphere boxes it selects.
    EgcSetupValues storedValues() const;
    bool setupPending() const { return m_setupPending; }
    bool enidPending() const { return m_enidPending; }
    void setWaitTimeoutMs(int ms);

Q_SIGNALS:
    void setupReady(const tessaro::EgcSetupValues& values);
    void enidListReady(const QList<tessaro::EnidRecord>& records);
    void validationFailed(const tessaro::FixedPositionError& error);

private:
    bool connected() const;
    QString lineEnd() const;
    void endWait(QTimer& timer, bool& pending);
    void notice(const QString& text);
    void onFxReply(const QString& reply);
    void onEgcOnlyReply(const QString& reply);
    void onSwitchesReply(const QString& reply);
    void onCoastalAreasReply(const QString& reply);
    void onSpareNavareasReply(const QString& reply);
    void onEnidReply(const QString& reply);
    void onWaitTimedOut(bool& pending);
    void onLinkLost();

    ModuleContext* m_context = nullptr;
    EgcSetupValues m_pending;
    bool m_setupPending = false;
    bool m_enidPending = false;
    bool m_fixedPositionsSupported = true;
    cENID m_enids;
    QTimer m_setupTimer;
    QTimer m_enidTimer;
};

// Settings store place of the fixed-position list last sent.
inline constexpr const char* kFixedPositionsSection = "Config";
inline constexpr const char* kFixedPositionsKey = "Fixed Positions";

} // namespace tessaro
