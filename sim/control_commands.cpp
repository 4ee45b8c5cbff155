#include "control_commands.h"

#include "soak_commands.h"

#include <QCryptographicHash>

namespace tessaro::sim {

namespace {

ControlResult failure(const QString& text) {
    ControlResult r;
    r.ok = false;
    r.error = text;
    return r;
}

bool toInt(const QString& text, int low, int high, int* value) {
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= low && *value <= high;
}

} // namespace

QByteArray ControlInterpreter::unescape(const QString& text) {
    QByteArray out;
    const QByteArray in = text.toLatin1();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\' || i + 1 >= in.size()) {
            out += in[i];
            continue;
        }
        const char c = in[++i];
        if (c == 'n')
            out += "\r\n";
        else if (c == 't')
            out += '\t';
        else
            out += c;
    }
    return out;
}

QString ControlInterpreter::escape(const QByteArray& bytes) {
    QString out;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += QStringLiteral("\\r");
        else if (c == '\n')
            out += QStringLiteral("\\n");
        else if (c == '\\')
            out += QStringLiteral("\\\\");
        else if (c < 32 || c == 127)
            out += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
        else
            out += QChar::fromLatin1(ch);
    }
    return out;
}

QStringList ControlInterpreter::help() {
    return {QStringLiteral("message [les=N] [priority=0-3] [pres=0|5|7] [size=N] [TEXT]"),
            QStringLiteral(
                "egc [les=N] [service=N] [priority=0-3] [pres=0|6|7] [routing=Mem|+M|Pr|..] [log=yes|no] [size=N] "
                "[TEXT]"),
            QStringLiteral("egc-log EGC.nnn on|off"),
            QStringLiteral("info CODE TEXT | error CODE TEXT"),
            QStringLiteral("distress [ack|fail]"),
            QStringLiteral("drop | stall SECONDS | restart | exit-terminal | short-ty BYTES"),
            QStringLiteral("position DEG MIN HUND N|S DEG MIN HUND E|W [COURSE SPEED] | position invalid"),
            QStringLiteral("time YY-MM-DD HH:MM[:SS] | time YYYY-MM-DDTHH:MM:SS"),
            QStringLiteral("model NAME | line-end lf|crlf|crcrlf | prompt can0|can1|can2 | listing model|dos|long"),
            QStringLiteral("tx-result delivered|failed|positive|negative|silent | egc-only on|off"),
            QStringLiteral("login 44|144|244|344 | logout | advance SECONDS"),
            QStringLiteral("lines | clear-lines | files | pending | models | help"),
            QStringLiteral("deleted | tx-log | baud N")};
}

