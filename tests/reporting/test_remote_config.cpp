#include "config/clock.h"
#include "config/configuration.h"
#include "config/logs.h"
#include "config/temp_data_dir.h"
#include "messaging/address_book.h"
#include "reporting/remote_config.h"
#include "reporting/remote_config_process.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

using namespace tessaro;

namespace {

// Collects the log lines instead of writing RemoteLog.txt.
class MemoryLog final : public ILog {
public:
    void SetLogFile(const QString&) override {}
    void Log(const QString& text) override { lines << text; }
    QStringList lines;
};

const QDateTime kHour(QDate(2026, 3, 14), QTime(15, 0), Qt::UTC);
const QString kPassword = QStringLiteral("Secret7");

QString packet(const QString& hash, const QString& commands, const QString& trailer = QString()) {
    return QStringLiteral("Text before\r\n$XYWGHJIP$") + hash + QStringLiteral("$") + commands +
           QStringLiteral("$PIJHGWYX$\r\n") + trailer;
}
QString validHash(int hoursBack = 0) {
    return cRemoteConfig::PasswordHashFor(kHour.addSecs(-3600 * hoursBack), kPassword);
}

struct Decoder {
    MemoryLog log;
    cRemoteConfig remote;
    Decoder() {
        remote.Logging = &log;
        remote.Password = kPassword;
        remote.UTCDate = kHour.date();
        remote.UTCTime = QTime(15, 42, 17); // minutes and seconds play no part
    }
};

} // namespace

TEST(RemoteConfigPacket, ExistConfigNeedsBothMarkersAndTheLineEnd) {
    const struct {
        const char* text;
        bool found;
    } cases[] = {
        {"$XYWGHJIP$abc$PIJHGWYX$\r\nx", true},
        {"$XYWGHJIP$abc$PIJHGWYX$", false},     // at the very end, no CR LF
        {"$XYWGHJIP$abc$PIJHGWYX$\n", false},   // LF alone is no line end here
        {"$PIJHGWYX$\r\n$XYWGHJIP$abc", false}, // end marker before the start
        {"$xywghjip$abc$PIJHGWYX$\r\n", false}, // case-sensitive
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cRemoteConfig::ExistConfig(QString::fromLatin1(c.text)), c.found) << c.text;
}

TEST(RemoteConfigPacket, DecodesCommandsParametersAndTrailer) {
    Decoder d;
    const RemoteConfigPacket p = d.remote.DecodePacket(packet(
        validHash(), QStringLiteral("SETDEFLES#12&&&$SAVEHTML#page.htm"), QStringLiteral("<html>\r\n</html>\r\n")));
    ASSERT_TRUE(p.PasswordOk);
    EXPECT_EQ(p.Socid, QStringLiteral("$XYWGHJIP$"));
    EXPECT_EQ(p.Eocid, QStringLiteral("$PIJHGWYX$"));
    EXPECT_EQ(p.Trailer, QStringLiteral("<html>\r\n</html>\r\n"));
    ASSERT_EQ(p.Commands.size(), 2);
    EXPECT_EQ(p.Commands[0].Name, QStringLiteral("SETDEFLES"));
    EXPECT_EQ(p.Commands[0].ParamCount, 4);
    EXPECT_EQ(p.Commands[0].Params[0], QStringLiteral("12"));
    EXPECT_EQ(p.Commands[0].Params[3], QString());
    EXPECT_EQ(p.Commands[1].Name, QStringLiteral("SAVEHTML"));
    EXPECT_EQ(p.Commands[1].ParamCount, 1);
    EXPECT_TRUE(p.Commands[0].Valid && p.Commands[1].Valid);
    EXPECT_EQ(d.log.lines,
              (QStringList{QStringLiteral("Remote configuration packet found"), QStringLiteral("Password check OK"),
                           QStringLiteral("Remote Configuration packet successfully decoded")}));
}

