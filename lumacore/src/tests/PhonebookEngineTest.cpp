// The engine's contact and group calls end to end against the virtual card: names in every script
// through UCS2, the GSM set's own letters on a card without UCS2, a full SIM, the card pulled,
// field sizes, and the PC store keeping the engine's opaque bytes.
#include "EngineFixture.h"

#include <string>
#include <vector>

using namespace lumacore;
using namespace std::chrono_literals;

namespace {

_MEC_CONTACT_RECORD contact(uint8_t storage, const std::string &name, const std::string &number)
{
    _MEC_CONTACT_RECORD record{};
    record.storage = storage;
    copyOut(record.name, sizeof record.name, name);
    copyOut(record.numbers[0].number, sizeof record.numbers[0].number, number);
    return record;
}

std::vector<_MEC_CONTACT_RECORD> walk(uint8_t storage)
{
    std::vector<_MEC_CONTACT_RECORD> records;
    _MEC_CONTACT_RECORD record{};
    record.storage = storage;
    for (uint16_t status = _MEC_GetFirstContact(&record); status == 0;
         status = _MEC_GetNextContact(&record)) {
        records.push_back(record);
        record = _MEC_CONTACT_RECORD{};
        record.storage = storage;
    }
    return records;
}

class PhonebookEngineTest : public engine_test::ReadyCardTest {
protected:
    PhonebookEngineTest() : ReadyCardTest("lumacore-phonebook") {}

