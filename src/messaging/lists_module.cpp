#include "messaging/lists_module.h"

namespace tessaro {

ListsModule::ListsModule(CSession& session, QObject* parent) : QObject(parent), m_session(session) {}

void ListsModule::attach(ModuleContext& context) {
    m_context = &context;
    m_routing.attach(context);
}

} // namespace tessaro
