#include "shell/distress_windows.h"

#include "distress/distress_generator_service.h"
#include "messaging/les_lists.h"
#include "shell/shell_texts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

namespace tessaro {

namespace {

// Keeps only the characters of a set, upper-cased, as the operator types or pastes.
class CharacterFilter final : public QValidator {
public:
    CharacterFilter(QString allowed, QObject* parent) : QValidator(parent), m_allowed(std::move(allowed)) {}
    State validate(QString& input, int& pos) const override {
        const QString before = keep(input.left(pos));
        input = keep(input);
        pos = int(before.size());
        return Acceptable;
    }

private:
    QString keep(const QString& text) const {
        QString out;
        for (QChar c : text)
            if (m_allowed.contains(c.toUpper()))
                out += c.toUpper();
        return out;
    }
    QString m_allowed;
};

QLineEdit* filteredEdit(const char* name, const QString& allowed, int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setValidator(new CharacterFilter(allowed, edit));
    edit->setMaxLength(maxLength);
    edit->setMaximumWidth(56);
    return edit;
}

QLineEdit* digitsEdit(const char* name, int maxLength, QWidget* parent) {
    return filteredEdit(name, QStringLiteral("0123456789"), maxLength, parent);
}

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(ShellText(5427, "Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QString oceanLesLabel(int ocean) {
    switch (ocean) {
    case 0:
        return ShellText(2402, "Atlantic Ocean Region West LES");
    case 1:
        return ShellText(2401, "Atlantic Ocean Region East LES");
    case 2:
        return ShellText(2400, "Pacific Ocean Region LES");
    default:
        return ShellText(2399, "Indian Ocean Region LES");
    }
}

// Selects the entry that starts with the LES; one is added when the list lacks it.
void selectLes(QComboBox* box, const QString& les, const QString& display) {
    const QString id = les.trimmed();
    if (id.isEmpty())
        return;
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).startsWith(id)) {
            box->setCurrentIndex(i);
            return;
        }
    }
    box->addItem(display.isEmpty() ? id : display);
    box->setCurrentIndex(box->count() - 1);
}

QComboBox* landNatureBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("DistressNatureCombo"));
    for (const DistressNatureEntry& n : LandMobileNatures())
        box->addItem(GetText(n.textId, QLatin1String(n.english)));
    return box;
}

} // namespace

DistressInfoForm::DistressInfoForm(DistressGeneratorService& service, QWidget* parent)
    : QDialog(parent), m_service(service) {
    setObjectName(QStringLiteral("DistressInfoForm"));
    setWindowTitle(ShellText(5900, "Distress Info."));
    auto* layout = new QVBoxLayout(this);
    auto* first = new QLabel(
        ShellText(5901, "In case of an emergency, use the dedicated alarm panel to send a Distress Alert."), this);
    auto* second =
        new QLabel(ShellText(5902, "This does not send a Distress Alert, it only sets the distress message."), this);
    for (QLabel* l : {first, second}) {
        l->setWordWrap(true);
        layout->addWidget(l);
    }
    first->setStyleSheet(QStringLiteral("font-weight: bold"));
    auto* buttons = okCancel(this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        // Without a transceiver the service says so and nothing opens.
        m_service.OpenMaritime();
        accept();
    });
    layout->addWidget(buttons);
}

