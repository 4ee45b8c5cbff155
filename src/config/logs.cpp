#include "config/logs.h"

#include "config/text_util.h"

#include <QFile>
#include <QLocale>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace tessaro {

namespace {
const QByteArray kCrLf("\r\n");

LogWriteFault& writeFault() {
    static LogWriteFault fault;
    return fault;
}

// Appends the bytes; returns 0 or the OS error number of the failure. A line cut short by a full disk is
// taken back off, so the next line does not continue a fragment.
int appendBytes(const QString& path, const QByteArray& bytes) {
    if (writeFault())
        if (const int injected = writeFault()(path); injected != 0)
            return injected;
    QFile f(path);
    errno = 0;
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return errno != 0 ? errno : EIO;
    const qint64 before = f.size();
    errno = 0;
    const bool written = f.write(bytes) == bytes.size() && f.flush();
    // Qt reports a full disk on write as ResourceError; errno may have been overwritten by then.
    const int error = !written && f.error() == QFileDevice::ResourceError ? ENOSPC : errno != 0 ? errno : EIO;
    if (!written) {
        f.resize(before);
        return error;
    }
    f.close();
    return f.error() == QFileDevice::NoError ? 0 : EIO;
}
} // namespace

void SetLogWriteFault(LogWriteFault fault) {
    writeFault() = std::move(fault);
}

bool AppendToLog(const QString& dataPath, const QString& text, const QString& fileName, bool newLine) {
    // "CommLog.txt" is the raw received stream: its text holds link bytes as Latin-1 and goes back to them.
    QByteArray bytes = fileName == QLatin1String("CommLog.txt") ? text.toLatin1() : text.toUtf8();
    if (newLine)
        bytes += kCrLf;
    return appendBytes(dataPath + fileName, bytes) == 0;
}

QString LogStamp(const QDateTime& local) {
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString cErrorLog::stampedLine(const QDateTime& local, const QString& text) {
    const QDate d = local.date();
    const QTime t = local.time();
    return QStringLiteral("%1-%2-%3 %4:%5:%6 %7")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute())
        .arg(t.second())
        .arg(text);
}

void cErrorLog::AddLine(const QString& text) {
    AppendToLog(m_dataPath, stampedLine(m_clock.nowLocal(), text), QStringLiteral("ErrorLog.txt"), true);
}

void cErrorLog::AddError(int number, const QString& description) {
    const QString when = QLocale::c().toString(m_clock.nowLocal(), QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    AppendToLog(m_dataPath,
                when + QStringLiteral(" Error ") + QString::number(number) + QStringLiteral(": ") + description,
                QStringLiteral("ErrorLog.txt"), true);
}

void cLog::Log(const QString& text) {
    if (m_fileName.isEmpty())
        return;
    AppendToLog(m_dataPath, LogStamp(m_clock.nowLocal()) + QStringLiteral("  ") + text, m_fileName, true);
}

void DebugLog::AddLine(const QString& text) {
    const QString line = LogStamp(m_clock.nowLocal()) + QStringLiteral("  ") + text;
    m_text += line + QStringLiteral("\r\n");
    Q_EMIT lineAdded(line);
    const QString path = m_dataPath + QStringLiteral("DebugLog.txt");
    if (QFile::exists(path))
        appendBytes(path, line.toUtf8() + kCrLf);
}

QString cInfoLog::takeErrorToReport() {
    if (m_lastError.isEmpty() || m_errorReported)
        return {};
    m_errorReported = true;
    return m_lastError;
}

bool cInfoLog::AddInfo(const QString& text) {
    const QString line = LogStamp(m_clock.nowLocal()) + QStringLiteral("  ") + text;
    if (const int error = appendBytes(filePath(), line.toUtf8() + kCrLf); error != 0) {
        m_lastError =
            ErrorMessage(QStringLiteral("InfoLog.AddInfo"), error, QString::fromLocal8Bit(std::strerror(error))) +
            QLatin1Char('\n') + QStringLiteral("Due to this error, the info can not be saved.");
        return false;
    }
    m_lastError.clear();
    m_errorReported = false;
    if (m_lineCount < 0)
        m_lineCount = LineCount();
    else
        ++m_lineCount;
    trimIfNeeded();
    return true;
}

int cInfoLog::LineCount() const {
    QFile f(filePath());
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    int count = 0;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(1 << 16);
        count += int(chunk.count('\n'));
    }
    return count;
}

void cInfoLog::trimIfNeeded() {
    if (m_lineCount <= kMaxLines)
        return;
    QFile in(filePath());
    if (!in.open(QIODevice::ReadOnly))
        return;
    QList<QByteArray> lines = in.readAll().split('\n');
    in.close();
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const qsizetype drop = lines.size() > kKeepLines ? lines.size() - kKeepLines : 0;
    // The newest lines go to "InfoLog.tmp" first, which then replaces the log in one rename: a crash
    // leaves either the old log or the trimmed one, never half of either.
    const QString tmpPath = m_dataPath + QStringLiteral("InfoLog.tmp");
    {
        QFile tmp(tmpPath);
        if (!tmp.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        bool ok = true;
        for (qsizetype i = drop; i < lines.size() && ok; ++i)
            ok = tmp.write(lines[i] + '\n') == lines[i].size() + 1;
        ok = ok && tmp.flush() && ::fsync(tmp.handle()) == 0;
        tmp.close();
        if (!ok) {
            QFile::remove(tmpPath);
            return;
        }
    }
    if (::rename(QFile::encodeName(tmpPath).constData(), QFile::encodeName(filePath()).constData()) == 0)
        m_lineCount = int(lines.size() - drop);
    else
        QFile::remove(tmpPath);
}

bool IsDiskFullError(qint64 errorNumber) {
    return errorNumber == ENOSPC || errorNumber == 0x80070070LL || errorNumber == 61 /* classic "Disk full" */;
}

QString ErrorMessage(const QString& scope, qint64 errorNumber, const QString& description) {
    if (IsDiskFullError(errorNumber))
        return QLatin1Char('(') + scope + QStringLiteral(") Error: Not enough disk space.");
    return FormatText(QLatin1Char('(') + scope + QStringLiteral(") Error '%0': %1."),
                      {QString::number(errorNumber), description});
}

} // namespace tessaro
