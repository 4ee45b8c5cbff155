#include "app/command_line.h"

#include <QCommandLineParser>

namespace tessaro {

CommandLine ParseCommandLine(const QStringList& arguments, const OptionAvailability& available)
{
    CommandLine cl;
    QCommandLineParser parser;
    // "-log" is a word option, as the operators know it; "--data-dir" style options still work.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Tessaro: terminal program for an Inmarsat-C mobile earth station."));

    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Data folder for this run."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption connect(QStringLiteral("connect"),
                                     QStringLiteral("LAN transport to HOST (port 23 when omitted) for this run."),
                                     QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("Serial transport on a device path for this run."),
                                    QStringLiteral("DEVICE[,SETTINGS]"));
    const QCommandLineOption simulator(QStringLiteral("simulator"),
                                       QStringLiteral("Start the built-in transceiver simulator and connect to it."));
    const QCommandLineOption headless(QStringLiteral("headless"),
                                      QStringLiteral("No window: messages go to standard output and the logs."));
    const QCommandLineOption formsPort(QStringLiteral("forms-port"),
                                       QStringLiteral("Port of the forms server for this run (0: any free port)."),
                                       QStringLiteral("N"));
    const QCommandLineOption accept(QStringLiteral("accept-disclaimer"),
                                    QStringLiteral("Accept the disclaimer without showing it."));
    const QCommandLineOption portable(QStringLiteral("portable"),
                                      QStringLiteral("Keep the settings store inside Tessaro.ini."));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Log the PC communication to CommLog.txt from start-up."));
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOptions({dataDir, connect, serial, simulator, headless, formsPort, accept, portable, log, help, version});

    cl.helpText = parser.helpText();
    if (!parser.parse(arguments)) {
        cl.error = parser.errorText();
        return cl;
    }
    if (!parser.positionalArguments().isEmpty()) {
        cl.error = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().first());
        return cl;
    }

    cl.help = parser.isSet(help);
    cl.version = parser.isSet(version);
    cl.dataDir = parser.value(dataDir);
    cl.connect = parser.value(connect);
    cl.serial = parser.value(serial);
    cl.simulator = parser.isSet(simulator);
    cl.headless = parser.isSet(headless);
    cl.acceptDisclaimer = parser.isSet(accept);
    cl.portable = parser.isSet(portable);
    cl.logComm = parser.isSet(log);
    if (parser.isSet(formsPort)) {
        bool ok = false;
        const int port = parser.value(formsPort).toInt(&ok);
        if (!ok || port < 0 || port > 65535) {
            cl.error = QStringLiteral("--forms-port needs a port number from 0 to 65535.");
            return cl;
        }
        cl.formsPort = port;
    }

    const int transports = int(parser.isSet(connect)) + int(parser.isSet(serial)) + int(cl.simulator);
    if (transports > 1) {
        cl.error = QStringLiteral("Choose one of --connect, --serial and --simulator.");
        return cl;
    }

    struct Gate {
        bool set;
        bool available;
        const char* name;
    };
    const Gate gates[] = {{parser.isSet(connect), available.connect, "--connect"},
                          {parser.isSet(serial), available.serial, "--serial"},
                          {cl.simulator, available.simulator, "--simulator"},
                          {parser.isSet(formsPort), available.formsPort, "--forms-port"}};
    for (const Gate& g : gates) {
        if (g.set && !g.available) {
            cl.error = QStringLiteral("%1 is not available yet: this build of Tessaro does not include it.")
                           .arg(QLatin1String(g.name));
            return cl;
        }
    }
    return cl;
}

} // namespace tessaro