DistressGeneratorForm::DistressGeneratorForm(DistressGeneratorService& service, QWidget* parent)
    : QDialog(parent), m_service(service) {
    setObjectName(QStringLiteral("DistressGeneratorForm"));
    setWindowTitle(ShellText(5903, "Distress Generator"));
    auto* layout = new QVBoxLayout(this);

    auto* natures = new QGroupBox(ShellText(5904, "Nature of distress"), this);
    auto* natureGrid = new QGridLayout(natures);
    auto* natureGroup = new QButtonGroup(this);
    const auto& maritime = MaritimeNatures();
    for (size_t i = 0; i < maritime.size(); ++i) {
        auto* option = new QRadioButton(GetText(maritime[i].textId, QLatin1String(maritime[i].english)), natures);
        option->setObjectName(QStringLiteral("ReasonOption%1").arg(i));
        option->setProperty("tag", QString(maritime[i].letter));
        natureGroup->addButton(option, int(i));
        natureGrid->addWidget(option, int(i) % 6, int(i) / 6);
        m_reasons[i] = option;
    }
    m_reasons[0]->setChecked(true);
    layout->addWidget(natures);

    auto* position = new QGroupBox(ShellText(5905, "Position"), this);
    auto* grid = new QGridLayout(position);
    m_manual = new QRadioButton(ShellText(5910, "Enter position manually"), position);
    m_manual->setObjectName(QStringLiteral("RadioManual"));
    m_useGps = new QRadioButton(ShellText(2217, "Always use latest position from GPS"), position);
    m_useGps->setObjectName(QStringLiteral("RadioUseGPS"));
    m_manual->setChecked(true);
    grid->addWidget(m_manual, 0, 0, 1, 5);
    grid->addWidget(m_useGps, 1, 0, 1, 5);

    m_latDeg = digitsEdit("LatDegText", 2, position);
    m_latMin = digitsEdit("LatMinText", 2, position);
    m_latHund = digitsEdit("LatHundText", 2, position);
    m_northSouth = filteredEdit("NordSydText", QStringLiteral("NS"), 1, position);
    m_lonDeg = digitsEdit("LonDegText", 3, position);
    m_lonMin = digitsEdit("LonMinText", 2, position);
    m_lonHund = digitsEdit("LonHundText", 2, position);
    m_eastWest = filteredEdit("OestVestText", QStringLiteral("EW"), 1, position);
    m_hour = digitsEdit("TOPHourText", 2, position);
    m_minute = digitsEdit("TOPMinText", 2, position);
    m_course = digitsEdit("CourseText", 3, position);
    m_speed = digitsEdit("SpeedText", 3, position);

    const auto row = [&](int r, const QString& label, std::initializer_list<QWidget*> widgets) {
        grid->addWidget(new QLabel(label, position), r, 0);
        int c = 1;
        for (QWidget* w : widgets)
            grid->addWidget(w, r, c++);
    };
    row(2, ShellText(5852, "Latitude"), {m_latDeg, m_latMin, m_latHund, m_northSouth});
    row(3, ShellText(5853, "Longitude"), {m_lonDeg, m_lonMin, m_lonHund, m_eastWest});
    row(4, ShellText(5906, "Time of position (UTC)"), {m_hour, m_minute});
    row(5, ShellText(5907, "Course (degrees true)"), {m_course});
    row(6, ShellText(5908, "Speed (knots)"), {m_speed});
    m_updated = new QLabel(position);
    m_updated->setObjectName(QStringLiteral("UpdatedLabel"));
    grid->addWidget(m_updated, 7, 0, 1, 5);
    layout->addWidget(position);
    connect(m_useGps, &QRadioButton::toggled, this, [this] { updateEnabled(); });

    auto* lesBox = new QGroupBox(ShellText(5909, "Land Earth Station to alert"), this);
    auto* lesForm = new QFormLayout(lesBox);
    for (int k = 0; k < 4; ++k) {
        auto* box = new QComboBox(lesBox);
        box->setObjectName(QStringLiteral("DistressLesList%1").arg(k));
        box->addItem(ShellText(5911, "Please choose LES"));
        for (const LesTableEntry& e : ReadLesTable(service.dataPath(), k))
            box->addItem(e.displayText());
        selectLes(box, service.distressLes(k), {});
        lesForm->addRow(oceanLesLabel(k), box);
        m_les[size_t(k)] = box;
    }
    layout->addWidget(lesBox);

    auto* buttons = okCancel(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DistressGeneratorForm::onOk);
    layout->addWidget(buttons);

    showValues(service.values());
    connect(&service, &DistressGeneratorService::valuesChanged, this, &DistressGeneratorForm::showValues);
    connect(&service, &DistressGeneratorService::closeGeneratorWindow, this, &QDialog::reject);
}

