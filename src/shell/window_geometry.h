#pragma once

#include <QString>

class QHeaderView;
class QWidget;

namespace tessaro {

class CConfiguration;

// Window position and size live in the settings store, one section per window: "Left", "Top", "Width",
// "Height" and "WindowState" (0 normal, 1 minimised, 2 maximised). A saved rectangle that no longer
// fits on any screen (a monitor was removed) is moved back onto the primary screen.
void RestoreWindowGeometry(QWidget& window, CConfiguration& config, const QString& section);
void SaveWindowGeometry(const QWidget& window, CConfiguration& config, const QString& section);

// Column widths of a grid as "w0,w1,..." under section/"ColumnWidths", with the sort column and order.
// Returns true when saved widths were applied.
bool RestoreColumnWidths(QHeaderView& header, CConfiguration& config, const QString& section);
void SaveColumnWidths(const QHeaderView& header, CConfiguration& config, const QString& section);

// Column widths alone as one value joined by a separator ("120:90:..."), under section/key.
bool RestoreGridWidths(QHeaderView& header, CConfiguration& config, const QString& section, const QString& key,
                       QChar separator);
void SaveGridWidths(const QHeaderView& header, CConfiguration& config, const QString& section, const QString& key,
                    QChar separator);

} // namespace tessaro
