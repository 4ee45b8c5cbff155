#pragma once

#include <QString>
#include <QVector>

namespace tessaro {

// The configuration file: an ordered list of bracketed keys, each followed by its value line.
// Keys compare exactly and the first match wins; the file is loaded lazily on first use. The file is UTF-8
// (folder values are paths); a file that is not valid UTF-8 is read as Latin-1.
class CIniStore final {
public:
    struct Entry {
        QString key;
        QString value;
    };

    // dataPath ends with "/"; the file is dataPath + "Tessaro.ini".
    explicit CIniStore(QString dataPath);

    QString filePath() const { return m_path; }

    // Reads the file; writes the default file first when it is missing.
    void LoadIni();
    QString GetIni(const QString& key);
    void SetIni(const QString& key, const QString& value, bool save = false);
    // Rewrites the whole file; does nothing when it was never loaded. Returns false when the write failed.
    bool SaveIni();

    bool isLoaded() const { return m_loaded; }
    const QVector<Entry>& entries() const { return m_entries; }

    // Parses the file text into entries (exposed for tests and for tolerant re-reads).
    static QVector<Entry> parse(const QByteArray& content);
    static QByteArray serialise(const QVector<Entry>& entries);
    static QByteArray defaultFile(const QString& dataPath);

private:
    void ensureLoaded();

    QString m_dataPath;
    QString m_path;
    QVector<Entry> m_entries;
    bool m_loaded = false;
};

} // namespace tessaro
