#include "shell/gui_main.h"

#include "shell/disclaimer_dialog.h"
#include "shell/main_form.h"
#include "shell/screenshot_director.h"

#include <QApplication>

#include <memory>

namespace tessaro {

int RunGui(QApplication& app, const RuntimeOptions& options) {
    SystemClock clock;
    TessaroRuntime runtime(options, clock);
    MainForm form(runtime.config(), runtime.session(), clock);
    runtime.attach(form);
    form.attach(runtime);
    QObject::connect(
        &runtime.terminal(), &CTerminal::finished, &app, [&app] { app.exit(0); }, Qt::QueuedConnection);

    // TESSARO_SCREENSHOT_DIR: take the review pictures, then close (see scripts/screenshot).
    std::unique_ptr<ScreenshotDirector> director;
    const QString shots = qEnvironmentVariable("TESSARO_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        director =
            std::make_unique<ScreenshotDirector>(shots, form, runtime.session(), runtime.status(), runtime.terminal());

    // Returns false when the run cannot go on; a refusal box the form shows ends the event loop itself.
    bool started = false;
    const auto start = [&] {
        form.setDisclaimerAccepted(true);
        if (!runtime.start().ok)
            return false;
        started = true;
        form.reloadMailboxes();
        form.show();
        if (director)
            director->start();
        return true;
    };

    if (runtime.disclaimerAccepted()) {
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
            runtime.acceptDisclaimer();
            if (!start() && !form.fatalShown())
                app.exit(1);
        });
        disclaimer->open();
    }
    const int code = app.exec();
    return started ? code : (code == 0 ? 1 : code);
}

} // namespace tessaro
