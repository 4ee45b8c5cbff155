// Any byte stream, cut into chunks at any points, through reply collection, completion, line-end learning,
// routing and the upload step of the command engine. The engine must never crash, never leave its four
// states, and always hand the queue on (one command in flight at a time).
#include "link/command_engine.h"
#include "link/in_memory_link.h"
#include "link/shell_protocol.h"

#include <QCoreApplication>

#include <cstdlib>

using namespace tessaro;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv); // the engine's upload timer needs one
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromLatin1(bytes);
    const std::optional<QString> learned = LearnLineEnd(text);
    const ReplyEndTest end = TestReplyEnd(text, learned.value_or(QString()));
    if (end.bareShell && end.complete)
        std::abort(); // the bare shell prompt never completes a reply
    (void)EchoMatches(text, u"st -w", learned.value_or(QString()));
    if (UploadLastRound(text.size()) * 100 + 100 < text.size())
        std::abort();

    SessionFlags session;
    ManualClock clock;
    NullMainForm form;
    InMemoryLink link;
    link.open();
    CommandEngine engine(session, clock, form);
    engine.setLinkProvider([&link]() -> ILink* { return &link; });
    engine.watchLink(&link);
    QObject::connect(&engine, &CommandEngine::silentTimeOut, [&] { engine.setEngineState(CommandEngine::Idle); });
    engine.setUploadTextProvider([](const QString&) -> std::optional<QByteArray> { return QByteArray(250, 'u'); });
    session.SetMesConnected(true);
    qsizetype touched = 0;
    const ReplyHandler count = [&touched](const QString& reply) { touched += reply.size(); };
    engine.router().addRow(
        {RouteKey::TerminalStatus, MatchKind::Echo, QStringLiteral("st -w"), RowOption::CutPrompt, {}, count});
    engine.router().addRow(
        {RouteKey::DnidList, MatchKind::Echo, QStringLiteral("st -d"), RowOption::KeepReceivingIfEchoOnly, {}, count});
    engine.router().addRow({RouteKey::ReportPrograms,
                            MatchKind::Echo,
                            QStringLiteral("pg -d"),
                            RowOption::KeepReceivingIfEchoOnly,
                            {},
                            count});
    engine.router().addRow({RouteKey::TransceiverRestart,
                            MatchKind::Contains,
                            QStringLiteral("Starting application program."),
                            RowOption::None,
                            {},
                            count});
    QObject::connect(&engine, &CommandEngine::infoErrorReply,
                     [&touched](const QString& reply) { touched += reply.size(); });

    for (const char* c : {"st -l\r", "st -l", "st -d", "tr msg.txt -b 250", "pg -d", "st -w"})
        engine.QueueCommand(QLatin1String(c), true);

    // Each input byte below 8 is a control: a pause of that many ticks; the rest arrives as chunks.
    QByteArray chunk;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 8 && !chunk.isEmpty()) {
            link.feed(chunk);
            chunk.clear();
            for (unsigned t = 0; t <= b; ++t) {
                clock.advanceMs(60 + 500 * (b == 7));
                engine.onTimer1();
            }
        } else {
            chunk += char(b);
        }
    }
    if (!chunk.isEmpty())
        link.feed(chunk);
    // Let every wait end: whatever arrived, the queue must drain within its time-outs.
    for (int t = 0; t < 4000 && !(engine.queue().isEmpty() && engine.EngineState() == CommandEngine::Idle); ++t) {
        clock.advanceMs(60);
        engine.onTimer1();
        if (engine.EngineState() < 0 || engine.EngineState() > 3)
            std::abort();
    }
    if (!engine.queue().isEmpty())
        std::abort();
    (void)touched;
    return 0;
}
