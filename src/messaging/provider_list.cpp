#include "messaging/provider_list.h"

#include "config/strings.h"
#include "messaging/les_lists.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

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

QString ServiceProvider::line() const {
    QStringList all = fields.mid(0, kFieldCount);
    while (all.size() < kFieldCount)
        all << QString();
    return all.join(QLatin1Char('|'));
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

QVector<ServiceProvider> DefaultProviders() {
    QVector<ServiceProvider> out;
    for (const QString& line : DefaultProviderLines())
        out << ServiceProvider::fromLine(line);
    return out;
}

QByteArray ProviderFileBytes(const QVector<ServiceProvider>& providers) {
    QByteArray bytes = QByteArray(kProviderFileVersion.data(), kProviderFileVersion.size()) + "\r\n";
    for (const ServiceProvider& p : providers)
        bytes += (p.line() + kCrLf).toLatin1();
    return bytes;
}

namespace {

QString ispPath(const QString& dataPath) {
    return CaseBlindPath(dataPath, QStringLiteral("isp.dat"));
}

// The file's lines, or nothing when it cannot be read; does not create a missing file.
std::optional<QStringList> readLines(const QString& path) {
    QString text;
    if (!QFileInfo(path).isFile() || !ReadWholeFile(path, &text))
        return std::nullopt;
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        line = StripLineEnds(line);
    return lines;
}

} // namespace

ProviderFileState ReadProviderFileState(const QString& dataPath) {
    const QString path = ispPath(dataPath);
    if (!QFileInfo::exists(path))
        return ProviderFileState::Missing;
    const std::optional<QStringList> lines = readLines(path);
    if (!lines)
        return ProviderFileState::Unreadable;
    // The version is read like any number of the terminal: "VERSION 116" and "version 0116" agree.
    const QString first = lines->value(0).trimmed();
    if (first.startsWith(QLatin1String("VERSION"), Qt::CaseInsensitive) && Val(first.mid(7).trimmed()) == 116)
        return ProviderFileState::Current;
    return ProviderFileState::OtherVersion;
}

bool ReadProviders(const QString& dataPath, QVector<ServiceProvider>* providers) {
    providers->clear();
    if (ReadProviderFileState(dataPath) != ProviderFileState::Current)
        return false;
    const std::optional<QStringList> lines = readLines(ispPath(dataPath));
    if (!lines)
        return false;
    for (const QString& line : lines->mid(1))
        if (!line.trimmed().isEmpty())
            *providers << ServiceProvider::fromLine(line);
    return true;
}

bool SaveProviders(const QString& dataPath, const QVector<ServiceProvider>& providers, FileError* error) {
    return WriteWholeFile(ispPath(dataPath), ProviderFileBytes(providers), error);
}

bool ReplaceProvidersWithDefaults(const QString& dataPath, QString* keptAs, FileError* error) {
    const QString path = ispPath(dataPath);
    if (QFileInfo::exists(path)) {
        QString copy = path + QStringLiteral(".old");
        for (int n = 2; QFileInfo::exists(copy); ++n)
            copy = path + QStringLiteral(".old") + QString::number(n);
        if (!QFile::copy(path, copy)) {
            if (error)
                *error = {0, QStringLiteral("isp.dat could not be copied to %1").arg(copy)};
            return false;
        }
        if (keptAs)
            *keptAs = copy;
    }
    return SaveProviders(dataPath, DefaultProviders(), error);
}

QString ProviderNameProblem(const QVector<ServiceProvider>& providers, const QString& name) {
    if (name.trimmed().isEmpty())
        return GetText(6400, QStringLiteral("Please enter a provider name."));
    if (FindProvider(providers, name))
        return GetText(6401, QStringLiteral("Provider Name already exists. Please choose another name"));
    return {};
}

QString ProviderFieldsProblem(const ServiceProvider& provider) {
    for (const QString& f : provider.fields)
        if (f.contains(QLatin1Char('|')) || f.contains(QLatin1Char('\r')) || f.contains(QLatin1Char('\n')))
            return GetText(6402, QStringLiteral("A provider field may not hold the character | or a line break."));
    for (int ocean = 0; ocean < 4; ++ocean) {
        const QString les = provider.les(ocean);
        if (!les.isEmpty() && !IsLesOfOcean(les, ocean))
            return FormatText(GetText(6403, QStringLiteral("The LES %0 '%1' must be three digits starting with %2, "
                                                           "or empty.")),
                              {OceanLabel(ocean), les, QString::number(ocean)});
    }
    return {};
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
