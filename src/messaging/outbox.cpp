#include "messaging/outbox.h"

#include "config/configuration.h"
#include "config/logs.h"
#include "config/text_util.h"
#include "messaging/message_store.h"

#include <QFileInfo>

namespace tessaro {

namespace {
const QLatin1Char kSep(';');
const QLatin1String kSearchAndRescue("SEARCH & RESCUE");
} // namespace

bool IsPlainFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QChar(0));
}

QString MissingBodyText(const QString& name, const QString& lineBreak) {
    return FormatText(QStringLiteral("'%0' Does not exist!"), {name}) + lineBreak +
           QStringLiteral("The file might have been manually deleted by operator.");
}

QString HtmlEscaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString cOutBox::folder() const {
    return StoreFolderPath(m_config, kOutboxKey);
}

QString cOutBox::indexPath() const {
    return CaseBlindPath(folder(), QStringLiteral("OUT.IDX"));
}

QString cOutBox::JoinLine(const QStringList& positions) {
    QStringList clean;
    clean.reserve(positions.size());
    // The separator inside a value is left alone: the subject is the last position and may hold ";",
    // and rewrites split and re-join with the same separator, so the line survives unchanged.
    for (const QString& p : positions)
        clean << SanitiseIndexField(p, QChar(u'\r'), QChar(u' '));
    return clean.join(kSep);
}

void cOutBox::report(const QString& scope, const FileError& error) {
    if (onError)
        onError(ErrorMessage(scope, error.number, error.description));
}

void cOutBox::changed() {
    if (onChanged)
        onChanged();
}

bool cOutBox::SaveMessage(const QString& text, const QString& fileName) {
    if (!IsPlainFileName(fileName))
        return false;
    FileError error;
    if (!WriteWholeFile(folder() + fileName, text.toLatin1(), &error)) {
        report(QStringLiteral("OutBox.SaveMessage"), error);
        return false;
    }
    return true;
}

bool cOutBox::AppendLine(const QStringList& positions) {
    FileError error;
    if (!AppendIndexLine(indexPath(), JoinLine(positions), &error)) {
        report(QStringLiteral("OutBox.AppendLine"), error);
        return false;
    }
    changed();
    return true;
}

int cOutBox::rewrite(const Matcher& match, const QString& hint, qsizetype minPositions, bool dropEmpty,
                     const QString& newRefNo, const QString& newStatus, bool updateAll, const QString& scope) {
    const QString path = indexPath();
    bool ok = false;
    const QStringList lines = ReadIndexLines(path, &ok);
    if (!ok)
        return 0;
    int changedCount = 0;
    QString out;
    out.reserve(qsizetype(lines.size()) * 128);
    for (const QString& line : lines) {
        if (dropEmpty && line.isEmpty())
            continue;
        if ((!updateAll && changedCount > 0) || (!hint.isEmpty() && !line.contains(hint))) {
            out += line;
            out += kCrLf;
            continue;
        }
        QStringList positions = line.split(kSep);
        if (positions.size() >= minPositions && match(positions)) {
            if (!newRefNo.isEmpty())
                positions[OutPos::Reference] = newRefNo;
            positions[OutPos::Status] = newStatus;
            out += JoinLine(positions);
            ++changedCount;
        } else {
            out += line;
        }
        out += kCrLf;
    }
    if (changedCount == 0)
        return 0; // nothing to change: the index is not touched at all
    FileError error;
    if (!WriteWholeFile(path, out.toLatin1(), &error)) {
        // The old index is still whole; the caller learns that nothing changed.
        report(scope, error);
        return 0;
    }
    changed();
    return changedCount;
}

int cOutBox::UpdateOutBox(const QString& les, const QString& refNo, const QString& oldStatus, const QString& newRefNo,
                          const QString& newStatus, bool updateAll) {
    const QString ref = refNo.trimmed();
    const QString lesWanted = les.trimmed();
    const qint64 lesValue = Val(lesWanted);
    const QString old = oldStatus.trimmed();
    const Matcher match = [&](const QStringList& p) {
        if (!ref.isEmpty() && p[OutPos::Reference].trimmed() != ref)
            return false;
        if (!lesWanted.isEmpty() && Val(p[OutPos::Les]) != lesValue)
            return false;
        return old.isEmpty() || p[OutPos::Status].trimmed() == old;
    };
    // A matching line holds the reference (or the old status) somewhere in its text.
    const QString hint = !ref.isEmpty() ? ref : old;
    return rewrite(match, hint, 10, true, newRefNo, newStatus, updateAll, QStringLiteral("OutBox.UpdateOutBox"));
}

