#include "mes_unit.h"

namespace tessaro::sim {

SimFile& MesUnit::receiveEgc(int les, int service, int priority, int presentation, const QString& routing,
                             const QByteArray& body) {
    SimFile f;
    f.name = QStringLiteral("EGC.%1").arg(m_nextEgc, 3, 10, QLatin1Char('0'));
    m_nextEgc = m_nextEgc >= 999 ? 1 : m_nextEgc + 1;
    f.body = body;
    f.time = now();
    f.kind = FileKind::Egc;
    f.les = les;
    f.service = service;
    f.priority = priority;
    f.presentation = presentation;
    f.reference = m_nextRef++;
    f.routing = routing.isEmpty() ? QStringLiteral("Mem") : routing;
    removeFile(f.name);
    m_files.append(f);
    return m_files.last();
}

void MesUnit::simulateEgc(int code) {
    // The debug command's codes as the program's simulation menu uses them.
    int priority = 0;
    int service = 31;
    QString title = QStringLiteral("MET/NAV FORECAST (SIMULATED)");
    switch (code) {
    case 100:
        priority = 3;
        service = 14;
        title = QStringLiteral("DISTRESS ALERT RELAY (SIMULATED)");
        break;
    case 400:
        priority = 1;
        service = 4;
        title = QStringLiteral("NAVAREA WARNING (SIMULATED)");
        break;
    case 4:
        priority = 2;
        service = 4;
        title = QStringLiteral("URGENT NAVIGATIONAL WARNING (SIMULATED)");
        break;
    default:
        break;
    }
    const int les = ocean() < 4 ? ocean() * 100 + 2 : 102;
    receiveEgc(les, service, priority, 0, priority >= 2 ? QStringLiteral("Pr+M") : QStringLiteral("Mem"),
               fillerText(300 + static_cast<int>(random().bounded(400)), title));
}

} // namespace tessaro::sim
