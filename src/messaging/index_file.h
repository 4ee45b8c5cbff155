#pragma once

#include "config/text_util.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <limits>

namespace tessaro {

// Why a file operation failed: an OS error number when one is known (so the disk-full text can be chosen),
// and a description for the "(scope) Error '%0': %1." message.
struct FileError {
    qint64 number = 0;
    QString description;
    bool failed() const { return number != 0 || !description.isEmpty(); }
};

inline const QLatin1String kCrLf("\r\n");

// Test seam: when set, every write of this module fails with the returned error before touching the disk.
// Lets tests show what happens when the store cannot be written (tests run as root, so permission bits
// do not stop writes). Returns an empty FileError to let the write go ahead.
using StoreWriteFault = std::function<FileError(const QString& path)>;
void SetStoreWriteFault(StoreWriteFault fault);

// Creates an empty file when none exists. True when the file exists afterwards.
bool EnsureFileExists(const QString& path, FileError* error = nullptr);

// Appends one line and CR LF (Latin-1 bytes), creating the file when missing. The line either lands whole
// or the call reports failure; a partial append is cut back off so the index never holds half a line.
bool AppendIndexLine(const QString& path, const QString& line, FileError* error = nullptr);

// Writes a whole file through a work file that replaces the target in one atomic step, so a crash at any
// moment leaves either the old or the new content, never a missing or half-written file.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, FileError* error = nullptr);

// Reads a line-oriented file as Latin-1 lines, accepting CR LF or LF; a missing file is created empty first.
// A last line without its line end is still a line; the empty text after a final line end is not.
QStringList ReadIndexLines(const QString& path, bool* ok = nullptr);

// Reads a whole file as Latin-1; false when it cannot be opened.
bool ReadWholeFile(const QString& path, QString* text);

// Start-up repair of an index that an interrupted rewrite may have left behind: restores the index from
// its ".bak" work file when the index itself is missing, removes a stale work file when the index is
// there, and removes incomplete atomic-write temporaries. Returns a description of what was done (empty
// when nothing was needed).
QString RecoverIndexWorkFile(const QString& indexPath, const QString& workPath);

// The file system of the original platform is case-blind and other programs may have written "in.idx"
// where this one writes "IN.IDX": returns the existing spelling of name in folder, or folder + name.
QString CaseBlindPath(const QString& folder, const QString& name);

// Index fields are joined by a separator and ended by CR LF with nothing escaped: a line break inside a
// value would split the record, so it becomes a blank; the separator itself is replaced by sepReplacement.
QString SanitiseIndexField(const QString& value, QChar separator, QChar sepReplacement);

// How the values of one index line are laid out. Nothing is escaped, so a last value that runs to the line's
// end (lastValueTakesRest) may hold the separator; otherwise every separator starts another value.
struct IndexLineLayout {
    QChar separator;
    int valueCount; // values of a full line
    bool lastValueTakesRest;
};

// The values of a line; fewer than valueCount for a short line, more only when the last value does not
// take the rest.
QStringList SplitIndexLine(const QString& line, const IndexLineLayout& layout);

// A number of an index value, read leniently and held within the range of T.
template <typename T> T IndexNumber(QStringView text) {
    const qint64 v = Val(text);
    return T(std::clamp<qint64>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// The text a codec writes for a value: the text the line held while the value is still the one read from
// it, so that a line read and written back keeps its bytes (a lenient read turns " 0112" into 112, which
// must not come back as "112"); otherwise the value's own form.
template <typename T, typename Decode, typename Encode>
QString StoredOrEncoded(const QStringList& stored, int position, const T& value, Decode decode, Encode encode) {
    if (position < stored.size() && decode(stored[position]) == value)
        return stored[position];
    return encode(value);
}

} // namespace tessaro
