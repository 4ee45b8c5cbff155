#pragma once

#include "messaging/les_lists.h"
#include "messaging/provider_list.h"

#include <QObject>

namespace tessaro {

class CConfiguration;
class CSession;
class ModuleContext;

// The LES and service-provider lists: the LESs the NCS lists ("st -n"), the services of one LES ("status -n"),
// and the list files the windows edit. Every edit is saved at once; failures come back as the text to show.
class LesListService final : public QObject {
    Q_OBJECT
public:
    LesListService(CConfiguration& config, CSession& session, QObject* parent = nullptr);

    // Registers the "st -n" and "status -n" routes, the poll step and the start-up check of isp.dat.
    void attach(ModuleContext& context);

    const QString& dataPath() const;
    int currentOcean() const;

    // The LESs of the current ocean for the sending dialog: those the NCS listed when a list came (named
    // from the ocean's file where it knows them), else the ocean's file.
    QVector<LesTableEntry> offeredLes(int ocean) const;

    // LES lists of the four oceans. Each returns an empty text on success, else the text to show.
    QString addLes(int ocean, const LesTableEntry& entry);
    QString replaceLes(int ocean, int row, const LesTableEntry& entry);
    QString deleteLes(int ocean, const QList<int>& rows);

    // Provider list.
    QVector<ServiceProvider> providers() const { return m_providers; }
    bool providersLoaded() const { return m_providersLoaded; }
    // Reads isp.dat again; false shows "Error loading ISP list".
    bool reloadProviders();
    QString addProvider(const ServiceProvider& provider);
    QString updateProvider(const ServiceProvider& provider);
    QString deleteProvider(const QString& name);
    QString loadDefaultProviders();

    // Default LES per ocean and default provider, stored in Tessaro.ini at once.
    void setDefaultLes(int ocean, const QString& les);
    QString defaultLes(int ocean);
    void setDefaultProvider(const QString& name);
    QString defaultProvider();

    // Asks the transceiver for the services of one LES; lesServicesReady carries the answer. False when
    // les is not a number (nothing is asked).
    bool requestLesServices(const QString& les);

    // The start-up check of isp.dat (also run by attach's start-up job): a file of another version is
    // replaced by the default list only after the operator agrees, and is kept beside it.
    void checkProviderFile();

    static QString lesServicesNotFoundText();

Q_SIGNALS:
    void availableLesChanged(int ocean);
    void lesListChanged(int ocean);
    void providersChanged();
    void lesServicesReady(const QString& les, const QString& text);

private:
    void onLesList(const QString& reply);
    void onLesServices(const QString& reply);
    QString saveLes(int ocean, const QVector<LesTableEntry>& entries);
    QString saveProviders(const QVector<ServiceProvider>& providers);

    CConfiguration& m_config;
    CSession& m_session;
    ModuleContext* m_context = nullptr;
    QVector<ServiceProvider> m_providers;
    bool m_providersLoaded = false;
    QString m_servicesWanted;
};

} // namespace tessaro
