#include "soak_checks.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace tessaro::soak {

namespace {

QByteArray readFile(const QString& path, bool* ok = nullptr) {
    QFile f(path);
    const bool opened = f.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    return opened ? f.readAll() : QByteArray();
}

// The value line after a bracketed key of Tessaro.ini.
QString iniValue(const QByteArray& ini, const QByteArray& key) {
    const QList<QByteArray> lines = ini.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].trimmed() == key)
            return QString::fromUtf8(lines[i + 1].trimmed());
    }
    return {};
}

// The lines of an index file, after checking that it ends with a whole line.
QList<QByteArray> indexLines(const QString& path, const QString& label, QStringList* failures) {
    bool ok = false;
    const QByteArray bytes = readFile(path, &ok);
    if (!ok) {
        *failures << QStringLiteral("%1 cannot be read (%2)").arg(label, path);
        return {};
    }
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
        *failures << QStringLiteral("%1 ends in a half-written line").arg(label);
    QList<QByteArray> lines = bytes.split('\n');
    QList<QByteArray> out;
    for (QByteArray& l : lines) {
        if (l.endsWith('\r'))
            l.chop(1);
        if (!l.isEmpty())
            out << l;
    }
    return out;
}

// Unescapes the simulator's record of an upload body (\r, \n, \\, \xNN).
QByteArray unescapeRecord(const QString& text) {
    const QByteArray in = text.toLatin1();
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\' || i + 1 >= in.size()) {
            out += in[i];
            continue;
        }
        const char c = in[++i];
        if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 'x' && i + 2 < in.size()) {
            out += char(in.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else
            out += c;
    }
    return out;
}

QByteArray md5Hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

// Stored copies of the delivered items of one kind, from the index whose last ":" field names the body file.
void checkStore(const Lane& lane, bool egc, const QString& folder, QSet<QByteArray>* storedMd5, LaneReport* r) {
    const QString label = egc ? QStringLiteral("EGC.IDX") : QStringLiteral("IN.IDX");
    const QList<QByteArray> lines = indexLines(folder + label, label, &r->failures);
    QMap<QString, int> copies;     // token -> stored copies with the right bytes
    QMap<QString, int> wrongBytes; // token -> stored copies with other bytes
    QMap<QByteArray, int> diskNames;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() < 11) {
            r->failures << QStringLiteral("%1 line does not parse: %2").arg(label, QString::fromLatin1(line));
            continue;
        }
        const QByteArray disk = fields.last().trimmed();
        if (++diskNames[disk] == 2)
            r->failures << QStringLiteral("%1 names %2 twice").arg(label, QString::fromLatin1(disk));
        bool ok = false;
        const QByteArray body = readFile(folder + QString::fromLatin1(disk), &ok);
        if (!ok) {
            r->failures << QStringLiteral("%1 names %2, which is missing").arg(label, QString::fromLatin1(disk));
            continue;
        }
        storedMd5->insert(md5Hex(body));
        const QString token = QString::fromLatin1(body.left(13));
        bool matched = false;
        for (const Delivered& d : lane.delivered()) {
            if (d.token == token && d.egc == egc) {
                matched = true;
                if (d.body == body)
                    ++copies[token];
                else
                    ++wrongBytes[token];
                break;
            }
        }
        if (!matched)
            r->failures << QStringLiteral("%1 holds a body nobody sent: %2").arg(label, QString::fromLatin1(disk));
    }
    int stored = 0;
    for (const Delivered& d : lane.delivered()) {
        if (d.egc != egc)
            continue;
        const int n = copies.value(d.token);
        stored += n > 0 ? 1 : 0;
        if (n == 0 && wrongBytes.value(d.token) == 0)
            r->failures << QStringLiteral("LOST: %1 (%2 in the simulator) is not in the store").arg(d.token, d.simName);
        if (n > 1)
            r->failures << QStringLiteral("TWICE: %1 stored %2 times").arg(d.token).arg(n);
        if (wrongBytes.value(d.token) > 0)
            r->failures << QStringLiteral("CORRUPT: %1 stored with other bytes (%2 times)")
                               .arg(d.token)
                               .arg(wrongBytes.value(d.token));
    }
    r->counts[egc ? QStringLiteral("EGCs delivered") : QStringLiteral("messages delivered")] = int(std::count_if(
        lane.delivered().begin(), lane.delivered().end(), [egc](const Delivered& d) { return d.egc == egc; }));
    r->counts[egc ? QStringLiteral("EGCs stored once") : QStringLiteral("messages stored once")] = stored;

    if (!egc) {
        // Inbox.idx: thirteen STX-separated values, one line per IN.IDX line.
        const QList<QByteArray> detail =
            indexLines(folder + QStringLiteral("Inbox.idx"), QStringLiteral("Inbox.idx"), &r->failures);
        QMap<QByteArray, int> detailNames;
        for (const QByteArray& line : detail) {
            const QList<QByteArray> fields = line.split('\x02');
            if (fields.size() != 13) {
                r->failures << QStringLiteral("Inbox.idx line does not parse: %1").arg(QString::fromLatin1(line));
                continue;
            }
            ++detailNames[fields.last().trimmed()];
        }
        for (auto it = diskNames.begin(); it != diskNames.end(); ++it) {
            if (detailNames.value(it.key()) != 1)
                r->failures << QStringLiteral("Inbox.idx has %1 lines for %2")
                                   .arg(detailNames.value(it.key()))
                                   .arg(QString::fromLatin1(it.key()));
        }
        for (auto it = detailNames.begin(); it != detailNames.end(); ++it) {
            if (!diskNames.contains(it.key()))
                r->failures
                    << QStringLiteral("Inbox.idx names %1, which IN.IDX lacks").arg(QString::fromLatin1(it.key()));
        }
    }
}

