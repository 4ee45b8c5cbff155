#include "app/command_line.h"
#include "app/signal_watcher.h"
#include "config/configuration.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

using namespace tessaro;

namespace {
void printLine(FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

int runHeadless(QCoreApplication& app, const CommandLine& cl)
{
    const DataPathChoice choice = ResolveDataPath(cl.dataDir, QCoreApplication::applicationDirPath());
    if (!choice.error.isEmpty()) {
        printLine(stderr, choice.error);
        return 1;
    }
    CConfiguration config(choice.path, cl.portable);
    config.LoadIni();
    if (cl.acceptDisclaimer)
        config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("YES"), true);

    printLine(stdout, QStringLiteral("Tessaro %1 (headless)").arg(QLatin1String(TESSARO_VERSION)));
    printLine(stdout, QStringLiteral("Data folder: %1").arg(config.DataPath()));
    printLine(stdout, QStringLiteral("Settings store: %1").arg(config.settingsLocation()));
    printLine(stdout, QStringLiteral("The transceiver link is not part of this build yet; waiting for SIGINT/SIGTERM."));

    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &app, [&](int) {
        config.SaveIni();
        printLine(stdout, QStringLiteral("Tessaro stopped."));
        app.exit(0);
    });
    return app.exec();
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaro"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tessaro"));
    QCoreApplication::setApplicationVersion(QLatin1String(TESSARO_VERSION));

    const CommandLine cl = ParseCommandLine(QCoreApplication::arguments(), OptionAvailability{});
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
    return runHeadless(app, cl);
}
