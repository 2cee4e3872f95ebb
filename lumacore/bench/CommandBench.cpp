// One short command (+CSQ) through the engine against a bare write and read of the same command on
// the same kind of pseudo-terminal, against the virtual card: what the engine's channel adds to a
// command's round trip. On a busy machine pairedCsq is the one to read: its counters compare the
// two exchange by exchange.
//
//   cmake --build build --target command_bench && build/bin/command_bench
#include "BenchCard.h"

#include "SerialPort.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace {

bench::BenchCard &card()
{
    static bench::BenchCard instance("command", [](virtualmodem::VirtualModem &) { return true; });
    return instance;
}

// A second card for the paired run: the bare loop and the engine each have a port of their own.
bench::BenchCard &bareCard()
{
    static bench::BenchCard instance("command-bare",
                                     [](virtualmodem::VirtualModem &) { return true; });
    return instance;
}

// Writes the command and reads until its final OK, the port blocking: the least a program can do.
bool bareExchange(int fd, std::string_view command)
{
    if (::write(fd, command.data(), command.size()) != static_cast<ssize_t>(command.size()))
        return false;
    std::string answer;
    char buffer[256];
    while (answer.find("OK\r\n") == std::string::npos) {
        ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        answer.append(buffer, static_cast<size_t>(count));
    }
    return true;
}

// The card's port opened for blocking reads, echo off; -1 (the benchmark marked) on failure.
int openBare(benchmark::State &state, const bench::BenchCard &target, lumacore::UniqueFd &fd)
{
    lumacore::PortOpenResult port = lumacore::openControlPort(target.link);
    if (port.status != 0) {
        state.SkipWithError(port.message.c_str());
        return -1;
    }
    fd = std::move(port.fd);
    // Blocking reads that wait for at least one byte.
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    termios settings{};
    ::tcgetattr(fd.get(), &settings);
    settings.c_cc[VMIN] = 1;
    ::tcsetattr(fd.get(), TCSANOW, &settings);
    if (!bareExchange(fd.get(), "ATE0\r")) {
        state.SkipWithError("the card did not answer");
        return -1;
    }
    return fd.get();
}

void bareCsq(benchmark::State &state)
{
    lumacore::UniqueFd port;
    const int fd = openBare(state, card(), port);
    if (fd < 0)
        return;
    for (auto _ : state) {
        if (!bareExchange(fd, "AT+CSQ\r")) {
            state.SkipWithError("the card did not answer");
            break;
        }
    }
}

void engineCsq(benchmark::State &state)
{
    if (!bench::startEngine(state, card()))
        return;
    for (auto _ : state) {
        uint8_t csq = 0;
        if (_MEC_GetCsq(&csq) != 0) {
            state.SkipWithError("+CSQ failed");
            break;
        }
    }
    (void)_MEC_Shutdown();  // the measurement is taken; a failed stop changes nothing in it
}

// The value below which the given share of the values lie (0.5: the median).
double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[static_cast<size_t>(share * (values.size() - 1))];
}

// The two in turn, one exchange each per iteration, so both meet the same load of the machine at
// the same moment: the counters give each one's median time and the median of their ratios, and
// each one's tenth percentile.
void pairedCsq(benchmark::State &state)
{
    lumacore::UniqueFd port;
    const int fd = openBare(state, bareCard(), port);
    if (fd < 0 || !bench::startEngine(state, card()))
        return;
    std::vector<double> bare, engine, ratio;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool bareAnswered = bareExchange(fd, "AT+CSQ\r");
        const auto between = std::chrono::steady_clock::now();
        uint8_t csq = 0;
        const bool engineAnswered = _MEC_GetCsq(&csq) == 0;
        const auto end = std::chrono::steady_clock::now();
        if (!bareAnswered || !engineAnswered) {
            state.SkipWithError("+CSQ failed");
            break;
        }
        bare.push_back(std::chrono::duration<double, std::micro>(between - start).count());
        engine.push_back(std::chrono::duration<double, std::micro>(end - between).count());
        ratio.push_back(engine.back() / bare.back());
    }
    (void)_MEC_Shutdown();  // the measurement is taken; a failed stop changes nothing in it
    state.counters["bare_us"] = percentile(bare, 0.5);
    state.counters["engine_us"] = percentile(engine, 0.5);
    state.counters["ratio"] = percentile(ratio, 0.5);
    // The fastest exchanges are the ones the load of a shared machine touched least.
    state.counters["bare_p10_us"] = percentile(bare, 0.1);
    state.counters["engine_p10_us"] = percentile(engine, 0.1);
}

}  // namespace

BENCHMARK(bareCsq)->UseRealTime();
BENCHMARK(engineCsq)->UseRealTime();
BENCHMARK(pairedCsq)->UseRealTime();
BENCHMARK_MAIN();
