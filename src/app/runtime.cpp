#include "app/runtime.h"

#include "config/logs.h"
#include "config/strings.h"
#include "config/text_util.h"
#include "messaging/outbox.h"

#include <cstdio>

namespace tessaro {

TessaroRuntime::TessaroRuntime(const RuntimeOptions& options, const IClock& clock, QObject* parent)
    : QObject(parent), m_options(options), m_clock(clock),
      m_config(options.dataPath, options.portable, options.settingsFile) {
    MigrateFromPredecessor(options, m_config, clock);
    m_config.LoadIni();
    if (options.acceptDisclaimer)
        AcceptDisclaimer(m_config);
    LoadLanguage(m_config);
}

TessaroRuntime::~TessaroRuntime() = default;

void TessaroRuntime::attach(IMainForm& form, CTerminal::LinkFactory linkFactory) {
    m_form = &form;
    m_terminal = std::make_unique<CTerminal>(m_config, m_session, form, m_clock, std::move(linkFactory));
    m_info = std::make_unique<CInfo>(m_terminal->infoLog(), m_terminal->notifier(), &m_terminal->debugLog());
    m_context = std::make_unique<ModuleContext>(*m_terminal, m_session, *m_info);

    m_status = std::make_unique<StatusModule>(m_session);
    m_messaging = std::make_unique<MessagingModule>(m_session);
    m_distress = std::make_unique<DistressModule>(m_session, *m_status, *m_messaging);
    m_forms = std::make_unique<FormsModule>(m_session, *m_messaging, m_options.formsPort);
    m_egc = std::make_unique<EgcModule>(m_session);
    m_editor = std::make_unique<EditorModule>(m_session);
    m_lists = std::make_unique<ListsModule>(m_session);
    m_reporting = std::make_unique<ReportingModule>(m_session);
    m_printing = std::make_unique<PrintingModule>(m_session);
    for (ITerminalModule* module : std::initializer_list<ITerminalModule*>{
             m_status.get(), m_messaging.get(), m_egc.get(), m_distress.get(), m_forms.get(), m_editor.get(),
             m_lists.get(), m_reporting.get(), m_printing.get()})
        m_context->attach(*module);

    // Packets from shore arrive in messages and EGCs alike; either way the carrier is deleted, never filed.
    m_logMailer = std::make_unique<MessagingLogMailer>(*m_messaging);
    m_remoteConfig = std::make_unique<RemoteConfigService>(m_config, m_session, m_clock, m_terminal->notifier(),
                                                           nullptr, m_logMailer.get());
    m_messaging->reception().setRemoteConfigHandler([this](const QString& text, const QString&) {
        return m_remoteConfig->Handle(text, RemoteConfigService::RemoteConfigAllowed(m_config));
    });
    m_egc->egc().setRemoteConfigHandler(
        [this](const QString& text, bool allowed) { return m_remoteConfig->Handle(text, allowed); });

    // The operator's program for every stored message and EGC; read at each store, so a changed setting
    // applies from the next one on.
    m_receiveHook = std::make_unique<ReceiveHook>(m_terminal->errorLog(), m_config.DataPath());
    const auto runHook = [this](const QString& path, const QString& kind, int priority, const QString& modemFile) {
        const QString command = receiveHookCommand();
        if (command.isEmpty())
            return;
        const qint64 seconds =
            Val(m_config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("RunOnReceiveTimeout"), QString()));
        m_receiveHook->setTimeOutMs(seconds > 0 && seconds <= 86400 ? int(seconds * 1000) : 0);
        m_receiveHook->fileStored(command, {path, kind, priority, modemFile});
    };
    connect(m_messaging.get(), &MessagingModule::stored, this, runHook);
    connect(m_egc.get(), &EgcModule::stored, this, runHook);

    MessagingModule* messaging = m_messaging.get();
    m_terminal->setExitQuestion([this, messaging] {
        return ExitQuestionText(UnsentMessageCount(messaging->outbox()), OtherDisplayDeviceUsed(m_config));
    });
    // "Forms server: http://ADDRESS:PORT/" stands alone on its line, unstamped, for scripts that look for it.
    connect(m_forms.get(), &FormsModule::serverListening, this, [](const QString& line) {
        std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stdout);
    });
}

StartResult TessaroRuntime::start() {
    const QStringList errors = m_context->errors();
    if (!errors.isEmpty()) {
        const QString text = QStringLiteral("Tessaro cannot start: its subsystems are put together wrongly (") +
                             errors.join(QStringLiteral("; ")) + QStringLiteral(").");
        m_terminal->errorLog().AddLine(text);
        m_form->fatalMessage(text, QStringLiteral("Tessaro"));
        return {false, 1, text};
    }
    return m_terminal->start(m_options.terminal);
}

MigrationOutcome MigrateFromPredecessor(const RuntimeOptions& options, CConfiguration& config, const IClock& clock) {
    MigrationPaths paths;
    paths.predecessorFolder = options.migrateFrom;
    if (paths.predecessorFolder.isEmpty())
        paths.predecessorFolder = config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("MigrateFrom"));
    if (paths.predecessorFolder.isEmpty())
        paths.predecessorFolder = Migration::DefaultPredecessorFolder();
    paths.ownFolder = config.DataPath();
    paths.ownConfigFile = config.ini().filePath();
    paths.predecessorSettingsFile = options.predecessorSettingsFile;
    cErrorLog errorLog(config.DataPath(), clock);
    Migration migration(paths, config.settings(), errorLog, config.portable() ? &config.ini() : nullptr);
    return migration.run();
}

QString TessaroRuntime::receiveHookCommand() {
    if (!m_options.receiveHook.trimmed().isEmpty())
        return m_options.receiveHook.trimmed();
    return m_config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("RunOnReceive"), QString()).trimmed();
}

int UnsentMessageCount(const cOutBox& outbox) {
    int unsent = 0;
    for (const OutIdxRecord& r : outbox.ReadRecords())
        unsent += r.valueCount > OutIdx::Status && IsUnsent(r.Status.kind()) ? 1 : 0;
    return unsent;
}

bool OtherDisplayDeviceUsed(CConfiguration& config) {
    return Val(config.GetSettingValue(QStringLiteral("Settings"), QStringLiteral("DisplayDevice"),
                                      QStringLiteral("0"))) == 1;
}

QString ExitQuestionText(int unsentMessages, bool otherDisplayDevice) {
    QString text;
    if (!otherDisplayDevice)
        text = GetText(5006, QStringLiteral("Using the terminal without a display device seriously degrades safety at "
                                            "sea. While Tessaro is closed, no distress or urgent alert, safety "
                                            "broadcast or message is shown and no alarm sounds.")) +
               QStringLiteral("\n\n");
    if (unsentMessages <= 0)
        return text + GetText(5001, QStringLiteral("Do you want to exit Tessaro ?"));
    return text +
           FormatText(GetText(5002, QStringLiteral("There are %0 unsent messages in your outbox")),
                      {QString::number(unsentMessages)}) +
           QLatin1Char('\n') + GetText(5003, QStringLiteral("Would you still like to exit ?"));
}

} // namespace tessaro