int cOutBox::UpdateOutBoxFile(const QString& fileName, const QString& newRefNo, const QString& newStatus,
                              bool updateAll) {
    const QString name = fileName.trimmed();
    if (name.isEmpty())
        return 0;
    const Matcher match = [&](const QStringList& p) { return p[OutPos::FileName].trimmed() == name; };
    return rewrite(match, name, 9, false, newRefNo, newStatus, updateAll, QStringLiteral("OutBox.UpdateOutBoxFile"));
}

QString cOutBox::GetOutBoxMessage(const QString& fileName) const {
    const QString name = fileName.trimmed();
    QString text;
    if (!IsPlainFileName(name) || !ReadWholeFile(folder() + name, &text))
        return MissingBodyText(name, kCrLf);
    return text;
}

QVector<QStringList> cOutBox::ReadIndex() const {
    QVector<QStringList> rows;
    const QStringList lines = ReadIndexLines(indexPath());
    rows.reserve(lines.size());
    for (const QString& line : lines)
        if (!line.isEmpty())
            rows << line.split(kSep);
    return rows;
}

QString cOutBox::GetIndexValue(const QString& reference, int position) const {
    const QString ref = reference.trimmed();
    for (const QStringList& p : ReadIndex()) {
        if (p.size() > OutPos::Status && p[OutPos::Reference].trimmed() == ref)
            return position >= 0 && position < p.size() ? p[position] : QString();
    }
    return FormatText(QStringLiteral("No message with reference '%0' found."), {ref});
}

QString cOutBox::LoadIndexHTML(int count, int skip, bool newestFirst) const {
    if (count < 1)
        return {};
    QVector<QStringList> rows = ReadIndex();
    if (newestFirst)
        std::reverse(rows.begin(), rows.end());
    QString html = QStringLiteral("<table><tr><th>File</th><th>Destination</th><th>LES</th><th>Type</th>"
                                  "<th>Date</th><th>Size</th><th>Ref</th><th>Status</th><th>Subject</th></tr>");
    static const int columns[] = {OutPos::FileName,    OutPos::Destination, OutPos::Les,
                                  OutPos::TypeAndBits, OutPos::Date,        OutPos::Size,
                                  OutPos::Reference,   OutPos::Status,      OutPos::Subject};
    int shown = 0;
    for (qsizetype i = qMax(0, skip); i < rows.size() && shown < count; ++i, ++shown) {
        const QStringList& p = rows[i];
        html += QStringLiteral("<tr>");
        for (int c : columns) {
            QString value = c < p.size() ? p[c] : QString();
            if (c == OutPos::Date && OutPos::Time < p.size())
                value += QLatin1Char(' ') + p[OutPos::Time];
            if (c == OutPos::Subject && p.size() > OutPos::Count) // a subject holding ";"
                value = p.mid(OutPos::Subject).join(kSep);
            html += QStringLiteral("<td>") + HtmlEscaped(value) + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

bool cOutBox::AddDistressAlert(const DistressAlertRecord& alert) {
    QStringList p;
    p << alert.OutFileName << alert.Destination
      << (alert.LesNumber == 0 ? QStringLiteral("Auto") : QString::number(alert.LesNumber)) << alert.Description
      << alert.TimeStamp.toString(QStringLiteral("yy-MM-dd")) << alert.TimeStamp.toString(QStringLiteral("HH:mm"))
      << QStringLiteral("-") << QStringLiteral("-") << alert.Status;
    for (int i = 9; i <= 16; ++i)
        p << QStringLiteral("0");
    p << kSearchAndRescue << QString() << QString() << kSearchAndRescue;
    return AppendLine(p);
}

} // namespace tessaro
