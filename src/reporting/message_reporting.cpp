#include "reporting/message_reporting.h"

#include "config/text_util.h"

namespace tessaro {

namespace {

// A value ends at the first of: the option's description (text options), a blank (number options), a line end.
QString optionValue(const QString& block, const char* marker, const char* endsBefore) {
    const QLatin1String m(marker);
    const qsizetype at = block.indexOf(m, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    const qsizetype start = at + m.size();
    qsizetype end = block.size();
    for (const QChar stop : {QChar(u'\r'), QChar(u'\n')}) {
        const qsizetype p = block.indexOf(stop, start);
        if (p >= 0 && p < end)
            end = p;
    }
    const qsizetype word =
        endsBefore ? block.indexOf(QLatin1String(endsBefore), start, Qt::CaseInsensitive) : block.indexOf(u' ', start);
    if (word >= 0 && word < end)
        end = word;
    return block.mid(start, end - start).trimmed();
}

QString withoutLeading00(const QString& number) {
    const QString n = number.trimmed();
    return n.startsWith(QLatin1String("00")) ? n.mid(2) : n;
}

} // namespace

MessageReportingReply ParseMessageReportingReply(const QString& reply) {
    MessageReportingReply out;
    if (reply.contains(QLatin1String("INFO 999:"), Qt::CaseInsensitive)) {
        out.supported = false;
        return out;
    }
    const qsizetype start = reply.indexOf(QLatin1String("Illegal argument"), 0, Qt::CaseInsensitive);
    if (start < 0)
        return out;
    QString block = reply.mid(start);
    const qsizetype operation = block.indexOf(QLatin1String("Operation "), 0, Qt::CaseInsensitive);
    if (operation >= 0) {
        const qsizetype colon = block.indexOf(u':', operation);
        if (colon >= 0)
            block.truncate(colon + 11);
    }
    MessageReportingSettings& s = out.settings;
    s.function = optionValue(block, "-f (num)  value is ", nullptr) == u"1";
    s.month = optionValue(block, "-m (str)  value is ", "Month");
    s.dayOfMonth = optionValue(block, "-d (str)  value is ", "Month day");
    s.dayOfWeek = optionValue(block, "-w (str)  value is ", "Day of week");
    s.hour = optionValue(block, "-h (str)  value is ", "Hour of day");
    s.minute = optionValue(block, "-u (str)  value is ", "Minute of day");
    s.noPrintCopy = optionValue(block, "-n (num)  value is ", nullptr) == u"1";
    s.service = optionValue(block, "-s (num)  value is ", nullptr);
    s.destinationType = optionValue(block, "-t (num)  value is ", nullptr);
    s.confirmation = optionValue(block, "-v (num)  value is ", nullptr) == u"1";
    s.extension = optionValue(block, "-e (str)  value is ", "Message Exten");
    s.pinCode = optionValue(block, "-p (str)  value is ", "PIN code");
    s.destinationAddress = optionValue(block, "-a (str)  value is ", "Destination Address");
    if (!block.contains(QLatin1String("Operation 1"), Qt::CaseInsensitive))
        s.function = false;
    return out;
}

ReportDestinations MessageReportingDestinations(const QVector<AddressBookEntry>& book, const QString& reported) {
    ReportDestinations out;
    const QString wanted = reported.trimmed();
    for (const AddressBookEntry& e : book) {
        if (e.Name.trimmed().isEmpty() || AddressTypeWord(e.Type).toUpper() == u"EMAIL")
            continue;
        if (out.selected < 0 && !wanted.isEmpty() && withoutLeading00(e.Address) == wanted)
            out.selected = int(out.names.size());
        out.names << e.Name;
    }
    return out;
}

QStringList MessageReportingCommands(const MessageReportingSettings& s, const QString& destination,
                                     const QVector<AddressBookEntry>& book, const std::array<QString, 4>& defaultLes) {
    const QString chosen = destination.trimmed();
    if (chosen.isEmpty())
        return {};
    QStringList out;
    out << QStringLiteral("rs -f 6");
    out << QStringLiteral("rs -m ") + s.month + QStringLiteral(" -d ") + s.dayOfMonth;
    out << QStringLiteral("rs -w ") + s.dayOfWeek + QStringLiteral(" -h ") + s.hour;
    out << QStringLiteral("rs -u ") + s.minute + (s.noPrintCopy ? QStringLiteral(" -n 1") : QStringLiteral(" -n 0")) +
               (s.confirmation ? QStringLiteral(" -v 1") : QStringLiteral(" -v 0")) + QStringLiteral(" -p ") +
               s.pinCode;

    const AddressBookEntry* entry = nullptr;
    for (const AddressBookEntry& e : book)
        if (e.Name.trimmed().compare(chosen, Qt::CaseInsensitive) == 0) {
            entry = &e;
            break;
        }
    // The number goes out as a plain decimal number; without an entry the chosen text is the number.
    const QString number = QString::number(Val(entry ? entry->Address.trimmed() : chosen));
    QString line;
    if (entry) {
        switch (entry->Type) {
        case 1: // Telex
        case 3: // InmC
            line = QStringLiteral("rs -t 0");
            break;
        case 2: // Fax
            line = QStringLiteral("rs -e T30 -t 1");
            break;
        case 4: // PSTN
            line = QStringLiteral("rs -e V22B -t 1");
            break;
        case 5: // SAC
            line = QStringLiteral("rs -e ") + number + QStringLiteral(" -t 6");
            break;
        case 6: // DNID
            line = QStringLiteral("rs -e ") + number + QStringLiteral(" -t 5");
            break;
        case 7: // X25
            line = QStringLiteral("rs -t 3");
            break;
        default:
            break;
        }
    }
    if (line.isEmpty()) {
        line = QStringLiteral("rs -a ") + withoutLeading00(number);
    } else {
        const QString presentation = PresentationWord(entry->Presentation);
        if (presentation == u"5")
            line += QStringLiteral(" -l 6");
        else if (presentation == u"7")
            line += QStringLiteral(" -l 0");
        else if (presentation == u"8")
            line += QStringLiteral(" -l 7");
        line += QStringLiteral(" -a ") + withoutLeading00(number);
    }
    if (s.function)
        line += QStringLiteral(" -f 1 ") + defaultLes[1] + u' ' + defaultLes[2] + u' ' + defaultLes[3] + u' ' +
                defaultLes[0];
    else
        line += QStringLiteral(" -f 0");
    out << line;
    return out;
}

bool IsScheduleText(const QString& text) {
    for (const QChar c : text)
        if (!(c >= u'0' && c <= u'9') && c != u',' && c != u'-' && c != u'*')
            return false;
    return true;
}

bool IsReportPasswordText(const QString& text) {
    if (text.isEmpty())
        return true;
    if (!(text.at(0) >= u'0' && text.at(0) <= u'9'))
        return false;
    for (const QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    return true;
}

} // namespace tessaro
