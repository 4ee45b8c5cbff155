#include "app/command_line.h"
#include "app/headless_run.h"

#if TESSARO_HAS_GUI
#include "app/gui_run.h"
#include <QApplication>
#endif

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

using namespace tessaro;

namespace {
void printLine(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

bool hasArgument(int argc, char* argv[], std::initializer_list<const char*> names) {
    for (int i = 1; i < argc; ++i)
        for (const char* name : names)
            if (std::strcmp(argv[i], name) == 0)
                return true;
    return false;
}

// A window needs a display; Qt would abort without one, so the choice is made before Qt starts.
bool displayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

void setIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("Tessaro"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tessaro"));
    QCoreApplication::setApplicationVersion(QLatin1String(TESSARO_VERSION));
}

OptionAvailability availableOptions() {
    OptionAvailability available;
    available.connect = true;
    available.serial = true;
    available.simulator = SimulatorAvailable();
    available.formsPort = true;
    return available;
}

// Parses the command line; returns an exit code when the run ends here (errors, --help, --version).
std::optional<int> handleCommandLine(const CommandLine& cl) {
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
    return std::nullopt;
}
} // namespace

int main(int argc, char* argv[]) {
    const bool windowWanted = !hasArgument(argc, argv, {"--headless", "-headless", "--help", "-h", "--version"});
#if TESSARO_HAS_GUI
    if (windowWanted && displayAvailable()) {
        QApplication app(argc, argv);
        setIdentity();
        const CommandLine cl = ParseCommandLine(QCoreApplication::arguments(), availableOptions());
        if (const auto code = handleCommandLine(cl))
            return *code;
        return RunWithWindow(app, cl);
    }
#endif
    QCoreApplication app(argc, argv);
    setIdentity();
    const CommandLine cl = ParseCommandLine(QCoreApplication::arguments(), availableOptions());
    if (const auto code = handleCommandLine(cl))
        return *code;
    if (windowWanted) {
        printLine(stdout, TESSARO_HAS_GUI
                              ? QStringLiteral("No display found (DISPLAY and WAYLAND_DISPLAY are not set): "
                                               "running without a window, as with --headless.")
                              : QStringLiteral("This build has no main window: running without a "
                                               "window, as with --headless."));
    }
    return RunHeadless(app, cl);
}
