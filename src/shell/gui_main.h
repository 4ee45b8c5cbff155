#pragma once

#include "link/terminal.h"

#include <QString>

class QApplication;

namespace tessaro {

// What the command line decided for a run with the window.
struct GuiRunOptions {
    QString dataPath;      // resolved data folder, ending with "/"
    bool portable = false; // settings store inside Tessaro.ini
    bool acceptDisclaimer = false;
    int formsPort = -1;       // forms server port for this run (-1: the "LocalPort" setting)
    TerminalOptions terminal; // transport for this run (--connect, --serial, or the simulator's address)
};

// Runs the program with its main window until the operator closes it. Returns the exit code.
int RunGui(QApplication& app, const GuiRunOptions& options);

} // namespace tessaro
