// Reading a full SIM phonebook (250 entries) from the virtual card: the engine against gammu on
// the same card. One run each; gammu's time includes its own start and identification.
//
//   cmake --build build --target phonebook_bench && build/bin/phonebook_bench
#include "BenchCard.h"

#include <string>

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

}  // namespace

// gammu first: the engine holds the port while it runs.
BENCHMARK(gammuGetOneEntry)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(gammuGetAllMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(lumacoreLoadContacts)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
