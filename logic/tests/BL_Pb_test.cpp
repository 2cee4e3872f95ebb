#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "logic/BL_Pb.h"
#include "logic/BL_PbCut.h"
#include "lumacore/fake/FakePhonebook.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Field sizes as the engine gives them for a SIM of `simCapacity` entries with names of 14
// bytes, a card of 3 entries and a PC of `pcCapacity`.
void scriptFieldSizes(uint32_t simCapacity, uint32_t pcCapacity = 5)
{
    lumacore_fake::onCall(&_MEC_GetFieldSizes,
                          [simCapacity, pcCapacity](_MEC_FIELD_SIZES *sizes) -> MEC_STATUS {
                              const uint8_t storage = sizes->storage;
                              if (storage == PB_PC) {
                                  sizes->nameBits = 127 * 8;
                                  sizes->nameCoding = 6;
                                  sizes->emailBits = 129 * 8;
                                  sizes->emailCoding = 6;
                                  sizes->noteBits = 127 * 8;
                                  sizes->noteCoding = 6;
                                  sizes->numberSlots = 5;
                                  sizes->contactCapacity = pcCapacity;
                                  std::strcpy(sizes->numberCharacters, "0123456789+*#");
                              } else {
                                  sizes->nameBits = 14 * 7;
                                  sizes->nameCoding = 5;
                                  sizes->numberSlots = 1;
                                  sizes->contactCapacity = storage == PB_SIM ? simCapacity : 3;
                              }
                              sizes->numberBits = 20 * 8;
                              sizes->numberCoding = 2;
                              return 0;
                          });
}

_MEC_CONTACT_RECORD contact(uint8_t storage, const char *name, const char *number)
{
    _MEC_CONTACT_RECORD record{};
    record.storage = storage;
    platform::copyToField(record.name, sizeof record.name, name);
    platform::copyToField(record.numbers[0].number, sizeof record.numbers[0].number, number);
    return record;
}

class PhonebookStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::forceSystemCodePage("UTF-8");
        lumacore_fake::reset();
        phonebook = std::make_unique<FakePhonebook>();
        scriptFieldSizes(250);
        ASSERT_EQ(settings.LoadFieldLimits(), 0);
    }
    void TearDown() override
    {
        lumacore_fake::reset();
        platform::forceSystemCodePage("");
    }

    TBLSet settings;
    std::unique_ptr<FakePhonebook> phonebook;
};

