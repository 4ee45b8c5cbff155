#pragma once

#include <QColor>
#include <QObject>
#include <QPalette>

namespace tessaro {

class CConfiguration;

// Night mode: a dark palette for the whole program, dimmed in three steps, so that the screen does not
// spoil the watch's night vision. Kept in the settings store ("Settings"/"NightMode" and "NightDim").
struct NightSettings {
    bool on = false;
    int dim = 0; // 0 dark, 1 darker, 2 darkest
    bool operator==(const NightSettings&) const = default;
};
inline constexpr int kNightDimSteps = 3;

NightSettings LoadNightSettings(CConfiguration& config);
void SaveNightSettings(CConfiguration& config, const NightSettings& night);

// Share of full brightness at a dim step (1.0 in the day).
double NightBrightness(const NightSettings& night);
// A colour as night mode shows it: its brightness scaled down; unchanged in the day.
QColor ForNight(const QColor& colour, const NightSettings& night);
// The dark palette of a dim step.
QPalette NightPalette(int dim);

// Applies night mode to the application (palette) and tells the windows that paint their own colours.
class NightMode final : public QObject {
    Q_OBJECT
public:
    explicit NightMode(CConfiguration& config, QObject* parent = nullptr);
    const NightSettings& settings() const { return m_settings; }
    void setOn(bool on);
    void setDim(int dim);
    // Puts the stored choice on screen (at start).
    void apply();

Q_SIGNALS:
    void changed(const tessaro::NightSettings& settings);

private:
    void change(const NightSettings& next);
    CConfiguration& m_config;
    NightSettings m_settings;
};

} // namespace tessaro
