#pragma once

#include "status/module_context.h"

#include <QObject>

#include <memory>

namespace tessaro {

class CSession;
class LesListService;

// The lists subsystem: LES and provider lists ("st -n", "status -n"), the transceiver's routing ("ro") and
// its configuration variables ("set -z"). Each service below registers its own routes when the module
// attaches; the module is complete once all of them are in.
class ListsModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    explicit ListsModule(CSession& session, QObject* parent = nullptr);
    ~ListsModule() override;

    Subsystem subsystem() const override { return Subsystem::Lists; }
    void attach(ModuleContext& context) override;
    bool providesAllRoutes() const override { return false; }

    // The LES and provider lists; null until the module is attached.
    LesListService* lesLists() const { return m_lesLists.get(); }

private:
    CSession& m_session;
    ModuleContext* m_context = nullptr;
    std::unique_ptr<LesListService> m_lesLists;
};

} // namespace tessaro
