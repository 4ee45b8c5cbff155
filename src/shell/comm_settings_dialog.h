#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QTabWidget;

namespace tessaro {

class CConfiguration;
class LanDiscovery;

// What the comm-settings dialog decided, for the main window to apply.
struct CommChoice {
    bool lan = true;
    QString comDevice;   // serial: device path
    int comPort = 1;     // serial: port number stored in "[COM port]"
    QString comSettings; // serial: baud + ",n,8,1"
    QString tcuAddress;  // LAN
};

// Stores a choice in Tessaro.ini ("[HOST Interface]", "[COM port]", "[COM Device]", "[COM Settings]",
// "[IP Settings]") and saves the file.
void StoreCommChoice(CConfiguration& config, const CommChoice& choice);
// Whether a choice differs from the transport this run uses or from the stored settings of that transport.
bool CommChoiceChangesTheLink(CConfiguration& config, const CommChoice& choice, bool usingLan);
// The port number of a device path: /dev/ttyS3 is port 4; other devices count as port 1.
int ComPortNumber(const QString& device);

// The comm-settings dialog: a serial page (ports found on this machine, baud rate) and a LAN page (this
// PC's addresses, the transceiver's address, fixed-IP buttons).
class CommSettingsDialog final : public QDialog {
    Q_OBJECT
public:
    CommSettingsDialog(CConfiguration& config, const QStringList& discovered, QWidget* parent = nullptr);
    CommChoice choice() const;
    // Network discovery for the LAN page: showing the page searches the LAN and fills the list; picking an
    // address from the list asks it whether it is a supported transceiver. Without it the list holds only
    // what was found before.
    void setDiscovery(LanDiscovery* discovery);
    QString lanStatusText() const;

Q_SIGNALS:
    void choiceAccepted(const CommChoice& choice);
    // The transceiver should keep (or drop) a fixed IP address.
    void fixedIpRequested(const QString& address, bool set);

private:
    void onOk();
    void search();
    void fillList(const QStringList& addresses);
    void onAddressChecked(const QString& address, bool supported, int major, int minor);

    QTabWidget* m_tabs;
    QComboBox* m_ports;
    QComboBox* m_baud;
    QComboBox* m_tcu;
    QLabel* m_pcAddress;
    QLabel* m_lanStatus;
    LanDiscovery* m_discovery = nullptr;
};

} // namespace tessaro
