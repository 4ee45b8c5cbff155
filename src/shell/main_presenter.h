#pragma once

#include "link/imain_form.h"

#include <QString>

namespace tessaro {

// What the main window's status field shows: the link indicator's own text while the link is down or the
// transceiver has not reported yet, otherwise the status line of the last status reply. The background is
// the indicator's green or red, except that distress states keep their white-on-red.
struct StatusFieldView {
    QString text;
    unsigned background = kIndicatorRed; // 0xRRGGBB
    unsigned foreground = 0x000000;
    bool operator==(const StatusFieldView&) const = default;
};

class MainPresenter final {
public:
    void setLinkIndicator(const LinkIndicatorState& state) { m_indicator = state; }
    void setStatusLine(const QString& text, unsigned colour);
    StatusFieldView statusField() const;
    const LinkIndicatorState& indicator() const { return m_indicator; }
    const QString& statusText() const { return m_statusText; }

    // Window caption: program, mobile number when known, and the compact-mode mark.
    static QString WindowTitle(qint64 mobileNumber, bool compact);

private:
    LinkIndicatorState m_indicator;
    QString m_statusText;
    unsigned m_statusColour = 0;
    bool m_statusSet = false;
};

} // namespace tessaro
