#include "config/strings.h"

#include "config/configuration.h"
#include "config/text_util.h"

#include <QFile>
#include <QHash>

namespace tessaro {

namespace {
struct Tables {
    int language = English;
    QHash<int, QString> current;
};

Tables& tables() {
    static Tables t;
    return t;
}

QString unescape(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            const QChar n = s[++i];
            out += n == u'n' ? QChar(u'\n') : n == u't' ? QChar(u'\t') : n == u'r' ? QChar(u'\r') : n;
        } else {
            out += s[i];
        }
    }
    return out;
}
} // namespace

QHash<int, QString> ParseStringTable(const QByteArray& utf8) {
    QHash<int, QString> table;
    const QString text = QString::fromUtf8(utf8);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (ok)
            table.insert(id, unescape(line.mid(tab + 1)));
    }
    return table;
}

int SetLanguage(int langId) {
    Tables& t = tables();
    t.current.clear();
    t.language = English;
    if (langId == French || langId == Russian) {
        QFile f(QStringLiteral(":/strings/%1.txt").arg(langId));
        if (f.open(QIODevice::ReadOnly)) {
            t.current = ParseStringTable(f.readAll());
            t.language = langId;
        }
    }
    return t.language;
}

int CurrentLanguage() {
    return tables().language;
}

int LoadLanguage(CConfiguration& config) {
    const QString id =
        config.GetSettingValue(QStringLiteral("MultiLang"), QStringLiteral("LangId"), QString::number(English));
    return SetLanguage(int(Val(id)));
}

QString GetText(int id, const QString& defaultText) {
    const Tables& t = tables();
    const auto it = t.current.constFind(id);
    return it == t.current.cend() ? defaultText : *it;
}

} // namespace tessaro
