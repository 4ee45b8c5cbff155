#pragma once

#include "messaging/index_file.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace tessaro {

class CConfiguration;

// Positions of an OUT.IDX line (21 values joined by ";").
namespace OutPos {
enum : int {
    FileName = 0,
    Destination = 1,
    Les = 2,
    TypeAndBits = 3,
    Date = 4,
    Time = 5,
    Size = 6,
    Reference = 7,
    Status = 8,
    RequestConfirmation = 9,
    PrintMessage = 10,
    Reserved = 11,
    OptionFlag = 12,
    ToText = 17,
    CcText = 18,
    BccText = 19,
    Subject = 20,
    Count = 21
};
}

inline const QLatin1String kNoReference("<None>");

// What the distress handling hands over when an alert is to be shown in the outbox.
struct DistressAlertRecord {
    QString OutFileName;
    QString Destination;
    int LesNumber = 0; // 0: chosen by the transceiver
    QString Description;
    QDateTime TimeStamp;
    QString Status;
};

// The outbox folder and its index OUT.IDX. Every rewrite replaces the index in one atomic step.
class cOutBox final {
public:
    explicit cOutBox(CConfiguration& config) : m_config(config) {}

    QString folder() const;    // "[outbox]" with a trailing "/"
    QString indexPath() const; // folder + "OUT.IDX"

    // Writes text to fileName in the outbox folder (whole or not at all).
    bool SaveMessage(const QString& text, const QString& fileName);

    // Appends one index line built from its positions (line breaks inside values become blanks).
    bool AppendLine(const QStringList& positions);

    // Sets reference (when newRefNo is not empty) and status of the lines whose reference is refNo (any
    // reference when refNo is empty) and whose LES is numerically les (any when empty) and whose status is
    // oldStatus (any when empty). Only the first match unless updateAll. Returns the lines changed.
    int UpdateOutBox(const QString& les, const QString& refNo, const QString& oldStatus, const QString& newRefNo,
                     const QString& newStatus, bool updateAll);
    // The same, matching the out file name in position 0.
    int UpdateOutBoxFile(const QString& fileName, const QString& newRefNo, const QString& newStatus, bool updateAll);

    // Body of a sent message for the forms server; a two-line notice when it is missing.
    QString GetOutBoxMessage(const QString& fileName) const;
    // Value at position of the first line whose reference is reference; a notice when there is none.
    QString GetIndexValue(const QString& reference, int position = OutPos::Status) const;
    // An HTML table of up to count index lines, skipping the first skip lines, newest first when asked.
    QString LoadIndexHTML(int count, int skip, bool newestFirst) const;

    // Appends the "SEARCH & RESCUE" line of a distress alert.
    bool AddDistressAlert(const DistressAlertRecord& alert);

    // Every index line split into its positions (lines of any length; the reader decides what it needs).
    QVector<QStringList> ReadIndex() const;

    // The outbox view refreshes through this after every change of the index.
    std::function<void()> onChanged;
    // Failures to write the store, already worded by the error-message convention.
    std::function<void(const QString& message)> onError;

    static QString JoinLine(const QStringList& positions);

private:
    using Matcher = std::function<bool(const QStringList& positions)>;
    // hint: text every matching line contains; other lines are copied without being split (fast path
    // for big indexes).
    int rewrite(const Matcher& match, const QString& hint, qsizetype minPositions, bool dropEmpty,
                const QString& newRefNo, const QString& newStatus, bool updateAll, const QString& scope);
    void report(const QString& scope, const FileError& error);
    void changed();

    CConfiguration& m_config;
};

// A body file name must name a file inside its folder: no separators, no parent references.
bool IsPlainFileName(const QString& name);
// "'name' Does not exist!" + line break + "The file might have been manually deleted by operator."
QString MissingBodyText(const QString& name, const QString& lineBreak);
QString HtmlEscaped(const QString& text);

} // namespace tessaro
