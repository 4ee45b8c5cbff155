#pragma once

#include "app/runtime.h"

class QApplication;

namespace tessaro {

// Runs the program with its main window until the operator closes it. Returns the exit code.
int RunGui(QApplication& app, const RuntimeOptions& options);

} // namespace tessaro
