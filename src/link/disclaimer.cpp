#include "link/disclaimer.h"

#include "config/configuration.h"

namespace tessaro {

namespace {
const QString kKey = QStringLiteral("[AS IS Accepted?]");
}

bool DisclaimerAccepted(CConfiguration& config) {
    return config.GetIni(kKey).trimmed().compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0;
}

void AcceptDisclaimer(CConfiguration& config) {
    config.SetIni(kKey, QStringLiteral("YES"), true);
}

} // namespace tessaro
