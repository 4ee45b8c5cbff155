#pragma once

#include <QObject>

#include <array>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace tessaro {

// The main window's menus. Transceiver operations that only queue commands go straight to the status
// module's operations (wired by the main window); the actions are public so the window and the grids'
// context menus share them.
class MainMenus final : public QObject {
    Q_OBJECT
public:
    explicit MainMenus(QMenuBar& bar, QObject* parent = nullptr);
    void retranslate();
    // Check mark of the preferred-ocean item: 'W', 'E', 'P', 'I' or 'N'.
    void markPreferredOcean(QChar ocean);
    void setLanguageChecked(int langId);
    void setNightChecked(bool on, int dim);
    // The Help menu's entry in the menu bar, so that menus added later can stand before it.
    QAction* helpMenuAction() const;

    QAction* newMessage;
    QAction* openMessage;
    QAction* print; // the selected message, EGC or sent item
    QAction* markUnread;
    QAction* deleteMessage;
    QAction* confirmationRequest;
    QAction* abortTransmission;
    QAction* exit;
    QAction* terminalStatus;
    QAction* position;
    QAction* gpsStatus;
    QAction* linkTest;
    QAction* systemInformation;
    std::array<QAction*, 4> login; // West, East, Pacific, Indian
    QAction* logout;
    std::array<QAction*, 5> preferred; // West, East, Pacific, Indian, none
    QAction* scan;
    // EGC: set-up, ENID list, index repair, and the transceiver's EGC simulation (a test aid).
    QAction* egcSetup; // ConfigEGCMenu
    QAction* enidList;
    QAction* repairEgcLog; // mnuRepairEgcLog
    // mnuRxEGCDistress, mnuRxEGCRoutine, mnuRxEGCSafety, mnuRxEGCUrgency; data() holds the priority 0..3.
    std::array<QAction*, 4> receiveEgc;
    QAction* simulateEgcRxError; // mnuSimEgcRxError, checkable
    // Distress: the maritime generator behind its warning window, the land-mobile generator
    // (DistressGeneratorMenu) and the land-mobile alert settings (LMAlertSetting).
    QAction* distressSetup;
    QAction* distressGeneratorLandMobile;
    QAction* landMobileAlertSettings;
    QAction* distressTestMode;
    QAction* latestDistressInfo;
    QAction* commSettings;
    QAction* compactMode;
    QAction* vesselData;
    QAction* signature;
    QAction* configPassword;
    QAction* transmitPassword;
    QAction* remotePassword;
    QAction* addressBook;
    QAction* routing;
    QAction* defaultMessages;
    QAction* dnidList;
    QAction* messageReporting;
    QAction* positionReports;
    QAction* terminalMode;
    QAction* lesList;
    QAction* emailProviders;
    QAction* defaultLes;
    QAction* defaultProvider;
    QAction* lesServices;
    QAction* distressEditor;
    std::array<QAction*, 3> languages; // English, French, Russian
    // View: the three lists, night mode and its dim steps (data() holds the step 0..2).
    std::array<QAction*, 3> showTab; // Inbox, Sent Items, EGC; data() holds the tab index
    QAction* nightMode;
    std::array<QAction*, 3> nightDim;
    QAction* about;

private:
    QMenu* m_file;
    QMenu* m_messages;
    QMenu* m_view;
    QMenu* m_nightDim;
    QMenu* m_transceiver;
    QMenu* m_login;
    QMenu* m_preferred;
    QMenu* m_egc;
    QMenu* m_egcSimulation;
    QMenu* m_distress;
    QMenu* m_options;
    QMenu* m_language;
    QMenu* m_help;
    QActionGroup* m_preferredGroup;
    QActionGroup* m_languageGroup;
    QActionGroup* m_nightDimGroup;
};

} // namespace tessaro
