#pragma once

#include <QString>
#include <QtGlobal>

namespace tessaro {

// The texts of the EGC header codes; a code outside the tables reads "Unknown".
QString ConvertEGCServiceNo(qint16 service);
QString ConvertEGCPriorityNo(qint16 priority);
QString ConvertEGCLanguage(qint16 presentation);
// -1 is "Unknown", any other value its decimal text.
QString ConvertEGCData(qint32 value);
// The LES as three digits ("002"); "Unk" for a negative value.
QString EgcLesText(qint32 les);
// The LES of an index value: three digits when it is a non-negative number, else "Unk".
QString EgcLesText(QStringView stored);

// Priorities that raise the EGC alarm.
inline bool EgcPriorityRaisesAlarm(int priority) {
    return priority == 2 || priority == 3;
}

} // namespace tessaro
