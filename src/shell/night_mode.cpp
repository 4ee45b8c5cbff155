#include "shell/night_mode.h"

#include "config/configuration.h"
#include "config/text_util.h"

#include <QApplication>

#include <algorithm>

namespace tessaro {

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kOnKey = QStringLiteral("NightMode");
const QString kDimKey = QStringLiteral("NightDim");

// The palette the program started with (the desktop's own, maybe a themed one): what day mode returns to.
const QPalette& dayPalette() {
    static const QPalette palette = QApplication::palette();
    return palette;
}

QColor scaled(int r, int g, int b, double f) {
    return QColor(int(r * f), int(g * f), int(b * f));
}
} // namespace

NightSettings LoadNightSettings(CConfiguration& config) {
    NightSettings s;
    s.on = Val(config.GetSettingValue(kSection, kOnKey, QStringLiteral("0"))) == 1;
    s.dim = std::clamp(int(Val(config.GetSettingValue(kSection, kDimKey, QStringLiteral("0")))), 0, kNightDimSteps - 1);
    return s;
}

void SaveNightSettings(CConfiguration& config, const NightSettings& night) {
    config.SaveSettingValue(kSection, kOnKey, night.on ? QStringLiteral("1") : QStringLiteral("0"));
    config.SaveSettingValue(kSection, kDimKey, QString::number(night.dim));
}

double NightBrightness(const NightSettings& night) {
    if (!night.on)
        return 1.0;
    static constexpr double kSteps[kNightDimSteps] = {0.8, 0.6, 0.42};
    return kSteps[std::clamp(night.dim, 0, kNightDimSteps - 1)];
}

QColor ForNight(const QColor& colour, const NightSettings& night) {
    if (!night.on || !colour.isValid())
        return colour;
    const double f = NightBrightness(night);
    return QColor(int(colour.red() * f), int(colour.green() * f), int(colour.blue() * f), colour.alpha());
}

QPalette NightPalette(int dim) {
    const double f = NightBrightness({true, dim});
    // Warm light text on near black: blue-white light is what hurts dark-adapted eyes most.
    const QColor window = scaled(44, 42, 40, f);
    const QColor base = scaled(28, 27, 26, f);
    const QColor text = scaled(225, 205, 180, f);
    const QColor disabled = scaled(120, 110, 100, f);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, scaled(36, 35, 33, f));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, scaled(255, 120, 100, f));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Highlight, scaled(110, 60, 30, f));
    p.setColor(QPalette::HighlightedText, scaled(255, 230, 200, f));
    p.setColor(QPalette::Link, scaled(200, 150, 90, f));
    p.setColor(QPalette::Light, scaled(70, 67, 64, f));
    p.setColor(QPalette::Midlight, scaled(56, 54, 51, f));
    p.setColor(QPalette::Mid, scaled(36, 34, 32, f));
    p.setColor(QPalette::Dark, scaled(20, 19, 18, f));
    p.setColor(QPalette::Shadow, QColor(0, 0, 0));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

NightMode::NightMode(CConfiguration& config, QObject* parent)
    : QObject(parent), m_config(config), m_settings(LoadNightSettings(config)) {
    dayPalette(); // taken before night mode first changes it
}

void NightMode::setOn(bool on) {
    NightSettings next = m_settings;
    next.on = on;
    change(next);
}

void NightMode::setDim(int dim) {
    NightSettings next = m_settings;
    next.dim = std::clamp(dim, 0, kNightDimSteps - 1);
    change(next);
}

void NightMode::change(const NightSettings& next) {
    if (next == m_settings)
        return;
    m_settings = next;
    SaveNightSettings(m_config, m_settings);
    apply();
}

void NightMode::apply() {
    QApplication::setPalette(m_settings.on ? NightPalette(m_settings.dim) : dayPalette());
    Q_EMIT changed(m_settings);
}

} // namespace tessaro
