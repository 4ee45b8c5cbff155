#pragma once

#include "reporting/remote_config.h"

#include <QString>

namespace tessaro {

class CConfiguration;
class IAddressBook;
class ILog;

// What GETDEBUGLOG and GETREMCONFLOG need from messaging: one message to one address.
class IRemoteLogMailer {
public:
    virtual ~IRemoteLogMailer() = default;
    struct Result {
        int code = 0;      // the send result code; 1000 when the message went to the transceiver
        QString text;      // the code's text
        QString reference; // the transmission's out file
    };
    virtual Result SendText(const QString& address, const QString& subject, const QString& text) = 0;
};

class IRemoteConfigProcess {
public:
    virtual ~IRemoteConfigProcess() = default;
    virtual void SetLogFile(ILog* log) = 0;
    virtual bool ProcessConfig(const RemoteConfigPacket& packet) = 0;
};

// Runs the commands of a decoded packet in packet order; every step goes to the remote log.
class cRemoteConfigProcess final : public IRemoteConfigProcess {
public:
    cRemoteConfigProcess(CConfiguration& config, IAddressBook* addressBook, IRemoteLogMailer* mailer);

    void SetLogFile(ILog* log) override { m_log = log; }
    bool ProcessConfig(const RemoteConfigPacket& packet) override;

    bool ProcessSAVEHTML(const QString& parameter);
    bool ProcessSAVEISP();
    bool ProcessSAVECONTACT(const RemoteConfigCommand& command);
    bool ProcessSETDEFLES(const RemoteConfigCommand& command);
    bool ProcessSETDEFISP(const QString& name);
    bool ProcessGETLOG(const QString& command, const QString& address, const QString& maxLength);

    // The network type words of SAVECONTACT ("email" 0 ... "x25" 7, case-blind); -1 for another word.
    static int NetworkTypeCode(const QString& word);

private:
    void log(const QString& text);
    void logFor(const QString& command, const QString& text) { log(command + text); }
    bool runCommand(const RemoteConfigCommand& command);

    CConfiguration& m_config;
    IAddressBook* m_addressBook;
    IRemoteLogMailer* m_mailer;
    ILog* m_log = nullptr;
    QString m_trailer;
};

} // namespace tessaro
