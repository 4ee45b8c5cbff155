#include "shell/main_presenter.h"

#include "config/text_util.h"
#include "shell/shell_texts.h"
#include "status/status_module.h"

namespace tessaro {

void MainPresenter::setStatusLine(const QString& text, unsigned colour) {
    m_statusText = text;
    m_statusColour = colour;
    m_statusSet = true;
}

StatusFieldView MainPresenter::statusField() const {
    StatusFieldView v;
    v.background = m_indicator.colour();
    if (!m_indicator.text.isEmpty() || !m_statusSet) {
        v.text = m_indicator.text;
    } else {
        v.text = m_statusText;
        if (m_statusColour == kStatusLineAlarm)
            v.background = kStatusLineAlarm;
    }
    // White on red reads better at night than black on red. The alarm red and the indicator red are the
    // same colour, so the test is on the background itself.
    if (v.background == kIndicatorRed || v.background == kStatusLineAlarm)
        v.foreground = 0xFFFFFF;
    return v;
}

QString MainPresenter::WindowTitle(qint64 mobileNumber, bool compact) {
    QString title = QStringLiteral("Tessaro");
    if (mobileNumber > 0)
        title += QStringLiteral(" - ") + ShellText(5004, "IMN: ") + QString::number(mobileNumber);
    if (compact)
        title += QStringLiteral(" ") + ShellText(5005, "[Compact Mode]");
    return title;
}

} // namespace tessaro
