#include "shell_test_app.h"

#include "app/runtime.h"
#include "config/clock.h"
#include "config/configuration.h"
#include "link/recording_main_form.h"
#include "link/session_flags.h"
#include "link/terminal.h"
#include "mes_simulator.h"
#include "mes_unit.h"
#include "shell/link_test_window.h"
#include "shell/message_editor.h"
#include "shell/message_window.h"
#include "shell/pc_printer.h"
#include "shell/terminal_window.h"
#include "shell/text_window.h"
#include "status/session.h"

#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tessaro;

namespace {

struct PrinterRig {
    PrinterRig() {
        test::App();
        config.LoadIni();
        pc.hasPrinter = [] { return true; };
        pc.choosePrinter = [this](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
            return true;
        };
        pc.tell = [this](const QString& text, const QString& title) { told << title + QStringLiteral(": ") + text; };
    }
    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    CConfiguration config{dir.path() + QLatin1Char('/'), false, dir.filePath(QStringLiteral("settings.ini"))};
    PcPrinter pc{config, nullptr};
    QStringList told;
};

// Words of the PDF with their boxes in points, in reading order: (text, xMin, yMin, xMax).
struct Word {
    QString text;
    double xMin, yMin, xMax;
};
QList<Word> pdfWords(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(10000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
    QList<Word> out;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out << Word{m.captured(4), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble()};
    }
    return out;
}

TEST(PcPrinting, TextGoesOutInATenPointFixedFontBehindTheMargins) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed; scripts/setup installs it";
    PrinterRig rig;
    rig.config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("PCPrnTopMargin"), QStringLiteral("2"));
    rig.config.SaveSettingValue(QStringLiteral("Settings"), QStringLiteral("PCPrnLeftMargin"), QStringLiteral("5"));
    rig.pc.print(QStringLiteral("MMMM first\r\nWWWW second"));
    EXPECT_TRUE(rig.told.isEmpty()) << rig.told.join(u'\n').toStdString();
    const QList<Word> words = pdfWords(rig.pdf);
    ASSERT_EQ(words.size(), 4) << "the text in the PDF";
    EXPECT_EQ(words[0].text, QStringLiteral("MMMM"));
    EXPECT_EQ(words[3].text, QStringLiteral("second"));
    // A 10-point fixed font advances 6 points a character: the left margin is 5 blanks, "MMMM" and "WWWW"
    // are equally wide, and two empty lines (12 points each) stand before the first line.
    EXPECT_NEAR(words[0].xMin, 30, 1.5);
    EXPECT_NEAR(words[2].xMin, 30, 1.5);
    EXPECT_NEAR(words[0].xMax - words[0].xMin, 24, 1.5);
    EXPECT_NEAR(words[2].xMax - words[2].xMin, 24, 1.5);
    const double lineStep = words[2].yMin - words[0].yMin;
    EXPECT_NEAR(lineStep, 11.7, 1.5);
    EXPECT_NEAR(words[0].yMin, 2 * lineStep, 4);
}

TEST(PcPrinting, NoPrinterOrAFailedPrinterIsToldAndACancelPrintsNothing) {
    PrinterRig rig;
    rig.pc.hasPrinter = [] { return false; };
    rig.pc.print(QStringLiteral("x"));
    rig.pc.hasPrinter = [] { return true; };
    rig.pc.choosePrinter = [](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/nonexistent-folder/sub/out.pdf"));
        return true;
    };
    rig.pc.print(QStringLiteral("x"));
    EXPECT_EQ(
        rig.told,
        (QStringList{QStringLiteral("Info: No PC printers available. Please add printer in Windows printer "
                                    "settings."),
                     QStringLiteral("Error: Error occurred when printing. The text might not have been printed")}));
    rig.told.clear();
    rig.pc.choosePrinter = [](QPrinter&) { return false; };
    rig.pc.print(QStringLiteral("x"));
    EXPECT_TRUE(rig.told.isEmpty());
    EXPECT_FALSE(QFile::exists(rig.pdf));
}

