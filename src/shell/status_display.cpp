#include "shell/status_display.h"

#include "config/text_util.h"
#include "shell/shell_texts.h"
#include "status/identity.h"
#include "status/session.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

namespace tessaro {

int SignalBars(int dbHz) {
    if (dbHz < 30)
        return 0;
    return std::min(5, 1 + (dbHz - 30) / 3);
}

StatusDisplayState ComputeStatusDisplay(const CSession& s) {
    StatusDisplayState v;
    v.mobileType = ShellText(5200, "Mobile type: ") + GetText(5230 + s.MobileType(), MobileTypeName(s.MobileType()));
    v.imn = ShellText(5004, "IMN: ") +
            (s.MobileNumber() > 0 ? QString::number(s.MobileNumber()) : ShellText(5201, "<unknown>"));
    if (s.SystemTimeSet()) {
        v.date = s.SystemTime().toString(QStringLiteral("yyyy-MM-dd"));
        v.time = s.SystemTime().toString(QStringLiteral("HH:mm")) + QStringLiteral(" UTC");
    } else {
        v.date = QStringLiteral("-");
        v.time = QStringLiteral("--:-- UTC");
    }
    if (s.MesConnected()) {
        v.signalBars = s.Syncronization() ? SignalBars(s.SignalStrength()) : 0;
        v.linkBars = s.LoggedIn() ? 3 : s.Syncronization() ? 2 : 1;
    }
    v.gpsBars = s.Position().Valid ? 3 : 0;
    v.signalHint = v.signalBars > 0
                       ? FormatText(ShellText(5205, "Satellite signal: %0 dBHz"), {QString::number(s.SignalStrength())})
                       : ShellText(5206, "No usable satellite signal");
    switch (v.linkBars) {
    case 3:
        v.linkHint = ShellText(5207, "Logged in to the satellite network");
        break;
    case 2:
        v.linkHint = ShellText(5208, "Synchronised to a satellite, not logged in");
        break;
    case 1:
        v.linkHint = ShellText(5209, "The transceiver answers; no satellite yet");
        break;
    default:
        v.linkHint = ShellText(5217, "No connection to the transceiver");
    }
    v.gpsHint = v.gpsBars > 0 ? ShellText(5218, "Valid GPS position") : ShellText(5219, "No valid GPS position");
    return v;
}

QString PositionWindowText(const CSession& s) {
    const PositionRecord& p = s.Position();
    if (!p.Valid && p.LatDegrees == 0 && p.LonDegrees == 0 && p.Time.isEmpty())
        return ShellText(5210, "No position received from the transceiver.");
    const QString lat = QStringLiteral("%1\u00b0 %2.%3' %4")
                            .arg(p.LatDegrees, 2, 10, QLatin1Char('0'))
                            .arg(p.LatMinutes, 2, 10, QLatin1Char('0'))
                            .arg(p.LatFraction, 2, 10, QLatin1Char('0'))
                            .arg(QChar(p.South ? u'S' : u'N')); // a bare char16_t would print as its code
    const QString lon = QStringLiteral("%1\u00b0 %2.%3' %4")
                            .arg(p.LonDegrees, 3, 10, QLatin1Char('0'))
                            .arg(p.LonMinutes, 2, 10, QLatin1Char('0'))
                            .arg(p.LonFraction, 2, 10, QLatin1Char('0'))
                            .arg(QChar(p.West ? u'W' : u'E'));
    QStringList lines;
    lines << ShellText(5211, "Latitude:") + QLatin1Char(' ') + lat;
    lines << ShellText(5212, "Longitude:") + QLatin1Char(' ') + lon;
    lines << ShellText(5213, "Course:") + QLatin1Char(' ') + QString::number(p.Course) + QChar(0x00B0);
    lines << ShellText(5214, "Speed:") + QLatin1Char(' ') +
                 FormatText(ShellText(5228, "%0 kn"), {QString::number(p.Speed)}); // knots
    lines << ShellText(5215, "Time of position:") + QLatin1Char(' ') + p.Time;
    if (!p.Valid)
        lines << ShellText(5216, "The position is NOT valid.");
    return lines.join(u'\n');
}

QString SystemInformationText(const CSession& s) {
    const auto orUnknown = [](const QString& v) { return v.isEmpty() ? ShellText(5201, "<unknown>") : v; };
    QStringList lines;
    lines << ShellText(5200, "Mobile type: ") + GetText(5230 + s.MobileType(), MobileTypeName(s.MobileType()));
    lines << ShellText(5220, "Model: ") + ProductModelName(s.Identity().ProductModel).trimmed();
    lines << ShellText(5004, "IMN: ") +
                 (s.MobileNumber() > 0 ? QString::number(s.MobileNumber()) : ShellText(5201, "<unknown>"));
    lines << ShellText(5221, "Serial number: ") + orUnknown(s.SerialNumber());
    lines << ShellText(5222, "Transceiver software: ") + orUnknown(s.SwVersion());
    const QString minic =
        s.MinicSwMajor() > 0
            ? QStringLiteral("%1.%2").arg(s.MinicSwMajor()).arg(s.MinicSwMinor(), 2, 10, QLatin1Char('0'))
            : QString();
    lines << ShellText(5223, "Terminal program: ") + orUnknown(minic);
    lines << ShellText(5224, "Distress function: ") + (s.SolasType() == 3   ? ShellText(5225, "SOLAS")
                                                       : s.SolasType() == 2 ? ShellText(5226, "yes (non-SOLAS)")
                                                       : s.SolasType() == 1 ? ShellText(5227, "none")
                                                                            : ShellText(5201, "<unknown>"));
    lines << QStringLiteral("Tessaro ") + QLatin1String(TESSARO_VERSION);
    return lines.join(u'\n');
}

StatusDisplay::StatusDisplay(const CSession& session, QWidget* parent) : QWidget(parent), m_session(session) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    const auto bar = [this](int maximum) {
        auto* b = new QProgressBar(this);
        b->setRange(0, maximum);
        b->setTextVisible(false);
        b->setFixedHeight(12);
        return b;
    };
    m_type = new QLabel(this);
    m_imn = new QLabel(this);
    m_date = new QLabel(this);
    m_time = new QLabel(this);
    QFont big = m_time->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    m_time->setFont(big);
    m_imn->setFont(big);
    m_signalLabel = new QLabel(this);
    m_linkLabel = new QLabel(this);
    m_gpsLabel = new QLabel(this);
    m_signal = bar(5);
    m_link = bar(3);
    m_gps = bar(3);
    grid->addWidget(m_imn, 0, 0, 1, 2);
    grid->addWidget(m_type, 1, 0, 1, 2);
    grid->addWidget(m_date, 2, 0);
    grid->addWidget(m_time, 2, 1);
    grid->addWidget(m_signalLabel, 3, 0);
    grid->addWidget(m_signal, 3, 1);
    grid->addWidget(m_linkLabel, 4, 0);
    grid->addWidget(m_link, 4, 1);
    grid->addWidget(m_gpsLabel, 5, 0);
    grid->addWidget(m_gps, 5, 1);
    grid->setRowStretch(6, 1);
    retranslate();
}

