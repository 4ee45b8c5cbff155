#include "shell/tray_notifier.h"

#include "config/text_util.h"
#include "shell/shell_texts.h"

#include <QSystemTrayIcon>

namespace tessaro {

namespace {
class SystemTray final : public ITrayBackend {
public:
    SystemTray(const QIcon& icon, QObject* parent, std::function<void()> activated)
        : m_icon(new QSystemTrayIcon(icon, parent)) {
        QObject::connect(m_icon, &QSystemTrayIcon::activated, m_icon,
                         [activated = std::move(activated)](QSystemTrayIcon::ActivationReason) {
                             if (activated)
                                 activated();
                         });
        m_icon->show();
    }
    void setToolTip(const QString& text) override { m_icon->setToolTip(text); }
    void showMessage(const QString& title, const QString& text) override {
        if (QSystemTrayIcon::supportsMessages())
            m_icon->showMessage(title, text);
    }

private:
    QSystemTrayIcon* m_icon; // owned by the parent object
};
} // namespace

std::unique_ptr<ITrayBackend> MakeSystemTray(const QIcon& icon, QObject* parent, std::function<void()> activated) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return nullptr;
    return std::make_unique<SystemTray>(icon, parent, std::move(activated));
}

TrayNotifier::TrayNotifier(std::unique_ptr<ITrayBackend> backend, QObject* parent)
    : QObject(parent), m_backend(std::move(backend)) {}

void TrayNotifier::setBackend(std::unique_ptr<ITrayBackend> backend) {
    m_backend = std::move(backend);
    if (m_backend && !m_toolTip.isEmpty())
        m_backend->setToolTip(m_toolTip);
}

void TrayNotifier::setStatus(const QString& statusText, int pendingOutgoing) {
    QString tip = QStringLiteral("Tessaro - ") + statusText;
    if (pendingOutgoing > 0)
        tip += QLatin1Char('\n') +
               FormatText(ShellText(9321, "Messages not sent yet: %0"), {QString::number(pendingOutgoing)});
    if (tip == m_toolTip)
        return;
    m_toolTip = tip;
    if (m_backend)
        m_backend->setToolTip(tip);
}

bool TrayNotifier::received(Traffic traffic, int priority, const QString& detail) {
    if (!m_backend || !NotifiesPriority(priority))
        return false;
    const QString title =
        traffic == Traffic::Egc ? ShellText(9328, "New EGC received") : ShellText(5026, "New message received");
    const QString priorityName = priority == 1 ? ShellText(5121, "Safety") : ShellText(5120, "Routine");
    m_backend->showMessage(title, priorityName + (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail));
    return true;
}

} // namespace tessaro
