#include "messaging/index_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>

namespace tessaro {

namespace {
StoreWriteFault& writeFault() {
    static StoreWriteFault fault;
    return fault;
}

bool injectedFailure(const QString& path, FileError* error) {
    if (!writeFault())
        return false;
    const FileError e = writeFault()(path);
    if (!e.failed())
        return false;
    if (error)
        *error = e;
    return true;
}

void fill(FileError* error, const QFileDevice& file, int savedErrno) {
    if (!error)
        return;
    // errno right after the failed call tells a full disk apart from other failures; Qt's own code does not.
    error->number = savedErrno != 0 ? savedErrno : qint64(file.error()) + 1000;
    error->description = file.errorString();
}
} // namespace

void SetStoreWriteFault(StoreWriteFault fault) {
    writeFault() = std::move(fault);
}

bool EnsureFileExists(const QString& path, FileError* error) {
    if (QFileInfo(path).isFile())
        return true;
    if (injectedFailure(path, error))
        return false;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        fill(error, file, errno);
        return false;
    }
    file.close();
    return true;
}

bool AppendIndexLine(const QString& path, const QString& line, FileError* error) {
    if (injectedFailure(path, error))
        return false;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        fill(error, file, errno);
        return false;
    }
    const qint64 before = file.size();
    const QByteArray bytes = line.toLatin1() + QByteArrayLiteral("\r\n");
    errno = 0;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const int savedErrno = errno;
    if (!written) {
        fill(error, file, savedErrno);
        // A half line would shift every field of the next record; take it back off.
        file.resize(before);
        file.close();
        return false;
    }
    file.close();
    return true;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, FileError* error) {
    if (injectedFailure(path, error))
        return false;
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        fill(error, file, errno);
        return false;
    }
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        fill(error, file, errno);
        file.cancelWriting();
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        fill(error, file, errno);
        return false;
    }
    return true;
}

QStringList ReadIndexLines(const QString& path, bool* ok) {
    if (ok)
        *ok = false;
    EnsureFileExists(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = file.readAll();
    if (ok)
        *ok = file.error() == QFileDevice::NoError;
    QStringList lines;
    lines.reserve(all.count('\n') + 1);
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf('\n', start);
        const bool last = end < 0;
        if (last)
            end = all.size();
        qsizetype len = end - start;
        if (len > 0 && all.at(start + len - 1) == '\r')
            --len;
        lines << QString::fromLatin1(all.constData() + start, len);
        start = end + 1;
    }
    return lines;
}

bool ReadWholeFile(const QString& path, QString* text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = QString::fromLatin1(file.readAll());
    return file.error() == QFileDevice::NoError;
}

QString RecoverIndexWorkFile(const QString& indexPath, const QString& workPath) {
    QStringList done;
    const QFileInfo index(indexPath);
    if (QFileInfo::exists(workPath)) {
        if (!index.exists()) {
            // The old rewrite scheme deleted the index before renaming its work file: finish that step.
            if (QFile::rename(workPath, indexPath))
                done << QStringLiteral("restored %1 from %2").arg(index.fileName(), QFileInfo(workPath).fileName());
        } else if (QFile::remove(workPath)) {
            // The index was never deleted, so it is whole and the work file was not yet in force.
            done << QStringLiteral("removed stale %1").arg(QFileInfo(workPath).fileName());
        }
    }
    // Atomic writes on file systems without anonymous temporaries leave "<index>.XXXXXX" when killed;
    // such a file was never committed and holds nothing the index lacks.
    const QDir dir = index.absoluteDir();
    const QRegularExpression temp(QLatin1Char('^') + QRegularExpression::escape(index.fileName()) +
                                  QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    const QStringList candidates =
        dir.entryList({index.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
    for (const QString& name : candidates) {
        if (temp.match(name).hasMatch() && QFile::remove(dir.filePath(name)))
            done << QStringLiteral("removed unfinished %1").arg(name);
    }
    return done.join(QStringLiteral(", "));
}

QString CaseBlindPath(const QString& folder, const QString& name) {
    const QString exact = folder + name;
    if (QFileInfo::exists(exact))
        return exact;
    // Name filters compare case-blind unless told otherwise.
    const QStringList blind = QDir(folder).entryList({name}, QDir::Files | QDir::Hidden);
    return blind.isEmpty() ? exact : folder + blind.first();
}

QString SanitiseIndexField(const QString& value, QChar separator, QChar sepReplacement) {
    QString out = value;
    for (QChar& c : out) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
        else if (c == separator)
            c = sepReplacement;
    }
    return out;
}

QStringList SplitIndexLine(const QString& line, const IndexLineLayout& layout) {
    QStringList values = line.split(layout.separator);
    if (layout.lastValueTakesRest && values.size() > layout.valueCount) {
        values[layout.valueCount - 1] = values.mid(layout.valueCount - 1).join(layout.separator);
        values.resize(layout.valueCount);
    }
    return values;
}

} // namespace tessaro