void checkSends(const Lane& lane, const QString& outFolder, LaneReport* r) {
    const QList<QByteArray> lines =
        indexLines(outFolder + QStringLiteral("OUT.IDX"), QStringLiteral("OUT.IDX"), &r->failures);
    QMap<QString, QList<QByteArray>> outLines; // out file -> its OUT.IDX fields
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(';');
        if (fields.size() != 21) {
            r->failures << QStringLiteral("OUT.IDX line does not parse: %1").arg(QString::fromLatin1(line));
            continue;
        }
        const QString file = QString::fromLatin1(fields[0]);
        if (outLines.contains(file))
            r->failures << QStringLiteral("OUT.IDX has two lines for %1").arg(file);
        outLines[file] = fields;
    }

    // The simulator's record: each "tx" submits the body of its file's last upload. Transceiver names repeat
    // (shortened from the hundredth message of a day), so a submission is known by the send token its body
    // carries, not by its name.
    static const QRegularExpression tokenRe(QStringLiteral("SOAK-S-\\d{6}"));
    QMap<QString, int> txCount; // send token -> "tx" lines that submitted a body carrying it
    QMap<QString, QByteArray> uploaded;
    QString lastTr;
    static const QRegularExpression tr(QStringLiteral("^L tr (\\S+) -b \\d+"));
    static const QRegularExpression tx(QStringLiteral("^L tx (\\S+)"));
    for (const QString& l : lane.simLines) {
        if (const QRegularExpressionMatch m = tr.match(l); m.hasMatch()) {
            lastTr = m.captured(1);
            uploaded[lastTr].clear();
        } else if (l.startsWith(QLatin1String("B ")) && !lastTr.isEmpty()) {
            uploaded[lastTr] += unescapeRecord(l.mid(2));
        } else if (const QRegularExpressionMatch m = tx.match(l); m.hasMatch()) {
            lastTr.clear();
            const QString name = m.captured(1);
            if (!uploaded.contains(name))
                continue; // refused by the simulator: no such file
            const QRegularExpressionMatch t = tokenRe.match(QString::fromLatin1(uploaded.value(name)));
            if (t.hasMatch())
                ++txCount[t.captured(0)];
            else
                r->failures << QStringLiteral("CORRUPT: tx %1 submitted a body that holds no sent text").arg(name);
        } else if (l.startsWith(QLatin1String("L "))) {
            lastTr.clear();
        }
    }

    // Delivery reports the program printed: reference number -> seen.
    QSet<QString> reportedRefs;
    static const QRegularExpression info81(QStringLiteral("Info: INFO 81: .*Reference number (\\d+)"));
    for (const QString& l : lane.programOutput()) {
        if (const QRegularExpressionMatch m = info81.match(l); m.hasMatch())
            reportedRefs.insert(m.captured(1));
    }
    QMap<QString, QStringList> txRecords; // send token -> "OUT.nnn REF STATE" of its accepted transmission
    for (const QString& t : lane.simTxLog) {
        const QStringList w = t.split(u' ');
        if (w.size() == 5 && tokenRe.match(w[2]).hasMatch())
            txRecords[w[2]] = {w[1], w[3], w[4]};
    }

    int submittedOnce = 0;
    int delivered = 0;
    for (const SendRecord& s : lane.sends()) {
        if (!outLines.contains(s.outFile))
            r->failures << QStringLiteral("LOST: sent %1 (%2) has no OUT.IDX line").arg(s.token, s.outFile);
        const int n = txCount.value(s.token);
        if (n > 1)
            r->failures << QStringLiteral("TWICE: %1 (%2) submitted with tx %3 times").arg(s.token, s.outFile).arg(n);
        if (n == 0 && outLines.value(s.outFile).value(8) == "PC Cleared")
            // The program stopped (or was killed) before its "tx" went out, or the link went while its upload
            // ran: the line is "PC Cleared" and the operator is told it was not sent; it stays in Sent Items to
            // be sent again. Told, so not lost.
            ++r->counts[QStringLiteral("sends cleared before their tx (operator told, not submitted)")];
        else if (n == 0)
            r->failures
                << QStringLiteral("LOST: sent %1 (%2) never reached the transceiver with tx").arg(s.token, s.outFile);
        else if (outLines.value(s.outFile).value(8) == "PC Cleared")
            // The operator is told it was not sent and would send it again.
            r->failures << QStringLiteral("WRONG STATE: %1 reached the transceiver with tx but is shown PC Cleared")
                               .arg(s.outFile);
        submittedOnce += n == 1 ? 1 : 0;

        // Final state: a delivery the program was told of is "Delivered" with its reference; one the
        // transceiver lost is never shown as delivered.
        const QStringList rec = txRecords.value(s.token);
        const QList<QByteArray> fields = outLines.value(s.outFile);
        if (rec.isEmpty() || fields.isEmpty())
            continue;
        const QString status = QString::fromLatin1(fields[8]);
        const QString ref = QString::fromLatin1(fields[7]);
        if (rec[2] == u"reported" && reportedRefs.contains(rec[1])) {
            if (status == u"Delivered" && ref == rec[1])
                ++delivered;
            else if (lane.options().kills)
                ++r->counts[QStringLiteral("delivery reports a kill cut off")];
            else
                r->failures << QStringLiteral("WRONG STATE: %1 was reported delivered (ref %2) but OUT.IDX says %3 "
                                              "ref %4")
                                   .arg(s.outFile, rec[1], status, ref);
        } else if (rec[2] == u"reported") {
            ++r->counts[QStringLiteral("delivery reports lost on the link")];
        } else if (rec[2] == u"lost" && status == u"Delivered") {
            r->failures
                << QStringLiteral("WRONG STATE: %1 shows Delivered though the transceiver lost it").arg(s.outFile);
        }
        if (status == u"Delivered" && !ref.isEmpty() && ref != rec[1])
            r->failures << QStringLiteral("WRONG STATE: %1 shows reference %2, the transceiver gave %3")
                               .arg(s.outFile, ref, rec[1]);
    }
    r->counts[QStringLiteral("messages sent (accepted by the forms server)")] = int(lane.sends().size());
    r->counts[QStringLiteral("sent messages submitted exactly once")] = submittedOnce;
    r->counts[QStringLiteral("sent messages shown Delivered")] = delivered;
    r->counts[QStringLiteral("transmissions the transceiver lost in a restart")] =
        int(std::count_if(lane.simTxLog.begin(), lane.simTxLog.end(),
                          [](const QString& t) { return t.endsWith(QLatin1String(" lost")); }));
}

} // namespace

