#pragma once

#include "link/imain_form.h"

#include <QString>

namespace tessaro {

// What the messaging handlers need from the rest of the program: the command queue, the session values
// they read, and the ways to reach the operator. The terminal implements it over the engine, the session
// and the main form; tests implement it in memory.
class IMessagingHost {
public:
    virtual ~IMessagingHost() = default;

    // Command queue: the engine's QueueCommand, and whether the queue holds a text (case-blind containment).
    virtual bool QueueCommand(const QString& command, bool allowDuplicate, bool atFront) = 0;
    virtual bool IsCommandQueued(const QString& text) const = 0;
    // The shell's line end as learned from "st -l" (empty until then).
    virtual QString LineEnd() const = 0;

    // Session values.
    virtual bool MesConnected() const = 0;
    virtual bool LoggedIn() const = 0;
    virtual int CurrentOcean() const = 0; // 0..3, 4 = none
    virtual int ProductType() const = 0;  // hardware family; 4 and 5 are the Cedar and Larch families
    virtual int ProductModel() const = 0;
    virtual bool ProcessingMsgs() const = 0;
    virtual void SetProcessingMsgs(bool running) = 0;
    // The message download watchdog (60 s); its expiry calls CMessageReception::MessageTimerExpired.
    virtual void SetMessageTimer(bool running) = 0;

    // Operator: a queued message box, a line of the information list and log, alerts.
    virtual void ShowMessageQueued(const QString& text, const QString& title, MessageStyle style) = 0;
    // A line for the information list and the information log.
    virtual void PostInformation(const QString& text) = 0;
    // A line for the information list only (the caller logs it itself).
    virtual void AddInformationLine(const QString& text) = 0;
    virtual void ShowPriorityAlert(AlertKind kind, const QString& text) = 0;
    virtual void PlayNewMessageSound() = 0;
    virtual void PrintText(const QString& text) = 0;
    virtual void RefreshOutboxView() = 0;
};

} // namespace tessaro