void StatusDisplay::retranslate() {
    m_signalLabel->setText(ShellText(5202, "Signal"));
    m_linkLabel->setText(ShellText(5203, "Link"));
    m_gpsLabel->setText(ShellText(5204, "GPS"));
    m_shown = false;
    refresh();
}

void StatusDisplay::setCompact(bool compact) {
    m_type->setVisible(!compact);
    m_date->setVisible(!compact);
}

void StatusDisplay::refresh() {
    const StatusDisplayState s = ComputeStatusDisplay(m_session);
    if (m_shown && s == m_state)
        return;
    m_state = s;
    m_shown = true;
    show(s);
}

void StatusDisplay::show(const StatusDisplayState& s) {
    m_type->setText(s.mobileType);
    m_imn->setText(s.imn);
    m_date->setText(s.date);
    m_time->setText(s.time);
    m_signal->setValue(s.signalBars);
    m_link->setValue(s.linkBars);
    m_gps->setValue(s.gpsBars);
    for (QWidget* w : {static_cast<QWidget*>(m_signal), static_cast<QWidget*>(m_signalLabel)})
        w->setToolTip(s.signalHint);
    for (QWidget* w : {static_cast<QWidget*>(m_link), static_cast<QWidget*>(m_linkLabel)})
        w->setToolTip(s.linkHint);
    for (QWidget* w : {static_cast<QWidget*>(m_gps), static_cast<QWidget*>(m_gpsLabel)})
        w->setToolTip(s.gpsHint);
}

} // namespace tessaro
