#include "status/transceiver_time.h"

#include "config/text_util.h"
#include "status/reply_fields.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace tessaro {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "yy-mm-dd" with two-digit years below 70 in this century.
std::optional<QDate> shortDate(QStringView text) {
    if (text.size() != 8 || text[2] != u'-' || text[5] != u'-')
        return std::nullopt;
    for (int i : {0, 1, 3, 4, 6, 7}) {
        if (!isDigit(text[i]))
            return std::nullopt;
    }
    const int yy = int(Val(text.mid(0, 2)));
    const QDate date(yy >= 70 ? 1900 + yy : 2000 + yy, int(Val(text.mid(3, 2))), int(Val(text.mid(6, 2))));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

std::optional<QDateTime> ParseTransceiverTime(const QString& reply, const QString& lineEnd) {
    if (reply.size() <= 20)
        return std::nullopt;
    const QString end = lineEnd.isEmpty() ? QStringLiteral("\n") : lineEnd;
    const qsizetype le = reply.indexOf(end);
    if (le < 0)
        return std::nullopt;
    const qsizetype dash = reply.indexOf(QLatin1Char('-'), le + end.size());
    if (dash < 2)
        return std::nullopt;
    const qsizetype dateStart = dash - 2;
    const std::optional<QDate> date = shortDate(QStringView(reply).mid(dateStart, 8));
    if (!date)
        return std::nullopt;
    QDateTime t(*date, QTime(0, 0), Qt::UTC);
    // The hours must lie wholly after the date, otherwise the ":" belongs to something else.
    const qsizetype colon = reply.indexOf(QLatin1Char(':'), dateStart + 8);
    if (colon >= dateStart + 10) {
        const qint64 hours = BoundedVal(QStringView(reply).mid(colon - 2, 2), 0, 99);
        const qint64 minutes = BoundedVal(QStringView(reply).mid(colon + 1, 2), 0, 99);
        t = t.addSecs(hours * 3600 + minutes * 60);
    }
    return t;
}

int SystemClockSetter::setUtc(const QDateTime& utc) {
    timespec ts{};
    ts.tv_sec = time_t(utc.toSecsSinceEpoch());
    ts.tv_nsec = 0;
    if (clock_settime(CLOCK_REALTIME, &ts) != 0)
        return errno;
    return 0;
}

PcTimeResult SetPcTimeFromTransceiver(const QString& reply, bool systemTimeSet, const QDateTime& systemTime,
                                      ISystemClockSetter& setter) {
    PcTimeResult out;
    if (reply.contains(QLatin1StringView("ERROR 120"))) {
        out.errorLine = QStringLiteral("Error: PC time could not be set. Command does not exist or you do not have "
                                       "access to this command on current user level.");
        return out;
    }
    if (!systemTimeSet || !systemTime.isValid())
        return out;
    // The system clock runs in UTC, so the time-zone shift of the local form is not needed; the seconds
    // are dropped as they would be when setting the local date and "hh:nn".
    QDateTime utc = systemTime.toUTC();
    utc.setTime(QTime(utc.time().hour(), utc.time().minute(), 0));
    const int err = setter.setUtc(utc);
    if (err == 0) {
        out.set = true;
    } else if (err == EPERM) {
        out.errorLine = QStringLiteral("Error: PC time could not be set. Tessaro is not permitted to set the system "
                                       "clock (it needs the CAP_SYS_TIME capability).");
    } else {
        out.errorLine =
            QStringLiteral("Error: PC time could not be set. ") + QString::fromLocal8Bit(std::strerror(err));
    }
    return out;
}

} // namespace tessaro
