#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace tessaro {

class CSession;
class ModuleContext;

// The states of the distress buttons test, as the window shows them.
enum class TestModeState : int { NotRunning = 0, Starting = 1, Running = 2, Stopping = 3 };

// What moves the test: the operator, the transceiver's replies and INFO lines, and the time-outs.
enum class TestModeEvent : int {
    StartRequested = 0,   // menu
    FunctionDisabled = 1, // the transceiver confirms the test runs
    CancelRequested = 2,  // Cancel button
    FunctionEnabled = 3,  // distress function back on, test refused, or the link lost
    TimedOut = 4,
};

// The status text of a state (an unknown one reads "Unknown state"); the running text has two lines.
QString TestModeStatusText(int state);

// The latest distress alert and test as "st -a" reports them, mapped to what the operator reads.
struct LatestDistressValues {
    QString alert;
    QString test;
    bool operator==(const LatestDistressValues&) const = default;
};
// The raw values of an "st -a" reply: each 23 characters after its label up to the ETX, trimmed; empty
// when the label or the ETX is missing.
LatestDistressValues ParseLatestDistress(const QString& reply);
// "none", "received by MRCC" / "successful", "rejected"; anything else as received.
LatestDistressValues MapLatestDistress(const LatestDistressValues& raw);

// The distress buttons test mode and the latest distress information. The test switches the transceiver's
// distress function off ("se -q 1") and on again ("se -q 0"); a running test ends by itself after 20
// minutes. The window is a view of this machine.
class DistressTestService final : public QObject {
    Q_OBJECT
public:
    static constexpr int kInitTimeoutMs = 10000;
    static constexpr int kTestModeTickMs = 60000;
    static constexpr int kTestModeTicks = 20;
    static constexpr int kOnTopTickMs = 5000;
    static constexpr int kDefaultWaitTimeoutMs = 30000;

    explicit DistressTestService(CSession& session, QObject* parent = nullptr);

    // Registers the replies to "se -q" (and its variants) and "st -a", and the link-lost job.
    void attach(ModuleContext& context);

    void HandleEvent(int event);
    int GetState() const { return int(m_state); }

    // The menu "Distress Test Mode": starts the test while the transceiver is connected. False otherwise
    // (the operator is told).
    bool StartTest();
    // The window's Cancel button.
    void CancelTest() { HandleEvent(int(TestModeEvent::CancelRequested)); }
    bool cancelEnabled() const { return m_state == TestModeState::Running; }
    QString statusText() const { return TestModeStatusText(GetState()); }

    // The menu "Reset alarm / latest distress info...": asks with "st -a" and shows the wait window.
    bool RequestLatestDistress();
    const LatestDistressValues& latestDistress() const { return m_latest; }

    // The timers, exposed so tests can see them and tick them without waiting.
    const QTimer& initTimer() const { return m_initTimer; }
    const QTimer& testModeTimer() const { return m_testModeTimer; }
    const QTimer& onTopTimer() const { return m_onTopTimer; }
    int testModeCountdown() const { return m_countdown; }
    void onInitTimer();
    void onTestModeTimer();
    void onOnTopTimer();
    void setWaitTimeoutMs(int ms) { m_waitTimer.setInterval(ms); }

Q_SIGNALS:
    // The state changed: its text and whether Cancel may be pressed.
    void stateChanged(int state, const QString& text, bool cancelEnabled);
    // The window should come up (the transceiver reports the test running) or go away (the test ended).
    void showWindowRequested();
    void hideWindowRequested();
    // Every 5 s while the test runs: a visible window closes a running screen saver.
    void keepWindowInView();
    // The mapped latest distress values arrived for a request; the window shows them.
    void latestDistressRead(const tessaro::LatestDistressValues& values);

private:
    void onTestModeReply(const QString& reply);
    void onLatestDistressReply(const QString& reply);
    void setState(TestModeState state);
    void fromNotRunning(TestModeEvent event);
    void fromStarting(TestModeEvent event);
    void fromRunning(TestModeEvent event);
    void fromStopping(TestModeEvent event);
    void startInitTimer();
    void stopInitTimer();
    void startTestModeTimer();
    void stopTestModeTimer();
    void queue(const QString& command);
    void notice(const QString& text);

    CSession& m_session;
    ModuleContext* m_context = nullptr;
    TestModeState m_state = TestModeState::NotRunning;
    int m_countdown = kTestModeTicks;
    QTimer m_initTimer;
    QTimer m_testModeTimer;
    QTimer m_onTopTimer;
    bool m_latestRequested = false;
    LatestDistressValues m_latest;
    QTimer m_waitTimer;
};

} // namespace tessaro
