#include "sim_test_support.h"

using namespace tessaro::sim;
using namespace tessaro::sim::test;

namespace {

bool IsNumber(const QString& text) {
    bool ok = false;
    text.trimmed().toLongLong(&ok);
    return ok;
}

void addMessage(SimHarness& h, const char* listing) {
    h.control(QStringLiteral("listing ") + QLatin1String(listing));
    h.control(QStringLiteral("message les=102 priority=2 pres=5 Hello from shore"));
}

TEST(SimListing, DosLayoutColumnsAndBytesFree) {
    SimHarness h;
    addMessage(h, "dos");
    const QString reply = h.run(QStringLiteral("ls IN.*"));
    EXPECT_TRUE(reply.contains(QStringLiteral(" bytes free")));
    const QString line = lineWith(reply, QStringLiteral("IN "));
    ASSERT_FALSE(line.isEmpty()) << qPrintable(reply);
    EXPECT_GT(line.indexOf(u':') + 1, 7);
    EXPECT_EQ(cols(line, 1, 8).trimmed(), QStringLiteral("IN"));
    EXPECT_EQ(cols(line, 10, 12).trimmed(), QStringLiteral("1"));
    EXPECT_EQ(cols(line, 18, 22).trimmed(), QStringLiteral("16"));
    EXPECT_EQ(cols(line, 25, 32), QStringLiteral("13-05-07"));
    EXPECT_EQ(cols(line, 35, 36), QStringLiteral("09"));
    EXPECT_EQ(cols(line, 38, 39), QStringLiteral("41"));
    // Only file lines have a ":" beyond column 7.
    int entries = 0;
    for (const QString& l : bodyLines(reply))
        entries += l.indexOf(u':') + 1 > 7 ? 1 : 0;
    EXPECT_EQ(entries, 1);
}

TEST(SimListing, LongLayoutColumns) {
    SimHarness h;
    addMessage(h, "long");
    h.control(QStringLiteral("egc Gale warning"));
    const QString reply = h.run(QStringLiteral("ls *"));
    EXPECT_FALSE(reply.contains(QStringLiteral(" bytes free")));
    const QString in = lineWith(reply, QStringLiteral("IN.1"));
    EXPECT_EQ(cols(in, 1, 13).trimmed(), QStringLiteral("IN"));
    EXPECT_EQ(cols(in, 14, 14), QStringLiteral("."));
    EXPECT_EQ(cols(in, 15, 17).trimmed(), QStringLiteral("1"));
    EXPECT_EQ(cols(in, 1, 17).trimmed(), QStringLiteral("IN.1"));
    EXPECT_EQ(cols(in, 37, 44), QStringLiteral("13-05-07"));
    EXPECT_EQ(cols(in, 47, 48), QStringLiteral("09"));
    EXPECT_EQ(cols(in, 50, 51), QStringLiteral("41"));
    EXPECT_EQ(in.mid(51, in.indexOf(QStringLiteral(" bytes")) - 51).trimmed(), QStringLiteral("16"));
    EXPECT_EQ(cols(lineWith(reply, QStringLiteral("EGC.001")), 1, 17).trimmed(), QStringLiteral("EGC.001"));
    // Every line with " bytes" beyond column 8 is a file.
    int entries = 0;
    for (const QString& l : bodyLines(reply))
        entries += l.indexOf(QStringLiteral(" bytes")) + 1 > 8 ? 1 : 0;
    EXPECT_EQ(entries, 2);
}

TEST(SimListing, ModelChoosesLayoutAndEmptyListingHasNoEntries) {
    SimOptions old;
    old.model = QStringLiteral("alder-ab");
    SimHarness a(old);
    EXPECT_TRUE(a.run(QStringLiteral("ls IN.*")).contains(QStringLiteral(" bytes free")));
    SimHarness b;
    const QString reply = b.run(QStringLiteral("ls EGC.*"));
    EXPECT_FALSE(reply.contains(QStringLiteral(" bytes")));
}

TEST(SimListing, SizeCheckOfAnUploadedFileInBothLayouts) {
    for (const char* layout : {"dos", "long"}) {
        SimHarness h;
        h.control(QStringLiteral("listing ") + QLatin1String(layout));
        h.send("tr 13050701.out -b 1234\r");
        h.send(QByteArray(1234, 'x'));
        const QString reply = h.run(QStringLiteral("ls 13050701.out"));
        const QString rest = reply.mid(reply.indexOf(QStringLiteral("\r\n")) + 2);
        if (rest.contains(QStringLiteral(" bytes free"))) {
            const qsizetype at = rest.indexOf(QStringLiteral(" 1234 "));
            EXPECT_GE(at + 1, 17) << layout;
            EXPECT_LT(at, rest.indexOf(u':')) << layout;
        } else {
            const qsizetype colon = rest.indexOf(u':');
            const qsizetype bytes = rest.indexOf(QStringLiteral(" bytes"), colon);
            const qsizetype space = rest.lastIndexOf(u' ', bytes - 1);
            EXPECT_EQ(rest.mid(space + 1, bytes - space - 1), QStringLiteral("1234")) << layout;
        }
    }
}

TEST(SimReceptionLog, ColumnsOfEachMessageLine) {
    SimHarness h;
    addMessage(h, "long");
    const QString reply = h.run(QStringLiteral("st -r"));
    QStringList logLines;
    for (const QString& l : reply.split(u'\n')) {
        if (l.contains(QStringLiteral("IN.")))
            logLines << QString(l).remove(u'\r');
    }
    ASSERT_EQ(logLines.size(), 1) << qPrintable(reply);
    const QString line = logLines.first();
    EXPECT_EQ(cols(line, 1, 3), QStringLiteral("102"));
    EXPECT_EQ(cols(line, 8, 8), QStringLiteral("2"));
    EXPECT_EQ(cols(line, 10, 10), QStringLiteral("5"));
    EXPECT_EQ(cols(line, 12, 19), QStringLiteral("13-05-07"));
    EXPECT_EQ(cols(line, 22, 23), QStringLiteral("09"));
    EXPECT_EQ(cols(line, 25, 26), QStringLiteral("41"));
    EXPECT_EQ(cols(line, 28, 32).trimmed(), QStringLiteral("16"));
    EXPECT_EQ(cols(line, 34, 41).trimmed().toLongLong(), h.unit().findFile(QStringLiteral("IN.1"))->reference);
    EXPECT_EQ(cols(line, 45, 52).trimmed(), QStringLiteral("Pr+M"));
    EXPECT_EQ(cols(line, 54, 59).trimmed(), QStringLiteral("IN.1"));
}

TEST(SimTypeFile, EchoAndTwoHeaderLinesThenTheExactBodyAndPrompt) {
    SimHarness h;
    h.control(QStringLiteral("message Line one\\nLine two"));
    for (const char* cmd : {"ty IN.1 -b -k", "ty IN.1 -b"}) {
        const QString reply = h.run(QLatin1String(cmd));
        qsizetype pos = 0;
        for (int i = 0; i < 3; ++i)
            pos = reply.indexOf(QStringLiteral("\r\n"), i == 0 ? 2 : pos) + 2;
        QString text = reply.mid(pos);
        ASSERT_TRUE(text.endsWith(QStringLiteral("can0:/$ ")));
        text.chop(8);
        EXPECT_EQ(text, QStringLiteral("Line one\r\nLine two")) << cmd;
    }
    h.control(QStringLiteral("short-ty 3"));
    EXPECT_TRUE(h.run(QStringLiteral("ty IN.1 -b -k"))
                    .endsWith(QStringLiteral("Line one\r\nLine "
                                             "can0:/$ ")));
    EXPECT_TRUE(h.run(QStringLiteral("ty IN.1 -b -k"))
                    .endsWith(QStringLiteral("Line two"
                                             "can0:/$ "))); // once only
    EXPECT_TRUE(h.run(QStringLiteral("type IN.1")).endsWith(QStringLiteral("Line two\r\ncan0:/$ ")));
    EXPECT_TRUE(h.run(QStringLiteral("ty IN.9 -b")).contains(QStringLiteral("ERROR")));
}

TEST(SimDeleteFile, RemovesOnceAndReportsMissingFiles) {
    SimHarness h;
    h.control(QStringLiteral("message hi"));
    EXPECT_EQ(h.run(QStringLiteral("delete IN.1")), QStringLiteral("delete IN.1\r\ncan0:/$ "));
    EXPECT_TRUE(h.run(QStringLiteral("delete IN.1")).contains(QStringLiteral("ERROR")));
    EXPECT_TRUE(h.run(QStringLiteral("st -r")).indexOf(QStringLiteral("IN.")) < 0);
}

struct TxRefusal {
    const char* setup;
    const char* command;
    const char* error;
};

// Readable test names: the command refused.
void PrintTo(const TxRefusal& r, std::ostream* os) {
    *os << r.command;
}

class SimTransmit : public ::testing::TestWithParam<TxRefusal> {};

TEST_P(SimTransmit, RefusedTransmissionsNameTheirError) {
    SimHarness h;
    h.send("tr m.out -b 2\rok");
    if (*GetParam().setup)
        h.control(QLatin1String(GetParam().setup));
    const QString reply = h.run(QLatin1String(GetParam().command));
    EXPECT_TRUE(reply.contains(QLatin1String(GetParam().error))) << qPrintable(reply);
    EXPECT_TRUE(h.run(QStringLiteral("st -l")) == QStringLiteral("st -l\r\ncan0:/$ ")) << "nothing is reported later";
}

INSTANTIATE_TEST_SUITE_P(Errors, SimTransmit,
                         ::testing::Values(TxRefusal{"egc-only on", "tx m.out -c 102 -s 0 -t 0 -l 0", "ERROR 250:"},
                                           TxRefusal{"", "tx m.out -c 102 -s 0 -t 5 -l 0 -e 99999,1", "ERROR 121"},
                                           TxRefusal{"", "tx nofile.out -c 102 -s 0 -t 0 -l 0", "ERROR"},
                                           TxRefusal{"", "tx m.out -s 0", "ERROR"}));

// Reads a multi-line INFO entry as the program cuts it: up to the next INFO/ERROR line or the prompt.
QString infoText(const QString& reply, int code) {
    const QString head = QStringLiteral("\r\nINFO %1:").arg(code, 3);
    const qsizetype at = reply.indexOf(head);
    if (at < 0)
        return {};
    qsizetype end = reply.size();
    for (const QString& next :
         {QStringLiteral("\r\nINFO "), QStringLiteral("\r\nERROR "), QStringLiteral("\r\ncan0:/$ ")}) {
        const qsizetype e = reply.indexOf(next, at + 2);
        if (e >= 0)
            end = std::min(end, e);
    }
    return reply.mid(at + 2, end - at - 2);
}

TEST(SimTransmitProgress, ReportedOnlyInTheNextKeepAlive) {
    SimHarness h;
    h.send("tr 13050701.out -b 5\rhello");
    const QString tx = h.run(QStringLiteral("tx 13050701.out -c 102 -s 0 -t 0 -l 0 -n"));
    EXPECT_FALSE(tx.contains(QStringLiteral("ERROR")));
    EXPECT_EQ(h.run(QStringLiteral("st -l")), QStringLiteral("st -l\r\ncan0:/$ "));
    h.advance(1.5);
    const QString first = h.run(QStringLiteral("st -l"));
    const QString i82 = infoText(first, 82);
    ASSERT_FALSE(i82.isEmpty()) << qPrintable(first);
    EXPECT_EQ(i82.mid(i82.indexOf(QStringLiteral("OUT.")), 7), QStringLiteral("OUT.001"));
    EXPECT_EQ(afterLabel(h.run(QStringLiteral("st -w")), QStringLiteral("Current protocol"), 25).trimmed(),
              QStringLiteral("Transmission"));
    h.advance(10);
    const QString second = h.run(QStringLiteral("st -l"));
    const QString i81 = infoText(second, 81);
    ASSERT_FALSE(i81.isEmpty()) << qPrintable(second);
    EXPECT_EQ(i81.mid(i81.indexOf(QStringLiteral("File ")) + 5, 7), QStringLiteral("OUT.001"));
    const qsizetype ref = i81.indexOf(QStringLiteral("Reference number"));
    EXPECT_TRUE(IsNumber(i81.mid(ref + 17).section(QStringLiteral("\r\n"), 0, 0)));
    EXPECT_EQ(i81.mid(i81.indexOf(QStringLiteral("LES ")) + 4, 3), QStringLiteral("102"));
    EXPECT_EQ(h.run(QStringLiteral("st -l")), QStringLiteral("st -l\r\ncan0:/$ ")) << "each line reported once";
}

TEST(SimTransmitProgress, ScenarioChoosesTheOutcome) {
    struct Case {
        const char* outcome;
        QList<int> codes;
    };
    for (const Case& c : {Case{"failed", {82, 80}}, Case{"negative", {82, 81, 140}}, Case{"positive", {82, 81, 141}},
                          Case{"delivered", {82, 81}}}) {
        SimHarness h;
        h.control(QStringLiteral("tx-result ") + QLatin1String(c.outcome));
        h.send("tr a.out -b 1\rx");
        h.run(QStringLiteral("tx a.out -c 102 -s 0 -t 0 -l 0"));
        h.advance(30);
        const QString reply = h.run(QStringLiteral("st -l"));
        EXPECT_EQ(reply.count(QStringLiteral("INFO ")), c.codes.size()) << c.outcome << qPrintable(reply);
        for (int code : c.codes)
            EXPECT_FALSE(infoText(reply, code).isEmpty()) << c.outcome << code;
        if (QLatin1String(c.outcome) == QLatin1String("negative")) {
            EXPECT_TRUE(infoText(reply, 140).contains(QStringLiteral("failure code:")));
        }
        if (QLatin1String(c.outcome) == QLatin1String("failed")) {
            EXPECT_TRUE(infoText(reply, 80).contains(QStringLiteral("File OUT.001")));
        }
    }
}

TEST(SimTransmitProgress, ConfirmationRequestAndClear) {
    SimHarness h;
    h.send("tr a.out -b 1\rx");
    h.run(QStringLiteral("tx a.out -c 102 -s 0 -t 0 -l 0 -v"));
    h.advance(20);
    const QString reports = h.run(QStringLiteral("st -l"));
    EXPECT_FALSE(infoText(reports, 141).isEmpty()) << "confirmation asked with -v";
    const qsizetype ref = reports.indexOf(QStringLiteral("Reference number "));
    const QString number = reports.mid(ref + 17, 6);
    h.run(QStringLiteral("co ") + number + QStringLiteral(" 102"));
    h.run(QStringLiteral("co 1 102"));
    h.advance(6);
    const QString conf = h.run(QStringLiteral("st -l"));
    EXPECT_FALSE(infoText(conf, 131).isEmpty());
    EXPECT_FALSE(infoText(conf, 130).isEmpty());

    h.run(QStringLiteral("tx a.out -c 102 -s 0 -t 0 -l 0"));
    EXPECT_TRUE(h.run(QStringLiteral("cl")).contains(QStringLiteral("OUT.002 cleared")));
    h.advance(20);
    EXPECT_EQ(h.run(QStringLiteral("st -l")), QStringLiteral("st -l\r\ncan0:/$ "));
    EXPECT_TRUE(h.run(QStringLiteral("cl")).contains(QStringLiteral("No transmission")));
}

TEST(SimPrintFile, PrintsOnlyWhenThePrinterIsOn) {
    SimHarness h;
    h.send("tr tessprnt.txt -b 4\rtext");
    EXPECT_TRUE(h.run(QStringLiteral("print tessprnt.txt -d")).contains(QStringLiteral("Printing tessprnt.txt")));
    h.run(QStringLiteral("se -z PRINTER=NO"));
    EXPECT_TRUE(h.run(QStringLiteral("print tessprnt.txt -d")).contains(QStringLiteral("ERROR 105")));
    EXPECT_TRUE(h.run(QStringLiteral("print none.txt -d")).contains(QStringLiteral("ERROR")));
}

} // namespace
