#pragma once

#include "status/module_context.h"

#include <QObject>
#include <QQueue>
#include <QString>

namespace tessaro {

class CConfiguration;
class CSession;

// The transceiver printer's settings (section "Settings"), each brought into its range.
struct TransceiverPrinterSettings {
    int pageLines = 53; // "PageLines", 1..99
    int lineWidth = 70; // "LineWidth", 10..99
    int wrapMargin = 3; // "WrapMargin", 0..9
};
// A stored number clamped to lo..hi; text that is not a number gives fallback.
int ClampedSetting(const QString& stored, int lo, int hi, int fallback);
TransceiverPrinterSettings ReadTransceiverPrinterSettings(CConfiguration& config);

// The PC printer's layout (section "Settings"): blank lines before the text and blanks before every line.
struct PcPrintLayout {
    int topMargin = 3;  // "PCPrnTopMargin"
    int leftMargin = 5; // "PCPrnLeftMargin"
    int lineWidth = 72; // "PCPrnLineWidth" (read; the page width decides)
};
PcPrintLayout ReadPcPrintLayout(CConfiguration& config);
// The text as it goes to the PC printer: every line led by the left margin, the whole led by the top
// margin's empty lines (CR LF each).
QString PcPrintText(const QString& text, const PcPrintLayout& layout);

// Whether a text goes to the transceiver's printer: "UseMesPrinter" is set and the unit is not of the
// Cedar or Larch family (4, 5), which are never driven as printers.
bool UseTransceiverPrinter(CConfiguration& config, int productType);

inline constexpr QLatin1StringView kPrintFileName("tessprnt.txt");
// The commands of one print on the transceiver's printer, joined by CR LF as they are queued: the printer
// set-up first when it has not been sent in this run (ending in CR LF), then the transfer of a text of
// textLength characters and the print command.
QString TransceiverPrintBatch(const TransceiverPrinterSettings& settings, qsizetype textLength, bool configured);

// Printing of any text the operator sees: on the transceiver's printer through shell commands, or on the
// PC printer, which the shell provides (pcPrintRequested). Also prints the replies to "type " on the PC
// printer when "PrintReports" is on.
class PrintingModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    explicit PrintingModule(CSession& session, QObject* parent = nullptr);

    Subsystem subsystem() const override { return Subsystem::Printing; }
    void attach(ModuleContext& context) override;

    // Prints text on the chosen printer. Returns at once; the transceiver's commands run later.
    void Print(const QString& text);

    bool PrinterConfigured() const { return m_configured; }
    bool PrintPending() const { return !m_pending.isEmpty(); }

Q_SIGNALS:
    // The text is for the PC printer (the shell shows the print dialogue).
    void pcPrintRequested(const QString& text);
    // The transceiver was told to print a file.
    void transceiverPrintDone(const QString& reply);

private:
    std::optional<QByteArray> uploadText(const QString& fileName);
    void onPrintReport(const QString& reply);
    void dropLostTransfers();

    CSession& m_session;
    ModuleContext* m_context = nullptr;
    bool m_configured = false;
    // Texts waiting for their "tr tessprnt.txt" in queue order: a second print before the first transfer
    // ran must not overwrite the first text (its transfer announced the first text's length).
    QQueue<QByteArray> m_pending;
};

} // namespace tessaro
