#pragma once

#include "messaging/message_types.h"
#include "messaging/provider_list.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

namespace tessaro {

class CConfiguration;
class IClock;
class IMessagingHost;
class cOutBox;

// Texts the sending steps show when they fail.
namespace SendFailure {
inline const QLatin1String SetParameters("A SetParameters error occurred");
inline const QLatin1String ConvertAddresses("A ConvertAddresses error occurred");
inline const QLatin1String FormatMessage("A FormatMessage error occurred");
inline const QLatin1String SaveFile("The message might not have been saved in the Outbox");
inline const QLatin1String TransferMessage("A TransferMessage error occurred");
inline const QLatin1String SendMessage("A SendMessage error occurred");
inline const QLatin1String WriteOutLog("A WriteOutlog error occurred");
inline const QLatin1String Overall("An error occurred sending the message");
inline const QLatin1String NoIspLes("Inmarsat Service Provider does not exist in this ocean, please choose another "
                                    "ISP or log into another ocean.");
inline const QLatin1String NoLes("Land Earth Station does not exist in this ocean, please choose another LES or "
                                 "log into another ocean.");
} // namespace SendFailure

// Bodies announced with "tr" and not yet checked with "ls", by transceiver file name. The engine's upload
// step takes the exact bytes from here; the size check settles an entry. Several may wait at once (one
// submission can hold several message types).
class PendingTransfers final {
public:
    void add(const QString& transceiverName, const QString& text);
    bool contains(const QString& transceiverName) const { return m_texts.contains(transceiverName); }
    qint32 expectedLength(const QString& transceiverName) const;
    // The bytes to upload, converted to DOS 866 when cp866 is set; empty when nothing is pending.
    QByteArray uploadBytes(const QString& transceiverName, bool cp866) const;
    void finish(const QString& transceiverName) { m_texts.remove(transceiverName); }
    bool isEmpty() const { return m_texts.isEmpty(); }
    QStringList names() const { return m_texts.keys(); }

private:
    QHash<QString, QString> m_texts;
};

// Options the sending dialog (or a caller) hands to SetParameters.
struct TransmissionOptions {
    bool requestConfirmation = false;
    bool printMessage = false;
    bool desEncrypted = false;
    QString codePage;
    QString transmissionDate; // deferred "yy-mm-dd", empty = now
    QString transmissionTime; // deferred "hh:mm", empty = now
};

// One transmission of one message type: out file, "tr"/"ls"/"tx" commands and the OUT.IDX line.
class CTransmission final {
public:
    CTransmission(CConfiguration& config, cOutBox& outbox, IMessagingHost& host, PendingTransfers& transfers,
                  const IClock& clock);

    CMessage Message;
    int MessageType = EMail;
    QString ISP;
    QString LESUsed;
    quint8 Priority = 0;
    quint8 Presentation = 0;
    quint8 Service = 0;
    quint8 NetworkType = 0;
    bool RequestConfirmation = false;
    bool PrintMessage = false;
    bool DESEncrypted = false;
    QString CodePage;
    QString TransmissionDate;
    QString TransmissionTime;
    QString ExtraDestination;
    QString OutFileName;
    quint8 Status = 0; // +16 formatted, +32 submitted, +64 logged

    // Lookup for the 8-bit InmC rule (one answer). When unset, address.dat of the store decides for the
    // addresses it holds and the transmission's own presentation for the others.
    using EightBitLookup = std::function<bool(const QString& address)>;
    void setEightBitLookup(EightBitLookup lookup) { m_eightBitLookup = std::move(lookup); }

    bool SetParameters(const TransmissionOptions& options);
    void SetPresentation(quint8 presentation) { Presentation = presentation; }
    void SetService() { Service = 0; }
    // NetworkType and extra destination by message type; sacOrDnid is the SAC code or the "DNID,extra" pair.
    bool SetDestination(int type, const ServiceProvider* provider, const QString& sacOrDnid = {});
    bool SetOutFileName(const QString& name);
    QString CreateOutFileName() const;
    bool ConvertAddresses();
    bool FormatMessage(const ServiceProvider* provider);
    // Turns the formatted text into the bytes of the code page (CodePage); when it holds characters the
    // code page cannot carry, nothing changes and *failure names them.
    bool EncodeText(QString* failure);
    bool SaveFileInOutBox();
    bool TransferMessage();
    bool SendMessage();
    bool WriteOutLog();
    QString DebugPrint() const;

    // The LES for the current ocean: the provider's for E-mail and SMS, else "[Default LES ...]".
    // Empty with *failure set to the text to show when there is none.
    QString ChooseLes(const ServiceProvider* provider, QString* failure) const;

    QString TransceiverFileName() const { return TransceiverFileNameOf(OutFileName); }
    static QString TransceiverFileNameOf(const QString& outFileName);
    QString TrCommand() const;
    QString TxCommand() const;
    QStringList OutLogPositions() const;

    // Every step in order, as the sending dialog runs them. Returns empty on success, else the step's text.
    QString Submit(const TransmissionOptions& options, const ServiceProvider* provider);

private:
    EightBitLookup m_eightBitLookup;
    CConfiguration& m_config;
    cOutBox& m_outbox;
    IMessagingHost& m_host;
    PendingTransfers& m_transfers;
    const IClock& m_clock;
};

// Result codes of SendMessageToAddress.
namespace SendResult {
enum : int {
    Done = 1000,
    NoIspLes = 1001,
    NoDefaultLes = 1002,
    NotConnected = 1003,
    FormatFailed = 1010,
    TransferFailed = 1011,
    SubmitFailed = 1012,
    OutLogFailed = 1013,
    Uncarried = 1014, // the text holds characters the chosen code page cannot carry
    EmptyDestination = 1020
};
}
QString SendResultText(int code);

struct SendOutcome {
    int code = 0;
    QString outFileName;
    QString failureText; // set when the code's own text does not say enough (the characters not carried)
};
// The text to show for an outcome: its failure text, else the code's text.
QString SendOutcomeText(const SendOutcome& outcome);

// One message to one address in one call (remote configuration, forms server, headless --send).
// format: 0 = 5 bit, 1 = 7 bit, 2 = 8 bit.
SendOutcome SendMessageToAddress(CConfiguration& config, cOutBox& outbox, IMessagingHost& host,
                                 PendingTransfers& transfers, const IClock& clock, const QString& address,
                                 int messageType, int format, const QString& subject, const QString& text);

} // namespace tessaro
