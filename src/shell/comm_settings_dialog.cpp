#include "shell/comm_settings_dialog.h"

#include "config/configuration.h"
#include "config/text_util.h"
#include "link/lan_discovery.h"
#include "link/link_settings.h"
#include "shell/shell_texts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tessaro {

int ComPortNumber(const QString& device) {
    static const QLatin1String prefix("/dev/ttyS");
    if (device.startsWith(prefix) && IsNumeric(device.mid(prefix.size()))) {
        const qint64 n = Val(device.mid(prefix.size())) + 1;
        if (n >= 1 && n <= 16)
            return int(n);
    }
    return 1;
}

void StoreCommChoice(CConfiguration& config, const CommChoice& c) {
    if (c.lan) {
        config.SetIni(QStringLiteral("[HOST Interface]"), QStringLiteral("LAN"));
        config.SetIni(QStringLiteral("[IP Settings]"), c.tcuAddress.trimmed());
    } else {
        config.SetIni(QStringLiteral("[HOST Interface]"), QStringLiteral("COM"));
        config.SetIni(QStringLiteral("[COM port]"), QString::number(c.comPort));
        config.SetIni(QStringLiteral("[COM Device]"), c.comDevice);
        config.SetIni(QStringLiteral("[COM Settings]"), c.comSettings);
    }
    config.SaveIni();
}

bool CommChoiceChangesTheLink(CConfiguration& config, const CommChoice& c, bool usingLan) {
    if (c.lan != usingLan)
        return true;
    if (c.lan)
        return config.GetIni(QStringLiteral("[IP Settings]")).trimmed() != c.tcuAddress.trimmed();
    return ComDevice(config, GetComPort(config)) != c.comDevice ||
           config.GetIni(QStringLiteral("[COM Settings]")).trimmed() != c.comSettings;
}

CommSettingsDialog::CommSettingsDialog(CConfiguration& config, const QStringList& discovered, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(ShellText(5500, "Communication settings"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);

    auto* serial = new QWidget(m_tabs);
    auto* serialForm = new QFormLayout(serial);
    m_ports = new QComboBox(serial);
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) {
        const QString label = p.description().isEmpty() ? p.systemLocation()
                                                        : p.systemLocation() + QStringLiteral(" - ") + p.description();
        m_ports->addItem(label, p.systemLocation());
    }
    const QString device = config.GetIni(QStringLiteral("[COM Device]")).trimmed();
    if (!device.isEmpty() && m_ports->findData(device) < 0)
        m_ports->addItem(device, device); // a configured device that is unplugged right now stays selectable
    m_ports->setCurrentIndex(m_ports->findData(device));
    m_baud = new QComboBox(serial);
    for (int b : {2400, 4800, 7200, 9600, 14400, 19200, 38400, 57600, 115200})
        m_baud->addItem(QString::number(b));
    const QString settings = config.GetIni(QStringLiteral("[COM Settings]")).trimmed();
    const int baudIndex = m_baud->findText(settings.section(u',', 0, 0));
    m_baud->setCurrentIndex(baudIndex >= 0 ? baudIndex : m_baud->count() - 1);
    serialForm->addRow(ShellText(5501, "Com port:"), m_ports);
    serialForm->addRow(ShellText(5502, "Baud rate:"), m_baud);
    m_tabs->addTab(serial, ShellText(5503, "Serial"));

    auto* lan = new QWidget(m_tabs);
    auto* lanForm = new QFormLayout(lan);
    QStringList own;
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (!a.isLoopback() && a.protocol() == QAbstractSocket::IPv4Protocol)
            own << a.toString();
    }
    m_pcAddress = new QLabel(own.isEmpty() ? QStringLiteral("-") : own.join(QStringLiteral(", ")), lan);
    m_tcu = new QComboBox(lan);
    m_tcu->setEditable(true);
    const QString ip = config.GetIni(QStringLiteral("[IP Settings]")).trimmed();
    m_tcu->addItem(ip.isEmpty() ? QStringLiteral("0.0.0.0") : ip);
    for (const QString& d : discovered) {
        if (m_tcu->findText(d) < 0)
            m_tcu->addItem(d);
    }
    m_tcu->setToolTip(ShellText(5504, "Select From List"));
    lanForm->addRow(ShellText(5505, "PC IP address:"), m_pcAddress);
    lanForm->addRow(ShellText(5506, "TCU IP address:"), m_tcu);
    auto* fixed = new QHBoxLayout;
    auto* setFixed = new QPushButton(ShellText(5507, "Set fixed IP"), lan);
    auto* clearFixed = new QPushButton(ShellText(5508, "Clear fixed IP"), lan);
    fixed->addWidget(setFixed);
    fixed->addWidget(clearFixed);
    lanForm->addRow(fixed);
    m_lanStatus = new QLabel(lan);
    m_lanStatus->setWordWrap(true);
    lanForm->addRow(m_lanStatus);
    connect(setFixed, &QPushButton::clicked, this, [this] { Q_EMIT fixedIpRequested(m_tcu->currentText(), true); });
    connect(clearFixed, &QPushButton::clicked, this, [this] { Q_EMIT fixedIpRequested(QString(), false); });
    m_tabs->addTab(lan, ShellText(5509, "LAN"));

    const bool usesCom =
        config.GetIni(QStringLiteral("[HOST Interface]")).compare(QLatin1String("COM"), Qt::CaseInsensitive) == 0;
    m_tabs->setCurrentIndex(usesCom ? 0 : 1);
    layout->addWidget(m_tabs);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(ShellText(5427, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CommSettingsDialog::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CommSettingsDialog::setDiscovery(LanDiscovery* discovery) {
    if (m_discovery)
        m_discovery->disconnect(this);
    m_discovery = discovery;
    if (!discovery)
        return;
    fillList(discovery->discoveredHosts());
    connect(discovery, &LanDiscovery::searchFinished, this, [this](const QStringList& found) {
        fillList(found);
        m_lanStatus->setText(found.isEmpty() ? ShellText(5513, "No transceiver was found on the LAN.")
                                             : ShellText(5514, "Transceivers found: %1.").arg(found.size()));
    });
    connect(discovery, &LanDiscovery::addressChecked, this, &CommSettingsDialog::onAddressChecked);
    // Picking an address from the list (not typing one) asks it what it is.
    connect(m_tcu, &QComboBox::activated, this, [this](int index) {
        const QString address = m_tcu->itemText(index).trimmed();
        if (!m_discovery || QHostAddress(ParseHostPort(address).host).isNull() || address == QLatin1String("0.0.0.0"))
            return;
        m_lanStatus->setText(ShellText(5515, "Checking %1 ...").arg(address));
        m_discovery->checkAddress(address);
    });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1)
            search();
    });
    if (m_tabs->currentIndex() == 1)
        search();
}

