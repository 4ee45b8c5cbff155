#pragma once

#include "messaging/routing_service.h"
#include "status/module_context.h"

#include <QObject>

namespace tessaro {

class CSession;

// The lists subsystem: LES and provider lists ("st -n", "status -n"), the transceiver's routing ("ro") and
// its configuration variables ("set -z"). Each service below registers its own routes when the module
// attaches; the module is complete once all of them are in.
class ListsModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    explicit ListsModule(CSession& session, QObject* parent = nullptr);

    Subsystem subsystem() const override { return Subsystem::Lists; }
    void attach(ModuleContext& context) override;
    bool providesAllRoutes() const override { return false; }
    RoutingService& routing() { return m_routing; }

private:
    CSession& m_session;
    ModuleContext* m_context = nullptr;
    RoutingService m_routing;
};

} // namespace tessaro