TEST(PhonebookCut, NamesAreCutByTheirAlphabet)
{
    platform::forceSystemCodePage("UTF-8");
    FieldLimits eightBit{};
    FieldLimits ucs2{};
    eightBit.values[2] = 14;
    ucs2.values[2] = 6;
    struct Case {
        const char *name;
        const char *kept;
    };
    const Case cases[] = {
        {"Abcdefghijklmnopqrst", "Abcdefghijklmn"},  // GSM: the first 14 characters
        {"Иван Петрович", "Иван П"},                 // UCS-2: 6 units
        {"王小明王小明王小明", "王小明王小明"},
        // Once the last non-GSM character is gone the 7-bit limit applies, or the card would
        // refuse the name.
        {"Abcdefghijklmnopqrstu Ж", "Abcdefghijklmn"},
        // A surrogate pair counts two units and goes whole.
        {"😀😀😀😀", "😀😀😀"},
        // The SIM counts a GSM letter once, though it takes two bytes here.
        {"Josééééééééééééé", "Josééééééééééé"},
        // Extension characters take two septets each; the euro sign is one of them.
        {"Åse €5 [abcdef]", "Åse €5 [abcd"},
        // A letter the GSM set lacks makes the name UCS-2, whatever a message would fold it to.
        {"François Dupont", "Franço"},
        {"", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto record = contact(0, c.name, "");
        CutContactToLimits(record, eightBit, ucs2, false);
        EXPECT_STREQ(record.name, c.kept);
    }
    // The PC's UCS-2 name limit is 128 bytes whatever its record says: 64 units.
    eightBit.values[2] = 127;
    std::string longCyrillic;
    for (int i = 0; i < 100; ++i)
        longCyrillic += "Ж";
    auto pc = contact(2, longCyrillic.c_str(), "");
    CutContactToLimits(pc, eightBit, ucs2, true);
    EXPECT_EQ(platform::ansiToUtf16(pc.name).size(), 63u);  // 63 characters fill 127 bytes
    // The PC keeps bytes: brackets, two septets on a SIM, take one byte each there.
    auto brackets = contact(2, std::string(100, '[').c_str(), "");
    CutContactToLimits(brackets, eightBit, ucs2, true);
    EXPECT_EQ(std::string(brackets.name), std::string(100, '['));
    platform::forceSystemCodePage("");
}

TEST(PhonebookCut, FieldsAndNumberSlotsTheStorageDoesNotKeep)
{
    FieldLimits eightBit{};
    FieldLimits ucs2{};
    eightBit.values[2] = 14;
    eightBit.values[3] = 20;
    eightBit.values[9] = 1;
    auto record = contact(0, "Ana", "+5491140001111222233334444");
    platform::copyToField(record.email, sizeof record.email, "ana@example.org");
    platform::copyToField(record.note, sizeof record.note, "note");
    platform::copyToField(record.numbers[1].number, sizeof record.numbers[1].number, "555");
    record.opaqueA[3] = 7;
    CutContactToLimits(record, eightBit, ucs2, false);
    EXPECT_STREQ(record.numbers[0].number, "+5491140001111222233");
    EXPECT_STREQ(record.numbers[1].number, "");
    EXPECT_STREQ(record.email, "");
    EXPECT_STREQ(record.note, "");
    EXPECT_EQ(record.opaqueA[3], 7);
}

TEST_F(PhonebookStoreTest, AddModifyDeleteKeepListAndCounts)
{
    phonebook->put(PB_PC, "Old", "1");
    TBL_pb store(settings);
    EXPECT_EQ(store.ContactCount(PB_PC), 1);
    _MEC_CONTACT_RECORD *stored = nullptr;
    auto record = contact(PB_PC, "Ana", "+5491140001111");
    ASSERT_EQ(store.AddContact(record, &stored), 0);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->index, 2u);
    EXPECT_EQ(store.ContactCount(PB_PC), 2);

    _MEC_CONTACT_RECORD *first = nullptr;
    ASSERT_EQ(store.FirstContact(PB_PC, &first), 0);
    auto changed = *stored;
    platform::copyToField(changed.name, sizeof changed.name, "Ana Maria");
    ASSERT_EQ(store.ModifyContact(changed), 0);
    EXPECT_STREQ(phonebook->contacts(PB_PC)[2].name, "Ana Maria");
    // The cursor is left on the modified contact.
    _MEC_CONTACT_RECORD *next = nullptr;
    EXPECT_EQ(store.NextContact(PB_PC, &next), PB_END);

    phonebook->failStorage(PB_PC, 7003);
    EXPECT_EQ(store.AddContact(contact(PB_PC, "X", "1"), &stored), 7003);
    EXPECT_EQ(store.ContactCount(PB_PC), 2);
    EXPECT_EQ(store.DeleteContact(changed), 7003);
    phonebook->failStorage(PB_PC, 0);
    ASSERT_EQ(store.DeleteContact(changed), 0);
    EXPECT_EQ(store.ContactCount(PB_PC), 1);
    ASSERT_EQ(store.FirstContact(PB_PC, &first), 0);
    EXPECT_STREQ(first->name, "Old");
    EXPECT_EQ(store.NextContact(PB_PC, &next), PB_END);
}