ControlResult ControlInterpreter::execute(const QString& line) {
    const QString trimmed = line.trimmed();
    const QStringList words = trimmed.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty() || trimmed.startsWith(u'#'))
        return {};
    const QString cmd = words.first().toLower();
    MesUnit& u = *m_unit;
    int n = 0;
    if (std::optional<ControlResult> soak = SoakControl(u, cmd, words))
        return *soak;
    if (cmd == u"remote-packet")
        return remotePacket(words.mid(1));
    if (cmd == u"message" || cmd == u"egc")
        return incoming(words.mid(1), cmd == u"egc");
    if (cmd == u"info" || cmd == u"error") {
        if (words.size() < 2 || !toInt(words[1], 1, 32767, &n))
            return failure(QStringLiteral("usage: %1 CODE TEXT").arg(cmd));
        const QString text = QString::fromLatin1(unescape(trimmed.section(u' ', 2)))
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (cmd == u"info")
            u.queueInfo(n, text);
        else
            u.queueError(n, text);
        return {};
    }
    if (cmd == u"distress") {
        const QString how = words.value(1, QStringLiteral("ack")).toLower();
        if (how != u"ack" && how != u"fail")
            return failure(QStringLiteral("usage: distress [ack|fail]"));
        u.raiseDistress(how == u"ack");
        return {};
    }
    if (cmd == u"drop") {
        u.dropConnections();
        return {};
    }
    if (cmd == u"stall") {
        if (!toInt(words.value(1), 0, 86400, &n))
            return failure(QStringLiteral("usage: stall SECONDS"));
        u.stall(n);
        return {};
    }
    if (cmd == u"restart") {
        u.restartApplication();
        return {};
    }
    if (cmd == u"exit-terminal") {
        u.exitTerminalProgram();
        return {};
    }
    if (cmd == u"short-ty") {
        if (!toInt(words.value(1), 0, 1 << 20, &n))
            return failure(QStringLiteral("usage: short-ty BYTES"));
        u.shortNextTy = n;
        return {};
    }
    if (cmd == u"position")
        return setPosition(words.mid(1));
    if (cmd == u"time")
        return setTime(words.mid(1).join(u' '));
    if (cmd == u"model") {
        if (!u.setModel(words.value(1)))
            return failure(QStringLiteral("unknown model '%1'; known: %2").arg(words.value(1), modelKeys().join(u' ')));
        return {};
    }
    if (cmd == u"line-end") {
        const auto le = parseLineEnd(words.value(1));
        if (!le)
            return failure(QStringLiteral("usage: line-end lf|crlf|crcrlf"));
        u.setLineEnd(*le);
        return {};
    }
    if (cmd == u"prompt") {
        const QByteArray prompt = promptFor(words.value(1));
        if (prompt.isEmpty())
            return failure(QStringLiteral("usage: prompt can0|can1|can2"));
        u.setPrompt(prompt);
        return {};
    }
    if (cmd == u"listing") {
        const QString v = words.value(1).toLower();
        if (v != u"model" && v != u"dos" && v != u"long")
            return failure(QStringLiteral("usage: listing model|dos|long"));
        u.listing = v == u"model" ? QString() : v;
        return {};
    }
    if (cmd == u"tx-result") {
        static const QMap<QString, TxOutcome> outcomes{{QStringLiteral("delivered"), TxOutcome::Delivered},
                                                       {QStringLiteral("failed"), TxOutcome::Failed},
                                                       {QStringLiteral("positive"), TxOutcome::Positive},
                                                       {QStringLiteral("negative"), TxOutcome::Negative},
                                                       {QStringLiteral("silent"), TxOutcome::Silent}};
        const QString v = words.value(1).toLower();
        if (!outcomes.contains(v))
            return failure(QStringLiteral("usage: tx-result delivered|failed|positive|negative|silent"));
        u.txOutcome = outcomes.value(v);
        return {};
    }
    if (cmd == u"egc-log") {
        SimFile* f = words.size() == 3 ? m_unit->findFile(words[1]) : nullptr;
        if (!f || f->kind != FileKind::Egc || (words[2] != u"on" && words[2] != u"off"))
            return failure(QStringLiteral("usage: egc-log EGC.nnn on|off (an EGC file)"));
        f->logged = words[2] == u"on";
        return {};
    }
    if (cmd == u"egc-only") {
        const QString v = words.value(1).toLower();
        if (v != u"on" && v != u"off")
            return failure(QStringLiteral("usage: egc-only on|off"));
        u.setEgcOnly(v == u"on");
        return {};
    }
    if (cmd == u"login") {
        if (!toInt(words.value(1), 0, 999, &n) || (n != 44 && n != 144 && n != 244 && n != 344))
            return failure(QStringLiteral("usage: login 44|144|244|344"));
        u.login(n);
        return {};
    }
    if (cmd == u"logout") {
        u.logout();
        return {};
    }
    if (cmd == u"advance") {
        if (!toInt(words.value(1), 0, 86400 * 365, &n))
            return failure(QStringLiteral("usage: advance SECONDS"));
        u.clock()->advance(qint64(n) * 1000);
        return {};
    }
    if (cmd == u"lines")
        return receivedLines();
    if (cmd == u"clear-lines") {
        u.clearReceived();
        return {};
    }
    if (cmd == u"files")
        return fileList();
    if (cmd == u"pending") {
        ControlResult r;
        for (const QString& p : u.pendingLines())
            r.lines << QString(p).replace(u'\n', QStringLiteral("\\n"));
        return r;
    }
    if (cmd == u"models") {
        ControlResult r;
        for (const MesModel& m : allModels())
            r.lines << m.key + QStringLiteral("  ") + m.description;
        return r;
    }
    if (cmd == u"help") {
        ControlResult r;
        r.lines = help();
        return r;
    }
    return failure(QStringLiteral("unknown command '%1' (try help)").arg(words.first()));
}

ControlResult ControlInterpreter::incoming(const QStringList& words, bool egc) {
    int les = egc ? 102 : (m_unit->ocean() < 4 ? m_unit->ocean() * 100 + 2 : 102);
    int service = 31;
    int priority = 0;
    int pres = 0;
    int size = -1;
    QString routing;
    bool logged = true;
    qsizetype i = 0;
    for (; i < words.size(); ++i) {
        const QString key = words[i].section(u'=', 0, 0).toLower();
        const QString value = words[i].section(u'=', 1);
        if (!words[i].contains(u'='))
            break;
        bool ok = true;
        if (key == u"les")
            ok = toInt(value, 0, 399, &les);
        else if (key == u"service" && egc)
            ok = toInt(value, 0, 255, &service);
        else if (key == u"priority")
            ok = toInt(value, 0, 3, &priority);
        else if (key == u"pres")
            ok = toInt(value, 0, 9, &pres);
        else if (key == u"size")
            ok = toInt(value, 0, 32767, &size);
        else if (key == u"routing" && egc)
            routing = value;
        else if (key == u"log" && egc && (value == u"yes" || value == u"no"))
            logged = value == u"yes";
        else
            break;
        if (!ok)
            return failure(QStringLiteral("bad value in '%1'").arg(words[i]));
    }
    if (egc && routing.contains(u' '))
        return failure(QStringLiteral("routing must be one word"));
    QByteArray body = unescape(words.mid(i).join(u' '));
    if (body.isEmpty())
        body = MesUnit::fillerText(size < 0 ? 200 : size,
                                   egc ? QStringLiteral("EGC BROADCAST") : QStringLiteral("MESSAGE"));
    SimFile& f = egc ? m_unit->receiveEgc(les, service, priority, pres, routing, body)
                     : m_unit->receiveMessage(les, priority, pres, body);
    f.logged = logged;
    ControlResult r;
    r.lines << QStringLiteral("%1 %2 bytes").arg(f.name).arg(f.body.size());
    return r;
}

