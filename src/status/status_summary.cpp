#include "status/status_summary.h"

#include "status/identity.h"
#include "status/session.h"
#include "status/terminal_status.h"

#include <QTimer>

#include <memory>

namespace tessaro {

namespace {

QString positionText(const PositionRecord& p) {
    if (!p.Valid)
        return QStringLiteral("not available");
    return QStringLiteral("%1 %2.%3 %4, %5 %6.%7 %8")
        .arg(p.LatDegrees)
        .arg(p.LatMinutes, 2, 10, QLatin1Char('0'))
        .arg(p.LatFraction, 2, 10, QLatin1Char('0'))
        .arg(QLatin1Char(p.South ? 'S' : 'N'))
        .arg(p.LonDegrees)
        .arg(p.LonMinutes, 2, 10, QLatin1Char('0'))
        .arg(p.LonFraction, 2, 10, QLatin1Char('0'))
        .arg(QLatin1Char(p.West ? 'W' : 'E'));
}

} // namespace

QString OceanName(int ocean) {
    return MobileStatusText(LoggedInStatusIndex(true, ocean));
}

QString StatusSummaryLine(const CSession& s) {
    QStringList parts;
    const QString model = ProductModelName(s.ProductModel()).trimmed();
    parts << QStringLiteral("Terminal: ") + model + QStringLiteral(" (") + MobileTypeName(s.MobileType()) +
                 QLatin1Char(')');
    parts << QStringLiteral("IMN ") +
                 (s.MobileNumber() > 0 ? QString::number(s.MobileNumber()) : QStringLiteral("<unknown>"));
    if (!s.MesConnected())
        parts << QStringLiteral("not connected");
    parts << (s.LoggedIn() ? QStringLiteral("logged in") : QStringLiteral("logged out"));
    parts << QStringLiteral("ocean ") + OceanName(s.CurrentOcean());
    parts << QStringLiteral("channel ") + (s.CurrentChannel().isEmpty() ? QStringLiteral("-") : s.CurrentChannel());
    parts << QStringLiteral("protocol ") + (s.CurrentProtocol().isEmpty() ? QStringLiteral("-") : s.CurrentProtocol());
    parts << QStringLiteral("position ") + positionText(s.Position());
    parts << QStringLiteral("UTC ") + (s.SystemTimeSet() ? s.SystemTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                                         : QStringLiteral("unknown"));
    return parts.join(QStringLiteral(", "));
}

void FollowStatusSummary(CSession& session, std::function<void(const QString& line)> print) {
    struct State {
        QString last;
        bool pending = false;
    };
    auto state = std::make_shared<State>();
    auto printIfChanged = [&session, print = std::move(print), state] {
        state->pending = false;
        const QString line = StatusSummaryLine(session);
        // The transceiver clock moves every minute; that alone is no reason to print again.
        const QString key = line.left(line.lastIndexOf(QStringLiteral(", UTC ")));
        if (key == state->last)
            return;
        state->last = key;
        print(line);
    };
    // One reply changes several values at once: the line is printed once, after the handler is done.
    auto schedule = [&session, state, printIfChanged] {
        if (state->pending)
            return;
        state->pending = true;
        QTimer::singleShot(0, &session, printIfChanged);
    };
    QObject::connect(&session, &CSession::loggedInChanged, &session, schedule);
    QObject::connect(&session, &CSession::currentOceanChanged, &session, schedule);
    QObject::connect(&session, &CSession::currentProtocolChanged, &session, schedule);
    QObject::connect(&session, &CSession::positionChanged, &session, schedule);
    QObject::connect(&session, &CSession::identityChanged, &session, schedule);
}

} // namespace tessaro
