// What the business logic's end-to-end suites share: the real engine started on a virtual card
// whose SIM asks no PIN and is ready at once, with a folder of its own for the PC store and the
// card's link, and the system code page UTF-8.
#pragma once

#include "platform/CodePage.h"

#include "virtualmodem/VirtualModem.h"

#include "lumacore.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

class CardEndToEndTest : public ::testing::Test {
protected:
    explicit CardEndToEndTest(std::string folderName) : m_folderName(std::move(folderName)) {}

    void SetUp() override
    {
        platform::forceSystemCodePage("UTF-8");
        folder = std::filesystem::temp_directory_path() /
                 (m_folderName + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const std::string link = (folder / "card").string();
        ::setenv("LUMACORE_DB", (folder / "db.dat").c_str(), 1);
        ::setenv("LUMACORE_PORT", link.c_str(), 1);
        virtualmodem::CardOptions options;
        options.pinRequired = false;
        options.simBusyTime = std::chrono::milliseconds(0);
        card = std::make_unique<virtualmodem::VirtualModem>(options);
        ASSERT_TRUE(card->start(link)) << card->lastError();
        ASSERT_EQ(_MEC_Startup(0, 400, 0), 0);
    }

    void TearDown() override
    {
        (void)_MEC_Shutdown();  // tearing down: a failure here shows in the next test's start
        card.reset();
        std::filesystem::remove_all(folder);
        platform::forceSystemCodePage("");
    }

    std::filesystem::path folder;
    std::unique_ptr<virtualmodem::VirtualModem> card;

private:
    std::string m_folderName;
};
