#include "messaging/out_idx.h"

namespace tessaro {

namespace {
struct KnownWord {
    OutboxStatus kind;
    QLatin1String text;
};
constexpr KnownWord kKnownWords[] = {
    {OutboxStatus::Initiated, QLatin1String("Initiated")},  {OutboxStatus::Sending, QLatin1String("Sending")},
    {OutboxStatus::Delivered, QLatin1String("Delivered")},  {OutboxStatus::ConfReq, QLatin1String("ConfReq")},
    {OutboxStatus::ConfOk, QLatin1String("Conf.Ok")},       {OutboxStatus::ConfOkCapitalK, QLatin1String("Conf.OK")},
    {OutboxStatus::ConfOkNoDot, QLatin1String("ConfOk")},   {OutboxStatus::Failed, QLatin1String("Failed")},
    {OutboxStatus::PcCleared, QLatin1String("PC Cleared")}, {OutboxStatus::MesCleared, QLatin1String("MES Cleared")},
};
const QLatin1String kFailedWithCode("Failed. Error code: '");

QString same(const QString& text) {
    return text;
}

// The separator is left alone: only the subject may hold one, and it is the last value.
QString field(const QString& value) {
    return SanitiseIndexField(value, QChar(u'\r'), QChar(u' '));
}

bool flag(const QString& text) {
    return text.trimmed() == QLatin1String("1");
}

QString flagText(bool set) {
    return set ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

OutboxStatus ParseOutboxStatus(QStringView text) {
    const QStringView word = text.trimmed();
    for (const KnownWord& known : kKnownWords)
        if (word == known.text)
            return known.kind;
    if (word.startsWith(kFailedWithCode))
        return OutboxStatus::FailedWithCode;
    return OutboxStatus::Other;
}

OutboxStatusWord::OutboxStatusWord(OutboxStatus kind) : m_kind(kind) {
    for (const KnownWord& known : kKnownWords)
        if (known.kind == kind)
            m_text = known.text;
    if (kind == OutboxStatus::FailedWithCode)
        m_text = kFailedWithCode + QLatin1Char('\'');
}

OutboxStatusWord OutboxStatusWord::fromText(const QString& text) {
    OutboxStatusWord w;
    w.m_kind = ParseOutboxStatus(text);
    w.m_text = text;
    return w;
}

OutboxStatusWord OutboxStatusWord::failedWithCode(const QString& code) {
    return fromText(kFailedWithCode + code + QLatin1Char('\''));
}

namespace OutIdx {

OutIdxRecord fromValues(const QStringList& v) {
    const auto at = [&](int pos) { return pos < v.size() ? v[pos] : QString(); };
    OutIdxRecord r;
    r.FileName = at(FileName);
    r.Destination = at(Destination);
    r.Les = at(Les);
    r.TypeAndBits = at(TypeAndBits);
    r.Date = at(Date);
    r.Time = at(Time);
    r.Size = at(Size);
    r.Reference = at(Reference);
    r.Status = OutboxStatusWord::fromText(at(Status));
    r.RequestConfirmation = flag(at(RequestConfirmation));
    r.PrintMessage = flag(at(PrintMessage));
    r.Reserved = at(Reserved);
    r.OptionFlag = at(OptionFlag);
    r.DateParts = {at(DateParts), at(DateParts + 1)};
    r.TimeParts = {at(TimeParts), at(TimeParts + 1)};
    r.ToText = at(ToText);
    r.CcText = at(CcText);
    r.BccText = at(BccText);
    r.Subject = v.size() > Count ? v.mid(Subject).join(kLayout.separator) : at(Subject);
    r.valueCount = int(std::min<qsizetype>(v.size(), Count));
    return r;
}

std::optional<OutIdxRecord> parse(const QString& line) {
    if (line.isEmpty())
        return std::nullopt;
    const QStringList v = SplitIndexLine(line, kLayout);
    OutIdxRecord r = fromValues(v);
    r.stored = v;
    return r;
}

QStringList values(const OutIdxRecord& r) {
    const QStringList& s = r.stored;
    const auto text = [&](int pos, const QString& value) { return StoredOrEncoded(s, pos, value, same, field); };
    const auto flagValue = [&](int pos, bool value) { return StoredOrEncoded(s, pos, value, flag, flagText); };
    QStringList v = {
        text(FileName, r.FileName),
        text(Destination, r.Destination),
        text(Les, r.Les),
        text(TypeAndBits, r.TypeAndBits),
        text(Date, r.Date),
        text(Time, r.Time),
        text(Size, r.Size),
        text(Reference, r.Reference),
        text(Status, r.Status.text()),
        flagValue(RequestConfirmation, r.RequestConfirmation),
        flagValue(PrintMessage, r.PrintMessage),
        text(Reserved, r.Reserved),
        text(OptionFlag, r.OptionFlag),
        text(DateParts, r.DateParts[0]),
        text(DateParts + 1, r.DateParts[1]),
        text(TimeParts, r.TimeParts[0]),
        text(TimeParts + 1, r.TimeParts[1]),
        text(ToText, r.ToText),
        text(CcText, r.CcText),
        text(BccText, r.BccText),
        text(Subject, r.Subject),
    };
    v.resize(std::clamp<qsizetype>(r.valueCount, 0, Count));
    return v;
}

QString format(const OutIdxRecord& r) {
    return values(r).join(kLayout.separator);
}

} // namespace OutIdx

} // namespace tessaro
