#pragma once

#include "distress/distress_generator_service.h"
#include "distress/distress_test_service.h"
#include "distress/in_harbour_button.h"
#include "status/module_context.h"

#include <QObject>
#include <QString>

namespace tessaro {

class CSession;
class MessagingModule;
class StatusModule;

// The distress subsystem: distress alerts sent, failed and acknowledged (20, 21, 22) with their outbox
// lines, the distress generator's set-up and values (119, "se -g", "se -m "), and the automatic test mode
// (353, 363, 502, 733, 803) with the main window's test-mode banner, whose one owner this is.
class DistressModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    DistressModule(CSession& session, StatusModule& status, MessagingModule& messaging, QObject* parent = nullptr);

    Subsystem subsystem() const override { return Subsystem::Distress; }
    void attach(ModuleContext& context) override;

    // The generator's set-up and the recording of distress alerts in the outbox.
    DistressGeneratorService& generator() { return m_generator; }
    // The distress buttons test mode and the latest distress information.
    DistressTestService& testMode() { return m_testMode; }
    // The In Harbour button on the parallel port.
    InHarbourService& inHarbour() { return m_inHarbour; }

    // Empty while no banner shows.
    const QString& testModeBanner() const { return m_banner; }

Q_SIGNALS:
    // The test-mode banner's text; empty hides it.
    void testModeBannerChanged(const QString& text);
    // An event for the distress test-mode window: 1 (INFO 733) or 3 (INFO 803).
    void testModeEvent(int event);

private:
    void onDistressAlert(int code);
    void queueGeneratorRead();
    void setBanner(const QString& text);

    CSession& m_session;
    StatusModule& m_status;
    MessagingModule& m_messaging;
    ModuleContext* m_context = nullptr;
    QString m_banner;
    DistressGeneratorService m_generator;
    DistressTestService m_testMode;
    InHarbourService m_inHarbour;
};

} // namespace tessaro
