#include "shell/window_geometry.h"

#include "config/configuration.h"
#include "config/text_util.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QWidget>

namespace tessaro {

namespace {
QString value(CConfiguration& config, const QString& section, const char* key) {
    return config.GetSettingValue(section, QLatin1String(key));
}
} // namespace

void RestoreWindowGeometry(QWidget& window, CConfiguration& config, const QString& section) {
    const QString w = value(config, section, "Width");
    const QString h = value(config, section, "Height");
    if (!IsNumeric(w) || !IsNumeric(h) || Val(w) < 100 || Val(h) < 100)
        return;
    QRect r(int(Val(value(config, section, "Left"))), int(Val(value(config, section, "Top"))), int(Val(w)),
            int(Val(h)));
    bool visible = false;
    for (const QScreen* s : QGuiApplication::screens())
        visible = visible || s->availableGeometry().intersects(r);
    if (!visible && QGuiApplication::primaryScreen())
        r.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    window.resize(r.size());
    window.move(r.topLeft());
    const qint64 state = Val(value(config, section, "WindowState"));
    if (state == 2)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void SaveWindowGeometry(const QWidget& window, CConfiguration& config, const QString& section) {
    // The normal geometry, so that a maximised window comes back to a sensible size when restored.
    const QRect r = window.isMaximized() || window.isMinimized() ? window.normalGeometry() : window.geometry();
    config.SaveSettingValue(section, QStringLiteral("Left"), QString::number(r.x()));
    config.SaveSettingValue(section, QStringLiteral("Top"), QString::number(r.y()));
    config.SaveSettingValue(section, QStringLiteral("Width"), QString::number(r.width()));
    config.SaveSettingValue(section, QStringLiteral("Height"), QString::number(r.height()));
    const int state = window.isMinimized() ? 1 : window.isMaximized() ? 2 : 0;
    config.SaveSettingValue(section, QStringLiteral("WindowState"), QString::number(state));
}

namespace {
QStringList applyWidths(QHeaderView& header, const QString& stored, QChar separator) {
    const QStringList widths = stored.split(separator, Qt::SkipEmptyParts);
    for (int i = 0; i < widths.size() && i < header.count(); ++i) {
        const qint64 w = Val(widths[i]);
        if (w >= 10 && w <= 2000)
            header.resizeSection(i, int(w));
    }
    return widths;
}

QString joinedWidths(const QHeaderView& header, QChar separator) {
    QStringList widths;
    for (int i = 0; i < header.count(); ++i)
        widths << QString::number(header.sectionSize(i));
    return widths.join(separator);
}
} // namespace

bool RestoreGridWidths(QHeaderView& header, CConfiguration& config, const QString& section, const QString& key,
                       QChar separator) {
    return !applyWidths(header, config.GetSettingValue(section, key), separator).isEmpty();
}

void SaveGridWidths(const QHeaderView& header, CConfiguration& config, const QString& section, const QString& key,
                    QChar separator) {
    config.SaveSettingValue(section, key, joinedWidths(header, separator));
}

bool RestoreColumnWidths(QHeaderView& header, CConfiguration& config, const QString& section) {
    const QStringList widths = applyWidths(header, value(config, section, "ColumnWidths"), u',');
    const QString sortColumn = value(config, section, "SortColumn");
    if (IsNumeric(sortColumn) && Val(sortColumn) < header.count())
        header.setSortIndicator(int(Val(sortColumn)), Val(value(config, section, "SortOrder")) == 1
                                                          ? Qt::DescendingOrder
                                                          : Qt::AscendingOrder);
    return !widths.isEmpty();
}

void SaveColumnWidths(const QHeaderView& header, CConfiguration& config, const QString& section) {
    config.SaveSettingValue(section, QStringLiteral("ColumnWidths"), joinedWidths(header, u','));
    config.SaveSettingValue(section, QStringLiteral("SortColumn"), QString::number(header.sortIndicatorSection()));
    config.SaveSettingValue(section, QStringLiteral("SortOrder"),
                            header.sortIndicatorOrder() == Qt::DescendingOrder ? QStringLiteral("1")
                                                                               : QStringLiteral("0"));
}

} // namespace tessaro
