#pragma once

#include "status/module_context.h"

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>

namespace tessaro {

class CConfiguration;
class CSession;

// The lines the message editor's insert menu puts at the cursor. Each ends in CR LF, as message bodies do.
namespace EditorInsert {
// "Position: 55,40.12N , 12,5.30E"; "Position: not available" without a valid position. The minute fraction
// is hundredths of a minute and keeps its two digits.
QString Position(const CSession& session);
// "Speed: 12 knots, Course: 270 deg."; "Speed: not available" without a valid position.
QString SpeedAndCourse(const CSession& session);
// "Local Time: 10. December 2026 09:15", the month named in the locale's language.
QString LocalTime(const QDateTime& local, const QLocale& locale = QLocale());
// "UTC Time: 10. December 2026 09:15" from the transceiver's clock.
QString UtcTime(const QDateTime& utc, const QLocale& locale = QLocale());
QString MobileNumber(const CSession& session);
// The signature exactly as stored.
QString Signature(CConfiguration& config);
QString VesselName(CConfiguration& config);
// The six vessel lines, labels even for empty values.
QString VesselData(CConfiguration& config);

// The vessel description: settings keys of section "Settings" and their labels, in order.
struct VesselField {
    const char* key;
    const char* label;
};
inline constexpr VesselField kVesselFields[] = {
    {"VesselName", "Vessel name: "},        {"VesselType", "Vessel type: "}, {"VesselFlag", "Flag: "},
    {"VesselDestination", "Destination: "}, {"VesselCargo", "Cargo: "},      {"VesselComment", "Comment: "},
};
} // namespace EditorInsert

// The editor's insertions that need the transceiver: the UTC time is read with "ti u" and inserted when
// its reply comes.
class EditorModule final : public QObject, public ITerminalModule {
    Q_OBJECT
public:
    explicit EditorModule(CSession& session, QObject* parent = nullptr);

    Subsystem subsystem() const override { return Subsystem::Editor; }
    void attach(ModuleContext& context) override;

    // Queues "ti u"; false (nothing queued) while the transceiver is not connected.
    bool RequestUtcTime();
    // Nothing inserted while the transceiver is not connected, as for the UTC time.
    QString PositionText() const;

Q_SIGNALS:
    // A text for the editor's cursor.
    void insertText(const QString& text);

private:
    void onTimeReply(const QString& reply);

    CSession& m_session;
    ModuleContext* m_context = nullptr;
    bool m_utcPending = false;
};

} // namespace tessaro
