#pragma once

class QCoreApplication;

namespace tessaro {

struct CommandLine;

// Runs the terminal without a window until SIGINT/SIGTERM (or a fatal start-up problem). Returns the exit code.
int RunHeadless(QCoreApplication& app, const CommandLine& cl);

// Whether this build carries the in-process simulator.
bool SimulatorAvailable();

} // namespace tessaro
