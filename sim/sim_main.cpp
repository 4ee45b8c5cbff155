#include "mes_simulator.h"
#include "slp_agent.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>

using namespace tessaro::sim;

namespace {

void fail(const QString& text) {
    std::fprintf(stderr, "tessaro-mes-sim: %s\n", qPrintable(text));
    std::exit(2);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaro-mes-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARO_VERSION));
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A virtual Inmarsat-C transceiver speaking the shell over TCP or a "
                                                    "pseudo-terminal."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("TCP shell address (default 127.0.0.1:2323)."),
                                    QStringLiteral("HOST:PORT"), QStringLiteral("127.0.0.1:2323"));
    const QCommandLineOption pty(QStringLiteral("pty"),
                                 QStringLiteral("Create a pseudo-terminal and act as the serial side."));
    const QCommandLineOption lineEnd(QStringLiteral("line-end"), QStringLiteral("lf, crlf (default) or crcrlf."),
                                     QStringLiteral("KIND"), QStringLiteral("crlf"));
    const QCommandLineOption prompt(QStringLiteral("prompt"), QStringLiteral("can0 (default), can1 or can2."),
                                    QStringLiteral("NAME"), QStringLiteral("can0"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Pace output like a serial line; 0 = unpaced."), QStringLiteral("N"),
                                  QStringLiteral("0"));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("Transceiver model: %1.").arg(modelKeys().join(QStringLiteral(", "))),
                                   QStringLiteral("NAME"), QStringLiteral("larch-c"));
    const QCommandLineOption egcOnly(QStringLiteral("egc-only"),
                                     QStringLiteral("An EGC-only receiver: \"tx\" is refused."));
    const QCommandLineOption control(QStringLiteral("control"), QStringLiteral("Scenario control port."),
                                     QStringLiteral("HOST:PORT"));
    const QCommandLineOption scenario(QStringLiteral("scenario"), QStringLiteral("Run the scenario commands of FILE."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the random choices."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption noChunks(QStringLiteral("no-chunks"), QStringLiteral("Write each reply in one piece."));
    const QCommandLineOption slp(QStringLiteral("slp"),
                                 QStringLiteral("Answer SLP requests on this unicast UDP address (never multicast)."),
                                 QStringLiteral("HOST:PORT"));
    const QCommandLineOption slpModel(QStringLiteral("slp-model"),
                                      QStringLiteral("The device-model attribute (default 7302)."),
                                      QStringLiteral("MODEL"), QStringLiteral("7302"));
    const QCommandLineOption slpVersion(QStringLiteral("slp-sw-version"),
                                        QStringLiteral("The device-sw-version attribute (default 1.06)."),
                                        QStringLiteral("VERSION"), QStringLiteral("1.06"));
    parser.addOptions({listen, pty, lineEnd, prompt, baud, model, egcOnly, control, scenario, seed, noChunks, slp,
                       slpModel, slpVersion});
    parser.process(app);

    SimOptions options;
    const auto le = parseLineEnd(parser.value(lineEnd));
    if (!le)
        fail(QStringLiteral("--line-end must be lf, crlf or crcrlf"));
    options.lineEnd = *le;
    options.prompt = promptFor(parser.value(prompt));
    if (options.prompt.isEmpty())
        fail(QStringLiteral("--prompt must be can0, can1 or can2"));
    bool ok = false;
    options.baud = parser.value(baud).toInt(&ok);
    if (!ok || options.baud < 0)
        fail(QStringLiteral("--baud must be a number, 0 for unpaced"));
    if (!findModel(parser.value(model)))
        fail(QStringLiteral("unknown model '%1'; known: %2").arg(parser.value(model), modelKeys().join(u' ')));
    options.model = parser.value(model);
    options.egcOnly = parser.isSet(egcOnly);
    options.seed = parser.value(seed).toUInt(&ok);
    if (!ok)
        fail(QStringLiteral("--seed must be a number"));
    options.chunked = !parser.isSet(noChunks);

    MesSimulator sim(options);
    QHostAddress host;
    quint16 port = 0;
    if (!parseHostPort(parser.value(listen), &host, &port))
        fail(QStringLiteral("bad --listen address '%1'").arg(parser.value(listen)));
    if (!sim.listen(host, port))
        fail(QStringLiteral("cannot listen on %1: %2").arg(parser.value(listen), sim.errorString()));
    std::printf("Shell: %s:%u\n", qPrintable(sim.serverAddress().toString()), sim.serverPort());
    if (parser.isSet(control)) {
        if (!parseHostPort(parser.value(control), &host, &port))
            fail(QStringLiteral("bad --control address '%1'").arg(parser.value(control)));
        if (!sim.listenControl(host, port))
            fail(QStringLiteral("cannot listen for control on %1").arg(parser.value(control)));
        std::printf("Control: %s:%u\n", qPrintable(host.toString()), sim.controlPort());
    }
    if (parser.isSet(pty)) {
        QString path;
        QString error;
        if (!sim.openPty(&path, &error))
            fail(error);
        std::printf("Pseudo-terminal: %s\n", qPrintable(path));
    }
    SlpAgent agent;
    if (parser.isSet(slp)) {
        if (!parseHostPort(parser.value(slp), &host, &port))
            fail(QStringLiteral("bad --slp address '%1'").arg(parser.value(slp)));
        if (!agent.listen(host, port))
            fail(QStringLiteral("cannot listen for SLP on %1: %2").arg(parser.value(slp), agent.errorString()));
        agent.setShellAddress(sim.serverAddress(), sim.serverPort());
        agent.setModel(parser.value(slpModel).toLatin1());
        agent.setSoftwareVersion(parser.value(slpVersion).toLatin1());
        std::printf("SLP: %s:%u %s\n", qPrintable(agent.address().toString()), agent.port(),
                    agent.serviceUrl().constData());
    }
    std::printf("Model: %s\n", qPrintable(sim.unit()->model().key));
    std::fflush(stdout);
    if (parser.isSet(scenario)) {
        QString error;
        if (!sim.runScenarioFile(parser.value(scenario), &error))
            fail(error);
    }
    return QCoreApplication::exec();
}
