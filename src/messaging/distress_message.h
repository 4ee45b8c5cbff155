#pragma once

#include "messaging/message_submission.h"

#include <QLatin1String>

namespace tessaro {

// A message priority index (0 Routine .. 3 Distress) as the session and the sending dialog hold it.
inline constexpr int kDistressPriority = 3;

// The destination of a distress priority message. The LES hands such a message to its rescue coordination
// centre whatever the address says; the outbox records it as "MRCC".
inline const QLatin1String kSearchAndRescue("SEARCH & RESCUE");

// The one recipient a distress priority message has: To "SEARCH & RESCUE" as a telex, so that no service
// provider, extra destination or address conversion stands between the operator and the LES.
Recipient DistressRecipient();

// The transmission's priority byte for a message priority index. The "tx" command has a single priority
// switch (" -a"); a distress priority message must carry it, and the sending dialog's index 1 always did.
// Anything else goes out at routine priority.
quint8 TransmissionPriority(int messagePriority);

} // namespace tessaro
