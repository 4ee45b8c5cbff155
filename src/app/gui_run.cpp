#include "app/gui_run.h"

#include "app/command_line.h"
#include "app/in_process_simulator.h"
#include "app/run_setup.h"
#include "shell/gui_main.h"

#include <QApplication>

#include <cstdio>

namespace tessaro {

int RunWithWindow(QApplication& app, const CommandLine& cl) {
    if (cl.send) {
        std::fprintf(stderr, "tessaro: --send is for --headless runs; in the window use Messages > New.\n");
        return 2;
    }
    InProcessSimulator simulator; // lives until the window closes
    RuntimeOptions options;
    QString error;
    if (const std::optional<int> code = PrepareRun(cl, simulator, &options, &error)) {
        std::fprintf(stderr, "tessaro: %s\n", error.toLocal8Bit().constData());
        return *code;
    }
    return RunGui(app, options);
}

} // namespace tessaro
