#include "messaging/lists_module.h"

#include "messaging/les_list_service.h"

namespace tessaro {

ListsModule::ListsModule(CSession& session, QObject* parent) : QObject(parent), m_session(session) {}

ListsModule::~ListsModule() = default;

void ListsModule::attach(ModuleContext& context) {
    m_context = &context;
    m_routing.attach(context);
    m_lesLists = std::make_unique<LesListService>(context.config(), m_session);
    m_lesLists->attach(context);
}

} // namespace tessaro
