#pragma once

#include "config/configuration.h"
#include "messaging/index_file.h"
#include "messaging/message_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace tessaro::testing {

// A data folder with the store's folders made, a private settings file, and no write fault left behind.
class StoreTest : public ::testing::Test {
public:
    static QByteArray fixture(const char* name) {
        return readBytes(QStringLiteral(TESSARO_FIXTURES_DIR "/messaging/") + QLatin1String(name));
    }
    static QByteArray readBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_data = m_dir.path() + QStringLiteral("/");
        config = std::make_unique<CConfiguration>(m_data, false, m_data + QStringLiteral("settings.ini"));
        config->LoadIni();
        CheckStoreFolders(*config, nullptr);
    }
    void TearDown() override { SetStoreWriteFault({}); }

    QString data() const { return m_data; }
    QString inbox() { return StoreFolderPath(*config, kInboxKey); }
    QString outbox() { return StoreFolderPath(*config, kOutboxKey); }

    static void writeBytes(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Every file a folder holds, to show that nothing (no work file) was left behind.
    static QStringList filesIn(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // Makes every store write fail as a full disk would.
    static void failWrites() {
        SetStoreWriteFault([](const QString&) { return FileError{28, QStringLiteral("No space left on device")}; });
    }

    std::unique_ptr<CConfiguration> config;

private:
    QTemporaryDir m_dir;
    QString m_data;
};

} // namespace tessaro::testing
