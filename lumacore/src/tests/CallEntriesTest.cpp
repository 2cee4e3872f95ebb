// Call records and the connection log in the PC store: walks, the per-kind limit, deleting and
// clearing, and entries that come back as they went in.
#include "CallEntries.h"
#include "StoreInFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

using namespace lumacore;

namespace {

class CallEntriesTest : public StoreInFolder {
protected:
    static CallEntry entry(uint8_t kind, const char *number, uint32_t duration = 10)
    {
        CallEntry result{};
        result.reserved = 94;
        result.kind = kind;
        result.storage = 2;
        std::strncpy(result.number, number, sizeof result.number - 1);
        result.duration = duration;
        result.when = {2026, 5, 31, 23, 59, 58};
        return result;
    }

    // The numbers of a kind, oldest first, by walking as the program does.
    std::vector<std::string> walk(uint8_t kind)
    {
        std::vector<std::string> numbers;
        CallEntry current{};
        current.kind = kind;
        current.storage = 2;
        for (uint16_t status = entries.first(kind, current); status == 0;
             status = entries.next(current))
            numbers.emplace_back(current.number);
        return numbers;
    }

    CallEntryStore entries{store};
};

TEST_F(CallEntriesTest, ConnectionLogEntryComesBackWhole)
{
    CallEntry saved = entry(4, "user@isp");
    saved.bytesSent = 5'000'000'000.0;  // past 32 bits
    saved.bytesReceived = 1536.5;
    ASSERT_EQ(entries.save(saved), 0);
    EXPECT_NE(saved.index, 0u);

    CallEntry read{};
    read.reserved = 94;
    ASSERT_EQ(entries.first(4, read), 0);
    EXPECT_EQ(read.reserved, 94);
    EXPECT_EQ(read.index, saved.index);
    EXPECT_STREQ(read.number, "user@isp");
    EXPECT_EQ(read.duration, 10u);
    EXPECT_EQ(read.bytesSent, 5'000'000'000.0);
    EXPECT_EQ(read.bytesReceived, 1536.5);
    EXPECT_EQ(read.kind, 4);
    EXPECT_EQ(read.storage, 2);
    EXPECT_EQ(std::memcmp(&read.when, &saved.when, sizeof read.when), 0);
    EXPECT_EQ(entries.next(read), 13);
}

TEST_F(CallEntriesTest, KindsAreKeptApartAndWalkedOldestFirst)
{
    for (auto [kind, number] : std::vector<std::pair<uint8_t, const char *>>{
             {1, "m1"}, {4, "d1"}, {1, "m2"}, {3, "o1"}, {4, "d2"}, {1, "m3"}}) {
        CallEntry one = entry(kind, number);
        ASSERT_EQ(entries.save(one), 0);
    }
    EXPECT_EQ(walk(1), (std::vector<std::string>{"m1", "m2", "m3"}));
    EXPECT_EQ(walk(2), std::vector<std::string>{});
    EXPECT_EQ(walk(3), std::vector<std::string>{"o1"});
    EXPECT_EQ(walk(4), (std::vector<std::string>{"d1", "d2"}));
    EXPECT_EQ(entries.count(1, 2), 3);
    EXPECT_EQ(entries.count(1, 0), 0);  // only the PC keeps call entries

    CallEntry none{};
    EXPECT_EQ(entries.first(2, none), 13);
}

TEST_F(CallEntriesTest, FullKindDropsItsOldestEntryOnly)
{
    for (int i = 0; i < kCallEntriesPerKind + 2; ++i) {
        CallEntry one = entry(4, ("c" + std::to_string(i)).c_str());
        ASSERT_EQ(entries.save(one), 0);
    }
    CallEntry missed = entry(1, "keep");
    ASSERT_EQ(entries.save(missed), 0);

    auto log = walk(4);
    ASSERT_EQ(log.size(), size_t(kCallEntriesPerKind));
    EXPECT_EQ(log.front(), "c2");
    EXPECT_EQ(log.back(), "c" + std::to_string(kCallEntriesPerKind + 1));
    EXPECT_EQ(walk(1), std::vector<std::string>{"keep"});
}

TEST_F(CallEntriesTest, DeleteAndClear)
{
    CallEntry first = entry(4, "a"), second = entry(4, "b"), call = entry(2, "c");
    ASSERT_EQ(entries.save(first), 0);
    ASSERT_EQ(entries.save(second), 0);
    ASSERT_EQ(entries.save(call), 0);

    EXPECT_EQ(entries.remove(first.index, 1), 7003);  // not the PC storage
    EXPECT_EQ(entries.remove(first.index, 2), 0);
    EXPECT_EQ(entries.remove(first.index, 2), 13);  // already gone
    EXPECT_EQ(walk(4), std::vector<std::string>{"b"});

    EXPECT_EQ(entries.clear(4, 2), 0);
    EXPECT_EQ(walk(4), std::vector<std::string>{});
    EXPECT_EQ(walk(2), std::vector<std::string>{"c"});
}

TEST_F(CallEntriesTest, BadInputIsRefusedAndStoresNothing)
{
    CallEntry unknownKind = entry(9, "x");
    EXPECT_EQ(entries.save(unknownKind), 7003);
    // A number that fills its field with no terminator is cut at the field's end.
    CallEntry full = entry(4, "");
    std::memset(full.number, '7', sizeof full.number);
    ASSERT_EQ(entries.save(full), 0);
    auto log = walk(4);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].size(), sizeof full.number - 1);
    CallEntry none{};
    EXPECT_EQ(entries.first(0, none), 7003);
}

}  // namespace
