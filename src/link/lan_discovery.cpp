#include "link/lan_discovery.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "config/text_util.h"
#include "link/slp_codec.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <memory>

namespace tessaro {

namespace {

const QString kSection = QStringLiteral("SLP");

// The value of "name=" inside one attribute list line: up to the ")" or "," that ends the attribute.
std::optional<QString> attributeValue(const QString& line, QLatin1String name) {
    const qsizetype at = line.indexOf(name, 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    const qsizetype start = at + name.size();
    qsizetype end = start;
    while (end < line.size() && line[end] != u')' && line[end] != u',')
        ++end;
    return line.mid(start, end - start).trimmed();
}

bool lineNamesSupportedModel(const QString& line) {
    const auto model = attributeValue(line, QLatin1String("device-model="));
    return model && *model == QLatin1String("7302");
}

QStringList outputLines(const QString& output) {
    return output.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
}

} // namespace

QStringList ServiceAddresses(const QString& output) {
    QStringList out;
    qsizetype at = output.indexOf(QLatin1String("//"));
    while (at >= 0) {
        const qsizetype start = at + 2;
        const qsizetype comma = output.indexOf(u',', start);
        if (comma < 0)
            break; // a URL without its lifetime is cut off: no address to trust
        const QString address = StripLineEnds(output.mid(start, comma - start)).trimmed();
        // A "//" whose "," lies on a later line is not a URL.
        if (!address.isEmpty() && !address.contains(u'\n') && !address.contains(u'\r') && !out.contains(address))
            out << address;
        at = output.indexOf(QLatin1String("//"), start);
    }
    return out;
}

bool IsSupportedTransceiver(const QString& output) {
    for (const QString& line : outputLines(output)) {
        if (lineNamesSupportedModel(line))
            return true;
    }
    return false;
}

std::optional<TcuVersion> ParseTcuSwVersion(const QString& output) {
    for (const QString& line : outputLines(output)) {
        if (!lineNamesSupportedModel(line))
            continue;
        const auto value = attributeValue(line, QLatin1String("device-sw-version="));
        if (!value || value->isEmpty())
            continue;
        const qsizetype dot = value->indexOf(u'.');
        TcuVersion v;
        v.major = int(qBound(qint64(0), Val(dot < 0 ? *value : value->left(dot)), qint64(9999)));
        v.minor = dot < 0 ? 0 : int(qBound(qint64(0), Val(value->mid(dot + 1, 2)), qint64(99)));
        return v;
    }
    return std::nullopt;
}

void HiddenRunner::RunHidden(const QString& program, const QStringList& arguments,
                             std::function<void(const QString&)> done) {
    auto* process = new QProcess(this);
    auto* limit = new QTimer(process);
    auto finished = std::make_shared<bool>(false);
    process->setProcessChannelMode(QProcess::MergedChannels);
    const auto complete = [this, process, done, finished, program](bool timedOut) {
        if (*finished)
            return;
        *finished = true;
        if (timedOut) {
            m_errorLog.AddLine(QStringLiteral("Slp tool %1 did not finish within %2 ms; its output so far is used")
                                   .arg(program)
                                   .arg(m_limitMs));
            process->kill();
        }
        const QString output = QString::fromUtf8(process->readAll());
        process->disconnect(this);
        // A killed tool is reaped first: deleting its process object while it runs would wait for it.
        if (process->state() == QProcess::NotRunning)
            process->deleteLater();
        else
            connect(process, &QProcess::finished, process, &QObject::deleteLater);
        done(output);
    };
    connect(process, &QProcess::finished, this, [complete] { complete(false); });
    connect(process, &QProcess::errorOccurred, this, [this, process, program, complete](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            m_errorLog.AddLine(QStringLiteral("Could not launch %1: %2 - Could not launch a required program")
                                   .arg(program, process->errorString()));
            complete(false);
        } else if (e == QProcess::ReadError) {
            m_errorLog.AddLine(QStringLiteral("Slp tool error %1: %2").arg(int(e)).arg(process->errorString()));
        }
    });
    limit->setSingleShot(true);
    connect(limit, &QTimer::timeout, this, [complete] { complete(true); });
    limit->start(m_limitMs);
    process->start(program, arguments, QIODevice::ReadOnly);
}

HiddenRunner::~HiddenRunner() {
    // Tools still running when the program closes are stopped, not left behind or warned about.
    for (QProcess* process : findChildren<QProcess*>()) {
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(1000);
        }
    }
}

