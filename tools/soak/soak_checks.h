#pragma once

#include "soak_lane.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace tessaro::soak {

// What a finished lane shows: the figures to print and the broken promises (empty when every promise held).
struct LaneReport {
    QMap<QString, int> counts;
    QStringList failures;
    QMap<QString, QList<qint64>> recoveryMs; // by fault kind
};

// Reads the lane's data folder and the simulator's records: every message and EGC delivered is stored exactly
// once with its bytes, every file the simulator saw deleted was stored first, every accepted send was
// submitted exactly once and its outbox line is right, every index parses.
LaneReport CheckLane(const Lane& lane);

// "median 1.2 s, worst 4.5 s (n=12)"
QString RecoverySummary(QList<qint64> ms);

} // namespace tessaro::soak
