#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace tessaro {

// The transceiver's UTC time from a "ti -u" reply: a "yy-mm-dd" date after the echo's line end, then
// "hh:mm" after it. Replies of 20 characters or fewer, and dates that do not exist, give nothing.
// lineEnd is the shell's learned line end; before it is known any LF will do.
std::optional<QDateTime> ParseTransceiverTime(const QString& reply, const QString& lineEnd);

// The PC's clock set from the transceiver's. Returns 0 or an errno value; injected so tests never touch
// the real clock.
class ISystemClockSetter {
public:
    virtual ~ISystemClockSetter() = default;
    virtual int setUtc(const QDateTime& utc) = 0;
};

// clock_settime(CLOCK_REALTIME); needs CAP_SYS_TIME, so an ordinary user gets EPERM.
class SystemClockSetter final : public ISystemClockSetter {
public:
    int setUtc(const QDateTime& utc) override;
};

// What setting the PC time from a "ti -u" reply came to. errorLine is the error-log text when it failed.
struct PcTimeResult {
    bool set = false;
    QString errorLine;
};

// The PC clock is set to the transceiver's time with the seconds cut to 0, only when a time is known.
// "ERROR 120" in the reply means the transceiver refused the command: nothing is set.
PcTimeResult SetPcTimeFromTransceiver(const QString& reply, bool systemTimeSet, const QDateTime& systemTime,
                                      ISystemClockSetter& setter);

} // namespace tessaro
