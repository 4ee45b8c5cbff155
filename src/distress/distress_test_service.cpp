#include "distress/distress_test_service.h"

#include "status/module_context.h"
#include "status/session.h"

namespace tessaro {

namespace {

const QString kLinkLostText =
    QStringLiteral("The PC has lost connection to the mobile. Due to this the message might not have been sent.");

// The value 23 characters after the label's first character up to the ETX (code 3).
QString LabelValue(const QString& reply, const QString& label) {
    const qsizetype at = reply.indexOf(label, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    const qsizetype start = at + 23;
    if (start > reply.size())
        return {};
    const qsizetype end = reply.indexOf(QChar(3), at);
    if (end < start)
        return {};
    // A value never runs into the next line: an ETX found there belongs to another label.
    for (qsizetype k = at; k < end; ++k)
        if (reply.at(k) == u'\r' || reply.at(k) == u'\n')
            return {};
    return reply.mid(start, end - start).trimmed();
}

QString MapValue(const QString& value, const QString& accepted) {
    const QString lower = value.toLower();
    if (lower == u"none")
        return QStringLiteral("none");
    if (lower == u"accepted")
        return accepted;
    if (lower == u"rejected")
        return QStringLiteral("rejected");
    return value;
}

} // namespace

QString TestModeStatusText(int state) {
    switch (state) {
    case int(TestModeState::NotRunning):
        return QStringLiteral("Distress buttons test not running");
    case int(TestModeState::Starting):
        return QStringLiteral("Initiating the Distress buttons test");
    case int(TestModeState::Running):
        return QStringLiteral("Distress buttons are under test.\r\n"
                              "Cancel the test mode if a real Distress Alert needs to be sent.");
    case int(TestModeState::Stopping):
        return QStringLiteral("Cancelling the Distress buttons test");
    default:
        return QStringLiteral("Unknown state");
    }
}

LatestDistressValues ParseLatestDistress(const QString& reply) {
    return {LabelValue(reply, QStringLiteral("Latest Distress  ")),
            LabelValue(reply, QStringLiteral("Latest Distress test"))};
}

LatestDistressValues MapLatestDistress(const LatestDistressValues& raw) {
    return {MapValue(raw.alert, QStringLiteral("received by MRCC")), MapValue(raw.test, QStringLiteral("successful"))};
}

DistressTestService::DistressTestService(CSession& session, QObject* parent) : QObject(parent), m_session(session) {
    connect(&m_initTimer, &QTimer::timeout, this, [this] { onInitTimer(); });
    connect(&m_testModeTimer, &QTimer::timeout, this, [this] { onTestModeTimer(); });
    m_onTopTimer.setInterval(kOnTopTickMs);
    connect(&m_onTopTimer, &QTimer::timeout, this, [this] { onOnTopTimer(); });
    m_waitTimer.setSingleShot(true);
    m_waitTimer.setInterval(kDefaultWaitTimeoutMs);
    connect(&m_waitTimer, &QTimer::timeout, this, [this] {
        if (!m_latestRequested)
            return;
        m_latestRequested = false;
        if (m_context) {
            m_context->notifier().waitWindow(QString());
            notice(QStringLiteral("The transceiver did not answer. Please try again."));
        }
    });
}

void DistressTestService::attach(ModuleContext& context) {
    m_context = &context;
    // "se -q", "se -q 0" and "se -q 1" all answer here; the rules tell them apart.
    context.addRoute(RouteKey::TestMode, MatchKind::Starts, QStringLiteral("se -q"),
                     [this](const QString& reply) { onTestModeReply(reply); });
    context.addRoute(RouteKey::LatestDistress, MatchKind::Echo, QStringLiteral("st -a"),
                     [this](const QString& reply) { onLatestDistressReply(reply); });
    context.addLinkLostJob([this] {
        if (m_latestRequested) {
            m_latestRequested = false;
            m_waitTimer.stop();
            m_context->notifier().waitWindow(QString());
        }
        // Without a test under way the loss is told elsewhere; this notice belongs to the test.
        if (m_state == TestModeState::NotRunning)
            return;
        HandleEvent(int(TestModeEvent::FunctionEnabled));
        notice(kLinkLostText);
    });
}

bool DistressTestService::StartTest() {
    if (!m_context || !m_session.MesConnected()) {
        notice(QStringLiteral("Not connected to the transceiver."));
        return false;
    }
    HandleEvent(int(TestModeEvent::StartRequested));
    return true;
}

void DistressTestService::HandleEvent(int event) {
    if (event < 0 || event > int(TestModeEvent::TimedOut))
        return;
    const auto e = TestModeEvent(event);
    switch (m_state) {
    case TestModeState::NotRunning:
        fromNotRunning(e);
        break;
    case TestModeState::Starting:
        fromStarting(e);
        break;
    case TestModeState::Running:
        fromRunning(e);
        break;
    case TestModeState::Stopping:
        fromStopping(e);
        break;
    }
}

void DistressTestService::fromNotRunning(TestModeEvent event) {
    if (event == TestModeEvent::StartRequested) {
        queue(QStringLiteral("se -q 1"));
        startInitTimer();
        setState(TestModeState::Starting);
        Q_EMIT showWindowRequested();
    } else if (event == TestModeEvent::FunctionDisabled) {
        startTestModeTimer();
        setState(TestModeState::Running);
    }
}

void DistressTestService::fromStarting(TestModeEvent event) {
    if (event == TestModeEvent::FunctionDisabled) {
        stopInitTimer();
        startTestModeTimer();
        setState(TestModeState::Running);
    } else if (event == TestModeEvent::FunctionEnabled) {
        stopInitTimer();
        setState(TestModeState::NotRunning);
        Q_EMIT hideWindowRequested();
    } else if (event == TestModeEvent::TimedOut) {
        queue(QStringLiteral("se -q 0"));
        startInitTimer();
        setState(TestModeState::Stopping);
    }
}

void DistressTestService::fromRunning(TestModeEvent event) {
    if (event == TestModeEvent::CancelRequested || event == TestModeEvent::TimedOut) {
        queue(QStringLiteral("se -q 0"));
        stopTestModeTimer();
        startInitTimer();
        setState(TestModeState::Stopping);
    } else if (event == TestModeEvent::FunctionEnabled) {
        stopTestModeTimer();
        setState(TestModeState::NotRunning);
        Q_EMIT hideWindowRequested();
    }
}

void DistressTestService::fromStopping(TestModeEvent event) {
    if (event == TestModeEvent::FunctionDisabled) {
        stopInitTimer();
        startTestModeTimer();
        setState(TestModeState::Running);
    } else if (event == TestModeEvent::FunctionEnabled || event == TestModeEvent::TimedOut) {
        stopInitTimer();
        setState(TestModeState::NotRunning);
        Q_EMIT hideWindowRequested();
    }
}

void DistressTestService::setState(TestModeState state) {
    if (state == m_state)
        return;
    m_state = state;
    if (state == TestModeState::Running)
        m_onTopTimer.start();
    else if (state == TestModeState::NotRunning)
        m_onTopTimer.stop();
    Q_EMIT stateChanged(int(state), statusText(), cancelEnabled());
}

void DistressTestService::startInitTimer() {
    m_initTimer.setInterval(kInitTimeoutMs);
    m_initTimer.start();
}

void DistressTestService::stopInitTimer() {
    m_initTimer.stop();
    m_initTimer.setInterval(0);
}

void DistressTestService::startTestModeTimer() {
    // Every test gets its full 20 minutes, whatever an earlier one left on the count.
    m_countdown = kTestModeTicks;
    m_testModeTimer.setInterval(kTestModeTickMs);
    m_testModeTimer.start();
}

void DistressTestService::stopTestModeTimer() {
    m_testModeTimer.stop();
    m_testModeTimer.setInterval(0);
}

void DistressTestService::onInitTimer() {
    HandleEvent(int(TestModeEvent::TimedOut));
}

void DistressTestService::onTestModeTimer() {
    if (--m_countdown > 0)
        return;
    m_countdown = kTestModeTicks;
    HandleEvent(int(TestModeEvent::TimedOut));
}

void DistressTestService::onOnTopTimer() {
    if (m_state == TestModeState::Running)
        Q_EMIT keepWindowInView();
}

void DistressTestService::onTestModeReply(const QString& reply) {
    const bool running = m_state != TestModeState::NotRunning;
    if (reply.contains(QLatin1String("NOT implemented"), Qt::CaseInsensitive)) {
        // The periodic query on a unit without the test mode is no news.
        if (reply.startsWith(QLatin1String("se -q\r")) || reply.startsWith(QLatin1String("se -q\n")))
            return;
        if (running)
            HandleEvent(int(TestModeEvent::FunctionEnabled));
        notice(QStringLiteral("Distress Test Mode not supported"));
    } else if (reply.contains(QLatin1String("Distress functionality enabled"), Qt::CaseInsensitive)) {
        if (running)
            HandleEvent(int(TestModeEvent::FunctionEnabled));
    } else if (reply.contains(QLatin1String("Illegal argument"), Qt::CaseInsensitive)) {
        if (running)
            HandleEvent(int(TestModeEvent::FunctionEnabled));
        notice(QStringLiteral("Distress test mode not supported"));
    } else if (reply.contains(QLatin1String("Distress functionality disabled"), Qt::CaseInsensitive)) {
        if (m_state != TestModeState::Running) {
            HandleEvent(int(TestModeEvent::FunctionDisabled));
            Q_EMIT showWindowRequested();
        }
    }
}

bool DistressTestService::RequestLatestDistress() {
    if (!m_context || !m_session.MesConnected()) {
        notice(QStringLiteral("Not connected to the transceiver."));
        return false;
    }
    m_latestRequested = true;
    m_context->QueueCommand(QStringLiteral("st -a"));
    m_waitTimer.start();
    m_context->notifier().waitWindow(QStringLiteral("Reading the latest distress information..."));
    return true;
}

void DistressTestService::onLatestDistressReply(const QString& reply) {
    if (!m_latestRequested)
        return;
    m_latestRequested = false;
    m_waitTimer.stop();
    m_latest = MapLatestDistress(ParseLatestDistress(reply));
    m_context->notifier().waitWindow(QString());
    Q_EMIT latestDistressRead(m_latest);
}

void DistressTestService::queue(const QString& command) {
    if (m_context)
        m_context->QueueCommand(command, true);
}

void DistressTestService::notice(const QString& text) {
    if (m_context)
        m_context->notifier().showMessage(text, QStringLiteral("Info"));
}

} // namespace tessaro
