#pragma once

#include <QString>

#include <functional>

namespace tessaro {

enum class MessageStyle { Information, Warning, Critical };

struct MessageBoxRequest {
    QString text;
    QString title;
    MessageStyle style = MessageStyle::Information;
    bool operator==(const MessageBoxRequest&) const = default;
};

// A yes/no question; safeAnswer is what a front end without an operator answers.
struct ConfirmRequest {
    QString text;
    QString title;
    bool safeAnswer = false;
};

// What the engine is doing, for the activity label.
enum class Activity { Idle, Receiving, Processing, MessageToMobile };
// The English text of an activity ("Idle", "Receiving", "Processing", "Message to mobile").
QString ActivityText(Activity activity);

// Windows the core may ask the front end to open.
enum class WindowId { TerminalStatus, LinkTest };

// Alerts that must not pass unseen; a front end without an operator prints them.
enum class AlertKind {
    DistressMessage, // a received message of distress priority
    UrgencyMessage,  // a received message of urgency priority
    EgcDistress,     // a stored EGC of distress priority
    EgcUrgent,       // a stored EGC of urgent priority
};
// "DISTRESS PRIORITY MESSAGE", "URGENCY PRIORITY MESSAGE", "DISTRESS / URGENT EGC MESSAGE".
QString AlertCaption(AlertKind kind);

enum class OperatorSound { NewMessage };

// Background colours as 0xRRGGBB.
inline constexpr unsigned kIndicatorGreen = 0x00FF00;
inline constexpr unsigned kIndicatorRed = 0xFF0000;

struct LinkIndicatorState {
    bool green = false;
    // Empty while the transceiver reports itself connected: the status line's own text stays then.
    QString text;
    int countdown = 0; // serial link: ticks left during which the link counts as alive
    unsigned colour() const { return green ? kIndicatorGreen : kIndicatorRed; }
    bool operator==(const LinkIndicatorState&) const = default;
};

// The only way the core reaches the operator. Nothing here may run a nested event loop: answers and
// closed boxes come back through the callbacks.
class IMainForm {
public:
    virtual ~IMainForm() = default;

    virtual void setActivity(Activity activity) = 0;
    virtual void setLinkIndicator(const LinkIndicatorState& state) = 0;
    // Status line: text with its background colour (0xRRGGBB).
    virtual void setStatusLine(const QString& text, unsigned colour) = 0;
    // A line for the information list.
    virtual void addInformation(const QString& line) = 0;

    // Shows one queued message box; closed() must be called once it is dismissed.
    virtual void showMessageBox(const MessageBoxRequest& box, std::function<void()> closed) = 0;
    // Asks a question; answer() is called exactly once.
    virtual void confirm(const ConfirmRequest& request, std::function<void(bool)> answer) = 0;
    // Start-up only, before the timers run: the disclaimer must be accepted to go on.
    virtual bool askDisclaimer() = 0;
    // Start-up only: a reason the program cannot run (shown, then the program ends).
    virtual void fatalMessage(const QString& text, const QString& title) = 0;

    // Progress of a file upload to the transceiver.
    virtual void uploadStarted(int maximum) = 0;
    virtual void uploadProgress(int value) = 0;
    virtual void uploadFinished() = 0;

    // The modeless one-line wait window (empty text closes it) and its progress counter 0..10.
    virtual void setWaitWindow(const QString& text) = 0;
    virtual void setWaitProgress(int step) = 0;

    virtual void openWindow(WindowId window) = 0;
    // An alert of a kind with the text that raised it; it stays until the operator acknowledges it.
    virtual void showAlert(AlertKind kind, const QString& text) = 0;
    virtual void playSound(OperatorSound sound) = 0;

    // Shut-down is complete: the front end may quit.
    virtual void closeFinished() = 0;
};

// Does nothing, answers with the safe default, closes boxes at once: a base for front ends and tests
// that care about a few calls only.
class NullMainForm : public IMainForm {
public:
    void setActivity(Activity) override {}
    void setLinkIndicator(const LinkIndicatorState&) override {}
    void setStatusLine(const QString&, unsigned) override {}
    void addInformation(const QString&) override {}
    void showMessageBox(const MessageBoxRequest&, std::function<void()> closed) override { closed(); }
    void confirm(const ConfirmRequest& request, std::function<void(bool)> answer) override {
        answer(request.safeAnswer);
    }
    bool askDisclaimer() override { return false; }
    void fatalMessage(const QString&, const QString&) override {}
    void uploadStarted(int) override {}
    void uploadProgress(int) override {}
    void uploadFinished() override {}
    void setWaitWindow(const QString&) override {}
    void setWaitProgress(int) override {}
    void openWindow(WindowId) override {}
    void showAlert(AlertKind, const QString&) override {}
    void playSound(OperatorSound) override {}
    void closeFinished() override {}
};

} // namespace tessaro