QString RecoverySummary(QList<qint64> ms) {
    if (ms.isEmpty())
        return QStringLiteral("-");
    std::sort(ms.begin(), ms.end());
    const double median = ms.size() % 2 ? double(ms[ms.size() / 2]) : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2.0;
    return QStringLiteral("median %1 s, worst %2 s (n=%3)")
        .arg(median / 1000.0, 0, 'f', 1)
        .arg(double(ms.last()) / 1000.0, 0, 'f', 1)
        .arg(ms.size());
}

LaneReport CheckLane(const Lane& lane) {
    LaneReport r;
    if (!lane.setupError.isEmpty()) {
        r.failures << lane.setupError;
        return r;
    }
    const QString data = lane.dataDir() + u'/';
    const QByteArray ini = readFile(data + QStringLiteral("Tessaro.ini"));
    auto folder = [&](const char* key, const char* fallback) {
        QString f = iniValue(ini, key);
        if (f.isEmpty())
            f = data + QLatin1String(fallback);
        return f.endsWith(u'/') ? f : f + u'/';
    };
    QSet<QByteArray> storedMd5;
    checkStore(lane, false, folder("[inbox]", "inbox"), &storedMd5, &r);
    checkStore(lane, true, folder("[egc]", "egc"), &storedMd5, &r);
    checkSends(lane, folder("[outbox]", "sent items"), &r);

    // A file deleted in the transceiver must be in the store with the same bytes.
    int deletedStored = 0;
    for (const QString& d : lane.simDeleted) {
        const QStringList w = d.split(u' ');
        if (w.size() < 3)
            continue;
        if (!w[0].startsWith(QLatin1String("IN."), Qt::CaseInsensitive) &&
            !w[0].startsWith(QLatin1String("EGC."), Qt::CaseInsensitive))
            continue;
        if (storedMd5.contains(w[2].toLatin1()))
            ++deletedStored;
        else
            r.failures << QStringLiteral("DELETED UNSTORED: %1 (%2 bytes, %3) was deleted in the transceiver but is "
                                         "not in the store")
                              .arg(w[0], w[1], w.value(3));
    }
    r.counts[QStringLiteral("files deleted in the transceiver, all stored first")] = deletedStored;
    int left = 0;
    for (const QString& f : lane.simFiles)
        left += f.contains(QLatin1String(" message ")) || f.contains(QLatin1String(" egc ")) ? 1 : 0;
    if (left > 0)
        r.failures << QStringLiteral("%1 received files were never fetched from the transceiver").arg(left);
    if (!lane.drained)
        r.failures << QStringLiteral("the traffic did not drain after the last fault");

    int unrecovered = 0;
    for (const FaultRecord& f : lane.faults()) {
        ++r.counts[QStringLiteral("fault: ") + f.kind];
        if (f.recoveredMs < 0)
            ++unrecovered;
        else
            r.recoveryMs[f.kind.section(u' ', 0, 0)] << f.recoveredMs - f.injectedMs;
    }
    if (unrecovered > 0)
        r.failures << QStringLiteral("%1 faults were never followed by a completed reply").arg(unrecovered);
    for (const QString& l : lane.programOutput()) {
        if (l == u"=== UNEXPECTED EXIT" || l == u"=== SHUTDOWN HUNG")
            r.failures << QStringLiteral("program: ") + l.mid(4);
        if (l.contains(QLatin1String("(exit crash)")) && !lane.options().kills)
            r.failures << QStringLiteral("program crashed: ") + l;
    }
    r.counts[QStringLiteral("program starts")] = lane.programStarts;
    return r;
}

} // namespace tessaro::soak
