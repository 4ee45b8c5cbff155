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
    return kind == AlertKind::UrgencyMessage ? QStringLiteral("URGENCY PRIORITY MESSAGE")
                                             : QStringLiteral("DISTRESS PRIORITY MESSAGE");
}

} // namespace tessaro
