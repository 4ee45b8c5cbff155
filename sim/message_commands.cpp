#include "shell_commands.h"

namespace tessaro::sim {

namespace {

void splitName(const QString& name, QString* base, QString* ext) {
    const qsizetype dot = name.indexOf(u'.');
    *base = dot < 0 ? name : name.left(dot);
    *ext = dot < 0 ? QString() : name.mid(dot + 1);
}

bool useDosListing(const MesUnit& u) {
    if (u.listing == u"dos")
        return true;
    if (u.listing == u"long")
        return false;
    return u.model().dosListing;
}

// Columns: name 1-8, extension 10-12, size ending at 22, date 25-32, time 35-39; totals and free space after.
void dosListing(const MesUnit& u, const QList<const SimFile*>& files, Reply& r) {
    qint64 total = 0;
    for (const SimFile* f : files) {
        QString base;
        QString ext;
        splitName(f->name, &base, &ext);
        r.line(padRight(base, 8) + u' ' + padRight(ext, 3) + QStringLiteral("%1").arg(f->body.size(), 10) +
               QStringLiteral("  ") + twoDigitDate(f->time) + QStringLiteral("  ") + hhmm(f->time));
        total += f->body.size();
    }
    if (files.isEmpty())
        r.line(QStringLiteral("File not found"));
    r.line(QStringLiteral("%1 file(s) %2 bytes").arg(files.size(), 10).arg(total, 12));
    r.line(QStringLiteral("%1 bytes free").arg(u.freeBytes(), 23));
}

// Columns: name right-aligned so that its dot stands in column 14, extension 15-17, date 37-44, time 47-51,
// then the size up to " bytes". No summary line: it would read as a file.
void longListing(const QString& pattern, const QList<const SimFile*>& files, Reply& r) {
    if (files.isEmpty()) {
        r.line(QStringLiteral("ls: %1: No such file or directory").arg(pattern));
        return;
    }
    for (const SimFile* f : files) {
        QString base;
        QString ext;
        splitName(f->name, &base, &ext);
        const QString name = ext.isEmpty() ? base.rightJustified(13) + QStringLiteral("    ")
                                           : base.rightJustified(13) + u'.' + padRight(ext, 3);
        r.line(name + padRight(QStringLiteral("  -rw-  1 mes"), 19) + twoDigitDate(f->time) + QStringLiteral("  ") +
               hhmm(f->time) + QStringLiteral("%1 bytes").arg(f->body.size(), 9));
    }
}

QString receptionLogLine(const SimFile& f) {
    return QStringLiteral("%1  1 %2 %3 %4  %5 %6 %7 0 %8 %9")
        .arg(f.les, 3, 10, QLatin1Char('0'))
        .arg(f.priority)
        .arg(f.presentation)
        .arg(twoDigitDate(f.time))
        .arg(hhmm(f.time))
        .arg(f.body.size(), 5)
        .arg(f.reference, 8)
        .arg(padRight(f.routing, 8))
        .arg(f.name);
}

void receptionLog(MesUnit& u, Reply& r) {
    r.line(QStringLiteral("Reception log"));
    r.line(QStringLiteral("LES  C P B Date      Time  Size   Ref no  C Routing  File"));
    for (const SimFile& f : u.files()) {
        if (f.kind == FileKind::Message)
            r.line(receptionLogLine(f));
    }
}

void typeFile(MesUnit& u, const QString& name, bool binary, Reply& r) {
    SimFile* f = u.findFile(name);
    if (!f) {
        r.line(QStringLiteral("ERROR 104: File %1 not found").arg(name));
        return;
    }
    QByteArray body = f->body;
    if (binary) {
        // Two header lines after the echo, then the bytes as stored, the prompt right after them.
        r.line(QStringLiteral("File %1, %2 bytes, %3 %4")
                   .arg(f->name)
                   .arg(f->body.size())
                   .arg(twoDigitDate(f->time), hhmm(f->time)));
        r.line();
        if (u.shortNextTy > 0) {
            body.chop(std::min<qsizetype>(u.shortNextTy, body.size()));
            u.shortNextTy = 0;
        }
        // Long bodies arrive in pieces, as over a real line.
        for (qsizetype pos = 0; pos < body.size(); pos += 512) {
            r.split();
            r.raw(body.mid(pos, 512));
        }
        return;
    }
    r.raw(body);
    if (!body.endsWith('\n'))
        r.raw(r.lineEnd());
}

void transfer(ShellContext& ctx, Reply& r) {
    const QString name = ctx.arg(1);
    bool ok = false;
    const int size = ctx.arg(3).toInt(&ok);
    if (name.isEmpty() || ctx.arg(2) != u"-b" || !ok || size < 0 || ctx.args.size() != 4) {
        r.line(QStringLiteral("ERROR 122: usage: tr FILE -b SIZE"));
        return;
    }
    if (size > ctx.unit.freeBytes()) {
        r.line(QStringLiteral("ERROR 106: Not enough space for %1 bytes").arg(size));
        return;
    }
    if (size == 0) {
        ctx.unit.storeUpload(name, QByteArray());
        r.line(QStringLiteral("%1: 0 bytes stored").arg(name));
        return;
    }
    ctx.session.beginUpload(name, size);
}

void transmit(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    const QString name = ctx.arg(1);
    QMap<QString, QString> opts;
    for (qsizetype i = 2; i < ctx.args.size(); ++i) {
        const QString a = ctx.args.at(i);
        if (!a.startsWith(u'-'))
            continue;
        const bool takesValue = QStringLiteral("-c -h -y -s -t -l -e").split(u' ').contains(a);
        opts.insert(a, takesValue && i + 1 < ctx.args.size() ? ctx.args.at(++i) : QString());
    }
    if (u.egcOnly()) {
        r.line(QStringLiteral("ERROR 250: Not allowed to transmit as EGC receiver"));
        return;
    }
    if (name.isEmpty() || !u.findFile(name)) {
        r.line(QStringLiteral("ERROR 104: File %1 not found").arg(name));
        return;
    }
    bool ok = false;
    const int les = opts.value(QStringLiteral("-c")).toInt(&ok);
    if (!ok || les <= 0 || les >= 400) {
        r.line(QStringLiteral("ERROR 122: Illegal LES %1").arg(opts.value(QStringLiteral("-c"))));
        return;
    }
    if (!u.loggedIn) {
        r.line(QStringLiteral("ERROR 123: Not logged in"));
        return;
    }
    const QString destination = opts.value(QStringLiteral("-e"));
    if (opts.value(QStringLiteral("-t")) == u"5") {
        const qint64 dnid = destination.section(u',', 0, 0).toLongLong();
        bool found = false;
        for (const Dnid& d : u.dnids)
            found = found || d.dnid == dnid;
        if (!found) {
            r.line(QStringLiteral("ERROR 121: DNID %1 not found").arg(destination));
            return;
        }
    }
    u.startTransmission(name, les, destination.isEmpty() ? QStringLiteral("-") : destination,
                        opts.contains(QStringLiteral("-v")));
    r.line(
        QStringLiteral("Message %1 accepted for transmission via LES %2").arg(name).arg(les, 3, 10, QLatin1Char('0')));
}

} // namespace

bool runMessageCommand(ShellContext& ctx, Reply& r) {
    MesUnit& u = ctx.unit;
    const QString cmd = ctx.arg(0);
    if (cmd == u"ls" && ctx.args.size() <= 2) {
        const QString pattern = ctx.args.size() == 2 ? ctx.arg(1) : QStringLiteral("*");
        const QList<const SimFile*> files = u.matchFiles(pattern);
        if (useDosListing(u))
            dosListing(u, files, r);
        else
            longListing(pattern, files, r);
        return true;
    }
    if (cmd == u"ty" && ctx.args.size() >= 2) {
        const QStringList flags = ctx.args.mid(2);
        if (!flags.isEmpty() && flags.value(0) != u"-b") {
            r.line(QStringLiteral("Illegal argument: %1").arg(flags.join(u' ')));
            return true;
        }
        typeFile(u, ctx.arg(1), !flags.isEmpty(), r);
        return true;
    }
    if (cmd == u"type" && ctx.args.size() == 2) {
        typeFile(u, ctx.arg(1), false, r);
        return true;
    }
    if (cmd == u"delete" && ctx.args.size() == 2) {
        if (const SimFile* f = u.findFile(ctx.arg(1)))
            u.deletedFiles.append({f->name, f->body, u.now()});
        if (!u.removeFile(ctx.arg(1)))
            r.line(QStringLiteral("ERROR 104: File %1 not found").arg(ctx.arg(1)));
        return true;
    }
    if (cmd == u"tr" || cmd == u"transfer") {
        transfer(ctx, r);
        return true;
    }
    if (cmd == u"tx") {
        transmit(ctx, r);
        return true;
    }
    if (cmd == u"co") {
        bool ok = false;
        const qint64 ref = ctx.arg(1).toLongLong(&ok);
        const int les = ctx.arg(2).toInt();
        if (!ok || les <= 0) {
            r.line(QStringLiteral("ERROR 122: usage: co REFERENCE LES"));
            return true;
        }
        u.requestConfirmation(ref, les);
        r.line(QStringLiteral("Confirmation request for reference %1 sent to LES %2")
                   .arg(ref)
                   .arg(les, 3, 10, QLatin1Char('0')));
        return true;
    }
    if (cmd == u"cl" && ctx.args.size() == 1) {
        QString out;
        if (u.clearTransmission(&out))
            r.line(QStringLiteral("Transmission of %1 cleared").arg(out));
        else
            r.line(QStringLiteral("No transmission in progress"));
        return true;
    }
    if (cmd == u"st" && ctx.arg(1) == u"-r" && ctx.args.size() == 2) {
        receptionLog(u, r);
        return true;
    }
    if (cmd == u"print") {
        const SimFile* f = u.findFile(ctx.arg(1));
        if (!f) {
            r.line(QStringLiteral("ERROR 104: File %1 not found").arg(ctx.arg(1)));
        } else if (u.variables.value(QStringLiteral("PRINTER")) != u"YES") {
            r.line(QStringLiteral("ERROR 105: Remote Printer not OK"));
        } else {
            r.line(QStringLiteral("Printing %1, %2 bytes").arg(f->name).arg(f->body.size()));
        }
        return true;
    }
    return false;
}

} // namespace tessaro::sim
