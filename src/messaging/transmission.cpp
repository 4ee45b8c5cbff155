#include "messaging/transmission.h"

#include "config/clock.h"
#include "config/configuration.h"
#include "config/text_util.h"
#include "messaging/address_book.h"
#include "messaging/cyrillic.h"
#include "messaging/message_store.h"
#include "messaging/messaging_host.h"
#include "messaging/outbox.h"

namespace tessaro {

namespace {
const QLatin1String kSearchAndRescue("SEARCH & RESCUE");
const QLatin1String kDefaultLesKeys[] = {QLatin1String("[Default LES West]"), QLatin1String("[Default LES East]"),
                                         QLatin1String("[Default LES Pacific]"), QLatin1String("[Default LES Indian]")};

QString tokensReplaced(QString text) {
    text.replace(QLatin1String("<CRLF>"), QLatin1String("\r\n"));
    text.replace(QLatin1String("<CR>"), QLatin1String("\r"));
    text.replace(QLatin1String("<LF>"), QLatin1String("\n"));
    return text;
}

QStringList splitAddresses(const QString& list) {
    QStringList out;
    for (const QString& a : list.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!a.trimmed().isEmpty())
            out << a.trimmed();
    return out;
}

bool isUsableLes(const QString& les) {
    return IsNumeric(les) && Val(les) > 0;
}
} // namespace

void PendingTransfers::add(const QString& transceiverName, const QString& text) {
    m_texts.insert(transceiverName, text);
}

qint32 PendingTransfers::expectedLength(const QString& transceiverName) const {
    return qint32(m_texts.value(transceiverName).size());
}

QByteArray PendingTransfers::uploadBytes(const QString& transceiverName, bool cp866) const {
    const QString text = m_texts.value(transceiverName);
    return cp866 ? Cp1251To866(ToCp1251(text)) : text.toLatin1();
}

CTransmission::CTransmission(CConfiguration& config, cOutBox& outbox, IMessagingHost& host, PendingTransfers& transfers,
                             const IClock& clock)
    : m_config(config), m_outbox(outbox), m_host(host), m_transfers(transfers), m_clock(clock) {}

bool CTransmission::SetParameters(const TransmissionOptions& o) {
    RequestConfirmation = o.requestConfirmation;
    PrintMessage = o.printMessage;
    DESEncrypted = o.desEncrypted;
    CodePage = o.codePage;
    TransmissionDate = o.transmissionDate.trimmed();
    TransmissionTime = o.transmissionTime.trimmed();
    return true;
}

bool CTransmission::SetDestination(int type, const ServiceProvider* provider, const QString& sacOrDnid) {
    ExtraDestination.clear();
    switch (type) {
    case EMail: {
        if (!provider)
            return false;
        const QString kind = provider->field(ServiceProvider::AddressType).trimmed();
        NetworkType = kind == QLatin1String("SAC") ? 6 : kind == QLatin1String("X.25") ? 3 : 255;
        if (NetworkType != 3)
            ExtraDestination = provider->field(ServiceProvider::Address).trimmed();
        break;
    }
    case Telex:
        NetworkType = 0;
        break;
    case Fax:
        NetworkType = 1;
        ExtraDestination = QStringLiteral("T30");
        break;
    case InmC:
        NetworkType = Presentation == 7 ? 3 : 0;
        break;
    case PSTN:
        NetworkType = 1;
        ExtraDestination = QStringLiteral("V22B");
        break;
    case SAC:
        NetworkType = 6;
        ExtraDestination = sacOrDnid.trimmed();
        break;
    case DNID:
        NetworkType = 5;
        ExtraDestination = sacOrDnid.trimmed();
        break;
    case X25:
        NetworkType = 3;
        break;
    case SMS:
        if (!provider)
            return false;
        NetworkType = 6;
        ExtraDestination = provider->field(ServiceProvider::SmsSac).trimmed();
        break;
    default:
        return false;
    }
    MessageType = type;
    return true;
}

QString CTransmission::CreateOutFileName() const {
    return NextStoreFileName(m_outbox.folder(), QStringLiteral("out"), m_clock.nowLocal().date());
}

bool CTransmission::SetOutFileName(const QString& name) {
    if (!IsPlainFileName(name))
        return false;
    OutFileName = name;
    return true;
}

QString CTransmission::TransceiverFileNameOf(const QString& outFileName) {
    if (outFileName.size() <= 12)
        return outFileName;
    return outFileName.left(6) + outFileName.right(6);
}

bool CTransmission::ConvertAddresses() {
    if (Priority == 1)
        return true;
    static const int types[] = {Telex, Fax, InmC, PSTN, X25};
    // The address book decides the 8-bit form of an InmC address it holds; an address it does not hold
    // follows the presentation chosen for this message.
    EightBitLookup lookup = m_eightBitLookup;
    if (!lookup) {
        const QVector<AddressBookEntry> book = LoadAddressBook(StoreFolderPath(m_config, kAddressBookKey));
        lookup = [book, chosen = Presentation == 7](const QString& address) {
            bool known = false;
            const bool eightBit = EntryWantsEightBit(book, address, &known);
            return known ? eightBit : chosen;
        };
    }
    for (int type : types) {
        for (int field = 0; field < kRecipientFieldCount; ++field) {
            QStringList converted;
            for (QString a : Message.GetAddresses(type, field).split(QLatin1Char(';'))) {
                a = a.trimmed();
                if (a.startsWith(QLatin1String("00")))
                    a.remove(0, 2);
                if (a.startsWith(QLatin1Char('+')))
                    a.remove(0, 1);
                const bool eightBit = type == X25 || (type == InmC && !a.isEmpty() && lookup(a));
                if (eightBit && a.size() >= 3 && a.startsWith(QLatin1String("58")) && a[2] >= u'0' && a[2] <= u'4')
                    a = QStringLiteral("111") + a[2] + a.mid(3);
                converted << a;
            }
            Message.SetAddresses(type, field, converted.join(QLatin1Char(';')));
        }
    }
    return true;
}

bool CTransmission::FormatMessage(const ServiceProvider* provider) {
    QString text;
    if (MessageType == EMail || MessageType == SMS) {
        if (!provider)
            return false;
        const QString delimiter = tokensReplaced(provider->field(ServiceProvider::Delimiter));
        if (MessageType == EMail && NetworkType == 3)
            text += provider->field(ServiceProvider::Address).trimmed() + QLatin1Char('+') + QLatin1String("\r\n");
        if (MessageType == SMS) {
            QStringList numbers;
            for (const QString& a : splitAddresses(Message.GetAddresses(SMS, FieldTo)))
                numbers << provider->field(ServiceProvider::SmsPrefix) + a + provider->field(ServiceProvider::Postfix);
            if (numbers.isEmpty())
                return false;
            text += numbers.join(delimiter) + QLatin1String("\r\n");
        } else {
            static const int prefixes[] = {ServiceProvider::ToPrefix, ServiceProvider::CcPrefix,
                                           ServiceProvider::BccPrefix};
            for (int field = 0; field < kRecipientFieldCount; ++field) {
                const QStringList list = splitAddresses(Message.GetAddresses(EMail, field));
                if (list.isEmpty())
                    continue;
                const QString prefix = provider->field(prefixes[field]);
                // Without a prefix for Cc or Bcc the gateway cannot be told; sending them as To would
                // reveal blind copies, dropping them would lose recipients.
                if (prefix.isEmpty() && field != FieldTo)
                    return false;
                text += prefix + list.join(delimiter) + QLatin1String("\r\n");
            }
        }
        if (!Message.Subject.isEmpty())
            text += QStringLiteral("Subject: ") + Message.Subject + QLatin1String("\r\n");
    }
    text += tokensReplaced(Message.TextField);
    Message.TextField = text;
    Status |= 16;
    return true;
}

bool CTransmission::EncodeText(QString* failure) {
    const MessageCodePage codePage = MessageCodePageOf(CodePage);
    const QString uncarried = UncarriedCharacters(Message.TextField, codePage);
    if (!uncarried.isEmpty()) {
        *failure = UncarriedCharactersText(uncarried, codePage);
        return false;
    }
    Message.TextField = MessageBodyBytes(Message.TextField, codePage);
    return true;
}

bool CTransmission::SaveFileInOutBox() {
    return !OutFileName.isEmpty() && m_outbox.SaveMessage(Message.TextField + QLatin1String("\r\n"), OutFileName);
}

QString CTransmission::TrCommand() const {
    return QStringLiteral("tr ") + TransceiverFileName() + QStringLiteral(" -b ") +
           QString::number(Message.TextField.size());
}

bool CTransmission::TransferMessage() {
    if ((Status & 16) == 0 || OutFileName.isEmpty())
        return false;
    const QString name = TransceiverFileName();
    m_transfers.add(name, Message.TextField);
    if (!m_host.QueueCommand(TrCommand(), true, false)) {
        m_transfers.finish(name);
        return false;
    }
    return m_host.QueueCommand(QStringLiteral("ls ") + name, true, false);
}

QString CTransmission::TxCommand() const {
    QString cmd = QStringLiteral("tx ") + TransceiverFileName() + QStringLiteral(" -c ") + LESUsed;
    if (!TransmissionTime.isEmpty())
        cmd += QStringLiteral(" -h ") + TransmissionTime;
    if (!TransmissionDate.isEmpty())
        cmd += QStringLiteral(" -y ") + TransmissionDate;
    cmd += QStringLiteral(" -s ") + QString::number(Service) + QStringLiteral(" -t ") + QString::number(NetworkType) +
           QStringLiteral(" -l ") + QString::number(Presentation);
    if (!ExtraDestination.isEmpty())
        cmd += QStringLiteral(" -e ") + ExtraDestination;
    if (Priority == 1)
        cmd += QStringLiteral(" -a");
    if (!PrintMessage)
        cmd += QStringLiteral(" -n");
    if (RequestConfirmation)
        cmd += QStringLiteral(" -v");
    return cmd.trimmed();
}

bool CTransmission::SendMessage() {
    if (!m_host.QueueCommand(TxCommand(), true, false))
        return false;
    Status |= 32;
    return true;
}

QStringList CTransmission::OutLogPositions() const {
    const QDateTime now = m_clock.nowLocal();
    const QString toText = Message.GetAliases(MessageType, FieldTo);
    const bool searchAndRescue = toText == kSearchAndRescue;

    QString destination;
    if (searchAndRescue) {
        destination = QStringLiteral("MRCC");
    } else if (MessageType == DNID) {
        destination = ExtraDestination;
    } else {
        QStringList all;
        for (int field = 0; field < kRecipientFieldCount; ++field)
            all << splitAddresses(Message.GetAddresses(MessageType, field));
        destination = all.join(QLatin1Char(','));
        if (destination.isEmpty() && MessageType == EMail)
            destination = QStringLiteral("-");
    }
    const QString typeAndBits = searchAndRescue && Presentation == 0
                                    ? QStringLiteral("Distress message")
                                    : MessageTypeName(MessageType) + OutboxBitsText(Presentation);

    QStringList p;
    p << OutFileName << destination << LESUsed << typeAndBits << now.toString(QStringLiteral("yy-MM-dd"))
      << now.toString(QStringLiteral("HH:mm")) << QLatin1Char(' ') + QString::number(Message.TextField.size())
      << kNoReference << QStringLiteral("Initiated")
      << (RequestConfirmation ? QStringLiteral("1") : QStringLiteral("0"))
      << (PrintMessage ? QStringLiteral("1") : QStringLiteral("0")) << QStringLiteral("0")
      << (DESEncrypted ? QStringLiteral("1") : QStringLiteral("0"));
    if (!TransmissionDate.isEmpty())
        p << TransmissionDate.mid(3).split(QLatin1Char('-')).mid(0, 2);
    else
        p << now.toString(QStringLiteral("dd")) << now.toString(QStringLiteral("MM"));
    while (p.size() < 15)
        p << QString();
    if (!TransmissionTime.isEmpty())
        p << TransmissionTime.split(QLatin1Char(':')).mid(0, 2);
    else
        p << now.toString(QStringLiteral("HH")) << now.toString(QStringLiteral("mm"));
    while (p.size() < 17)
        p << QString();
    for (int field = 0; field < kRecipientFieldCount; ++field)
        p << QString(Message.GetAliases(MessageType, field)).replace(QLatin1Char(';'), QLatin1Char(','));
    p << Message.Subject;
    return p;
}

bool CTransmission::WriteOutLog() {
    if (!m_outbox.AppendLine(OutLogPositions()))
        return false;
    Status |= 64;
    return true;
}

QString CTransmission::ChooseLes(const ServiceProvider* provider, QString* failure) const {
    const int ocean = m_host.CurrentOcean();
    QString les;
    if (MessageType == EMail || MessageType == SMS) {
        les = provider ? provider->les(ocean) : QString();
        if (!isUsableLes(les)) {
            *failure = SendFailure::NoIspLes;
            return {};
        }
    } else {
        les = ocean >= 0 && ocean <= 3 ? m_config.GetIni(kDefaultLesKeys[ocean]).trimmed() : QString();
        if (!isUsableLes(les)) {
            *failure = SendFailure::NoLes;
            return {};
        }
    }
    return les;
}

QString CTransmission::Submit(const TransmissionOptions& options, const ServiceProvider* provider) {
    if (!SetParameters(options))
        return SendFailure::SetParameters;
    QString failure;
    LESUsed = ChooseLes(provider, &failure);
    if (LESUsed.isEmpty())
        return failure;
    if (OutFileName.isEmpty() && !SetOutFileName(CreateOutFileName()))
        return SendFailure::SaveFile;
    if (!ConvertAddresses())
        return SendFailure::ConvertAddresses;
    if (!FormatMessage(provider))
        return SendFailure::FormatMessage;
    if (!EncodeText(&failure))
        return failure;
    if (!SaveFileInOutBox())
        return SendFailure::SaveFile;
    if (!TransferMessage())
        return SendFailure::TransferMessage;
    if (!SendMessage())
        return SendFailure::SendMessage;
    if (!WriteOutLog())
        return SendFailure::WriteOutLog;
    return {};
}

QString CTransmission::DebugPrint() const {
    const auto flag = [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); };
    return QStringList({QStringLiteral("Presentation :") + QString::number(Presentation),
                        QStringLiteral("Service :") + QString::number(Service),
                        QStringLiteral("NetworkType :") + QString::number(NetworkType),
                        QStringLiteral("Priority :") + QString::number(Priority),
                        QStringLiteral("RequestConfirmation :") + flag(RequestConfirmation),
                        QStringLiteral("Status :") + QString::number(Status),
                        QStringLiteral("OutFileName :") + OutFileName,
                        QStringLiteral("PrintMessage :") + flag(PrintMessage),
                        QStringLiteral("TransmissionDate :") + TransmissionDate,
                        QStringLiteral("TransmissionTime :") + TransmissionTime,
                        QStringLiteral("DESEncrypted :") + flag(DESEncrypted)})
        .join(QLatin1String("\r\n"));
}

