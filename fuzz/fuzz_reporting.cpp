// Any text as a reply to "st -d", "rs" or "pg -d": the parsers never crash, values read up to a line end keep
// no CR or LF, and every choice entry keeps its fixed columns.
#include "reporting/dnid_list.h"
#include "reporting/message_reporting.h"
#include "reporting/report_programs.h"

#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool clean(const QString& s) {
    return !s.contains(u'\r') && !s.contains(u'\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tessaro;
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& br : {QStringLiteral("\r\n"), QStringLiteral("\n")}) {
        const QString block = DnidListBlock(text);
        cDnid list;
        list.SaveData(block, br);
        for (const DnidRecord& r : list.records())
            check(clean(r.Provider) && r.Member >= 0 && r.Member <= 999 && r.LesId >= 0 && r.Dnid >= 0);
        QList<bool> flipped;
        for (const DnidRecord& r : list.records())
            flipped << !r.enabled();
        check(DnidChangeCommands(list.records(), flipped).size() == list.records().size());
        for (const QStringList& ocean : DnidChoices(block, br))
            for (const QString& entry : ocean)
                check(entry.size() >= 39 && entry.at(25) == u' ' && entry.at(29) == u' ' && clean(entry));

        const ProgramListing listing = ParseProgramListing(text, br);
        for (const ProgramSlot& s : listing.slots)
            for (const auto& c : s.connections)
                check(!c || (c->les.size() >= 3 && clean(c->dnid) && clean(c->member)));
    }
    const MessageReportingSettings s = ParseMessageReportingReply(text).settings;
    for (const QString& v : {s.month, s.dayOfMonth, s.dayOfWeek, s.hour, s.minute, s.service, s.destinationType,
                             s.extension, s.pinCode, s.destinationAddress})
        check(clean(v));
    return 0;
}
