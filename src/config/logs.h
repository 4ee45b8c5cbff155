#pragma once

#include "config/clock.h"

#include <QObject>
#include <QString>

#include <functional>

namespace tessaro {

// Appends text (plus CR LF when newLine) to a file in the data folder. A failing write is swallowed:
// logging never stops its caller. Returns false when the line was lost. Logs are UTF-8, except
// "CommLog.txt": it is the link's raw byte stream, so its text (Latin-1, byte for byte) is written back as
// those bytes.
bool AppendToLog(const QString& dataPath, const QString& text, const QString& fileName, bool newLine);

// Test seam: when set, every log append fails with the returned OS error number (errno) before touching
// the disk; 0 lets the write go ahead. Tests run as root, so permission bits cannot make a write fail.
using LogWriteFault = std::function<int(const QString& path)>;
void SetLogWriteFault(LogWriteFault fault);

// "ErrorLog.txt": "y-m-d h:m:s text" with plain numbers, no leading zeros.
class cErrorLog final {
public:
    cErrorLog(QString dataPath, const IClock& clock) : m_dataPath(std::move(dataPath)), m_clock(clock) {}
    void AddLine(const QString& text);
    // Engine form: general date and time, " Error ", number, ": ", description.
    void AddError(int number, const QString& description);
    static QString stampedLine(const QDateTime& local, const QString& text);

private:
    QString m_dataPath;
    const IClock& m_clock;
};

class ILog {
public:
    virtual ~ILog() = default;
    virtual void SetLogFile(const QString& fileName) = 0;
    virtual void Log(const QString& text) = 0;
};

// Logs named by their owner: "yyyy-mm-dd hh:nn:ss  text"; silent while no file is set.
class cLog final : public ILog {
public:
    cLog(QString dataPath, const IClock& clock) : m_dataPath(std::move(dataPath)), m_clock(clock) {}
    void SetLogFile(const QString& fileName) override { m_fileName = fileName; }
    void Log(const QString& text) override;

private:
    QString m_dataPath;
    const IClock& m_clock;
    QString m_fileName;
};

// The debug window's text; "DebugLog.txt" is written only when the file already exists.
class DebugLog final : public QObject {
    Q_OBJECT
public:
    DebugLog(QString dataPath, const IClock& clock) : m_dataPath(std::move(dataPath)), m_clock(clock) {}
    void AddLine(const QString& text);
    const QString& TextWindow() const { return m_text; }
    void clear() { m_text.clear(); }

Q_SIGNALS:
    // The window follows new lines through this.
    void lineAdded(const QString& line);

private:
    QString m_dataPath;
    const IClock& m_clock;
    QString m_text;
};

// "InfoLog.txt": stamped information lines, trimmed to the newest lines when it grows past the limit.
class cInfoLog final {
public:
    static constexpr int kMaxLines = 5000;
    static constexpr int kKeepLines = 4000;

    cInfoLog(QString dataPath, const IClock& clock) : m_dataPath(std::move(dataPath)), m_clock(clock) {}
    // Returns false when the line could not be written; lastError() then holds what the operator is told.
    bool AddInfo(const QString& text);
    int LineCount() const;
    // Why the last AddInfo failed, in the error-message form ("(InfoLog.AddInfo) Error: Not enough disk
    // space." for a full disk) followed by a line saying the info was not saved; empty after a success.
    QString lastError() const { return m_lastError; }
    // The failure's text the first time it is asked for after a failed write, empty afterwards until a write
    // succeeds again: a full disk is told to the operator once, not once per line.
    QString takeErrorToReport();
    QString filePath() const { return m_dataPath + QStringLiteral("InfoLog.txt"); }

private:
    void trimIfNeeded();
    QString m_dataPath;
    const IClock& m_clock;
    int m_lineCount = -1; // unknown until first counted
    QString m_lastError;
    bool m_errorReported = false;
};

QString LogStamp(const QDateTime& local); // "yyyy-mm-dd hh:nn:ss"

// The error-message convention: "(scope) Error '%0': %1." or, for a full disk, "(scope) Error: Not enough disk space.".
bool IsDiskFullError(qint64 errorNumber);
QString ErrorMessage(const QString& scope, qint64 errorNumber, const QString& description);

} // namespace tessaro
