#include "shell/status_display.h"

#include "config/text_util.h"
#include "shell/night_mode.h"
#include "shell/shell_texts.h"
#include "status/identity.h"
#include "status/session.h"
#include "status/status_summary.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>

namespace tessaro {

namespace {
const QString kNone = QStringLiteral("\u2014");
// A position younger than this is current; an older one is shown amber.
constexpr int kFreshPositionMinutes = 30;

QString shortPosition(const PositionRecord& p) {
    return QStringLiteral("%1\u00b0%2.%3'%4 %5\u00b0%6.%7'%8")
        .arg(p.LatDegrees, 2, 10, QLatin1Char('0'))
        .arg(p.LatMinutes, 2, 10, QLatin1Char('0'))
        .arg(p.LatFraction, 2, 10, QLatin1Char('0'))
        .arg(QChar(p.South ? u'S' : u'N'))
        .arg(p.LonDegrees, 3, 10, QLatin1Char('0'))
        .arg(p.LonMinutes, 2, 10, QLatin1Char('0'))
        .arg(p.LonFraction, 2, 10, QLatin1Char('0'))
        .arg(QChar(p.West ? u'W' : u'E'));
}

bool hasPosition(const PositionRecord& p) {
    return p.Valid || p.LatDegrees != 0 || p.LonDegrees != 0 || p.LatMinutes != 0 || p.LonMinutes != 0;
}

StatusRow loginRow(const CSession& s, const StatusDisplayInputs& in) {
    StatusRow r{ShellText(9300, "Login"), {}, StatusLevel::Lost, {}};
    if (!s.MesConnected()) {
        r.value = in.linkWasUp ? ShellText(9309, "Link lost") : ShellText(9310, "Not connected");
        r.hint = in.linkWasUp ? ShellText(9323, "The transceiver stopped answering")
                              : ShellText(5217, "No connection to the transceiver");
    } else if (s.LoggedIn()) {
        r.value = ShellText(9307, "Logged in");
        r.level = StatusLevel::Normal;
        r.hint = ShellText(5207, "Logged in to the satellite network");
    } else {
        r.value = ShellText(9308, "Not logged in");
        r.level = StatusLevel::Degraded;
        r.hint = s.Syncronization() ? ShellText(5208, "Synchronised to a satellite, not logged in")
                                    : ShellText(5209, "The transceiver answers; no satellite yet");
    }
    return r;
}

StatusRow signalRow(const CSession& s) {
    StatusRow r{ShellText(5202, "Signal"), {}, StatusLevel::Lost, {}};
    if (!s.MesConnected() || !s.Syncronization()) {
        r.value = ShellText(9312, "No signal");
        r.hint = ShellText(5206, "No usable satellite signal");
        return r;
    }
    const int bars = SignalBars(s.SignalStrength());
    r.value = FormatText(ShellText(9319, "%0 dBHz"), {QString::number(s.SignalStrength())});
    r.level = bars >= 3 ? StatusLevel::Normal : bars >= 1 ? StatusLevel::Degraded : StatusLevel::Lost;
    r.hint = bars > 0 ? FormatText(ShellText(5205, "Satellite signal: %0 dBHz"), {QString::number(s.SignalStrength())})
                      : ShellText(5206, "No usable satellite signal");
    return r;
}

StatusRow positionRow(const CSession& s, const StatusDisplayInputs& in) {
    const PositionRecord& p = s.Position();
    StatusRow r{ShellText(5024, "Position"), {}, StatusLevel::Lost, {}};
    if (!hasPosition(p)) {
        r.value = ShellText(9315, "No position");
        r.hint = ShellText(5210, "No position received from the transceiver.");
        return r;
    }
    const QDateTime reference = s.SystemTimeSet() ? s.SystemTime() : in.nowUtc;
    const int age = PositionAgeMinutes(p.Time, reference);
    static const QRegularExpression hhmm(QStringLiteral("(\\d{1,2}:\\d{2})"));
    const QRegularExpressionMatch m = hhmm.match(p.Time);
    const QString at = m.hasMatch() ? m.captured(1) : p.Time.trimmed();
    QString when;
    if (age >= 0)
        when = FormatText(ShellText(9316, "at %0 UTC, %1 min old"), {at, QString::number(age)});
    else if (!at.isEmpty())
        when = FormatText(ShellText(9317, "at %0 UTC"), {at});
    r.value = shortPosition(p) + (when.isEmpty() ? QString() : QStringLiteral("\n") + when);
    r.level = p.Valid && age >= 0 && age <= kFreshPositionMinutes ? StatusLevel::Normal : StatusLevel::Degraded;
    r.hint = p.Valid ? ShellText(9324, "Last position from the transceiver's GPS")
                     : ShellText(5216, "The position is NOT valid.");
    return r;
}
} // namespace

int SignalBars(int dbHz) {
    if (dbHz < 30)
        return 0;
    return std::min(5, 1 + (dbHz - 30) / 3);
}

int PositionAgeMinutes(const QString& timeOfPosition, const QDateTime& referenceUtc) {
    static const QRegularExpression hhmm(QStringLiteral("(\\d{1,2}):(\\d{2})"));
    const QRegularExpressionMatch m = hhmm.match(timeOfPosition);
    if (!m.hasMatch() || !referenceUtc.isValid())
        return -1;
    const int hours = m.captured(1).toInt();
    const int minutes = m.captured(2).toInt();
    if (hours > 23 || minutes > 59)
        return -1;
    const QTime ref = referenceUtc.toUTC().time();
    const int diff = (ref.hour() * 60 + ref.minute()) - (hours * 60 + minutes);
    return (diff + 24 * 60) % (24 * 60); // a fix from before midnight
}

LevelColours ColoursForLevel(StatusLevel level, const NightSettings& night) {
    LevelColours c;
    switch (level) {
    case StatusLevel::Normal:
        c = {QColor(0x1B, 0x7F, 0x34), QColor(0xFF, 0xFF, 0xFF)};
        break;
    case StatusLevel::Degraded:
        c = {QColor(0xF2, 0xA9, 0x00), QColor(0x00, 0x00, 0x00)};
        break;
    case StatusLevel::Lost:
        c = {QColor(0xC8, 0x10, 0x10), QColor(0xFF, 0xFF, 0xFF)};
        break;
    case StatusLevel::Neutral:
        return {};
    }
    if (night.on) {
        // Dark chips with light text: the colour stays recognisable without lighting up the bridge.
        c.text = ForNight(QColor(0xF0, 0xE0, 0xD0), night);
        c.background = ForNight(c.background.darker(170), night);
    }
    return c;
}

StatusDisplayState ComputeStatusDisplay(const CSession& s, const StatusDisplayInputs& in) {
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

    v.rows[RowLogin] = loginRow(s, in);
    const bool up = s.MesConnected();
    StatusRow& ocean = v.rows[RowOcean];
    ocean.label = ShellText(9301, "Ocean region");
    ocean.value = up ? OceanName(s.CurrentOcean()) : kNone;
    ocean.level = !up                     ? StatusLevel::Neutral
                  : s.CurrentOcean() >= 4 ? StatusLevel::Degraded
                  : s.LoggedIn()          ? StatusLevel::Normal
                                          : StatusLevel::Neutral;
    StatusRow& channel = v.rows[RowChannel];
    channel.label = ShellText(9302, "Channel");
    channel.value =
        up && !s.CurrentChannel().isEmpty()
            ? s.CurrentChannel() + (s.TDMOrigin() > 0 ? QLatin1Char(' ') + QString::number(s.TDMOrigin()) : QString())
            : kNone;
    channel.hint = FormatText(ShellText(9325, "TDM channel %0 from station %1"),
                              {QString::number(s.TDMChannel()), QString::number(s.TDMOrigin())});
    StatusRow& protocol = v.rows[RowProtocol];
    protocol.label = ShellText(9303, "Protocol");
    protocol.value = up && !s.CurrentProtocol().trimmed().isEmpty() ? s.CurrentProtocol().trimmed() : kNone;
    protocol.level =
        up && s.CurrentProtocol().trimmed().startsWith(QLatin1String("sending distress"), Qt::CaseInsensitive)
            ? StatusLevel::Lost
            : StatusLevel::Neutral;
    protocol.hint = ShellText(9326, "What the transceiver is doing now");
    v.rows[RowSignal] = signalRow(s);
    StatusRow& gps = v.rows[RowGps];
    gps.label = ShellText(5204, "GPS");
    gps.value = s.Position().Valid ? ShellText(9313, "Fix") : ShellText(9314, "No fix");
    gps.level = s.Position().Valid ? StatusLevel::Normal : StatusLevel::Lost;
    gps.hint = v.gpsHint;
    v.rows[RowPosition] = positionRow(s, in);
    StatusRow& utc = v.rows[RowUtc];
    utc.label = ShellText(9305, "UTC");
    utc.value =
        s.SystemTimeSet() ? s.SystemTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : ShellText(9318, "unknown");
    utc.level = s.SystemTimeSet() ? StatusLevel::Normal : StatusLevel::Degraded;
    utc.hint = ShellText(9327, "The transceiver's clock");
    StatusRow& pending = v.rows[RowPending];
    pending.label = ShellText(9306, "Waiting to send");
    pending.value = in.pendingOutgoing < 0 ? kNone : QString::number(in.pendingOutgoing);
    // Messages that cannot leave while the terminal is not logged in deserve a look.
    pending.level = in.pendingOutgoing > 0 && !(up && s.LoggedIn()) ? StatusLevel::Degraded : StatusLevel::Neutral;
    pending.hint = FormatText(ShellText(9321, "Messages not sent yet: %0"), {pending.value});
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
    setObjectName(QStringLiteral("StatusDisplay"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    m_type = new QLabel(this);
    m_imn = new QLabel(this);
    QFont big = m_imn->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    m_imn->setFont(big);
    grid->addWidget(m_imn, 0, 0, 1, 2);
    grid->addWidget(m_type, 1, 0, 1, 2);
    // Read from across the bridge: large values, each with its label beside it.
    QFont labelFont = font();
    labelFont.setPointSize(labelFont.pointSize() + 1);
    QFont valueFont = font();
    valueFont.setPointSize(valueFont.pointSize() + 3);
    valueFont.setBold(true);
    int row = 2;
    for (int i = 0; i < kStatusRowCount; ++i) {
        auto* label = new QLabel(this);
        label->setFont(labelFont);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        auto* value = new QLabel(this);
        value->setObjectName(QStringLiteral("StatusValue%1").arg(i));
        value->setFont(valueFont);
        value->setWordWrap(true);
        label->setBuddy(value);
        m_labels[size_t(i)] = label;
        m_values[size_t(i)] = value;
        grid->addWidget(label, row, 0, Qt::AlignTop);
        if (i == RowPosition) {
            // Two long lines: the value takes the panel's whole width under its label.
            grid->addWidget(value, ++row, 0, 1, 2);
        } else {
            grid->addWidget(value, row, 1);
        }
        ++row;
        if (i == RowSignal) {
            m_signal = new QProgressBar(this);
            m_signal->setObjectName(QStringLiteral("SignalBar"));
            m_signal->setRange(0, 5);
            m_signal->setTextVisible(false);
            m_signal->setFixedHeight(14);
            grid->addWidget(m_signal, row++, 1);
        }
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    retranslate();
}

void StatusDisplay::retranslate() {
    m_shown = false;
    refresh();
}

void StatusDisplay::setCompact(bool compact) {
    m_type->setVisible(!compact);
    for (StatusRowId id : {RowChannel, RowProtocol, RowPosition}) {
        m_labels[size_t(id)]->setVisible(!compact);
        m_values[size_t(id)]->setVisible(!compact);
    }
}

void StatusDisplay::setInputs(const StatusDisplayInputs& inputs) {
    m_inputs = inputs;
}

void StatusDisplay::setNight(const NightSettings& night) {
    m_nightOn = night.on;
    m_nightDim = night.dim;
    m_shown = false;
    refresh();
}

void StatusDisplay::refresh() {
    const StatusDisplayState s = ComputeStatusDisplay(m_session, m_inputs);
    if (m_shown && s == m_state)
        return;
    m_state = s;
    m_shown = true;
    show(s);
}

void StatusDisplay::show(const StatusDisplayState& s) {
    const NightSettings night{m_nightOn, m_nightDim};
    m_type->setText(s.mobileType);
    m_imn->setText(s.imn);
    for (int i = 0; i < kStatusRowCount; ++i) {
        const StatusRow& r = s.rows[size_t(i)];
        m_labels[size_t(i)]->setText(r.label);
        QLabel* value = m_values[size_t(i)];
        value->setText(r.value);
        value->setToolTip(r.hint);
        m_labels[size_t(i)]->setToolTip(r.hint);
        const LevelColours c = ColoursForLevel(r.level, night);
        value->setStyleSheet(c.background.isValid()
                                 ? QStringLiteral("QLabel { background: %1; color: %2; border-radius: 3px; "
                                                  "padding: 2px 6px; }")
                                       .arg(c.background.name(), c.text.name())
                                 : QStringLiteral("QLabel { padding: 2px 6px; }"));
    }
    m_signal->setValue(s.signalBars);
    m_signal->setToolTip(s.rows[RowSignal].hint);
    // The bar keeps the day colour, dimmed only: a darkened chunk would vanish into the night background.
    const LevelColours bar{ForNight(ColoursForLevel(s.rows[RowSignal].level, {}).background, night), {}};
    m_signal->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid palette(mid); border-radius: 2px; "
                                           "background: palette(base); } QProgressBar::chunk { background: %1; }")
                                .arg(bar.background.name()));
}

} // namespace tessaro
