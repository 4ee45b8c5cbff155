#pragma once

#include "messaging/index_file.h"
#include "messaging/out_idx.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

namespace tessaro {

class CConfiguration;

// Positions of an OUT.IDX line under their older name, kept for the callers that still index ReadIndex()
// rows (information handler, headless sender, exit question) until they read records.
namespace OutPos = OutIdx;

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
class cOutBox final : public QObject {
    Q_OBJECT
public:
    explicit cOutBox(CConfiguration& config, QObject* parent = nullptr) : QObject(parent), m_config(config) {}

    QString folder() const;    // "[outbox]" with a trailing "/"
    QString indexPath() const; // folder + "OUT.IDX"

    // Writes text to fileName in the outbox folder (whole or not at all).
    bool SaveMessage(const QString& text, const QString& fileName);

    // Appends one index line built from its positions (the sender's form; line breaks inside values become
    // blanks).
    bool AppendLine(const QStringList& positions);
    bool AppendRecord(const OutIdxRecord& record);

    // Sets reference (when newRefNo is not empty) and status of the lines whose reference is refNo (any
    // reference when refNo is empty) and whose LES is numerically les (any when empty) and whose status is
    // oldStatus (any when not given). Only the first match unless updateAll. Returns the lines changed.
    int UpdateOutBox(const QString& les, const QString& refNo, std::optional<OutboxStatus> oldStatus,
                     const QString& newRefNo, const OutboxStatusWord& newStatus, bool updateAll);
    // The same, matching the out file name in position 0.
    int UpdateOutBoxFile(const QString& fileName, const QString& newRefNo, const OutboxStatusWord& newStatus,
                         bool updateAll);
    // The same with status words as text (an empty oldStatus matches any), kept for the information handler
    // until it names statuses by kind.
    int UpdateOutBox(const QString& les, const QString& refNo, const QString& oldStatus, const QString& newRefNo,
                     const QString& newStatus, bool updateAll);
    int UpdateOutBoxFile(const QString& fileName, const QString& newRefNo, const QString& newStatus, bool updateAll);
    using Matcher = std::function<bool(const OutIdxRecord& record)>;
    // Sets newStatus on every line whose status is oldStatus and that pick accepts, in one rewrite.
    int UpdateOutBoxWhere(OutboxStatus oldStatus, const Matcher& pick, const OutboxStatusWord& newStatus);
    // Gives each line named in outNameByFile (by its out file) that transceiver name as its reference, status
    // "Sending", in one rewrite; only lines still "Initiated" or "Sending" change. Returns the lines changed.
    int RenumberSubmissions(const QHash<QString, QString>& outNameByFile);

    // Body of a sent message; the two-line notice (CR LF between its lines) when it is missing.
    QString GetOutBoxMessage(const QString& fileName) const;
    // Body of a sent message; nullopt when fileName names no file of the outbox folder.
    std::optional<QString> ReadBody(const QString& fileName) const;
    // Value at position of the first line whose reference is reference; a notice when there is none.
    QString GetIndexValue(const QString& reference, int position = OutIdx::Status) const;

    // Appends the "SEARCH & RESCUE" line of a distress alert.
    bool AddDistressAlert(const DistressAlertRecord& alert);

    // Every line of the index that holds a record, in file order.
    QVector<OutIdxRecord> ReadRecords() const;
    // Every such line split into its positions (fewer for a short line), kept for the callers that index
    // positions until they read records.
    QVector<QStringList> ReadIndex() const;

    // Tells the views that the index changed (also after a change made beside the store, such as a delete).
    void announceChange();

Q_SIGNALS:
    // After every change of the index.
    void changed();
    // A failure to write the store, already worded by the error-message convention.
    void storeError(const QString& message);

private:
    // hint: text every matching line contains; other lines are copied without being parsed (fast path for
    // big indexes).
    int rewrite(const Matcher& match, const QString& hint, int minValues, bool dropEmpty, const QString& newRefNo,
                const OutboxStatusWord& newStatus, bool updateAll, const QString& scope);
    // The same, with edit changing each matching record.
    int rewriteWith(const Matcher& match, const QString& hint, int minValues, bool dropEmpty,
                    const std::function<void(OutIdxRecord&)>& edit, bool updateAll, const QString& scope);
    int updateOutBox(const QString& les, const QString& refNo, const QString& oldStatus, const QString& newRefNo,
                     const OutboxStatusWord& newStatus, bool updateAll);
    void report(const QString& scope, const FileError& error);

    CConfiguration& m_config;
};

// A body file name must name a file inside its folder: no separators, no parent references.
bool IsPlainFileName(const QString& name);
// "'name' Does not exist!" + line break + "The file might have been manually deleted by operator."
QString MissingBodyText(const QString& name, const QString& lineBreak);
// The text of a body file inside folder; nullopt when name is not a plain file name or names no readable file.
std::optional<QString> ReadBodyFile(const QString& folder, const QString& name);

} // namespace tessaro
