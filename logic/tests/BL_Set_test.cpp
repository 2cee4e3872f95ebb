#include "logic/BL_Set.h"
#include "lumacore/fake/FakeLumacore.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class FieldLimitsTest : public ::testing::Test {
protected:
    void SetUp() override { lumacore_fake::reset(); }
    void TearDown() override { lumacore_fake::reset(); }
};

TEST_F(FieldLimitsTest, MessageLimitsFollowTheStorageCodings)
{
    lumacore_fake::onCall(&_MEC_GetFieldSizes, [](_MEC_FIELD_SIZES *sizes) -> MEC_STATUS {
        EXPECT_EQ(sizes->size, 762u);
        sizes->messageBits = 1120;
        sizes->messageCapacity = sizes->storage == 0 ? 30 : 500;
        sizes->messageCodings = sizes->storage == 1 ? 0x06 : 0x07;  // the card lacks 7-bit
        sizes->nameBits = 14 * 8;
        sizes->nameCoding = 0x02;
        sizes->numberBits = 20 * 8;
        sizes->numberCoding = 0x02;
        sizes->contactCapacity = 250;
        sizes->numberSlots = sizes->storage == 0 ? 1 : 5;
        std::strcpy(sizes->numberCharacters, "0123456789+*#pw");
        return 0;
    });
    TBLSet settings;
    ASSERT_EQ(settings.LoadFieldLimits(), 0);
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_GetFieldSizes").size(), 3u);

    FieldLimits limits;
    settings.GetFieldLimits(0, CODING_8BIT, &limits);
    EXPECT_EQ(limits.values[10], 160);
    EXPECT_EQ(limits.values[11], 153);
    EXPECT_EQ(limits.values[12], 30);
    EXPECT_EQ(limits.values[2], 14);
    EXPECT_EQ(limits.values[9], 1);
    settings.GetFieldLimits(0, CODING_UCS2, &limits);
    EXPECT_EQ(limits.values[10], 70);
    EXPECT_EQ(limits.values[11], 67);
    EXPECT_EQ(limits.values[2], 7);   // name halves for UCS-2
    EXPECT_EQ(limits.values[3], 20);  // the number keeps its 8-bit limit
    settings.GetFieldLimits(1, CODING_8BIT, &limits);
    EXPECT_EQ(limits.values[10], 140);
    EXPECT_EQ(limits.values[11], 134);
    settings.GetFieldLimits(2, 1, &limits);
    EXPECT_EQ(limits.values[0], 0);  // coding 1 gives zeros
    EXPECT_STREQ(settings.NumberCharacters(), "0123456789+*#pw");
}

TEST_F(FieldLimitsTest, AStorageTheEngineCannotDescribeStaysZeroAndItsStatusIsReported)
{
    lumacore_fake::onCall(&_MEC_GetFieldSizes, [](_MEC_FIELD_SIZES *sizes) -> MEC_STATUS {
        if (sizes->storage == 0) {
            return MEC_ERR_NO_SIM;
        }
        sizes->messageBits = 1120;
        sizes->messageCodings = 1;
        return 0;
    });
    TBLSet settings;
    EXPECT_EQ(settings.LoadFieldLimits(), MEC_ERR_NO_SIM);
    FieldLimits limits;
    settings.GetFieldLimits(0, CODING_8BIT, &limits);
    EXPECT_EQ(limits.values[10], 0);
    settings.GetFieldLimits(2, CODING_8BIT, &limits);
    EXPECT_EQ(limits.values[10], 160);
}

}  // namespace
