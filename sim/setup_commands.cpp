#include "shell_commands.h"

#include <QRegularExpression>

namespace tessaro::sim {

namespace {

const QString kNatures = QStringLiteral("UEFCGLSDARP");

QString maritimeNature(QChar letter) {
    static const QMap<QChar, QString> names{
        {u'U', QStringLiteral("Undesignated")},    {u'E', QStringLiteral("Explosion/Fire")},
        {u'F', QStringLiteral("Flooding")},        {u'C', QStringLiteral("Collision")},
        {u'G', QStringLiteral("Grounding")},       {u'L', QStringLiteral("Listing")},
        {u'S', QStringLiteral("Sinking")},         {u'D', QStringLiteral("Disabled and adrift")},
        {u'A', QStringLiteral("Abandoning ship")}, {u'R', QStringLiteral("Require assistance")},
        {u'P', QStringLiteral("Piracy")}};
    return names.value(letter, QStringLiteral("Undesignated"));
}

QString landNature(QChar letter) {
    static const QMap<QChar, QString> names{{u'U', QStringLiteral("Unspecified")},
                                            {u'E', QStringLiteral("Ambulance")},
                                            {u'F', QStringLiteral("Fire")},
                                            {u'C', QStringLiteral("Police")},
                                            {u'G', QStringLiteral("Hijack")},
                                            {u'L', QStringLiteral("Under attack/threat of attack")},
                                            {u'S', QStringLiteral("Dangerous cargo leak/spill")},
                                            {u'D', QStringLiteral("Accident")},
                                            {u'A', QStringLiteral("Vehicle breakdown")},
                                            {u'R', QStringLiteral("Severe weather")}};
    return names.value(letter, QStringLiteral("Unspecified"));
}

QString three(const QString& les) {
    return les.trimmed().rightJustified(3, u'0');
}

// Labels with their value 20 characters after the label's first character.
void generatorListing(MesUnit& u, Reply& r) {
    const DistressGenerator& g = u.generator;
    const bool gps = g.useGps && u.position.valid;
    r.line(QStringLiteral("Parameters for Distress Alert"));
    r.line(label(u.model().currentLesLabel ? QStringLiteral("Current LES/NCS Id") : QStringLiteral("LES/NCS Id"), 18) +
           g.les);
    r.line(label(QStringLiteral("Nature of Distress"), 18) + g.nature + QStringLiteral("  ") +
           maritimeNature(g.nature));
    r.line(label(QStringLiteral("Position"), 18) + (gps ? u.position.pieces : g.position).join(u' '));
    const QTime fix = gps ? u.position.fixTime.time() : QTime(g.hour, g.minute);
    r.line(label(QStringLiteral("Time of Position"), 18) + fix.toString(QStringLiteral("hh:mm")));
    r.line(label(QStringLiteral("Course"), 18) + QStringLiteral("%1 deg/true").arg(gps ? u.position.course : g.course));
    r.line(label(QStringLiteral("Speed"), 18) + QStringLiteral("%1 knots").arg(gps ? u.position.speed : g.speed));
    r.line(label(QStringLiteral("Position source"), 18) +
           (g.useGps ? QStringLiteral("GPS") : QStringLiteral("Manual")));
}

bool inRange(const QString& text, int low, int high, int* value) {
    bool ok = false;
    *value = text.trimmed().toInt(&ok);
    return ok && *value >= low && *value <= high;
}

// "se -g LES,nature,NS,deg,min,hund,EW,deg,min,hund,hour,minute,course,speed"
bool setGenerator(MesUnit& u, const QString& values) {
    const QStringList v = values.split(u',');
    if (v.size() != 14)
        return false;
    DistressGenerator g = u.generator;
    int les = 0;
    if (!inRange(v[0], 0, 399, &les) || v[1].trimmed().size() != 1 || !kNatures.contains(v[1].trimmed().toUpper()))
        return false;
    g.les = three(v[0]);
    g.nature = v[1].trimmed().toUpper().at(0);
    // Values out of every range mean: take position, time, course and speed from the GPS.
    if (v.mid(2).join(u',') == u"S,127,63,0,W,255,63,0,23,59,359,180") {
        g.useGps = true;
        u.generator = g;
        return true;
    }
    int n[10];
    const int idx[] = {3, 4, 5, 7, 8, 9, 10, 11, 12, 13};
    const int max[] = {90, 59, 99, 180, 59, 99, 23, 59, 360, 200};
    for (int i = 0; i < 10; ++i) {
        if (!inRange(v[idx[i]], 0, max[i], &n[i]))
            return false;
    }
    const QString ns = v[2].trimmed().toUpper();
    const QString ew = v[6].trimmed().toUpper();
    if ((ns != u"N" && ns != u"S") || (ew != u"E" && ew != u"W"))
        return false;
    g.position = {QString::number(n[0]), QString::number(n[1]), QString::number(n[2]), ns,
                  QString::number(n[3]), QString::number(n[4]), QString::number(n[5]), ew};
    g.hour = n[6];
    g.minute = n[7];
    g.course = n[8];
    g.speed = n[9];
    g.useGps = false;
    u.generator = g;
    return true;
}

void alertSettings(MesUnit& u, Reply& r) {
    r.line(QStringLiteral("Distress alert settings"));
    // The LES stands one character after the 27-character label, framed by STX and ETX.
    r.line(QStringLiteral("Land Station number      : ") + stx(three(u.generator.les)));
    if (u.model().landMobile)
        r.line(QStringLiteral("Nature of distress       : %1 (Maritime %2)")
                   .arg(landNature(u.generator.nature), maritimeNature(u.generator.nature)));
    else
        r.line(QStringLiteral("Nature of distress       : Maritime %1").arg(maritimeNature(u.generator.nature)));
}

void alertLesAllOceans(MesUnit& u, Reply& r) {
    static const char* regions[] = {"AOR-W", "AOR-E", "POR  ", "IOR  "};
    const std::array<QString, 4>& les = u.generator.alertLes;
    if (u.model().alertLayout == AlertLesLayout::LesIds) {
        r.line(QStringLiteral("Distress alert LES per ocean region"));
        r.line(label(QStringLiteral("LES IDs"), 18) + QStringList(les.begin(), les.end()).join(u','));
        return;
    }
    r.line(u.model().alertLayout == AlertLesLayout::LandMobile ? QStringLiteral("Alert LES for Land Mobile")
                                                               : QStringLiteral("Alert LES"));
    for (int k = 0; k < 4; ++k) {
        QString name;
        for (const LesEntry& e : lesTable(k)) {
            if (e.id == les[static_cast<size_t>(k)].toInt())
                name = QLatin1String(e.name);
        }
        // "ocean k" and the region take 14 characters, so the value starts 15 after "ocean".
        r.line(QStringLiteral("ocean %1 %2 ").arg(k).arg(QLatin1String(regions[k])) + stx(les[static_cast<size_t>(k)]) +
               (name.isEmpty() ? QString() : QStringLiteral(" ") + name));
    }
}

void alertDialog(ShellContext& ctx, Reply& r) {
    MesUnit* unit = &ctx.unit;
    ShellSession* session = &ctx.session;
    r.text(QStringLiteral("Land Station number [%1]\r\n: ").arg(three(unit->generator.les)));
    session->expectAnswer([unit, session](const QString& les, Reply& r2) {
        const QString newLes = les.trimmed().isEmpty() ? unit->generator.les : three(les);
        r2.text(QStringLiteral("Distress message type [n]\r\n: "));
        session->expectAnswer([unit, session, newLes](const QString&, Reply& r3) {
            r3.text(QStringLiteral("Nature of distress (U,E,F,C,G,L,S,D,A,R) [%1]\r\n: ").arg(unit->generator.nature));
            session->expectAnswer([unit, newLes](const QString& nature, Reply& r4) {
                const QString n = nature.trimmed().toUpper();
                if (!n.isEmpty() && (n.size() != 1 || !kNatures.contains(n))) {
                    r4.line(QStringLiteral("Illegal argument: %1").arg(nature.trimmed()));
                    return;
                }
                unit->generator.les = newLes;
                if (!n.isEmpty())
                    unit->generator.nature = n.at(0);
                r4.line(QStringLiteral("Distress settings stored"));
            });
        });
    });
}

void alertCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    if (u.model().alertLayout == AlertLesLayout::None) {
        r.line(QStringLiteral("ERROR 120: Unknown command"));
        return;
    }
    const QString value = ctx.args.mid(2).join(QString());
    if (value.isEmpty()) {
        alertSettings(u, r);
    } else if (value == u"ALL_OCEANS") {
        alertLesAllOceans(u, r);
    } else if (value == u"?") {
        alertDialog(ctx, r);
    } else {
        const QStringList parts = value.split(u',');
        static const QRegularExpression les(QStringLiteral("^\\d{1,3}$"));
        if (parts.size() == 4 &&
            std::all_of(parts.begin(), parts.end(), [](const QString& p) { return les.match(p).hasMatch(); })) {
            for (size_t k = 0; k < 4; ++k)
                u.generator.alertLes[k] = three(parts.at(static_cast<qsizetype>(k)));
            r.line(QStringLiteral("Alert LES stored"));
        } else if (parts.size() == 3 && les.match(parts[0]).hasMatch() && parts[2].size() == 1 &&
                   kNatures.contains(parts[2].toUpper())) {
            u.generator.les = three(parts[0]);
            u.generator.nature = parts[2].toUpper().at(0);
            r.line(QStringLiteral("Distress settings stored"));
        } else {
            r.line(QStringLiteral("Illegal argument: %1").arg(value));
        }
    }
}

void dnidList(MesUnit& u, Reply& r) {
    r.line(QStringLiteral("DNID list"));
    r.line(QStringLiteral("Name                       St LES DNID    Mem  Sub   Ch Rd"));
    for (const Dnid& d : u.dnids) {
        // Exactly 58 characters: provider 1-27, status 28-29, LES 31-33, DNID 35-40, member 43-45,
        // sub-address 49, channel 55, random 58.
        r.line(padRight(d.provider.left(27), 27) + QStringLiteral("%1").arg(d.enabled ? 1 : 0, 2) + u' ' +
               QStringLiteral("%1").arg(d.les, 3, 10, QLatin1Char('0')) + u' ' + padRight(QString::number(d.dnid), 6) +
               QStringLiteral("  ") + QStringLiteral("%1").arg(d.member, 3, 10, QLatin1Char('0')) +
               QStringLiteral("   ") + QString::number(d.subAddress % 10) + QStringLiteral("     ") +
               QString::number(d.channel % 10) + QStringLiteral("  ") + QString::number(d.random % 10));
    }
    r.line(QStringLiteral("%1 DNID(s) stored").arg(u.dnids.size(), 3));
}

void dnidCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    const QString action = ctx.args.mid(2).join(QString());
    if (action.isEmpty()) {
        dnidList(u, r);
        return;
    }
    const QChar which = action.at(0).toUpper();
    const QStringList v = action.mid(1).split(u',');
    if ((which != u'E' && which != u'D') || v.size() != 4) {
        r.line(QStringLiteral("Illegal argument: %1").arg(action));
        return;
    }
    for (Dnid& d : u.dnids) {
        if (d.les == v[0].toInt() && d.dnid == v[1].toLongLong() && d.member == v[2].toInt() &&
            d.subAddress == v[3].toInt()) {
            d.enabled = which == u'E';
            r.line(QStringLiteral("DNID %1 %2")
                       .arg(d.dnid)
                       .arg(d.enabled ? QStringLiteral("enabled") : QStringLiteral("disabled")));
            return;
        }
    }
    r.line(QStringLiteral("ERROR 121: DNID %1 not found").arg(v[1]));
}

