#include "messaging/distress_message.h"

namespace tessaro {

Recipient DistressRecipient() {
    return {FieldTo, Telex, QString(kSearchAndRescue)};
}

quint8 TransmissionPriority(int messagePriority) {
    return messagePriority == 1 || messagePriority == kDistressPriority ? 1 : 0;
}

} // namespace tessaro
