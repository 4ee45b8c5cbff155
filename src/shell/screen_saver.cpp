#include "shell/screen_saver.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace tessaro {

void CloseScreenSaver() {
    // Without an address the bus library may try to launch a bus of its own: never from an alarm.
    if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("SetActive"));
    call << false;
    call.setAutoStartService(false); // only a screen saver that runs
    bus.send(call);
}

} // namespace tessaro
