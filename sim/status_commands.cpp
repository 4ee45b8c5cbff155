#include "shell_commands.h"

namespace tessaro::sim {

QString padRight(const QString& text, int width) {
    return text.leftJustified(width, u' ');
}

QString label(const QString& name, int width) {
    return padRight(name, width) + QStringLiteral(": ");
}

QString stx(const QString& value) {
    return QChar(2) + value + QChar(3);
}

QList<LesEntry> lesTable(int ocean) {
    switch (ocean) {
    case 0:
        return {{1, "Southbury"}, {2, "Burum"}, {3, "Yamaguchi"}, {4, "Eik"}, {12, "Burum"}, {21, "Aussaguel"}};
    case 1:
        return {{101, "Southbury"}, {102, "Burum"}, {103, "Yamaguchi"},   {104, "Eik"},      {105, "Fucino"},
                {112, "Burum"},     {117, "Nudol"}, {120, "Thermopylae"}, {121, "Aussaguel"}};
    case 2:
        return {{201, "Southbury"}, {202, "Burum"}, {203, "Yamaguchi"}, {204, "Eik"},      {210, "Sentosa"},
                {211, "Beijing"},   {212, "Burum"}, {217, "Nudol"},     {221, "Aussaguel"}};
    case 3:
        return {{301, "Southbury"}, {302, "Burum"},    {303, "Yamaguchi"}, {304, "Eik"},   {305, "Thermopylae"},
                {306, "Arvi"},      {311, "Beijing"},  {312, "Burum"},     {317, "Nudol"}, {321, "Aussaguel"},
                {328, "Sentosa"},   {330, "Haiphong"}, {335, "Fucino"}};
    default:
        return {};
    }
}

QString oceanName(int ocean) {
    static const char* names[] = {"West Atlantic", "East Atlantic", "Pacific", "Indian", "None"};
    return QLatin1String(names[ocean >= 0 && ocean < 4 ? ocean : 4]);
}

namespace {

QString yesNo(bool value) {
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString preferredOceanName(QChar letter) {
    switch (letter.toLatin1()) {
    case 'W':
        return QStringLiteral("West Atlantic");
    case 'E':
        return QStringLiteral("East Atlantic");
    case 'P':
        return QStringLiteral("Pacific");
    case 'I':
        return QStringLiteral("Indian");
    default:
        return QStringLiteral("None");
    }
}

QString channelText(const MesUnit& u) {
    if (u.protocol == u"Transmission" || u.protocol == u"Receiving")
        return QStringLiteral("MSG");
    return QStringLiteral("NCS");
}

// Two columns: the left value is padded so that fixed-width reads of it end in blanks.
QString twoColumns(const QString& leftLabel, const QString& leftValue, const QString& rightLabel,
                   const QString& rightValue) {
    return label(leftLabel) + padRight(leftValue, 24) + QLatin1Char(' ') + label(rightLabel) + rightValue;
}

void terminalStatus(const MesUnit& u, Reply& r) {
    r.line(label(QStringLiteral("Software version")) + u.model().swVersion);
    r.line(label(QStringLiteral("Mobile no")) + u.mobileNumber);
    r.line(label(QStringLiteral("Serial no")) + u.serialNumber);
    r.split();
    r.line(twoColumns(QStringLiteral("Synchronization"), yesNo(u.synchronized), QStringLiteral("TDM origin"),
                      QString::number(u.synchronized ? u.tdmOrigin : 0)));
    r.line(twoColumns(QStringLiteral("Logged in"), yesNo(u.loggedIn), QStringLiteral("TDM channel"),
                      QString::number(u.synchronized ? u.tdmChannel : 0)));
    r.line(twoColumns(QStringLiteral("Current protocol"), u.protocol, QStringLiteral("Signal strength"),
                      QStringLiteral("%1 dBHz").arg(u.synchronized ? u.signal : 0)));
    r.line(twoColumns(QStringLiteral("Current channel"), channelText(u), QStringLiteral("Current ocean"),
                      oceanName(u.ocean())));
    // The preferred ocean is read from the first character after the colon, so no blank stands there.
    r.line(padRight(QStringLiteral("Preferred ocean"), 19) + QLatin1Char(':') + preferredOceanName(u.preferredOcean));
    r.line(twoColumns(QStringLiteral("EGC receiver only"), yesNo(u.egcReceiverOnly || u.egcOnly()),
                      QStringLiteral("Terminal class"), u.model().terminalClass));
}

void summary(const MesUnit& u, Reply& r) {
    r.line(label(QStringLiteral("Synchronization")) + yesNo(u.synchronized));
    r.line(label(QStringLiteral("Logged in")) + yesNo(u.loggedIn));
    r.line(label(QStringLiteral("TDM origin")) + QString::number(u.synchronized ? u.tdmOrigin : 0));
    r.line(label(QStringLiteral("Current protocol")) + padRight(u.protocol, 24));
    r.line(label(QStringLiteral("Current channel")) + channelText(u));
}

void position(const MesUnit& u, Reply& r) {
    const Position& p = u.position;
    if (!p.valid) {
        r.line(QStringLiteral("Position : Not Valid"));
        r.line(QStringLiteral("Course   : 0 at --:-- UTC"));
        r.line(QStringLiteral("Speed    : 0"));
        return;
    }
    r.line(QStringLiteral("Position : ") + stx(p.pieces.join(u' ')));
    r.line(QStringLiteral("Course   : %1 at %2 UTC").arg(p.course).arg(hhmm(p.fixTime)));
    r.line(QStringLiteral("Speed    : %1").arg(p.speed));
}

bool setPosition(MesUnit& u, const QStringList& values) {
    if (values.size() != 8 && values.size() != 10)
        return false;
    for (int i : {0, 1, 2, 4, 5, 6}) {
        bool ok = false;
        const int v = values.at(i).toInt(&ok);
        if (!ok || v < 0 || v > (i == 4 ? 180 : (i == 0 ? 90 : 99)))
            return false;
    }
    const QString ns = values.at(3).toUpper();
    const QString ew = values.at(7).toUpper();
    if ((ns != u"N" && ns != u"S") || (ew != u"E" && ew != u"W"))
        return false;
    QStringList pieces = values.mid(0, 8);
    pieces[3] = ns;
    pieces[7] = ew;
    const int course = values.size() == 10 ? values.at(8).toInt() : u.position.course;
    const int speed = values.size() == 10 ? values.at(9).toInt() : u.position.speed;
    u.setPosition(pieces, course, speed);
    return true;
}

void gpsStatus(const MesUnit& u, Reply& r) {
    const Position& p = u.position;
    r.line(QStringLiteral("GPS Test Summary"));
    r.line(label(QStringLiteral("Receiver")) + QStringLiteral("Internal"));
    r.line(label(QStringLiteral("Fix")) + (p.valid ? QStringLiteral("3D") : QStringLiteral("None")));
    r.line(label(QStringLiteral("Satellites in use")) + (p.valid ? QStringLiteral("7") : QStringLiteral("0")));
    r.line(label(QStringLiteral("HDOP")) + (p.valid ? QStringLiteral("1.1") : QStringLiteral("-")));
    if (p.valid) {
        r.line(label(QStringLiteral("Latitude")) +
               QStringLiteral("%1 %2.%3 %4")
                   .arg(p.pieces.value(0), p.pieces.value(1), p.pieces.value(2), p.pieces.value(3)));
        r.line(label(QStringLiteral("Longitude")) +
               QStringLiteral("%1 %2.%3 %4")
                   .arg(p.pieces.value(4), p.pieces.value(5), p.pieces.value(6), p.pieces.value(7)));
    }
    r.line(label(QStringLiteral("Speed")) + QStringLiteral("%1 mph").arg(p.valid ? (p.speed * 115 + 50) / 100 : 0));
}

void lesList(const MesUnit& u, Reply& r) {
    const int ocean = u.ocean();
    if (ocean > 3) {
        r.line(QStringLiteral("No NCS, LES list not available"));
        return;
    }
    r.line(QStringLiteral("LES list of NCS %1 (%2)").arg(u.tdmOrigin).arg(oceanName(ocean)));
    for (const LesEntry& les : lesTable(ocean))
        r.line(QStringLiteral("LES id %1  %2")
                   .arg(stx(QStringLiteral("%1").arg(les.id, 3, 10, QLatin1Char('0'))), QLatin1String(les.name)));
}

void lesServices(const MesUnit& u, Reply& r) {
    const int ocean = u.ocean();
    if (ocean > 3) {
        r.line(QStringLiteral("No NCS, LES services not available"));
        return;
    }
    for (const LesEntry& les : lesTable(ocean)) {
        r.line(QStringLiteral("LES id %1 %2").arg(les.id, 3, 10, QLatin1Char('0')).arg(QLatin1String(les.name)));
        r.line(QStringLiteral("  Services : Telex, Fax, PSTN, X.25, E-mail, EGC"));
        r.line(QStringLiteral("  Status   : Operational"));
        r.line();
    }
}

void linkTestResults(const MesUnit& u, Reply& r) {
    if (!u.linkTestTime.isValid()) {
        r.line(QStringLiteral("No test results available"));
        return;
    }
    r.line(QStringLiteral("Latest Link Test results"));
    r.line(label(QStringLiteral("Forward link")) + QStringLiteral("OK, BER 0.0 %"));
    r.line(label(QStringLiteral("Return link")) + QStringLiteral("OK"));
    r.line(label(QStringLiteral("Signal strength")) + QStringLiteral("%1 dBHz").arg(u.signal));
    r.line(label(QStringLiteral("Distress test")) + QStringLiteral("Passed"));
    r.line(label(QStringLiteral("Test at UTC")) + twoDigitDate(u.linkTestTime) + u' ' + hhmm(u.linkTestTime));
}

void distressStatus(const MesUnit& u, Reply& r) {
    r.line(label(QStringLiteral("Latest Distress"), 20) + stx(u.latestAlert));
    r.line(label(QStringLiteral("Latest Distress test"), 20) + stx(u.latestTest));
}

void distressTestMode(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    if (!u.model().distressTest) {
        r.line(QStringLiteral("se -q: Distress test mode NOT implemented"));
        return;
    }
    const QString value = ctx.arg(2);
    if (value == u"1")
        u.setDistressTest(true);
    else if (value == u"0")
        u.setDistressTest(false);
    else if (!value.isEmpty()) {
        r.line(QStringLiteral("Illegal argument: %1").arg(value));
        return;
    }
    r.line(u.distressFunctionEnabled ? QStringLiteral("Distress functionality enabled")
                                     : QStringLiteral("Distress functionality disabled"));
}

void changeMobileNumber(ShellContext& ctx, Reply& r) {
    const QString number = ctx.arg(2);
    bool ok = false;
    number.toLongLong(&ok);
    if (!ok || number.size() != 9) {
        r.line(QStringLiteral("ERROR 122: Illegal mobile number"));
        return;
    }
    MesUnit* unit = &ctx.unit;
    r.text(QStringLiteral("Enter password: "));
    ctx.session.expectAnswer(
        [unit, number](const QString& answer, Reply& reply) {
            if (answer.trimmed() != unit->password) {
                reply.line(QStringLiteral("ERROR 133: Wrong password"));
                return;
            }
            unit->mobileNumber = number;
            reply.line(QStringLiteral("Mobile number changed to %1").arg(number));
        },
        true);
}

void changePassword(ShellContext& ctx, Reply& r) {
    MesUnit* unit = &ctx.unit;
    ShellSession* session = &ctx.session;
    r.text(QStringLiteral("Enter password: "));
    session->expectAnswer(
        [unit, session](const QString& old, Reply& reply) {
            if (old.trimmed() != unit->password) {
                reply.line(QStringLiteral("ERROR 133: Wrong password"));
                return;
            }
            reply.text(QStringLiteral("Enter new password: "));
            session->expectAnswer(
                [unit, session](const QString& first, Reply& reply2) {
                    reply2.text(QStringLiteral("Confirm new password: "));
                    session->expectAnswer(
                        [unit, first](const QString& second, Reply& reply3) {
                            if (first != second || first.trimmed().isEmpty()) {
                                reply3.line(QStringLiteral("ERROR 134: Passwords do not match"));
                                return;
                            }
                            unit->password = first.trimmed();
                            reply3.line(QStringLiteral("Password changed"));
                        },
                        true);
                },
                true);
        },
        true);
}

} // namespace

bool runStatusCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    const QString cmd = ctx.arg(0);
    const QString opt = ctx.arg(1);
    if ((cmd == u"st" || cmd == u"status") && ctx.args.size() == 2) {
        if (opt == u"-l") {
            // Progress reports wait here until the PC asks; each is reported once.
            for (const QString& pending : u.takePendingLines()) {
                for (const QString& l : pending.split(u'\n'))
                    r.line(l);
            }
        } else if (opt == u"-w") {
            terminalStatus(u, r);
        } else if (opt == u"-s") {
            summary(u, r);
        } else if (opt == u"-v") {
            r.line(u.model().softwareBanner);
        } else if (opt == u"-i") {
            r.line(label(QStringLiteral("Hardware type")) + u.model().hardware);
            r.line(label(QStringLiteral("Terminal class")) + u.model().terminalClass);
            r.line(label(QStringLiteral("Mobile no")) + u.mobileNumber);
            r.line(label(QStringLiteral("Serial no")) + u.serialNumber);
        } else if (opt == u"-n") {
            if (cmd == u"status")
                lesServices(u, r);
            else
                lesList(u, r);
        } else if (opt == u"-m") {
            linkTestResults(u, r);
        } else if (opt == u"-a") {
            distressStatus(u, r);
        } else {
            return false;
        }
        return true;
    }
    if (cmd == u"ver" && ctx.args.size() == 1) {
        r.line(label(QStringLiteral("CPU")) + QStringLiteral("Mini-C terminal program %1").arg(u.model().minicVersion));
        r.line(label(QStringLiteral("TCU")) + QStringLiteral("%1 (%2)").arg(u.model().swVersion, u.model().hardware));
        r.line(label(QStringLiteral("GPS")) + QStringLiteral("1.20"));
        return true;
    }
    if (cmd == u"ti" && (opt == u"-u" || opt == u"u" || opt.isEmpty())) {
        r.line(QStringLiteral("UTC date and time %1").arg(u.now().toString(QStringLiteral("yy-MM-dd hh:mm:ss"))));
        return true;
    }
    if (cmd == u"ru" && opt == u"-g") {
        gpsStatus(u, r);
        return true;
    }
    if (cmd == u"se" && opt == u"-p") {
        if (ctx.args.size() > 2 && !setPosition(u, ctx.args.mid(2))) {
            r.line(QStringLiteral("ERROR 122: Illegal position"));
            return true;
        }
        position(u, r);
        return true;
    }
    if (cmd == u"se" && opt == u"-q") {
        distressTestMode(ctx, r);
        return true;
    }
    if (cmd == u"se" && opt == u"-u") {
        changeMobileNumber(ctx, r);
        return true;
    }
    if (cmd == u"se" && opt == u"-r") {
        return true; // accepted silently, as the unit does
    }
    if (cmd == u"se" && opt == u"-o") {
        const QString o = ctx.arg(2).toUpper();
        if (o.size() != 1 || !QStringLiteral("WEPIN").contains(o)) {
            r.line(QStringLiteral("Illegal argument: %1").arg(ctx.arg(2)));
            return true;
        }
        u.setPreferredOcean(o.at(0));
        r.line(QStringLiteral("Preferred ocean region: %1").arg(preferredOceanName(o.at(0))));
        return true;
    }
    if (cmd == u"li") {
        const int ncs = ctx.arg(1).toInt();
        if (ncs != 44 && ncs != 144 && ncs != 244 && ncs != 344) {
            r.line(QStringLiteral("ERROR 122: Illegal NCS %1").arg(ctx.arg(1)));
            return true;
        }
        u.login(ncs);
        r.line(QStringLiteral("Login to NCS %1 initiated").arg(ncs));
        return true;
    }
    if (cmd == u"lo" && ctx.args.size() == 1) {
        if (!u.loggedIn) {
            r.line(QStringLiteral("Not logged in"));
            return true;
        }
        u.logout();
        r.line(QStringLiteral("Logout initiated"));
        return true;
    }
    if (cmd == u"nc" && opt == u"-s") {
        u.scan();
        r.line(QStringLiteral("Scanning for NCS"));
        return true;
    }
    if (cmd == u"test" && ctx.args.size() == 1) {
        u.startLinkTest();
        r.line(QStringLiteral("Link test initiated. The test can take up to 30 minutes."));
        return true;
    }
    if (cmd == u"passwd" && ctx.args.size() == 1) {
        changePassword(ctx, r);
        return true;
    }
    return false;
}

} // namespace tessaro::sim
