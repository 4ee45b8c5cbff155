#include "shell_commands.h"

namespace tessaro::sim {

namespace {

QString setting(const QString& option, bool numeric, const QString& value, const QString& description) {
    // The value column is wide enough that a fixed 17-character read of it ends in blanks.
    return QStringLiteral(" %1 %2  value is %3%4")
        .arg(option, numeric ? QStringLiteral("(num)") : QStringLiteral("(str)"), padRight(value, 18), description);
}

QString orDot(const QString& value) {
    return value.isEmpty() ? QStringLiteral(".") : value;
}

void egcLog(MesUnit& u, Reply& r) {
    r.line(QStringLiteral("EGC log"));
    r.line(QStringLiteral("LES Svc P B Date     Time    Size   Ref no Sq Ch Routing File"));
    for (const SimFile& f : u.files()) {
        if (f.kind != FileKind::Egc || !f.logged)
            continue;
        r.line(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8  0  1 %9 %10")
                   .arg(f.les, 3, 10, QLatin1Char('0'))
                   .arg(f.service, 3)
                   .arg(f.priority)
                   .arg(f.presentation)
                   .arg(twoDigitDate(f.time), hhmm(f.time))
                   .arg(f.body.size(), 7)
                   .arg(f.reference, 8)
                   .arg(padRight(f.routing, 7), f.name));
    }
}

void enidCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    QString action = ctx.args.mid(2).join(QString());
    if (action.isEmpty()) {
        r.line(QStringLiteral("EGC Network ID list"));
        for (const Enid& e : u.enids)
            r.line(stx(e.provider) + u' ' + stx(QString::number(e.enid)) +
                   (e.enabled ? QString() : QStringLiteral(" disabled")));
        return;
    }
    const QChar which = action.at(0).toLower();
    bool ok = false;
    const qint64 number = action.mid(1).toLongLong(&ok);
    if ((which != u'e' && which != u'd') || !ok) {
        r.line(QStringLiteral("Illegal argument: %1").arg(action));
        return;
    }
    for (Enid& e : u.enids) {
        if (e.enid == number) {
            e.enabled = which == u'e';
            r.line(QStringLiteral("ENID %1 %2")
                       .arg(number)
                       .arg(e.enabled ? QStringLiteral("enabled") : QStringLiteral("disabled")));
            return;
        }
    }
    r.line(QStringLiteral("ERROR 124: ENID %1 not found").arg(number));
}

bool setFlag(const QString& value, bool* flag, Reply& r) {
    if (value.isEmpty())
        return true;
    if (value != u"0" && value != u"1") {
        r.line(QStringLiteral("Illegal argument: %1").arg(value));
        return false;
    }
    *flag = value == u"1";
    return true;
}

void spareNavareas(MesUnit& u, const QString& value, Reply& r) {
    if (!value.isEmpty()) {
        const QStringList parts = value.split(u',');
        std::array<int, 4> areas{0, 0, 0, 0};
        // A one-area unit takes the program's four-value form as long as the areas it has no room for are 0.
        const qsizetype room = u.model().spareNavareas ? 4 : 1;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            bool ok = false;
            const int area = parts.at(i).trimmed().toInt(&ok);
            if (!ok || area < 0 || area > 21 || i >= 4 || (i >= room && area != 0)) {
                r.line(QStringLiteral("Illegal argument: %1").arg(value));
                return;
            }
            areas[static_cast<size_t>(i)] = area;
        }
        u.spareNavareas = areas;
    }
    if (!u.model().spareNavareas) {
        r.line(setting(QStringLiteral("-sn"), true, QString::number(u.spareNavareas[0]),
                       QStringLiteral("Additional NAVAREA")));
        return;
    }
    // The label starts a line; the first area follows it, the other three stand on lines of their own.
    for (size_t i = 0; i < 4; ++i) {
        const QString area = u.spareNavareas[i] > 0 ? QString::number(u.spareNavareas[i]) : QStringLiteral("None");
        r.line(i == 0 ? QStringLiteral("Spare Navareas: ") + area : area);
    }
}

bool lettersOnly(const QString& value, const QString& allowed) {
    for (QChar c : value) {
        if (!allowed.contains(c.toUpper()))
            return false;
    }
    return true;
}

