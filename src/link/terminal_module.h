#pragma once

namespace tessaro {

class CTerminal;

// A later subsystem joins the terminal through this: attach() registers its routing slots, hooks and
// timer jobs before start-up; startUp() runs once the data folders exist and the disclaimer is accepted
// (index files, lists, settings), before the transport opens; shutDown() runs when closing completes.
class ITerminalModule {
public:
    virtual ~ITerminalModule() = default;
    virtual void attach(CTerminal& terminal) = 0;
    virtual void startUp(CTerminal&) {}
    virtual void shutDown(CTerminal&) {}
};

} // namespace tessaro
