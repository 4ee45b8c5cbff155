// Any text as a reply to the EGC set-up reads, the ENID list, or as a stored fixed-position list: the first
// byte picks the line end, the rest is the text. Whatever is read, the commands built from it stay one line
// each and carry only what the transceiver accepts.
#include "egc/egc_setup.h"
#include "egc/enid_list.h"

#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool hasLineEnd(const QString& s) {
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

const QString kLineEnds[] = {QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\r\r\n"), QString()};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tessaro;
    if (size == 0)
        return 0;
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const QString& lineEnd = kLineEnds[data[0] % 4];

    EgcSetupValues v;
    ApplyEgcSwitchesReply(text, v);
    ApplyEgcOnlyReply(text, v);
    ApplyCoastalAreasReply(text, v);
    ApplySpareNavareasReply(text, lineEnd, v);
    v.fixedPositionsSupported = FixedPositionsSupportedByReply(text);
    v.fixedPositions = ParseFixedPositions(text);
    for (int s : {v.egcOnly, v.systemMessages, v.safetyNet})
        check(s == kSwitchOff || s == kSwitchOn || s == kSwitchUnknown);
    for (QChar c : v.coastalAreas)
        check(c >= u'A' && c <= u'Z');
    for (int area : v.navareas)
        check(area >= 0 && area <= 999);
    (void)ValidateFixedPositions(v.fixedPositions);
    for (const QString& command : EgcSetupCommands(v))
        check(!command.isEmpty() && !hasLineEnd(command));

    cENID list;
    list.SaveData(text, lineEnd, {});
    QList<bool> flipped;
    for (const EnidRecord& r : list.records()) {
        check(!hasLineEnd(r.Provider));
        check(r.Enabled == 0 || r.Enabled == 1);
        flipped << (r.Enabled == 0);
    }
    check(list.loaded() == (list.count() > 0));
    check(EnidChangeCommands(list.records(), flipped).size() == list.records().size());
    return 0;
}