void DistressGeneratorForm::showValues(const DistressGeneratorValues& v) {
    const int nature = MaritimeNatureIndex(v.Nature);
    if (nature >= 0)
        m_reasons[size_t(nature)]->setChecked(true);
    if (v.Position.size() == 8) {
        QLineEdit* edits[] = {m_latDeg, m_latMin, m_latHund, m_northSouth, m_lonDeg, m_lonMin, m_lonHund, m_eastWest};
        for (int i = 0; i < 8; ++i)
            edits[i]->setText(v.Position.at(i));
    }
    m_hour->setText(v.Hour);
    m_minute->setText(v.Minute);
    m_course->setText(QString::number(v.Course));
    m_speed->setText(QString::number(v.Speed));
    m_updated->setText(v.UpdatedAt);
    // The LES as listed: shown in its region's list, or "Please choose LES" when it is no LES number.
    const int ocean = OceanOfLes(m_service.dataPath(), v.Les);
    if (ocean >= 0)
        selectLes(m_les[size_t(ocean)], v.Les, LesDisplayText(m_service.dataPath(), ocean, v.Les));
}

MaritimeFields DistressGeneratorForm::fields() const {
    MaritimeFields f;
    f.Course = m_course->text();
    f.Speed = m_speed->text();
    f.Hour = m_hour->text();
    f.Minute = m_minute->text();
    f.LatDeg = m_latDeg->text();
    f.LatMin = m_latMin->text();
    f.LatHund = m_latHund->text();
    f.NorthSouth = m_northSouth->text();
    f.LonDeg = m_lonDeg->text();
    f.LonMin = m_lonMin->text();
    f.LonHund = m_lonHund->text();
    f.EastWest = m_eastWest->text();
    return f;
}

QChar DistressGeneratorForm::nature() const {
    for (QRadioButton* r : m_reasons)
        if (r->isChecked())
            return r->property("tag").toString().at(0);
    return u'U';
}

std::array<QString, 4> DistressGeneratorForm::lesLists() const {
    std::array<QString, 4> out;
    for (size_t k = 0; k < 4; ++k)
        out[k] = m_les[k]->currentText();
    return out;
}

void DistressGeneratorForm::updateEnabled() {
    const bool manual = !m_useGps->isChecked();
    for (QLineEdit* e : {m_latDeg, m_latMin, m_latHund, m_northSouth, m_lonDeg, m_lonMin, m_lonHund, m_eastWest, m_hour,
                         m_minute, m_course, m_speed})
        e->setEnabled(manual);
}

QLineEdit* DistressGeneratorForm::fieldEdit(MaritimeField field) const {
    switch (field) {
    case MaritimeField::Course:
        return m_course;
    case MaritimeField::Speed:
        return m_speed;
    case MaritimeField::Hour:
        return m_hour;
    case MaritimeField::Minute:
        return m_minute;
    case MaritimeField::LatDeg:
        return m_latDeg;
    case MaritimeField::LatMin:
        return m_latMin;
    case MaritimeField::LatHund:
        return m_latHund;
    case MaritimeField::NorthSouth:
        return m_northSouth;
    case MaritimeField::LonDeg:
        return m_lonDeg;
    case MaritimeField::LonMin:
        return m_lonMin;
    case MaritimeField::LonHund:
        return m_lonHund;
    case MaritimeField::EastWest:
        return m_eastWest;
    case MaritimeField::None:
        break;
    }
    return nullptr;
}

