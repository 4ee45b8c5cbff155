#include "distress/distress_module.h"

#include "messaging/messaging_module.h"
#include "status/session.h"
#include "status/status_module.h"
#include "status/terminal_status.h"

namespace tessaro {

DistressModule::DistressModule(CSession& session, StatusModule& status, MessagingModule& messaging, QObject* parent)
    : QObject(parent), m_session(session), m_status(status), m_messaging(messaging),
      m_generator(session, messaging, this), m_testMode(session, this), m_inHarbour(session, {}, this) {}

void DistressModule::attach(ModuleContext& context) {
    m_context = &context;
    m_generator.attach(context);
    m_testMode.attach(context);
    m_inHarbour.attach(context);
    for (int code : {20, 21, 22})
        context.onInfo(code, [this](const InfoEvent& e) { onDistressAlert(e.code); });
    context.onInfo(119, [this](const InfoEvent& e) {
        // The line's own notice already tells the operator; the values are read again otherwise.
        if (!e.noticeRaised)
            m_context->QueueCommand(QStringLiteral("se -g"));
        const int family = m_session.ProductType();
        if (family == 4 || family == 5)
            m_context->QueueCommand(QStringLiteral("se -m ALL_OCEANS"));
    });
    context.onInfo(353, [this](const InfoEvent&) { setBanner(QString()); });
    context.onInfo(363, [this](const InfoEvent&) {
        m_status.QueueStatusPoll();
        setBanner(QString());
    });
    context.onInfo(502, [this](const InfoEvent&) { setBanner(TestModeBannerText()); });
    context.onInfo(733, [this](const InfoEvent&) {
        m_testMode.HandleEvent(int(TestModeEvent::FunctionDisabled));
        Q_EMIT testModeEvent(1);
    });
    context.onInfo(803, [this](const InfoEvent&) {
        m_testMode.HandleEvent(int(TestModeEvent::FunctionEnabled));
        Q_EMIT testModeEvent(3);
    });
    connect(&m_status, &StatusModule::automaticTestModeSeen, this, [this] { setBanner(TestModeBannerText()); });
}

void DistressModule::onDistressAlert(int code) {
    static constexpr OutboxStatus kStatuses[] = {OutboxStatus::Failed, OutboxStatus::ConfOk, OutboxStatus::Sending};
    const OutboxStatusWord status(kStatuses[code - 20]);
    int settled = 0;
    if (code != 22)
        settled = m_messaging.outbox().UpdateOutBox({}, QStringLiteral("-"), OutboxStatus::Sending, {}, status, false);
    // The alert's outbox line is added once the "se -g" reply brings the generator's values; until then the
    // session carries the request and its status. An acknowledgement only settles the line already there,
    // and so does a failure whose alert has its line: a second "Failed" line would tell of a second alert.
    if (code == 22 || (code == 20 && settled == 0))
        m_session.SetAddDistressAlertToOutbox(true);
    m_session.SetDistressAlertStatus(status.text());
    if (code == 22)
        m_messaging.RefreshOutboxView();
    if (m_session.LoggedIn())
        queueGeneratorRead();
}

void DistressModule::queueGeneratorRead() {
    m_context->QueueCommand(QStringLiteral("se -g"));
    const int family = m_session.ProductType();
    if (family == 4 || family == 5)
        m_context->QueueCommand(QStringLiteral("se -m ALL_OCEANS"));
}

void DistressModule::setBanner(const QString& text) {
    if (text == m_banner)
        return;
    m_banner = text;
    Q_EMIT testModeBannerChanged(text);
}

} // namespace tessaro
