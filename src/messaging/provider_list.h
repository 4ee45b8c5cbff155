#pragma once

#include "messaging/index_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tessaro {

// One e-mail service provider: the 17 fields of an isp.dat line, numbered 1..17 as the file orders them.
struct ServiceProvider {
    QStringList fields; // always 17 entries

    enum Field : int {
        Name = 1,
        LesWest = 2,
        LesEast = 3,
        LesPacific = 4,
        LesIndian = 5,
        ToPrefix = 6,
        CcPrefix = 7,
        BccPrefix = 8,
        SubjectPrefix = 9,
        MessagePrefix = 10,
        AddressType = 11,
        Address = 12,
        Delimiter = 13,
        SmsPrefix = 14,
        Postfix = 15,
        SmsSac = 16,
        Reserved = 17
    };
    static constexpr int kFieldCount = 17;

    QString field(int number) const;
    QString name() const { return field(Name); }
    // The provider's LES in an ocean region (0..3); empty when it has none there or the ocean is unknown.
    QString les(int ocean) const;
    static ServiceProvider fromLine(const QString& line);
    // The isp.dat line: the 17 fields joined by "|".
    QString line() const;
};

// The default provider list, one isp.dat line each.
QStringList DefaultProviderLines();
QVector<ServiceProvider> DefaultProviders();

// The only layout this program reads and writes.
inline const QLatin1String kProviderFileVersion("VERSION 116");

// The file text of a provider list: the version line, then one line per provider, each ended by CR LF.
QByteArray ProviderFileBytes(const QVector<ServiceProvider>& providers);

enum class ProviderFileState { Missing, Current, OtherVersion, Unreadable };
ProviderFileState ReadProviderFileState(const QString& dataPath);

// Reads isp.dat; false (and nothing in providers) when it is missing, unreadable or of another version.
bool ReadProviders(const QString& dataPath, QVector<ServiceProvider>* providers);
// Replaces isp.dat whole (atomically).
bool SaveProviders(const QString& dataPath, const QVector<ServiceProvider>& providers, FileError* error = nullptr);
// Keeps the present isp.dat beside it under the first free name of "isp.dat.old", "isp.dat.old2", ... and
// then writes the default list. Nothing is written unless the copy is safely made; keptAs names the copy.
bool ReplaceProvidersWithDefaults(const QString& dataPath, QString* keptAs, FileError* error = nullptr);

// Why a provider cannot be added under that name ("Provider Name already exists. Please choose another
// name", or an empty name); empty when it can.
QString ProviderNameProblem(const QVector<ServiceProvider>& providers, const QString& name);
// Why a provider's fields cannot be stored: a "|" or a line break would split the record, and each LES must
// be empty or three digits of its ocean. Empty when they can.
QString ProviderFieldsProblem(const ServiceProvider& provider);

// Providers of isp.dat in the data folder ("VERSION 116" first line), or the default list when the file is
// missing or unreadable.
QVector<ServiceProvider> LoadProviders(const QString& dataPath);

// The provider with that name (compared exactly after trimming), or nullptr.
const ServiceProvider* FindProvider(const QVector<ServiceProvider>& providers, const QString& name);

} // namespace tessaro
