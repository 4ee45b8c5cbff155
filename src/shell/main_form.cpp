#include "shell/main_form.h"

#include "app/runtime.h"
#include "config/configuration.h"
#include "config/text_util.h"
#include "distress/distress_module.h"
#include "egc/egc_module.h"
#include "link/terminal.h"
#include "messaging/default_message.h"
#include "messaging/distress_message.h"
#include "messaging/editor_insertions.h"
#include "messaging/lists_module.h"
#include "messaging/mailbox_actions.h"
#include "messaging/messaging_module.h"
#include "messaging/printing.h"
#include "reporting/hot_list.h"
#include "shell/address_book_window.h"
#include "shell/alarm_player.h"
#include "shell/alert_window.h"
#include "shell/comm_settings_dialog.h"
#include "shell/default_message_dialog.h"
#include "shell/distress_editor.h"
#include "shell/distress_test_window.h"
#include "shell/distress_windows.h"
#include "shell/dnid_window.h"
#include "shell/egc_alarm_window.h"
#include "shell/egc_model.h"
#include "shell/egc_setup_dialog.h"
#include "shell/egc_view.h"
#include "shell/enid_dialog.h"
#include "shell/forms_menu_controller.h"
#include "shell/hot_list_menu.h"
#include "shell/inbox_model.h"
#include "shell/language.h"
#include "shell/latest_distress_window.h"
#include "shell/les_dialogs.h"
#include "shell/link_test_window.h"
#include "shell/mailbox_view.h"
#include "shell/main_menus.h"
#include "shell/message_editor.h"
#include "shell/message_window.h"
#include "shell/night_mode.h"
#include "shell/outbox_model.h"
#include "shell/password_prompt.h"
#include "shell/pc_printer.h"
#include "shell/remote_password_dialog.h"
#include "shell/routing_dialog.h"
#include "shell/sending_dialog.h"
#include "shell/shell_texts.h"
#include "shell/status_display.h"
#include "shell/terminal_window.h"
#include "shell/text_window.h"
#include "shell/tray_notifier.h"
#include "shell/vessel_dialogs.h"
#include "shell/wait_window.h"
#include "shell/window_geometry.h"
#include "status/session.h"
#include "status/status_module.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>

