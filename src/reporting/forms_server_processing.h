#pragma once

#include "config/logs.h"
#include "reporting/forms_backend.h"
#include "reporting/http_request.h"
#include "reporting/irequest_handler.h"

#include <QString>

#include <optional>

namespace tessaro {

class CConfiguration;
class IClock;

// The forms logic behind the local web server: special request paths (send a form, show a stored message,
// look up a status), form pages served from the forms folder with their placeholders filled, and the
// error pages. Every answer is a page text; nothing here touches a socket.
class cHttpServerProcessing final : public IRequestHandler {
public:
    cHttpServerProcessing(CConfiguration& config, IFormsBackend& backend, const IClock& clock,
                          DebugLog* debugLog = nullptr);

    // Raw request text (Latin-1) in, response body out.
    QString ProcessData(const QString& request);
    QByteArray processRequest(const QByteArray& request) override;

    // Where the server really listens: what "<%=REQUESTSERVERIP%>" and "<%=REQUESTSERVERPORT%>" give.
    void setServerAddress(const QString& address, int port);

    // Fills every placeholder of a page (exposed for the benchmark and the tests).
    QString FillPlaceholders(const QString& page);

    // The file a request path names inside the forms folder, or nullopt when the path could reach outside it.
    static std::optional<QString> FormFileName(const QString& path);

private:
    QString sendForm(const QList<RequestParameter>& params);
    QString outboxMessagePage(const QString& id);
    QString inboxMessagePage(const QString& id);
    QString statusPage(const QString& reference);
    QString serveFile(const QString& path);
    QString placeholderValue(QStringView tag, bool* isPosition);
    QString outboxListing(QStringView arguments);
    QString inboxListing(QStringView arguments);
    QString readDecodeScript();
    void debug(const QString& line);

    CConfiguration& m_config;
    IFormsBackend& m_backend;
    const IClock& m_clock;
    DebugLog* m_debugLog;
    cLog m_errorLog; // the server's own log, writing "ErrorLog.txt" in the stamped line form
    QString m_serverIp = QStringLiteral("127.0.0.1");
    QString m_serverPort = QStringLiteral("80");
};

// Message type index of a form's type text: a number, or one of the type names ("E-Mail", "Email", "Telex",
// "Fax", "InmC", "PSTN", "SAC", "DNID", "X.25", "X25", "SMS"), case-blind; empty means E-Mail. -1 when unknown.
int FormMessageType(const QString& text);

// Format code of a form's format text: "5-bit" 0, "7-bit" 1, "8-bit" 2, anything else 1.
int FormFormatCode(const QString& text);

} // namespace tessaro
