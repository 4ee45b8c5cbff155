#pragma once

#include "status/module_context.h"
#include "status/transceiver_time.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace tessaro {

class CSession;

// Free space of the drive holding a folder; nothing when it cannot be read.
struct DiskSpace {
    qint64 freeKBytes = 0;
    QString drive;
};
std::optional<DiskSpace> FreeDiskSpace(const QString& folder); // QStorageInfo

// The status line as the main window shows it: a text and its background (0xRRGGBB).
inline constexpr unsigned kStatusLineNormal = 0xF0F0F0;
inline constexpr unsigned kStatusLineAlarm = 0xFF0000; // shown with white text

// Terminal status, identity, position, GPS, clock and link test: the reply handlers that feed CSession,
// the timer jobs that watch for another transceiver and for disk space, and the operations the windows
// call. What a window shows is kept here and announced by signals; the shell only displays it.
class StatusModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    // clockSetter: how the PC clock is set (the real system clock when null).
    explicit StatusModule(CSession& session, ISystemClockSetter* clockSetter = nullptr, QObject* parent = nullptr);
    ~StatusModule() override;

    Subsystem subsystem() const override { return Subsystem::Status; }
    void attach(ModuleContext& context) override;

    // Reply handlers (routed by echo).
    void onTerminalStatus(const QString& reply);  // "st -w", without its final prompt
    void onStatusSummary(const QString& reply);   // "st -s"
    void onSoftwareVersion(const QString& reply); // "st -v"
    void onIdentity(const QString& reply);        // "st -i"
    void onVersions(const QString& reply);        // "ver"
    void onTime(const QString& reply);            // "ti -u"
    void onPosition(const QString& reply);        // "se -p"
    void onPositionSet(const QString& reply);     // "se -p " + position
    void onGpsStatus(const QString& reply);       // "ru -g"
    void onLinkTest(const QString& reply);        // "st -m"

    // Timer jobs.
    void onEventTimer(); // a different transceiver, and the PC time setting
    void onTimer60S();   // free disk space
    void onLinkLost();   // ends a terminal-status wait the lost link will never answer

    // Operations of the main window's menus. ocean: 0 West, 1 East, 2 Pacific, 3 Indian, 4 none.
    void LoginOcean(int ocean);
    void Logout();
    void SetPreferredOcean(int ocean);
    void Scan();
    void ShowTerminalStatus(); // queues "st -w" and opens the status window when the reply arrives
    void OpenLinkTest();       // queues "st -m" when connected, else shows the window empty
    void ExecuteLinkTest();    // asks first; queues "test" on OK
    // The next "ti -u" reply also sets the PC clock (time-setting dialogs; start-up uses "[SETPCTIME]").
    void RequestPcTimeSetting();
    // Fresh values for the windows that show them.
    void RefreshPosition();          // "se -p"
    void RefreshGpsStatus();         // "ru -g"
    void RefreshSystemInformation(); // "st -v", "st -i"
    // Queues "st -w" unless it is queued already.
    // A transceiver of the position-entry kind: it has said it has no built-in GPS (INFO 450), or it holds
    // no valid position, so the operator enters one.
    bool PositionIsEnteredByHand() const;
    void QueueStatusPoll();

    // Current window contents.
    int statusIndex() const { return m_statusIndex; }
    QChar preferredOceanMark() const { return m_preferredMark; }
    const QString& terminalStatusText() const { return m_terminalStatusText; }
    const QString& terminalStatusCaption() const { return m_terminalStatusCaption; }
    const QString& gpsStatusCaption() const { return m_gpsCaption; }
    const QString& linkTestWindowText() const { return m_linkTestText; }
    bool pcTimeRequested() const { return m_pcTimeRequested; }

    // Injected for tests: free space of a folder.
    using DiskSpaceProbe = std::function<std::optional<DiskSpace>(const QString& folder)>;
    void setDiskSpaceProbe(DiskSpaceProbe probe) { m_diskSpace = std::move(probe); }

Q_SIGNALS:
    void terminalStatusWindowChanged(const QString& text, const QString& caption);
    void gpsStatusWindowChanged(const QString& text, const QString& caption);
    void linkTestWindowChanged(const QString& text);
    void linkTestWindowCloseRequested();
    void positionWindowRefresh();
    void systemInformationRefresh(); // identity values changed: menus and the information window follow
    void mainWindowRefresh();        // another transceiver was attached
    void preferredOceanMarked(QChar ocean);
    // The status reply shows the automatic link test running (the test-mode banner follows it).
    void automaticTestModeSeen();

private:
    void onCommandQueued(const QString& command);
    void SetMobileStatus(int index);
    void applyStatusFields(const QString& reply);
    bool queue(const QString& command, bool allowDuplicate = false);
    void notice(const QString& text, const QString& title);

    CSession& m_session;
    std::unique_ptr<ISystemClockSetter> m_ownSetter;
    ISystemClockSetter& m_clockSetter;
    ModuleContext* m_context = nullptr;
    DiskSpaceProbe m_diskSpace = FreeDiskSpace;

    int m_statusIndex = 0;
    QChar m_preferredMark;
    bool m_statusWindowRequested = false;
    QString m_terminalStatusText;
    QString m_terminalStatusCaption;
    QString m_gpsCaption;
    QString m_linkTestText;
    bool m_pcTimeRequested = false;

    // Once per run.
    bool m_solasAdviceShown = false;
    bool m_unsupportedShown = false;
    bool m_lowDiskWarned = false;
    bool m_testSoftwareNoticeShown = false;
    bool m_noBuiltInGps = false; // INFO 450 said so in this run

    // The transceiver last seen by the event timer.
    struct Seen {
        QString serial;
        QString model;
        qint64 mobile = 0;
        bool operator==(const Seen&) const = default;
    };
    std::optional<Seen> m_seen;
};

} // namespace tessaro
