#pragma once

#include "messaging/routing.h"
#include "messaging/routing_service.h"

#include <QDialog>

#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tessaro {

class CConfiguration;

// The routing set-up: per class where the transceiver delivers received traffic (disk, local printer,
// remote printer), the local printer, and the inbox, Sent Items and EGC folders. It shows what the service
// last read and follows its later reads; OK hands the choice to the service.
class RoutingForm final : public QDialog {
    Q_OBJECT
public:
    explicit RoutingForm(RoutingService& service, QWidget* parent = nullptr);

    // The value of a class as shown (further bits the transceiver reported are kept); nullopt while it
    // was never read and the operator has not ticked anything in its row.
    std::optional<int> Route(int routingClass) const;
    void setRoute(int routingClass, int value);
    std::optional<int> Route10() const { return Route(10); }
    std::optional<int> Route30() const { return Route(30); }
    std::optional<int> Route31() const { return Route(31); }
    std::optional<int> Route32() const { return Route(32); }
    std::optional<int> Route33() const { return Route(33); }
    QCheckBox* box(int routingClass, RoutingBit bit) const;

    QRadioButton* LocalPrinterPC() const { return m_printerPc; }
    QRadioButton* LocalPrinterModem() const { return m_printerModem; }
    QRadioButton* LocalPrinterOFF() const { return m_printerOff; }
    bool LocalPrinterPCValue() const;
    bool LocalPrinterModemValue() const;
    bool LocalPrinterOFFValue() const;
    // Nothing ticked: the transceiver's printer setting is left as it is.
    std::optional<LocalPrinter> localPrinter() const;
    void setLocalPrinter(LocalPrinter printer);

    QLineEdit& inboxFolder() const { return *m_folders[0]; }
    QLineEdit& outboxFolder() const { return *m_folders[1]; }
    QLineEdit& egcFolder() const { return *m_folders[2]; }

    RoutingTable table() const;
    StoreFolders folders() const;
    // OK: the service sends and stores, the window closes.
    RoutingApplyResult submit();

private:
    struct Row {
        std::array<QCheckBox*, 3> boxes{};
        std::optional<int> read; // the value as last read or set, with its further bits
        bool touched = false;
    };
    void showTable(const RoutingTable& table);
    void chooseFolder(QLineEdit* field);

    RoutingService& m_service;
    std::array<Row, kRoutingClasses.size()> m_rows;
    QButtonGroup* m_printerGroup;
    QRadioButton* m_printerPc;
    QRadioButton* m_printerModem;
    QRadioButton* m_printerOff;
    std::array<QLineEdit*, 3> m_folders{};
    bool m_filling = false;
};

// The Options menu's routing entry: guarded by the configuration password; once allowed, the routing is
// read from the transceiver (when connected) and the window opens (modeless, deleted on close).
void OpenRoutingForm(CConfiguration& config, RoutingService& service, QWidget* parent);

} // namespace tessaro
