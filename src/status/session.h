#pragma once

#include "link/session_flags.h"
#include "status/identity.h"
#include "status/position.h"

#include <QDateTime>
#include <QObject>
#include <QString>

namespace tessaro {

// The session state: what the transceiver last reported about itself. One instance per run (tests make
// their own). Setters notify only on a real change, so views and the headless summary can follow it.
// The link fields and the few values the engine reads live in SessionFlags.
class CSession final : public SessionFlags {
    Q_OBJECT

public:
    explicit CSession(QObject* parent = nullptr);

    // Every value back to its start value; the link fields of SessionFlags are left alone.
    void Reset() override;

    // TDM.
    int TDMChannel() const { return m_tdmChannel; }
    void SetTDMChannel(int value);
    int TDMOrigin() const { return m_tdmOrigin; }
    // Also sets CurrentOcean from the station ID's hundreds digit.
    void SetTDMOrigin(int stationId);
    const QString& TDMType() const { return m_tdmType; }
    void SetTDMType(const QString& value);
    bool LoggedIn() const { return m_loggedIn; }
    void SetLoggedIn(bool value);
    bool Syncronization() const { return m_syncronization; }
    void SetSyncronization(bool value);
    int SignalStrength() const { return m_signalStrength; }
    void SetSignalStrength(int value);
    int CurrentOcean() const { return m_currentOcean; }
    void SetCurrentOcean(int ocean);
    int LastOcean() const { return m_lastOcean; }
    void SetLastOcean(int ocean);

    // Transceiver clock.
    const QDateTime& SystemTime() const { return m_systemTime; }
    bool SystemTimeSet() const { return m_systemTimeSet; }
    void SetSystemTime(const QDateTime& utc); // also marks the time as known

    // Identity.
    TransceiverIdentity Identity() const;
    void SetIdentity(const TransceiverIdentity& id);
    int MobileType() const { return m_mobileType; }
    int ProductType() const { return m_productType; }
    int AtcType() const { return m_atcType; }
    bool MobileTypeAlderAB() const { return m_mobileTypeAlderAB; }
    void SetMobileTypeAlderAB(bool value) { m_mobileTypeAlderAB = value; }
    qint64 MobileNumber() const { return m_mobileNumber; } // 0 while unknown
    void SetMobileNumber(qint64 value);
    bool MobileChanged() const { return m_mobileChanged; }
    void SetMobileChanged(bool value) { m_mobileChanged = value; }
    const QString& SerialNumber() const { return m_serialNumber; }
    void SetSerialNumber(const QString& value);
    const QString& PCBNumber() const { return m_pcbNumber; }
    void SetPCBNumber(const QString& value);

    // Software version: "major.minor" as the status reply shows it, and its parts.
    const QString& SwVersion() const { return m_swVerStr; }
    void SetSwVersion(const QString& text);
    const QString& SwVerStr() const { return m_swVerStr; }
    int SwVerMajor() const { return m_swVerMajor; }
    int SwVerMinor() const { return m_swVerMinor; }
    int SwVerBuild() const { return m_swVerBuild; }
    int SwVerInt() const { return m_swVerMajor * 100 + m_swVerMinor; } // 1.06 -> 106, for comparisons

    // Terminal program version from "ver" (kept here until the configuration holds it).
    int MinicSwMajor() const { return m_minicMajor; }
    int MinicSwMinor() const { return m_minicMinor; }
    void SetMinicSwVersion(int major, int minor);

    // Distress and messaging values held for other subsystems.
    bool AddDistressAlertToOutbox() const { return m_addDistressAlertToOutbox; }
    void SetAddDistressAlertToOutbox(bool value) { m_addDistressAlertToOutbox = value; }
    // "Sending", "Failed" or "Conf.Ok": the status the next distress-alert outbox entry gets.
    const QString& DistressAlertStatus() const { return m_distressAlertStatus; }
    void SetDistressAlertStatus(const QString& value) { m_distressAlertStatus = value; }
    int MessagePriority() const { return m_messagePriority; }
    void SetMessagePriority(int value) { m_messagePriority = value; }

    // GPS and position.
    const QString& GpsStatus() const { return m_gpsStatus; }
    void SetGpsStatus(const QString& text);
    const PositionRecord& Position() const { return m_position; }
    // A position text that is not eight blank-separated pieces clears the position.
    void SetPos(const QString& position, const QString& course, const QString& time, const QString& speed, bool valid);
    void ResetPos();

    // The last link-test results block (the program-status handler writes its own block here too).
    const QString& LatestLinkTestText() const { return m_latestLinkTestText; }
    void SetLatestLinkTestText(const QString& text) { m_latestLinkTestText = text; }

Q_SIGNALS:
    void loggedInChanged(bool loggedIn);
    void currentOceanChanged(int ocean);
    void positionChanged();
    void identityChanged();
    void systemTimeChanged();

private:
    template <typename T> bool update(T& field, const T& value) {
        if (field == value)
            return false;
        field = value;
        Q_EMIT changed();
        return true;
    }

    int m_tdmChannel = 0;
    int m_tdmOrigin = 0;
    QString m_tdmType;
    bool m_loggedIn = false;
    bool m_syncronization = false;
    int m_signalStrength = 0;
    int m_currentOcean = 4;
    int m_lastOcean = 4;
    QDateTime m_systemTime;
    bool m_systemTimeSet = false;
    int m_mobileType = 0;
    int m_productType = 0;
    int m_atcType = 0;
    bool m_mobileTypeAlderAB = false;
    qint64 m_mobileNumber = 0;
    bool m_mobileChanged = false;
    QString m_serialNumber;
    QString m_pcbNumber;
    QString m_swVerStr;
    int m_swVerMajor = 0;
    int m_swVerMinor = 0;
    int m_swVerBuild = 0;
    int m_minicMajor = 0;
    int m_minicMinor = 0;
    bool m_addDistressAlertToOutbox = false;
    QString m_distressAlertStatus;
    int m_messagePriority = 0;
    QString m_gpsStatus;
    PositionRecord m_position;
    QString m_latestLinkTestText;
};

// The start value of SystemTime: 1970-01-01 00:00 UTC.
QDateTime SessionStartTime();

} // namespace tessaro
