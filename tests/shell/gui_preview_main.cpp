// The main window on an in-process simulator with a few messages, for scripts/screenshot while the
// program's own main() does not open the window yet. Usage: tessaro_gui_preview DATA_DIR
#include "mes_simulator.h"
#include "shell/gui_main.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaro"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: tessaro_gui_preview DATA_DIR\n");
        return 2;
    }
    tessaro::sim::MesSimulator simulator;
    if (!simulator.listen(QHostAddress(QHostAddress::LocalHost), 0))
        return 1;
    simulator.runScenario({QStringLiteral("message les=112 priority=0 Please confirm ETA Rotterdam."),
                           QStringLiteral("message les=112 priority=1 NAVAREA I warning 123/26 received."),
                           QStringLiteral("message les=102 priority=3 Distress relay: vessel in position 50N 010W.")});
    tessaro::GuiRunOptions options;
    options.dataPath = args.at(1).endsWith(u'/') ? args.at(1) : args.at(1) + u'/';
    options.portable = true;
    options.acceptDisclaimer = true;
    options.terminal.connect = QStringLiteral("127.0.0.1:%1").arg(simulator.serverPort());
    return tessaro::RunGui(app, options);
}
