#include "messaging/provider_list.h"

#include "messaging/index_file.h"

#include <QFileInfo>

namespace tessaro {

QString ServiceProvider::field(int number) const {
    return number >= 1 && number <= fields.size() ? fields[number - 1] : QString();
}

QString ServiceProvider::les(int ocean) const {
    if (ocean < 0 || ocean > 3)
        return {};
    return field(LesWest + ocean).trimmed();
}

ServiceProvider ServiceProvider::fromLine(const QString& line) {
    ServiceProvider p;
    p.fields = line.split(QLatin1Char('|'));
    while (p.fields.size() < kFieldCount)
        p.fields << QString();
    return p;
}

QStringList DefaultProviderLines() {
    return {
        QStringLiteral("CTTC China|||211|311|TO:|CC:||SUBJECT:|STX:|SAC|EMAIL|;||||"),
        QStringLiteral("KDDI SatMail-C Japan|003|103|203|303|TO:|CC:||SUBJECT:|STX:|SAC|28|;||||"),
        QStringLiteral("Morsviazsputnik Russia||117|217|317|TO:|CC:||SUBJECT:|STX:|SAC|28|;||||"),
        QStringLiteral("OTE Greece||120||305|TO:|CC:||SUBJECT:|STX:|SAC|28|;||||"),
        QStringLiteral("SingTel Mail65 (SAC65)|002|102|210|328|to+|cc+||subject:||SAC|65|;|sms+||65|"),
        QStringLiteral("SingTel Mail65 (SAC6500)|002|102|210|328|to+|cc+||subject:||SAC|6500|;||||"),
        QStringLiteral("SingTel Mail65 (SAC6599)|002|102|210|328|to+|cc+||subject:||SAC|6599|;||||"),
        QStringLiteral("Stratos Global C-email 02|002|102|202|302|TO+|CC+||SU+|STX:|SAC|63|<CR><LF>CC+||||"),
        QStringLiteral("Stratos Global C-email 12|012|112|212|312|TO:|CC:||SU:|STX:|SAC|28|;|| |SMS|"),
        QStringLiteral("Telemar X25|004|104|204|304|To:|||Su:|Stx:|X.25|2403722360710|;||||"),
        QStringLiteral("Vizada SkyFile C 01|001|101|201|301|TO:|CC:||SUBJECT:|STX:|SAC|28|;||#|66|"),
        QStringLiteral("Vizada SkyFile C 04|004|104|204|304|TO:|CC:||SUBJECT:|STX:|SAC|28|;||#|66|"),
        QStringLiteral("Vizada SkyFile C 21|021|121|221|321|TO+|CC+|BCC+|SUBJ+||SAC|28|,|SMS+ ||28|"),
    };
}

QVector<ServiceProvider> LoadProviders(const QString& dataPath) {
    QStringList lines;
    const QString path = CaseBlindPath(dataPath, QStringLiteral("isp.dat"));
    bool ok = false;
    if (QFileInfo(path).isFile())
        lines = ReadIndexLines(path, &ok);
    // Only the current layout is read; anything else (older layouts) falls back to the defaults.
    if (!ok || lines.isEmpty() || lines.first().trimmed() != QLatin1String("VERSION 116"))
        lines = DefaultProviderLines();
    else
        lines.removeFirst();
    QVector<ServiceProvider> providers;
    for (const QString& line : std::as_const(lines))
        if (!line.trimmed().isEmpty())
            providers << ServiceProvider::fromLine(line);
    return providers;
}

const ServiceProvider* FindProvider(const QVector<ServiceProvider>& providers, const QString& name) {
    const QString wanted = name.trimmed();
    for (const ServiceProvider& p : providers)
        if (p.name().trimmed() == wanted)
            return &p;
    return nullptr;
}

} // namespace tessaro
