#include "app/command_line.h"

#include <QCommandLineParser>
#include <QProcess>

#include <iterator>

namespace tessaro {

int ParseMessageTypeWord(const QString& word) {
    QString key = word.trimmed().toLower();
    key.remove(QLatin1Char('-'));
    key.remove(QLatin1Char('.'));
    key.remove(QLatin1Char(' '));
    static const char* const kWords[] = {"email", "telex", "fax", "inmc", "pstn", "sac", "dnid", "x25", "sms"};
    for (int i = 0; i < int(std::size(kWords)); ++i)
        if (key == QLatin1String(kWords[i]))
            return i;
    if (key == QLatin1String("inmarsatc"))
        return 3;
    return -1;
}

CommandLine ParseCommandLine(const QStringList& arguments, const OptionAvailability& available) {
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
    const QCommandLineOption send(QStringLiteral("send"),
                                  QStringLiteral("Queue one message once the link is up (TYPE: E-Mail, Telex, Fax, "
                                                 "InmC, PSTN, SAC, DNID, X.25, SMS)."),
                                  QStringLiteral("TYPE:ADDRESS"));
    const QCommandLineOption subject(QStringLiteral("subject"), QStringLiteral("Subject of the --send message."),
                                     QStringLiteral("S"));
    const QCommandLineOption textFile(QStringLiteral("text-file"),
                                      QStringLiteral("File holding the text of the --send message."),
                                      QStringLiteral("F"));
    const QCommandLineOption sendTimeOut(
        QStringLiteral("send-timeout"),
        QStringLiteral("Seconds --send waits for the transceiver to be logged in to an ocean region (default 300)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption migrateFrom(
        QStringLiteral("migrate-from"),
        QStringLiteral("Take over the settings and data of the predecessor program Brivel from DIR, on a first start "
                       "(when Tessaro's settings hold no section Config)."),
        QStringLiteral("DIR"));
    const QCommandLineOption runOnReceive(
        QStringLiteral("run-on-receive"),
        QStringLiteral("Program run (without a shell) after every stored message or EGC, for this run."),
        QStringLiteral("CMD"));
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOptions({dataDir, connect, serial, simulator, headless, formsPort, accept, portable, log, send, subject,
                       textFile, sendTimeOut, migrateFrom, runOnReceive, help, version});

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
    if (parser.isSet(migrateFrom)) {
        cl.migrateFrom = parser.value(migrateFrom).trimmed();
        if (cl.migrateFrom.isEmpty()) {
            cl.error = QStringLiteral("--migrate-from needs the folder of the predecessor program.");
            return cl;
        }
    }
    cl.runOnReceive = parser.value(runOnReceive);
    if (parser.isSet(runOnReceive) && QProcess::splitCommand(cl.runOnReceive).isEmpty()) {
        cl.error = QStringLiteral("--run-on-receive needs the program to run.");
        return cl;
    }
    if (parser.isSet(formsPort)) {
        bool ok = false;
        const int port = parser.value(formsPort).toInt(&ok);
        if (!ok || port < 0 || port > 65535) {
            cl.error = QStringLiteral("--forms-port needs a port number from 0 to 65535.");
            return cl;
        }
        cl.formsPort = port;
    }

    cl.send = parser.isSet(send);
    cl.subject = parser.value(subject);
    cl.textFile = parser.value(textFile);
    if (cl.send) {
        const QString value = parser.value(send);
        const qsizetype colon = value.indexOf(QLatin1Char(':'));
        cl.sendType = colon < 0 ? -1 : ParseMessageTypeWord(value.left(colon));
        cl.sendAddress = colon < 0 ? QString() : value.mid(colon + 1).trimmed();
        if (cl.sendType < 0) {
            cl.error = QStringLiteral("--send needs TYPE:ADDRESS with TYPE one of E-Mail, Telex, Fax, InmC, PSTN, "
                                      "SAC, DNID, X.25, SMS; \"%1\" names none.")
                           .arg(colon < 0 ? value : value.left(colon));
            return cl;
        }
        if (cl.sendAddress.isEmpty()) {
            cl.error = QStringLiteral("--send needs an address after \"%1:\".").arg(value.left(colon));
            return cl;
        }
        if (cl.textFile.isEmpty()) {
            cl.error = QStringLiteral("--send needs --text-file F with the text of the message.");
            return cl;
        }
        if (parser.isSet(sendTimeOut)) {
            bool ok = false;
            cl.sendTimeOutSeconds = parser.value(sendTimeOut).toInt(&ok);
            if (!ok || cl.sendTimeOutSeconds < 1) {
                cl.error = QStringLiteral("--send-timeout needs a number of seconds, 1 or more.");
                return cl;
            }
        }
    } else if (parser.isSet(subject) || parser.isSet(textFile) || parser.isSet(sendTimeOut)) {
        cl.error = QStringLiteral("--subject, --text-file and --send-timeout belong to --send.");
        return cl;
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
