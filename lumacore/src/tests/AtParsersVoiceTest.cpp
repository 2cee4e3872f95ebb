// Call lists, callers and emergency numbers as cards and SIMs write them.
#include "AtParsersVoice.h"

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

TEST(AtParsersVoice, CallListLinesAsCardsWriteThem)
{
    struct Case {
        const char *line;
        bool found;
        int index, direction, status;
        bool multiparty;
        const char *number;
    };
    const Case cases[] = {
        {"+CLCC: 1,0,2,0,0,\"5550001\",129", true, 1, 0, 2, false, "5550001"},
        {"+CLCC: 2,1,4,0,0,\"+5491140001234\",145", true, 2, 1, 4, false, "+5491140001234"},
        // International type without the '+' in the number; no number at all; spacing.
        {"+CLCC: 3,1,5,0,0,\"5491140001234\",145", true, 3, 1, 5, false, "+5491140001234"},
        {"+CLCC: 1,1,0,0,1", true, 1, 1, 0, true, ""},
        {"+CLCC:1, 1, 1, 0, 1, \"\", 128", true, 1, 1, 1, true, ""},
        {"+CLCC: 4,0,3,0,0,\"555 0001\",129,\"Ana\",0", true, 4, 0, 3, false, "5550001"},
        {"+CLCC: 0,0,0,0,0", false, 0, 0, 0, false, ""},
        {"+CLCC: 1,2,0,0,0", false, 0, 0, 0, false, ""},
        {"+CLCC: x", false, 0, 0, 0, false, ""},
        {"+CLIP: \"5550001\",129", false, 0, 0, 0, false, ""},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.line);
        auto entry = parseClccLine(test.line);
        ASSERT_EQ(entry.has_value(), test.found);
        if (!entry)
            continue;
        EXPECT_EQ(entry->index, test.index);
        EXPECT_EQ(entry->direction, test.direction);
        EXPECT_EQ(entry->status, test.status);
        EXPECT_EQ(entry->multiparty, test.multiparty);
        EXPECT_EQ(entry->number, test.number);
    }
}

// The caller's number from a ring or a waiting call; withheld and unavailable numbers come empty
// whatever the card put in the field; a waiting data call and a query answer are no caller.
TEST(AtParsersVoice, CallersOfRingsAndWaitingCalls)
{
    struct Case {
        const char *line;
        bool found;
        const char *number;
    };
    const Case cases[] = {
        {"+CLIP: \"+5491140001234\",145,,,,0", true, "+5491140001234"},
        {"+CLIP: \"5550001\",129", true, "5550001"},
        {"+CLIP:\"5491140001234\",145", true, "+5491140001234"},
        {"+CLIP: \"\",128,,,,1", true, ""},
        {"+CLIP: \"5550001\",129,,,\"Ana\",1", true, ""},
        {"+CLIP: \"Anonymous\",128,,,,2", true, ""},
        {"+CCWA: \"5550009\",129,1", true, "5550009"},
        {"+CCWA: \"+5491140001234\",145,1,\"Ana\",0", true, "+5491140001234"},
        {"+CCWA: \"\",128,1,,1", true, ""},
        {"+CCWA: \"5550009\",129,2", false, ""},
        {"+CCWA: 1,1", false, ""},
        {"RING", false, ""},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.line);
        auto caller = std::string(test.line).rfind("+CCWA", 0) == 0 ? parseCcwaLine(test.line)
                                                                    : parseClipLine(test.line);
        ASSERT_EQ(caller.has_value(), test.found);
        if (caller) {
            EXPECT_EQ(caller->number, test.number);
        }
    }
    EXPECT_TRUE(isVoiceRing("RING"));
    EXPECT_TRUE(isVoiceRing("+CRING: VOICE"));
    EXPECT_TRUE(isVoiceRing("+CRING:VOICE/REL ASYNC"));
    EXPECT_FALSE(isVoiceRing("+CRING: REL ASYNC"));
    EXPECT_FALSE(isVoiceRing("+CRING: FAX"));
}

// EF-ECC from a SIM (transparent, 3 bytes a number) and a USIM (records with alpha and
// category), sized by the file's GET RESPONSE in either form.
TEST(AtParsersVoice, EmergencyNumbersFromSimAndUsim)
{
    const std::vector<uint8_t> simHeader{0x00, 0x00, 0x00, 0x09, 0x6F, 0xB7, 0x04, 0x00, 0x00,
                                         0xFF, 0xFF, 0x01, 0x02, 0x00, 0x00};
    auto sim = parseSimFileInfo(simHeader);
    ASSERT_TRUE(sim);
    EXPECT_EQ(sim->size, 9u);
    EXPECT_EQ(sim->recordLength, 0u);
    EXPECT_EQ(decodeEmergencyNumbers({0x11, 0xF2, 0xFF, 0x19, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF}, 0),
              (std::vector<std::string>{"112", "911"}));
    EXPECT_EQ(decodeEmergencyNumbers({0x00, 0xF0, 0xFF, 0x80, 0xFF, 0xFF, 0x11, 0xF2, 0xFF}, 0),
              (std::vector<std::string>{"000", "08", "112"}));

    // A USIM's FCP: descriptor 82 (linear fixed, records of 8 bytes), size 80 (two records).
    const std::vector<uint8_t> fcp{0x62, 0x14, 0x82, 0x05, 0x42, 0x21, 0x00, 0x08, 0x02,
                                   0x83, 0x02, 0x6F, 0xB7, 0x8A, 0x01, 0x05, 0x80, 0x02,
                                   0x00, 0x10, 0x88, 0x00};
    auto usim = parseSimFileInfo(fcp);
    ASSERT_TRUE(usim);
    EXPECT_EQ(usim->size, 16u);
    EXPECT_EQ(usim->recordLength, 8u);
    const std::vector<uint8_t> records{0x11, 0xF2, 0xFF, 'P', 'o', 'l', 0xFF, 0x01,
                                       0x99, 0xF9, 0xFF, 'A', 'm', 'b', 0xFF, 0x02};
    EXPECT_EQ(decodeEmergencyNumbers(records, 8), (std::vector<std::string>{"112", "999"}));

    EXPECT_FALSE(parseSimFileInfo({0x62, 0x03, 0x82, 0x01, 0x01}));
    EXPECT_FALSE(parseSimFileInfo({0x00, 0x01}));
}

}  // namespace
