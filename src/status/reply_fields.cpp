#include "status/reply_fields.h"

#include "config/text_util.h"

#include <algorithm>

namespace tessaro {

qsizetype ValueStartAfterLabel(const QString& reply, QLatin1StringView label, qsizetype from) {
    const qsizetype at = reply.indexOf(label, from, Qt::CaseInsensitive);
    if (at < 0)
        return -1;
    const qsizetype colon = reply.indexOf(QLatin1Char(':'), at + label.size());
    return colon < 0 ? -1 : colon + 1;
}

qsizetype LineEndFrom(const QString& text, qsizetype from) {
    for (qsizetype i = qMax<qsizetype>(from, 0); i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            return i;
    }
    return text.size();
}

QString FixedField(const QString& reply, qsizetype start, qsizetype width) {
    if (start < 0 || start >= reply.size() || width <= 0)
        return {};
    const qsizetype end = qMin(LineEndFrom(reply, start), start + width);
    return reply.mid(start, end - start).trimmed();
}

QString LineField(const QString& reply, qsizetype start) {
    if (start < 0 || start >= reply.size())
        return {};
    const qsizetype lf = reply.indexOf(QLatin1Char('\n'), start);
    QString value = reply.mid(start, lf < 0 ? -1 : lf - start);
    value.remove(QLatin1Char('\r'));
    return value.trimmed();
}

int BoundedVal(QStringView text, int lo, int hi) {
    return int(std::clamp<qint64>(Val(text), lo, hi));
}

QString WithoutFraming(QString text) {
    text.remove(QChar(0x02));
    text.remove(QChar(0x03));
    return text;
}

} // namespace tessaro
