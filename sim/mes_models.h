#pragma once

#include <QString>
#include <QStringList>

namespace tessaro::sim {

// How the unit answers "se -m ALL_OCEANS".
enum class AlertLesLayout { None, AlertLes, LandMobile, LesIds };

// One kind of transceiver: the identity it reports and the reply variants that differ between families.
struct MesModel {
    QString key;            // option value, e.g. "larch-c"
    QString description;    // one line for --help and the README
    QString softwareBanner; // "st -v"
    QString hardware;       // "Hardware type" of "st -i"
    QString terminalClass;  // "Terminal class" of "st -i"
    QString swVersion;      // "st -w" software version, "nn.nn"
    QString minicVersion;   // "ver" CPU line, "n.nn"
    int family = 5;         // 1 Alder, 2 Birch, 3 Elm, 4 Cedar, 5 Larch
    bool landMobile = false;
    bool dosListing = false;       // "ls" with a " bytes free" summary instead of the long layout
    bool messageReporting = true;  // "rs"; otherwise "INFO 999:"
    bool distressTest = true;      // "se -q"; otherwise "NOT implemented"
    bool distressGenerator = true; // "se -g"
    bool currentLesLabel = true;   // "Current LES/NCS Id:" rather than "LES/NCS Id        :"
    bool fixedPositions = true;    // "fx"; otherwise ERROR 120
    bool spareNavareas = true;     // "se -sn" lists four spare NAVAREAs
    bool positionReports = true;   // "pg"
    AlertLesLayout alertLayout = AlertLesLayout::AlertLes;
};

const QList<MesModel>& allModels();
// nullptr when the key is unknown (compared without case).
const MesModel* findModel(const QString& key);
QStringList modelKeys();

} // namespace tessaro::sim