namespace tessaro {

namespace {
constexpr int kMaxInformationLines = 1000;
const QString kMainSection = QStringLiteral("MainForm");

QString css(unsigned rgb) {
    return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

QMessageBox::Icon iconOf(MessageStyle style) {
    switch (style) {
    case MessageStyle::Warning:
        return QMessageBox::Warning;
    case MessageStyle::Critical:
        return QMessageBox::Critical;
    default:
        return QMessageBox::Information;
    }
}
} // namespace

MainForm::MainForm(CConfiguration& config, CSession& session, const IClock& clock, QWidget* parent)
    : QMainWindow(parent), m_config(config), m_session(session), m_clock(clock) {
    buildWidgets();
    m_compact = config.GetIni(QStringLiteral("[Compact Mode]")).trimmed() == u"1";
    setCompactMode(m_compact);
    resize(1100, 720); // first run; a saved geometry replaces it
    RestoreWindowGeometry(*this, config, kMainSection);
}

MainForm::~MainForm() = default;

void MainForm::buildWidgets() {
    setWindowIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
    m_menus = new MainMenus(*menuBar(), this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);

    // The status field is the first thing the eye should find: large, coloured, across the window.
    m_statusField = new QLabel(central);
    m_statusField->setObjectName(QStringLiteral("MobileStatusField"));
    m_statusField->setAlignment(Qt::AlignCenter);
    m_statusField->setMinimumHeight(34);
    QFont big = m_statusField->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    m_statusField->setFont(big);
    layout->addWidget(m_statusField);

    m_banner = new QLabel(central);
    m_banner->setWordWrap(true);
    m_banner->setAlignment(Qt::AlignCenter);
    m_banner->setStyleSheet(QStringLiteral("QLabel { background: #ff0000; color: #ffffff; font-weight: bold; "
                                           "padding: 6px; }"));
    m_banner->hide();
    layout->addWidget(m_banner);

    auto* body = new QHBoxLayout;
    m_splitter = new QSplitter(Qt::Vertical, central);
    m_tabs = new QTabWidget(m_splitter);
    m_inbox = new InboxModel(this);
    m_outbox = new OutboxModel(this);

    m_inboxView = new MailboxView(*m_inbox, m_config, QStringLiteral("INBOXGRID"), 0, m_tabs);
    m_outboxView = new MailboxView(*m_outbox, m_config, QStringLiteral("SENTITEMSGRID"), 0, m_tabs);
    m_egc = new EgcModel(this);
    m_egcView = new EgcView(*m_egc, m_config, m_tabs);
    m_tabs->addTab(m_inboxView->page(), QString());
    m_tabs->addTab(m_outboxView->page(), QString());
    m_tabs->addTab(m_egcView->page(), QString());
    // The information list with a heading, so an empty list still says what will appear in it.
    m_infoPane = new QWidget(m_splitter);
    auto* infoLayout = new QVBoxLayout(m_infoPane);
    infoLayout->setContentsMargins(0, 4, 0, 0);
    infoLayout->setSpacing(2);
    m_infoHeading = new QLabel(m_infoPane);
    infoLayout->addWidget(m_infoHeading);
    m_info = new QListWidget(m_infoPane);
    m_info->setObjectName(QStringLiteral("InformationList"));
    infoLayout->addWidget(m_info, 1);
    m_splitter->setStretchFactor(0, 4);
    m_splitter->setStretchFactor(1, 1);
    body->addWidget(m_splitter, 1);
    m_display = new StatusDisplay(m_session, central);
    m_display->setFixedWidth(350);
    body->addWidget(m_display);
    layout->addLayout(body, 1);
    setCentralWidget(central);

    m_activity = new QLabel(this);
    m_activity->setMinimumWidth(140);
    m_upload = new QProgressBar(this);
    m_upload->setMaximumWidth(200);
    m_upload->hide();
    statusBar()->addWidget(m_activity);
    statusBar()->addPermanentWidget(m_upload);

    m_wait = new WaitWindow(this);
    m_statusWindow = new TextWindow(m_config, QStringLiteral("TerminalStatusForm"), this);
    m_gpsWindow = new TextWindow(m_config, QStringLiteral("GpsStatusForm"), this);
    m_positionWindow = new TextWindow(m_config, QStringLiteral("PositionForm"), this);
    m_infoWindow = new TextWindow(m_config, QStringLiteral("SystemInformationForm"), this);
    m_linkTestWindow = new LinkTestWindow(this);

    // Without a notification area (offscreen, a bare X server) the notifier has no backend and stays quiet.
    m_tray = new TrayNotifier(MakeSystemTray(windowIcon(), this,
                                             [this] {
                                                 showNormal();
                                                 raise();
                                                 activateWindow();
                                             }),
                              this);
    m_night = new NightMode(m_config, this);
    connect(m_night, &NightMode::changed, this, &MainForm::applyNight);
    m_linkWasUp = m_session.MesConnected();
    connect(&m_session, &SessionFlags::mesConnectedChanged, this, [this](bool up) {
        m_linkWasUp = m_linkWasUp || up;
        refreshStatusPanel();
    });
    connect(&m_session, &SessionFlags::changed, this, &MainForm::refreshStatusPanel);
    wireEgcMenus();
    wireViewMenu();
    retranslate();
    m_night->apply();
    showStatusField();
}

void MainForm::wireViewMenu() {
    MainMenus& m = *m_menus;
    for (QAction* a : m.showTab)
        connect(a, &QAction::triggered, this, [this, a] {
            m_tabs->setCurrentIndex(a->data().toInt());
            if (QWidget* page = m_tabs->currentWidget())
                page->setFocus(Qt::ShortcutFocusReason);
        });
    connect(m.nightMode, &QAction::triggered, this, [this](bool on) { m_night->setOn(on); });
    for (QAction* a : m.nightDim)
        connect(a, &QAction::triggered, this, [this, a] { m_night->setDim(a->data().toInt()); });
    connect(m.print, &QAction::triggered, this, &MainForm::printSelected);
}

void MainForm::applyNight() {
    const NightSettings& night = m_night->settings();
    m_menus->setNightChecked(night.on, night.dim);
    for (QAction* a : m_menus->nightDim)
        a->setEnabled(night.on);
    m_display->setNight(night);
    showStatusField();
}

void MainForm::refreshStatusPanel() {
    StatusDisplayInputs inputs;
    inputs.nowUtc = m_clock.nowUtc();
    inputs.pendingOutgoing = m_outbox->unsentCount();
    inputs.linkWasUp = m_linkWasUp;
    m_display->setInputs(inputs);
    m_display->refresh();
    m_tray->setStatus(m_presenter.statusField().text, inputs.pendingOutgoing);
}

void MainForm::wireEgcMenus() {
    // Only signals: the EGC module does the work; these work before (and without) a runtime.
    MainMenus& m = *m_menus;
    connect(m.egcSetup, &QAction::triggered, this, &MainForm::egcSetupRequested);
    connect(m.enidList, &QAction::triggered, this, &MainForm::enidListRequested);
    connect(m.repairEgcLog, &QAction::triggered, this, &MainForm::repairEgcLogRequested);
    for (QAction* a : m.receiveEgc)
        connect(a, &QAction::triggered, this, [this, a] { Q_EMIT simulateEgcRequested(a->data().toInt()); });
    connect(m.simulateEgcRxError, &QAction::toggled, this, &MainForm::simulateEgcRxErrorToggled);
    connect(m_egcView, &EgcView::openRequested, this, &MainForm::openEgc);
    connect(m_egcView, &EgcView::deleteRequested, this, &MainForm::deleteEgcRequested);
    connect(m_egcView, &EgcView::markUnreadRequested, this, &MainForm::markEgcUnreadRequested);
    m_egcView->addActions({m.openMessage, m.markUnread, m.deleteMessage});
}

void MainForm::attachEgc(EgcModule& egc) {
    setEgcStore(egc.indexPath(), egc.egcFolder());
    connect(&egc, &EgcModule::egcStored, this, &MainForm::egcStored);
    connect(&egc, &EgcModule::indexChanged, this, &MainForm::reloadEgcList);
    connect(this, &MainForm::deleteEgcRequested, &egc, [this, &egc](const QString& diskFileName) {
        if (!egc.DeleteStoredEgc(diskFileName))
            showMessageBox(
                {ShellText(5865, "The EGC '%0' could not be deleted.").replace(QLatin1String("%0"), diskFileName),
                 ShellText(5041, "Error"), MessageStyle::Warning},
                [] {});
    });
    connect(this, &MainForm::markEgcUnreadRequested, &egc, [&egc](const QString& name) { egc.MarkUnread(name); });
    connect(this, &MainForm::egcOpened, &egc, [&egc](const QString& name) { egc.MarkRead(name); });
    connect(this, &MainForm::repairEgcLogRequested, &egc, &EgcModule::RepairEgcLog);
    connect(this, &MainForm::simulateEgcRequested, &egc, &EgcModule::QueueSimulatedEgc);
    connect(this, &MainForm::simulateEgcRxErrorToggled, &egc, &EgcModule::setSimulateRxError);
    // The set-up and the ENID list are guarded by the configuration password; their windows open when the
    // transceiver has answered.
    EgcSetupService& setup = egc.setup();
    ShowEgcSetupWhenReady(setup, this);
    ShowEnidListWhenReady(setup, this);
    connect(this, &MainForm::egcSetupRequested, this,
            [this, &setup] { GuardConfigAction(m_config, this, [&setup] { setup.OpenSetup(); }); });
    connect(this, &MainForm::enidListRequested, this,
            [this, &setup] { GuardConfigAction(m_config, this, [&setup] { setup.OpenEnidList(); }); });
}

void MainForm::attachDistress(DistressGeneratorService& generator) {
    ConnectDistressWindows(generator, this);
    connect(m_menus->distressSetup, &QAction::triggered, this, [this, &generator] {
        auto* warning = new DistressInfoForm(generator, this);
        warning->setAttribute(Qt::WA_DeleteOnClose);
        warning->open();
    });
    connect(m_menus->distressGeneratorLandMobile, &QAction::triggered, &generator,
            &DistressGeneratorService::OpenLandMobile);
    connect(m_menus->landMobileAlertSettings, &QAction::triggered, &generator,
            &DistressGeneratorService::OpenAlertSettings);
    // The land-mobile windows only on a transceiver known to be of a family other than 1 and 4.
    const auto enable = [this] {
        const int family = m_session.ProductType();
        const bool landMobile = family != 0 && family != 1 && family != 4;
        m_menus->distressGeneratorLandMobile->setEnabled(landMobile);
        m_menus->landMobileAlertSettings->setEnabled(landMobile);
    };
    enable();
    connect(&m_session, &CSession::identityChanged, this, enable);
}

void MainForm::attachDistressTest(DistressTestService& testMode, InHarbourService& harbour) {
    new DistressModeForm(testMode, this); // shows and hides itself with the test
    ConnectLatestDistressWindow(testMode, this);
    connect(m_menus->distressTestMode, &QAction::triggered, &testMode, [&testMode] { testMode.StartTest(); });
    connect(m_menus->latestDistressInfo, &QAction::triggered, &testMode,
            [&testMode] { testMode.RequestLatestDistress(); });
    // The test needs the transceiver; the menu follows the link.
    const auto enableTest = [this](bool connected) { m_menus->distressTestMode->setEnabled(connected); };
    enableTest(m_session.MesConnected());
    connect(&m_session, &SessionFlags::mesConnectedChanged, this, enableTest);

    m_inHarbour = new QPushButton(ShellText(5754, "&In Harbour"), this);
    m_inHarbour->setObjectName(QStringLiteral("InHarbourButton"));
    statusBar()->addPermanentWidget(m_inHarbour);
    m_inHarbour->setVisible(harbour.offered());
    connect(m_inHarbour, &QPushButton::clicked, &harbour, [&harbour] { harbour.Press(); });
}

void MainForm::setEgcStore(const QString& indexPath, const QString& egcFolder) {
    m_egcFolder = egcFolder;
    m_egcView->setEgcFolder(egcFolder);
    m_egc->open(indexPath);
}

void MainForm::egcStored(const EgcIdxRecord& record, const QString&) {
    m_egc->appendStored(record);
}

void MainForm::reloadEgcList() {
    m_egc->refresh();
}

void MainForm::setAlarmPlayer(std::unique_ptr<IAlarmPlayer> player) {
    m_player = std::move(player);
    if (m_alertWindow)
        m_alertWindow->setPlayer(m_player.get());
    if (m_egcAlarm)
        m_egcAlarm->setPlayer(m_player.get());
}

IAlarmPlayer& MainForm::alarmPlayer() {
    if (!m_player)
        m_player = SoundAlarmPlayer::ForThisMachine();
    return *m_player;
}

void MainForm::announceAlarmSound() {
    // So that a silent alarm is no surprise.
    if (m_alarmSoundAnnounced)
        return;
    m_alarmSoundAnnounced = true;
    addInformation(alarmPlayer().description());
}

void MainForm::openEgc(int row) {
    const std::optional<ShownMessage> m = messageAt(kEgcTab, row);
    if (!m)
        return;
    auto* window = new MessageWindow(m_config, m->caption, m->fields, m->body, this);
    if (m_printing)
        connect(window, &MessageWindow::printRequested, m_printing, &PrintingModule::Print);
    window->setObjectName(QStringLiteral("MessageWindow"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    Q_EMIT egcOpened(m->diskFileName);
}

void MainForm::retranslate() {
    m_menus->retranslate();
    if (m_formsMenu)
        m_formsMenu->retranslate();
    if (m_hotList)
        m_hotList->retranslate();
    m_menus->setLanguageChecked(CurrentLanguage());
    m_tabs->setTabText(0, ShellText(5020, "Inbox"));
    m_tabs->setTabText(1, ShellText(5021, "Sent Items"));
    m_tabs->setTabText(kEgcTab, ShellText(5730, "EGC"));
    m_egc->retranslate();
    m_infoHeading->setText(ShellText(5028, "Information from the transceiver and Tessaro (newest at the bottom):"));
    m_inbox->retranslate();
    m_outbox->retranslate();
    m_display->retranslate();
    m_statusWindow->setCaption(ShellText(5022, "Transceiver Status"));
    m_gpsWindow->setCaption(ShellText(5023, "GPS Status"));
    m_positionWindow->setCaption(ShellText(5024, "Position"));
    m_infoWindow->setCaption(ShellText(5025, "System information"));
    setWindowTitle(MainPresenter::WindowTitle(m_session.MobileNumber(), m_compact));
    // Alt+I: Alt+H is the Help menu's.
    if (m_inHarbour)
        m_inHarbour->setText(ShellText(5754, "&In Harbour"));
    if (m_distressEditorButton)
        m_distressEditorButton->setText(ShellText(1929, "Click for Distress Editor"));
}

// The windows of the lists, reporting, printing and terminal subsystems, reached from the menus.
void MainForm::attachLists(TessaroRuntime& runtime) {
    MainMenus& m = *m_menus;
    connect(m.addressBook, &QAction::triggered, this, [this] { ShowAddressBook(m_config, this, m_editor); });

    RoutingService& routing = runtime.lists().routing();
    connect(m.routing, &QAction::triggered, this, [this, &routing] { OpenRoutingForm(m_config, routing, this); });
    connect(m.defaultMessages, &QAction::triggered, this, [this] {
        const QString data = m_config.DataPath();
        auto* form = new DefaultMessageForm(data + QLatin1String(kDefaultMessagesFolder) + QLatin1Char('/'), data,
                                            m_editor, this);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->show();
    });
    m_hotListStore = &runtime.forms().hotList();
    auto* hotMenu = new QMenu(menuBar());
    menuBar()->insertMenu(m.helpMenuAction(), hotMenu);
    m_hotList = new HotListMenu(*hotMenu, *m_hotListStore, this);
    CountFormsInHotList(*m_hotList, *m_formsMenu, runtime.forms(), *m_hotListStore);
    m_terminal->addTimerJob(TerminalTimer::HotList, [this] { m_hotList->refresh(); });

    if (LesListService* lists = runtime.lists().lesLists()) {
        const std::pair<QAction*, LesWindow> entries[] = {{m.lesList, LesWindow::LesList},
                                                          {m.emailProviders, LesWindow::Providers},
                                                          {m.defaultLes, LesWindow::DefaultLes},
                                                          {m.defaultProvider, LesWindow::DefaultProvider},
                                                          {m.lesServices, LesWindow::Services}};
        for (const auto& [action, window] : entries)
            connect(action, &QAction::triggered, this, [this, lists, w = window] {
                // The provider list changes where e-mail goes: the configuration password guards it.
                if (w == LesWindow::Providers)
                    GuardConfigAction(m_config, this,
                                      [this, lists] { OpenLesWindow(LesWindow::Providers, *lists, this); });
                else
                    OpenLesWindow(w, *lists, this);
            });
    }

    ReportingModule& reporting = runtime.reporting();
    ConnectReportingWindows(reporting, this);
    connect(m.dnidList, &QAction::triggered, this, [this, &reporting] { OpenDnidListMenu(m_config, reporting, this); });
    connect(m.messageReporting, &QAction::triggered, this,
            [this, &reporting] { OpenMessageReportingMenu(m_config, reporting, this); });
    connect(m.positionReports, &QAction::triggered, this,
            [this, &reporting] { OpenPositionReportsMenu(m_config, reporting, this); });

    m_printing = &runtime.printing();
    connect(this, &MainForm::printRequested, m_printing, &PrintingModule::Print);
    m_pcPrinter = new PcPrinter(m_config, this, this);
    ConnectPrintSources(*m_printing, *m_pcPrinter, runtime.egc(), runtime.messaging());
    for (TextWindow* w : {m_statusWindow, m_gpsWindow, m_positionWindow, m_infoWindow})
        if (w)
            connect(w, &TextWindow::printRequested, m_printing, &PrintingModule::Print);
    if (m_linkTestWindow)
        connect(m_linkTestWindow, &LinkTestWindow::printRequested, m_printing, &PrintingModule::Print);
    CommandEngine& engine = runtime.terminal().engine();
    connect(m.terminalMode, &QAction::triggered, this, [this, &engine] {
        GuardConfigAction(m_config, this, [this, &engine] { OpenTerminalWindow(engine, this); });
    });

    m_distressEditor = new DistressEditorController(
        m_config, m_session,
        [this] {
            newMessage();
            return editor();
        },
        this);
    connect(m.distressEditor, &QAction::triggered, m_distressEditor,
            &DistressEditorController::DistressEditorButton_Click);
    QPushButton* distressButton = MakeDistressEditorButton(this);
    m_distressEditorButton = distressButton;
    statusBar()->addPermanentWidget(distressButton);
    connect(distressButton, &QPushButton::clicked, m_distressEditor,
            &DistressEditorController::DistressEditorButton_Click);
}

void MainForm::attach(TessaroRuntime& runtime) {
    m_terminal = &runtime.terminal();
    m_status = &runtime.status();
    m_messaging = &runtime.messaging();
    m_distress = &runtime.distress();
    StatusModule& status = *m_status;
    wireMenus();

    m_formsMenu = new FormsMenuController(*menuBar(), m_menus->helpMenuAction(), runtime.forms(), this);
    m_formsMenu->notice = [this](const QString& text) {
        if (m_terminal)
            m_terminal->notifier().showMessage(text, ShellText(5706, "Forms"), MessageStyle::Warning);
    };

    attachLists(runtime);

    reloadMailboxes();
    announceAlarmSound();
    attachEgc(runtime.egc());
    m_editorModule = &runtime.editor();
    connect(m_editorModule, &EditorModule::insertText, this, [this](const QString& text) {
        if (m_editor)
            m_editor->insertAtCursor(text);
    });
    attachDistress(runtime.distress().generator());
    attachDistressTest(runtime.distress().testMode(), runtime.distress().inHarbour());
    connect(m_messaging, &MessagingModule::inboxChanged, this, [this] { m_inbox->refresh(); });
    connect(m_messaging, &MessagingModule::outboxChanged, this, [this] { m_outbox->refresh(); });
    // INFO 552: the activity field turns red on white until the reports that settle it arrive.
    connect(m_messaging, &MessagingModule::indicatorAlarm, this, [this](bool alarm) {
        m_indicatorAlarm = alarm;
        m_activity->setStyleSheet(alarm ? QStringLiteral("QLabel { color: #FF0000; background-color: #FFFFFF; }")
                                        : QString());
    });
    connect(m_distress, &DistressModule::testModeBannerChanged, this, [this](const QString& text) {
        m_banner->setText(text);
        m_banner->setVisible(!text.isEmpty());
    });
    // Routine and Safety traffic in the notification area; Urgent and Distress have their alarm windows.
    connect(m_messaging, &MessagingModule::stored, this,
            [this](const QString&, const QString&, int priority, const QString& modemFileName) {
                m_tray->received(TrayNotifier::Traffic::Message, priority, modemFileName);
            });
    connect(&runtime.egc(), &EgcModule::stored, this,
            [this](const QString&, const QString&, int priority, const QString& modemFileName) {
                m_tray->received(TrayNotifier::Traffic::Egc, priority, modemFileName);
            });
    connect(m_messaging, &MessagingModule::outboxChanged, this, &MainForm::refreshStatusPanel,
            Qt::QueuedConnection); // after the Sent Items grid has read the index again
    m_terminal->addTimerJob(TerminalTimer::Gui, [this] {
        refreshStatusPanel();
        const QString title = MainPresenter::WindowTitle(m_session.MobileNumber(), m_compact);
        if (windowTitle() != title)
            setWindowTitle(title);
    });

    connect(&status, &StatusModule::terminalStatusWindowChanged, this,
            [this](const QString& text, const QString& caption) { m_statusWindow->setContent(text, caption); });
    connect(&status, &StatusModule::gpsStatusWindowChanged, this,
            [this](const QString& text, const QString& caption) { m_gpsWindow->setContent(text, caption); });
    connect(&status, &StatusModule::linkTestWindowChanged, this, [this](const QString& text) {
        m_linkTestWindow->setResults(text);
        m_linkTestWindow->show();
    });
    connect(&status, &StatusModule::linkTestWindowCloseRequested, m_linkTestWindow, &QWidget::close);
    connect(&status, &StatusModule::positionWindowRefresh, this,
            [this] { m_positionWindow->setContent(PositionWindowText(m_session), {}); });
    connect(&status, &StatusModule::systemInformationRefresh, this,
            [this] { m_infoWindow->setContent(SystemInformationText(m_session), {}); });
    connect(&status, &StatusModule::preferredOceanMarked, this, [this](QChar o) { m_menus->markPreferredOcean(o); });
    connect(m_linkTestWindow, &LinkTestWindow::executeRequested, &status, &StatusModule::ExecuteLinkTest);
    connect(m_statusWindow, &TextWindow::refreshRequested, &status, &StatusModule::ShowTerminalStatus);
    connect(m_positionWindow, &TextWindow::refreshRequested, &status, &StatusModule::RefreshPosition);
    connect(m_gpsWindow, &TextWindow::refreshRequested, this, [this] {
        m_status->RefreshGpsStatus();
        m_gpsWindow->setCaption(ShellText(5027, "GPS Status Updating..."));
    });
    connect(m_infoWindow, &TextWindow::refreshRequested, &status, &StatusModule::RefreshSystemInformation);
}

void MainForm::reloadMailboxes() {
    if (!m_messaging)
        return;
    m_inbox->setFile(m_messaging->inbox().inboxIdxPath());
    m_outbox->setFile(m_messaging->outbox().indexPath());
}

void MainForm::wireMenus() {
    MainMenus& m = *m_menus;
    connect(m.newMessage, &QAction::triggered, this, &MainForm::newMessage);
    connect(m.openMessage, &QAction::triggered, this, &MainForm::openSelectedMessage);
    connect(m.markUnread, &QAction::triggered, this, &MainForm::markSelectedUnread);
    connect(m.deleteMessage, &QAction::triggered, this, &MainForm::deleteSelectedMessage);
    connect(m.confirmationRequest, &QAction::triggered, this, &MainForm::requestConfirmationOfSelected);
    connect(m.abortTransmission, &QAction::triggered, this,
            [this] { m_messaging->transmissionReplies().AbortTransmission(); });
    connect(m.exit, &QAction::triggered, this, &QWidget::close);
    connect(m.terminalStatus, &QAction::triggered, m_status, &StatusModule::ShowTerminalStatus);
    connect(m.position, &QAction::triggered, this, [this] {
        m_positionWindow->setContent(PositionWindowText(m_session), {});
        m_positionWindow->present();
    });
    connect(m.gpsStatus, &QAction::triggered, this, [this] {
        m_gpsWindow->setContent(m_session.GpsStatus(), m_status->gpsStatusCaption());
        m_gpsWindow->present();
        Q_EMIT m_gpsWindow->refreshRequested();
    });
    connect(m.systemInformation, &QAction::triggered, this, [this] {
        m_infoWindow->setContent(SystemInformationText(m_session), {});
        m_infoWindow->present();
    });
    connect(m.linkTest, &QAction::triggered, this, [this] {
        m_linkTestWindow->setResults(m_status->linkTestWindowText());
        m_linkTestWindow->show();
        m_status->OpenLinkTest();
    });
    for (int i = 0; i < 4; ++i)
        connect(m.login[size_t(i)], &QAction::triggered, this, [this, i] { m_status->LoginOcean(i); });
    connect(m.logout, &QAction::triggered, m_status, &StatusModule::Logout);
    for (int i = 0; i < 5; ++i)
        connect(m.preferred[size_t(i)], &QAction::triggered, this, [this, i] { m_status->SetPreferredOcean(i); });
    connect(m.scan, &QAction::triggered, m_status, &StatusModule::Scan);
    connect(m.commSettings, &QAction::triggered, this, &MainForm::showCommSettings);
    connect(m.vesselData, &QAction::triggered, this, [this] {
        auto* dialog = new VesselDataDialog(m_config, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    for (auto [action, which] :
         {std::pair{m.configPassword, AccessPassword::Config}, std::pair{m.transmitPassword, AccessPassword::Transmit}})
        connect(action, &QAction::triggered, this, [this, which = which] {
            auto* dialog = new ChangePasswordDialog(m_config, which, this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->open();
        });
    connect(m.remotePassword, &QAction::triggered, this, [this] {
        auto* dialog = new RemotePasswordForm(m_config, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    connect(m.signature, &QAction::triggered, this, [this] {
        auto* dialog = new SignatureDialog(m_config, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });
    connect(m.compactMode, &QAction::toggled, this, &MainForm::setCompactMode);
    for (QAction* a : m.languages)
        connect(a, &QAction::triggered, this, [this, a] { selectLanguage(a->data().toInt()); });
    connect(m.about, &QAction::triggered, this, [this] {
        showMessageBox({QStringLiteral("Tessaro %1").arg(QLatin1String(TESSARO_VERSION)),
                        ShellText(5635, "&About Tessaro").remove(u'&'), MessageStyle::Information},
                       [] {});
    });

    m_inboxView->addActions({m.openMessage, m.markUnread, m.deleteMessage});
    m_outboxView->addActions({m.openMessage, m.confirmationRequest, m.deleteMessage});
    connect(m_inboxView, &MailboxView::openRequested, this, [this](int row) { openMessageWindow(true, row); });
    connect(m_outboxView, &MailboxView::openRequested, this, [this](int row) { openMessageWindow(false, row); });
    connect(m_inboxView, &QAbstractItemView::activated, this,
            [this](const QModelIndex& i) { openMessageWindow(true, i.row()); });
}

void MainForm::showStatusField() {
    const StatusFieldView v = m_presenter.statusField();
    m_statusField->setText(v.text);
    // At night the same colours, darkened: green, red and white on red stay what they mean.
    const NightSettings night = m_night ? m_night->settings() : NightSettings{};
    QColor background(css(v.background));
    QColor foreground(css(v.foreground));
    if (night.on) {
        background = ForNight(background.darker(200), night);
        foreground = ForNight(QColor(0xF0, 0xE0, 0xD0), night);
    }
    m_statusField->setStyleSheet(
        QStringLiteral("QLabel#MobileStatusField { background: %1; color: %2; padding: 4px; border-radius: 3px; }")
            .arg(background.name(), foreground.name()));
    if (m_tray)
        m_tray->setStatus(v.text, m_outbox->unsentCount());
}

void MainForm::setActivity(Activity activity) {
    m_activity->setText(GetText(5030 + int(activity), ActivityText(activity)));
}

QString MainForm::activityText() const {
    return m_activity->text();
}

void MainForm::setLinkIndicator(const LinkIndicatorState& state) {
    m_presenter.setLinkIndicator(state);
    showStatusField();
}

void MainForm::setStatusLine(const QString& text, unsigned colour) {
    m_presenter.setStatusLine(text, colour);
    showStatusField();
}

void MainForm::addInformation(const QString& line) {
    m_info->addItem(m_clock.nowLocal().toString(QStringLiteral("HH:mm:ss  ")) + line);
    while (m_info->count() > kMaxInformationLines)
        delete m_info->takeItem(0);
    m_info->scrollToBottom();
}

QStringList MainForm::informationLines() const {
    QStringList lines;
    for (int i = 0; i < m_info->count(); ++i)
        lines << m_info->item(i)->text();
    return lines;
}

QString MainForm::bannerText() const {
    return m_banner->isVisible() ? m_banner->text() : QString();
}

void MainForm::showMessageBox(const MessageBoxRequest& request, std::function<void()> closed) {
    auto* box = new QMessageBox(iconOf(request.style), request.title, request.text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    connect(box, &QMessageBox::finished, this, [closed = std::move(closed)] { closed(); });
    m_box = box;
    box->open();
}

void MainForm::confirm(const ConfirmRequest& request, std::function<void(bool)> answer) {
    auto* box =
        new QMessageBox(QMessageBox::Question, request.title, request.text, QMessageBox::Yes | QMessageBox::No, this);
    box->button(QMessageBox::Yes)->setText(ShellText(5010, "&Yes"));
    box->button(QMessageBox::No)->setText(ShellText(5011, "&No"));
    box->setDefaultButton(request.safeAnswer ? QMessageBox::Yes : QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this,
            [box, answer = std::move(answer)](int) { answer(box->clickedButton() == box->button(QMessageBox::Yes)); });
    box->open();
}

void MainForm::fatalMessage(const QString& text, const QString& title) {
    m_fatalShown = true;
    auto* box = new QMessageBox(QMessageBox::Critical, title, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, qApp, [] { QCoreApplication::exit(1); });
    box->open();
}

void MainForm::uploadStarted(int maximum) {
    m_upload->setRange(0, std::max(1, maximum));
    m_upload->setValue(0);
    m_upload->show();
    if (m_sending)
        m_sending->uploadStarted(maximum);
}

void MainForm::uploadProgress(int value) {
    m_upload->setValue(std::min(value, m_upload->maximum()));
    if (m_sending)
        m_sending->uploadProgress(value);
}

void MainForm::uploadFinished() {
    m_upload->hide();
    if (m_sending)
        m_sending->uploadFinished();
}

void MainForm::setWaitWindow(const QString& text) {
    m_wait->setText(text);
}

void MainForm::setWaitProgress(int step) {
    m_wait->setStep(step);
}

void MainForm::openWindow(WindowId window) {
    switch (window) {
    case WindowId::TerminalStatus:
        m_statusWindow->present();
        break;
    case WindowId::LinkTest:
        m_linkTestWindow->show();
        m_linkTestWindow->raise();
        break;
    }
}

void MainForm::showAlert(AlertKind kind, const QString& text) {
    if (kind == AlertKind::EgcDistress || kind == AlertKind::EgcUrgent) {
        if (!m_egcAlarm) {
            m_egcAlarm = new EgcAlarmWindow(this);
            m_egcAlarm->setPlayer(&alarmPlayer());
        }
        m_egcAlarm->raiseAlarm();
        return;
    }
    if (!m_alertWindow) {
        m_alertWindow = new AlertWindow(this);
        m_alertWindow->setPlayer(&alarmPlayer());
    }
    const bool urgency = kind == AlertKind::UrgencyMessage;
    m_alertWindow->raiseAlert(urgency ? ShellText(2952, "URGENCY PRIORITY MESSAGE")
                                      : ShellText(2254, "DISTRESS PRIORITY MESSAGE"),
                              text, !urgency);
}

void MainForm::playSound(OperatorSound) {
    // The tray notification comes with the stored message (its priority decides whether there is one).
    QApplication::beep();
}

void MainForm::closeFinished() {
    m_closeAllowed = true;
    close();
}

void MainForm::saveLayout() {
    SaveWindowGeometry(*this, m_config, kMainSection);
    m_inboxView->saveLayout();
    m_outboxView->saveLayout();
    m_egcView->saveLayout();
    m_config.SetIni(QStringLiteral("[Compact Mode]"), m_compact ? QStringLiteral("1") : QStringLiteral("0"));
    m_config.SaveIni();
}

void MainForm::closeEvent(QCloseEvent* event) {
    if (m_closeAllowed || !m_terminal) {
        saveLayout();
        event->accept();
        return;
    }
    // The core asks, lets running downloads finish, and calls closeFinished().
    event->ignore();
    m_terminal->requestClose();
}

void MainForm::setCompactMode(bool compact) {
    m_compact = compact;
    m_infoPane->setVisible(!compact);
    m_display->setCompact(compact);
    if (m_menus->compactMode->isChecked() != compact)
        m_menus->compactMode->setChecked(compact);
    setWindowTitle(MainPresenter::WindowTitle(m_session.MobileNumber(), compact));
}

void MainForm::selectLanguage(int langId) {
    SelectLanguage(m_config, langId);
    retranslate();
}

void MainForm::newMessage() {
    if (!m_editor) {
        m_editor = new MessageEditor(m_config, this);
        m_editor->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_editor, &MessageEditor::sendRequested, this, &MainForm::onSendRequested);
        connect(m_editor, &MessageEditor::insertRequested, this, &MainForm::insertIntoEditor);
        connect(m_editor, &MessageEditor::printRequested, this, [this](const QString& text) {
            if (m_printing)
                m_printing->Print(text);
        });
        AttachDefaultMessageKeys(*m_editor,
                                 m_config.DataPath() + QLatin1String(kDefaultMessagesFolder) + QLatin1Char('/'));
        if (m_hotList)
            CountInsertionsInHotList(*m_hotList, *m_editor, *m_hotListStore);
    }
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

void MainForm::insertIntoEditor(MessageEditor::Insertion which) {
    if (!m_editor)
        return;
    using I = MessageEditor::Insertion;
    QString text;
    switch (which) {
    case I::Position:
        // Nothing at all without the transceiver: its last position may be stale.
        text = m_session.MesConnected() ? EditorInsert::Position(m_session) : QString();
        break;
    case I::SpeedAndCourse:
        text = EditorInsert::SpeedAndCourse(m_session);
        break;
    case I::UtcTime:
        // Inserted when the transceiver's reply comes (insertText).
        if (m_editorModule)
            m_editorModule->RequestUtcTime();
        return;
    case I::LocalTime:
        text = EditorInsert::LocalTime(m_clock.nowLocal());
        break;
    case I::MobileNumber:
        text = EditorInsert::MobileNumber(m_session);
        break;
    case I::Signature:
        text = EditorInsert::Signature(m_config);
        break;
    case I::VesselName:
        text = EditorInsert::VesselName(m_config);
        break;
    case I::VesselData:
        text = EditorInsert::VesselData(m_config);
        break;
    }
    if (!text.isEmpty())
        m_editor->insertAtCursor(text);
}

void MainForm::onSendRequested() {
    if (!m_editor || !m_messaging)
        return;
    const OutgoingMessage message = m_editor->message();
    const QString problem = ValidateRecipients(message);
    if (!problem.isEmpty()) {
        showMessageBox({problem, QStringLiteral("Tessaro"), MessageStyle::Warning}, [] {});
        return;
    }
    bool needsProvider = false;
    for (const Recipient& r : message.recipients)
        needsProvider = needsProvider || r.type == EMail || r.type == SMS;
    if (m_sending)
        m_sending->close();
    m_sending = new SendingDialog(m_config, m_session.CurrentOcean(), needsProvider, this);
    m_sending->setAttribute(Qt::WA_DeleteOnClose);
    if (m_session.MessagePriority() == kDistressPriority)
        m_sending->setDistressPriority();
    // The transmit password, when one is set, is asked before anything is queued.
    connect(m_sending, &SendingDialog::submitRequested, this,
            [this] { GuardTransmitAction(m_config, this, [this] { onSubmit(); }); });
    m_sending->open();
}

void MainForm::onSubmit() {
    if (!m_sending || !m_editor || !m_messaging)
        return;
    m_sending->storeChoices();
    const QVector<SubmissionStep> steps =
        SubmitMessage(m_config, *m_messaging, m_clock, m_editor->message(), m_sending->options());
    m_sending->showOutcome(steps);
    for (const SubmissionStep& s : steps) {
        if (!s.failure.isEmpty()) {
            showMessageBox(
                {s.failure + QStringLiteral("\n\n") + ShellText(5040, "An error occurred sending the message"),
                 ShellText(5041, "Error"), MessageStyle::Critical},
                [] {});
            return;
        }
    }
    // Everything is queued: the editor's work is done; the sending dialog stays to show the upload.
    m_editor->close();
    m_tabs->setCurrentIndex(1);
}

void MainForm::openSelectedMessage() {
    if (m_tabs->currentIndex() == kEgcTab) {
        m_egcView->requestOpen();
        return;
    }
    const bool inbox = m_tabs->currentIndex() == kInboxTab;
    const int row = inbox ? m_inboxView->currentRow() : m_outboxView->currentRow();
    if (row >= 0)
        openMessageWindow(inbox, row);
}

std::optional<MainForm::ShownMessage> MainForm::messageAt(int tab, int row) const {
    if (row < 0)
        return std::nullopt;
    ShownMessage m;
    const auto fieldsOf = [&m, row](const QAbstractItemModel& model, const std::function<QString(int)>& cell) {
        for (int c = 0; c < model.columnCount(); ++c)
            m.fields.push_back(
                {model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() + QLatin1Char(':'), cell(c)});
    };
    if (tab == kEgcTab) {
        m.diskFileName = m_egc->diskFileName(row);
        if (m.diskFileName.isEmpty())
            return std::nullopt;
        fieldsOf(*m_egc, [this, row](int c) { return m_egc->cellText(row, c); });
        m.body = ReadMessageBody(m_egcFolder, m.diskFileName);
        m.caption = ShellText(5747, "EGC message") + QStringLiteral(" - ") + m.diskFileName;
        return m;
    }
    if (!m_messaging)
        return std::nullopt;
    const IndexFileModel& model = tab == kInboxTab ? static_cast<const IndexFileModel&>(*m_inbox) : *m_outbox;
    if (row >= model.rowCount())
        return std::nullopt;
    fieldsOf(model, [&model, row](int c) { return model.data(model.index(row, c), Qt::DisplayRole).toString(); });
    if (tab == kInboxTab) {
        m.diskFileName = m_inbox->diskFileName(row);
        m.body = ReadMessageBody(m_messaging->inbox().folder(), m.diskFileName);
        m.caption = ShellText(5034, "Received message") + QStringLiteral(" - ") + m.diskFileName;
    } else {
        m.diskFileName = m_outbox->fileName(row);
        m.body = ReadMessageBody(m_messaging->outbox().folder(), m.diskFileName);
        m.caption = ShellText(5035, "Sent message") + QStringLiteral(" - ") + m.diskFileName;
    }
    return m;
}

void MainForm::openMessageWindow(bool inbox, int row) {
    const std::optional<ShownMessage> m = messageAt(inbox ? kInboxTab : kSentItemsTab, row);
    if (!m)
        return;
    if (inbox && m_inbox->isUnread(row))
        m_messaging->inbox().SetReadState(m->diskFileName, true);
    auto* window = new MessageWindow(m_config, m->caption, m->fields, m->body, this);
    if (m_printing)
        connect(window, &MessageWindow::printRequested, m_printing, &PrintingModule::Print);
    window->setObjectName(QStringLiteral("MessageWindow"));
    window->show();
}

void MainForm::printSelected() {
    const int tab = m_tabs->currentIndex();
    const int row = tab == kEgcTab     ? m_egcView->currentRow()
                    : tab == kInboxTab ? m_inboxView->currentRow()
                                       : m_outboxView->currentRow();
    const std::optional<ShownMessage> m = messageAt(tab, row);
    if (!m)
        return;
    // The same text as the message window's Print button.
    QString text;
    for (const MessageWindow::Field& f : m->fields)
        text += f.label + QLatin1Char(' ') + f.value + QStringLiteral("\r\n");
    QString body = m->body;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    Q_EMIT printRequested(text + QStringLiteral("\r\n") + body);
}

void MainForm::markSelectedUnread() {
    if (m_tabs->currentIndex() == kEgcTab) {
        m_egcView->requestMarkUnread();
        return;
    }
    const int row = m_inboxView->currentRow();
    if (m_messaging && m_tabs->currentIndex() == 0 && row >= 0)
        m_messaging->inbox().MarkAsUnread(m_inbox->diskFileName(row));
}

void MainForm::deleteSelectedMessage() {
    if (m_tabs->currentIndex() == kEgcTab) {
        m_egcView->requestDelete();
        return;
    }
    if (!m_messaging)
        return;
    const bool inbox = m_tabs->currentIndex() == kInboxTab;
    const int row = inbox ? m_inboxView->currentRow() : m_outboxView->currentRow();
    if (row < 0)
        return;
    const QString name = inbox ? m_inbox->diskFileName(row) : m_outbox->fileName(row);
    confirm({FormatText(ShellText(5036, "Delete the message '%0'?"), {name}), QStringLiteral("Tessaro"), false},
            [this, inbox, name](bool yes) {
                if (!yes || !m_messaging)
                    return;
                QString error;
                const bool done = inbox ? DeleteInboxMessage(m_messaging->inbox(), name, &error)
                                        : DeleteOutboxMessage(m_messaging->outbox(), name, &error);
                if (!done && !error.isEmpty())
                    showMessageBox({error, ShellText(5041, "Error"), MessageStyle::Critical}, [] {});
                (inbox ? static_cast<IndexFileModel*>(m_inbox) : m_outbox)->refresh();
            });
}

void MainForm::requestConfirmationOfSelected() {
    const int row = m_outboxView->currentRow();
    if (!m_messaging || m_tabs->currentIndex() != 1 || row < 0)
        return;
    m_messaging->transmissionReplies().RequestConfirmation(m_outbox->fileName(row), m_outbox->les(row),
                                                           m_outbox->reference(row));
}

void MainForm::showCommSettings() {
    auto* dialog = new CommSettingsDialog(m_config, {}, this);
    if (m_terminal)
        dialog->setDiscovery(&m_terminal->discovery());
    connect(dialog, &CommSettingsDialog::choiceAccepted, this, &MainForm::applyCommChoice);
    connect(dialog, &CommSettingsDialog::fixedIpRequested, this, [this](const QString& address, bool set) {
        if (m_terminal)
            m_terminal->SetFixedIp(address, set);
    });
    dialog->open();
}

void MainForm::applyCommChoice(const CommChoice& choice) {
    const bool changes = m_terminal && CommChoiceChangesTheLink(m_config, choice, m_terminal->usingLan());
    StoreCommChoice(m_config, choice);
    if (!changes)
        return; // OK without a change keeps the running link (also one the command line chose)
    // The link is reset and opened again with the new choice at once; work cut off by the reset is queued
    // again by the modules, as after any lost link.
    addInformation(ShellText(5038, "Connecting to the transceiver with the new communication settings."));
    if (choice.lan)
        m_terminal->useLan(choice.tcuAddress.trimmed());
    else
        m_terminal->useSerial(choice.comPort, choice.comSettings);
}

} // namespace tessaro