    std::string simName(int index)
    {
        auto state = card->snapshot();
        return state.phonebooks[0].entries.count(index) ? state.phonebooks[0].entries[index].name
                                                        : "<none>";
    }
};

TEST_F(PhonebookEngineTest, NamesInEveryScriptSurviveTheSim)
{
    struct Case {
        const char *name;
        const char *number;
    };
    const Case cases[] = {
        {"José Muñoz", "+5491140001111"},
        {"@£é ñ", "0800123"},
        {"Иван", "+79161234567"},
        {"王小明", "10086"},
        {"", "112"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto record = contact(0, c.name, c.number);
        ASSERT_EQ(_MEC_NewContact(&record), 0);
        // The card holds the name itself, not a lossy stand-in.
        EXPECT_EQ(simName(static_cast<int>(record.index)), c.name);
    }
    ASSERT_EQ(_MEC_LoadContacts(0), 0);
    EXPECT_EQ(_MEC_GetContactCount(0), 5);
    auto records = walk(0);
    ASSERT_EQ(records.size(), 5u);
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_STREQ(records[i].name, cases[i].name);
        EXPECT_STREQ(records[i].numbers[0].number, cases[i].number);
        EXPECT_EQ(records[i].storage, 0);
    }
    // The card's own character set is back to what it was.
    EXPECT_EQ(card->snapshot().settings.charset, virtualmodem::Charset::Ira);

    auto changed = records[2];
    copyOut(changed.name, sizeof changed.name, "Ivan");
    ASSERT_EQ(_MEC_SetContact(changed.index, &changed), 0);
    EXPECT_EQ(simName(static_cast<int>(changed.index)), "Ivan");
    ASSERT_EQ(_MEC_DeleteContact(records[0].index, 0), 0);
    EXPECT_EQ(_MEC_GetContactCount(0), 4);
    EXPECT_EQ(walk(0).size(), 4u);
}

TEST_F(PhonebookEngineTest, GsmLettersOnACardWithoutUcs2)
{
    card->setNoUcs2(true);
    auto letters = contact(1, "@£é ñ€", "+123");
    ASSERT_EQ(_MEC_NewContact(&letters), 0);
    EXPECT_EQ(card->snapshot().phonebooks[1].entries[1].name, "@£é ñ€");
    // Cyrillic cannot travel in the GSM set: refused, nothing written.
    auto cyrillic = contact(1, "Иван", "123");
    EXPECT_NE(_MEC_NewContact(&cyrillic), 0);
    ASSERT_EQ(_MEC_LoadContacts(1), 0);
    auto records = walk(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_STREQ(records[0].name, "@£é ñ€");
    EXPECT_STREQ(records[0].numbers[0].number, "+123");
}

TEST_F(PhonebookEngineTest, CardsThatAnswerTheirOwnWay)
{
    using virtualmodem::Quirk;
    for (Quirk quirk :
         {Quirk::PhonebookUcs2Numbers, Quirk::PhonebookSimAlpha, Quirk::PhonebookEmptyNotFound}) {
        SCOPED_TRACE(static_cast<int>(quirk));
        card->clearPhonebook("SM");
        card->setQuirk(quirk, true);
        for (const char *name : {"Иван", "José"}) {
            auto record = contact(0, name, "+5491140001111");
            ASSERT_EQ(_MEC_NewContact(&record), 0);
        }
        ASSERT_EQ(_MEC_LoadContacts(0), 0);
        auto records = walk(0);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_STREQ(records[0].name, "Иван");
        EXPECT_STREQ(records[1].name, "José");
        EXPECT_STREQ(records[0].numbers[0].number, "+5491140001111");
        card->setQuirk(quirk, false);
    }
}

TEST_F(PhonebookEngineTest, FullSimAndAnEntryWrittenBehindTheEnginesBack)
{
    for (int index = 1; index <= 249; ++index)
        ASSERT_TRUE(card->setPhonebookEntry("SM", index, {"1", "x"}));
    ASSERT_EQ(_MEC_LoadContacts(0), 0);
    // Another phone fills the last place after the engine read the book: it is not overwritten.
    ASSERT_TRUE(card->setPhonebookEntry("SM", 250, {"2", "theirs"}));
    auto mine = contact(0, "mine", "3");
    EXPECT_EQ(_MEC_NewContact(&mine), kStatusCmeBase + 20);
    EXPECT_EQ(simName(250), "theirs");
    EXPECT_EQ(_MEC_GetContactCount(0), 250);
    // A name too long for the SIM is the card's refusal, passed on.
    ASSERT_EQ(_MEC_DeleteContact(1, 0), 0);
    auto longName = contact(0, "Иван Петрович", "1");
    EXPECT_EQ(_MEC_NewContact(&longName), kStatusCmeBase + 24);
}

TEST_F(PhonebookEngineTest, DeleteReadsThePlaceAndLeavesAnEntryItDidNotRead)
{
    ASSERT_TRUE(card->setPhonebookEntry("SM", 1, {"111", "Ana"}));
    ASSERT_TRUE(card->setPhonebookEntry("SM", 2, {"222", "Bob"}));
    ASSERT_EQ(_MEC_LoadContacts(0), 0);
    // Another phone deletes Ana and writes its own contact in her place.
    ASSERT_TRUE(card->setPhonebookEntry("SM", 1, {"999", "Theirs"}));
    EXPECT_EQ(_MEC_DeleteContact(1, 0), kStatusCmeBase + 22);
    EXPECT_EQ(simName(1), "Theirs");
    // An empty place is deleted already; what the engine read is deleted.
    EXPECT_EQ(_MEC_DeleteContact(7, 0), 0);
    EXPECT_EQ(_MEC_DeleteContact(2, 0), 0);
    EXPECT_EQ(simName(2), "<none>");
}

TEST_F(PhonebookEngineTest, CardPulledDuringAWalkLeavesNoHalfList)
{
    for (int index = 1; index <= 120; ++index)
        ASSERT_TRUE(card->setPhonebookEntry("SM", index, {"1", "x"}));
    card->setSlowAnswers(100ms);
    std::thread puller([&] {
        // Pulled once the walk is past its first stretch of entries.
        engine_test::eventually([&] {
            const std::string line = card->lastCommandLine();
            return line.starts_with("+CPBR=") && line.find(',') != std::string::npos &&
                   !line.starts_with("+CPBR=1,");
        });
        card->removeCard();
    });
    EXPECT_NE(_MEC_LoadContacts(0), 0);
    puller.join();
    _MEC_CONTACT_RECORD record{};
    record.storage = 0;
    EXPECT_NE(_MEC_GetFirstContact(&record), 0);
}

TEST_F(PhonebookEngineTest, FieldSizesOfEachStorage)
{
    struct Case {
        uint8_t storage;
        uint32_t capacity;
        uint16_t nameBits;
        uint16_t numberBits;
        uint16_t slots;
    };
    const Case cases[] = {
        {0, 250, 14 * 7, 20 * 8, 1}, {1, 200, 20 * 7, 40 * 8, 1}, {2, 1000, 127 * 8, 39 * 8, 5}};
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.storage));
        _MEC_FIELD_SIZES sizes{};
        sizes.size = sizeof sizes;
        sizes.storage = c.storage;
        ASSERT_EQ(_MEC_GetFieldSizes(&sizes), 0);
        // Packed fields are copied out before the comparison takes them by reference.
        EXPECT_EQ(uint32_t{sizes.contactCapacity}, c.capacity);
        EXPECT_EQ(uint16_t{sizes.nameBits}, c.nameBits);
        EXPECT_EQ(uint16_t{sizes.numberBits}, c.numberBits);
        EXPECT_EQ(uint16_t{sizes.numberSlots}, c.slots);
        EXPECT_EQ(uint32_t{sizes.messageBits}, 1120u);
    }
    _MEC_FIELD_SIZES wrong{};
    wrong.size = 100;
    EXPECT_NE(_MEC_GetFieldSizes(&wrong), 0);
}

