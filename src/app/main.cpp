#include "app/command_line.h"
#include "app/headless_run.h"

#include <QCoreApplication>

#include <cstdio>

using namespace tessaro;

namespace {
void printLine(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaro"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tessaro"));
    QCoreApplication::setApplicationVersion(QLatin1String(TESSARO_VERSION));

    OptionAvailability available;
    available.connect = true;
    available.serial = true;
    available.simulator = SimulatorAvailable();
    available.formsPort = true;
    const CommandLine cl = ParseCommandLine(QCoreApplication::arguments(), available);
    if (!cl.error.isEmpty()) {
        printLine(stderr, QStringLiteral("tessaro: ") + cl.error);
        return 2;
    }
    if (cl.help) {
        printLine(stdout, cl.helpText);
        return 0;
    }
    if (cl.version) {
        printLine(stdout, QStringLiteral("Tessaro %1").arg(QLatin1String(TESSARO_VERSION)));
        return 0;
    }
    if (!cl.headless)
        printLine(stdout, QStringLiteral("The main window is not part of this build yet: running without a window."));
    return RunHeadless(app, cl);
}
