// A PC store of its own for each test, in a fresh folder that goes with the test.
#pragma once

#include "Store.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

class StoreInFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("lumacore-" + std::string(test->test_suite_name()) + "-" +
                  std::to_string(::getpid()) + "-" + test->name());
        std::filesystem::remove_all(folder);
        ASSERT_EQ(store.open((folder / "db.dat").string()), 0) << store.message();
    }
    void TearDown() override
    {
        store.close();
        std::filesystem::remove_all(folder);
    }

    std::filesystem::path folder;
    lumacore::Store store;
};