QString programType(const ReportProgram& p) {
    return p.type == 1 ? QStringLiteral("Closed")
                       : (p.type == 2 ? QStringLiteral("PU-Local") : QStringLiteral("PU-Remote"));
}

QString programState(const ReportProgram& p) {
    if (p.type == 1)
        return QStringLiteral("none");
    return p.state == 2 ? QStringLiteral("PU[i]") : (p.state == 3 ? QStringLiteral("PU[s]") : QStringLiteral("PU[-]"));
}

void programListing(MesUnit& u, Reply& r) {
    r.line(QStringLiteral("Position report programs"));
    r.line(QStringLiteral("Prg Type      State   Connection (LES,DNID,Mem per ocean)"));
    for (int i = 0; i < 4; ++i) {
        const ReportProgram& p = u.programs[static_cast<size_t>(i)];
        // Slot, type and state take 21 columns; the four connections start in column 22.
        r.line(QStringLiteral("%1  ").arg(i) + padRight(programType(p), 10) + padRight(programState(p), 8) +
               p.groups.join(u' '));
    }
}

void programStatus(MesUnit& u, int slot, Reply& r) {
    const ReportProgram& p = u.programs[static_cast<size_t>(slot)];
    r.line(QStringLiteral("Program %1 status").arg(slot + 1));
    r.line(label(QStringLiteral("Type"), 10) + programType(p));
    r.line(label(QStringLiteral("State"), 10) +
           (p.type == 1 ? QStringLiteral("Closed")
                        : (p.state == 2 ? QStringLiteral("Started")
                                        : (p.state == 3 ? QStringLiteral("Stopped") : QStringLiteral("None")))));
    r.line(label(QStringLiteral("Start"), 10) + QStringLiteral("%1 (units of 8.64 s)").arg(p.start));
    r.line(label(QStringLiteral("Interval"), 10) + QStringLiteral("%1 (units of 8.64 s)").arg(p.interval));
    r.line(label(QStringLiteral("Connection"), 10) + p.groups.join(u' '));
}

void programCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    if (!u.model().positionReports) {
        r.line(QStringLiteral("ERROR 120: Unknown command"));
        return;
    }
    const QString opt = ctx.arg(1);
    const QString rest = ctx.args.mid(2).join(QString());
    const QStringList values = rest.split(u',');
    bool ok = false;
    const int slot = values.value(0).toInt(&ok);
    const bool slotOk = ok && slot >= 0 && slot <= 3;
    ReportProgram* p = slotOk ? &u.programs[static_cast<size_t>(slot)] : nullptr;
    if (opt == u"-d") {
        if (rest.isEmpty())
            programListing(u, r);
        else if (slotOk)
            programStatus(u, slot, r);
        else
            r.line(QStringLiteral("Illegal argument: %1").arg(rest));
        return;
    }
    if (opt == u"-o") {
        // pg -o "LES,DNID,member LES,DNID,member ..."
        QString groups = ctx.line.section(u' ', 2).trimmed();
        groups.remove(u'"');
        u.pendingGroups = groups.split(u' ', Qt::SkipEmptyParts);
        r.line(QStringLiteral("Connections: %1").arg(u.pendingGroups.join(u' ')));
        return;
    }
    if (opt == u"-i" && rest.isEmpty()) {
        for (int i = 0; i < 4; ++i)
            r.line(QStringLiteral("Program %1: %2 %3")
                       .arg(i + 1)
                       .arg(programType(u.programs[static_cast<size_t>(i)]),
                            programState(u.programs[static_cast<size_t>(i)])));
        return;
    }
    if (!p || (opt != u"-i" && opt != u"-s" && opt != u"-c" && opt != u"-p")) {
        r.line(QStringLiteral("Illegal argument: %1").arg(ctx.args.mid(1).join(u' ')));
        return;
    }
    if (p->type == 3 && opt != u"-p") {
        r.line(QStringLiteral("ERROR 125: Program %1 is a remote program").arg(slot + 1));
        return;
    }
    if (opt == u"-p") {
        if (values.size() != 2 && values.size() != 3) {
            r.line(QStringLiteral("Illegal argument: %1").arg(rest));
            return;
        }
        p->type = 2;
        p->state = 1;
        p->start = values.size() == 3 ? values[1].toInt() : 0;
        p->interval = std::max(20, values.last().toInt());
        QStringList groups = u.pendingGroups;
        while (groups.size() < 4)
            groups << QStringLiteral("000,0,0");
        p->groups = groups.mid(0, 4);
        u.pendingGroups.clear();
        r.line(QStringLiteral("Program %1 defined").arg(slot + 1));
        return;
    }
    if (p->type == 1) {
        r.line(QStringLiteral("ERROR 126: Program %1 not defined").arg(slot + 1));
        return;
    }
    if (opt == u"-c") {
        *p = ReportProgram{};
        p->groups = {QStringLiteral("000,0,0"), QStringLiteral("000,0,0"), QStringLiteral("000,0,0"),
                     QStringLiteral("000,0,0")};
        r.line(QStringLiteral("Program %1 deleted").arg(slot + 1));
        return;
    }
    p->state = opt == u"-i" ? 2 : 3;
    r.line(QStringLiteral("Program %1 %2")
               .arg(slot + 1)
               .arg(opt == u"-i" ? QStringLiteral("started") : QStringLiteral("stopped")));
}