QString SendResultText(int code) {
    switch (code) {
    case SendResult::Done:
        return QStringLiteral("Message sent to the transceiver.");
    case SendResult::NoIspLes:
        return QStringLiteral("No LES for the default e-mail service provider in this ocean.");
    case SendResult::NoDefaultLes:
        return QStringLiteral("No default LES for this address type in this ocean.");
    case SendResult::NotConnected:
        return QStringLiteral("Not connected to the transceiver.");
    case SendResult::FormatFailed:
        return QStringLiteral("Formatting the message failed.");
    case SendResult::TransferFailed:
        return QStringLiteral("Transferring the message to the transceiver failed.");
    case SendResult::SubmitFailed:
        return QStringLiteral("Submitting the message failed.");
    case SendResult::OutLogFailed:
        return QStringLiteral("Writing the outbox index failed.");
    case SendResult::Uncarried:
        return QStringLiteral("The message holds characters the chosen code page cannot carry.");
    case SendResult::EmptyDestination:
        return QStringLiteral("The destination address is empty.");
    default:
        return QStringLiteral("Unknown result.");
    }
}

QString SendOutcomeText(const SendOutcome& outcome) {
    return outcome.failureText.isEmpty() ? SendResultText(outcome.code) : outcome.failureText;
}

SendOutcome SendMessageToAddress(CConfiguration& config, cOutBox& outbox, IMessagingHost& host,
                                 PendingTransfers& transfers, const IClock& clock, const QString& address,
                                 int messageType, int format, const QString& subject, const QString& text) {
    if (!host.MesConnected())
        return {SendResult::NotConnected, {}, {}};
    CTransmission t(config, outbox, host, transfers, clock);
    t.Message.TextField = text;
    const QVector<ServiceProvider> providers = LoadProviders(config.DataPath());
    t.ISP = config.GetIni(QStringLiteral("[Default ISP]")).trimmed();
    const ServiceProvider* provider = FindProvider(providers, t.ISP);
    if (address.trimmed().isEmpty() || messageType < 0 || messageType >= kMessageTypeCount)
        return {SendResult::EmptyDestination, {}, {}};
    t.SetPresentation(format == 0 ? 6 : format == 2 ? 7 : 0);
    t.SetService();
    t.MessageType = messageType;
    if (messageType == DNID || messageType == SAC) {
        // The destination of these types is passed with " -e " rather than in the body.
        if (!t.SetDestination(messageType, provider, address.trimmed()))
            return {SendResult::FormatFailed, {}, {}};
    } else if (!t.SetDestination(messageType, provider)) {
        return {SendResult::NoIspLes, {}, {}};
    }
    t.Message.SetAddresses(messageType, FieldTo, address.trimmed());
    t.Message.SetAliases(messageType, FieldTo, address.trimmed());
    QString failure;
    t.LESUsed = t.ChooseLes(provider, &failure);
    if (t.LESUsed.isEmpty())
        return {messageType == EMail || messageType == SMS ? int(SendResult::NoIspLes) : int(SendResult::NoDefaultLes),
                {},
                {}};
    t.SetOutFileName(t.CreateOutFileName());
    t.Message.Subject = subject;
    if (!t.ConvertAddresses() || !t.FormatMessage(provider))
        return {SendResult::FormatFailed, t.OutFileName, {}};
    t.CodePage = config.GetIni(QStringLiteral("[CodePage]")).trimmed();
    if (!t.EncodeText(&failure))
        return {SendResult::Uncarried, {}, failure};
    // In the single-call form writing the out file is part of the transfer: a full disk is a failed
    // transfer, not a formatting fault.
    if (!t.SaveFileInOutBox() || !t.TransferMessage())
        return {SendResult::TransferFailed, t.OutFileName, {}};
    if (!t.SendMessage())
        return {SendResult::SubmitFailed, t.OutFileName, {}};
    if (!t.WriteOutLog())
        return {SendResult::OutLogFailed, t.OutFileName, {}};
    return {SendResult::Done, t.OutFileName, {}};
}

} // namespace tessaro