LanDiscovery::LanDiscovery(CConfiguration& config, cErrorLog& errorLog, QObject* parent)
    : QObject(parent), m_config(config), m_errorLog(errorLog), m_runner(errorLog) {}

QString LanDiscovery::toolPath() const {
    const QString configured = m_config.GetSettingValue(kSection, QStringLiteral("Tool")).trimmed();
    if (!configured.isEmpty())
        return configured;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tessaro-slp"));
}

QStringList LanDiscovery::commonArguments() const {
    QStringList args;
    const QString port = m_config.GetSettingValue(kSection, QStringLiteral("Port")).trimmed();
    if (!port.isEmpty())
        args << QStringLiteral("--port") << port;
    const QString wait = m_config.GetSettingValue(kSection, QStringLiteral("WaitMs")).trimmed();
    if (!wait.isEmpty())
        args << QStringLiteral("--wait") << wait;
    return args;
}

QStringList LanDiscovery::findAttrsArguments(const QString& address) const {
    return commonArguments() << QStringLiteral("-u") << address << QStringLiteral("findattrs")
                             << QLatin1String(slp::kServiceType);
}

void LanDiscovery::runSearch() {
    if (m_searching)
        return;
    QStringList args = commonArguments();
    const QString targets = m_config.GetSettingValue(kSection, QStringLiteral("Targets")).trimmed();
    for (const QString& t : targets.split(u',', Qt::SkipEmptyParts))
        args << QStringLiteral("--to") << t.trimmed();
    // A test run never sends to the multicast group: without targets of its own it does not search.
    if (targets.isEmpty() && qEnvironmentVariableIsSet("TESSARO_TESTING")) {
        if (!m_skipLogged)
            m_errorLog.AddLine(QStringLiteral("Network discovery skipped: no SLP targets set for a test run"));
        m_skipLogged = true;
        return;
    }
    m_searching = true;
    args << QStringLiteral("findsrvs") << QLatin1String(slp::kServiceType);
    m_runner.RunHidden(toolPath(), args,
                       [this](const QString& output) { checkNext(ServiceAddresses(output), QStringList()); });
}

// One "findattrs" at a time, so the tool runs once at any moment.
void LanDiscovery::checkNext(QStringList pending, QStringList found) {
    if (pending.isEmpty()) {
        finishSearch(found);
        return;
    }
    const QString address = pending.takeFirst();
    m_runner.RunHidden(toolPath(), findAttrsArguments(address),
                       [this, address, pending, found](const QString& output) mutable {
                           if (IsSupportedTransceiver(output))
                               found << address;
                           checkNext(pending, found);
                       });
}

void LanDiscovery::finishSearch(const QStringList& found) {
    m_searching = false;
    m_config.SetSlpTcuAddresses(found);
    Q_EMIT searchFinished(found);
}

QStringList LanDiscovery::discoveredHosts() const {
    return m_config.SlpTcuAddresses();
}

int LanDiscovery::knownSoftwareMajor() const {
    return m_config.GetTcuSwMajor();
}

void LanDiscovery::storeVersion(const QString& output) {
    const auto version = ParseTcuSwVersion(output);
    if (!version)
        return;
    m_config.SetTcuSwVersion(version->major, version->minor);
    Q_EMIT versionLearned(version->major, version->minor);
}

void LanDiscovery::askVersion(const QString& host) {
    if (host.trimmed().isEmpty())
        return;
    m_runner.RunHidden(toolPath(), findAttrsArguments(host.trimmed()),
                       [this](const QString& output) { storeVersion(output); });
}

void LanDiscovery::checkAddress(const QString& address) {
    const QString host = address.trimmed();
    m_runner.RunHidden(toolPath(), findAttrsArguments(host), [this, host](const QString& output) {
        const bool supported = IsSupportedTransceiver(output);
        const auto version = ParseTcuSwVersion(output);
        if (supported)
            storeVersion(output);
        Q_EMIT addressChecked(host, supported, version ? version->major : 0, version ? version->minor : 0);
    });
}

} // namespace tessaro