TEST_F(PhonebookStoreTest, AFullStorageRefusesWithoutAskingTheEngine)
{
    scriptFieldSizes(2);
    ASSERT_EQ(settings.LoadFieldLimits(), 0);
    phonebook->put(PB_SIM, "A", "1");
    phonebook->put(PB_SIM, "B", "2");
    for (int i = 0; i < 3; ++i)
        phonebook->put(PB_ME, "C", "3");
    for (int i = 0; i < 5; ++i)
        phonebook->put(PB_PC, "D", "4");
    TBL_pb store(settings);
    lumacore_fake::clearCalls();
    const std::pair<uint8_t, uint16_t> cases[] = {
        {PB_SIM, PB_SIM_FULL}, {PB_ME, PB_ME_FULL}, {PB_PC, PB_PC_FULL}};
    for (const auto &[storage, code] : cases)
        EXPECT_EQ(store.AddContact(contact(storage, "E", "5"), nullptr), code);
    EXPECT_EQ(lumacore_fake::countOf("_MEC_NewContact"), 0);
}

TEST_F(PhonebookStoreTest, ReloadsOfEmptyStoragesAndTheirGroups)
{
    TBL_pb store(settings);
    EXPECT_EQ(store.ReloadStore(PB_SIM), 0);
    EXPECT_EQ(store.ReloadStore(PB_ME), PB_END);
    phonebook->put(PB_SIM, "A", "1");
    EXPECT_EQ(store.ReloadStore(PB_SIM), 0);
    EXPECT_EQ(store.ContactCount(PB_SIM), 1);

    _MEC_GROUP_RECORD groups[PB_PC_GROUP_ROOM]{};
    ASSERT_EQ(store.ListGroups(PB_SIM, groups, PB_PC_GROUP_ROOM), 1);
    EXPECT_EQ(groups[0].groupId, 65288);
    EXPECT_STREQ(groups[0].groupName, "");
    EXPECT_EQ(store.GetGroup(65288, PB_SIM, groups), PB_END);
}

TEST_F(PhonebookStoreTest, GroupIdsTableLimitAndGroupDeletion)
{
    TBL_pb store(settings);
    for (int32_t expected = 2009; expected < 2009 + 20; ++expected) {
        _MEC_GROUP_RECORD group{};
        group.storage = PB_PC;
        std::snprintf(group.groupName, sizeof group.groupName, "G%d", expected);
        ASSERT_EQ(store.AddGroup(group), 0);
        EXPECT_EQ(group.groupId, expected);
    }
    _MEC_GROUP_RECORD extra{};
    extra.storage = PB_PC;
    EXPECT_EQ(store.AddGroup(extra), PB_TABLE_FULL);
    extra.storage = PB_ME;
    EXPECT_EQ(store.AddGroup(extra), PB_NOT_PC_GROUP);
    EXPECT_EQ(store.DeleteGroup(2010, PB_ME), PB_NOT_PC_GROUP);

    EXPECT_EQ(store.DeleteGroupContacts(2010, PB_PC), PB_TABLE_FULL);  // no PC contacts at all
    auto member = contact(PB_PC, "In", "1");
    ASSERT_EQ(store.AddContactTo(member, PB_PC, 2010, nullptr), 0);
    ASSERT_EQ(store.AddContactTo(member, PB_PC, 2011, nullptr), 0);
    ASSERT_EQ(store.DeleteGroup(2010, PB_PC), 0);
    EXPECT_EQ(store.DeleteGroupContacts(2010, PB_PC), 0);
    EXPECT_EQ(store.DeleteGroupContacts(2010, PB_PC), PB_END);
    EXPECT_EQ(store.ContactCount(PB_PC), 1);
    _MEC_GROUP_RECORD named{};
    ASSERT_EQ(store.GetGroup(2011, PB_PC, &named), 0);
    EXPECT_STREQ(named.groupName, "G2011");
    EXPECT_EQ(store.GetGroup(2010, PB_PC, &named), PB_END);
    // The next id is one past the largest, not a reused one.
    _MEC_GROUP_RECORD again{};
    again.storage = PB_PC;
    ASSERT_EQ(store.AddGroup(again), 0);
    EXPECT_EQ(again.groupId, 2029);
}

