#include "logic/PhonebookTransfer.h"
#include "lumacore/fake/FakePhonebook.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

namespace {

// A SIM of 250 entries keeping one number, a card of 10, a PC of 100 keeping five.
void scriptSizes()
{
    lumacore_fake::onCall(&_MEC_GetFieldSizes, [](_MEC_FIELD_SIZES *sizes) -> MEC_STATUS {
        const bool pc = sizes->storage == PB_PC;
        sizes->nameBits = pc ? 127 * 8 : 14 * 7;
        sizes->nameCoding = pc ? 6 : 5;
        sizes->numberBits = 20 * 8;
        sizes->numberCoding = 2;
        sizes->numberSlots = pc ? 5 : 1;
        sizes->contactCapacity = pc ? 100 : sizes->storage == PB_SIM ? 250 : 10;
        return 0;
    });
}

class PhonebookTransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        phonebook = std::make_unique<FakePhonebook>();
        scriptSizes();
        ASSERT_EQ(settings.LoadFieldLimits(), 0);
    }
    void TearDown() override { lumacore_fake::reset(); }

    // The store and its SIM list, read as the contacts window reads them.
    std::unique_ptr<TBL_pb> openStore()
    {
        auto store = std::make_unique<TBL_pb>(settings);
        EXPECT_EQ(store->ReloadStore(PB_SIM), 0);
        return store;
    }

    static std::vector<_MEC_CONTACT_RECORD> listOf(TBL_pb &store, uint8_t storage)
    {
        std::vector<_MEC_CONTACT_RECORD> records;
        _MEC_CONTACT_RECORD *record = nullptr;
        for (uint16_t status = store.FirstContact(storage, &record); status == 0;
             status = store.NextContact(storage, &record))
            records.push_back(*record);
        return records;
    }

    // Every name held by the fake engine in the SIM or the PC.
    std::multiset<std::string> namesEverywhere() const
    {
        std::multiset<std::string> names;
        for (uint8_t storage : {PB_SIM, PB_PC}) {
            for (const auto &[index, record] : phonebook->contacts(storage))
                names.insert(record.name);
        }
        return names;
    }

    TBLSet settings;
    std::unique_ptr<FakePhonebook> phonebook;
};