void DistressGeneratorForm::onOk() {
    const GeneratorApplyResult r = m_service.ApplyMaritime(m_useGps->isChecked(), nature(), fields(), lesLists());
    if (r.error) {
        QLineEdit* field = fieldEdit(r.error->field);
        auto* box = new QMessageBox(QMessageBox::Warning, r.errorTitle, r.error->text, QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("ValidationBox"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        if (field) {
            connect(box, &QMessageBox::finished, field, [field] { field->setFocus(); });
            field->setFocus();
        }
        box->open();
        return;
    }
    if (r.sent)
        accept();
}

DistressGeneratorLMForm::DistressGeneratorLMForm(DistressGeneratorService& service, QWidget* parent)
    : QDialog(parent), m_service(service) {
    setObjectName(QStringLiteral("DistressGeneratorLMForm"));
    setWindowTitle(ShellText(5912, "Landmobile Distress Generator"));
    auto* form = new QFormLayout(this);
    m_landStation = new QComboBox(this);
    m_landStation->setObjectName(QStringLiteral("LandStationCombo"));
    for (int k = 0; k < 4; ++k)
        for (const LesTableEntry& e : ReadLesTable(service.dataPath(), k))
            m_landStation->addItem(e.displayText());
    m_nature = landNatureBox(this);
    form->addRow(ShellText(5913, "Land station :"), m_landStation);
    form->addRow(ShellText(2398, "Distress nature :"), m_nature);
    auto* buttons = okCancel(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DistressGeneratorLMForm::onOk);
    form->addRow(buttons);
    showParameters(service.alertParameters());
    connect(&service, &DistressGeneratorService::alertParametersRead, this, &DistressGeneratorLMForm::showParameters);
}

void DistressGeneratorLMForm::showParameters(const AlertParameters& p) {
    if (!p.landStation.isEmpty()) {
        const int ocean = OceanOfLes(m_service.dataPath(), p.landStation);
        selectLes(m_landStation, p.landStation,
                  ocean < 0 ? p.landStation : LesDisplayText(m_service.dataPath(), ocean, p.landStation));
    }
    if (p.natureIndex)
        m_nature->setCurrentIndex(*p.natureIndex);
}

void DistressGeneratorLMForm::onOk() {
    if (m_service.ApplyLandMobile(m_landStation->currentText(), m_nature->currentIndex()))
        accept();
}

Option112Form::Option112Form(DistressGeneratorService& service, QWidget* parent) : QDialog(parent), m_service(service) {
    setObjectName(QStringLiteral("Option112Form"));
    setWindowTitle(ShellText(2397, "Landmobile Alert Settings"));
    auto* form = new QFormLayout(this);
    static const char* const kNames[] = {"AORWCombo", "AORECombo", "PORCombo", "IORCombo"};
    for (int k = 0; k < 4; ++k) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(kNames[k]));
        box->addItem(QStringLiteral("000, None"));
        for (const LesTableEntry& e : ReadLesTable(service.dataPath(), k))
            box->addItem(e.displayText());
        form->addRow(oceanLesLabel(k), box);
        m_les[size_t(k)] = box;
    }
    m_nature = landNatureBox(this);
    form->addRow(ShellText(2398, "Distress nature :"), m_nature);
    auto* buttons = okCancel(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &Option112Form::onOk);
    form->addRow(buttons);
    showAlertLes(service.alertLes());
    showParameters(service.alertParameters());
    connect(&service, &DistressGeneratorService::alertParametersRead, this, &Option112Form::showParameters);
    connect(&service, &DistressGeneratorService::alertLesRead, this, &Option112Form::showAlertLes);
}

void Option112Form::showParameters(const AlertParameters& p) {
    if (p.natureIndex)
        m_nature->setCurrentIndex(*p.natureIndex);
}

void Option112Form::showAlertLes(const std::array<QString, 4>& les) {
    for (int k = 0; k < 4; ++k)
        selectLes(m_les[size_t(k)], les[size_t(k)], LesDisplayText(m_service.dataPath(), k, les[size_t(k)]));
}

void Option112Form::onOk() {
    std::array<QString, 4> boxes;
    for (size_t k = 0; k < 4; ++k)
        boxes[k] = m_les[k]->currentText();
    if (m_service.ApplyAlertSettings(boxes, m_nature->currentIndex()))
        accept();
}

void ConnectDistressWindows(DistressGeneratorService& service, QWidget* parent) {
    const auto open = [parent](QDialog* dialog) {
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->open();
    };
    QObject::connect(&service, &DistressGeneratorService::showGeneratorWindow, parent,
                     [&service, parent, open] { open(new DistressGeneratorForm(service, parent)); });
    QObject::connect(&service, &DistressGeneratorService::showLandMobileWindow, parent,
                     [&service, parent, open] { open(new DistressGeneratorLMForm(service, parent)); });
    QObject::connect(&service, &DistressGeneratorService::showAlertSettingsWindow, parent,
                     [&service, parent, open] { open(new Option112Form(service, parent)); });
}

} // namespace tessaro
