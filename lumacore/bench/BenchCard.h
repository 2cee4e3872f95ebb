// What the card benchmarks share: a virtual card of their own in a private folder, gammu run on
// it, and the engine started on it.
#pragma once

#include "lumacore.h"

#include "virtualmodem/VirtualModem.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace bench {

struct BenchCard {
    std::filesystem::path folder;
    std::string link;
    std::unique_ptr<virtualmodem::VirtualModem> modem;

    // A card with no PIN and no SIM start-up delay, filled by `fill`; aborts when either fails.
    BenchCard(const std::string &name,
              const std::function<bool(virtualmodem::VirtualModem &)> &fill)
    {
        folder = std::filesystem::temp_directory_path() /
                 ("lumadial-" + name + "-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        link = (folder / "card").string();
        virtualmodem::CardOptions options;
        options.pinRequired = false;
        options.simBusyTime = std::chrono::milliseconds(0);
        modem = std::make_unique<virtualmodem::VirtualModem>(options);
        if (!modem->start(link) || !fill(*modem))
            std::abort();
    }
    ~BenchCard()
    {
        modem.reset();
        std::filesystem::remove_all(folder);
    }
    BenchCard(const BenchCard &) = delete;
    BenchCard &operator=(const BenchCard &) = delete;
};

inline int countOf(const std::string &text, const std::string &what)
{
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// Runs gammu on the card with the arguments and gives back what it printed (empty when it
// failed, with the benchmark marked so).
inline std::string runGammu(benchmark::State &state, const BenchCard &card,
                            const std::string &arguments)
{
    const auto config = card.folder / "gammurc";
    std::ofstream(config) << "[gammu]\ndevice = " << card.link << "\nconnection = at\n";
    const auto outputPath = card.folder / "gammu.out";
    const std::string command =
        "gammu -c " + config.string() + " " + arguments + " > " + outputPath.string() + " 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("gammu failed (is it installed?)");
            return {};
        }
    }
    std::ifstream output(outputPath);
    std::stringstream text;
    text << output.rdbuf();
    return text.str();
}

// Starts the engine on the card, its store in the card's folder; false (the benchmark marked)
// when it does not find the card.
inline bool startEngine(benchmark::State &state, const BenchCard &card)
{
    ::setenv("LUMACORE_PORT", card.link.c_str(), 1);
    ::setenv("LUMACORE_DB", (card.folder / "db.dat").c_str(), 1);
    if (_MEC_Startup(0, 400, 0) == 0)
        return true;
    state.SkipWithError("the engine did not find the card");
    return false;
}

}  // namespace bench