TEST(RemoteConfigPacket, EscapesFollowTheBackslashCount) {
    Decoder d;
    // One backslash keeps a literal "&"; two end the parameter after one literal backslash; "\$" and "\#"
    // stay inside the parameter.
    const RemoteConfigPacket p =
        d.remote.DecodePacket(packet(validHash(), QStringLiteral(R"(SAVECONTACT#A\&B&C\\&D\$E\#F&x&y)")));
    ASSERT_EQ(p.Commands.size(), 1);
    const RemoteConfigCommand& c = p.Commands[0];
    ASSERT_EQ(c.ParamCount, 5);
    EXPECT_EQ(c.Params[0], QStringLiteral("A&B"));
    EXPECT_EQ(c.Params[1], QStringLiteral("C\\"));
    EXPECT_EQ(c.Params[2], QStringLiteral("D$E#F"));
}

TEST(RemoteConfigPacket, ACommandWithoutHashHasNoParametersEvenBeforeOneWithThem) {
    Decoder d;
    const RemoteConfigPacket p = d.remote.DecodePacket(packet(validHash(), QStringLiteral("SAVEISP$SETDEFISP#Name")));
    ASSERT_EQ(p.Commands.size(), 2);
    EXPECT_EQ(p.Commands[0].Name, QStringLiteral("SAVEISP"));
    EXPECT_EQ(p.Commands[0].ParamCount, 0);
    EXPECT_EQ(p.Commands[1].Params[0], QStringLiteral("Name"));
}

TEST(RemoteConfigPacket, ParseErrorsAreLoggedAndKeepWhatWasFound) {
    const struct {
        QString text;
        const char* error;
        int commands;
    } cases[] = {
        {QStringLiteral("$XYWGHJIP$") + QString(31, u'A') + QStringLiteral("$PIJHGWYX$\r\n"),
         "Error: Wrong size of remote configuration packet", 0},
        {packet(validHash(), QStringLiteral("SAVEISP$SAVEHTML#a&b&c&d&e&f&g")), "Error: Error in command", 1},
        {QStringLiteral("$XYWGHJIP$") + validHash() + QStringLiteral("$SAVEISP$PIJHGWYX$ trailing"),
         "Error: no configuration found", 0},
    };
    for (const auto& c : cases) {
        Decoder d;
        const RemoteConfigPacket p = d.remote.DecodePacket(c.text);
        EXPECT_TRUE(d.log.lines.contains(QLatin1String(c.error)))
            << c.error << " in " << d.log.lines.join(u'|').toStdString();
        EXPECT_EQ(p.Commands.size(), c.commands) << c.error;
    }
}

TEST(RemoteConfigPacket, ThePasswordHoldsForItsHourAndTheNextOnly) {
    const struct {
        QString hash;
        bool ok;
    } cases[] = {
        {validHash(0), true},
        {validHash(1), true},
        {validHash(2), false},
        {validHash(0).toLower(), false}, // only upper-case hex
        {cRemoteConfig::PasswordHashFor(kHour.addSecs(3600), kPassword), false},
    };
    for (const auto& c : cases) {
        Decoder d;
        const RemoteConfigPacket p = d.remote.DecodePacket(packet(c.hash, QStringLiteral("SAVEISP")));
        EXPECT_EQ(p.PasswordOk, c.ok) << c.hash.toStdString();
        EXPECT_EQ(d.log.lines.contains(QStringLiteral("Error: password check failed")), !c.ok);
    }
    Decoder none;
    none.remote.Password.clear();
    EXPECT_FALSE(none.remote.DecodePacket(packet(validHash(), QStringLiteral("SAVEISP"))).PasswordOk);
    EXPECT_TRUE(none.log.lines.contains(QStringLiteral("Error: No password set")));
}

TEST(RemoteConfigPacket, TheHashIsMd5OverHourAndPassword) {
    // md5("2026031415Secret7"), computed independently.
    EXPECT_EQ(
        cRemoteConfig::PasswordHashFor(kHour, kPassword),
        QString::fromLatin1(QCryptographicHash::hash("2026031415Secret7", QCryptographicHash::Md5).toHex().toUpper()));
    EXPECT_EQ(cRemoteConfig::PasswordHashFor(kHour, kPassword).size(), 32);
}

