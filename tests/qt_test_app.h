#pragma once

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>

namespace tessaro::test {

// One QCoreApplication for the whole test program: timers, sockets and QProcess need it.
class QtAppEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QCoreApplication::instance())
            m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
    }
    // Before static destruction: Qt's own globals are gone by then.
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[8] = "tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QCoreApplication> m_app;
};

inline const bool kQtAppRegistered = [] {
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);
    return true;
}();

} // namespace tessaro::test
