#pragma once

#include "messaging/routing.h"

#include <QObject>

#include <optional>

namespace tessaro {

class ModuleContext;

// The folders the routing dialog also sets: inbox, outbox (Sent Items) and EGC store.
struct StoreFolders {
    QString inbox;
    QString outbox;
    QString egc;
    bool operator==(const StoreFolders&) const = default;
};

// What OK of the routing dialog came to.
struct RoutingApplyResult {
    QStringList commands; // queued for the transceiver (empty without one)
    bool foldersSaved = false;
};

// The transceiver's routing table ("ro") and its local-printer variable ("set -z"): reads them when the
// routing dialog opens and writes the operator's choice back. Windows listen to the signals; nothing
// here touches a widget.
class RoutingService final : public QObject {
    Q_OBJECT
public:
    explicit RoutingService(QObject* parent = nullptr);

    // Registers the replies to "set -z" and "ro".
    void attach(ModuleContext& context);

    // Queues "set -z" and "ro" as one entry when the transceiver is connected; false otherwise (the
    // dialog then shows what was last read).
    bool OpenRouting();
    // Queues the routing and printer commands when connected (telling the operator they are being saved),
    // and in every case stores the folders and saves the configuration.
    RoutingApplyResult ApplyRouting(const RoutingTable& table, std::optional<LocalPrinter> printer,
                                    const StoreFolders& folders);

    const RoutingTable& routing() const { return m_routing; }
    // Known once a "set -z" reply of a family that reports it has been read.
    std::optional<LocalPrinter> localPrinter() const { return m_printer; }
    StoreFolders storeFolders() const;

Q_SIGNALS:
    void routingRead(const tessaro::RoutingTable& table);
    void localPrinterRead(tessaro::LocalPrinter printer);

private:
    bool connected() const;
    void onConfigVariables(const QString& reply);
    void onRouting(const QString& reply);

    ModuleContext* m_context = nullptr;
    RoutingTable m_routing;
    std::optional<LocalPrinter> m_printer;
};

} // namespace tessaro
