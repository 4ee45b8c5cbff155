#pragma once

#include "mes_simulator.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace tessaro::sim {
// Readable names for tests over the line-end kinds.
inline void PrintTo(LineEnd e, std::ostream* os) {
    *os << (e == LineEnd::Lf ? "Lf" : e == LineEnd::CrLf ? "CrLf" : "CrCrLf");
}
} // namespace tessaro::sim

namespace tessaro::sim::test {

inline QCoreApplication* ensureApp() {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "tessaro_sim_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    return QCoreApplication::instance();
}

// A simulator on a stepped clock with one in-memory terminal-program session; no network, no sleeping.
class SimHarness {
public:
    explicit SimHarness(SimOptions options = {}, ShellSession::Mode mode = ShellSession::Mode::Terminal) {
        ensureApp();
        options.realTime = false;
        options.startUtc = QDateTime(QDate(2013, 5, 7), QTime(9, 41, 23), Qt::UTC);
        sim = std::make_unique<MesSimulator>(options);
        session = sim->createSession(mode);
        QObject::connect(session.get(), &ShellSession::output, session.get(), [this](const QByteArray& chunk) {
            chunks.append(chunk);
            out += chunk;
        });
        QObject::connect(session.get(), &ShellSession::closeRequested, session.get(), [this] { closed = true; });
    }

    // Sends a line ended by CR LF and returns everything printed in answer.
    QString run(const QString& line) { return send(line.toLatin1() + "\r\n"); }
    QString send(const QByteArray& bytes) {
        out.clear();
        chunks.clear();
        session->feed(bytes);
        return QString::fromLatin1(out);
    }
    QString collect() {
        QString text = QString::fromLatin1(out);
        out.clear();
        return text;
    }
    void advance(double seconds) { sim->clock()->advance(static_cast<qint64>(seconds * 1000)); }
    MesUnit& unit() { return *sim->unit(); }
    void control(const QString& line) {
        const ControlResult r = sim->control(line);
        ASSERT_TRUE(r.ok) << qPrintable(r.error);
    }

    std::unique_ptr<MesSimulator> sim;
    std::unique_ptr<ShellSession> session;
    QByteArray out;
    QList<QByteArray> chunks;
    bool closed = false;
};

// The reply's lines between the echo and the prompt, split at the line end.
inline QStringList bodyLines(const QString& reply, const QString& lineEnd = QStringLiteral("\r\n"),
                             const QString& prompt = QStringLiteral("can0:/$ ")) {
    QString text = reply;
    if (text.endsWith(prompt))
        text.chop(prompt.size());
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty())
        lines.removeFirst(); // echo
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The line that contains text, or empty.
inline QString lineWith(const QString& reply, const QString& text) {
    for (const QString& l : reply.split(QStringLiteral("\r\n"))) {
        if (l.contains(text))
            return l;
    }
    return {};
}

// 1-based columns, as the layouts are documented.
inline QString cols(const QString& line, int first, int last) {
    return line.mid(first - 1, last - first + 1);
}

// Label read: the label, then the first ":" after it, then width characters.
inline QString afterLabel(const QString& reply, const QString& label, int width) {
    const qsizetype at = reply.indexOf(label, 0, Qt::CaseInsensitive);
    if (at < 0)
        return QStringLiteral("<missing>");
    const qsizetype colon = reply.indexOf(u':', at + label.size());
    return colon < 0 ? QStringLiteral("<missing>") : reply.mid(colon + 1, width);
}

} // namespace tessaro::sim::test
