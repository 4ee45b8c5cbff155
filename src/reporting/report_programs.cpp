#include "reporting/report_programs.h"

#include "config/text_util.h"

#include <cmath>

namespace tessaro {

namespace {

bool has(const QString& line, const char* token) {
    return line.contains(QLatin1String(token), Qt::CaseInsensitive);
}

QString padded(const QString& text, int width) {
    return text.rightJustified(width, u'0');
}

} // namespace

SlotButtons ProgramSlotButtons(const QString& prgType, const QString& prgStatus) {
    SlotButtons b;
    if (prgStatus == u"2")
        b = {false, false, true, true};
    if (prgStatus == u"3")
        b = {false, true, false, true};
    if (prgStatus == u"1")
        b = {false, false, false, true};
    if (prgType == u"1")
        b = {true, false, false, false};
    if (prgType == u"3")
        b = {false, false, false, false};
    return b;
}

ProgramListing ParseProgramListing(const QString& reply, const QString& lineEnd) {
    ProgramListing listing;
    if (reply.contains(QLatin1String("ERROR 120"), Qt::CaseInsensitive)) {
        listing.outcome = ProgramListing::Outcome::NotSupported;
        return listing;
    }
    const qsizetype header = reply.indexOf(QLatin1String("Connection"));
    if (header < 0)
        return listing;
    listing.outcome = ProgramListing::Outcome::Ok;
    const QString br = lineEnd.isEmpty() ? QStringLiteral("\r\n") : lineEnd;
    const QStringList lines = reply.mid(header).split(br);
    for (int slot = 0; slot < kProgramSlots && slot + 1 < lines.size(); ++slot) {
        const QString line = StripLineEnds(lines.at(slot + 1));
        ProgramSlot& s = listing.slots[size_t(slot)];
        if (has(line, "closed"))
            s.PrgType = QStringLiteral("1");
        if (has(line, "local"))
            s.PrgType = QStringLiteral("2");
        if (has(line, "remote"))
            s.PrgType = QStringLiteral("3");
        if (has(line, "PU"))
            s.kind = QStringLiteral("PU-");
        else if (has(line, "CN"))
            s.kind = QStringLiteral("ADS-");
        if (has(line, "PU[i") || has(line, "CN[i"))
            s.PrgStatus = QStringLiteral("2");
        if (has(line, "PU[s") || has(line, "CN[s"))
            s.PrgStatus = QStringLiteral("3");
        if (has(line, "none") || has(line, "PU[-"))
            s.PrgStatus = QStringLiteral("1");
        if (line.size() >= 23) {
            // A stray CR or LF inside the line (the other line end) separates groups like a blank: no value
            // may keep one.
            QString area = line.mid(21);
            area.replace(u'\r', u' ').replace(u'\n', u' ');
            const QStringList groups = area.split(u' ', Qt::SkipEmptyParts).mid(0, 4);
            for (const QString& group : groups) {
                const QStringList parts = group.split(u',');
                const QString les = padded(parts.value(0).trimmed(), 3);
                if (les == u"000")
                    continue;
                const int ocean = les.at(0).unicode() - u'0';
                if (ocean < 0 || ocean >= kOceans)
                    continue;
                s.connections[size_t(ocean)] =
                    ProgramConnection{les, parts.value(1).trimmed(), parts.value(2).trimmed()};
            }
        }
        s.buttons = ProgramSlotButtons(s.PrgType, s.PrgStatus);
    }
    return listing;
}

QString ProgramTypeWord(const QString& prgType) {
    if (prgType == u"1")
        return QStringLiteral("Closed");
    if (prgType == u"2")
        return QStringLiteral("Local");
    if (prgType == u"3")
        return QStringLiteral("Remote");
    return {};
}

QString ProgramStatusWord(const QString& prgStatus) {
    if (prgStatus == u"1")
        return QStringLiteral("None");
    if (prgStatus == u"2")
        return QStringLiteral("Started");
    if (prgStatus == u"3")
        return QStringLiteral("Stopped");
    return {};
}

int FreeProgramSlot(const ProgramListing& listing) {
    if (listing.outcome != ProgramListing::Outcome::Ok)
        return -1;
    for (int i = 0; i < kProgramSlots; ++i)
        if (listing.slots[size_t(i)].PrgType == u"1")
            return i;
    return -1;
}

QString ProgramStatusText(const QString& reply, const QString& lineEnd, const QString& prompt) {
    const QString br = lineEnd.isEmpty() ? QStringLiteral("\r\n") : lineEnd;
    const qsizetype echo = reply.indexOf(br);
    QString text = echo < 0 ? QString() : reply.mid(echo + br.size());
    if (!prompt.isEmpty() && text.endsWith(prompt)) {
        text.chop(prompt.size());
    } else {
        // The prompt is not known yet: it is whatever follows the last line end.
        const qsizetype last = text.lastIndexOf(br);
        if (last >= 0)
            text.truncate(last + br.size());
    }
    return text;
}

std::array<QStringList, kOceans> DnidChoices(const QString& block, const QString& lineEnd) {
    std::array<QStringList, kOceans> lists;
    const QString br = lineEnd.isEmpty() ? QStringLiteral("\r\n") : lineEnd;
    const QStringList lines = block.split(br);
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        QString line = lines.at(i);
        line.remove(u'\r');
        line.remove(u'\n');
        const QString les = SafeMid(line, 30, 3).trimmed();
        // A line without a LES number (a blank or broken line) is no DNID; padded it would read as LES 000.
        if (les.isEmpty() || !IsAllDigits(les))
            continue;
        const qint64 number = Val(les);
        if (number > 399)
            continue;
        const QString entry = SafeMid(line, 0, 25).leftJustified(25, u' ', true) + u' ' + padded(les, 3) + u' ' +
                              padded(SafeMid(line, 34, 5).trimmed(), 5) + u' ' +
                              padded(SafeMid(line, 42, 3).trimmed(), 3);
        lists[size_t(number / 100)] << entry;
    }
    return lists;
}

