// A phonebook store over the fake engine for the phonebook's tests: a PC of 100 contacts keeping
// five numbers, a SIM of `simCapacity` keeping `simSlots`, groups on the PC.
#pragma once

#include "logic/BL_Pb.h"
#include "logic/BL_Set.h"
#include "lumacore/fake/FakePhonebook.h"
#include "platform/ResStringManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

class PbFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!platform::stringManager())
            platform::createStringManager();  // ./language of the program folder
        lumacore_fake::reset();
        book = std::make_unique<FakePhonebook>();
        lumacore_fake::onCall(&_MEC_GetFieldSizes, [this](_MEC_FIELD_SIZES *sizes) -> MEC_STATUS {
            const bool pc = sizes->storage == PB_PC;
            sizes->nameBits = pc ? 127 * 8 : 14 * 8;
            sizes->nameCoding = pc ? 6 : 5;
            sizes->numberBits = 20 * 8;
            sizes->numberCoding = 2;
            sizes->numberSlots = pc ? 5 : simSlots;
            std::strcpy(sizes->numberCharacters, "0123456789+*#");
            sizes->emailBits = pc ? 128 * 8 : 0;
            sizes->emailCoding = 2;
            sizes->contactCapacity = pc ? 100 : sizes->storage == PB_SIM ? simCapacity : 10;
            return 0;
        });
    }
    void TearDown() override
    {
        store.reset();
        lumacore_fake::reset();
    }

    // Opens the store once the book holds what the test put in it.
    TBL_pb &open()
    {
        EXPECT_EQ(settings.LoadFieldLimits(), 0);
        store = std::make_unique<TBL_pb>(settings);
        EXPECT_EQ(store->ReloadStore(PB_SIM), 0);
        return *store;
    }

    int32_t addGroup(const char *name)
    {
        _MEC_GROUP_RECORD group{};
        group.storage = PB_PC;
        std::strncpy(group.groupName, name, sizeof group.groupName - 1);
        EXPECT_EQ(store->AddGroup(group), 0);
        return group.groupId;
    }

    _MEC_CONTACT_RECORD &put(uint8_t storage, const char *name, const char *mobile,
                             const char *home = "", const char *phone1 = "", uint32_t groupId = 0)
    {
        _MEC_CONTACT_RECORD &record = book->put(storage, name, mobile, groupId);
        std::strncpy(record.numbers[1].number, home, 39);
        std::strncpy(record.numbers[2].number, phone1, 39);
        return record;
    }

    int simSlots = 1;
    int simCapacity = 250;
    std::unique_ptr<FakePhonebook> book;
    TBLSet settings;
    std::unique_ptr<TBL_pb> store;
};
