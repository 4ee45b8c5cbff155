#include "shell/pc_printer.h"

#include "config/configuration.h"
#include "egc/egc_module.h"
#include "messaging/messaging_module.h"
#include "messaging/printing.h"
#include "shell/shell_texts.h"

#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace tessaro {

QFont PcPrintFont() {
    QFont font(QStringLiteral("Courier"), 10);
    // Where no Courier is installed the nearest fixed-pitch face stands in: columns must still line up.
    font.setStyleHint(QFont::Courier);
    font.setFixedPitch(true);
    return font;
}

bool PrintTextOn(QPrinter& printer, const QString& text) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFont font = PcPrintFont();
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const int charWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    const int columns = std::max(1, page.width() / charWidth);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    int y = 0;
    for (const QString& line : lines.split(QLatin1Char('\n'))) {
        qsizetype from = 0;
        do {
            if (y + lineHeight > page.height()) {
                if (!printer.newPage())
                    return false;
                y = 0;
            }
            painter.drawText(0, y + metrics.ascent(), line.mid(from, columns));
            y += lineHeight;
            from += columns;
        } while (from < line.size());
    }
    return painter.end();
}

PcPrinter::PcPrinter(CConfiguration& config, QWidget* window, QObject* parent)
    : QObject(parent), m_config(config), m_window(window) {
    hasPrinter = [] { return !QPrinterInfo::availablePrinterNames().isEmpty(); };
    choosePrinter = [this](QPrinter& printer) {
        printer.setPrinterName(QPrinterInfo::defaultPrinterName());
        QPrintDialog dialog(&printer, m_window);
        return dialog.exec() == QDialog::Accepted;
    };
    tell = [this](const QString& text, const QString& title) { QMessageBox::information(m_window, title, text); };
}

void PcPrinter::print(const QString& text) {
    if (!hasPrinter()) {
        tell(ShellText(6900, "No PC printers available. Please add printer in Windows printer settings."),
             ShellText(5510, "Info"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer))
        return;
    if (!PrintTextOn(printer, PcPrintText(text, ReadPcPrintLayout(m_config))))
        tell(ShellText(6901, "Error occurred when printing. The text might not have been printed"),
             ShellText(5041, "Error"));
}

void ConnectPrintSources(PrintingModule& printing, PcPrinter& pc, EgcModule& egc, MessagingModule& messaging) {
    QObject::connect(&printing, &PrintingModule::pcPrintRequested, &pc, &PcPrinter::print);
    QObject::connect(&egc, &EgcModule::printRequested, &printing, &PrintingModule::Print);
    QObject::connect(&messaging, &MessagingModule::printRequested, &printing, &PrintingModule::Print);
}

} // namespace tessaro
