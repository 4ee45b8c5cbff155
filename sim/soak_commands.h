#pragma once

#include "control_commands.h"
#include "mes_unit.h"

#include <optional>

namespace tessaro::sim {

// The control commands a long fault run needs to judge the PC afterwards: "deleted" (what the PC removed, with
// the bytes it removed), "tx-log" (what became of each "tx") and "baud N" (a slower or faster line on the fly).
// Empty when the command is none of them.
std::optional<ControlResult> SoakControl(MesUnit& unit, const QString& cmd, const QStringList& words);

// Bookkeeping of the tx log: from-state -> to-state for OUT name; INFO 81 lines handed to the PC make their
// transmission "reported"; a restart loses what was not reported yet.
void setTxState(QList<TxRecord>& log, const QString& outName, const QString& from, const QString& to);
void markReported(QList<TxRecord>& log, const QStringList& handedOut);
void loseUnreported(QList<TxRecord>& log);

} // namespace tessaro::sim
