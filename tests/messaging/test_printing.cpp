#include "app/runtime.h"
#include "config/clock.h"
#include "link/in_memory_link.h"
#include "link/recording_main_form.h"
#include "messaging/printing.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

RuntimeOptions options(const QTemporaryDir& dir) {
    RuntimeOptions o;
    o.dataPath = dir.path() + QLatin1Char('/');
    o.settingsFile = dir.path() + QStringLiteral("/settings.ini");
    o.acceptDisclaimer = true;
    o.formsPort = 0;
    return o;
}

// Records what the module hands to the PC printer.
struct PcSpy {
    explicit PcSpy(PrintingModule& m)
        : connection(
              QObject::connect(&m, &PrintingModule::pcPrintRequested, &m, [this](const QString& t) { texts << t; })) {}
    ~PcSpy() { QObject::disconnect(connection); }
    QMetaObject::Connection connection;
    QStringList texts;
    qsizetype count() const { return texts.size(); }
};

// The printing module in the whole runtime: its commands land in the engine's queue and its upload text is
// asked for the way the engine asks for it.
class PrintingTest : public ::testing::Test {
protected:
    PrintingTest() : runtime(options(dir), clock) {
        runtime.attach(form, [](LinkKind k) { return std::make_unique<InMemoryLink>(k); });
        const StartResult started = runtime.start();
        EXPECT_TRUE(started.ok) << started.message.toStdString();
        runtime.session().SetMesConnected(true);
        productType(2);
        runtime.terminal().engine().queue().clear();
        setting(QStringLiteral("UseMesPrinter"), QStringLiteral("1"));
    }
    void setting(const QString& key, const QString& value) {
        runtime.config().SaveSettingValue(QStringLiteral("Settings"), key, value);
    }
    void productType(int type) {
        TransceiverIdentity id = runtime.session().Identity();
        id.ProductType = type;
        runtime.session().SetIdentity(id);
    }
    QString takeQueue() {
        const QString text = runtime.terminal().engine().queue().text();
        runtime.terminal().engine().queue().clear();
        return text;
    }
    std::optional<QByteArray> upload() {
        return runtime.terminal().engine().UploadText(QStringLiteral("tessprnt.txt"));
    }

    QTemporaryDir dir;
    RecordingMainForm form;
    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(12, 0), Qt::UTC)};
    TessaroRuntime runtime;
};

TEST_F(PrintingTest, FirstPrintSetsThePrinterUpThenLaterPrintsOnlyTransferAndPrint) {
    PcSpy pc(runtime.printing());
    runtime.printing().Print(QStringLiteral("Hello\r\nWorld"));
    EXPECT_EQ(takeQueue(), QStringLiteral("se -z PRINTER=YES\r\nst -w\r\nse -z FFEED=NO\r\nst -w\r\n"
                                          "se -z PLINES=53\r\nst -w\r\nse -z PRTYPEMAX=70\r\nst -w\r\n"
                                          "se -z PRTYPEREM=3\r\nst -w\r\ntr tessprnt.txt -b 12\r\n"
                                          "print tessprnt.txt -d\r\n\r\n"));
    EXPECT_TRUE(runtime.printing().PrinterConfigured());
    EXPECT_TRUE(runtime.printing().PrintPending());
    EXPECT_EQ(upload(), std::optional<QByteArray>("Hello\r\nWorld"));
    EXPECT_FALSE(runtime.printing().PrintPending());
    EXPECT_FALSE(upload().has_value()) << "one transfer, one text";

    runtime.printing().Print(QString());
    EXPECT_EQ(takeQueue(), QStringLiteral("tr tessprnt.txt -b 0\r\nprint tessprnt.txt -d\r\n"));
    EXPECT_EQ(upload(), std::optional<QByteArray>(""));
    EXPECT_EQ(pc.count(), 0);
}

TEST(PrintBatch, TheTwelveLinesEndInCrLfAndTheTwoLinesDoNot) {
    const QString first = TransceiverPrintBatch({}, 1234, false);
    EXPECT_EQ(first.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).size(), 12);
    EXPECT_TRUE(first.endsWith(QStringLiteral("tr tessprnt.txt -b 1234\r\nprint tessprnt.txt -d\r\n")));
    EXPECT_EQ(TransceiverPrintBatch({}, 1234, true),
              QStringLiteral("tr tessprnt.txt -b 1234\r\nprint tessprnt.txt -d"));
}

