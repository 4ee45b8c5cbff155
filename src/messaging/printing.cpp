#include "messaging/printing.h"

#include "config/configuration.h"
#include "config/text_util.h"
#include "link/shell_protocol.h"
#include "status/session.h"

#include <algorithm>

namespace tessaro {

namespace {

QString setting(CConfiguration& config, const char* key, const char* fallback) {
    return config.GetSettingValue(QStringLiteral("Settings"), QLatin1String(key), QLatin1String(fallback));
}

} // namespace

int ClampedSetting(const QString& stored, int lo, int hi, int fallback) {
    if (!IsNumeric(stored))
        return fallback;
    return int(std::clamp<qint64>(Val(stored), lo, hi));
}

TransceiverPrinterSettings ReadTransceiverPrinterSettings(CConfiguration& config) {
    TransceiverPrinterSettings s;
    s.pageLines = ClampedSetting(setting(config, "PageLines", "53"), 1, 99, 53);
    s.lineWidth = ClampedSetting(setting(config, "LineWidth", "70"), 10, 99, 70);
    s.wrapMargin = ClampedSetting(setting(config, "WrapMargin", "3"), 0, 9, 3);
    return s;
}

PcPrintLayout ReadPcPrintLayout(CConfiguration& config) {
    PcPrintLayout l;
    // A negative margin would mean nothing; a huge one would push the text off every page.
    l.topMargin = std::clamp(int(Val(setting(config, "PCPrnTopMargin", "3"))), 0, 200);
    l.leftMargin = std::clamp(int(Val(setting(config, "PCPrnLeftMargin", "5"))), 0, 200);
    l.lineWidth = int(Val(setting(config, "PCPrnLineWidth", "72")));
    return l;
}

QString PcPrintText(const QString& text, const PcPrintLayout& layout) {
    // Every line starts with the margin, whichever line end the text uses (CR LF, CR or LF).
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    const QString left(layout.leftMargin, u' ');
    QString out;
    for (int i = 0; i < layout.topMargin; ++i)
        out += QStringLiteral("\r\n");
    const QStringList split = lines.split(u'\n');
    for (qsizetype i = 0; i < split.size(); ++i) {
        if (i > 0)
            out += QStringLiteral("\r\n");
        out += left + split.at(i);
    }
    return out;
}

bool UseTransceiverPrinter(CConfiguration& config, int productType) {
    if (productType == 4 || productType == 5)
        return false;
    const QString use = setting(config, "UseMesPrinter", "0").trimmed();
    return use == u"1" || use.compare(u"true", Qt::CaseInsensitive) == 0 || use == u"-1";
}

QString TransceiverPrintBatch(const TransceiverPrinterSettings& s, qsizetype textLength, bool configured) {
    const QString transfer = QStringLiteral("tr ") + kPrintFileName + QStringLiteral(" -b ") +
                             QString::number(textLength) + QStringLiteral("\r\nprint ") + kPrintFileName +
                             QStringLiteral(" -d");
    if (configured)
        return transfer;
    return QStringLiteral("se -z PRINTER=YES\r\nst -w\r\nse -z FFEED=NO\r\nst -w\r\n"
                          "se -z PLINES=%1\r\nst -w\r\nse -z PRTYPEMAX=%2\r\nst -w\r\nse -z PRTYPEREM=%3\r\nst -w\r\n")
               .arg(s.pageLines)
               .arg(s.lineWidth)
               .arg(s.wrapMargin) +
           transfer + QStringLiteral("\r\n");
}

PrintingModule::PrintingModule(CSession& session, QObject* parent) : QObject(parent), m_session(session) {}

void PrintingModule::attach(ModuleContext& context) {
    m_context = &context;
    context.addRoute(RouteKey::PrintDone, MatchKind::Echo, QStringLiteral("print tessprnt.txt -d"),
                     [this](const QString& reply) {
                         m_context->notifier().waitWindow(QString());
                         Q_EMIT transceiverPrintDone(reply);
                     });
    context.addRoute(RouteKey::PrintReport, MatchKind::Starts, QStringLiteral("type "),
                     [this](const QString& reply) { onPrintReport(reply); });
    context.setUploadTextProvider([this](const QString& fileName) { return uploadText(fileName); });
    context.addLinkLostJob([this] { dropLostTransfers(); });
}

void PrintingModule::Print(const QString& text) {
    if (!m_context)
        return;
    if (!UseTransceiverPrinter(m_context->config(), m_session.ProductType())) {
        Q_EMIT pcPrintRequested(text);
        return;
    }
    const QByteArray bytes = text.toLatin1();
    const QString batch =
        TransceiverPrintBatch(ReadTransceiverPrinterSettings(m_context->config()), bytes.size(), m_configured);
    if (!m_context->QueueCommand(batch, true))
        return; // refused while closing down: nothing will be transferred
    m_pending.enqueue(bytes);
    m_configured = true;
}

std::optional<QByteArray> PrintingModule::uploadText(const QString& fileName) {
    if (fileName.trimmed().compare(kPrintFileName, Qt::CaseInsensitive) != 0 || m_pending.isEmpty())
        return std::nullopt;
    return m_pending.dequeue();
}

void PrintingModule::onPrintReport(const QString& reply) {
    if (m_context->config().GetSettingValue(QStringLiteral("Messages"), QStringLiteral("PrintReports"),
                                            QStringLiteral("1")) != u"1")
        return;
    QString text = CutFinalPrompt(WithoutEchoLine(reply), m_context->promptText());
    for (QLatin1StringView prompt : shell::kMainPrompts)
        text = CutFinalPrompt(text, prompt);
    Q_EMIT pcPrintRequested(text);
}

void PrintingModule::dropLostTransfers() {
    // The texts still waiting belong to the transfers still queued, the newest ones; an older text whose
    // "tr" was written but never answered went with the link.
    qsizetype queued = 0;
    const QString transfer = QStringLiteral("tr ") + kPrintFileName + QLatin1Char(' ');
    for (const QString& line : m_context->queuedText().split(QStringLiteral("\r\n")))
        queued += line.startsWith(transfer, Qt::CaseInsensitive) ? 1 : 0;
    while (m_pending.size() > queued)
        m_pending.dequeue();
}

} // namespace tessaro
