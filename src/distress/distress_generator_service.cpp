#include "distress/distress_generator_service.h"

#include "config/clock.h"
#include "config/configuration.h"
#include "config/text_util.h"
#include "messaging/les_lists.h"
#include "messaging/messaging_module.h"
#include "messaging/outbox.h"
#include "status/module_context.h"
#include "status/session.h"

namespace tessaro {

namespace {

QString FirstThree(const QString& text) {
    return text.trimmed().left(3);
}

} // namespace

DistressGeneratorService::DistressGeneratorService(CSession& session, MessagingModule& messaging, QObject* parent)
    : QObject(parent), m_session(session), m_messaging(messaging) {
    m_waitTimer.setSingleShot(true);
    m_waitTimer.setInterval(kDefaultWaitTimeoutMs);
    connect(&m_waitTimer, &QTimer::timeout, this, [this] { onWaitTimedOut(); });
}

void DistressGeneratorService::attach(ModuleContext& context) {
    m_context = &context;
    context.addRoute(RouteKey::DistressGenerator, MatchKind::Echo, QStringLiteral("se -g"),
                     [this](const QString& reply) { onGeneratorReply(reply); });
    context.addRoute(RouteKey::DistressGeneratorWrite, MatchKind::Starts, QStringLiteral("se -g "),
                     [this](const QString& reply) { onGeneratorWriteReply(reply); });
    // Only the reply to "se -m " alone lists the parameters; the set commands answer a line of their own.
    context.addRoute(RouteKey::DistressAlertParameters, MatchKind::Echo, QStringLiteral("se -m "),
                     [this](const QString& reply) { onAlertParametersReply(reply); });
    context.addRoute(RouteKey::DistressAllOceans, MatchKind::Echo, QStringLiteral("se -m ALL_OCEANS"),
                     [this](const QString& reply) { onAllOceansReply(reply); });
    context.addLinkLostJob([this] {
        if (!waiting())
            return;
        endWait();
        notice(QStringLiteral("Not connected to the transceiver."));
    });
}

bool DistressGeneratorService::connected() {
    if (m_context && m_session.MesConnected())
        return true;
    notice(QStringLiteral("Not connected to the transceiver."));
    return false;
}

QString DistressGeneratorService::distressLes(int ocean) const {
    return m_context ? m_context->config().GetDistressGenLes(ocean) : QString();
}

QString DistressGeneratorService::dataPath() const {
    return m_context ? m_context->config().DataPath() : QString();
}

int DistressGeneratorService::productType() const {
    return m_session.ProductType();
}

void DistressGeneratorService::startWait(const QString& text) {
    m_waitTimer.start();
    m_context->notifier().waitWindow(text);
}

void DistressGeneratorService::endWait() {
    m_waitTimer.stop();
    m_maritimePending = m_landMobilePending = m_settingsPending = false;
    if (m_context)
        m_context->notifier().waitWindow(QString());
}

void DistressGeneratorService::notice(const QString& text, const QString& title) {
    if (m_context)
        m_context->notifier().showMessage(text, title);
}

bool DistressGeneratorService::OpenMaritime() {
    if (!connected())
        return false;
    m_context->QueueCommand(GeneratorOpeningBatch(productType()), true);
    m_maritimePending = true;
    startWait(QStringLiteral("Reading the distress generator..."));
    return true;
}

bool DistressGeneratorService::OpenLandMobile() {
    if (!connected())
        return false;
    m_context->QueueCommand(QStringLiteral("se -m \r\nst -n"), true);
    m_landMobilePending = true;
    startWait(QStringLiteral("Getting Landmobile Distress Generator...."));
    return true;
}

bool DistressGeneratorService::OpenAlertSettings() {
    if (!connected())
        return false;
    m_context->QueueCommand(QStringLiteral("se -m "), true);
    if (IsCedarOrLarch(productType()))
        m_context->QueueCommand(QStringLiteral("se -m ALL_OCEANS"), true);
    m_settingsPending = true;
    startWait(QStringLiteral("Reading the distress alert settings..."));
    return true;
}

GeneratorApplyResult DistressGeneratorService::ApplyMaritime(bool useGps, QChar nature, const MaritimeFields& fields,
                                                             const std::array<QString, 4>& lesLists) {
    GeneratorApplyResult result;
    CConfiguration* config = m_context ? &m_context->config() : nullptr;
    const bool cedarOrLarch = IsCedarOrLarch(productType());
    QString command;
    if (useGps) {
        const int ocean = config ? config->LastOcean() : 4;
        if (ocean < 0 || ocean > 3) {
            result.error = ValidationFailure{QStringLiteral("Can not set distress generator. Please log in to an "
                                                            "Ocean region and try again"),
                                             MaritimeField::None};
            result.errorTitle = QStringLiteral("Info");
            return result;
        }
        QString les = FirstThree(lesLists[size_t(ocean)]);
        if (!IsAllDigits(les)) {
            if (cedarOrLarch) {
                les = QStringLiteral("401");
            } else {
                les = QStringLiteral("0");
                if (config)
                    config->SetDistressGenLes(ocean, QString());
            }
        }
        command = GeneratorGpsCommand(les, nature);
    } else {
        const int ocean = m_session.CurrentOcean();
        const QString les = (ocean >= 0 && ocean <= 3) ? FirstThree(lesLists[size_t(ocean)]) : QString();
        if (auto failure = ValidateMaritimeFields(fields, ocean, les)) {
            result.error = failure;
            result.errorTitle = ValidationTitle();
            return result;
        }
        command = GeneratorWriteCommand(les, nature, fields);
    }
    if (!connected())
        return result;

    m_context->QueueCommand(command, true);
    if (cedarOrLarch) {
        std::array<QString, 4> les;
        for (int k = 0; k < 4; ++k) {
            les[size_t(k)] = FirstThree(lesLists[size_t(k)]);
            if (!IsAllDigits(les[size_t(k)])) {
                les[size_t(k)] = QStringLiteral("0");
                config->SetDistressGenLes(k, QString());
            } else {
                config->SetDistressGenLes(k, les[size_t(k)]);
            }
        }
        m_context->QueueCommand(AlertLesCommand(les), true);
        m_context->QueueCommand(QStringLiteral("se -m ALL_OCEANS"), true);
    }
    m_context->QueueCommand(QStringLiteral("se -g"), true);
    result.sent = true;
    return result;
}

bool DistressGeneratorService::ApplyLandMobile(const QString& landStation, int natureIndex) {
    const auto& natures = LandMobileNatures();
    if (natureIndex < 0 || natureIndex >= int(natures.size()) || !connected())
        return false;
    m_context->QueueCommand(LandMobileSetText(FirstThree(landStation), natures[size_t(natureIndex)].letter), true);
    return true;
}

bool DistressGeneratorService::ApplyAlertSettings(const std::array<QString, 4>& lesBoxes, int natureIndex) {
    if (!connected())
        return false;
    std::array<QString, 4> les;
    for (size_t k = 0; k < 4; ++k)
        les[k] = FirstThree(lesBoxes[k]);
    m_context->QueueCommand(AlertLesCommand(les), true);
    // The nature is taken by its place in the list, so a translated list selects it too.
    const auto& natures = LandMobileNatures();
    if (natureIndex >= 0 && natureIndex < int(natures.size()))
        m_context->QueueCommand(QStringLiteral("se -m ") + LandMobileAlertLes(les) + QStringLiteral(",n,") +
                                    natures[size_t(natureIndex)].letter,
                                true);
    return true;
}

void DistressGeneratorService::onGeneratorReply(const QString& reply) {
    const GeneratorParse parse = ParseDistressGenerator(reply, m_context->lineEnd(), m_values);
    const bool recording = m_session.AddDistressAlertToOutbox();
    switch (parse.kind) {
    case GeneratorReply::Ignored:
        break;
    case GeneratorReply::ErrorLine:
        if (m_maritimePending)
            endWait();
        notice(parse.errorLine, QStringLiteral("Error"));
        Q_EMIT closeGeneratorWindow();
        break;
    case GeneratorReply::NotLoaded:
        if (m_maritimePending)
            endWait();
        if (!recording)
            notice(QStringLiteral("Error: Distress generator values could not be loaded"), QStringLiteral("Error"));
        Q_EMIT closeGeneratorWindow();
        break;
    case GeneratorReply::Values: {
        m_values = parse.values;
        const int ocean = OceanOfLes(dataPath(), m_values.Les);
        if (ocean >= 0)
            m_context->config().SetDistressGenLes(ocean, m_values.Les);
        Q_EMIT valuesChanged(m_values);
        if (m_maritimePending) {
            endWait();
            Q_EMIT showGeneratorWindow();
        }
        break;
    }
    }
    // An alert is recorded even when the values could not be read: the line must not be lost, and it
    // then carries the values read last.
    if (recording)
        recordDistressAlert();
}

void DistressGeneratorService::onGeneratorWriteReply(const QString& reply) {
    if (!reply.contains(QLatin1String("\nERROR"), Qt::CaseInsensitive))
        return;
    if (m_maritimePending)
        endWait();
    notice(QStringLiteral("Distress generator not updated."), QStringLiteral("Distress Generator"));
}

void DistressGeneratorService::onAlertParametersReply(const QString& reply) {
    const AlertParameters read = ParseAlertParameters(reply);
    if (!read.landStation.isEmpty())
        m_alertParameters.landStation = read.landStation;
    if (read.natureIndex)
        m_alertParameters.natureIndex = read.natureIndex;
    Q_EMIT alertParametersRead(read);
    if (m_landMobilePending) {
        endWait();
        Q_EMIT showLandMobileWindow();
    } else if (m_settingsPending && !IsCedarOrLarch(productType())) {
        // Without "se -m ALL_OCEANS" this is the last reply the window waits for.
        endWait();
        Q_EMIT showAlertSettingsWindow();
    }
}

void DistressGeneratorService::onAllOceansReply(const QString& reply) {
    const AlertLesParse parse = ParseAlertLes(reply, m_context->lineEnd());
    if (parse.layout == AlertLesParse::Layout::AlertLes) {
        for (int k = 0; k < 4; ++k)
            if (!parse.les[size_t(k)].isEmpty())
                m_context->config().SetDistressGenLes(k, parse.les[size_t(k)]);
    } else if (parse.layout != AlertLesParse::Layout::None) {
        for (size_t k = 0; k < 4; ++k)
            if (!parse.les[k].isEmpty())
                m_alertLes[k] = parse.les[k];
        Q_EMIT alertLesRead(parse.les);
    }
    // Whatever the layout, the window that waits for this reply opens with what it has.
    if (m_settingsPending) {
        endWait();
        Q_EMIT showAlertSettingsWindow();
    }
}

void DistressGeneratorService::recordDistressAlert() {
    m_session.SetAddDistressAlertToOutbox(false);
    DistressAlertRecord alert;
    alert.OutFileName = QStringLiteral("Distress");
    alert.Destination = QStringLiteral("MRCC");
    alert.LesNumber = IsNumeric(m_values.Les) ? int(Val(m_values.Les)) : 0;
    const bool landMobile = m_session.MobileType() == 1;
    const int maritime = MaritimeNatureIndex(m_values.Nature);
    const int land = LandMobileNatureIndex(m_values.Nature);
    if (landMobile && land >= 0)
        alert.Description = QLatin1String(LandMobileNatures()[size_t(land)].english);
    else if (maritime >= 0)
        alert.Description = QString::fromUtf8(MaritimeNatures()[size_t(maritime)].english)
                                .replace(QStringLiteral("&&"), QStringLiteral("&"));
    else
        alert.Description = QStringLiteral("Distress alert");
    alert.TimeStamp = m_context->clock().nowLocal();
    alert.Status = m_session.DistressAlertStatus();
    if (m_messaging.outbox().AddDistressAlert(alert))
        Q_EMIT distressAlertRecorded();
    m_messaging.RefreshOutboxView();
}

void DistressGeneratorService::onWaitTimedOut() {
    if (!waiting())
        return;
    endWait();
    notice(QStringLiteral("The transceiver did not answer. Please try again."));
}

} // namespace tessaro
