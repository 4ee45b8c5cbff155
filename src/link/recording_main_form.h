#pragma once

#include "link/imain_form.h"

#include <QStringList>

#include <deque>
#include <utility>
#include <vector>

namespace tessaro {

// IMainForm for tests: records every call; confirmations take pre-set answers, else the safe default;
// message boxes stay open until closeBox() when holdBoxes is set.
class RecordingMainForm final : public IMainForm {
public:
    QStringList activities;
    std::vector<LinkIndicatorState> indicators;
    QStringList statusLines;
    QStringList information;
    std::vector<MessageBoxRequest> boxes;
    std::vector<ConfirmRequest> confirmations;
    std::vector<int> uploadMaximums;
    std::vector<int> uploadValues;
    int uploadsFinished = 0;
    QStringList waitTexts;
    std::vector<WindowId> windowsOpened;
    std::vector<std::pair<AlertKind, QString>> alerts;
    int sounds = 0;
    QStringList fatalMessages;
    int closeFinishedCount = 0;
    bool disclaimerAnswer = false;
    int disclaimerAsked = 0;
    bool holdBoxes = false;

    void setNextAnswer(bool answer) { m_answers.push_back(answer); }
    // Dismisses the box shown last (when holdBoxes kept it open).
    void closeBox() {
        if (m_pendingClose) {
            auto done = std::move(m_pendingClose);
            m_pendingClose = nullptr;
            done();
        }
    }
    bool boxOpen() const { return bool(m_pendingClose); }

    void setActivity(Activity activity) override { activities << ActivityText(activity); }
    void setLinkIndicator(const LinkIndicatorState& state) override { indicators.push_back(state); }
    void setStatusLine(const QString& text, unsigned) override { statusLines << text; }
    void addInformation(const QString& line) override { information << line; }
    void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) override {
        boxes.push_back(box);
        if (holdBoxes)
            m_pendingClose = std::move(closed);
        else
            closed();
    }
    void confirm(const ConfirmRequest& request, std::function<void(bool)> answer) override {
        confirmations.push_back(request);
        bool a = request.safeAnswer;
        if (!m_answers.empty()) {
            a = m_answers.front();
            m_answers.pop_front();
        }
        answer(a);
    }
    bool askDisclaimer() override {
        ++disclaimerAsked;
        return disclaimerAnswer;
    }
    void fatalMessage(const QString& text, const QString&) override { fatalMessages << text; }
    void uploadStarted(int maximum) override { uploadMaximums.push_back(maximum); }
    void uploadProgress(int value) override { uploadValues.push_back(value); }
    void uploadFinished() override { ++uploadsFinished; }
    void setWaitWindow(const QString& text) override { waitTexts << text; }
    void setWaitProgress(int) override {}
    void openWindow(WindowId window) override { windowsOpened.push_back(window); }
    void showAlert(AlertKind kind, const QString& text) override { alerts.emplace_back(kind, text); }
    void playSound(OperatorSound) override { ++sounds; }
    void closeFinished() override { ++closeFinishedCount; }

private:
    std::deque<bool> m_answers;
    std::function<void()> m_pendingClose;
};

} // namespace tessaro