TEST(PrintButtons, EachWindowHandsItsTextToThePrintRoutine) {
    PrinterRig rig;
    QStringList texts;
    auto click = [](QWidget& w) {
        auto* button = w.findChild<QPushButton*>(QStringLiteral("print"));
        ASSERT_NE(button, nullptr);
        button->click();
    };
    TextWindow status(rig.config, QStringLiteral("TerminalStatusForm"));
    QObject::connect(&status, &TextWindow::printRequested, [&](const QString& t) { texts << t; });
    status.setContent(QStringLiteral("Status line"), QStringLiteral("Transceiver Status"));
    click(status);
    LinkTestWindow link;
    QObject::connect(&link, &LinkTestWindow::printRequested, [&](const QString& t) { texts << t; });
    link.setResults(QStringLiteral("Link test passed"));
    click(link);
    MessageWindow message(rig.config, QStringLiteral("Inbox"), {{QStringLiteral("From"), QStringLiteral("LES 102")}},
                          QStringLiteral("Body text"));
    QObject::connect(&message, &MessageWindow::printRequested, [&](const QString& t) { texts << t; });
    click(message);
    MessageEditor editor(rig.config);
    QObject::connect(&editor, &MessageEditor::printRequested, [&](const QString& t) { texts << t; });
    editor.setBody(QStringLiteral("Draft"));
    click(editor);
    // The main window's labels end in a colon already ("Subject:"): printed with one.
    MessageWindow opened(rig.config, QStringLiteral("Inbox"), {{QStringLiteral("Subject:"), QStringLiteral("Ice")}},
                         QStringLiteral("Body"));
    QObject::connect(&opened, &MessageWindow::printRequested, [&](const QString& t) { texts << t; });
    click(opened);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Status line"), QStringLiteral("Link test passed"),
                                  QStringLiteral("From: LES 102\r\n\r\nBody text"), QStringLiteral("Draft"),
                                  QStringLiteral("Subject: Ice\r\n\r\nBody")}));
}

// Ctrl+P prints from the message window and the editor as it does from the main window.
TEST(PrintButtons, CtrlPPrintsFromTheMessageWindowAndTheEditor) {
    PrinterRig rig;
    QStringList texts;
    auto press = [](QWidget& w) {
        for (QShortcut* s : w.findChildren<QShortcut*>())
            if (s->key() == QKeySequence(QKeySequence::Print))
                Q_EMIT s->activated();
    };
    MessageWindow message(rig.config, QStringLiteral("Inbox"), {{QStringLiteral("From"), QStringLiteral("LES 102")}},
                          QStringLiteral("Body text"));
    QObject::connect(&message, &MessageWindow::printRequested, [&](const QString& t) { texts << t; });
    press(message);
    MessageEditor editor(rig.config);
    QObject::connect(&editor, &MessageEditor::printRequested, [&](const QString& t) { texts << t; });
    editor.setBody(QStringLiteral("Draft"));
    press(editor);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("From: LES 102\r\n\r\nBody text"), QStringLiteral("Draft")}));
}

// The terminal window typed into against the simulator.
class TerminalWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_TRUE(m_sim.listen(QHostAddress(QHostAddress::LocalHost), 0));
        RuntimeOptions options;
        options.dataPath = m_dir.path() + QLatin1Char('/');
        options.settingsFile = m_dir.filePath(QStringLiteral("settings.ini"));
        options.acceptDisclaimer = true;
        options.formsPort = 0;
        options.terminal.connect = QStringLiteral("127.0.0.1:%1").arg(m_sim.serverPort());
        m_runtime = std::make_unique<TessaroRuntime>(options, m_clock);
        m_runtime->attach(m_form);
        CTerminal& terminal = m_runtime->terminal();
        terminal.timer(TerminalTimer::Timer1).setInterval(10);
        terminal.timer(TerminalTimer::Winsock).setInterval(50);
        terminal.timer(TerminalTimer::Timer2).setInterval(3600 * 1000); // the test ticks the poll itself
        ASSERT_TRUE(m_runtime->start().ok);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_runtime->session().MesConnected() && idle(); }, 10000));
    }
    void TearDown() override {
        m_window.reset();
        if (m_runtime)
            m_runtime->terminal().finishShutDown();
        m_runtime.reset();
    }
    bool idle() {
        CommandEngine& e = m_runtime->terminal().engine();
        return e.queue().isEmpty() && e.EngineState() == CommandEngine::Idle;
    }
    QString shown() { return m_window->textBox().toPlainText(); }
    void type(const QString& text) { QTest::keyClicks(&m_window->textBox(), text); }
    void key(Qt::Key k) { QTest::keyClick(&m_window->textBox(), k); }
    bool waitShown(const QString& end) {
        return QTest::qWaitFor([&] { return shown().endsWith(end); }, 8000);
    }

    QTemporaryDir m_dir;
    SystemClock m_clock;
    sim::MesSimulator m_sim;
    RecordingMainForm m_form;
    std::unique_ptr<TessaroRuntime> m_runtime;
    std::unique_ptr<TerminalModeForm> m_window;
};

