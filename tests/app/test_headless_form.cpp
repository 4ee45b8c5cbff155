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

TEST(HeadlessForm, EachStoredEgcIsOneLineAndAlarmsSayAlarmOnce) {
    QTemporaryDir dir;
    const ManualClock clock;
    FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    {
        HeadlessMainForm form(dir.path() + QLatin1Char('/'), clock, out, out);
        struct Case {
            int priority;
            int service;
        };
        for (const Case c : {Case{0, 31}, Case{1, 4}, Case{2, 4}, Case{3, 14}}) {
            EgcIdxRecord r;
            r.ModemFileName = QStringLiteral("EGC.00%1").arg(c.priority);
            r.Priority = qint16(c.priority);
            r.Service = qint16(c.service);
            form.egcStored(r);
            if (c.priority >= 2)
                form.showAlert(c.priority == 3 ? AlertKind::EgcDistress : AlertKind::EgcUrgent, QStringLiteral("x"));
        }
        form.showAlert(AlertKind::DistressMessage, QStringLiteral("x"));
    }
    QStringList lines = ReadAll(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.section(QStringLiteral("  "), 1); // the time stamp
    EXPECT_EQ(lines, (QStringList{QStringLiteral("EGC EGC.000 stored: Routine, MET/NAV Warning/Forecast"),
                                  QStringLiteral("EGC EGC.001 stored: Safety, NAV Warning"),
                                  QStringLiteral("ALARM EGC EGC.002 stored: Urgent, NAV Warning"),
                                  QStringLiteral("ALARM EGC EGC.003 stored: Distress, Distress Alert Relay"),
                                  QStringLiteral("ALERT: DISTRESS PRIORITY MESSAGE")}))
        << lines.join(QLatin1Char('\n')).toStdString();
    std::fclose(out);
}
