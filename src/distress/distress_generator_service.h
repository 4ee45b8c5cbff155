#pragma once

#include "distress/distress_generator.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <optional>

namespace tessaro {

class CSession;
class MessagingModule;
class ModuleContext;

// What OK of the maritime window came to.
struct GeneratorApplyResult {
    bool sent = false;                      // commands were queued; the window closes
    std::optional<ValidationFailure> error; // shown with errorTitle; the window stays open
    QString errorTitle;
};

// The distress generator's set-up: reads the generator and the alert LES from the transceiver, hands the
// values to the windows through signals, and sends the operator's changes. It also records a distress
// alert in the outbox once the generator read that the alert asked for has been answered.
class DistressGeneratorService final : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultWaitTimeoutMs = 30000;

    DistressGeneratorService(CSession& session, MessagingModule& messaging, QObject* parent = nullptr);

    // Registers the replies to "se -g", "se -g " + values, "se -m " and "se -m ALL_OCEANS".
    void attach(ModuleContext& context);

    // The warning window's OK: queues the opening batch and shows the wait window; showGeneratorWindow
    // follows the parsed "se -g" reply. False (nothing sent, the operator told) without a transceiver.
    bool OpenMaritime();
    // The land-mobile generator: "se -m " and "st -n"; showLandMobileWindow follows the "se -m " reply.
    bool OpenLandMobile();
    // The land-mobile alert settings: "se -m " (and "se -m ALL_OCEANS" for Cedar and Larch);
    // showAlertSettingsWindow follows the last of the replies.
    bool OpenAlertSettings();

    // OK of the maritime window. lesLists: the text of each region's LES list (it starts with the LES).
    GeneratorApplyResult ApplyMaritime(bool useGps, QChar nature, const MaritimeFields& fields,
                                       const std::array<QString, 4>& lesLists);
    // OK of the land-mobile window: the land station's text (it starts with the LES) and the nature.
    bool ApplyLandMobile(const QString& landStation, int natureIndex);
    // OK of the alert settings window: the four LES boxes (West, East, Pacific, Indian) and the nature.
    bool ApplyAlertSettings(const std::array<QString, 4>& lesBoxes, int natureIndex);

    const DistressGeneratorValues& values() const { return m_values; }
    // What the replies to "se -m " and "se -m ALL_OCEANS" said last, for a window opened after them.
    const AlertParameters& alertParameters() const { return m_alertParameters; }
    const std::array<QString, 4>& alertLes() const { return m_alertLes; }
    // The region's stored distress LES (empty when none).
    QString distressLes(int ocean) const;
    QString dataPath() const;
    int productType() const;
    bool waiting() const { return m_maritimePending || m_landMobilePending || m_settingsPending; }
    void setWaitTimeoutMs(int ms) { m_waitTimer.setInterval(ms); }

Q_SIGNALS:
    // The generator's values as last read (after every "se -g" listing).
    void valuesChanged(const tessaro::DistressGeneratorValues& values);
    void showGeneratorWindow();
    // The read failed: an open generator window closes.
    void closeGeneratorWindow();
    // The reply to "se -m ": land station and nature for the land-mobile and alert settings windows.
    void alertParametersRead(const tessaro::AlertParameters& parameters);
    // The alert LES per region (West, East, Pacific, Indian) to show; empty entries stay as they are.
    void alertLesRead(const std::array<QString, 4>& les);
    void showLandMobileWindow();
    void showAlertSettingsWindow();
    // A distress alert line was added to the outbox.
    void distressAlertRecorded();

private:
    bool connected();
    void startWait(const QString& text);
    void endWait();
    void notice(const QString& text, const QString& title = QStringLiteral("Info"));
    void onGeneratorReply(const QString& reply);
    void onGeneratorWriteReply(const QString& reply);
    void onAlertParametersReply(const QString& reply);
    void onAllOceansReply(const QString& reply);
    void recordDistressAlert();
    void onWaitTimedOut();

    CSession& m_session;
    MessagingModule& m_messaging;
    ModuleContext* m_context = nullptr;
    DistressGeneratorValues m_values;
    AlertParameters m_alertParameters;
    std::array<QString, 4> m_alertLes;
    bool m_maritimePending = false;
    bool m_landMobilePending = false;
    bool m_settingsPending = false;
    QTimer m_waitTimer;
};

} // namespace tessaro