void fixedPositions(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    if (!u.model().fixedPositions) {
        r.line(QStringLiteral("ERROR 120: Unknown command"));
        return;
    }
    const QStringList groups = ctx.args.mid(1);
    for (const QString& g : groups) {
        const QStringList p = g.split(u',');
        const bool ok = p.size() == 4 && p.at(0).toInt() <= 90 && p.at(2).toInt() <= 180 &&
                        (p.at(1).toUpper() == u"N" || p.at(1).toUpper() == u"S") &&
                        (p.at(3).toUpper() == u"E" || p.at(3).toUpper() == u"W");
        if (!ok) {
            r.line(QStringLiteral("Illegal argument: %1").arg(g));
            return;
        }
    }
    if (!groups.isEmpty() || ctx.line.trimmed() == u"fx")
        u.fixedPositions = groups.join(u' ');
    r.line(QStringLiteral("Fixed positions: %1")
               .arg(u.fixedPositions.isEmpty() ? QStringLiteral("none") : u.fixedPositions));
}

void egcSettings(MesUnit& u, Reply& r) {
    r.line(QStringLiteral("EGC receiver settings"));
    r.line(
        setting(QStringLiteral("-e"), true, QString::number(u.egcReceiverOnly), QStringLiteral("EGC receiver only")));
    r.line(setting(QStringLiteral("-a"), true, QString::number(u.systemMessages), QStringLiteral("System messages")));
    r.line(setting(QStringLiteral("-w"), true, QString::number(u.safetyNet), QStringLiteral("SafetyNET")));
    r.line(
        setting(QStringLiteral("-n"), true, QString::number(u.extraNavareas), QStringLiteral("Additional NAVAREA(s)")));
    r.line(setting(QStringLiteral("-x"), false, orDot(u.coastalAreas), QStringLiteral("Coastal warning areas")));
    r.line(setting(QStringLiteral("-y"), false, orDot(u.coastalSubjects), QStringLiteral("Coastal warning subjects")));
}

} // namespace

bool runEgcCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    const QString cmd = ctx.arg(0);
    const QString opt = ctx.arg(1);
    const QString value = ctx.arg(2);
    if (cmd == u"st" && opt == u"-e" && ctx.args.size() == 2) {
        egcLog(u, r);
        return true;
    }
    if (cmd == u"st" && opt == u"-g") {
        enidCommand(ctx, r);
        return true;
    }
    if (cmd == u"fx") {
        fixedPositions(ctx, r);
        return true;
    }
    if (cmd == u"db") {
        if (opt != u"egc" || value != u"sim" || ctx.args.size() != 4)
            return false;
        u.simulateEgc(ctx.arg(3).toInt());
        r.line(QStringLiteral("EGC simulation %1 started").arg(ctx.arg(3)));
        return true;
    }
    if (cmd != u"se")
        return false;
    if (ctx.args.size() == 1) {
        egcSettings(u, r);
        return true;
    }
    if (ctx.args.size() > 3)
        return false;
    if (opt == u"-e" || opt == u"-a" || opt == u"-w" || opt == u"-n") {
        bool* flag = opt == u"-e"
                         ? &u.egcReceiverOnly
                         : (opt == u"-a" ? &u.systemMessages : (opt == u"-w" ? &u.safetyNet : &u.extraNavareas));
        static const QMap<QString, QString> names{{QStringLiteral("-e"), QStringLiteral("EGC receiver only")},
                                                  {QStringLiteral("-a"), QStringLiteral("System messages")},
                                                  {QStringLiteral("-w"), QStringLiteral("SafetyNET")},
                                                  {QStringLiteral("-n"), QStringLiteral("Additional NAVAREA(s)")}};
        if (setFlag(value, flag, r))
            r.line(setting(opt, true, QString::number(*flag), names.value(opt)));
        return true;
    }
    if (opt == u"-sn") {
        spareNavareas(u, value, r);
        return true;
    }
    if (opt == u"-x" || opt == u"-y") {
        QString* target = opt == u"-x" ? &u.coastalAreas : &u.coastalSubjects;
        const QString allowed =
            opt == u"-x" ? QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ") : QStringLiteral("ABCDEFHJKL");
        if (!value.isEmpty()) {
            if (value != u"." && !lettersOnly(value, allowed)) {
                r.line(QStringLiteral("Illegal argument: %1").arg(value));
                return true;
            }
            *target = value == u"." ? QString() : value.toUpper();
        }
        // Read back with nothing after the value: it is read up to the line end.
        r.line(opt == u"-x" ? QStringLiteral("Coastal warning areas") : QStringLiteral("Coastal warning subjects"));
        r.line(QStringLiteral(" %1 (str)  value is %2").arg(opt, orDot(*target)));
        return true;
    }
    return false;
}

} // namespace tessaro::sim
