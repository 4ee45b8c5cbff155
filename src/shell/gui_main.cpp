#include "shell/gui_main.h"

#include "app/modules.h"

#include "config/clock.h"
#include "config/configuration.h"
#include "messaging/messaging_module.h"
#include "shell/disclaimer_dialog.h"
#include "shell/language.h"
#include "shell/main_form.h"
#include "shell/screenshot_director.h"
#include "status/session.h"
#include "status/status_module.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

#include <memory>

namespace tessaro {

int RunGui(QApplication& app, const GuiRunOptions& options) {
    SystemClock clock;
    if (!QDir().mkpath(options.dataPath)) {
        std::fprintf(stderr, "tessaro: the data folder %s cannot be created\n", qPrintable(options.dataPath));
        return 1;
    }
    CConfiguration config(options.dataPath, options.portable);
    config.LoadIni();
    if (options.acceptDisclaimer)
        config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("YES"), true);
    LoadLanguage(config);

    CSession session;
    MainForm form(config, session, clock);
    CTerminal terminal(config, session, form, clock);
    CoreModules modules(session, options.formsPort);
    AttachCoreModules(terminal, modules);
    modules.forms.printLine = [](const QString& line) {
        std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stdout);
    };
    StatusModule& status = modules.status;
    form.attach(terminal, status, modules.messaging);
    form.attachForms(modules.forms);
    QObject::connect(
        &terminal, &CTerminal::finished, &app, [&app] { app.exit(0); }, Qt::QueuedConnection);

    // TESSARO_SCREENSHOT_DIR: take the review pictures, then close (see scripts/screenshot).
    std::unique_ptr<ScreenshotDirector> director;
    const QString shots = qEnvironmentVariable("TESSARO_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        director = std::make_unique<ScreenshotDirector>(shots, form, session, status, terminal);

    // Returns false when the run cannot go on; a refusal box the form shows ends the event loop itself.
    bool started = false;
    const auto start = [&] {
        form.setDisclaimerAccepted(true);
        const StartResult r = terminal.start(options.terminal);
        if (!r.ok)
            return false;
        started = true;
        form.reloadMailboxes();
        form.show();
        if (director)
            director->start();
        return true;
    };

    const bool accepted =
        config.GetIni(QStringLiteral("[AS IS Accepted?]")).compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0;
    if (accepted) {
        if (!start() && !form.fatalShown())
            return 1;
    } else {
        // Asked before the terminal starts, without a nested event loop: the answer continues start-up.
        auto* disclaimer = new DisclaimerDialog;
        disclaimer->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(disclaimer, &QDialog::finished, &app, [&](int result) {
            if (result != QDialog::Accepted) {
                app.exit(1);
                return;
            }
            config.SetIni(QStringLiteral("[AS IS Accepted?]"), QStringLiteral("YES"), true);
            if (!start() && !form.fatalShown())
                app.exit(1);
        });
        disclaimer->open();
    }
    const int code = app.exec();
    return started ? code : (code == 0 ? 1 : code);
}

} // namespace tessaro
