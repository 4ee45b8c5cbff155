#include "status/session.h"

#include "config/text_util.h"
#include "status/reply_fields.h"
#include "status/terminal_status.h"

namespace tessaro {

QDateTime SessionStartTime() {
    return QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC);
}

CSession::CSession(QObject* parent) : SessionFlags(parent), m_systemTime(SessionStartTime()) {}

void CSession::Reset() {
    const bool wasLoggedIn = m_loggedIn;
    const int oldOcean = m_currentOcean;
    const PositionRecord oldPosition = m_position;
    const TransceiverIdentity oldIdentity = Identity();
    const bool oldTimeSet = m_systemTimeSet;

    SessionFlags::Reset();
    m_tdmChannel = 0;
    m_tdmOrigin = 0;
    m_tdmType.clear();
    m_loggedIn = false;
    m_syncronization = false;
    m_signalStrength = 0;
    m_currentOcean = 4;
    m_lastOcean = 4;
    m_systemTime = SessionStartTime();
    m_systemTimeSet = false;
    m_mobileType = 0;
    m_productType = 0;
    m_atcType = 0;
    m_mobileTypeAlderAB = false;
    m_mobileNumber = 0;
    m_mobileChanged = false;
    m_serialNumber.clear();
    m_pcbNumber.clear();
    m_swVerStr.clear();
    m_swVerMajor = m_swVerMinor = m_swVerBuild = 0;
    m_addDistressAlertToOutbox = false;
    m_distressAlertStatus.clear();
    m_messagePriority = 0;
    m_gpsStatus.clear();
    m_position = PositionRecord{};

    if (wasLoggedIn)
        Q_EMIT loggedInChanged(false);
    if (oldOcean != m_currentOcean)
        Q_EMIT currentOceanChanged(m_currentOcean);
    if (!(oldPosition == m_position))
        Q_EMIT positionChanged();
    if (!(oldIdentity == Identity()))
        Q_EMIT identityChanged();
    if (oldTimeSet)
        Q_EMIT systemTimeChanged();
    Q_EMIT changed();
}

void CSession::SetTDMChannel(int value) {
    update(m_tdmChannel, value);
}

void CSession::SetTDMOrigin(int stationId) {
    update(m_tdmOrigin, stationId);
    SetCurrentOcean(OceanFromStationId(stationId));
}

void CSession::SetTDMType(const QString& value) {
    update(m_tdmType, value);
}

void CSession::SetLoggedIn(bool value) {
    if (update(m_loggedIn, value))
        Q_EMIT loggedInChanged(value);
}

void CSession::SetSyncronization(bool value) {
    update(m_syncronization, value);
}

void CSession::SetSignalStrength(int value) {
    update(m_signalStrength, qBound(0, value, 255));
}

void CSession::SetCurrentOcean(int ocean) {
    if (ocean < 0 || ocean > 4)
        ocean = 4;
    if (update(m_currentOcean, ocean))
        Q_EMIT currentOceanChanged(ocean);
}

void CSession::SetLastOcean(int ocean) {
    update(m_lastOcean, (ocean < 0 || ocean > 4) ? 4 : ocean);
}

void CSession::SetSystemTime(const QDateTime& utc) {
    const bool a = update(m_systemTime, utc);
    const bool b = update(m_systemTimeSet, true);
    if (a || b)
        Q_EMIT systemTimeChanged();
}

TransceiverIdentity CSession::Identity() const {
    TransceiverIdentity id;
    id.MobileType = m_mobileType;
    id.ProductType = m_productType;
    id.ProductModel = ProductModel();
    id.SolasType = SolasType();
    id.AtcType = m_atcType;
    return id;
}

void CSession::SetIdentity(const TransceiverIdentity& id) {
    if (id == Identity())
        return;
    m_mobileType = id.MobileType;
    m_productType = id.ProductType;
    SetCapabilities(qint16(id.SolasType), qint16(id.ProductModel));
    m_atcType = id.AtcType;
    Q_EMIT identityChanged();
    Q_EMIT changed();
}

void CSession::SetMobileNumber(qint64 value) {
    if (update(m_mobileNumber, value))
        Q_EMIT identityChanged();
}

void CSession::SetSerialNumber(const QString& value) {
    if (update(m_serialNumber, value))
        Q_EMIT identityChanged();
}

void CSession::SetPCBNumber(const QString& value) {
    update(m_pcbNumber, value);
}

void CSession::SetSwVersion(const QString& text) {
    if (text == m_swVerStr)
        return;
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    const qsizetype dot2 = dot < 0 ? -1 : text.indexOf(QLatin1Char('.'), dot + 1);
    m_swVerMajor = BoundedVal(text, 0, 9999);
    m_swVerMinor = dot < 0 ? 0 : BoundedVal(QStringView(text).mid(dot + 1), 0, 9999);
    m_swVerBuild = dot2 < 0 ? 0 : BoundedVal(QStringView(text).mid(dot2 + 1), 0, 9999);
    update(m_swVerStr, text);
}

void CSession::SetMinicSwVersion(int major, int minor) {
    m_minicMajor = major;
    m_minicMinor = minor;
}

void CSession::SetGpsStatus(const QString& text) {
    update(m_gpsStatus, text);
}

void CSession::SetPos(const QString& position, const QString& course, const QString& time, const QString& speed,
                      bool valid) {
    PositionRecord next = m_position;
    ApplyPosition(next, position, course, time, speed, valid);
    if (update(m_position, next))
        Q_EMIT positionChanged();
}

void CSession::ResetPos() {
    if (update(m_position, PositionRecord{}))
        Q_EMIT positionChanged();
}

} // namespace tessaro
