#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QIcon;

namespace tessaro {

// The notification area as the tray notifier uses it; a test puts a recorder in its place.
class ITrayBackend {
public:
    virtual ~ITrayBackend() = default;
    virtual void setToolTip(const QString& text) = 0;
    virtual void showMessage(const QString& title, const QString& text) = 0;
};

// The system tray icon, or null when this desktop has no notification area (offscreen, a bare X server):
// the program then runs without one. activated is called when the operator clicks the icon.
std::unique_ptr<ITrayBackend> MakeSystemTray(const QIcon& icon, QObject* parent, std::function<void()> activated);

// Tool tip and notifications of the tray icon. Only Routine and Safety traffic is announced here: an
// Urgent or Distress item has the alarm window, and a passing notification must never be all the
// operator gets for one.
class TrayNotifier final : public QObject {
    Q_OBJECT
public:
    enum class Traffic { Message, Egc };
    explicit TrayNotifier(std::unique_ptr<ITrayBackend> backend, QObject* parent = nullptr);
    bool available() const { return m_backend != nullptr; }
    void setBackend(std::unique_ptr<ITrayBackend> backend);
    void setStatus(const QString& statusText, int pendingOutgoing);
    // A stored message or EGC of priority 0..3; returns whether a notification was shown.
    bool received(Traffic traffic, int priority, const QString& detail);
    const QString& toolTip() const { return m_toolTip; }

    // Priorities that a notification may announce: Routine (0) and Safety (1).
    static bool NotifiesPriority(int priority) { return priority == 0 || priority == 1; }

private:
    std::unique_ptr<ITrayBackend> m_backend;
    QString m_toolTip;
};

} // namespace tessaro
