#pragma once

#include <QApplication>

namespace tessaro::test {

// Widgets need one QApplication per process; the tests share it.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "tessaro_shell_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

} // namespace tessaro::test
