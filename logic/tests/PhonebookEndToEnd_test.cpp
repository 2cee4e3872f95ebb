// The phonebook store and its long operations on the real engine against the virtual card: a
// full SIM copied to the PC and back, names in several scripts, and a move with the card pulled
// half-way.
#include "CardEndToEnd.h"

#include "logic/PhonebookTransfer.h"
#include "platform/CodePage.h"

#include <set>
#include <string>

namespace {

class PhonebookEndToEndTest : public CardEndToEndTest {
protected:
    PhonebookEndToEndTest() : CardEndToEndTest("lumadial-phonebook-e2e") {}

    void SetUp() override
    {
        CardEndToEndTest::SetUp();
        ASSERT_EQ(settings.LoadFieldLimits(), 0);
    }

    void TearDown() override
    {
        store.reset();
        CardEndToEndTest::TearDown();
    }

    std::vector<_MEC_CONTACT_RECORD> listOf(uint8_t storage)
    {
        std::vector<_MEC_CONTACT_RECORD> records;
        _MEC_CONTACT_RECORD *record = nullptr;
        for (uint16_t status = store->FirstContact(storage, &record); status == 0;
             status = store->NextContact(storage, &record))
            records.push_back(*record);
        return records;
    }

    void fillSim(int count)
    {
        for (int index = 1; index <= count; ++index) {
            ASSERT_TRUE(card->setPhonebookEntry(
                "SM", index,
                {"+54911" + std::to_string(40000000 + index), "Contact " + std::to_string(index)}));
        }
    }

    TBLSet settings;
    std::unique_ptr<TBL_pb> store;
};

TEST_F(PhonebookEndToEndTest, AFullSimCopiedToThePcAndBack)
{
    fillSim(250);
    store = std::make_unique<TBL_pb>(settings);
    ASSERT_EQ(store->ReloadStore(PB_SIM), 0);
    ASSERT_EQ(store->ContactCount(PB_SIM), 250);
    PhonebookTransfer transfer(*store, {{}, {}, [] { return true; }});
    auto toPc = transfer.Paste(listOf(PB_SIM), PhonebookTransfer::PB_PASTE_COPY, PB_PC, -1);
    EXPECT_EQ(toPc.done, 250);
    EXPECT_EQ(store->ContactCount(PB_PC), 250);
    // The SIM is full: one more is refused before the card is asked.
    auto extra = listOf(PB_PC).front();
    EXPECT_EQ(store->AddContactTo(extra, PB_SIM, 0, nullptr), PB_SIM_FULL);

    card->clearPhonebook("SM");
    ASSERT_EQ(store->ReloadStore(PB_SIM), 0);
    ASSERT_EQ(store->ContactCount(PB_SIM), 0);
    auto back = transfer.Paste(listOf(PB_PC), PhonebookTransfer::PB_PASTE_COPY, PB_SIM, -1);
    EXPECT_EQ(back.done, 250);
    const auto sim = card->snapshot().phonebooks[0].entries;
    ASSERT_EQ(sim.size(), 250u);
    EXPECT_EQ(sim.at(1).name, "Contact 1");
    EXPECT_EQ(sim.at(250).number, "+5491140000250");
}

TEST_F(PhonebookEndToEndTest, NamesInEveryScriptThroughTheStore)
{
    store = std::make_unique<TBL_pb>(settings);
    ASSERT_EQ(store->ReloadStore(PB_SIM), 0);
    const std::vector<std::string> names = {"José Ñañez", "Иван Петров", "王小明", "@£ ok"};
    for (const auto &name : names) {
        _MEC_CONTACT_RECORD record{};
        record.storage = PB_SIM;
        platform::copyToField(record.name, sizeof record.name, name);
        platform::copyToField(record.numbers[0].number, sizeof record.numbers[0].number, "123");
        ASSERT_EQ(store->AddContact(record, nullptr), 0) << name;
    }
    ASSERT_EQ(store->ReloadStore(PB_SIM), 0);
    std::vector<std::string> read;
    for (const auto &record : listOf(PB_SIM))
        read.emplace_back(record.name);
    // The Cyrillic name needs UCS-2 and is cut to the six characters the SIM holds.
    const std::vector<std::string> expected = {"José Ñañez", "Иван П", "王小明", "@£ ok"};
    EXPECT_EQ(read, expected);
}

TEST_F(PhonebookEndToEndTest, CardPulledHalfWayThroughAMoveToThePc)
{
    fillSim(40);
    store = std::make_unique<TBL_pb>(settings);
    ASSERT_EQ(store->ReloadStore(PB_SIM), 0);
    PhonebookTransfer transfer(*store, {[&](int percent) {
                                         if (percent >= 50 && card->cardInserted())
                                             card->removeCard();
                                     },
                                     {},
                                     {}});
    auto result = transfer.Paste(listOf(PB_SIM), PhonebookTransfer::PB_PASTE_CUT, PB_PC, -1);
    EXPECT_TRUE(result.cardGone);
    EXPECT_GT(result.done, 0);
    EXPECT_LT(result.done, 40);

    // Every contact is on the SIM still or in the PC store, and the count says how many moved.
    std::set<std::string> everywhere;
    const auto sim = card->snapshot().phonebooks[0].entries;
    for (const auto &[index, entry] : sim)
        everywhere.insert(entry.name);
    ASSERT_EQ(store->ReloadStore(PB_PC), 0);
    for (const auto &record : listOf(PB_PC))
        everywhere.insert(record.name);
    for (int index = 1; index <= 40; ++index)
        EXPECT_TRUE(everywhere.count("Contact " + std::to_string(index))) << index;
    EXPECT_EQ(sim.size(), 40u - static_cast<size_t>(result.done));
}

}  // namespace
