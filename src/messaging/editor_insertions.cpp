#include "messaging/editor_insertions.h"

#include "config/configuration.h"
#include "status/session.h"
#include "status/transceiver_time.h"

namespace tessaro {

namespace {
const QLatin1String kCrLf("\r\n");
const QString kDateTimeFormat = QStringLiteral("dd. MMMM yyyy HH:mm");

QString setting(CConfiguration& config, const char* key) {
    return config.GetSettingValue(QStringLiteral("Settings"), QLatin1String(key));
}
} // namespace

namespace EditorInsert {

QString Position(const CSession& session) {
    const PositionRecord& p = session.Position();
    if (!p.Valid)
        return QStringLiteral("Position: not available") + kCrLf;
    return QStringLiteral("Position: ") + PositionCommaText(p) + kCrLf;
}

QString SpeedAndCourse(const CSession& session) {
    const PositionRecord& p = session.Position();
    if (!p.Valid)
        return QStringLiteral("Speed: not available") + kCrLf;
    return QStringLiteral("Speed: %1 knots, Course: %2 deg.").arg(p.Speed).arg(p.Course) + kCrLf;
}

QString LocalTime(const QDateTime& local, const QLocale& locale) {
    return QStringLiteral("Local Time: ") + locale.toString(local, kDateTimeFormat) + kCrLf;
}

QString UtcTime(const QDateTime& utc, const QLocale& locale) {
    return QStringLiteral("UTC Time: ") + locale.toString(utc, kDateTimeFormat) + kCrLf;
}

QString MobileNumber(const CSession& session) {
    return QStringLiteral("Mobile No.: ") + QString::number(session.MobileNumber()) + kCrLf;
}

QString Signature(CConfiguration& config) {
    return config.GetIni(QStringLiteral("[Signature]"));
}

QString VesselName(CConfiguration& config) {
    return QStringLiteral("Vessel name: ") + setting(config, "VesselName") + kCrLf;
}

QString VesselData(CConfiguration& config) {
    QString text;
    for (const VesselField& f : kVesselFields)
        text += QLatin1String(f.label) + setting(config, f.key) + kCrLf;
    return text;
}

} // namespace EditorInsert

EditorModule::EditorModule(CSession& session, QObject* parent) : QObject(parent), m_session(session) {}

void EditorModule::attach(ModuleContext& context) {
    m_context = &context;
    context.addRoute(RouteKey::TimeInsert, MatchKind::Echo, QStringLiteral("ti u"),
                     [this](const QString& reply) { onTimeReply(reply); });
    context.addLinkLostJob([this] { m_utcPending = false; });
}

bool EditorModule::RequestUtcTime() {
    if (!m_context || !m_session.MesConnected())
        return false;
    m_utcPending = true;
    m_context->QueueCommand(QStringLiteral("ti u"));
    return true;
}

QString EditorModule::PositionText() const {
    return m_session.MesConnected() ? EditorInsert::Position(m_session) : QString();
}

void EditorModule::onTimeReply(const QString& reply) {
    if (!std::exchange(m_utcPending, false))
        return; // a "ti u" nobody asked to insert
    const std::optional<QDateTime> utc = ParseTransceiverTime(reply, m_context->lineEnd());
    if (!utc) {
        m_context->notifier().showMessage(
            QStringLiteral("The transceiver's UTC time could not be read, so nothing was inserted."));
        return;
    }
    Q_EMIT insertText(EditorInsert::UtcTime(*utc));
}

} // namespace tessaro