QString rsLine(const MesUnit& u, const char* opt, bool numeric, const char* description) {
    return QStringLiteral(" -%1 %2  value is %3 %4")
        .arg(QLatin1String(opt), numeric ? QStringLiteral("(num)") : QStringLiteral("(str)"),
             u.reportSettings.value(QLatin1String(opt)), QLatin1String(description));
}

void reportCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    if (!u.model().messageReporting) {
        r.line(QStringLiteral("INFO 999: Message reporting not supported"));
        return;
    }
    if (ctx.args.size() == 1) {
        r.line(QStringLiteral("Illegal argument"));
        r.line(QStringLiteral("Usage: rs [options]"));
        r.line(rsLine(u, "f", true, "Function"));
        r.line(rsLine(u, "m", false, "Month"));
        r.line(rsLine(u, "d", false, "Month day"));
        r.line(rsLine(u, "w", false, "Day of week"));
        r.line(rsLine(u, "h", false, "Hour of day"));
        r.line(rsLine(u, "u", false, "Minute of day"));
        r.line(rsLine(u, "n", true, "No print copy"));
        r.line(rsLine(u, "s", true, "Service"));
        r.line(rsLine(u, "t", true, "Destination type"));
        r.line(rsLine(u, "v", true, "Confirmation"));
        r.line(rsLine(u, "e", false, "Message Extension"));
        r.line(rsLine(u, "p", false, "PIN code"));
        r.line(rsLine(u, "a", false, "Destination Address"));
        r.line(u.reportSettings.value(QStringLiteral("f")) == u"1" ? QStringLiteral("Operation 1: Active")
                                                                   : QStringLiteral("Operation 0: Inactive"));
        return;
    }
    static const QString known = QStringLiteral("fmdwhunstvepal");
    for (qsizetype i = 1; i < ctx.args.size(); ++i) {
        const QString a = ctx.args.at(i);
        if (a.size() != 2 || a.at(0) != u'-' || !known.contains(a.at(1)) || i + 1 >= ctx.args.size()) {
            r.line(QStringLiteral("Illegal argument: %1").arg(a));
            return;
        }
        const QString key(a.at(1));
        const QString value = ctx.args.at(++i);
        if (key == u"f") {
            // "-f 1" is followed by the LES of each ocean region; "-f 6" starts a new set-up.
            while (i + 1 < ctx.args.size() && !ctx.args.at(i + 1).startsWith(u'-'))
                ++i;
            if (value == u"6")
                continue;
        }
        u.reportSettings.insert(key, value);
    }
    r.line(QStringLiteral("Message reporting settings stored"));
}

void routingCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    if (ctx.args.size() == 3) {
        bool ok1 = false;
        bool ok2 = false;
        const int cls = ctx.arg(1).toInt(&ok1);
        const int value = ctx.arg(2).toInt(&ok2);
        if (!ok1 || !ok2 || !u.routes.contains(cls) || value < 0 || value > 7) {
            r.line(QStringLiteral("Illegal argument: %1").arg(ctx.args.mid(1).join(u' ')));
            return;
        }
        u.routes[cls] = value;
        r.line(QStringLiteral("Routing of %1 set to %2").arg(cls).arg(value));
        return;
    }
    static const QMap<int, QString> captions{{10, QStringLiteral("Mail")},
                                             {30, QStringLiteral("EGC System Messages")},
                                             {31, QStringLiteral("EGC FleetNET Messages")},
                                             {32, QStringLiteral("EGC SafetyNET Safety")},
                                             {33, QStringLiteral("EGC SafetyNET Urgent+Distress")}};
    r.line(QStringLiteral("Routing Configuration"));
    r.line(QStringLiteral("Values: 1 Disk, 2 Local printer, 4 Remote printer"));
    for (auto it = u.routes.cbegin(); it != u.routes.cend(); ++it)
        r.line(QStringLiteral("%1 : ").arg(it.key()) + padRight(captions.value(it.key()), 31) +
               QStringLiteral("Routing:%1").arg(it.value(), 3));
    r.text(QStringLiteral("Enter filenumber > "));
    MesUnit* unit = &ctx.unit;
    ShellSession* session = &ctx.session;
    session->expectAnswer([unit, session](const QString& answer, Reply& r2) {
        bool ok = false;
        const int cls = answer.trimmed().toInt(&ok);
        if (answer.trimmed().isEmpty())
            return;
        if (ok && unit->routes.contains(cls)) {
            r2.line(QStringLiteral("%1 : Routing:%2").arg(cls).arg(unit->routes.value(cls), 3));
            return;
        }
        // Anything else leaves the table and runs as an ordinary command.
        session->runCommand(answer.trimmed(), r2);
    });
}

} // namespace

