// The channel on a pseudo-terminal with a scripted card at the other end.
#include "AtChannel.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

using namespace lumacore;

namespace {

// The caller of a command reads its answer itself: nothing is handed over between threads on the
// way, so a report that comes with the answer is read (and handed on) on the caller's thread too.
TEST(AtChannel, TheCallerReadsItsOwnAnswer)
{
    UniqueFd card(::posix_openpt(O_RDWR | O_NOCTTY));
    ASSERT_TRUE(card.valid());
    ASSERT_EQ(::grantpt(card.get()), 0);
    ASSERT_EQ(::unlockpt(card.get()), 0);
    PortOpenResult port = openControlPort(::ptsname(card.get()));
    ASSERT_EQ(port.status, 0) << port.message;

    std::mutex mutex;
    std::vector<std::thread::id> readers;
    AtChannel channel(std::move(port.fd), "pty", [&](AtUnsolicited) {
        std::lock_guard lock(mutex);
        readers.push_back(std::this_thread::get_id());
    });
    std::thread answering([&] {
        std::string command;
        char c = 0;
        while (command.find('\r') == std::string::npos && ::read(card.get(), &c, 1) == 1)
            command += c;
        const std::string answer = "\r\n+CMTI: \"SM\",1\r\n+CSQ: 20,99\r\n\r\nOK\r\n";
        EXPECT_EQ(::write(card.get(), answer.data(), answer.size()),
                  static_cast<ssize_t>(answer.size()));
    });
    AtResponse response = channel.run("AT+CSQ", std::chrono::seconds(5));
    answering.join();
    ASSERT_TRUE(response.ok());
    EXPECT_EQ(response.lines, std::vector<std::string>{"+CSQ: 20,99"});
    std::lock_guard lock(mutex);
    EXPECT_EQ(readers, std::vector<std::thread::id>{std::this_thread::get_id()});
}

}  // namespace