TEST(RemoteConfigPacket, UnknownCommandsAreMarkedInvalid) {
    Decoder d;
    const RemoteConfigPacket p = d.remote.DecodePacket(packet(validHash(), QStringLiteral("SAVEISP$savehtml#a.htm")));
    ASSERT_EQ(p.Commands.size(), 2);
    EXPECT_TRUE(p.Commands[0].Valid);
    EXPECT_FALSE(p.Commands[1].Valid);
    EXPECT_TRUE(d.log.lines.contains(QStringLiteral("Error: command(1 not valid.")));
}

TEST(RemotePassword, ScrambledStorage) {
    EXPECT_EQ(ScrambleRemotePassword(QStringLiteral("A1")), QStringLiteral("BECE")); // 255-65=190, 255-49=206
    EXPECT_EQ(UnscrambleRemotePassword(QStringLiteral("BECE")), QStringLiteral("A1"));
    EXPECT_EQ(UnscrambleRemotePassword(ScrambleRemotePassword(QStringLiteral("Sea & Sky 9"))),
              QStringLiteral("Sea & Sky 9"));
    EXPECT_EQ(UnscrambleRemotePassword(QString()), QString());
}

// ---- the commands ----

namespace {
class FakeMailer final : public IRemoteLogMailer {
public:
    Result SendText(const QString& address, const QString& subject, const QString& text) override {
        sent << QStringList{address, subject, text};
        return result;
    }
    QList<QStringList> sent;
    Result result{1000, QString(), QStringLiteral("OUT00017.TXT")};
};

struct Commands {
    TempDataDir data;
    ManualClock clock{QDateTime(QDate(2026, 3, 14), QTime(15, 0), Qt::UTC), 0};
    CConfiguration config{data.path(), false, data.path() + QStringLiteral("settings.ini")};
    MemoryLog log;
    FakeMailer mailer;
    cRemoteConfigProcess process{config, nullptr, &mailer};
    Commands() { process.SetLogFile(&log); }

    bool run(const QString& commands, const QString& trailer = QString()) {
        cRemoteConfig remote;
        remote.Password = kPassword;
        remote.UTCDate = kHour.date();
        remote.UTCTime = kHour.time();
        return process.ProcessConfig(remote.DecodePacket(packet(validHash(), commands, trailer)));
    }
    QByteArray read(const QString& relative) const {
        QFile f(data.path() + relative);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString& relative) const { return QFileInfo::exists(data.path() + relative); }
};
} // namespace

TEST(RemoteConfigCommands, SaveHtmlWritesBelowTheHtmlFolder) {
    Commands c;
    const QString page = QString::fromLatin1("<html>\xe6\xf8\xe5\r\n</html>");
    EXPECT_TRUE(c.run(QStringLiteral(R"(SAVEHTML#forms\\new\\page)"), page));
    EXPECT_EQ(c.read(QStringLiteral("html/forms/new/page.htm")), page.toLatin1());
    EXPECT_TRUE(
        c.log.lines.contains(QStringLiteral("SAVEHTML:Filename has no extension. Default extension .htm added")));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("SAVEHTML:Creating file 'page.htm'")));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("SAVEHTML:Saved file page.htm")));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("Command SAVEHTML completed sucessfully")));

    EXPECT_TRUE(c.run(QStringLiteral(R"(SAVEHTML#forms\\new\\page.htm)"), QStringLiteral("again")));
    EXPECT_EQ(c.read(QStringLiteral("html/forms/new/page.htm")), QByteArray("again"));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("SAVEHTML:File 'page.htm' already exists. Overwriting...")));
}

