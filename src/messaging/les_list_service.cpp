#include "messaging/les_list_service.h"

#include "config/configuration.h"
#include "config/strings.h"
#include "status/module_context.h"
#include "status/session.h"

namespace tessaro {

namespace {

const QLatin1String kDefaultIspKey("[Default ISP]");

QString entryProblem(const QVector<LesTableEntry>& entries, int ocean, const LesTableEntry& entry, int skipRow) {
    if (!IsLesOfOcean(entry.id, ocean))
        return FormatText(GetText(6404, QStringLiteral("The LES number must be three digits starting with %0.")),
                          {QString::number(ocean)});
    const QString name = entry.name.trimmed();
    if (name.isEmpty())
        return GetText(6405, QStringLiteral("Please enter the name of the LES."));
    if (name.contains(u'|') || name.contains(u'\r') || name.contains(u'\n'))
        return GetText(6406, QStringLiteral("The LES name may not hold the character | or a line break."));
    for (int row = 0; row < entries.size(); ++row)
        if (row != skipRow && entries[row].id == entry.id)
            return FormatText(GetText(6407, QStringLiteral("LES %0 is already in the list.")), {entry.id});
    return {};
}

QString saveFailureText(const QString& scope, const FileError& error) {
    return FormatText(QStringLiteral("(") + scope + QStringLiteral(") Error '%0': %1."),
                      {QString::number(error.number), error.description});
}

} // namespace

LesListService::LesListService(CConfiguration& config, CSession& session, QObject* parent)
    : QObject(parent), m_config(config), m_session(session) {}

void LesListService::attach(ModuleContext& context) {
    m_context = &context;
    context.addRoute(RouteKey::LesList, MatchKind::Echo, QStringLiteral("st -n"),
                     [this](const QString& reply) { onLesList(reply); });
    context.addRoute(RouteKey::LesServices, MatchKind::Echo, QStringLiteral("status -n"),
                     [this](const QString& reply) { onLesServices(reply); });
    context.addPollStep(PollOrder::LesList, [this] {
        // The NCS lists its LESs only while the transceiver listens to it.
        if (m_session.CurrentProtocol() != QLatin1String("Free") && m_session.CurrentChannel() != QLatin1String("NCS"))
            return;
        if (!m_context->isQueued(QStringLiteral("st -n")))
            m_context->QueueCommand(QStringLiteral("st -n") + m_context->lineEnd(), true);
    });
    context.addStartUpJob([this] { checkProviderFile(); });
}

const QString& LesListService::dataPath() const {
    return m_config.DataPath();
}

int LesListService::currentOcean() const {
    return m_session.CurrentOcean();
}

QVector<LesTableEntry> LesListService::offeredLes(int ocean) const {
    return OfferedLes(dataPath(), ocean, m_config.AvailableLESs(ocean));
}

QString LesListService::saveLes(int ocean, const QVector<LesTableEntry>& entries) {
    FileError error;
    if (!WriteLesTable(dataPath(), ocean, entries, &error))
        return saveFailureText(QStringLiteral("LesList.SaveLes"), error);
    Q_EMIT lesListChanged(ocean);
    return {};
}

QString LesListService::addLes(int ocean, const LesTableEntry& entry) {
    QVector<LesTableEntry> entries = ReadLesTable(dataPath(), ocean);
    const LesTableEntry clean{entry.id.trimmed(), entry.name.trimmed()};
    const QString problem = entryProblem(entries, ocean, clean, -1);
    if (!problem.isEmpty())
        return problem;
    entries << clean;
    return saveLes(ocean, entries);
}

QString LesListService::replaceLes(int ocean, int row, const LesTableEntry& entry) {
    QVector<LesTableEntry> entries = ReadLesTable(dataPath(), ocean);
    if (row < 0 || row >= entries.size())
        return GetText(6408, QStringLiteral("Please select an LES."));
    const LesTableEntry clean{entry.id.trimmed(), entry.name.trimmed()};
    const QString problem = entryProblem(entries, ocean, clean, row);
    if (!problem.isEmpty())
        return problem;
    entries[row] = clean;
    return saveLes(ocean, entries);
}

QString LesListService::deleteLes(int ocean, const QList<int>& rows) {
    const QVector<LesTableEntry> entries = ReadLesTable(dataPath(), ocean);
    QVector<LesTableEntry> kept;
    for (int row = 0; row < entries.size(); ++row)
        if (!rows.contains(row))
            kept << entries[row];
    if (kept.size() == entries.size())
        return GetText(6409, QStringLiteral("Please mark the LESs to delete."));
    return saveLes(ocean, kept);
}

bool LesListService::reloadProviders() {
    m_providersLoaded = ReadProviders(dataPath(), &m_providers);
    Q_EMIT providersChanged();
    return m_providersLoaded;
}

QString LesListService::saveProviders(const QVector<ServiceProvider>& providers) {
    // Edits start from the list as read; a file that could not be read must not be replaced by them.
    if (!m_providersLoaded && ReadProviderFileState(dataPath()) != ProviderFileState::Missing)
        return GetText(6412, QStringLiteral("Error loading ISP list"));
    FileError error;
    if (!SaveProviders(dataPath(), providers, &error))
        return saveFailureText(QStringLiteral("EmailServicesForm.SaveIsp"), error);
    m_providers = providers;
    m_providersLoaded = true;
    Q_EMIT providersChanged();
    return {};
}

QString LesListService::addProvider(const ServiceProvider& provider) {
    ServiceProvider clean = ServiceProvider::fromLine(provider.line());
    clean.fields[ServiceProvider::Name - 1] = clean.name().trimmed();
    QString problem = ProviderNameProblem(m_providers, clean.name());
    if (problem.isEmpty())
        problem = ProviderFieldsProblem(clean);
    if (!problem.isEmpty())
        return problem;
    QVector<ServiceProvider> next = m_providers;
    next << clean;
    return saveProviders(next);
}

QString LesListService::updateProvider(const ServiceProvider& provider) {
    const ServiceProvider clean = ServiceProvider::fromLine(provider.line());
    const QString problem = ProviderFieldsProblem(clean);
    if (!problem.isEmpty())
        return problem;
    QVector<ServiceProvider> next = m_providers;
    for (ServiceProvider& p : next)
        if (p.name().trimmed() == clean.name().trimmed()) {
            p = clean;
            return saveProviders(next);
        }
    return GetText(6410, QStringLiteral("Please select a service provider."));
}

QString LesListService::deleteProvider(const QString& name) {
    QVector<ServiceProvider> next = m_providers;
    const auto gone = std::remove_if(next.begin(), next.end(),
                                     [&](const ServiceProvider& p) { return p.name().trimmed() == name.trimmed(); });
    if (gone == next.end())
        return GetText(6410, QStringLiteral("Please select a service provider."));
    next.erase(gone, next.end());
    return saveProviders(next);
}

QString LesListService::loadDefaultProviders() {
    const ProviderFileState state = ReadProviderFileState(dataPath());
    if (state == ProviderFileState::Missing || state == ProviderFileState::Current) {
        m_providersLoaded = true; // the operator agreed to lose the present list
        return saveProviders(DefaultProviders());
    }
    // A list this version cannot read is kept beside the new one.
    QString keptAs;
    FileError error;
    if (!ReplaceProvidersWithDefaults(dataPath(), &keptAs, &error))
        return saveFailureText(QStringLiteral("EmailServicesForm.LoadDefault"), error);
    reloadProviders();
    return {};
}

void LesListService::setDefaultLes(int ocean, const QString& les) {
    m_config.SetDefaultLes(ocean, les);
}

QString LesListService::defaultLes(int ocean) {
    return m_config.DefaultLes(ocean);
}

void LesListService::setDefaultProvider(const QString& name) {
    if (m_config.GetIni(kDefaultIspKey).trimmed() != name.trimmed())
        m_config.SetIni(kDefaultIspKey, name.trimmed(), true);
}

QString LesListService::defaultProvider() {
    return m_config.GetIni(kDefaultIspKey).trimmed();
}

bool LesListService::requestLesServices(const QString& les) {
    if (!m_context || les.trimmed().isEmpty() || !IsAllDigits(les.trimmed()))
        return false;
    m_servicesWanted = les.trimmed();
    m_context->QueueCommand(QStringLiteral("status -n"));
    return true;
}

QString LesListService::lesServicesNotFoundText() {
    return GetText(6411, QStringLiteral("LES services not found"));
}

void LesListService::onLesList(const QString& reply) {
    const QStringList ids = ParseLesList(reply);
    const int ocean = OceanOfLesList(ids);
    if (ocean < 0)
        return;
    m_config.SetAvailableLESs(ocean, ids.join(u','));
    Q_EMIT availableLesChanged(ocean);
}

void LesListService::onLesServices(const QString& reply) {
    // Only an answer the services window asked for is shown.
    if (m_servicesWanted.isEmpty())
        return;
    const QString les = m_servicesWanted;
    m_servicesWanted.clear();
    const std::optional<QString> block = FindLesServices(reply, les, m_context->lineEnd());
    Q_EMIT lesServicesReady(les, block ? *block : lesServicesNotFoundText());
}

void LesListService::checkProviderFile() {
    switch (ReadProviderFileState(dataPath())) {
    case ProviderFileState::Missing:
    case ProviderFileState::Current:
        reloadProviders();
        return;
    case ProviderFileState::Unreadable:
        reloadProviders();
        if (m_context)
            m_context->notifier().showMessage(GetText(6412, QStringLiteral("Error loading ISP list")),
                                              GetText(6413, QStringLiteral("Error")), MessageStyle::Critical);
        return;
    case ProviderFileState::OtherVersion:
        break;
    }
    if (!m_context)
        return;
    const ConfirmRequest request{
        GetText(6414, QStringLiteral("The service provider list isp.dat was written by another version and cannot "
                                     "be read.\r\nReplace it with the default service providers? The present file "
                                     "is kept beside it as isp.dat.old.")),
        GetText(6415, QStringLiteral("Service providers")), false};
    m_context->notifier().confirm(request, [this](bool yes) {
        if (!yes)
            return;
        QString keptAs;
        FileError error;
        if (!ReplaceProvidersWithDefaults(dataPath(), &keptAs, &error)) {
            m_context->notifier().showMessage(saveFailureText(QStringLiteral("EmailServicesForm.LoadDefault"), error),
                                              GetText(6413, QStringLiteral("Error")), MessageStyle::Critical);
            return;
        }
        if (!keptAs.isEmpty())
            m_context->notifier().information(
                FormatText(GetText(6416, QStringLiteral("The former service provider list is kept as %0.")), {keptAs}));
        reloadProviders();
    });
}

} // namespace tessaro
