#pragma once

class QApplication;

namespace tessaro {

struct CommandLine;

// Runs the program with its main window (on the in-process simulator with --simulator). Returns the exit code.
int RunWithWindow(QApplication& app, const CommandLine& cl);

} // namespace tessaro
