#include "egc/egc_codes.h"

#include "config/text_util.h"

namespace tessaro {

namespace {
const QString kUnknown = QStringLiteral("Unknown");
}

QString ConvertEGCServiceNo(qint16 service) {
    switch (service) {
    case 0:
        return QStringLiteral("General Call");
    case 2:
        return QStringLiteral("Group Call");
    case 4:
        return QStringLiteral("NAV Warning");
    case 11:
        return QStringLiteral("System Call");
    case 13:
        return QStringLiteral("Coastal Warning/Forecast");
    case 14:
        return QStringLiteral("Distress Alert Relay");
    case 23:
        return QStringLiteral("EGC System");
    case 24:
        return QStringLiteral("MET Warning");
    case 31:
        return QStringLiteral("MET/NAV Warning/Forecast");
    case 33:
        return QStringLiteral("ENID load/delete");
    case 34:
    case 44:
        return QStringLiteral("SAR Coordination");
    case 72:
    case 73:
        return QStringLiteral("Chart Correction");
    default:
        return kUnknown;
    }
}

QString ConvertEGCPriorityNo(qint16 priority) {
    switch (priority) {
    case 0:
        return QStringLiteral("Routine");
    case 1:
        return QStringLiteral("Safety");
    case 2:
        return QStringLiteral("Urgent");
    case 3:
        return QStringLiteral("Distress");
    default:
        return kUnknown;
    }
}

QString ConvertEGCLanguage(qint16 presentation) {
    switch (presentation) {
    case 0:
        return QStringLiteral("7 Bit IA5");
    case 6:
        return QStringLiteral("5 Bit TELEX");
    case 7:
        return QStringLiteral("8 Bit Data");
    default:
        return kUnknown;
    }
}

QString ConvertEGCData(qint32 value) {
    return value == -1 ? kUnknown : QString::number(value);
}

QString EgcLesText(qint32 les) {
    return les < 0 ? QStringLiteral("Unk") : QStringLiteral("%1").arg(les, 3, 10, QLatin1Char('0'));
}

QString EgcLesText(QStringView stored) {
    const QStringView t = stored.trimmed();
    return IsNumeric(t) ? EgcLesText(qint32(Val(t))) : QStringLiteral("Unk");
}

} // namespace tessaro
