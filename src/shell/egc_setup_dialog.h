#pragma once

#include "egc/egc_setup.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tessaro {

class EgcSetupService;

// The EGC set-up window: the receiver switches, the additional NAVAREAs, the coastal warning areas and
// subjects and the five fixed positions. OK validates the fixed positions (the window stays open on an
// error, with the field in error focused) and hands the values to the service, which sends them.
// The controls carry their established names as object names.
class EGCForm final : public QDialog {
    Q_OBJECT
public:
    // service may be null: OK then only validates and emits applied().
    EGCForm(const EgcSetupValues& values, EgcSetupService* service, QWidget* parent = nullptr);

    EgcSetupValues values() const;
    // NAVAREA boxes: the first is always shown, the other three only on units with four spare areas;
    // they can be changed only while the additional NAVAREA box is ticked.
    void UpdateEGCForm();

Q_SIGNALS:
    void applied(const tessaro::EgcSetupValues& values);

private:
    struct FixedRow {
        QLineEdit* latDegrees = nullptr;
        QComboBox* latHemisphere = nullptr;
        QLineEdit* lonDegrees = nullptr;
        QComboBox* lonHemisphere = nullptr;
    };
    void onOk();

    EgcSetupService* m_service;
    EgcSetupValues m_initial;
    QCheckBox* m_egcOnly;
    QCheckBox* m_systemMessages;
    QCheckBox* m_safetyNet;
    QCheckBox* m_addNavarea;
    std::array<QComboBox*, kNavareaBoxes> m_navareas{};
    QLineEdit* m_coastalAreas;
    std::array<QCheckBox*, kSubjectCount> m_subjects{};
    std::array<FixedRow, kFixedPositionRows> m_fixed{};
};

// Opens an EGCForm (modeless, deleted on close) each time the service has read the settings.
void ShowEgcSetupWhenReady(EgcSetupService& service, QWidget* parent);

} // namespace tessaro
