#include "reporting/forms_service.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "config/text_util.h"
#include "reporting/forms_settings.h"

namespace tessaro {

CFormsService::CFormsService(CConfiguration& config, IFormsBackend& backend, const IClock& clock, cErrorLog& errorLog,
                             DebugLog* debugLog, QObject* parent)
    : QObject(parent), m_config(config), m_errorLog(errorLog), m_processing(config, backend, clock, debugLog),
      m_server(m_processing, debugLog), m_menu(config) {}

QString CFormsService::BindFailureMessage(const QString& address, int port, const QString& reason) {
    return FormatText(QStringLiteral("The electronic-forms server cannot listen on %0 port %1: %2. "
                                     "Forms cannot be shown until it can. Choose another port in the settings "
                                     "(ElectronicForms, LocalPort) or start Tessaro with --forms-port N; "
                                     "ports below 1024 need administrator rights on Linux."),
                      {address, QString::number(port), reason});
}

bool CFormsService::start(int portOverride) {
    const FormsSettings settings = ReadFormsSettings(m_config);
    InstallExampleForms(settings.formsFolder);
    const int port = portOverride >= 0 ? portOverride : settings.localPort;

    QHostAddress address;
    QString reason;
    if (settings.localIp.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        address = QHostAddress(QHostAddress::LocalHost);
    else if (!address.setAddress(settings.localIp))
        reason = QStringLiteral("the address is not a valid IP address");

    if (reason.isEmpty() && !m_server.listen(address, quint16(port)))
        reason = m_server.errorString();
    if (!reason.isEmpty()) {
        m_errorLog.AddLine(QStringLiteral("(FormsServer.Listen) Error: cannot listen on ") + settings.localIp +
                           QStringLiteral(" port ") + QString::number(port) + QStringLiteral(": ") + reason +
                           QLatin1Char('.'));
        Q_EMIT startFailed(BindFailureMessage(settings.localIp, port, reason));
        return false;
    }

    const int bound = m_server.serverPort();
    m_processing.setServerAddress(m_server.urlHost(), bound);
    m_menu.setServerAddress(m_server.urlHost(), bound);
    Q_EMIT listening(QStringLiteral("Forms server: ") + url());
    return true;
}

QString CFormsService::url() const {
    if (!m_server.isListening())
        return {};
    return QStringLiteral("http://") + m_server.urlHost() + QLatin1Char(':') + QString::number(m_server.serverPort()) +
           QLatin1Char('/');
}

} // namespace tessaro
