// A virtual card on a link in a fresh temporary folder, and a terminal connected to it.
#pragma once

#include "AtClient.h"
#include "virtualmodem/VirtualModem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace virtualmodem::testing {

class CardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/virtualmodem-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        link_ = (folder_ / "card").string();
    }

    void TearDown() override
    {
        client_.close();
        card_.reset();
        std::filesystem::remove_all(folder_);
    }

    // Starts the card and opens a terminal on it.
    void startCard(CardOptions options = fastOptions())
    {
        card_ = std::make_unique<VirtualModem>(options);
        ASSERT_TRUE(card_->start(link_)) << card_->lastError();
        ASSERT_TRUE(client_.open(link_));
    }

    static CardOptions fastOptions()
    {
        CardOptions options;
        options.simBusyTime = std::chrono::milliseconds(300);
        options.networkScanTime = std::chrono::milliseconds(20);
        return options;
    }

    // Sends a command and returns its final result, failing the test on a time-out.
    std::string finalOf(const std::string &line)
    {
        const Answer answer = client_.command(line);
        EXPECT_FALSE(answer.final.empty()) << line << " got no final result";
        return answer.final;
    }

    std::filesystem::path folder_;
    std::string link_;
    std::unique_ptr<VirtualModem> card_;
    AtClient client_;
};

}  // namespace virtualmodem::testing
