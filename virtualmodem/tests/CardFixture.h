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
        m_folder = pattern;
        m_link = (m_folder / "card").string();
    }

    void TearDown() override
    {
        m_client.close();
        m_card.reset();
        std::filesystem::remove_all(m_folder);
    }

    // Starts the card and opens a terminal on it.
    void startCard(CardOptions options = fastOptions())
    {
        m_card = std::make_unique<VirtualModem>(options);
        ASSERT_TRUE(m_card->start(m_link)) << m_card->lastError();
        ASSERT_TRUE(m_client.open(m_link));
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
        const Answer answer = m_client.command(line);
        EXPECT_FALSE(answer.final.empty()) << line << " got no final result";
        return answer.final;
    }

    std::filesystem::path m_folder;
    std::string m_link;
    std::unique_ptr<VirtualModem> m_card;
    AtClient m_client;
};

}  // namespace virtualmodem::testing
