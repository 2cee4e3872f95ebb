// The engine end to end against the virtual data card on a pty in this process: what the
// engine told the program (callbacks and the sink), and a fixture that starts a fresh card.
#pragma once

#include "Engine.h"
#include "Exports.h"

#include "virtualmodem/VirtualModem.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace engine_test {

using namespace lumacore;
using namespace std::chrono_literals;

// What the engine told the program, through callbacks and the sink.
struct Recorder {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<uint8_t> meStates;
    std::vector<std::string> serviceTexts;
    std::vector<_MEC_ZDON_RECORD> operators;
    std::vector<std::pair<uint32_t, uint32_t>> posts;

    void clear()
    {
        std::lock_guard lock(mutex);
        meStates.clear();
        serviceTexts.clear();
        operators.clear();
        posts.clear();
    }
    template <typename Predicate>
    bool waitFor(Predicate predicate, std::chrono::milliseconds timeout = 5000ms)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return predicate(*this); });
    }
};

inline Recorder g_recorder;

inline MEC_STATUS onMeState(uint8_t state)
{
    std::lock_guard lock(g_recorder.mutex);
    g_recorder.meStates.push_back(state);
    g_recorder.changed.notify_all();
    return 0;
}

inline MEC_STATUS onServiceText(const char *text)
{
    std::lock_guard lock(g_recorder.mutex);
    g_recorder.serviceTexts.emplace_back(text);
    g_recorder.changed.notify_all();
    return 0;
}

inline MEC_STATUS onOperator(const _MEC_ZDON_RECORD *record)
{
    std::lock_guard lock(g_recorder.mutex);
    g_recorder.operators.push_back(*record);
    g_recorder.changed.notify_all();
    return 0;
}

inline int sinkPost(void *, uint32_t message, uint32_t wParam, uint32_t, const void *, size_t)
{
    std::lock_guard lock(g_recorder.mutex);
    g_recorder.posts.emplace_back(message, wParam);
    g_recorder.changed.notify_all();
    return 1;
}

inline intptr_t sinkSend(void *, uint32_t, uint32_t, uint32_t, const void *, size_t) { return 0; }

inline LumacoreWindowSink g_sink{nullptr, sinkPost, sinkSend};

// A folder of the test's own (named after it) for the engine's store and the card's link, and
// the engine pointed at both; returns the link.
inline std::string prepareTestFolder(const std::string &prefix, std::filesystem::path &folder)
{
    folder = std::filesystem::temp_directory_path() /
             (prefix + "-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string link = (folder / "ttyVirtual").string();
    ::setenv("LUMACORE_DB", (folder / "db.dat").c_str(), 1);
    ::setenv("LUMACORE_PORT", link.c_str(), 1);
    return link;
}

// Short time-outs: the card on the pty answers at once.
inline EngineTimings quickTimings()
{
    EngineTimings timings;
    timings.command = 1500ms;
    timings.probe = 500ms;
    timings.watchInterval = 100ms;
    return timings;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        link = prepareTestFolder("lumacore-engine", folder);
        EngineTimings timings = quickTimings();
        timings.radioSettle = 300ms;
        timings.registrationPoll = 300ms;
        setEngineTimings(timings);
        newCard();
        ASSERT_EQ(_MEC_SetCallBackMeStateChanged(onMeState, 0), MEC_OK);
        ASSERT_EQ(_MEC_SetCallBackZpasNotify(onServiceText, 0), MEC_OK);
        ASSERT_EQ(_MEC_SetCallBackZdonNotify(onOperator, 0), MEC_OK);
    }

    // A fresh card (the engine stopped first): each case of a table starts from power-up.
    void newCard()
    {
        (void)_MEC_Shutdown();  // there may be no engine yet; either way the next start is fresh
        card.reset();
        virtualmodem::CardOptions options;
        options.simBusyTime = 300ms;
        card = std::make_unique<virtualmodem::VirtualModem>(options);
        ASSERT_TRUE(card->start(link)) << card->lastError();
        g_recorder.clear();
    }

    void TearDown() override
    {
        EXPECT_EQ(_MEC_Shutdown(), 0);
        card.reset();
        std::filesystem::remove_all(folder);
    }

    // Start-up as the program does it, up to a SIM that took its PIN.
    void startToSimUsable()
    {
        ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
        ASSERT_EQ(_MEC_RegisterAppHandle(&g_sink, 0), 0);
        ASSERT_EQ(_MEC_Echo(), 0);
        uint8_t state = 9;
        ASSERT_EQ(_MEC_GetPinState(&state), 0);
        ASSERT_EQ(state, 1);
        ASSERT_EQ(_MEC_SetPin("1234", nullptr), 0);
        ASSERT_EQ(_MEC_NetcardStart(), 0);
        ASSERT_EQ(_MEC_ClearEcho(), 0);
    }

    std::string serviceText()
    {
        _MEC_NETWORK_PARA para{};
        EXPECT_EQ(_MEC_GetNetworkPara(&para), 0);
        return para.networkType;
    }

    std::filesystem::path folder;
    std::string link;
    std::unique_ptr<virtualmodem::VirtualModem> card;
};

// The engine started on a card whose SIM asks no PIN and is ready at once: the contact and
// message suites start here. A suite sets up more between the card and the engine's start in
// beforeStartup(), and undoes it after the engine's stop in afterShutdown().
class ReadyCardTest : public ::testing::Test {
protected:
    explicit ReadyCardTest(std::string prefix) : m_prefix(std::move(prefix)) {}

    void SetUp() override
    {
        const std::string link = prepareTestFolder(m_prefix, folder);
        setEngineTimings(quickTimings());
        virtualmodem::CardOptions options;
        options.simBusyTime = 0ms;
        options.pinRequired = false;
        card = std::make_unique<virtualmodem::VirtualModem>(options);
        ASSERT_TRUE(card->start(link)) << card->lastError();
        beforeStartup();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
    }

    void TearDown() override
    {
        EXPECT_EQ(_MEC_Shutdown(), 0);
        afterShutdown();
        card.reset();
        std::filesystem::remove_all(folder);
    }

    virtual void beforeStartup() {}
    virtual void afterShutdown() {}

    std::filesystem::path folder;
    std::unique_ptr<virtualmodem::VirtualModem> card;

private:
    std::string m_prefix;
};

// Polls until the condition holds, for at most `limit`: the card recovering, the watch noticing.
inline bool eventually(const std::function<bool()> &condition,
                       std::chrono::milliseconds limit = 5000ms)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

}  // namespace engine_test
