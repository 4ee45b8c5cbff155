#include "mes_models.h"

namespace tessaro::sim {

namespace {

MesModel oldFamily(QString key, QString description, QString banner, QString hardware, QString cls, int family) {
    MesModel m;
    m.key = std::move(key);
    m.description = std::move(description);
    m.softwareBanner = std::move(banner);
    m.hardware = std::move(hardware);
    m.terminalClass = std::move(cls);
    m.swVersion = QStringLiteral("3.02");
    m.minicVersion = QStringLiteral("1.02");
    m.family = family;
    m.dosListing = true;
    m.messageReporting = false;
    m.fixedPositions = false;
    m.spareNavareas = false;
    m.positionReports = false;
    m.currentLesLabel = false;
    m.alertLayout = AlertLesLayout::None;
    return m;
}

MesModel newFamily(QString key, QString description, QString hardware, QString cls, int family) {
    MesModel m;
    m.key = std::move(key);
    m.description = std::move(description);
    m.softwareBanner = QStringLiteral("Mini-C terminal software, version 4.12, built 13-03-01");
    m.hardware = std::move(hardware);
    m.terminalClass = std::move(cls);
    m.swVersion = QStringLiteral("4.12");
    m.minicVersion = QStringLiteral("1.05");
    m.family = family;
    return m;
}

QList<MesModel> buildModels() {
    QList<MesModel> list;
    // Old maritime unit: the banner the program recognises as the oldest software.
    list << oldFamily(QStringLiteral("alder-ab"), QStringLiteral("old maritime unit (Inmarsat-C Software banner)"),
                      QStringLiteral("Inmarsat-C Software, version 3.02"), QStringLiteral("Standard-C transceiver"),
                      QStringLiteral("Maritime"), 1);
    MesModel birch = oldFamily(QStringLiteral("birch-c"), QStringLiteral("older land-mobile unit"),
                               QStringLiteral("Mini-C terminal software, version 3.10"),
                               QStringLiteral("Standard-C transceiver"), QStringLiteral("Landmobile"), 2);
    birch.landMobile = true;
    birch.distressTest = false;
    birch.distressGenerator = false;
    list << birch;
    MesModel elm = oldFamily(QStringLiteral("elm-a"), QStringLiteral("aeronautical unit"),
                             QStringLiteral("Mini-C terminal software, version 3.20"),
                             QStringLiteral("Standard-C transceiver"), QStringLiteral("Aeronautical (Aero)"), 3);
    elm.distressTest = false;
    elm.distressGenerator = false;
    list << elm;

    MesModel cedarL = newFamily(QStringLiteral("cedar-l"), QStringLiteral("Cedar land-mobile unit"),
                                QStringLiteral("CedarL"), QStringLiteral("Landmobile"), 4);
    cedarL.landMobile = true;
    cedarL.alertLayout = AlertLesLayout::LandMobile;
    list << cedarL;
    list << newFamily(QStringLiteral("cedar-m"), QStringLiteral("Cedar maritime unit, non-SOLAS"),
                      QStringLiteral("CedarM"), QStringLiteral("Maritime, non-SOLAS"), 4);
    list << newFamily(QStringLiteral("cedar-m-ssas"), QStringLiteral("Cedar maritime unit with SSAS"),
                      QStringLiteral("CedarM SSAS"), QStringLiteral("Maritime, ship security alert"), 4);
    list << newFamily(QStringLiteral("cedar-c"), QStringLiteral("Cedar maritime unit, SOLAS"), QStringLiteral("CedarC"),
                      QStringLiteral("Maritime, SOLAS compliant"), 4);

    MesModel larchL = newFamily(QStringLiteral("larch-l"), QStringLiteral("Larch land-mobile unit"),
                                QStringLiteral("LarchL"), QStringLiteral("Landmobile"), 5);
    larchL.landMobile = true;
    larchL.alertLayout = AlertLesLayout::LandMobile;
    list << larchL;
    list << newFamily(QStringLiteral("larch-m"), QStringLiteral("Larch maritime unit, non-SOLAS"),
                      QStringLiteral("LarchM"), QStringLiteral("Maritime, non-SOLAS"), 5);
    list << newFamily(QStringLiteral("larch-m-ssas"), QStringLiteral("Larch maritime unit with SSAS"),
                      QStringLiteral("LarchM SSAS"), QStringLiteral("Maritime, ship security alert"), 5);
    list << newFamily(QStringLiteral("larch-c"), QStringLiteral("Larch maritime unit, SOLAS (default)"),
                      QStringLiteral("LarchC"), QStringLiteral("Maritime, SOLAS compliant"), 5);
    list << newFamily(QStringLiteral("larch-d"), QStringLiteral("Larch maritime unit with distress, non-SOLAS"),
                      QStringLiteral("LarchD"), QStringLiteral("Maritime, non-SOLAS distress"), 5);
    MesModel lrit = newFamily(QStringLiteral("larch-lrit"), QStringLiteral("Larch long-range tracking unit"),
                              QStringLiteral("LarchLRIT"), QStringLiteral("Maritime, tracking"), 5);
    lrit.alertLayout = AlertLesLayout::LesIds;
    list << lrit;
    list << newFamily(QStringLiteral("larch-gd"), QStringLiteral("Larch GD unit"), QStringLiteral("LarchGD"),
                      QStringLiteral("Maritime, non-SOLAS distress"), 5);
    list << newFamily(QStringLiteral("larch-gm"), QStringLiteral("Larch GM unit with SSAS"),
                      QStringLiteral("LarchGM SSAS"), QStringLiteral("Maritime, ship security alert"), 5);
    return list;
}

} // namespace

const QList<MesModel>& allModels() {
    static const QList<MesModel> models = buildModels();
    return models;
}

const MesModel* findModel(const QString& key) {
    for (const MesModel& m : allModels()) {
        if (m.key.compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return &m;
    }
    return nullptr;
}

QStringList modelKeys() {
    QStringList keys;
    for (const MesModel& m : allModels())
        keys << m.key;
    return keys;
}

} // namespace tessaro::sim
