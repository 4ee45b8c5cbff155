#include "soak_commands.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace tessaro::sim {

std::optional<ControlResult> SoakControl(MesUnit& unit, const QString& cmd, const QStringList& words) {
    if (cmd == u"deleted") {
        ControlResult r;
        for (const DeletedFile& f : unit.deletedFiles)
            r.lines << QStringLiteral("%1 %2 %3 %4")
                           .arg(f.name)
                           .arg(f.body.size())
                           .arg(QString::fromLatin1(QCryptographicHash::hash(f.body, QCryptographicHash::Md5).toHex()),
                                f.time.toString(Qt::ISODate));
        return r;
    }
    if (cmd == u"tx-log") {
        ControlResult r;
        for (const TxRecord& t : unit.txLog)
            r.lines
                << QStringLiteral("%1 %2 %3 %4 %5").arg(t.file, t.outName, t.firstWord).arg(t.reference).arg(t.state);
        return r;
    }
    if (cmd == u"baud") {
        bool ok = false;
        const int baud = words.value(1).toInt(&ok);
        if (!ok || baud < 0 || baud > 1000000) {
            ControlResult r;
            r.ok = false;
            r.error = QStringLiteral("usage: baud N (0: unpaced)");
            return r;
        }
        unit.setBaud(baud);
        return ControlResult{};
    }
    return std::nullopt;
}

void setTxState(QList<TxRecord>& log, const QString& outName, const QString& from, const QString& to) {
    // The newest record of that name: OUT numbers wrap after 999.
    for (qsizetype i = log.size() - 1; i >= 0; --i) {
        if (log[i].outName == outName) {
            if (log[i].state == from)
                log[i].state = to;
            return;
        }
    }
}

void markReported(QList<TxRecord>& log, const QStringList& handedOut) {
    static const QRegularExpression delivered(QStringLiteral("^INFO +81:.*\\nFile (OUT\\.\\d+)"),
                                              QRegularExpression::DotMatchesEverythingOption);
    for (const QString& line : handedOut) {
        const QRegularExpressionMatch m = delivered.match(line);
        if (m.hasMatch())
            setTxState(log, m.captured(1), QStringLiteral("delivered"), QStringLiteral("reported"));
    }
}

void loseUnreported(QList<TxRecord>& log) {
    for (TxRecord& t : log) {
        if (t.state == u"pending" || t.state == u"delivered")
            t.state = QStringLiteral("lost");
    }
}

} // namespace tessaro::sim