TEST_F(PhonebookTransferTest, CardPulledHalfWayThroughAMoveLosesNothing)
{
    for (int i = 0; i < 10; ++i)
        phonebook->put(PB_SIM, ("Sim " + std::to_string(i)).c_str(), "1");
    auto store = openStore();
    const auto before = namesEverywhere();
    // The card answers five more calls, then is gone: the fifth removal is its last.
    phonebook->failStorageAfter(PB_SIM, 5, MEC_ERR_NO_CARD);
    std::vector<int> progress;
    PhonebookTransfer transfer(*store, {[&](int percent) { progress.push_back(percent); }, {}, {}});
    const auto result =
        transfer.Paste(listOf(*store, PB_SIM), PhonebookTransfer::PB_PASTE_CUT, PB_PC, -1);
    EXPECT_TRUE(result.cardGone);
    EXPECT_EQ(result.done, 5);
    // All ten were written to the PC first; five are still on the SIM, to be removed later.
    EXPECT_TRUE(result.notMoved.empty());
    EXPECT_EQ(result.sourcesLeft.size(), 5u);
    EXPECT_EQ(phonebook->contacts(PB_PC).size(), 10u);
    EXPECT_EQ(phonebook->contacts(PB_SIM).size(), 5u);
    auto after = namesEverywhere();
    for (const auto &name : before)
        EXPECT_GE(after.count(name), 1u) << name;
    EXPECT_EQ(progress.size(), 15u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

TEST_F(PhonebookTransferTest, AContactSplitForTheSimIsWrittenWholeOrNotAtAll)
{
    auto &ana = phonebook->put(PB_PC, "Ana", "111");
    std::strcpy(ana.numbers[1].number, "222");
    std::strcpy(ana.numbers[2].number, "333");
    auto store = openStore();
    phonebook->refuseNumber("222");  // the card takes the first part, refuses the second
    PhonebookTransfer transfer(*store, {{}, {}, [] { return true; }});
    for (auto mode : {PhonebookTransfer::PB_PASTE_COPY, PhonebookTransfer::PB_PASTE_CUT}) {
        const auto result = transfer.Paste(listOf(*store, PB_PC), mode, PB_SIM, -1);
        EXPECT_EQ(result.done, 0);
        EXPECT_EQ(result.failed, 1);
        EXPECT_TRUE(phonebook->contacts(PB_SIM).empty()) << mode;
        EXPECT_EQ(store->ContactCount(PB_SIM), 0);
        EXPECT_EQ(phonebook->contacts(PB_PC).size(), 1u);
    }
}

TEST_F(PhonebookTransferTest, AStaleContactNeverDeletesWhatAnotherPhoneWroteInItsPlace)
{
    phonebook->put(PB_SIM, "Ana", "1");
    phonebook->put(PB_SIM, "Bob", "2");
    auto store = openStore();
    const auto read = listOf(*store, PB_SIM);
    ASSERT_EQ(store->DeleteContact(read[0]), 0);
    // Another phone takes the freed place; the store reads the SIM again.
    EXPECT_EQ(phonebook->put(PB_SIM, "Cleo", "3").index, read[0].index);
    ASSERT_EQ(store->ReloadStore(PB_SIM), 0);
    PhonebookTransfer transfer(*store, {});
    const auto result = transfer.Delete(read);
    EXPECT_EQ(result.done, 2);  // Ana found gone, Bob deleted
    ASSERT_EQ(phonebook->contacts(PB_SIM).size(), 1u);
    EXPECT_STREQ(phonebook->contacts(PB_SIM).begin()->second.name, "Cleo");
    EXPECT_EQ(store->ContactCount(PB_SIM), 1);
}

TEST_F(PhonebookTransferTest, MoveIntoAPulledCardStopsAndKeepsTheSources)
{
    for (int i = 0; i < 6; ++i)
        phonebook->put(PB_PC, ("Pc " + std::to_string(i)).c_str(), "1");
    auto store = openStore();
    phonebook->failStorageAfter(PB_SIM, 2, MEC_ERR_NO_CARD);
    int asked = 0;
    PhonebookTransfer transfer(*store, {{}, {}, [&] { return ++asked, true; }});
    const auto result =
        transfer.Paste(listOf(*store, PB_PC), PhonebookTransfer::PB_PASTE_CUT, PB_SIM, -1);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(result.cardGone);
    EXPECT_EQ(result.done, 2);
    EXPECT_EQ(phonebook->contacts(PB_SIM).size(), 2u);
    EXPECT_EQ(phonebook->contacts(PB_PC).size(), 4u);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_NewContact"), 3);  // no retries into a gone card
}

TEST_F(PhonebookTransferTest, APcContactWithThreeNumbersBecomesThreeSimContacts)
{
    auto &ana = phonebook->put(PB_PC, "Ana", "111");
    std::strcpy(ana.numbers[1].number, "222");
    std::strcpy(ana.numbers[2].number, "333");
    phonebook->put(PB_PC, "Bob", "444");
    auto store = openStore();
    PhonebookTransfer transfer(*store, {{}, {}, [] { return true; }});
    const auto result =
        transfer.Paste(listOf(*store, PB_PC), PhonebookTransfer::PB_PASTE_COPY, PB_SIM, -1);
    EXPECT_EQ(result.done, 2);
    std::vector<std::pair<std::string, std::string>> onSim;
    for (const auto &[index, record] : phonebook->contacts(PB_SIM))
        onSim.emplace_back(record.name, record.numbers[0].number);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Ana", "111"}, {"Ana", "222"}, {"Ana", "333"}, {"Bob", "444"}};
    EXPECT_EQ(onSim, expected);

    // A cut whose second part cannot be written keeps the whole contact at its source.
    phonebook->failStorageAfter(PB_SIM, 1, 7003);
    const auto cut =
        transfer.Paste({listOf(*store, PB_PC)[0]}, PhonebookTransfer::PB_PASTE_CUT, PB_SIM, -1);
    EXPECT_EQ(cut.done, 0);
    EXPECT_EQ(cut.failed, 1);
    EXPECT_EQ(phonebook->contacts(PB_PC).size(), 2u);
}

TEST_F(PhonebookTransferTest, QuestionsStopsFullStoragesAndGroups)
{
    for (int i = 0; i < 3; ++i)
        phonebook->put(PB_PC, "Pc", "1", 2009);
    auto store = openStore();
    const auto pc = listOf(*store, PB_PC);
    PhonebookTransfer refused(*store, {{}, {}, [] { return false; }});
    EXPECT_TRUE(refused.Paste(pc, PhonebookTransfer::PB_PASTE_COPY, PB_SIM, -1).stopped);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_NewContact"), 0);

    int asked = 0;
    PhonebookTransfer stopping(*store, {{}, [&] { return ++asked > 2; }, [] { return true; }});
    const auto stopped = stopping.Paste(pc, PhonebookTransfer::PB_PASTE_COPY, PB_ME, -1);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.done, 2);

    // The card's book holds 10: eight more fit, the ninth stops the run as full.
    std::vector<_MEC_CONTACT_RECORD> many(12, pc[0]);
    PhonebookTransfer filling(*store, {});
    const auto full = filling.Paste(many, PhonebookTransfer::PB_PASTE_COPY, PB_ME, -1);
    EXPECT_TRUE(full.stoppedFull);
    EXPECT_EQ(full.lastFailure, PB_ME_FULL);
    EXPECT_EQ(full.done, 8);

    // A cut within the PC to another group moves the contact, no copy.
    const auto regrouped = filling.Paste({pc[0]}, PhonebookTransfer::PB_PASTE_CUT, PB_PC, 2010);
    EXPECT_EQ(regrouped.done, 1);
    EXPECT_EQ(phonebook->contacts(PB_PC).size(), 3u);
    EXPECT_EQ(phonebook->contacts(PB_PC)[pc[0].index].groupId, 2010u);
}

TEST_F(PhonebookTransferTest, DeletingManyCountsWhatWentAndStopsWithTheCard)
{
    for (int i = 0; i < 5; ++i)
        phonebook->put(PB_SIM, "Sim", "1");
    auto store = openStore();
    phonebook->failStorageAfter(PB_SIM, 3, MEC_ERR_NO_CARD);
    PhonebookTransfer transfer(*store, {});
    const auto result = transfer.Delete(listOf(*store, PB_SIM));
    EXPECT_EQ(result.done, 3);
    EXPECT_TRUE(result.cardGone);
    EXPECT_EQ(store->ContactCount(PB_SIM), 2);
}

}  // namespace
