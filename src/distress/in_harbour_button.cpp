#include "distress/in_harbour_button.h"

#include "config/clock.h"
#include "config/configuration.h"
#include "status/module_context.h"
#include "status/session.h"
#include "status/status_module.h"

namespace tessaro {

bool cInHarbourButton::write(const QString& device, quint8 value, QString* error) {
    if (!m_enabled)
        return false;
    QString reason;
    if (!m_port || !m_port->open(device, &reason)) {
        if (error)
            *error = reason;
        return false;
    }
    if (!m_port->writeData(value)) {
        if (error)
            *error = QStringLiteral("the data register could not be written");
        return false;
    }
    m_lastValue = value;
    return true;
}

bool cInHarbourButton::Push(const QString& device, QString* error) {
    return write(device, 1, error);
}

bool cInHarbourButton::Release(const QString& device) {
    const bool ok = write(device, 0, nullptr);
    if (m_port)
        m_port->close();
    return ok;
}

InHarbourService::InHarbourService(CSession& session, std::unique_ptr<IParallelPort> port, QObject* parent)
    : QObject(parent), m_session(session), m_port(port ? std::move(port) : std::make_unique<PpdevParallelPort>()),
      m_button(m_port.get()) {
    m_releaseTimer.setSingleShot(true);
    m_releaseTimer.setInterval(kReleaseMs);
    connect(&m_releaseTimer, &QTimer::timeout, this, [this] { onReleaseTimer(); });
}

void InHarbourService::attach(ModuleContext& context) {
    m_context = &context;
}

void InHarbourService::setPort(std::unique_ptr<IParallelPort> port) {
    m_releaseTimer.stop();
    m_port = std::move(port);
    m_button.setPort(m_port.get());
}

bool InHarbourService::offered() const {
    return m_context && m_context->config().GetIni(QStringLiteral("[InHarbourButton]")).trimmed() == u"1";
}

QString InHarbourService::device() const {
    const QString value =
        m_context ? m_context->config()
                        .GetSettingValue(QLatin1String(kInHarbourDeviceSection), QLatin1String(kInHarbourDeviceKey))
                        .trimmed()
                  : QString();
    return value.isEmpty() ? QString::fromUtf8(kDefaultInHarbourDevice) : value;
}

QString InHarbourService::positionText() const {
    const PositionRecord& p = m_session.Position();
    if (!p.Valid)
        return QStringLiteral("'No position available'");
    return QStringLiteral("'%1 %2.%3 %4 %5 %6.%7 %8'")
        .arg(p.LatDegrees, 2, 10, QLatin1Char('0'))
        .arg(p.LatMinutes, 2, 10, QLatin1Char('0'))
        .arg(p.LatFraction, 2, 10, QLatin1Char('0'))
        .arg(QChar(p.South ? u'S' : u'N'))
        .arg(p.LonDegrees, 3, 10, QLatin1Char('0'))
        .arg(p.LonMinutes, 2, 10, QLatin1Char('0'))
        .arg(p.LonFraction, 2, 10, QLatin1Char('0'))
        .arg(QChar(p.West ? u'W' : u'E'));
}

bool InHarbourService::Press() {
    if (!offered())
        return false;
    const QString position = positionText();
    const QString port = device();
    QString text;
    if (m_button.Push(port)) {
        text = QStringLiteral("In Harbour Button pressed at position:") + u' ' + position;
    } else {
        text = QStringLiteral("Error pressing In Harbour Button at position:") + u' ' + position +
               QStringLiteral(".\r\nThe device ") + port + QStringLiteral(" might be missing or not writable");
    }
    OperatorNotifier& notifier = m_context->notifier();
    notifier.statusLine(m_context->clock().nowLocal().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                            QStringLiteral(": INFO : ") + text,
                        kStatusLineNormal);
    notifier.information(text);
    notifier.showMessage(text, QStringLiteral("Info"));
    // The line is dropped again even after a failed push: a half-written port must not stay high.
    m_releaseTimer.start();
    return true;
}

void InHarbourService::onReleaseTimer() {
    m_releaseTimer.stop();
    m_button.Release(device());
}

} // namespace tessaro
