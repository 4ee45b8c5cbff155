// How fast the message store reads and rewrites big indexes (the grids and the INFO updates must stay
// responsive with 100,000 lines) and how fast the reception parsers read long replies.
#include "config/configuration.h"
#include "messaging/inbox.h"
#include "messaging/message_store.h"
#include "messaging/outbox.h"
#include "messaging/reception_parsers.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tessaro;

namespace {
struct Store {
    QTemporaryDir dir;
    std::unique_ptr<CConfiguration> config;
    explicit Store(int lines) {
        const QString data = dir.path() + QStringLiteral("/");
        config = std::make_unique<CConfiguration>(data, false, data + QStringLiteral("settings.ini"));
        config->LoadIni();
        CheckStoreFolders(*config, nullptr);
        QByteArray out;
        QByteArray in;
        for (int i = 0; i < lines; ++i) {
            const QByteArray n = QByteArray::number(i);
            out += n + ".out;4711;102;Telex 7 Bit;13-01-03;09:05; 1234;REF" + n +
                   ";Delivered;0;0;0;0;03;01;09;05;4711;;;Subject " + n + "\r\n";
            in += "IN." + n + ":102:0:5:13-01-03 09:05:1234:" + n + ":+M:No:" + n + ".in\r\n";
        }
        QFile o(StoreFolderPath(*config, kOutboxKey) + QStringLiteral("OUT.IDX"));
        o.open(QIODevice::WriteOnly);
        o.write(out);
        QFile f(StoreFolderPath(*config, kInboxKey) + QStringLiteral("IN.IDX"));
        f.open(QIODevice::WriteOnly);
        f.write(in);
    }
};
} // namespace

// One delivery report: the last line of the index changes, the whole index is replaced atomically.
static void BM_OutboxUpdateLastLine(benchmark::State& state) {
    Store store(int(state.range(0)));
    cOutBox out(*store.config);
    const QString ref = QStringLiteral("REF") + QString::number(state.range(0) - 1);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        benchmark::DoNotOptimize(out.UpdateOutBox(
            QStringLiteral("102"), ref, {}, {}, flip ? QStringLiteral("Conf.Ok") : QStringLiteral("Delivered"), false));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OutboxUpdateLastLine)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_InboxReadIndex(benchmark::State& state) {
    Store store(int(state.range(0)));
    CInbox in(*store.config);
    for (auto _ : state)
        benchmark::DoNotOptimize(in.ReadIndex());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InboxReadIndex)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_OutboxReadIndex(benchmark::State& state) {
    Store store(int(state.range(0)));
    cOutBox out(*store.config);
    for (auto _ : state)
        benchmark::DoNotOptimize(out.ReadIndex());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OutboxReadIndex)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_ListingAndLogParse(benchmark::State& state) {
    QString listing = QStringLiteral("ls IN.*\r\n");
    QString log = QStringLiteral("st -r\r\n");
    for (int i = 0; i < state.range(0); ++i) {
        listing += QStringLiteral("IN       %1       1234  13-01-03  09:05\r\n").arg(i % 1000, -3);
        log += QStringLiteral("102  1 2 5 13-01-03  09:05  1234   987654 0 +M       IN.%1\r\n").arg(i % 1000);
    }
    listing += QStringLiteral("     180224 bytes free\r\ncan0:/$ ");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseMessageListing(listing));
        benchmark::DoNotOptimize(ParseReceptionLog(log));
    }
    state.SetBytesProcessed(state.iterations() * (listing.size() + log.size()));
}
BENCHMARK(BM_ListingAndLogParse)->Arg(1000);

BENCHMARK_MAIN();