TEST_F(PrintingTest, PrinterSettingsAreBroughtIntoTheirRanges) {
    struct Case {
        const char* pageLines;
        const char* lineWidth;
        const char* wrapMargin;
        const char* expected;
    };
    const Case cases[] = {
        {"150", "5", "12", "PLINES=99 PRTYPEMAX=10 PRTYPEREM=9"},
        {"abc", "x", "", "PLINES=53 PRTYPEMAX=70 PRTYPEREM=3"},
        {"0", "120", "-1", "PLINES=1 PRTYPEMAX=99 PRTYPEREM=0"},
        {"20", "80", "4", "PLINES=20 PRTYPEMAX=80 PRTYPEREM=4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        setting(QStringLiteral("PageLines"), QLatin1String(c.pageLines));
        setting(QStringLiteral("LineWidth"), QLatin1String(c.lineWidth));
        setting(QStringLiteral("WrapMargin"), QLatin1String(c.wrapMargin));
        const TransceiverPrinterSettings s = ReadTransceiverPrinterSettings(runtime.config());
        EXPECT_EQ(
            QStringLiteral("PLINES=%1 PRTYPEMAX=%2 PRTYPEREM=%3").arg(s.pageLines).arg(s.lineWidth).arg(s.wrapMargin),
            QLatin1String(c.expected));
    }
    setting(QStringLiteral("PageLines"), QStringLiteral("150"));
    runtime.printing().Print(QStringLiteral("x"));
    EXPECT_TRUE(takeQueue().contains(QStringLiteral("\r\nse -z PLINES=99\r\n")));
}

TEST_F(PrintingTest, CedarAndLarchUnitsAlwaysPrintOnThePc) {
    struct Case {
        int productType;
        const char* useMesPrinter;
        bool onTransceiver;
    };
    const Case cases[] = {{2, "1", true}, {5, "1", false}, {4, "1", false}, {2, "0", false}, {0, "1", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.productType);
        productType(c.productType);
        setting(QStringLiteral("UseMesPrinter"), QLatin1String(c.useMesPrinter));
        PcSpy pc(runtime.printing());
        runtime.printing().Print(QStringLiteral("Status text"));
        EXPECT_EQ(takeQueue().contains(QStringLiteral("tr tessprnt.txt -b 11")), c.onTransceiver);
        ASSERT_EQ(pc.count(), c.onTransceiver ? 0 : 1);
        if (!c.onTransceiver) {
            EXPECT_EQ(pc.texts.at(0), QStringLiteral("Status text"));
        }
        while (upload()) {
        }
    }
}

TEST_F(PrintingTest, TwoPrintsBeforeTheFirstTransferEachSendTheirOwnText) {
    runtime.printing().Print(QStringLiteral("first text"));
    runtime.printing().Print(QStringLiteral("second"));
    const QString queued = takeQueue();
    EXPECT_TRUE(queued.contains(QStringLiteral("tr tessprnt.txt -b 10\r\n")));
    EXPECT_TRUE(queued.endsWith(QStringLiteral("tr tessprnt.txt -b 6\r\nprint tessprnt.txt -d\r\n")));
    EXPECT_EQ(upload(), std::optional<QByteArray>("first text"));
    EXPECT_EQ(upload(), std::optional<QByteArray>("second"));
    // Another subsystem's files are not ours to answer for.
    runtime.printing().Print(QStringLiteral("x"));
    EXPECT_FALSE(runtime.terminal().engine().UploadText(QStringLiteral("13010301.out")).has_value());
}

// A "tr tessprnt.txt" written just before the link went never asks for its text: the next print must not
// transfer that stale text under its own length.
TEST_F(PrintingTest, ATransferLostWithTheLinkDoesNotHandItsTextToTheNextPrint) {
    runtime.printing().Print(QStringLiteral("lost text"));
    runtime.printing().Print(QStringLiteral("queued"));
    // The engine took the first batch's lines (the "tr" was written), then the link went.
    runtime.terminal().engine().queue().clear();
    runtime.terminal().engine().QueueCommand(QStringLiteral("tr tessprnt.txt -b 6\r\nprint tessprnt.txt -d"), true);
    runtime.terminal().LinkLost();
    EXPECT_EQ(upload(), std::optional<QByteArray>("queued"));
    EXPECT_FALSE(runtime.printing().PrintPending());
    takeQueue();
    runtime.printing().Print(QStringLiteral("next"));
    EXPECT_EQ(takeQueue(), QStringLiteral("tr tessprnt.txt -b 4\r\nprint tessprnt.txt -d\r\n"));
    EXPECT_EQ(upload(), std::optional<QByteArray>("next"));
}

TEST_F(PrintingTest, TextIsTransferredAsLatin1Bytes) {
    runtime.printing().Print(QStringLiteral("K\u00f8benhavn \u00e9t\u00e9"));
    EXPECT_TRUE(takeQueue().contains(QStringLiteral("tr tessprnt.txt -b 13\r\n")));
    EXPECT_EQ(upload(), std::optional<QByteArray>("K\xf8"
                                                  "benhavn \xe9t\xe9"));
}

TEST_F(PrintingTest, TypeRepliesArePrintedOnThePcUnlessReportsAreOff) {
    PcSpy pc(runtime.printing());
    auto route = [this] {
        runtime.terminal().engine().router().route(QStringLiteral("type IN.7\r\nReport line\r\ncan0:/$ "),
                                                   QStringLiteral("\r\n"), QStringLiteral("can0:/$ "));
    };
    route();
    ASSERT_EQ(pc.count(), 1);
    EXPECT_EQ(pc.texts.at(0), QStringLiteral("Report line\r\n"));
    runtime.config().SaveSettingValue(QStringLiteral("Messages"), QStringLiteral("PrintReports"), QStringLiteral("0"));
    route();
    EXPECT_EQ(pc.count(), 1);
}

TEST(PcPrintText, EveryLineGetsTheLeftMarginAndTheTextTheTopMargin) {
    EXPECT_EQ(PcPrintText(QStringLiteral("a\r\nb\rc\nd"), {2, 3, 72}),
              QStringLiteral("\r\n\r\n   a\r\n   b\r\n   c\r\n   d"));
    EXPECT_EQ(PcPrintText(QString(), {0, 0, 72}), QString());
}

} // namespace
