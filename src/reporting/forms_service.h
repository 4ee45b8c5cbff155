#pragma once

#include "reporting/forms_menu.h"
#include "reporting/forms_server.h"
#include "reporting/forms_server_processing.h"

#include <QString>

#include <QObject>

namespace tessaro {

class CConfiguration;
class IClock;
class cErrorLog;
class DebugLog;
class IFormsBackend;

// The forms server as the program runs it: settings, example forms, request handling, listener, Forms menu.
class CFormsService final : public QObject {
    Q_OBJECT
public:
    CFormsService(CConfiguration& config, IFormsBackend& backend, const IClock& clock, cErrorLog& errorLog,
                  DebugLog* debugLog, QObject* parent = nullptr);

    // Installs the example forms into an empty forms folder, then binds to "ElectronicForms"/"LocalIP" and
    // the port (portOverride >= 0, else "LocalPort"). A failure leaves the program running: one error-log
    // line and one operator message name the address and port. Returns whether the server listens.
    bool start(int portOverride = -1);

    bool isListening() const { return m_server.isListening(); }
    QString url() const; // "http://ADDRESS:PORT/" while listening, else empty

    cHttpServerProcessing& processing() { return m_processing; }
    cFormsServer& server() { return m_server; }
    cFormsMenu& menu() { return m_menu; }

    // The operator's text for a port that could not be bound.
    static QString BindFailureMessage(const QString& address, int port, const QString& reason);

Q_SIGNALS:
    // "Forms server: http://ADDRESS:PORT/" once bound.
    void listening(const QString& line);
    // The server could not be started; the text is for the operator.
    void startFailed(const QString& message);

private:
    CConfiguration& m_config;
    cErrorLog& m_errorLog;
    cHttpServerProcessing m_processing;
    cFormsServer m_server;
    cFormsMenu m_menu;
};

} // namespace tessaro
