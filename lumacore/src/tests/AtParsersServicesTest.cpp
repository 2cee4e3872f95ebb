// The network search and supplementary-service answers in the shapes cards write them.
#include "AtParsersServices.h"
#include "ServiceStatus.h"

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

struct SearchCase {
    const char *what;
    std::vector<std::string> lines;
    bool valid;
    // "stat|long|short|numeric|act" per network
    std::vector<std::string> networks;
};

std::string describe(const FoundOperator &found)
{
    return std::to_string(found.stat) + "|" + found.longName + "|" + found.shortName + "|" +
           found.numeric + "|" + std::to_string(found.accessTechnology);
}

TEST(AtParsersServices, NetworkSearchInEveryShapeCardsWrite)
{
    const SearchCase cases[] = {
        {"plain, with both trailing lists",
         {"+COPS: (2,\"Brisa\",\"Brisa\",\"722310\",2),(1,\"Austral Movil\",\"Austral\",\"72234\",0),,"
          "(0,1,2,3,4),(0,1,2)"},
         true,
         {"2|Brisa|Brisa|722310|2", "1|Austral Movil|Austral|72234|0"}},
        {"lists as ranges, and a forbidden network",
         {"+COPS: (3,\"Pampa Telecom\",\"Pampa\",\"72207\",0),,(0-4),(0-2)"},
         true,
         {"3|Pampa Telecom|Pampa|72207|0"}},
        {"no AcT at all, short name left out unquoted",
         {"+COPS: (2,\"Brisa\",,\"722310\"),(1,\"Austral\",,\"72234\"),,(0,1,3),(0,2)"},
         true,
         {"2|Brisa||722310|-1", "1|Austral||72234|-1"}},
        {"empty names",
         {"+COPS: (2,\"\",\"\",\"722310\",2),(1,\"\",\"\",\"72234\",0),"},
         true,
         {"2|||722310|2", "1|||72234|0"}},
        {"AcT written after the closing parenthesis",
         {"+COPS: (2,\"Brisa\",\"Brisa\",\"722310\"),2),(1,\"Austral\",\"Austral\",\"72234\"),0)"},
         true,
         {"2|Brisa|Brisa|722310|2", "1|Austral|Austral|72234|0"}},
        {"one line per network",
         {"+COPS: (2,\"Brisa\",\"Brisa\",\"722310\",2)", "+COPS: (1,\"Austral\",\"Austral\",\"72234\",0)"},
         true,
         {"2|Brisa|Brisa|722310|2", "1|Austral|Austral|72234|0"}},
        {"empty entries between networks and a broken trailing list",
         {"+COPS: (2,\"Brisa\",\"Brisa\",\"722310\",2),,(1,\"Austral\",\"Austral\",\"72234\",0),,(0, 1,)"},
         true,
         {"2|Brisa|Brisa|722310|2", "1|Austral|Austral|72234|0"}},
        {"trailing lists alone: nothing found", {"+COPS: ,,(0-4),(0-2)"}, true, {}},
        {"an empty answer: nothing found", {"+COPS: "}, true, {}},
        {"blanks inside names and around fields",
         {"+COPS: ( 1 , \"Rio - Movil\" , \"Rio\" , \"72299\" , 2 )"},
         true,
         {"1|Rio - Movil|Rio|72299|2"}},
        {"an entry without a numeric identity cannot be chosen",
         {"+COPS: (1,\"Ghost\",\"Ghost\",\"\",2),(1,\"Austral\",\"Austral\",\"72234\",0)"},
         true,
         {"1|Austral|Austral|72234|0"}},
        {"the mode lists alone look like no network", {"+COPS: (0,1,2,3),(1,2,3,4)"}, true, {}},
        {"no +COPS line", {"OK"}, false, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto parsed = parseCopsTestResponse(c.lines);
        ASSERT_EQ(parsed.has_value(), c.valid);
        if (!c.valid)
            continue;
        std::vector<std::string> got;
        for (const auto &found : *parsed)
            got.push_back(describe(found));
        EXPECT_EQ(got, c.networks);
    }
}

TEST(AtParsersServices, SystemModesOfferedAndSet)
{
    EXPECT_EQ(parseWs46QueryResponse("+WS46: 22"), 22);
    EXPECT_EQ(parseWs46QueryResponse("+WS46: x"), std::nullopt);
    EXPECT_EQ(parseWs46TestResponse("+WS46: (12,22,25)"), (std::vector<int>{12, 22, 25}));
    EXPECT_EQ(parseWs46TestResponse("+WS46: (12, 22-25)"), (std::vector<int>{12, 22, 23, 24, 25}));
    EXPECT_EQ(parseWs46TestResponse("+WS46: 25"), (std::vector<int>{25}));
    EXPECT_EQ(parseWs46TestResponse("+WS46: ()"), std::nullopt);
    EXPECT_EQ(parseWs46TestResponse("+WS46: (25-12)"), std::nullopt);
}

TEST(AtParsersServices, ForwardingLinesPerClass)
{
    struct Case {
        const char *line;
        bool valid;
        int status;
        int serviceClass;
        const char *number;
    } cases[] = {
        {"+CCFC: 0,7", true, 0, 7, ""},
        {"+CCFC: 1,1,\"+5491155550000\",145", true, 1, 1, "+5491155550000"},
        // International type without the '+' in the digits.
        {"+CCFC: 1,1,\"5491155550000\",145", true, 1, 1, "+5491155550000"},
        {"+CCFC: 1,1,\"1155550000\",129,,,20", true, 1, 1, "1155550000"},
        {"+CCFC: 1,2,\"1155550000\",129", true, 1, 2, "1155550000"},
        {"+CCFC: 1", false, 0, 0, ""},
        {"+CCFC: 2,1", false, 0, 0, ""},
        {"+CLCK: 1,1", false, 0, 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        auto parsed = parseCcfcResponse(c.line);
        ASSERT_EQ(parsed.has_value(), c.valid);
        if (!c.valid)
            continue;
        EXPECT_EQ(parsed->status, c.status);
        EXPECT_EQ(parsed->serviceClass, c.serviceClass);
        EXPECT_EQ(parsed->number, c.number);
    }
}

TEST(AtParsersServices, ServiceOnForVoiceOverClassLines)
{
    struct Case {
        std::vector<std::string> lines;
        bool voice;
    } cases[] = {
        {{"+CLCK: 0"}, false},
        {{"+CLCK: 1"}, true},      // no class: every class
        {{"+CLCK: 1,1"}, true},
        {{"+CLCK: 1,7"}, true},    // voice among data and fax
        {{"+CLCK: 1,2", "+CLCK: 1,4"}, false},
        {{"+CLCK: 0,1", "+CLCK: 1,2"}, false},
        {{"+CLCK: 1,2", "+CLCK: 1,1"}, true},
        {{"+CLCK: 2,1"}, false},
        {{}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lines));
        EXPECT_EQ(activeForVoice(c.lines, "+CLCK:"), c.voice);
    }
    EXPECT_TRUE(activeForVoice({"+CCWA: 1,1"}, "+CCWA:"));
    EXPECT_FALSE(activeForVoice({"+CCWA: 1,1"}, "+CLCK:"));
}

TEST(AtParsersServices, CallerIdSettingAndNotAnIncomingNumber)
{
    auto provisioned = parseClipQueryResponse("+CLIP: 1,1");
    ASSERT_TRUE(provisioned);
    EXPECT_EQ(provisioned->presentation, 1);
    EXPECT_EQ(provisioned->provisioned, 1);
    auto bare = parseClipQueryResponse("+CLIP: 0");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->provisioned, -1);
    // The unsolicited number of a ringing call is not the setting.
    EXPECT_FALSE(parseClipQueryResponse("+CLIP: \"+5491155550000\",145"));
    EXPECT_FALSE(parseClipQueryResponse("+CLIP: 1,3"));
}

TEST(AtParsersServices, NetworkRefusalsAreResultSevenAndTheCardSpeaksForItself)
{
    struct Case {
        uint16_t status;
        uint16_t expected;
    } cases[] = {
        {0, 0},
        {kStatusCmeBase + 30, 7},   // no network service
        {kStatusCmeBase + 31, 7},   // network time-out
        {kStatusCmeBase + 3, 7},    // operation not allowed
        {kStatusCmeBase + 262, 7},  // service not available
        {kStatusWrongPassword, 7},  // the barring password refused
        {kStatusError, 7},          // plain ERROR from a card without +CMEE
        {kStatusTimeout, kStatusTimeout},
        {kStatusNoCard, kStatusNoCard},
        {kStatusNoSim, kStatusNoSim},
        {kStatusSimBlocked, kStatusSimBlocked},
        {kStatusCmeBase + 11, kStatusCmeBase + 11},
    };
    for (const auto &c : cases)
        EXPECT_EQ(serviceStatus(c.status), c.expected) << c.status;
}

}  // namespace
