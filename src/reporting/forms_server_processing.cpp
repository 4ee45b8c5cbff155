#include "reporting/forms_server_processing.h"

#include "config/configuration.h"
#include "config/text_util.h"
#include "reporting/forms_settings.h"

#include <QFile>
#include <QFileInfo>

#include <array>

namespace tessaro {

namespace {
const QString kMissingParameter = QStringLiteral("Error, function parameter missing.");

std::optional<QString> firstNamed(const QList<RequestParameter>& params, QLatin1String name) {
    for (const RequestParameter& p : params) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p.value;
    }
    return std::nullopt;
}

// A message ID names one file inside its mailbox folder; anything that could name another folder is refused.
bool isPlainFileName(const QString& name) {
    return !name.trimmed().isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QChar(0));
}

QString missingMessageText(const QString& id) {
    return FormatText(QStringLiteral("'%0' Does not exist!"), {HtmlEscape(id)}) + QStringLiteral("<br>") +
           QStringLiteral("The file might have been manually deleted by operator.");
}

// Stored bodies use CR LF, but a bare CR or LF must not run lines together either.
QString lineEndsToBreaks(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += QLatin1String("<br>");
        } else if (c == u'\n') {
            out += QLatin1String("<br>");
        } else {
            out += c;
        }
    }
    return out;
}

QString htmlPage(const QString& inner) {
    return QStringLiteral("<HTML><BODY>") + inner + QStringLiteral("</BODY></HTML>");
}
} // namespace

int FormMessageType(const QString& text) {
    static const std::array<QLatin1String, 11> names = {
        QLatin1String("E-Mail"), QLatin1String("Telex"), QLatin1String("Fax"),  QLatin1String("InmC"),
        QLatin1String("PSTN"),   QLatin1String("SAC"),   QLatin1String("DNID"), QLatin1String("X.25"),
        QLatin1String("SMS"),    QLatin1String("Email"), QLatin1String("X25")};
    static const std::array<int, 11> indices = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 7};
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    if (IsNumeric(t)) {
        const qint64 n = Val(t);
        return n >= 0 && n <= 8 ? int(n) : -1;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (t.compare(names[i], Qt::CaseInsensitive) == 0)
            return indices[i];
    }
    return -1;
}

int FormFormatCode(const QString& text) {
    if (text.compare(QLatin1String("5-bit"), Qt::CaseInsensitive) == 0)
        return 0;
    if (text.compare(QLatin1String("8-bit"), Qt::CaseInsensitive) == 0)
        return 2;
    return 1;
}

cHttpServerProcessing::cHttpServerProcessing(CConfiguration& config, IFormsBackend& backend, const IClock& clock,
                                             DebugLog* debugLog)
    : m_config(config), m_backend(backend), m_clock(clock), m_debugLog(debugLog), m_errorLog(config.DataPath(), clock) {
    m_errorLog.SetLogFile(QStringLiteral("ErrorLog.txt"));
}

void cHttpServerProcessing::setServerAddress(const QString& address, int port) {
    m_serverIp = address;
    m_serverPort = QString::number(port);
}

void cHttpServerProcessing::debug(const QString& line) {
    if (m_debugLog)
        m_debugLog->AddLine(line);
}

QByteArray cHttpServerProcessing::processRequest(const QByteArray& request) {
    return ProcessData(QString::fromLatin1(request)).toLatin1();
}

QString cHttpServerProcessing::ProcessData(const QString& request) {
    if (request.trimmed().isEmpty())
        return QStringLiteral("Error in request");
    const HttpRequestParts parts = SplitRequest(request);
    debug(parts.path);
    const QList<RequestParameter> params = ParseParameters(parts.query, parts.body);

    // Substring tests in this order: a page path that merely contains a word is still that request.
    const QString& path = parts.path;
    if (path.contains(QLatin1String("/TXMESSAGE"), Qt::CaseInsensitive)) {
        if (params.isEmpty())
            return QStringLiteral("Error, missing parameter(s).");
        return sendForm(params);
    }
    if (path.contains(QLatin1String("REQUESTTXMSG"), Qt::CaseInsensitive)) {
        const std::optional<QString> id = firstNamed(params, QLatin1String("ID"));
        return id ? outboxMessagePage(*id) : kMissingParameter;
    }
    if (path.contains(QLatin1String("REQUESTRXMSG"), Qt::CaseInsensitive)) {
        const std::optional<QString> id = firstNamed(params, QLatin1String("ID"));
        return id ? inboxMessagePage(*id) : kMissingParameter;
    }
    if (path.contains(QLatin1String("/REQUESTMSGSTATUS"), Qt::CaseInsensitive)) {
        const std::optional<QString> ref = firstNamed(params, QLatin1String("REF"));
        return ref ? statusPage(*ref) : kMissingParameter;
    }
    return serveFile(path);
}

