#pragma once

#include "config/clock.h"
#include "config/logs.h"
#include "egc/egc_idx.h"
#include "link/imain_form.h"

#include <QString>

#include <cstdio>

namespace tessaro {

// The front end without a window: every message becomes a stamped line on standard output (and in the
// information log); questions get their safe answer, because nobody is there to give another.
class HeadlessMainForm final : public IMainForm {
public:
    HeadlessMainForm(const QString& dataPath, const IClock& clock, FILE* out = stdout, FILE* err = stderr);

    void print(const QString& text);
    void printError(const QString& text);
    // One line per stored EGC; an Urgent or Distress one starts with "ALARM" and is the only line of its
    // alarm (the alert itself prints nothing more).
    void egcStored(const EgcIdxRecord& record);

    void setActivity(Activity activity) override;
    void setLinkIndicator(const LinkIndicatorState& state) override;
    void setStatusLine(const QString& text, unsigned colour) override;
    void addInformation(const QString& line) override;
    void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) override;
    void confirm(const ConfirmRequest& request, std::function<void(bool)> answer) override;
    bool askDisclaimer() override;
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

private:
    void logInformation(const QString& line);
    const IClock& m_clock;
    cInfoLog m_infoLog;
    FILE* m_out;
    FILE* m_err;
    QString m_lastIndicator;
    QString m_lastStatus;
};

} // namespace tessaro