QString CommSettingsDialog::lanStatusText() const {
    return m_lanStatus->text();
}

void CommSettingsDialog::search() {
    if (!m_discovery)
        return;
    m_discovery->runSearch();
    if (m_discovery->searching())
        m_lanStatus->setText(ShellText(5516, "Searching the LAN for transceivers ..."));
}

void CommSettingsDialog::fillList(const QStringList& addresses) {
    for (const QString& a : addresses) {
        if (m_tcu->findText(a) < 0)
            m_tcu->addItem(a);
    }
}

void CommSettingsDialog::onAddressChecked(const QString& address, bool supported, int major, int minor) {
    if (!supported) {
        m_lanStatus->setText(ShellText(5517, "No supported transceiver answers at %1.").arg(address));
        return;
    }
    const QString version =
        major > 0 ? QStringLiteral("%1.%2").arg(major).arg(minor, 2, 10, QLatin1Char('0')) : ShellText(5518, "unknown");
    m_lanStatus->setText(ShellText(5519, "%1 is a supported transceiver, software version %2.").arg(address, version));
}

CommChoice CommSettingsDialog::choice() const {
    CommChoice c;
    c.lan = m_tabs->currentIndex() == 1;
    c.comDevice = m_ports->currentData().toString();
    c.comPort = ComPortNumber(c.comDevice);
    c.comSettings = m_baud->currentText() + QStringLiteral(",n,8,1");
    c.tcuAddress = m_tcu->currentText().trimmed();
    return c;
}

void CommSettingsDialog::onOk() {
    const CommChoice c = choice();
    if (!c.lan && c.comDevice.isEmpty()) {
        auto* box = new QMessageBox(QMessageBox::Information, ShellText(5510, "Info"),
                                    ShellText(5511, "Please select a COM port. If no COM port is available it must "
                                                    "be installed in Windows."),
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    if (c.lan && QHostAddress(ParseHostPort(c.tcuAddress).host).isNull()) {
        auto* box =
            new QMessageBox(QMessageBox::Information, ShellText(5510, "Info"),
                            ShellText(5512, "Please enter the transceiver's IP address."), QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    Q_EMIT choiceAccepted(c);
    accept();
}

} // namespace tessaro
