#pragma once

#include <QFont>
#include <QObject>
#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace tessaro {

class CConfiguration;
class EgcModule;
class MessagingModule;
class PrintingModule;

// The font of every PC printout.
QFont PcPrintFont();
// Prints text (already laid out with its margins) on printer in the PC print font, a new page whenever one
// is full; a line wider than the page goes on in the next line instead of being cut off. False when the
// printer could not be started or a page not begun.
bool PrintTextOn(QPrinter& printer, const QString& text);

// The PC printer: the print dialogue with the default printer chosen, then the text with the margins of the
// "PCPrnTopMargin" and "PCPrnLeftMargin" settings. Tests replace the dialogue and the message boxes.
class PcPrinter final : public QObject {
    Q_OBJECT
public:
    PcPrinter(CConfiguration& config, QWidget* window, QObject* parent = nullptr);

    void print(const QString& text);

    // Whether the system has a printer at all.
    std::function<bool()> hasPrinter;
    // Shows the print dialogue on printer; false when the operator cancels.
    std::function<bool(QPrinter& printer)> choosePrinter;
    // Tells the operator (text, title).
    std::function<void(const QString& text, const QString& title)> tell;

private:
    CConfiguration& m_config;
    QWidget* m_window;
};

// Every print source of the core to the one print routine, and the routine's PC printouts to pc: the
// automatic EGC printing, "PrintIncomingMsg", "PrintMsgConf" and the "type " reports.
void ConnectPrintSources(PrintingModule& printing, PcPrinter& pc, EgcModule& egc, MessagingModule& messaging);

} // namespace tessaro