TEST_F(TerminalWindowTest, CommandsPasswordsBackspaceAndEscAgainstTheSimulator) {
    CTerminal& terminal = m_runtime->terminal();
    CommandEngine& engine = terminal.engine();
    m_window = std::make_unique<TerminalModeForm>(engine);
    m_window->show();
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Terminal Mode"));
    EXPECT_TRUE(shown().startsWith(QStringLiteral("The Terminal Mode window disables all usual communication")));
    EXPECT_TRUE(engine.terminalWindowOpen());

    // A command and its reply, shown after the typed line.
    type(QStringLiteral("st -i"));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitShown(QStringLiteral("can0:/$ "))) << shown().toStdString();
    EXPECT_TRUE(shown().contains(QStringLiteral("st -i\n"))) << shown().toStdString();
    EXPECT_TRUE(shown().contains(QStringLiteral("492123456")));

    // Backspace at the prompt leaves it whole; after a typed character it takes only that.
    key(Qt::Key_Backspace);
    EXPECT_TRUE(shown().endsWith(QStringLiteral("can0:/$ ")));
    type(QStringLiteral("x"));
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    EXPECT_TRUE(shown().endsWith(QStringLiteral("can0:/$ ")));

    // A password prompt: stars on the screen, the real characters to the transceiver.
    type(QStringLiteral("se -u 492999999"));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitShown(QStringLiteral("Enter password: "))) << shown().toStdString();
    type(QStringLiteral("00x"));
    key(Qt::Key_Backspace);
    type(QStringLiteral("00"));
    EXPECT_TRUE(shown().endsWith(QStringLiteral("Enter password: ****")));
    key(Qt::Key_Return);
    ASSERT_TRUE(waitShown(QStringLiteral("can0:/$ "))) << shown().toStdString();
    EXPECT_TRUE(shown().contains(QStringLiteral("Mobile number changed to 492999999"))) << shown().toStdString();
    EXPECT_EQ(m_sim.unit()->mobileNumber, QStringLiteral("492999999"));
    EXPECT_FALSE(shown().contains(QStringLiteral("0000")));

    // While open, the poll sends only the keep-alive.
    engine.queue().clear();
    terminal.tick(TerminalTimer::Timer2);
    terminal.tick(TerminalTimer::Timer60S);
    EXPECT_EQ(engine.queue().text(), QStringLiteral("st -l\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return idle(); }, 8000));

    // Esc closes the window, and the poll cycle runs again.
    key(Qt::Key_Escape);
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_FALSE(engine.terminalWindowOpen());
    EXPECT_TRUE(m_window->session().text().isEmpty());
    terminal.tick(TerminalTimer::Timer2);
    EXPECT_TRUE(engine.queue().text().contains(QStringLiteral("st -w\r\n"))) << engine.queue().text().toStdString();
}

TEST(TerminalModeText, KeepsItsLastTenThousandCharactersAndTheTypingAfterThePrompt) {
    SessionFlags flags;
    ManualClock clock{QDateTime(QDate(2013, 1, 3), QTime(12, 0), Qt::UTC)};
    RecordingMainForm form;
    CommandEngine engine(flags, clock, form);
    TerminalModeSession session(engine);
    session.open();
    Q_EMIT engine.terminalReply(QString(12000, u'a') + QStringLiteral("\r\ncan0:/$ "));
    EXPECT_EQ(session.text().size(), TerminalModeSession::kMaxText);
    EXPECT_TRUE(session.text().endsWith(QStringLiteral("a\r\ncan0:/$ ")));
    session.key(Qt::Key_S, QStringLiteral("s"));
    session.key(Qt::Key_T, QStringLiteral("t"));
    EXPECT_EQ(session.typedText(), QStringLiteral("st"));
    // The keep-alive's reply arriving while typing: the unfinished line follows its prompt, whole.
    Q_EMIT engine.terminalReply(QStringLiteral("INFO 81: x\r\ncan0:/$ "));
    EXPECT_TRUE(session.text().endsWith(QStringLiteral("INFO 81: x\r\ncan0:/$ st")));
    EXPECT_EQ(session.typedText(), QStringLiteral("st"));
    session.key(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(engine.queue().text(), QStringLiteral("st\r\n"));
    struct Case {
        const char* line;
        PromptType type;
    };
    const Case cases[] = {{"can0:/$ ", PromptType::Can0},
                          {"kv7302:/$ ", PromptType::BareShell},
                          {"Enter new password: ", PromptType::NewPassword},
                          {"Confirm new password: ", PromptType::ConfirmPassword},
                          {"Enter password: ", PromptType::Password},
                          {"Enter filenumber > ", PromptType::FileNumber},
                          {"LES number: ", PromptType::Continuation},
                          {"Stored", PromptType::None}};
    for (const Case& c : cases)
        EXPECT_EQ(InitPrompt(QString::fromLatin1(c.line)), c.type) << c.line;
}

} // namespace
