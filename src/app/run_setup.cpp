#include "app/run_setup.h"

#include "app/command_line.h"
#include "app/in_process_simulator.h"
#include "config/configuration.h"
#include "link/link_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tessaro {

std::optional<int> PrepareRun(const CommandLine& cl, InProcessSimulator& simulator, RuntimeOptions* options,
                              QString* error) {
    if (!cl.connect.isEmpty() && !ParseHostPort(cl.connect).ok) {
        *error = QStringLiteral("--connect needs HOST or HOST:PORT (port 1..65535), not \"%1\".").arg(cl.connect);
        return 2;
    }
    if (!cl.serial.isEmpty() && ParseSerialTarget(cl.serial).device.isEmpty()) {
        *error = QStringLiteral("--serial needs a device path, for example /dev/ttyUSB0.");
        return 2;
    }
    if (!cl.migrateFrom.isEmpty() && !QFileInfo(cl.migrateFrom).isDir()) {
        *error = QStringLiteral("--migrate-from: the folder %1 does not exist.").arg(cl.migrateFrom);
        return 2;
    }
    const DataPathChoice choice = ResolveDataPath(cl.dataDir, QCoreApplication::applicationDirPath());
    if (!choice.error.isEmpty()) {
        *error = choice.error;
        return 1;
    }
    if (!QDir().mkpath(choice.path)) {
        *error = QStringLiteral("the data folder %1 cannot be created").arg(choice.path);
        return 1;
    }
    options->dataPath = choice.path;
    options->portable = cl.portable;
    options->migrateFrom = cl.migrateFrom;
    options->acceptDisclaimer = cl.acceptDisclaimer;
    options->formsPort = cl.formsPort;
    options->receiveHook = cl.runOnReceive;
    options->terminal.connect = cl.connect;
    options->terminal.serial = cl.serial;
    options->terminal.logComm = cl.logComm;
    if (cl.simulator) {
        options->terminal.connect = simulator.start(error);
        if (options->terminal.connect.isEmpty())
            return 1;
    }
    return std::nullopt;
}

} // namespace tessaro
