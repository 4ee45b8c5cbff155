#include "app/gui_run.h"

#include "app/command_line.h"
#include "app/in_process_simulator.h"
#include "config/configuration.h"
#include "link/link_settings.h"
#include "shell/gui_main.h"

#include <QApplication>

#include <cstdio>

namespace tessaro {

int RunWithWindow(QApplication& app, const CommandLine& cl)
{
    if (!cl.connect.isEmpty() && !ParseHostPort(cl.connect).ok) {
        std::fprintf(stderr, "tessaro: --connect needs HOST or HOST:PORT (port 1..65535), not \"%s\".\n",
                     cl.connect.toLocal8Bit().constData());
        return 2;
    }
    if (!cl.serial.isEmpty() && ParseSerialTarget(cl.serial).device.isEmpty()) {
        std::fprintf(stderr, "tessaro: --serial needs a device path, for example /dev/ttyUSB0.\n");
        return 2;
    }
    if (cl.send) {
        std::fprintf(stderr, "tessaro: --send is for --headless runs; in the window use Messages > New.\n");
        return 2;
    }
    const DataPathChoice choice = ResolveDataPath(cl.dataDir, QCoreApplication::applicationDirPath());
    if (!choice.error.isEmpty()) {
        std::fprintf(stderr, "tessaro: %s\n", choice.error.toLocal8Bit().constData());
        return 1;
    }

    GuiRunOptions options;
    options.dataPath = choice.path;
    options.portable = cl.portable;
    options.acceptDisclaimer = cl.acceptDisclaimer;
    options.formsPort = cl.formsPort;
    options.terminal.connect = cl.connect;
    options.terminal.serial = cl.serial;
    options.terminal.logComm = cl.logComm;

    InProcessSimulator simulator; // lives until the window closes
    if (cl.simulator) {
        QString error;
        options.terminal.connect = simulator.start(&error);
        if (options.terminal.connect.isEmpty()) {
            std::fprintf(stderr, "tessaro: %s\n", error.toLocal8Bit().constData());
            return 1;
        }
    }
    return RunGui(app, options);
}

} // namespace tessaro
