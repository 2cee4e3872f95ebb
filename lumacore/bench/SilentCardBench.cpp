// How long the program's thread is blocked by engine calls when the card goes silent while the
// SIM is ready: the calls the main window's timers make (signal, network, operator, SIM store),
// timed one by one for a few timer rounds, then the time until the card is usable again once it
// talks. With the engine's own time-outs (LUMACORE_TIMEOUT_MS overrides them).
//
//   lumacore_silent_card_bench [rounds]
#include "Engine.h"
#include "Exports.h"

#include "virtualmodem/VirtualModem.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono;

namespace {

double secondsOf(steady_clock::duration duration)
{
    return duration_cast<microseconds>(duration).count() / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    auto folder =
        std::filesystem::temp_directory_path() / ("lumacore-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string link = (folder / "card").string();
    ::setenv("LUMACORE_DB", (folder / "db.dat").c_str(), 1);
    ::setenv("LUMACORE_PORT", link.c_str(), 1);

    virtualmodem::CardOptions options;
    options.simBusyTime = milliseconds(100);
    virtualmodem::VirtualModem card(options);
    if (!card.start(link)) {
        std::fprintf(stderr, "virtual card: %s\n", card.lastError().c_str());
        return 1;
    }
    if (_MEC_Startup(0, 400, 0) != 0 || _MEC_SetPin("1234", nullptr) != 0 ||
        _MEC_NetcardStart() != 0) {
        std::fprintf(stderr, "the card did not start\n");
        return 1;
    }
    std::this_thread::sleep_for(milliseconds(500));

    std::vector<std::pair<const char *, std::function<uint16_t()>>> calls = {
        {"_MEC_GetCsq",
         [] {
             uint8_t csq = 0;
             return _MEC_GetCsq(&csq);
         }},
        {"_MEC_GetNetworkPara",
         [] {
             _MEC_NETWORK_PARA para{};
             return _MEC_GetNetworkPara(&para);
         }},
        {"_MEC_GetZdonPara",
         [] {
             _MEC_ZDON_PARA para{};
             return _MEC_GetZdonPara(&para);
         }},
        {"_MEC_TestSimState", [] { return _MEC_TestSimState(); }},
    };

    card.setSilent(true);
    double longest = 0;
    double longestRound = 0;
    for (int round = 0; round < rounds; ++round) {
        double roundTime = 0;
        for (auto &[name, call] : calls) {
            auto started = steady_clock::now();
            uint16_t status = call();
            double took = secondsOf(steady_clock::now() - started);
            std::printf("round %d  %-22s status %5u  %8.3f s\n", round + 1, name, status, took);
            longest = std::max(longest, took);
            roundTime += took;
        }
        longestRound = std::max(longestRound, roundTime);
        std::this_thread::sleep_for(milliseconds(1000));  // the timers' own pause
    }
    card.setSilent(false);
    auto talking = steady_clock::now();
    double recovered = -1;
    while (steady_clock::now() - talking < seconds(30)) {
        uint8_t csq = 0;
        if (_MEC_GetCsq(&csq) == 0) {
            recovered = secondsOf(steady_clock::now() - talking);
            break;
        }
        std::this_thread::sleep_for(milliseconds(100));
    }
    std::printf("longest single call blocked %.3f s; longest timer round %.3f s\n", longest,
                longestRound);
    std::printf("usable again %.3f s after the card talks\n", recovered);
    (void)_MEC_Shutdown();  // the numbers are printed; a failed stop changes none of them
    card.stop();
    std::filesystem::remove_all(folder);
    return 0;
}
