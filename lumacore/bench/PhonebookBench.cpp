// Reading a full SIM phonebook (250 entries) from the virtual card: the engine against gammu on
// the same card. One run each; gammu's time includes its own start and identification. And
// writing 250 contacts to the PC store and deleting them again, each write on its own and all
// of them in one batch (what a long copy, move, delete or import does).
//
//   cmake --build build --target phonebook_bench && build/bin/phonebook_bench
#include "BenchCard.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kEntries = 250;

bench::BenchCard &card()
{
    static bench::BenchCard instance("phonebook", [](virtualmodem::VirtualModem &modem) {
        for (int index = 1; index <= kEntries; ++index)
            if (!modem.setPhonebookEntry("SM", index,
                                         {"+54911" + std::to_string(40000000 + index),
                                          "Contact " + std::to_string(index)}))
                return false;
        return true;
    });
    return instance;
}

void runGammu(benchmark::State &state, const std::string &arguments)
{
    state.counters["entries"] =
        bench::countOf(bench::runGammu(state, card(), arguments), "Memory SM, Location");
}

void gammuGetAllMemory(benchmark::State &state) { runGammu(state, "getallmemory SM"); }

// gammu's own cost of starting and greeting the card, for comparison: one entry only.
void gammuGetOneEntry(benchmark::State &state) { runGammu(state, "getmemory SM 1"); }

void lumacoreLoadContacts(benchmark::State &state)
{
    if (!bench::startEngine(state, card()))
        return;
    int entries = 0;
    for (auto _ : state) {
        entries = 0;
        if (_MEC_LoadContacts(0) != 0) {
            state.SkipWithError("loading failed");
            break;
        }
        _MEC_CONTACT_RECORD record{};
        for (uint16_t status = _MEC_GetFirstContact(&record); status == 0;
             status = _MEC_GetNextContact(&record)) {
            ++entries;
            record = _MEC_CONTACT_RECORD{};
        }
    }
    (void)_MEC_Shutdown();  // the measurement is taken; a failed stop changes nothing in it
    state.counters["entries"] = entries;
}

// 250 PC contacts written, then deleted; range(0) 1: each run in one batch.
void lumacorePcStoreWrites(benchmark::State &state)
{
    const bool batched = state.range(0) != 0;
    ::setenv("LUMACORE_DB", (card().folder / "pc-writes.dat").c_str(), 1);
    std::vector<uint32_t> written;
    for (auto _ : state) {
        written.clear();
        if (batched && _MEC_BeginStoreBatch() != 0)
            state.SkipWithError("no batch");
        for (int i = 0; i < kEntries; ++i) {
            _MEC_CONTACT_RECORD record{};
            record.storage = 2;
            std::snprintf(record.name, sizeof record.name, "Contact %d", i);
            std::snprintf(record.numbers[0].number, sizeof record.numbers[0].number, "+5491140%06d",
                          i);
            if (_MEC_NewContact(&record) != 0) {
                state.SkipWithError("write failed");
                break;
            }
            written.push_back(record.index);
        }
        if (batched && _MEC_EndStoreBatch() != 0)
            state.SkipWithError("commit failed");
        state.PauseTiming();
        if (_MEC_BeginStoreBatch() != 0)
            state.SkipWithError("no batch");
        for (uint32_t index : written)
            (void)_MEC_DeleteContact(index, 2);  // clearing up between runs, not measured
        if (_MEC_EndStoreBatch() != 0)
            state.SkipWithError("commit failed");
        state.ResumeTiming();
    }
    state.counters["contacts"] = kEntries;
}

}  // namespace

BENCHMARK(lumacorePcStoreWrites)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// gammu first: the engine holds the port while it runs.
BENCHMARK(gammuGetOneEntry)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(gammuGetAllMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(lumacoreLoadContacts)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
