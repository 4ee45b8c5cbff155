#pragma once

#include "egc/egc_idx.h"
#include "link/imain_form.h"
#include "shell/main_presenter.h"
#include "shell/message_editor.h"
#include "shell/message_window.h"
#include "shell/sending_dialog.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <memory>
#include <optional>

class QPushButton;
class QLabel;
class QListWidget;
class QProgressBar;
class QSplitter;
class QTabWidget;

namespace tessaro {

class CConfiguration;
class CSession;
class CTerminal;
class DistressModule;
class TessaroRuntime;
class IClock;
class InboxModel;
class LinkTestWindow;
class MailboxView;
class MainMenus;
class FormsModule;
class FormsMenuController;
class AlertWindow;
class EgcAlarmWindow;
class EgcModule;
class EditorModule;
class DistressGeneratorService;
class DistressTestService;
class InHarbourService;
class EgcModel;
class EgcView;
class IAlarmPlayer;
struct CommChoice;
class MessagingModule;
class OutboxModel;
class NightMode;
class StatusDisplay;
class TrayNotifier;
class StatusModule;
class TextWindow;
class WaitWindow;

// The operator's main window: status field (link indicator and status line), activity, information
// list, status display, inbox and Sent Items grids, menus, tray icon. It implements IMainForm, so the core
// reaches the operator only through it; every box it shows is non-modal and answers through callbacks.
class MainForm final : public QMainWindow, public IMainForm {
    Q_OBJECT
public:
    MainForm(CConfiguration& config, CSession& session, const IClock& clock, QWidget* parent = nullptr);
    ~MainForm() override;

    // Joins the core once it exists (the terminal needs this form to be built first), with the Forms menu
    // of the electronic-forms server.
    void attach(TessaroRuntime& runtime);
    FormsMenuController* formsMenu() const { return m_formsMenu; }
    // The priority alert window once an alert was raised, else null.
    AlertWindow* alertWindow() const { return m_alertWindow; }

    // Reads the index files again and watches them (after start-up has created the store's folders).
    void reloadMailboxes();

    // The EGC store to show: EGC.IDX (created empty when missing) and the folder of the EGC texts.
    void setEgcStore(const QString& indexPath, const QString& egcFolder);
    // Joins the EGC grid, menus and windows to the EGC subsystem (done by attach()).
    void attachEgc(EgcModule& egc);
    void attachLists(TessaroRuntime& runtime);
    // A line of the editor's insert menu at the body's cursor.
    void insertIntoEditor(MessageEditor::Insertion which);
    // Joins the distress menu and windows to the distress generator (done by attach()).
    void attachDistress(DistressGeneratorService& generator);
    // The distress test mode, the latest distress status and the In Harbour button (done by attach()).
    void attachDistressTest(DistressTestService& testMode, InHarbourService& harbour);
    QPushButton* inHarbourButton() const { return m_inHarbour; }
    // A newly stored EGC: its row is added to the EGC grid. The alarm comes through showAlert().
    void egcStored(const EgcIdxRecord& record, const QString& text);
    // EGC.IDX changed (deletion, repair, mark unread): the grid reads it again.
    void reloadEgcList();
    // The alarm sound of both alarm windows; made for this machine on first use unless a test set one.
    void setAlarmPlayer(std::unique_ptr<IAlarmPlayer> player);
    IAlarmPlayer& alarmPlayer();
    // One line in the information list saying how alarms sound here; once per run.
    void announceAlarmSound();
    // The EGC alarm window once an Urgent or Distress EGC raised it, else null.
    EgcAlarmWindow* egcAlarmWindow() const { return m_egcAlarm; }

    // IMainForm
    void setActivity(Activity activity) override;
    void setLinkIndicator(const LinkIndicatorState& state) override;
    void setStatusLine(const QString& text, unsigned colour) override;
    void addInformation(const QString& line) override;
    void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) override;
    void confirm(const ConfirmRequest& request, std::function<void(bool)> answer) override;
    bool askDisclaimer() override { return m_disclaimerAccepted; }
    void fatalMessage(const QString& text, const QString& title) override;
    void uploadStarted(int maximum) override;
    void uploadProgress(int value) override;
    void uploadFinished() override;
    void setWaitWindow(const QString& text) override;
    void setWaitProgress(int step) override;
    void openWindow(WindowId window) override;
    void showAlert(AlertKind kind, const QString& text) override;
    void playSound(OperatorSound sound) override;
    void closeFinished() override;

    // The disclaimer is asked before the terminal starts (without a nested event loop).
    void setDisclaimerAccepted(bool accepted) { m_disclaimerAccepted = accepted; }
    // A start-up refusal is on screen; closing it ends the program.
    bool fatalShown() const { return m_fatalShown; }

    // Operator commands (menus, buttons, tests).
    void newMessage();
    void openSelectedMessage();
    void markSelectedUnread();
    void deleteSelectedMessage();
    // The selected message, sent item or EGC to the printer (Ctrl+P); nothing without a selection.
    void printSelected();
    void requestConfirmationOfSelected();
    void openEgc(int row);
    void setCompactMode(bool compact);
    void selectLanguage(int langId);
    void showCommSettings();
    // The comm-settings dialog's answer: stored, and applied to the running link when it changes it.
    void applyCommChoice(const CommChoice& choice);

