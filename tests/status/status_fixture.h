#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace tessaro::test {

// A canned transceiver reply from tests/fixtures/status, as the engine hands it over (Latin-1).
inline QString ReadReply(const char* name) {
    QFile f(QStringLiteral(TESSARO_FIXTURES_DIR "/status/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing fixture " << name;
        return {};
    }
    return QString::fromLatin1(f.readAll());
}

// Tests that need deferred calls or sockets run an application object; it lives until the program ends.
inline QCoreApplication& EnsureCoreApp() {
    static int argc = 1;
    static char name[] = "status_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    return *QCoreApplication::instance();
}

// The "st -w" handler gets the reply without its final prompt.
inline QString WithoutPrompt(QString reply) {
    if (reply.endsWith(QLatin1String("can0:/$ ")))
        reply.chop(8);
    return reply;
}

} // namespace tessaro::test

// Readable QString output in assertion messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toLatin1().toStdString() << '"';
}
