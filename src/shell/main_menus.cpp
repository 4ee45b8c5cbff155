#include "shell/main_menus.h"

#include "shell/distress_editor.h"
#include "shell/language.h"
#include "shell/shell_texts.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace tessaro {

MainMenus::MainMenus(QMenuBar& bar, QObject* parent) : QObject(parent) {
    const auto action = [this](QMenu* menu, const QKeySequence& key = {}) {
        auto* a = menu->addAction(QString());
        if (!key.isEmpty())
            a->setShortcut(key);
        return a;
    };
    m_file = bar.addMenu(QString());
    newMessage = action(m_file, QKeySequence::New);
    openMessage = action(m_file, QKeySequence::Open);
    print = action(m_file, QKeySequence::Print);
    distressEditor = action(m_file);
    addressBook = action(m_file, QKeySequence(Qt::CTRL | Qt::Key_B));
    m_file->addSeparator();
    exit = action(m_file, QKeySequence::Quit);

    m_messages = bar.addMenu(QString());
    markUnread = action(m_messages, QKeySequence(Qt::CTRL | Qt::Key_U));
    deleteMessage = action(m_messages, QKeySequence::Delete);
    m_messages->addSeparator();
    confirmationRequest = action(m_messages);
    abortTransmission = action(m_messages);

    m_view = bar.addMenu(QString());
    for (size_t i = 0; i < showTab.size(); ++i) {
        showTab[i] = action(m_view, QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + int(i))));
        showTab[i]->setData(int(i));
    }
    m_view->addSeparator();
    nightMode = action(m_view, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    nightMode->setCheckable(true);
    m_nightDim = m_view->addMenu(QString());
    m_nightDimGroup = new QActionGroup(this);
    for (size_t i = 0; i < nightDim.size(); ++i) {
        nightDim[i] = action(m_nightDim);
        nightDim[i]->setCheckable(true);
        nightDim[i]->setData(int(i));
        m_nightDimGroup->addAction(nightDim[i]);
    }

    m_transceiver = bar.addMenu(QString());
    terminalStatus = action(m_transceiver, QKeySequence(Qt::Key_F5));
    position = action(m_transceiver);
    gpsStatus = action(m_transceiver);
    systemInformation = action(m_transceiver);
    linkTest = action(m_transceiver);
    m_transceiver->addSeparator();
    m_login = m_transceiver->addMenu(QString());
    for (QAction*& a : login)
        a = action(m_login);
    logout = action(m_transceiver);
    m_preferred = m_transceiver->addMenu(QString());
    m_preferredGroup = new QActionGroup(this);
    for (QAction*& a : preferred) {
        a = action(m_preferred);
        a->setCheckable(true);
        m_preferredGroup->addAction(a);
    }
    scan = action(m_transceiver);
    lesServices = action(m_transceiver);

    m_egc = bar.addMenu(QString());
    egcSetup = action(m_egc);
    enidList = action(m_egc);
    m_egc->addSeparator();
    repairEgcLog = action(m_egc);
    m_egc->addSeparator();
    m_egcSimulation = m_egc->addMenu(QString());
    const int priorities[] = {3, 0, 1, 2}; // Distress, Routine, Safety, Urgency
    for (size_t i = 0; i < receiveEgc.size(); ++i) {
        receiveEgc[i] = action(m_egcSimulation);
        receiveEgc[i]->setData(priorities[i]);
    }
    m_egcSimulation->addSeparator();
    simulateEgcRxError = action(m_egcSimulation);
    simulateEgcRxError->setCheckable(true);

    m_distress = bar.addMenu(QString());
    distressSetup = action(m_distress);
    distressGeneratorLandMobile = action(m_distress);
    landMobileAlertSettings = action(m_distress);
    m_distress->addSeparator();
    distressTestMode = action(m_distress);
    latestDistressInfo = action(m_distress);

    m_options = bar.addMenu(QString());
    commSettings = action(m_options);
    compactMode = action(m_options);
    compactMode->setCheckable(true);
    vesselData = action(m_options);
    signature = action(m_options);
    configPassword = action(m_options);
    transmitPassword = action(m_options);
    remotePassword = action(m_options);
    m_options->addSeparator();
    routing = action(m_options);
    defaultMessages = action(m_options);
    terminalMode = action(m_options);
    m_options->addSeparator();
    lesList = action(m_options);
    emailProviders = action(m_options);
    defaultLes = action(m_options);
    defaultProvider = action(m_options);
    m_options->addSeparator();
    dnidList = action(m_options);
    messageReporting = action(m_options);
    positionReports = action(m_options);
    m_language = m_options->addMenu(QString());
    m_languageGroup = new QActionGroup(this);
    for (size_t i = 0; i < languages.size(); ++i) {
        languages[i] = action(m_language);
        languages[i]->setCheckable(true);
        languages[i]->setData(Languages()[i].id);
        languages[i]->setText(Languages()[i].name); // each language in its own words, never translated
        m_languageGroup->addAction(languages[i]);
    }

    m_help = bar.addMenu(QString());
    about = action(m_help);
    retranslate();
}

QAction* MainMenus::helpMenuAction() const {
    return m_help->menuAction();
}

