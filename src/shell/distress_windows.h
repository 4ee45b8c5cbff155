#pragma once

#include "distress/distress_generator.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tessaro {

class DistressGeneratorService;

// The warning shown before the distress generator's set-up. OK asks the service to read the generator;
// the set-up window opens once the values are in (ConnectDistressWindows).
class DistressInfoForm final : public QDialog {
    Q_OBJECT
public:
    DistressInfoForm(DistressGeneratorService& service, QWidget* parent = nullptr);

private:
    DistressGeneratorService& m_service;
};

// The maritime set-up of the distress generator: nature, position, time of position, course, speed, the
// LES of every ocean region, or the latest GPS position. The controls carry their established names as
// object names.
class DistressGeneratorForm final : public QDialog {
    Q_OBJECT
public:
    DistressGeneratorForm(DistressGeneratorService& service, QWidget* parent = nullptr);

    // Shows the values as last read.
    void showValues(const DistressGeneratorValues& values);
    MaritimeFields fields() const;
    QChar nature() const;
    std::array<QString, 4> lesLists() const;

private:
    void onOk();
    void updateEnabled();
    QLineEdit* fieldEdit(MaritimeField field) const;

    DistressGeneratorService& m_service;
    std::array<QRadioButton*, 11> m_reasons{};
    QLineEdit* m_latDeg;
    QLineEdit* m_latMin;
    QLineEdit* m_latHund;
    QLineEdit* m_northSouth;
    QLineEdit* m_lonDeg;
    QLineEdit* m_lonMin;
    QLineEdit* m_lonHund;
    QLineEdit* m_eastWest;
    QLineEdit* m_hour;
    QLineEdit* m_minute;
    QLineEdit* m_course;
    QLineEdit* m_speed;
    QLabel* m_updated;
    QRadioButton* m_useGps;
    QRadioButton* m_manual;
    std::array<QComboBox*, 4> m_les{};
};

// The land-mobile distress generator: land station and nature.
class DistressGeneratorLMForm final : public QDialog {
    Q_OBJECT
public:
    DistressGeneratorLMForm(DistressGeneratorService& service, QWidget* parent = nullptr);
    void showParameters(const AlertParameters& parameters);

private:
    void onOk();

    DistressGeneratorService& m_service;
    QComboBox* m_landStation;
    QComboBox* m_nature;
};

// The land-mobile alert settings: the alert LES of every ocean region and the nature.
class Option112Form final : public QDialog {
    Q_OBJECT
public:
    Option112Form(DistressGeneratorService& service, QWidget* parent = nullptr);
    void showParameters(const AlertParameters& parameters);
    void showAlertLes(const std::array<QString, 4>& les);

private:
    void onOk();

    DistressGeneratorService& m_service;
    std::array<QComboBox*, 4> m_les{};
    QComboBox* m_nature;
};

// Opens the set-up windows (window-modal, deleted on close) each time the service has read what they show.
void ConnectDistressWindows(DistressGeneratorService& service, QWidget* parent);

} // namespace tessaro