TEST_F(PhonebookEngineTest, PcContactsKeepEveryFieldAndGroupsStayPerStorage)
{
    auto record = contact(2, "Ana", "+5491140001111");
    copyOut(record.email, sizeof record.email, "ana@example.org");
    copyOut(record.numbers[4].number, sizeof record.numbers[4].number, "555");
    record.groupId = 2009;
    record.opaqueA[10] = 0x5A;
    record.opaqueC = 0x1234;
    ASSERT_EQ(_MEC_NewContact(&record), 0);
    auto records = walk(2);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].index, record.index);
    EXPECT_STREQ(records[0].email, "ana@example.org");
    EXPECT_STREQ(records[0].numbers[4].number, "555");
    EXPECT_EQ(records[0].groupId, 2009u);
    EXPECT_EQ(records[0].opaqueA[10], 0x5A);
    EXPECT_EQ(records[0].opaqueC, 0x1234);
    EXPECT_EQ(_MEC_SetContact(record.index + 100, &record), kStatusNoMoreEntries);
    EXPECT_EQ(_MEC_GetContactCount(2), 1);

    _MEC_GROUP_RECORD friends{};
    friends.groupId = 2009;
    copyOut(friends.groupName, sizeof friends.groupName, "Friends");
    friends.storage = 2;
    ASSERT_EQ(_MEC_SaveGroup(&friends), 0);
    EXPECT_NE(_MEC_SaveGroup(&friends), 0);  // the id is taken
    _MEC_GROUP_RECORD group{};
    group.storage = 1;
    ASSERT_EQ(_MEC_LoadGroup(1), 0);
    EXPECT_EQ(_MEC_GetFirstGroup(&group), kStatusNoMoreEntries);
    group = {};
    group.storage = 2;
    ASSERT_EQ(_MEC_GetFirstGroup(&group), 0);
    EXPECT_STREQ(group.groupName, "Friends");
    copyOut(friends.groupName, sizeof friends.groupName, "Family");
    ASSERT_EQ(_MEC_SetGroup(&friends), 0);
    ASSERT_EQ(_MEC_DeleteGroup(2009, 2), 0);
    EXPECT_EQ(_MEC_DeleteGroup(2009, 2), kStatusNoMoreEntries);
    ASSERT_EQ(_MEC_DeleteContact(record.index, 2), 0);
    EXPECT_TRUE(walk(2).empty());
}

}  // namespace
