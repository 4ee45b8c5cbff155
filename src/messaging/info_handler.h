#pragma once

#include <QString>
#include <QVector>

#include <functional>

namespace tessaro {

class CConfiguration;
class DebugLog;
class IMessagingHost;
class cInfoLog;
class cOutBox;

// One INFO or ERROR line cut from a reply: its code text and the text after ": " (possibly several lines).
struct InfoLine {
    QString code;
    QString text;
    bool terminated = true; // false: the rest of the block had no end; recorded as code 000
};

// Cuts a block into the lines that start with CR LF + keyword ("INFO " or "ERROR "). Each ends at the next
// INFO or ERROR line or at the prompt. Line ends of any shell form are accepted.
QVector<InfoLine> CutInfoLines(const QString& block, const QString& keyword, const QString& prompt);

// The unsolicited INFO and ERROR lines of the "st -l" replies: recorded in the information log, shown
// where the operator must know, and turned into outbox updates (delivery states, reference numbers).
class CInfo final {
public:
    CInfo(CConfiguration& config, cOutBox& outbox, IMessagingHost& host, cInfoLog& infoLog, DebugLog* debugLog);

    void CheckInfos(const QString& block, const QString& prompt);
    void CheckErrors(const QString& block, const QString& prompt);

    // Hooks into subsystems that come later (distress, main window); unset hooks do nothing.
    std::function<void(const QString& status)> distressAlert; // 20 "Failed", 21 "Conf.Ok", 22 "Sending"
    std::function<void(int event)> distressTestEvent;         // 733 -> 1, 803 -> 3
    std::function<void(const QString& text)> testModeBanner;  // empty text hides the banner
    std::function<void(bool alarm)> indicator;                // 552 sets, the last 80/81 clears
    std::function<bool()> positionEntryTransceiver;           // 111 and 193 notices only for these

    int indicatorCount() const { return m_indicatorCount; }

private:
    void record(const QString& kind, const QString& code, const QString& text);
    void notice(const QString& code, const QString& text);
    void act(int code, const QString& text);
    void ruleA(const QString& text, const QString& status, bool confirmationDecides);
    void queueStatusPoll();
    void queueDistressRefresh();

    CConfiguration& m_config;
    cOutBox& m_outbox;
    IMessagingHost& m_host;
    cInfoLog& m_infoLog;
    DebugLog* m_debugLog;
    bool m_testSoftwareNoticeShown = false;
    int m_indicatorCount = 0;
    bool m_noticeRaised = false; // for the line being acted on
};

} // namespace tessaro