TEST_F(PhonebookStoreTest, NumbersMatchOnTheirLastNineCharacters)
{
    phonebook->put(PB_PC, "National", "01140001111");
    phonebook->put(PB_PC, "Nine", "140001111");
    phonebook->put(PB_PC, "Eight", "40001111");
    TBL_pb store(settings);
    struct Case {
        const char *number;
        uint16_t status;
        const char *name;
    };
    const Case cases[] = {
        {"+5491140001111", 0, "National"},  // both end in 140001111
        {"40001111", 0, "Eight"},           // eight characters match only eight
        {"999", PB_NOT_FOUND, ""},
        {"", PB_NOT_FOUND, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.number);
        _MEC_CONTACT_RECORD found{};
        found.storage = PB_PC;
        EXPECT_EQ(store.FindContactByNumber(c.number, &found), c.status);
        EXPECT_STREQ(found.name, c.name);
    }
    _MEC_CONTACT_RECORD inSim{};
    inSim.storage = PB_SIM;
    EXPECT_EQ(store.FindContactByNumber("01140001111", &inSim), PB_NOT_FOUND);
    EXPECT_EQ(store.FindContactByNumber(nullptr, &inSim), PB_NOT_FOUND);
}

// The look-up as a walk over the storage: the first contact in list order with a slot whose last
// nine characters (or whole text, when shorter) equal the key's. The indexed look-up must answer
// the same through every kind of change.
std::string nameByWalk(TBL_pb &store, uint8_t storage, std::string_view key)
{
    const auto tail = [](std::string_view text) {
        return text.size() > 9 ? text.substr(text.size() - 9) : text;
    };
    _MEC_CONTACT_RECORD *record = nullptr;
    for (uint16_t status = store.FirstContact(storage, &record); status == 0 && !key.empty();
         status = store.NextContact(storage, &record)) {
        for (const auto &slot : record->numbers) {
            const std::string_view number = platform::fieldText(slot.number, sizeof slot.number);
            if (!number.empty() && tail(number) == tail(key))
                return record->name;
        }
    }
    return "(none)";
}

TEST_F(PhonebookStoreTest, IndexedLookupAgreesWithTheWalkThroughEveryChange)
{
    phonebook->put(PB_PC, "National", "01140001111");
    phonebook->put(PB_PC, "Same tail later", "+5491140001111");
    phonebook->put(PB_PC, "Eight", "40001111");
    phonebook->put(PB_PC, "Ten", "0040001111");
    auto &third = phonebook->put(PB_PC, "Third slot", "");
    std::strcpy(third.numbers[4].number, "*31#0229876543");
    std::strcpy(third.numbers[2].number, "229876543");  // the same tail twice in one contact
    phonebook->put(PB_PC, "Longest", std::string(39, '7').c_str());
    phonebook->put(PB_SIM, "Sim", "140001111");
    scriptFieldSizes(250, 20);
    ASSERT_EQ(settings.LoadFieldLimits(), 0);
    TBL_pb store(settings);

    const std::string keys[] = {
        "+5491140001111", "01140001111", "140001111", "40001111", "040001111", "0040001111",
        "1",              "",            "229876543", "+540229876543", std::string(39, '7'),
        std::string(60, '7'), "99140001111", "4000111",
    };
    const auto agree = [&](const char *when) {
        for (const uint8_t storage : {PB_PC, PB_SIM, PB_ME}) {
            for (const std::string &key : keys) {
                SCOPED_TRACE(std::string(when) + ", storage " + std::to_string(storage) +
                             ", key " + key);
                const std::string expected = nameByWalk(store, storage, key);
                _MEC_CONTACT_RECORD found{};
                found.storage = storage;
                const uint16_t status = store.FindContactByNumber(key.c_str(), &found);
                EXPECT_EQ(status == 0 ? std::string(found.name) : "(none)", expected);
                // The cursor rests on the contact found, or past the end.
                _MEC_CONTACT_RECORD *next = nullptr;
                if (status != 0 && !key.empty()) {
                    EXPECT_EQ(store.NextContact(storage, &next), PB_END);
                }
            }
        }
    };
    agree("as loaded");
    ASSERT_EQ(store.ReloadStore(PB_SIM), 0);
    agree("SIM read");

    // Added at the end: an earlier holder of the same tail still answers.
    _MEC_CONTACT_RECORD *added = nullptr;
    ASSERT_EQ(store.AddContact(contact(PB_PC, "Added", "+4915140001111"), &added), 0);
    ASSERT_EQ(store.AddContact(contact(PB_PC, "New tail", "+4930555000111"), nullptr), 0);
    agree("after adding");

    // The first holder's number changes: the next holder answers; its new number finds it.
    _MEC_CONTACT_RECORD changed = phonebook->contacts(PB_PC)[1];
    platform::copyToField(changed.numbers[0].number, sizeof changed.numbers[0].number, "4000111");
    ASSERT_EQ(store.ModifyContact(changed), 0);
    agree("after editing");
    phonebook->failStorage(PB_PC, 7003);
    platform::copyToField(changed.numbers[0].number, sizeof changed.numbers[0].number, "1");
    EXPECT_EQ(store.ModifyContact(changed), 7003);
    EXPECT_EQ(store.DeleteContact(*added), 7003);
    agree("after refused changes");
    phonebook->failStorage(PB_PC, 0);

    ASSERT_EQ(store.DeleteContact(phonebook->contacts(PB_PC)[2]), 0);
    agree("after deleting");
    phonebook->put(PB_PC, "Back", "01140001111");
    ASSERT_EQ(store.ReloadStore(PB_PC), 0);
    agree("PC read again");
}