    // What the window shows, for tests and the screenshot script.
    StatusFieldView statusField() const { return m_presenter.statusField(); }
    // INFO 552 has turned the activity field red on white.
    bool messageIndicatorAlarm() const { return m_indicatorAlarm; }
    QString activityText() const;
    QStringList informationLines() const;
    QString bannerText() const;
    InboxModel& inboxModel() { return *m_inbox; }
    OutboxModel& outboxModel() { return *m_outbox; }
    MailboxView& inboxView() { return *m_inboxView; }
    MailboxView& outboxView() { return *m_outboxView; }
    EgcModel& egcModel() { return *m_egc; }
    EgcView& egcView() { return *m_egcView; }
    MainMenus& menus() { return *m_menus; }
    QTabWidget& mailboxTabs() { return *m_tabs; }
    MessageEditor* editor() const { return m_editor; }
    SendingDialog* sendingDialog() const { return m_sending; }
    TextWindow& terminalStatusWindow() { return *m_statusWindow; }
    QMessageBox* currentMessageBox() const { return m_box; }
    bool compactMode() const { return m_compact; }
    StatusDisplay& statusDisplay() { return *m_display; }
    NightMode& nightMode() { return *m_night; }
    TrayNotifier& tray() { return *m_tray; }
    // The status panel and the tray tool tip follow the session, the outbox and the clock.
    void refreshStatusPanel();

    static constexpr int kInboxTab = 0;
    static constexpr int kSentItemsTab = 1;
    static constexpr int kEgcTab = 2;

Q_SIGNALS:
    // EGC requests for the EGC module: the operator confirmed these in the window.
    void deleteEgcRequested(const QString& diskFileName);
    void markEgcUnreadRequested(const QString& diskFileName);
    // An EGC was opened: it counts as read from now on.
    void egcOpened(const QString& diskFileName);
    void egcSetupRequested();
    void enidListRequested();
    void repairEgcLogRequested();
    // priority 0 Routine, 1 Safety, 2 Urgent, 3 Distress
    void simulateEgcRequested(int priority);
    void simulateEgcRxErrorToggled(bool on);
    // A text for the print routine (the selected message, Ctrl+P).
    void printRequested(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    void wireMenus();
    void wireEgcMenus();
    void wireViewMenu();
    void applyNight();
    // Fields, body and caption of a row of the Inbox (inbox true), Sent Items or EGC list.
    struct ShownMessage {
        QList<MessageWindow::Field> fields;
        QString body;
        QString caption;
        QString diskFileName;
    };
    std::optional<ShownMessage> messageAt(int tab, int row) const;
    void showStatusField();
    void openMessageWindow(bool inbox, int row);
    void onSendRequested();
    void onSubmit();
    void retranslate();
    void saveLayout();

    CConfiguration& m_config;
    CSession& m_session;
    EditorModule* m_editorModule = nullptr;
    QPushButton* m_inHarbour = nullptr;
    QPushButton* m_distressEditorButton = nullptr;
    const IClock& m_clock;
    CTerminal* m_terminal = nullptr;
    StatusModule* m_status = nullptr;
    MessagingModule* m_messaging = nullptr;
    DistressModule* m_distress = nullptr;
    MainPresenter m_presenter;
    bool m_disclaimerAccepted = false;
    bool m_closeAllowed = false;
    bool m_fatalShown = false;
    bool m_compact = false;

    MainMenus* m_menus = nullptr;
    FormsMenuController* m_formsMenu = nullptr;
    class HotListMenu* m_hotList = nullptr;
    class IHotList* m_hotListStore = nullptr;
    class PcPrinter* m_pcPrinter = nullptr;
    class PrintingModule* m_printing = nullptr;
    class DistressEditorController* m_distressEditor = nullptr;
    AlertWindow* m_alertWindow = nullptr;
    EgcAlarmWindow* m_egcAlarm = nullptr;
    std::unique_ptr<IAlarmPlayer> m_player;
    bool m_alarmSoundAnnounced = false;
    QLabel* m_statusField = nullptr;
    QLabel* m_activity = nullptr;
    bool m_indicatorAlarm = false;
    QLabel* m_banner = nullptr;
    QProgressBar* m_upload = nullptr;
    QWidget* m_infoPane = nullptr;
    QLabel* m_infoHeading = nullptr;
    QListWidget* m_info = nullptr;
    QSplitter* m_splitter = nullptr;
    QTabWidget* m_tabs = nullptr;
    StatusDisplay* m_display = nullptr;
    InboxModel* m_inbox = nullptr;
    OutboxModel* m_outbox = nullptr;
    MailboxView* m_inboxView = nullptr;
    MailboxView* m_outboxView = nullptr;
    EgcModel* m_egc = nullptr;
    EgcView* m_egcView = nullptr;
    QString m_egcFolder;
    TrayNotifier* m_tray = nullptr;
    NightMode* m_night = nullptr;
    bool m_linkWasUp = false;
    WaitWindow* m_wait = nullptr;
    TextWindow* m_statusWindow = nullptr;
    TextWindow* m_gpsWindow = nullptr;
    TextWindow* m_positionWindow = nullptr;
    TextWindow* m_infoWindow = nullptr;
    LinkTestWindow* m_linkTestWindow = nullptr;
    QPointer<MessageEditor> m_editor;
    QPointer<SendingDialog> m_sending;
    QPointer<QMessageBox> m_box;
};

} // namespace tessaro