// A message (or EGC) carrying a remote configuration packet whose hash is made from the password and the
// unit's UTC hour, HOURS_BACK hours earlier.
ControlResult ControlInterpreter::remotePacket(QStringList words) {
    const bool egc = !words.isEmpty() && words[0] == u"egc";
    if (egc)
        words.removeFirst();
    int hoursBack = 0;
    if (words.size() < 3 || !toInt(words[1], 0, 48, &hoursBack))
        return failure(QStringLiteral("usage: remote-packet [egc] PASSWORD HOURS_BACK COMMANDS [TRAILER]"));
    const QDateTime utc = m_unit->now().addSecs(-3600 * hoursBack);
    const QByteArray hash =
        QCryptographicHash::hash(utc.toString(QStringLiteral("yyyyMMddHH")).toLatin1() + words[0].toLatin1(),
                                 QCryptographicHash::Md5)
            .toHex()
            .toUpper();
    const QByteArray body =
        "$XYWGHJIP$" + hash + "$" + unescape(words[2]) + "$PIJHGWYX$\r\n" + unescape(words.mid(3).join(u' '));
    const int les = m_unit->ocean() < 4 ? m_unit->ocean() * 100 + 2 : 102;
    SimFile& f =
        egc ? m_unit->receiveEgc(les, 31, 0, 0, QStringLiteral("Mem"), body) : m_unit->receiveMessage(les, 0, 0, body);
    ControlResult r;
    r.lines << QStringLiteral("%1 %2 bytes").arg(f.name).arg(f.body.size());
    return r;
}

ControlResult ControlInterpreter::setPosition(const QStringList& words) {
    if (words.size() == 1 && words[0].toLower() == u"invalid") {
        m_unit->clearPosition();
        return {};
    }
    if (words.size() != 8 && words.size() != 10)
        return failure(QStringLiteral("usage: position DEG MIN HUND N|S DEG MIN HUND E|W [COURSE SPEED] | invalid"));
    int v = 0;
    const QString ns = words[3].toUpper();
    const QString ew = words[7].toUpper();
    if (!toInt(words[0], 0, 90, &v) || !toInt(words[1], 0, 59, &v) || !toInt(words[2], 0, 99, &v) ||
        !toInt(words[4], 0, 180, &v) || !toInt(words[5], 0, 59, &v) || !toInt(words[6], 0, 99, &v) ||
        (ns != u"N" && ns != u"S") || (ew != u"E" && ew != u"W"))
        return failure(QStringLiteral("bad position"));
    QStringList pieces = words.mid(0, 8);
    pieces[3] = ns;
    pieces[7] = ew;
    int course = m_unit->position.course;
    int speed = m_unit->position.speed;
    if (words.size() == 10 && (!toInt(words[8], 0, 360, &course) || !toInt(words[9], 0, 200, &speed)))
        return failure(QStringLiteral("bad course or speed"));
    m_unit->setPosition(pieces, course, speed);
    return {};
}

ControlResult ControlInterpreter::setTime(const QString& text) {
    QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    if (!t.isValid()) {
        for (const QString& format : {QStringLiteral("yy-MM-dd hh:mm:ss"), QStringLiteral("yy-MM-dd hh:mm")}) {
            t = QDateTime::fromString(text, format);
            if (t.isValid())
                break;
        }
        if (t.isValid() && t.date().year() < 1970)
            t = t.addYears(100);
    }
    if (!t.isValid())
        return failure(QStringLiteral("usage: time YY-MM-DD HH:MM[:SS] | time YYYY-MM-DDTHH:MM:SS"));
    t = QDateTime(t.date(), t.time(), Qt::UTC);
    m_unit->clock()->setUtc(t);
    return {};
}

ControlResult ControlInterpreter::receivedLines() const {
    ControlResult r;
    for (const ReceivedItem& item : m_unit->received())
        r.lines << (item.isBody ? QStringLiteral("B ") : QStringLiteral("L ")) + escape(item.data);
    return r;
}

ControlResult ControlInterpreter::fileList() const {
    ControlResult r;
    for (const SimFile& f : m_unit->files()) {
        const char* kind = f.kind == FileKind::Message ? "message" : (f.kind == FileKind::Egc ? "egc" : "upload");
        r.lines << QStringLiteral("%1 %2 %3 %4")
                       .arg(f.name)
                       .arg(f.body.size())
                       .arg(QLatin1String(kind), f.time.toString(Qt::ISODate));
    }
    return r;
}

} // namespace tessaro::sim
