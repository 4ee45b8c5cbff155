// Any text as a reply to "se -g", "se -m " or "se -m ALL_OCEANS": the first byte picks the line end, the
// rest is the reply. Whatever is read, no value keeps a line end, and the commands built from the values
// stay one line each.
#include "distress/distress_generator.h"

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

    const GeneratorParse p = ParseDistressGenerator(text, lineEnd, {});
    const DistressGeneratorValues& v = p.values;
    check(!hasLineEnd(p.errorLine) && !hasLineEnd(v.Les) && !hasLineEnd(v.Hour) && !hasLineEnd(v.Minute) &&
          !hasLineEnd(v.UpdatedAt) && !hasLineEnd(QString(v.Nature)));
    check(v.Position.isEmpty() || v.Position.size() == 8);
    for (const QString& piece : v.Position)
        check(!hasLineEnd(piece) && !piece.isEmpty());

    const AlertParameters a = ParseAlertParameters(text);
    check(!hasLineEnd(a.landStation) && a.landStation.size() <= 3);
    check(!a.natureIndex || (*a.natureIndex >= 0 && *a.natureIndex < 10));

    const AlertLesParse l = ParseAlertLes(text, lineEnd);
    for (const QString& les : l.les)
        check(!hasLineEnd(les));
    check(!hasLineEnd(AlertLesCommand(l.les)));

    MaritimeFields f;
    f.Course = f.Speed = f.Hour = f.Minute = v.Les;
    f.LatDeg = f.LatMin = f.LatHund = v.Hour;
    f.LonDeg = f.LonMin = f.LonHund = v.Minute;
    f.NorthSouth = f.EastWest = QString(v.Nature);
    if (!ValidateMaritimeFields(f, 1, v.Les))
        check(!hasLineEnd(GeneratorWriteCommand(v.Les, v.Nature, f)));
    return 0;
}
