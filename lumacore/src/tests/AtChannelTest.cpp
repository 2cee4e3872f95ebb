// The channel on a pseudo-terminal with a scripted card at the other end.
#include "AtChannel.h"
#include "Status.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

// The card's end of a pseudo-terminal and the port the engine opens at the other end.
struct ScriptedCard {
    UniqueFd card;
    PortOpenResult port;

    ScriptedCard()
    {
        card = UniqueFd(::posix_openpt(O_RDWR | O_NOCTTY));
        if (card.valid() && ::grantpt(card.get()) == 0 && ::unlockpt(card.get()) == 0)
            port = openControlPort(::ptsname(card.get()));
        else
            port.status = 1;
    }
    // Reads one command line up to its "\r"; false when the port closed.
    bool readCommand()
    {
        char c = 0;
        while (::read(card.get(), &c, 1) == 1)
            if (c == '\r')
                return true;
        return false;
    }
    bool send(const std::string &bytes)
    {
        return ::write(card.get(), bytes.data(), bytes.size()) ==
               static_cast<ssize_t>(bytes.size());
    }
};

// The caller of a command reads its answer itself: nothing is handed over between threads on the
// way, so a report that comes with the answer is read (and handed on) on the caller's thread too.
TEST(AtChannel, TheCallerReadsItsOwnAnswer)
{
    // With the port's blocking handle the caller reads; without it, it waits and then reads.
    for (bool blocking : {true, false}) {
        SCOPED_TRACE(blocking ? "blocking read" : "wait, then read");
        ScriptedCard card;
        ASSERT_EQ(card.port.status, 0) << card.port.message;
        ASSERT_TRUE(card.port.waitFd.valid());

        std::mutex mutex;
        std::vector<std::thread::id> readers;
        AtChannel channel(
            std::move(card.port.fd), "pty",
            [&](AtUnsolicited) {
                std::lock_guard lock(mutex);
                readers.push_back(std::this_thread::get_id());
            },
            blocking ? std::move(card.port.waitFd) : UniqueFd());
        std::thread answering([&] {
            EXPECT_TRUE(card.readCommand());
            EXPECT_TRUE(card.send("\r\n+CMTI: \"SM\",1\r\n+CSQ: 20,99\r\n\r\nOK\r\n"));
        });
        AtResponse response = channel.run("AT+CSQ", std::chrono::seconds(5));
        answering.join();
        ASSERT_TRUE(response.ok());
        EXPECT_EQ(response.lines, std::vector<std::string>{"+CSQ: 20,99"});
        std::lock_guard lock(mutex);
        EXPECT_EQ(readers, std::vector<std::thread::id>{std::this_thread::get_id()});
    }
}

// A caller waiting for its answer stops waiting when the channel is closed or the card goes away,
// and says the card is gone, not that it timed out.
TEST(AtChannel, AWaitingCallerEndsWhenThePortCloses)
{
    for (bool pulled : {false, true}) {
        SCOPED_TRACE(pulled ? "card pulled" : "channel closed");
        ScriptedCard card;
        ASSERT_EQ(card.port.status, 0) << card.port.message;
        AtChannel channel(std::move(card.port.fd), "pty", {}, std::move(card.port.waitFd));
        std::thread closing([&] {
            if (!card.readCommand())
                return;
            if (pulled)
                card.card.reset();
            else
                channel.close();
        });
        AtResponse response = channel.run("AT", std::chrono::seconds(30));
        closing.join();
        EXPECT_EQ(response.status, kStatusNoCard);
    }
}

// A code the card sends just as a command ends reaches the program once, without waiting for
// another command: here one comes with the answer and another while the caller is still inside
// the exchange (handing the first one on), after its last read of the port.
TEST(AtChannel, ACodeRightAfterAnAnswerIsHandedOnOnce)
{
    for (bool blocking : {true, false}) {
        SCOPED_TRACE(blocking ? "blocking read" : "wait, then read");
        ScriptedCard card;
        ASSERT_EQ(card.port.status, 0) << card.port.message;
        // Only to see when the second code is there to read; the channel alone reads the port.
        UniqueFd watch(::dup(card.port.fd.get()));
        ASSERT_TRUE(watch.valid());

        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::string> codes;
        size_t secondsDue = 0;
        auto channel = std::make_unique<AtChannel>(
            std::move(card.port.fd), "pty",
            [&](AtUnsolicited code) {
                bool first = code.line.back() == 'a';
                {
                    std::lock_guard lock(mutex);
                    codes.push_back(code.line);
                    secondsDue += first ? 1 : 0;
                }
                changed.notify_all();
                if (first) {
                    pollfd readable{watch.get(), POLLIN, 0};
                    ::poll(&readable, 1, 5000);
                }
            },
            blocking ? std::move(card.port.waitFd) : UniqueFd());
        constexpr size_t kCommands = 50;
        auto codeOf = [](size_t i, char part) {
            return "+CMTI: \"SM\"," + std::to_string(i) + part;
        };
        std::thread answering([&] {
            for (size_t i = 0; i < kCommands && card.readCommand(); ++i) {
                if (!card.send("\r\nOK\r\n\r\n" + codeOf(i, 'a') + "\r\n"))
                    return;
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return secondsDue > i; });
                lock.unlock();
                if (!card.send("\r\n" + codeOf(i, 'b') + "\r\n"))
                    return;
            }
        });
        std::vector<std::string> expected;
        for (size_t i = 0; i < kCommands; ++i) {
            AtResponse response = channel->run("AT", std::chrono::seconds(5));
            EXPECT_TRUE(response.ok()) << i;
            expected.push_back(codeOf(i, 'a'));
            expected.push_back(codeOf(i, 'b'));
            std::unique_lock lock(mutex);
            // No further command goes out before both came: the reader thread alone has to fetch
            // the second.
            if (!response.ok() || !changed.wait_for(lock, std::chrono::seconds(5), [&] {
                    return codes.size() >= expected.size();
                })) {
                ADD_FAILURE() << "the codes after answer " << i << " did not come";
                break;
            }
        }
        // The card's thread ends when the port closes.
        channel.reset();
        watch.reset();
        {
            std::lock_guard lock(mutex);
            secondsDue = kCommands;
        }
        changed.notify_all();
        answering.join();
        std::lock_guard lock(mutex);
        EXPECT_EQ(codes, expected);
    }
}

// A read that finds the port empty must not look like the end of the port: whichever side reads
// after another took the data (or after a spurious wake-up) would take the card for gone.
TEST(AtChannel, AnEmptyPortReadsAsNothingAndAGoneOneAsTheEnd)
{
    ScriptedCard card;
    ASSERT_EQ(card.port.status, 0) << card.port.message;
    for (bool cardThere : {true, false}) {
        SCOPED_TRACE(cardThere ? "card there" : "card gone");
        if (!cardThere)
            card.card.reset();
        char buffer[16];
        ssize_t count = ::read(card.port.fd.get(), buffer, sizeof buffer);
        int error = errno;
        if (cardThere)
            EXPECT_TRUE(count < 0 && error == EAGAIN) << count << " " << error;
        else
            EXPECT_TRUE(count == 0 || (count < 0 && error == EIO)) << count << " " << error;
    }
}

}  // namespace