TEST(RemoteConfigCommands, SaveHtmlRefusals) {
    const struct {
        const char* param;
        const char* line;
    } cases[] = {
        {"page.HTM", "SAVEHTML:Error: file extension (.HTM) not allowed"},
        {"page.exe", "SAVEHTML:Error: file extension (.exe) not allowed"},
        {"pa*ge.htm", "SAVEHTML:Error: illegal character(s) in filename (pa*ge.htm)"},
        {"a:b\\\\page.htm", "SAVEHTML:Error: illegal character(s) in file path (a:b)"},
        {"forms\\\\", "SAVEHTML:Error: filename is empty."},
        {"..\\\\..\\\\evil.htm", "SAVEHTML:Error: file path leads outside the html folder (..\\..)"},
        {"forms\\\\..\\\\..\\\\evil.htm", "SAVEHTML:Error: file path leads outside the html folder (forms\\..\\..)"},
    };
    for (const auto& k : cases) {
        Commands c;
        EXPECT_FALSE(c.run(QStringLiteral("SAVEHTML#") + QLatin1String(k.param), QStringLiteral("x"))) << k.param;
        EXPECT_TRUE(c.log.lines.contains(QLatin1String(k.line)))
            << k.param << ": " << c.log.lines.join(u'|').toStdString();
        EXPECT_FALSE(c.exists(QStringLiteral("evil.htm")));
        EXPECT_TRUE(c.log.lines.contains(QStringLiteral("Command SAVEHTML failed")));
    }
}

TEST(RemoteConfigCommands, SaveHtmlDoesNotFollowALinkOutOfTheHtmlFolder) {
    Commands c;
    QTemporaryDir outside;
    QDir().mkpath(c.data.path() + QStringLiteral("html"));
    ASSERT_TRUE(QFile::link(outside.path(), c.data.path() + QStringLiteral("html/out")));
    EXPECT_FALSE(c.run(QStringLiteral(R"(SAVEHTML#out\\evil.htm)"), QStringLiteral("x")));
    EXPECT_FALSE(QFileInfo::exists(outside.path() + QStringLiteral("/evil.htm")));
}

TEST(RemoteConfigCommands, SetDefaultLesChecksEveryOceanBeforeStoring) {
    Commands c;
    c.config.SetIni(QStringLiteral("[Default LES East]"), QStringLiteral("102"));
    EXPECT_TRUE(c.run(QStringLiteral("SETDEFLES#12&&&")));
    EXPECT_EQ(c.config.GetIni(QStringLiteral("[Default LES West]")), QStringLiteral("012"));
    EXPECT_EQ(c.config.GetIni(QStringLiteral("[Default LES East]")), QStringLiteral("102"));

    EXPECT_FALSE(c.run(QStringLiteral("SETDEFLES#5&164&&")));
    EXPECT_EQ(c.config.GetIni(QStringLiteral("[Default LES West]")), QStringLiteral("012")) << "nothing stored";
    EXPECT_TRUE(c.log.lines.contains(
        QStringLiteral("Error occurred processing SETDEFLES. Could not validate data for ocean 1")));
    EXPECT_FALSE(c.run(QStringLiteral("SETDEFLES#64&&&")));
    EXPECT_TRUE(c.run(QStringLiteral("SETDEFLES#&&263&300")));
    EXPECT_EQ(c.config.GetIni(QStringLiteral("[Default LES Pacific]")), QStringLiteral("263"));
}

TEST(RemoteConfigCommands, SaveIspThenSetDefaultIspInOnePacket) {
    Commands c;
    const QString list =
        QStringLiteral("VERSION 116\r\nShore Mail|001|101|201|301|TO:|CC:||SUBJECT:|STX:|SAC|28|;||||\r\n");
    EXPECT_TRUE(c.run(QStringLiteral("SAVEISP$SETDEFISP#Shore Mail"), list));
    EXPECT_EQ(c.read(QStringLiteral("isp.dat")), list.toLatin1());
    EXPECT_EQ(c.config.GetIni(QStringLiteral("[Default ISP]")), QStringLiteral("Shore Mail"));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("SAVEISP:Creating file 'isp.dat'")));

    EXPECT_FALSE(c.run(QStringLiteral("SETDEFISP#Shore")));
    EXPECT_TRUE(
        c.log.lines.contains(QStringLiteral("SETDEFISP:Error processing command. New ISP name not found in list")));
    EXPECT_FALSE(c.run(QStringLiteral("SETDEFISP#VERSION 116")));
    EXPECT_EQ(c.config.GetIni(QStringLiteral("[Default ISP]")), QStringLiteral("Shore Mail"));
}

