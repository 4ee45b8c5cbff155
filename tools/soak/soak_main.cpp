// tessaro-soak: runs the headless program against the simulator under many faults (and SIGKILL trials) and
// checks afterwards that no message or EGC was lost or stored twice and that every send went out once.

#include "soak_checks.h"
#include "soak_lane.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace tessaro::soak;

namespace {

void print(const QString& text) {
    std::fputs(qPrintable(text + u'\n'), stdout);
    std::fflush(stdout);
}

QString besideMe(const QString& relative) {
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(relative);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaro-soak"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Soak run and kill trials of the headless program"));
    parser.addHelpOption();
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("seed of every random choice"),
                                  QStringLiteral("N"));
    const QCommandLineOption faults(QStringLiteral("faults"), QStringLiteral("faults to inject (0: no fault soak)"),
                                    QStringLiteral("N"), QStringLiteral("30"));
    const QCommandLineOption kills(QStringLiteral("kills"), QStringLiteral("kill trials (0: none)"),
                                   QStringLiteral("N"), QStringLiteral("3"));
    const QCommandLineOption minutes(QStringLiteral("minutes"),
                                     QStringLiteral("stop injecting after this many minutes (0: no limit)"),
                                     QStringLiteral("M"), QStringLiteral("0"));
    const QCommandLineOption pty(QStringLiteral("pty"), QStringLiteral("reach the simulator over a pseudo-terminal"));
    const QCommandLineOption sim(QStringLiteral("sim"), QStringLiteral("the simulator executable"),
                                 QStringLiteral("PATH"), besideMe(QStringLiteral("../../sim/tessaro-mes-sim")));
    const QCommandLineOption program(QStringLiteral("tessaro"), QStringLiteral("the program executable"),
                                     QStringLiteral("PATH"), besideMe(QStringLiteral("../../src/app/tessaro")));
    const QCommandLineOption keep(QStringLiteral("keep"), QStringLiteral("keep the work folder (printed)"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("print every fault and program line"));
    const QCommandLineOption noQuiet(QStringLiteral("no-quiet"),
                                     QStringLiteral("faults in bursts only, no quiet spell of a poll cycle between"));
    const QCommandLineOption kinds(QStringLiteral("kinds"),
                                   QStringLiteral("the fault kinds to inject, comma-separated (default: all of drop, "
                                                  "stall, restart, exit-terminal, short-ty, slow, pc-restart)"),
                                   QStringLiteral("LIST"));
    parser.addOptions({seed, faults, kills, minutes, pty, sim, program, keep, verbose, noQuiet, kinds});
    parser.process(app);

    bool ok = true;
    const quint32 seedValue =
        parser.isSet(seed) ? parser.value(seed).toUInt(&ok) : quint32(QDateTime::currentMSecsSinceEpoch() % 1000000);
    const int faultCount = parser.value(faults).toInt(&ok) * (ok ? 1 : 0);
    const int killCount = parser.value(kills).toInt();
    const double minutesValue = parser.value(minutes).toDouble();
    for (const QString& path : {parser.value(sim), parser.value(program)}) {
        if (!QFileInfo(path).isExecutable()) {
            std::fprintf(stderr, "tessaro-soak: %s is not an executable\n", qPrintable(path));
            return 2;
        }
    }
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/tessaro-soak-XXXXXX"));
    work.setAutoRemove(!parser.isSet(keep));
    print(QStringLiteral("tessaro-soak: seed %1, faults %2, kill trials %3%4, transport %5")
              .arg(seedValue)
              .arg(faultCount)
              .arg(killCount)
              .arg(minutesValue > 0 ? QStringLiteral(", at most %1 min").arg(minutesValue) : QString())
              .arg(parser.isSet(pty) ? QStringLiteral("pseudo-terminal") : QStringLiteral("TCP")));
    if (parser.isSet(keep))
        print(QStringLiteral("work folder: ") + work.path());

    // The two lanes run side by side, each with its own simulator, program and data folder; the kill lane's
    // generator is seeded with seed + 1.
    std::vector<std::unique_ptr<Lane>> lanes;
    auto addLane = [&](bool killLane, int target) {
        if (target <= 0)
            return;
        LaneOptions o;
        o.simPath = parser.value(sim);
        o.tessaroPath = parser.value(program);
        o.workDir = work.path() + (killLane ? QStringLiteral("/kills") : QStringLiteral("/faults"));
        o.seed = seedValue + (killLane ? 1 : 0);
        o.kills = killLane;
        o.target = target;
        o.budgetMs = qint64(minutesValue * 60000.0);
        o.pty = parser.isSet(pty);
        o.verbose = parser.isSet(verbose);
        o.quietSpells = !parser.isSet(noQuiet);
        if (parser.isSet(kinds))
            o.kinds = parser.value(kinds).split(u',', Qt::SkipEmptyParts);
        lanes.push_back(std::make_unique<Lane>(o));
    };
    addLane(false, faultCount);
    addLane(true, killCount);
    int running = int(lanes.size());
    if (running == 0)
        return 0;
    for (auto& lane : lanes) {
        QObject::connect(lane.get(), &Lane::finished, &app, [&running] {
            if (--running == 0)
                QCoreApplication::quit();
        });
        lane->start();
    }
    QElapsedTimer wall;
    wall.start();
    app.exec();

    bool allHeld = true;
    for (auto& lane : lanes) {
        const LaneReport report = CheckLane(*lane);
        print(QString());
        print(QStringLiteral("== %1 (seed %2)").arg(lane->name()).arg(lane->options().seed));
        for (auto it = report.counts.begin(); it != report.counts.end(); ++it)
            print(QStringLiteral("  %1: %2").arg(it.key()).arg(it.value()));
        QList<qint64> all;
        for (auto it = report.recoveryMs.begin(); it != report.recoveryMs.end(); ++it) {
            print(QStringLiteral("  recovery after %1: %2").arg(it.key(), RecoverySummary(it.value())));
            all << it.value();
        }
        print(QStringLiteral("  recovery, all: %1").arg(RecoverySummary(all)));
        for (const QString& f : report.failures)
            print(QStringLiteral("  FAIL: ") + f);
        print(report.failures.isEmpty() ? QStringLiteral("  every promise held") : QStringLiteral("  PROMISES BROKEN"));
        allHeld = allHeld && report.failures.isEmpty();
    }
    print(QStringLiteral("tessaro-soak: seed %1, %2 s, %3")
              .arg(seedValue)
              .arg(wall.elapsed() / 1000)
              .arg(allHeld ? QStringLiteral("passed") : QStringLiteral("FAILED")));
    if (!allHeld && !parser.isSet(keep)) {
        work.setAutoRemove(false);
        print(QStringLiteral("work folder kept for inspection: ") + work.path());
    }
    return allHeld ? 0 : 1;
}
