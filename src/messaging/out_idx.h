#pragma once

#include "messaging/index_file.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tessaro {

// The delivery state of a sent message as OUT.IDX stores it. Every spelling that is written has its own
// value, so comparing kinds is comparing the stored words.
enum class OutboxStatus : quint8 {
    Other, // a word not listed here; kept as stored
    Initiated,
    Sending,
    Delivered,
    ConfReq,
    ConfOk,         // "Conf.Ok"
    ConfOkCapitalK, // "Conf.OK": INFO 141 has always written it so and stored files hold it; it stays that way
    ConfOkNoDot,    // "ConfOk": the answer to the operator's confirmation request (INFO 130 and 131)
    Failed,
    FailedWithCode, // "Failed. Error code: '" + code + "'" (INFO 140)
    PcCleared,      // "PC Cleared"
    MesCleared,     // "MES Cleared"
};

// The kind of a stored word (blanks around it do not count).
OutboxStatus ParseOutboxStatus(QStringView text);
// Lines not sent yet: asked about before exit.
inline bool IsUnsent(OutboxStatus s) {
    return s == OutboxStatus::Initiated || s == OutboxStatus::Sending;
}

// A status word: its kind for comparisons and its text exactly as stored, so spellings written elsewhere and
// unknown words come back unchanged.
class OutboxStatusWord final {
public:
    OutboxStatusWord() = default; // no status: Other, empty text
    // The kind's own word (empty for Other; an empty code for FailedWithCode, see failedWithCode()). Not
    // explicit: wherever a status is written, naming its kind is enough.
    OutboxStatusWord(OutboxStatus kind);
    // The kind read from a stored text, the text kept as it is.
    static OutboxStatusWord fromText(const QString& text);
    static OutboxStatusWord failedWithCode(const QString& code);

    OutboxStatus kind() const { return m_kind; }
    const QString& text() const { return m_text; }

    friend bool operator==(const OutboxStatusWord& a, OutboxStatus kind) { return a.m_kind == kind; }
    friend bool operator==(const OutboxStatusWord& a, const OutboxStatusWord& b) { return a.m_text == b.m_text; }

private:
    OutboxStatus m_kind = OutboxStatus::Other;
    QString m_text;
};

inline const QLatin1String kNoReference("<None>");

// OUT.IDX, the outbox index: twenty-one values joined by ";".
namespace OutIdx {
enum Pos : int {
    FileName = 0,
    Destination,
    Les,
    TypeAndBits,
    Date,
    Time,
    Size,
    Reference,
    Status,
    RequestConfirmation,
    PrintMessage,
    Reserved,
    OptionFlag,
    DateParts,                 // 13 and 14
    TimeParts = DateParts + 2, // 15 and 16
    ToText = TimeParts + 2,
    CcText,
    BccText,
    Subject,
    Count
};
// A subject may hold ";": as the last value it keeps the rest of the line.
inline constexpr IndexLineLayout kLayout{QChar(u';'), Count, true};
} // namespace OutIdx

// One OUT.IDX line. Values nothing here interprets are kept as text.
struct OutIdxRecord {
    QString FileName;
    QString Destination;
    QString Les; // the LES identifier, "Auto" on a distress line
    QString TypeAndBits;
    QString Date;      // "yy-mm-dd"
    QString Time;      // "hh:mm"
    QString Size;      // the body length after one blank (" 1234"), "-" on a distress line
    QString Reference; // kNoReference until the LES assigns one
    OutboxStatusWord Status;
    bool RequestConfirmation = false; // "1" / "0"
    bool PrintMessage = false;        // "1" / "0"
    QString Reserved;
    QString OptionFlag;               // "1" / "0", set by the sender
    std::array<QString, 2> DateParts; // of the transmission date (or of the submission day)
    std::array<QString, 2> TimeParts; // hour and minute of the transmission time (or of the submission)
    QString ToText;
    QString CcText;
    QString BccText;
    QString Subject;

    // Values the line had: a short line is read and copied, but only a line with the status is rewritten.
    int valueCount = OutIdx::Count;
    // The values as the line held them (empty for a record made in code); format() writes every value the
    // caller left alone back exactly as stored.
    QStringList stored;

    qint64 lesNumber() const { return Val(Les); }
    // Submitted and still waiting for the transceiver's start report ("Initiated", no reference yet).
    bool awaitsStartReport() const {
        return valueCount > OutIdx::Status && Status.kind() == OutboxStatus::Initiated &&
               Reference.trimmed() == kNoReference;
    }
};

namespace OutIdx {
// The record of a line's values (values after the subject belong to it); stored stays empty.
OutIdxRecord fromValues(const QStringList& values);
// nullopt for an empty line only; a short line gives a record with the values it has.
std::optional<OutIdxRecord> parse(const QString& line);
// The values format() joins, one per position (only the first valueCount).
QStringList values(const OutIdxRecord& record);
// The line as stored, without its CR LF. A line break inside a value written here becomes a blank.
QString format(const OutIdxRecord& record);
} // namespace OutIdx

} // namespace tessaro
