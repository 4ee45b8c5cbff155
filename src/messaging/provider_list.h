#pragma once

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
};

// The default provider list, one isp.dat line each.
QStringList DefaultProviderLines();

// Providers of isp.dat in the data folder ("VERSION 116" first line), or the default list when the file is
// missing or unreadable.
QVector<ServiceProvider> LoadProviders(const QString& dataPath);

// The provider with that name (compared exactly after trimming), or nullptr.
const ServiceProvider* FindProvider(const QVector<ServiceProvider>& providers, const QString& name);

} // namespace tessaro
