#include "shell/egc_setup_dialog.h"

#include "egc/egc_setup_service.h"
#include "shell/shell_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace tessaro {

namespace {

// Keeps what the filter keeps, as the operator types or pastes, with the cursor after the same characters.
class FilterValidator final : public QValidator {
public:
    using Filter = QString (*)(const QString&);
    FilterValidator(Filter filter, QObject* parent) : QValidator(parent), m_filter(filter) {}
    State validate(QString& input, int& pos) const override {
        pos = int(m_filter(input.left(pos)).size());
        input = m_filter(input);
        return Acceptable;
    }

private:
    Filter m_filter;
};

// A switch the transceiver reported with a value other than 0 and 1 shows as undecided and sends nothing
// until the operator clicks it.
QCheckBox* switchBox(const QString& caption, const char* name, int value, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    if (value == kSwitchOn || value == kSwitchOff) {
        box->setChecked(value == kSwitchOn);
    } else {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        QObject::connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    }
    return box;
}

int switchValue(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return kSwitchOn;
    case Qt::Unchecked:
        return kSwitchOff;
    default:
        return kSwitchUnknown;
    }
}

QComboBox* hemisphereBox(QChar first, QChar second, const QString& value, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->addItems({QString(), QString(first), QString(second)});
    box->setCurrentIndex(qMax(0, box->findText(value)));
    return box;
}

QLineEdit* degreesEdit(const QString& value, int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new FilterValidator(&FilterDegrees, edit));
    edit->setMaxLength(maxLength);
    edit->setText(value);
    edit->setMaximumWidth(60);
    return edit;
}

} // namespace

