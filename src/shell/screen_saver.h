#pragma once

namespace tessaro {

// Asks a running screen saver to quit so that an alarm is seen at once: one call to the desktop's
// org.freedesktop.ScreenSaver on the session bus, without waiting for an answer. Without a session bus
// (a console, a test run) nothing happens.
void CloseScreenSaver();

} // namespace tessaro
