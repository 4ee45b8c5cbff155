// How fast the configuration file and reply text helpers run on large inputs.
#include "config/ini_store.h"
#include "config/text_util.h"

#include <benchmark/benchmark.h>

using namespace tessaro;

static void BM_IniParse(benchmark::State& state) {
    QByteArray file;
    for (int i = 0; i < state.range(0); ++i)
        file += "[Key " + QByteArray::number(i) + "]\r\nvalue " + QByteArray::number(i) + "\r\n\r\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(CIniStore::parse(file));
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_IniParse)->Arg(100)->Arg(10000);

static void BM_FlattenText(benchmark::State& state) {
    QString reply;
    for (int i = 0; i < state.range(0); ++i)
        reply += QStringLiteral("INFO 81: Reference number 12345 File OUT.7 LES 112\r\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(FlattenText(NormaliseLineEnds(reply)));
    state.SetBytesProcessed(state.iterations() * reply.size() * 2);
}
BENCHMARK(BM_FlattenText)->Arg(1000);

BENCHMARK_MAIN();
