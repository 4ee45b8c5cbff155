// Default messages: the tagged file to the byte, the older sectioned layout, the store of nine, Upgrade.
#include "messaging/default_message.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessaro;

namespace {

DefaultMessageFields Sample() {
    DefaultMessageFields m;
    m.Name = QStringLiteral("Noon report");
    m.To = QStringLiteral("office@example.com");
    m.Cc = QStringLiteral("master@example.com");
    m.Bcc = QString();
    m.Subject = QStringLiteral("Noon position");
    m.BodyText = QString::fromLatin1("Pos: \r\nETA <date> & time\r\nK\xf8"
                                     "benhavn");
    return m;
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(DefaultMessageFile, TaggedLayoutToTheByte) {
    DefaultMessageFields m = Sample();
    m.BodyText = QStringLiteral("Line 1\r\nLine 2");
    EXPECT_EQ(FormatDefaultMessage(m), QByteArray("<Message><Version>1</Version><Header>\r\n"
                                                  "<Name>Noon report</Name>\r\n"
                                                  "<To>office@example.com</To>\r\n"
                                                  "<Cc>master@example.com</Cc>\r\n"
                                                  "<Bcc></Bcc>\r\n"
                                                  "<Subject>Noon position</Subject>\r\n"
                                                  "</Header><BodyText>Line 1\r\nLine 2</BodyText></Message>"));
}

TEST(DefaultMessageFile, RoundTripKeepsEveryByteOfTheBody) {
    DefaultMessageFields m = Sample();
    QString all;
    for (int c = 1; c < 256; ++c)
        all += QChar(char16_t(c));
    m.BodyText += all;
    const QByteArray bytes = FormatDefaultMessage(m);
    EXPECT_FALSE(bytes.contains("<date>")); // written as entities: the file stays well-formed
    const auto back = ParseDefaultMessage(bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, m);
}

TEST(DefaultMessageFile, OlderAndLenientFilesAreRead) {
    struct Case {
        const char* name;
        QByteArray bytes;
        QString subject;
        QString body;
    };
    const Case cases[] = {
        {"sectioned layout",
         "[Name]\r\nOld one\r\n[To]\r\na@b.c\r\n[Cc]\r\n\r\n[Bcc]\r\n\r\n[Subject]\r\nHello\r\n"
         "[BodyText]\r\nFirst line\r\n[not a key]\r\nlast\r\n",
         QStringLiteral("Hello"), QStringLiteral("First line\r\n[not a key]\r\nlast")},
        {"sectioned, body before subject", "[BodyText]\nA\nB\n[Subject]\nS\n", QStringLiteral("S"),
         QStringLiteral("A\r\nB")},
        // Written by hand or by an older program: bare "&" and "<", no header element, LF line ends.
        {"bare ampersand", "<Message><Version>1</Version><BodyText>Fish & chips < 5\nok</BodyText></Message>",
         QString(), QStringLiteral("Fish & chips < 5\nok")},
        {"numeric references", "<Message><Header><Subject>&#65;&#x42;&#9999;</Subject></Header></Message>",
         QStringLiteral("AB&#9999;"), QString()},
    };
    for (const Case& c : cases) {
        const auto m = ParseDefaultMessage(c.bytes);
        ASSERT_TRUE(m.has_value()) << c.name;
        EXPECT_EQ(m->Subject, c.subject) << c.name;
        EXPECT_EQ(m->BodyText, c.body) << c.name;
    }
    EXPECT_EQ(ParseDefaultMessage("[Name]\r\nOld one\r\n")->Name, QStringLiteral("Old one"));
    EXPECT_EQ(ParseDefaultMessage(FormatOlderDefaultMessage(Sample()))->BodyText, Sample().BodyText);
    for (const char* junk : {"", "[", "[Other]\r\nx\r\n", "<Message><Name>x</Name>", "plain text"})
        EXPECT_FALSE(ParseDefaultMessage(junk).has_value()) << junk;
}

TEST(DefaultMessageStore, CreateLoadDeleteWithinNineNumbers) {
    QTemporaryDir dir;
    cDefaultMessage store;
    store.Init(dir.path() + QStringLiteral("/DefaultMessages"));
    EXPECT_EQ(store.FreeNumber(), 0);
    EXPECT_FALSE(store.LoadMessage(0));
    ASSERT_TRUE(store.CreateMessage(0, Sample()));
    ASSERT_TRUE(store.CreateMessage(3, Sample()));
    EXPECT_EQ(store.numbers(), (QList<int>{0, 3}));
    EXPECT_EQ(store.FreeNumber(), 1);
    EXPECT_FALSE(store.CreateMessage(9, Sample()));
    EXPECT_FALSE(store.CreateMessage(-1, Sample()));
    EXPECT_FALSE(QFile::exists(store.folder() + QStringLiteral("DefaultMsg9.txt")));
    // The body's bytes are Latin-1 on disk.
    EXPECT_TRUE(ReadFile(store.folder() + QStringLiteral("DefaultMsg3.txt"))
                    .contains("K\xf8"
                              "benhavn"));

    cDefaultMessage reader;
    reader.Init(store.folder());
    ASSERT_TRUE(reader.LoadMessage(3));
    EXPECT_EQ(reader.GetName(), QStringLiteral("Noon report"));
    EXPECT_EQ(reader.GetTo(), QStringLiteral("office@example.com"));
    EXPECT_EQ(reader.GetCc(), QStringLiteral("master@example.com"));
    EXPECT_EQ(reader.GetBcc(), QString());
    EXPECT_EQ(reader.GetSubject(), QStringLiteral("Noon position"));
    EXPECT_EQ(reader.GetBodyText(), Sample().BodyText);
    EXPECT_TRUE(reader.Delete(3));
    EXPECT_FALSE(reader.ExistsFile(3));
    EXPECT_FALSE(reader.Delete(3));

    WriteFile(store.folder() + QStringLiteral("DefaultMsg5.txt"), "[Subject]\r\nOlder\r\n");
    ASSERT_TRUE(reader.LoadMessage(5));
    EXPECT_EQ(reader.GetSubject(), QStringLiteral("Older"));
    WriteFile(store.folder() + QStringLiteral("DefaultMsg6.txt"), "garbage");
    EXPECT_FALSE(reader.LoadMessage(6));
    EXPECT_FALSE(reader.lastError().isEmpty());
    EXPECT_EQ(reader.GetSubject(), QString()); // nothing of the previous message stays
}

TEST(DefaultMessageStore, UpgradeMovesOnlyWhatIsNotThereYet) {
    QTemporaryDir dir;
    const QString old = dir.path() + QLatin1Char('/');
    WriteFile(old + QStringLiteral("DefaultMsg1.txt"), "[Subject]\r\nold one\r\n");
    WriteFile(old + QStringLiteral("DefaultMsg2.txt"), "[Subject]\r\nold two\r\n");
    WriteFile(old + QStringLiteral("DefaultMsg9.txt"), "[Subject]\r\nnot ours\r\n");
    cDefaultMessage store;
    store.Init(old + QStringLiteral("DefaultMessages"));
    EXPECT_FALSE(QDir(store.folder()).exists());
    DefaultMessageFields kept = Sample();
    kept.Subject = QStringLiteral("new two");
    // Number 2 already has a file in the new folder: it wins and the old file stays where it was.
    QDir().mkpath(store.folder());
    WriteFile(store.folder() + QStringLiteral("DefaultMsg2.txt"), FormatDefaultMessage(kept));

    EXPECT_EQ(store.Upgrade(old), 1);
    EXPECT_FALSE(QFile::exists(old + QStringLiteral("DefaultMsg1.txt")));
    EXPECT_TRUE(QFile::exists(old + QStringLiteral("DefaultMsg2.txt")));
    EXPECT_TRUE(QFile::exists(old + QStringLiteral("DefaultMsg9.txt")));
    ASSERT_TRUE(store.LoadMessage(1));
    EXPECT_EQ(store.GetSubject(), QStringLiteral("old one"));
    ASSERT_TRUE(store.LoadMessage(2));
    EXPECT_EQ(store.GetSubject(), QStringLiteral("new two"));
    EXPECT_EQ(store.Upgrade(old), 0);
    EXPECT_EQ(store.Upgrade(store.folder()), 0); // the folder itself
}