QString cHttpServerProcessing::sendForm(const QList<RequestParameter>& params) {
    const QString settings = QStringLiteral("Settings");
    QString type = m_config.GetSettingValue(settings, QStringLiteral("DefaultMsgType"));
    QString format = m_config.GetSettingValue(settings, QStringLiteral("DefaultMsgFormat"));
    QString address = m_config.GetSettingValue(settings, QStringLiteral("DefaultMsgAddress"));
    QString entry;
    QString subject;
    QString text;
    bool toEntry = false;
    // Every field that is not one of the message's own settings becomes part of the text, in form order.
    for (const RequestParameter& p : params) {
        const QString name = p.name.toUpper();
        if (name == QLatin1String("MSGTYPE")) {
            type = p.value;
        } else if (name == QLatin1String("MSGFORMAT")) {
            format = p.value;
        } else if (name == QLatin1String("MSGADDRESS")) {
            address = p.value;
        } else if (name == QLatin1String("MSGADRBOOKENTRY")) {
            entry = p.value;
            toEntry = true;
        } else if (name == QLatin1String("MSGSUBJECT")) {
            subject = p.value;
        } else if (name == QLatin1String("MSGTEXT") || !p.value.isEmpty()) {
            text += QLatin1Char(',') + p.value;
        }
    }
    if (text.startsWith(QLatin1Char(',')))
        text.remove(0, 1);

    FormsSendResult result;
    try {
        if (toEntry) {
            result = m_backend.SendMessageToAddressBookEntry(entry, subject, text);
        } else {
            const int typeIndex = FormMessageType(type);
            if (typeIndex < 0)
                return htmlPage(FormatText(QStringLiteral("Error, unknown message type '%0'."), {HtmlEscape(type)}));
            result = m_backend.SendMessageToAddress(address, typeIndex, FormFormatCode(format), subject, text);
        }
    } catch (...) {
        return htmlPage(QStringLiteral("Unknown error occurred when sending message."));
    }
    if (result.code == 1000)
        return htmlPage(HtmlEscape(result.text) + QStringLiteral("<br>Ref:") + HtmlEscape(result.reference));
    return htmlPage(QStringLiteral("Error ") + QString::number(result.code) + QStringLiteral(": ") +
                    HtmlEscape(result.text));
}

QString cHttpServerProcessing::readDecodeScript() {
    QFile f(m_config.DataPath() + QStringLiteral("html/decode.js"));
    if (!f.open(QIODevice::ReadOnly)) {
        m_errorLog.Log(QStringLiteral("LoadOutBoxHeader") + QStringLiteral(":Error, file 'decode.js' not found"));
        return {};
    }
    return QString::fromLatin1(f.readAll());
}

QString cHttpServerProcessing::outboxMessagePage(const QString& id) {
    std::optional<QString> body;
    if (isPlainFileName(id))
        body = m_backend.outboxMessageText(id);
    const QString message = body ? HtmlEscape(*body) : missingMessageText(id);
    return QStringLiteral("<script type=\"text/javascript\">") + readDecodeScript() +
           QStringLiteral("</script><html><body onload='MainDecode()'>") + message + QStringLiteral("</body></html>");
}

QString cHttpServerProcessing::inboxMessagePage(const QString& id) {
    std::optional<QString> body;
    if (isPlainFileName(id))
        body = m_backend.inboxMessageText(id);
    if (!body)
        return missingMessageText(id);
    // A received message is somebody else's text, never markup: escape before the line breaks go in.
    return lineEndsToBreaks(HtmlEscape(*body));
}

QString cHttpServerProcessing::statusPage(const QString& reference) {
    const FormsStatusLookup lookup = m_backend.GetIndexValue(reference);
    if (!lookup.found)
        return HtmlEscape(lookup.text);
    return htmlPage(QStringLiteral("Ref:") + HtmlEscape(reference) + QStringLiteral("<br>Status:") +
                    HtmlEscape(lookup.text));
}

std::optional<QString> cHttpServerProcessing::FormFileName(const QString& path) {
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty() || trimmed == QLatin1String("/"))
        return QStringLiteral("index.htm");
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    // Browsers encode blanks and other characters of file names; "+" is a plain character in a path.
    const QString name = UrlDecode(QStringView(path).sliced(slash + 1), false);
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QChar(0)))
        return std::nullopt;
    for (const QStringView segment : QStringView(name).split(u'/')) {
        if (segment == u"..")
            return std::nullopt;
    }
    return name;
}

QString cHttpServerProcessing::serveFile(const QString& path) {
    const QString folder = FormsFolder(m_config);
    const std::optional<QString> name = FormFileName(path);
    if (!name) {
        const qsizetype slash = path.indexOf(QLatin1Char('/'));
        return QStringLiteral("404: File ") +
               HtmlEscape(folder + UrlDecode(QStringView(path).sliced(slash + 1), false)) +
               QStringLiteral(" not found");
    }
    const QString fullName = folder + *name;
    const QFileInfo info(fullName);
    if (!info.exists() || info.isDir())
        return QStringLiteral("404: File ") + HtmlEscape(fullName) + QStringLiteral(" not found");
    QFile f(fullName);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("404: Error loading file ") + HtmlEscape(fullName);
    return FillPlaceholders(QString::fromLatin1(f.readAll()));
}

} // namespace tessaro