TEST(PhonebookForwarding, MessagesCarryTheNameOfTheirSender)
{
    lumacore_fake::reset();
    FakePhonebook phonebook;
    phonebook.put(PB_SIM, "Sim Ana", "01140001111");
    phonebook.put(PB_PC, "Pc Bob", "0229");
    lumacore_fake::onCall(&_MEC_GetFirstMessage,
                          [](uint8_t, _MEC_SMS_RECORD *record) -> MEC_STATUS {
                              if (record->storage != SMS_STORE_PC)
                                  return PB_END;
                              record->index = 1;
                              record->status = 1;
                              std::strcpy(record->sender, "+5491140001111");
                              std::strcpy(record->text, "hi");
                              return 0;
                          });
    lumacore_fake::setResult("_MEC_GetNextMessage", PB_END);
    ASSERT_EQ(StartBusinessLogic(0, 400, 0), 0);
    LoadPcLists();
    ASSERT_EQ(ReloadStore(PB_SIM), 0);
    SmsItem item{};
    item.storage = SMS_STORE_PC;
    ASSERT_EQ(SmsGetFirstMessage(&item), 0);
    EXPECT_STREQ(item.contactName, "Sim Ana");  // not in the PC or the card: the SIM's
    EXPECT_EQ(StopBusinessLogic(), 0);
    lumacore_fake::reset();
}

TEST(PhonebookForwarding, WithoutTheRootTheStoreIsNotReached)
{
    ASSERT_EQ(BusinessLogic(), nullptr);
    _MEC_GROUP_RECORD group{};
    EXPECT_EQ(AddGroup(&group), BL_ROOT_NOT_CREATED);
    EXPECT_EQ(RenameGroup(&group), BL_ROOT_NOT_CREATED);
    _MEC_CONTACT_RECORD record{};
    EXPECT_EQ(AddContact(&record, nullptr), BL_ROOT_NOT_CREATED);
    EXPECT_EQ(ContactCount(PB_PC), 0);
    EXPECT_EQ(FindContactByNumber("1", &record), PB_NOT_FOUND);
    EXPECT_EQ(ListGroups(PB_SIM, &group, 1), 0);
}

}  // namespace
