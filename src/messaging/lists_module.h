#pragma once

#include "messaging/routing_service.h"
#include "status/module_context.h"

#include <QObject>

#include <memory>

namespace tessaro {

class CSession;
class LesListService;

// The lists subsystem: LES and provider lists ("st -n", "status -n"), the transceiver's routing ("ro") and
// its configuration variables ("set -z"). Each service below registers its own routes when the module
// attaches.
class ListsModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    explicit ListsModule(CSession& session, QObject* parent = nullptr);
    ~ListsModule() override;

    Subsystem subsystem() const override { return Subsystem::Lists; }
    void attach(ModuleContext& context) override;
    RoutingService& routing() { return m_routing; }

    // The LES and provider lists; null until the module is attached.
    LesListService* lesLists() const { return m_lesLists.get(); }

private:
    CSession& m_session;
    ModuleContext* m_context = nullptr;
    RoutingService m_routing;
    std::unique_ptr<LesListService> m_lesLists;
};

} // namespace tessaro