EGCForm::EGCForm(const EgcSetupValues& values, EgcSetupService* service, QWidget* parent)
    : QDialog(parent), m_service(service), m_initial(values) {
    setWindowTitle(ShellText(2281, "EGC Setup"));
    auto* layout = new QVBoxLayout(this);

    m_egcOnly = switchBox(ShellText(2295, "EGC Receiver Only"), "EGCOnlyCheck", values.egcOnly, this);
    m_systemMessages = switchBox(ShellText(2293, "System Messages"), "SystemMessageCheck", values.systemMessages, this);
    m_safetyNet = switchBox(ShellText(2292, "SafetyNET"), "SafetyNETCheck", values.safetyNet, this);
    layout->addWidget(m_egcOnly);
    layout->addWidget(m_systemMessages);
    layout->addWidget(m_safetyNet);

    m_addNavarea = new QCheckBox(ShellText(2294, "Additional NAVAREA(s) / METAREA(s)"), this);
    m_addNavarea->setObjectName(QStringLiteral("AddNavareaCheck"));
    m_addNavarea->setChecked(values.addNavarea);
    layout->addWidget(m_addNavarea);
    auto* navareaRow = new QHBoxLayout;
    for (int i = 0; i < kNavareaBoxes; ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("AdditionalNAVAREACombo%1").arg(i));
        box->addItem(ShellText(2947, "None"), 0);
        for (int area = kFirstNavarea; area <= kLastNavarea; ++area)
            box->addItem(QString::number(area), area);
        const int area = values.navareas[std::size_t(i)];
        if (box->findData(area) < 0)
            box->addItem(QString::number(area), area); // an area the list does not know is still shown as read
        box->setCurrentIndex(box->findData(area));
        m_navareas[std::size_t(i)] = box;
        navareaRow->addWidget(box);
    }
    navareaRow->addStretch();
    layout->addLayout(navareaRow);
    connect(m_addNavarea, &QCheckBox::clicked, this, &EGCForm::UpdateEGCForm);

    auto* areasRow = new QHBoxLayout;
    m_coastalAreas = new QLineEdit(this);
    m_coastalAreas->setObjectName(QStringLiteral("CoastalWarningAreasText"));
    m_coastalAreas->setValidator(new FilterValidator(&FilterCoastalAreas, m_coastalAreas));
    m_coastalAreas->setMaxLength(26);
    m_coastalAreas->setText(values.coastalAreas);
    areasRow->addWidget(new QLabel(ShellText(2303, "Coastal Warning Areas [A..Z]:"), this));
    areasRow->addWidget(m_coastalAreas);
    layout->addLayout(areasRow);

    static const std::array<std::pair<int, const char*>, kSubjectCount> subjectCaptions = {{
        {2291, "Navigational Warnings"},
        {2290, "Meteological Warnings"},
        {2289, "Ice Reports"},
        {2288, "Search And Rescue"},
        {2287, "Meteological Forecasts"},
        {2286, "Pilot Service"},
        {2285, "LORAN"},
        {2284, "SATNAV"},
        {2283, "Other Navaid"},
        {2282, "Additional Navigational Warnings"},
    }};
    auto* subjects = new QGroupBox(ShellText(5850, "Coastal warning subjects"), this);
    auto* subjectGrid = new QGridLayout(subjects);
    for (int i = 0; i < kSubjectCount; ++i) {
        const auto& [id, english] = subjectCaptions[std::size_t(i)];
        auto* box = new QCheckBox(ShellText(id, english), subjects);
        box->setObjectName(QStringLiteral("SubjectCheck") + QLatin1Char(kSubjectLetters[std::size_t(i)]));
        box->setChecked(values.subjects[std::size_t(i)]);
        m_subjects[std::size_t(i)] = box;
        subjectGrid->addWidget(box, i % 5, i / 5);
    }
    layout->addWidget(subjects);

    auto* fixed = new QGroupBox(ShellText(5851, "Fixed positions"), this);
    auto* fixedGrid = new QGridLayout(fixed);
    fixedGrid->addWidget(new QLabel(ShellText(5852, "Latitude"), fixed), 0, 1, 1, 2);
    fixedGrid->addWidget(new QLabel(ShellText(5853, "Longitude"), fixed), 0, 3, 1, 2);
    static const std::array<std::pair<int, const char*>, kFixedPositionRows> rowCaptions = {{
        {2302, "Fixed Pos. 1:"},
        {2301, "Fixed Pos. 2:"},
        {2300, "Fixed Pos. 3:"},
        {2299, "Fixed Pos. 4:"},
        {2298, "Fixed Pos. 5:"},
    }};
    for (int i = 0; i < kFixedPositionRows; ++i) {
        const FixedPositionRow& v = values.fixedPositions[std::size_t(i)];
        FixedRow& r = m_fixed[std::size_t(i)];
        r.latDegrees = degreesEdit(v.latDegrees, 2, fixed);
        r.latHemisphere = hemisphereBox(u'N', u'S', v.latHemisphere, fixed);
        r.lonDegrees = degreesEdit(v.lonDegrees, 3, fixed);
        r.lonHemisphere = hemisphereBox(u'E', u'W', v.lonHemisphere, fixed);
        r.latDegrees->setObjectName(QStringLiteral("FixLatDegText%1").arg(i));
        r.latHemisphere->setObjectName(QStringLiteral("FixLatCombo%1").arg(i));
        r.lonDegrees->setObjectName(QStringLiteral("FixLonDegText%1").arg(i));
        r.lonHemisphere->setObjectName(QStringLiteral("FixLonCombo%1").arg(i));
        const auto& [id, english] = rowCaptions[std::size_t(i)];
        fixedGrid->addWidget(new QLabel(ShellText(id, english), fixed), i + 1, 0);
        fixedGrid->addWidget(r.latDegrees, i + 1, 1);
        fixedGrid->addWidget(r.latHemisphere, i + 1, 2);
        fixedGrid->addWidget(r.lonDegrees, i + 1, 3);
        fixedGrid->addWidget(r.lonHemisphere, i + 1, 4);
        for (QWidget* w : {static_cast<QWidget*>(r.latDegrees), static_cast<QWidget*>(r.latHemisphere),
                           static_cast<QWidget*>(r.lonDegrees), static_cast<QWidget*>(r.lonHemisphere)})
            w->setEnabled(values.fixedPositionsSupported);
    }
    layout->addWidget(fixed);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(ShellText(5427, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &EGCForm::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    UpdateEGCForm();
}

void EGCForm::UpdateEGCForm() {
    const bool editable = m_addNavarea->isChecked();
    for (int i = 0; i < kNavareaBoxes; ++i) {
        QComboBox* box = m_navareas[std::size_t(i)];
        box->setHidden(i > 0 && !m_initial.support4ExtraNavAreas);
        box->setEnabled(editable);
    }
}

EgcSetupValues EGCForm::values() const {
    EgcSetupValues v = m_initial;
    v.egcOnly = switchValue(m_egcOnly);
    v.systemMessages = switchValue(m_systemMessages);
    v.safetyNet = switchValue(m_safetyNet);
    v.addNavarea = m_addNavarea->isChecked();
    for (int i = 0; i < kNavareaBoxes; ++i)
        v.navareas[std::size_t(i)] = m_navareas[std::size_t(i)]->currentData().toInt();
    v.coastalAreas = FilterCoastalAreas(m_coastalAreas->text());
    for (int i = 0; i < kSubjectCount; ++i)
        v.subjects[std::size_t(i)] = m_subjects[std::size_t(i)]->isChecked();
    for (int i = 0; i < kFixedPositionRows; ++i) {
        const FixedRow& r = m_fixed[std::size_t(i)];
        v.fixedPositions[std::size_t(i)] = {r.latDegrees->text(), r.latHemisphere->currentText(), r.lonDegrees->text(),
                                            r.lonHemisphere->currentText()};
    }
    return v;
}

void EGCForm::onOk() {
    const EgcSetupValues v = values();
    if (const auto error = ValidateFixedPositions(v.fixedPositions)) {
        const FixedRow& r = m_fixed[std::size_t(error->row)];
        QLineEdit* field = error->field == FixedPositionError::Field::LatitudeDegrees ? r.latDegrees : r.lonDegrees;
        auto* box = new QMessageBox(QMessageBox::Warning, error->title, error->text, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        connect(box, &QMessageBox::finished, field, [field] { field->setFocus(); });
        box->open();
        field->setFocus();
        return;
    }
    if (m_service && !m_service->ApplySetup(v).accepted)
        return;
    Q_EMIT applied(v);
    accept();
}

void ShowEgcSetupWhenReady(EgcSetupService& service, QWidget* parent) {
    QObject::connect(&service, &EgcSetupService::setupReady, parent, [&service, parent](const EgcSetupValues& v) {
        auto* form = new EGCForm(v, &service, parent);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->show();
    });
}

} // namespace tessaro