int TimeUnits(int hours, int minutes) {
    return int(std::lround((hours * 3600.0 + minutes * 60.0) / 8.64));
}

QString CheckedTimeField(const QString& text, int max) {
    const QString t = text.trimmed();
    if (!IsNumeric(t))
        return QStringLiteral("00");
    const qint64 v = Val(t);
    if (v < 0 || v > max || t.contains(u'.'))
        return QStringLiteral("00");
    return t;
}

ProgramCommands BuildProgramCommands(int slot, const ProgramDefinition& definition) {
    ProgramCommands out;
    out.checked = definition;
    QStringList groups;
    for (const QString& choice : definition.choices) {
        // Only entries of the choice lists carry the columns; placeholders and blanks do not.
        if (choice.size() < 39 || !IsAllDigits(choice.mid(26, 3)))
            continue;
        groups << choice.mid(26, 3) + u',' + choice.mid(30, 5) + u',' + choice.mid(36, 3);
    }
    if (groups.isEmpty()) {
        out.noDnid = true;
        return out;
    }
    ProgramDefinition& d = out.checked;
    d.startHour = CheckedTimeField(d.startHour, 23);
    d.startMinute = CheckedTimeField(d.startMinute, 59);
    d.intervalHour = CheckedTimeField(d.intervalHour, 23);
    d.intervalMinute = CheckedTimeField(d.intervalMinute, 59);
    const int start = TimeUnits(int(Val(d.startHour)), int(Val(d.startMinute)));
    const int interval = std::max(20, TimeUnits(int(Val(d.intervalHour)), int(Val(d.intervalMinute))));
    const QString n = u' ' + QString::number(slot);
    out.commands << QStringLiteral("pg -o \"") + groups.join(u' ') + u'"';
    // A start of 00:00, however it is typed, starts the program at once.
    if (!d.immediately && start > 0) {
        out.commands << QStringLiteral("pg -p") + n + u',' + QString::number(start) + u',' + QString::number(interval);
    } else {
        out.commands << QStringLiteral("pg -p") + n + u',' + QString::number(interval);
        out.commands << QStringLiteral("pg -i") + n + QStringLiteral(",P");
    }
    return out;
}

} // namespace tessaro
