// What the headless front end writes for the operator.
#include "app/headless_main_form.h"

#include "config/clock.h"
#include "config/logs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

using namespace tessaro;

namespace {

QString ReadAll(FILE* f) {
    std::fflush(f);
    std::rewind(f);
    QByteArray bytes;
    char buf[512];
    while (const size_t n = std::fread(buf, 1, sizeof buf, f))
        bytes.append(buf, qsizetype(n));
    return QString::fromLocal8Bit(bytes);
}

} // namespace

TEST(HeadlessForm, AFullDiskIsToldOnceNotOncePerLine) {
    QTemporaryDir dir;
    const ManualClock clock;
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    {
        HeadlessMainForm form(dir.path() + QLatin1Char('/'), clock, out, err);
        SetLogWriteFault([](const QString&) { return ENOSPC; });
        form.addInformation(QStringLiteral("one"));
        form.addInformation(QStringLiteral("two"));
        form.showMessageBox({QStringLiteral("three"), QStringLiteral("Info")}, [] {});
        SetLogWriteFault({});
    }
    const QString errors = ReadAll(err);
    EXPECT_EQ(errors.count(QStringLiteral("(InfoLog.AddInfo) Error: Not enough disk space.")), 1)
        << errors.toStdString();
    EXPECT_TRUE(ReadAll(out).contains(QStringLiteral("Info: two")));
    std::fclose(out);
    std::fclose(err);
}
