#pragma once

#include "distress/distress_generator.h"

namespace tessaro::test {

// A maritime generator entry that passes every check: the base the validation cases change one field of.
inline MaritimeFields SampleMaritimeFields() {
    MaritimeFields f;
    f.Course = QStringLiteral("275");
    f.Speed = QStringLiteral("12");
    f.Hour = QStringLiteral("9");
    f.Minute = QStringLiteral("5");
    f.LatDeg = QStringLiteral("54");
    f.LatMin = QStringLiteral("20");
    f.LatHund = QStringLiteral("50");
    f.NorthSouth = QStringLiteral("N");
    f.LonDeg = QStringLiteral("10");
    f.LonMin = QStringLiteral("8");
    f.LonHund = QStringLiteral("5");
    f.EastWest = QStringLiteral("E");
    return f;
}

} // namespace tessaro::test
