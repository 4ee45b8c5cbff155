#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tessaro {

// One nature of distress: its letter and its caption with the resource id.
struct DistressNatureEntry {
    QChar letter;
    int textId;
    const char* english;
};

// The eleven maritime natures in the order of the window's option buttons.
const std::array<DistressNatureEntry, 11>& MaritimeNatures();
// The ten land-mobile natures in the order of the window's list.
const std::array<DistressNatureEntry, 10>& LandMobileNatures();
// -1 when the letter is not one of them.
int MaritimeNatureIndex(QChar letter);
int LandMobileNatureIndex(QChar letter);

// The generator's values as the transceiver last listed them.
struct DistressGeneratorValues {
    QString Les;          // as listed, trimmed; may be non-numeric
    QChar Nature;         // one letter
    QStringList Position; // eight pieces: lat deg, min, hund, N/S, lon deg, min, hund, E/W
    QString Hour;         // two digits
    QString Minute;       // two digits
    QString UpdatedAt;    // "Updated at: " + the time as listed
    int Course = 0;       // degrees true
    int Speed = 0;        // knots
    bool operator==(const DistressGeneratorValues&) const = default;
};

enum class GeneratorReply {
    Values,    // the listing was read
    Ignored,   // "ERROR 550": nothing changes, nothing is shown
    ErrorLine, // another error line, to be shown titled "Error"
    NotLoaded, // the listing lacks its labels
};

struct GeneratorParse {
    GeneratorReply kind = GeneratorReply::NotLoaded;
    QString errorLine;
    // The previous values with whatever the listing gave replaced.
    DistressGeneratorValues values;
};

// The reply to "se -g" (or to a set command, which lists the values too). lineEnd is the shell's line end;
// when it is not known yet, CR LF and LF are both taken as line ends.
GeneratorParse ParseDistressGenerator(const QString& reply, const QString& lineEnd,
                                      const DistressGeneratorValues& previous);

// The reply to "se -m " as the land-mobile window reads it: the land station and the nature entry.
struct AlertParameters {
    QString landStation;            // three characters, empty when the label is missing
    std::optional<int> natureIndex; // into LandMobileNatures()
};
AlertParameters ParseAlertParameters(const QString& reply);

// The reply to "se -m ALL_OCEANS" in its three layouts.
struct AlertLesParse {
    enum class Layout { None, LandMobile, AlertLes, LesIds };
    Layout layout = Layout::None;
    // Per ocean region 0..3, the value found (empty: not found; the region stays as it was). For
    // LandMobile and LesIds the text is to be shown in the settings window; for AlertLes it is a numeric
    // LES to store as the region's distress LES.
    std::array<QString, 4> les;
};
AlertLesParse ParseAlertLes(const QString& reply, const QString& lineEnd);

// The fields of the maritime window as typed.
struct MaritimeFields {
    QString Course, Speed, Hour, Minute;
    QString LatDeg, LatMin, LatHund, NorthSouth;
    QString LonDeg, LonMin, LonHund, EastWest;
};

enum class MaritimeField {
    None,
    Course,
    Speed,
    Hour,
    Minute,
    LatDeg,
    LatMin,
    LatHund,
    NorthSouth,
    LonDeg,
    LonMin,
    LonHund,
    EastWest
};

struct ValidationFailure {
    QString text;
    MaritimeField field = MaritimeField::None; // the field to get the focus
};

// The check made before the generator is set by hand. currentOcean: 0..3, anything else means not logged
// in; currentLes: the first three characters of the current region's LES list. Nothing when all is well.
std::optional<ValidationFailure> ValidateMaritimeFields(const MaritimeFields& fields, int currentOcean,
                                                        const QString& currentLes);
// The title every validation failure is shown with.
QString ValidationTitle();

// "se -g " + the fourteen values.
QString GeneratorWriteCommand(const QString& les, QChar nature, const MaritimeFields& fields);
// "se -g " + LES + nature + the fixed values that make the transceiver take the GPS position.
QString GeneratorGpsCommand(const QString& les, QChar nature);
// "se -m " + four LES identifiers of regions 0..3.
QString AlertLesCommand(const std::array<QString, 4>& les);
// The opening batch as one queued text: Cedar and Larch (families 4, 5) also read the alert LES.
QString GeneratorOpeningBatch(int productType);
// The land-mobile set as one queued text answering the "se -m ?" dialogue.
QString LandMobileSetText(const QString& landStation, QChar nature);
// The alert LES for the land-mobile settings: the first of the four that is not "000", else the last.
QString LandMobileAlertLes(const std::array<QString, 4>& les);

bool IsCedarOrLarch(int productType);

} // namespace tessaro
