// Reading a full SIM phonebook (250 entries) from the virtual card: the engine against gammu on
// the same card. One run each; gammu's time includes its own start and identification.
//
//   cmake --build build --target phonebook_bench && build/bin/phonebook_bench
#include "lumacore.h"

#include "virtualmodem/VirtualModem.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

constexpr int kEntries = 250;

struct Card {
    std::filesystem::path folder;
    std::string link;
    std::unique_ptr<virtualmodem::VirtualModem> modem;

    Card()
    {
        folder = std::filesystem::temp_directory_path() /
                 ("lumadial-phonebook-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        link = (folder / "card").string();
        virtualmodem::CardOptions options;
        options.pinRequired = false;
        options.simBusyTime = std::chrono::milliseconds(0);
        modem = std::make_unique<virtualmodem::VirtualModem>(options);
        if (!modem->start(link))
            std::abort();
        for (int index = 1; index <= kEntries; ++index)
            modem->setPhonebookEntry(
                "SM", index,
                {"+54911" + std::to_string(40000000 + index), "Contact " + std::to_string(index)});
    }
    ~Card()
    {
        modem.reset();
        std::filesystem::remove_all(folder);
    }
};

Card &card()
{
    static Card instance;
    return instance;
}

// Runs gammu with the arguments; its output goes to gammu.out.
void runGammu(benchmark::State &state, const std::string &arguments)
{
    Card &shared = card();
    const auto config = shared.folder / "gammurc";
    std::ofstream(config) << "[gammu]\ndevice = " << shared.link << "\nconnection = at\n";
    const std::string command = "gammu -c " + config.string() + " " + arguments + " > " +
                                (shared.folder / "gammu.out").string() + " 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("gammu failed (is it installed?)");
            return;
        }
    }
    std::ifstream output(shared.folder / "gammu.out");
    std::stringstream text;
    text << output.rdbuf();
    int entries = 0;
    for (size_t at = text.str().find("Memory SM, Location"); at != std::string::npos;
         at = text.str().find("Memory SM, Location", at + 1))
        ++entries;
    state.counters["entries"] = entries;
}

void gammuGetAllMemory(benchmark::State &state) { runGammu(state, "getallmemory SM"); }

// gammu's own cost of starting and greeting the card, for comparison: one entry only.
void gammuGetOneEntry(benchmark::State &state) { runGammu(state, "getmemory SM 1"); }

void lumacoreLoadContacts(benchmark::State &state)
{
    Card &shared = card();
    ::setenv("LUMACORE_PORT", shared.link.c_str(), 1);
    ::setenv("LUMACORE_DB", (shared.folder / "db.dat").c_str(), 1);
    if (_MEC_Startup(0, 400, 0) != 0) {
        state.SkipWithError("the engine did not find the card");
        return;
    }
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