bool runSetupCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    const QString cmd = ctx.arg(0);
    const QString opt = ctx.arg(1);
    if (cmd == u"se" && opt == u"-g") {
        if (!u.model().distressGenerator) {
            r.line(QStringLiteral("ERROR 120: Unknown command"));
        } else if (ctx.args.size() > 2 && !setGenerator(u, ctx.args.mid(2).join(QString()))) {
            r.line(QStringLiteral("ERROR 122: Illegal argument: %1").arg(ctx.args.mid(2).join(QString())));
        } else {
            generatorListing(u, r);
        }
        return true;
    }
    if (cmd == u"se" && opt == u"-m") {
        alertCommand(ctx, r);
        return true;
    }
    if (cmd == u"se" && opt == u"-z") {
        const QString assignment = ctx.args.mid(2).join(u' ');
        const qsizetype eq = assignment.indexOf(u'=');
        if (eq <= 0) {
            r.line(QStringLiteral("Illegal argument: %1").arg(assignment));
            return true;
        }
        const QString name = assignment.left(eq).trimmed().toUpper();
        u.variables.insert(name, assignment.mid(eq + 1).trimmed());
        r.line(name + u'=' + u.variables.value(name));
        return true;
    }
    if (cmd == u"set" && opt == u"-z" && ctx.args.size() == 2) {
        for (auto it = u.variables.cbegin(); it != u.variables.cend(); ++it)
            r.line(it.key() + u'=' + it.value());
        return true;
    }
    if (cmd == u"st" && opt == u"-d") {
        if (!u.model().positionReports)
            r.line(QStringLiteral("ERROR 120: Unknown command"));
        else
            dnidCommand(ctx, r);
        return true;
    }
    if (cmd == u"pg") {
        programCommand(ctx, r);
        return true;
    }
    if (cmd == u"rs") {
        reportCommand(ctx, r);
        return true;
    }
    if (cmd == u"ro") {
        routingCommand(ctx, r);
        return true;
    }
    return false;
}

} // namespace tessaro::sim