TEST(RemoteConfigCommands, GetLogSendsTheEndOfTheLog) {
    Commands c;
    QFile f(c.data.path() + QStringLiteral("DebugLog.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(12000, 'a') + "END");
    f.close();
    EXPECT_TRUE(c.run(QStringLiteral("GETDEBUGLOG#shore@example.com&0")));
    ASSERT_EQ(c.mailer.sent.size(), 1);
    EXPECT_EQ(c.mailer.sent[0][0], QStringLiteral("shore@example.com"));
    EXPECT_EQ(c.mailer.sent[0][1], QStringLiteral("Tessaro debug log"));
    EXPECT_EQ(c.mailer.sent[0][2].size(), 10000);
    EXPECT_TRUE(c.mailer.sent[0][2].endsWith(QStringLiteral("END")));
    EXPECT_TRUE(
        c.log.lines.contains(QStringLiteral("GETDEBUGLOG: Your request is being processed...<br>Ref:OUT00017.TXT")));

    c.mailer.result = {1003, QStringLiteral("Not connected to the transceiver."), QString()};
    EXPECT_FALSE(c.run(QStringLiteral("GETDEBUGLOG#shore@example.com&5")));
    EXPECT_EQ(c.mailer.sent.last()[2], QStringLiteral("aaEND"));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("GETDEBUGLOG:Error 1003: Not connected to the transceiver.")));

    EXPECT_FALSE(c.run(QStringLiteral("GETREMCONFLOG#shore@example.com&5")));
    EXPECT_TRUE(c.log.lines.contains(
        QStringLiteral("GETREMCONFLOG:Error executing command. File 'RemoteLog.txt' does not exist")));
}

TEST(RemoteConfigCommands, WrongCommandsFailWithoutStoppingTheOthers) {
    Commands c;
    EXPECT_FALSE(c.run(QStringLiteral("SETDEFLES#12&&$NOPE$SETDEFLES#&101&&")));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("Error in command 'SETDEFLES': Wrong number of parameters")));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("Error processing command 'NOPE': Command not valid")));
    EXPECT_EQ(c.config.GetIni(QStringLiteral("[Default LES East]")), QStringLiteral("101")) << "the third still ran";
}

TEST(RemoteConfigCommands, SaveContactAddsAValidEntryOnce) {
    Commands c;
    cAddressBook book(c.data.path());
    ASSERT_TRUE(SaveAddressBook(c.data.path(), {}));
    cRemoteConfigProcess process(c.config, &book, &c.mailer);
    process.SetLogFile(&c.log);
    const auto run = [&](const QString& commands) {
        cRemoteConfig remote;
        remote.Password = kPassword;
        remote.UTCDate = kHour.date();
        remote.UTCTime = kHour.time();
        return process.ProcessConfig(remote.DecodePacket(packet(validHash(), commands)));
    };
    EXPECT_TRUE(run(QStringLiteral("SAVECONTACT#Ship A&MOBILE&&581412345678&7")));
    EXPECT_EQ(c.read(QStringLiteral("address.dat")), QByteArray("Ship A:InmC:7:581412345678\r\n"));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("SAVECONTACT:Address book successfully updated")));

    // Refused by the card's rules (fourth digit not 4; e-mail without "@"; unknown type): nothing stored.
    for (const char* bad : {"SAVECONTACT#Ship B&mobile&&581312345678&7", "SAVECONTACT#Office&email&&office.example&7",
                            "SAVECONTACT#Pager&pager&&12345&7"}) {
        c.log.lines.clear();
        EXPECT_FALSE(run(QLatin1String(bad))) << bad;
        EXPECT_EQ(c.log.lines.mid(1, 2),
                  (QStringList{QStringLiteral("SAVECONTACT:Error occurred. Address validation failed"),
                               QStringLiteral("SAVECONTACT:Address book was not updated")}))
            << bad;
    }
    // An existing name is not overwritten.
    EXPECT_TRUE(run(QStringLiteral("SAVECONTACT#Ship A&mobile&&582412345678&8")));
    EXPECT_EQ(c.read(QStringLiteral("address.dat")), QByteArray("Ship A:InmC:7:581412345678\r\n"));
    EXPECT_TRUE(c.log.lines.contains(QStringLiteral("Address already exists and will not be overwritten")));
}
