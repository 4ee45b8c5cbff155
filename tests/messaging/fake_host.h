#pragma once

#include "messaging/messaging_host.h"

#include <QStringList>

#include <vector>

namespace tessaro::testing {

// The engine, session and main form as the messaging handlers see them, in memory.
class FakeHost final : public IMessagingHost {
public:
    QStringList queue;
    QString lineEnd = QStringLiteral("\r\n");
    bool mesConnected = true;
    bool loggedIn = true;
    int ocean = 1;
    int productType = 0;
    int productModel = 0;
    bool processingMsgs = false;
    bool messageTimer = false;
    std::vector<MessageBoxRequest> boxes;
    QStringList information;
    QStringList alerts;
    QStringList printed;
    int sounds = 0;
    int outboxRefreshes = 0;

    bool QueueCommand(const QString& command, bool allowDuplicate, bool atFront) override {
        if (!allowDuplicate && queue.join(QStringLiteral("\r\n")).contains(command))
            return false;
        if (atFront)
            queue.prepend(command);
        else
            queue.append(command);
        return true;
    }
    bool IsCommandQueued(const QString& text) const override {
        return queue.join(QStringLiteral("\r\n")).contains(text, Qt::CaseInsensitive);
    }
    QString LineEnd() const override { return lineEnd; }
    bool MesConnected() const override { return mesConnected; }
    bool LoggedIn() const override { return loggedIn; }
    int CurrentOcean() const override { return ocean; }
    int ProductType() const override { return productType; }
    int ProductModel() const override { return productModel; }
    bool ProcessingMsgs() const override { return processingMsgs; }
    void SetProcessingMsgs(bool running) override { processingMsgs = running; }
    void SetMessageTimer(bool running) override { messageTimer = running; }
    void ShowMessageQueued(const QString& text, const QString& title, MessageStyle style) override {
        boxes.push_back({text, title, style});
    }
    void PostInformation(const QString& text) override { information << text; }
    void AddInformationLine(const QString& text) override { information << text; }
    void ShowPriorityAlert(AlertKind kind, const QString&) override { alerts << AlertCaption(kind); }
    void PlayNewMessageSound() override { ++sounds; }
    void PrintText(const QString& text) override { printed << text; }
    void RefreshOutboxView() override { ++outboxRefreshes; }

    // Takes the first queued command, as the engine's idle step would.
    QString take() { return queue.isEmpty() ? QString() : queue.takeFirst(); }
};

} // namespace tessaro::testing