void MainMenus::retranslate() {
    m_file->setTitle(ShellText(5600, "&File"));
    newMessage->setText(ShellText(5601, "&New message..."));
    openMessage->setText(ShellText(5602, "&Open message"));
    exit->setText(ShellText(5603, "E&xit"));
    print->setText(ShellText(9329, "&Print..."));
    m_view->setTitle(ShellText(9330, "&View"));
    showTab[0]->setText(ShellText(9331, "&Inbox"));
    showTab[1]->setText(ShellText(9332, "&Sent Items"));
    showTab[2]->setText(ShellText(9333, "&EGC"));
    nightMode->setText(ShellText(9334, "&Night mode"));
    m_nightDim->setTitle(ShellText(9335, "Night &brightness"));
    nightDim[0]->setText(ShellText(9336, "&Dark"));
    nightDim[1]->setText(ShellText(9337, "Da&rker"));
    nightDim[2]->setText(ShellText(9338, "Darkes&t"));
    m_messages->setTitle(ShellText(5604, "&Messages"));
    markUnread->setText(ShellText(5605, "Mark as &unread"));
    deleteMessage->setText(ShellText(5606, "&Delete"));
    confirmationRequest->setText(ShellText(5607, "Request delivery &confirmation"));
    abortTransmission->setText(ShellText(5608, "&Abort transmission"));
    m_transceiver->setTitle(ShellText(5609, "&Transceiver"));
    terminalStatus->setText(ShellText(5610, "Transceiver &status"));
    position->setText(ShellText(5611, "&Position"));
    gpsStatus->setText(ShellText(5612, "&GPS status"));
    systemInformation->setText(ShellText(5613, "System i&nformation"));
    linkTest->setText(ShellText(5614, "&Link test"));
    m_login->setTitle(ShellText(5615, "Log &in"));
    const char* const oceans[] = {"West Atlantic", "East Atlantic", "Pacific", "Indian", "None"};
    for (size_t i = 0; i < login.size(); ++i)
        login[i]->setText(GetText(5620 + int(i), QString::fromLatin1(oceans[i])));
    for (size_t i = 0; i < preferred.size(); ++i)
        preferred[i]->setText(GetText(5620 + int(i), QString::fromLatin1(oceans[i])));
    logout->setText(ShellText(5616, "Log &out"));
    m_preferred->setTitle(ShellText(5617, "P&referred ocean"));
    scan->setText(ShellText(5618, "S&can for NCS"));
    m_egc->setTitle(ShellText(5720, "&EGC"));
    egcSetup->setText(ShellText(5721, "EGC &Setup..."));
    enidList->setText(ShellText(5722, "&ENIDs..."));
    repairEgcLog->setText(ShellText(5723, "&Repair EGC log"));
    m_egcSimulation->setTitle(ShellText(5724, "S&imulation"));
    receiveEgc[0]->setText(ShellText(5725, "Receive EGC &Distress"));
    receiveEgc[1]->setText(ShellText(5726, "Receive EGC &Routine"));
    receiveEgc[2]->setText(ShellText(5727, "Receive EGC &Safety"));
    receiveEgc[3]->setText(ShellText(5728, "Receive EGC &Urgency"));
    simulateEgcRxError->setText(ShellText(5729, "Simulate EGC reception &error"));
    m_distress->setTitle(ShellText(5750, "&Distress"));
    distressSetup->setText(ShellText(5751, "&Distress Alert setup..."));
    distressGeneratorLandMobile->setText(ShellText(5752, "Landmobile distress &generator..."));
    landMobileAlertSettings->setText(ShellText(5753, "Landmobile &alert settings..."));
    distressTestMode->setText(ShellText(2024, "Distress Test M&ode"));
    latestDistressInfo->setText(ShellText(2023, "&Reset alarm / latest distress info..."));
    m_options->setTitle(ShellText(5630, "&Options"));
    commSettings->setText(ShellText(5631, "&Communication settings..."));
    compactMode->setText(ShellText(5632, "Co&mpact mode"));
    vesselData->setText(ShellText(5636, "&Vessel data..."));
    signature->setText(ShellText(5637, "Define &signature..."));
    configPassword->setText(ShellText(5638, "Config pass&word..."));
    transmitPassword->setText(ShellText(5639, "&Transmit password..."));
    remotePassword->setText(ShellText(2766, "&Remote Config password..."));
    addressBook->setText(ShellText(6300, "&Address Book..."));
    routing->setText(ShellText(6609, "Ro&uting..."));
    defaultMessages->setText(ShellText(6635, "Default messa&ges..."));
    terminalMode->setText(ShellText(6905, "Termi&nal..."));
    lesList->setText(ShellText(6470, "LES l&ist..."));
    emailProviders->setText(ShellText(6471, "&E-mail service providers..."));
    defaultLes->setText(ShellText(6472, "De&fault LES..."));
    defaultProvider->setText(ShellText(6473, "Def&ault provider..."));
    lesServices->setText(ShellText(6474, "LES ser&vices..."));
    dnidList->setText(ShellText(2016, "&DNIDs..."));
    messageReporting->setText(ShellText(2018, "Message rep&orting..."));
    positionReports->setText(ShellText(2017, "&Position reporting..."));
    distressEditor->setText(DistressEditorMenuText());
    m_language->setTitle(ShellText(5633, "&Language"));
    m_help->setTitle(ShellText(5634, "&Help"));
    about->setText(ShellText(5635, "&About Tessaro"));
}

void MainMenus::markPreferredOcean(QChar ocean) {
    const QString order = QStringLiteral("WEPIN");
    const qsizetype i = order.indexOf(ocean.toUpper());
    if (i >= 0)
        preferred[size_t(i)]->setChecked(true);
}

void MainMenus::setNightChecked(bool on, int dim) {
    nightMode->setChecked(on);
    for (QAction* a : nightDim)
        a->setChecked(a->data().toInt() == dim);
}

void MainMenus::setLanguageChecked(int langId) {
    for (QAction* a : languages)
        a->setChecked(a->data().toInt() == langId);
}

} // namespace tessaro
