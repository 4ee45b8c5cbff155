#pragma once

#include "app/runtime.h"

#include <QString>

#include <optional>

namespace tessaro {

struct CommandLine;
class InProcessSimulator;

// Checks what the command line asks for and turns it into the runtime's options, for the window and the
// headless program alike: the transport arguments, the data folder, the in-process simulator. Returns an
// exit code when the run ends here; the reason is in *error.
std::optional<int> PrepareRun(const CommandLine& cl, InProcessSimulator& simulator, RuntimeOptions* options,
                              QString* error);

} // namespace tessaro
