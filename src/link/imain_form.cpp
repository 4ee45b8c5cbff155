#include "link/imain_form.h"

namespace tessaro {

QString ActivityText(Activity activity) {
    switch (activity) {
    case Activity::Idle:
        return QStringLiteral("Idle");
    case Activity::Receiving:
        return QStringLiteral("Receiving");
    case Activity::Processing:
        return QStringLiteral("Processing");
    case Activity::MessageToMobile:
        return QStringLiteral("Message to mobile");
    }
    return {};
}

QString AlertCaption(AlertKind kind) {
    switch (kind) {
    case AlertKind::UrgencyMessage:
        return QStringLiteral("URGENCY PRIORITY MESSAGE");
    case AlertKind::DistressMessage:
        return QStringLiteral("DISTRESS PRIORITY MESSAGE");
    case AlertKind::EgcDistress:
    case AlertKind::EgcUrgent:
        return QStringLiteral("DISTRESS / URGENT EGC MESSAGE");
    }
    return {};
}

} // namespace tessaro
