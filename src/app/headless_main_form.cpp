#include "app/headless_main_form.h"

#include "config/text_util.h"
#include "egc/egc_codes.h"

namespace tessaro {

HeadlessMainForm::HeadlessMainForm(const QString& dataPath, const IClock& clock, FILE* out, FILE* err)
    : m_clock(clock), m_infoLog(dataPath, clock), m_out(out), m_err(err) {}

void HeadlessMainForm::print(const QString& text) {
    const QString line = LogStamp(m_clock.nowLocal()) + QStringLiteral("  ") + text + QLatin1Char('\n');
    std::fputs(line.toLocal8Bit().constData(), m_out);
    std::fflush(m_out);
}

void HeadlessMainForm::printError(const QString& text) {
    std::fputs((QStringLiteral("tessaro: ") + text + QLatin1Char('\n')).toLocal8Bit().constData(), m_err);
    std::fflush(m_err);
}

void HeadlessMainForm::setActivity(Activity) {
    // "Idle"/"Receiving" change several times a second: the command trace says more.
}

void HeadlessMainForm::setLinkIndicator(const LinkIndicatorState& state) {
    const QString text = QStringLiteral("Link: %1%2")
                             .arg(state.green ? QStringLiteral("up") : QStringLiteral("down"),
                                  state.text.isEmpty() ? QString() : QStringLiteral(" (") + state.text + u')');
    if (text == m_lastIndicator)
        return;
    m_lastIndicator = text;
    print(text);
}

void HeadlessMainForm::setStatusLine(const QString& text, unsigned) {
    if (text == m_lastStatus)
        return;
    m_lastStatus = text;
    print(QStringLiteral("Status: ") + text);
}

void HeadlessMainForm::logInformation(const QString& line) {
    // A full disk is told once, not once per line.
    if (!m_infoLog.AddInfo(line))
        if (const QString error = m_infoLog.takeErrorToReport(); !error.isEmpty())
            printError(FlattenText(error));
}

void HeadlessMainForm::addInformation(const QString& line) {
    print(QStringLiteral("Info: ") + line);
    logInformation(line);
}

void HeadlessMainForm::showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) {
    const QString text = FlattenText(box.text);
    print(QStringLiteral("[%1] %2").arg(box.title, text));
    logInformation(text);
    closed();
}

void HeadlessMainForm::confirm(const ConfirmRequest& request, std::function<void(bool)> answer) {
    print(QStringLiteral("Question: %1 -> %2 (no operator)")
              .arg(FlattenText(request.text), request.safeAnswer ? QStringLiteral("Yes") : QStringLiteral("No")));
    answer(request.safeAnswer);
}

bool HeadlessMainForm::askDisclaimer() {
    printError(QStringLiteral("the disclaimer has not been accepted for this data folder. Read it, then run "
                              "again with --accept-disclaimer to accept it."));
    return false;
}

void HeadlessMainForm::fatalMessage(const QString& text, const QString&) {
    printError(text);
}

void HeadlessMainForm::uploadStarted(int maximum) {
    print(QStringLiteral("Upload: started (%1)").arg(maximum));
}

void HeadlessMainForm::uploadProgress(int) {}

void HeadlessMainForm::uploadFinished() {
    print(QStringLiteral("Upload: finished"));
}

void HeadlessMainForm::setWaitWindow(const QString& text) {
    if (!text.isEmpty())
        print(FlattenText(text));
}

void HeadlessMainForm::setWaitProgress(int) {}

void HeadlessMainForm::openWindow(WindowId window) {
    const QString name =
        window == WindowId::TerminalStatus ? QStringLiteral("transceiver status") : QStringLiteral("link test");
    print(QStringLiteral("Window not shown without a display: ") + name);
}

void HeadlessMainForm::showAlert(AlertKind kind, const QString&) {
    // The EGC's own line already says ALARM; a second line would read as a second EGC.
    if (kind == AlertKind::EgcDistress || kind == AlertKind::EgcUrgent)
        return;
    // Nobody sees an alert window here: the alert becomes a line of its own.
    print(QStringLiteral("ALERT: ") + AlertCaption(kind));
}

void HeadlessMainForm::egcStored(const EgcIdxRecord& record) {
    const QString line = QStringLiteral("EGC ") + record.ModemFileName + QStringLiteral(" stored: ") +
                         ConvertEGCPriorityNo(record.Priority) + QStringLiteral(", ") +
                         ConvertEGCServiceNo(record.Service);
    print(EgcPriorityRaisesAlarm(record.Priority) ? QStringLiteral("ALARM ") + line : line);
}

void HeadlessMainForm::playSound(OperatorSound) {}

void HeadlessMainForm::closeFinished() {
    print(QStringLiteral("Tessaro stopped."));
}

} // namespace tessaro
