#pragma once

#include "config/clock.h"
#include "config/configuration.h"
#include "config/logs.h"
#include "config/temp_data_dir.h"
#include "fake_forms_backend.h"
#include "reporting/forms_server_processing.h"

#include <QDir>
#include <QFile>

#include <ostream>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// A data folder with a forms folder, a configuration pointed at a private settings file, a fake backend
// and the request processing under test.
struct FormsTestEnv {
    TempDataDir data;
    tessaro::ManualClock clock{QDateTime(QDate(2013, 5, 7), QTime(9, 41), Qt::UTC), 2 * 3600};
    tessaro::CConfiguration config{data.path(), false, data.path() + QStringLiteral("settings.ini")};
    FakeFormsBackend backend;
    tessaro::DebugLog debugLog{data.path(), clock};
    tessaro::cHttpServerProcessing processing{config, backend, clock, &debugLog};

    FormsTestEnv() { QDir().mkpath(formsFolder()); }

    QString formsFolder() const { return data.path() + QStringLiteral("html/"); }

    void writeFile(const QString& relativePath, const QByteArray& content) const {
        const QString path = data.path() + relativePath;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
    }
    QByteArray readFile(const QString& relativePath) const {
        QFile f(data.path() + relativePath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString get(const QString& target) {
        return processing.ProcessData(QStringLiteral("GET ") + target +
                                      QStringLiteral(" HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    }
    QString post(const QString& target, const QString& body) {
        return processing.ProcessData(QStringLiteral("POST ") + target +
                                      QStringLiteral(" HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: ") +
                                      QString::number(body.size()) + QStringLiteral("\r\n\r\n") + body);
    }
};

inline QByteArray readFixture(const char* name) {
    QFile f(QStringLiteral(TESSARO_FIXTURES_DIR "/reporting/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
