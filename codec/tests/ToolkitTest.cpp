// Proactive commands and terminal responses written out by hand, byte by byte, from the examples
// and conformance sequences of the toolkit standards (TS 102 223, TS 102 384 / TS 31.124).
#include "codec/Hex.h"
#include "codec/Toolkit.h"

#include <gtest/gtest.h>

namespace codec::toolkit {
namespace {

std::vector<uint8_t> bytes(std::string hex)
{
    std::erase(hex, ' ');
    auto out = bytesFromHex(hex);
    EXPECT_TRUE(out) << hex;
    return out.value_or(std::vector<uint8_t>{});
}

std::string hex(const std::vector<uint8_t> &data) { return hexFromBytes(data); }

ProactiveCommand decoded(const char *text)
{
    auto command = decodeProactiveCommand(bytes(text));
    EXPECT_TRUE(command) << command.error();
    return command ? *command : ProactiveCommand{};
}

TEST(Toolkit, ReadsTheConformanceCommands)
{
    struct Case {
        const char *name;
        const char *command;
        uint8_t type;
        std::optional<std::string> alpha = std::nullopt;
        std::optional<std::string> text = std::nullopt;
        std::vector<MenuItem> items = {};
        uint8_t minLength = 0;
        uint8_t maxLength = 0;
    };
    const std::vector<MenuItem> fourItems{{1, "Item 1"}, {2, "Item 2"}, {3, "Item 3"}, {4, "Item 4"}};
    const Case cases[] = {
        {"DISPLAY TEXT, 8-bit text, wait for the user",
         "D0 1A"
         " 81 03 01 21 80"        // command 1, DISPLAY TEXT, qualifier: high priority off, wait
         " 82 02 81 02"           // from the UICC to the display
         " 8D 0F 04 546F6F6C6B697420546573742031",  // 8-bit: "Toolkit Test 1"
         0x21, std::nullopt, "Toolkit Test 1"},
        {"DISPLAY TEXT, UCS-2",
         "D0 24 81 03 01 21 80 82 02 81 02"
         " 8D 19 08 0417 0414 0420 0410 0412 0421 0422 0412 0423 0419 0422 0415",
         0x21, std::nullopt, "ЗДРАВСТВУЙТЕ"},
        {"DISPLAY TEXT, packed 7-bit",
         "D0 15 81 03 01 21 00 82 02 81 02"
         " 8D 0A 00 E8329BFD4697D9EC37",  // ten septets in nine octets: "hellohello"
         0x21, std::nullopt, "hellohello"},
        {"DISPLAY TEXT, packed 7-bit whose spare bits hold a carriage return",
         "D0 13 81 03 01 21 00 82 02 81 02"
         " 8D 08 00 31D98C56B3DD1A",  // "1234567" and CR in the last seven bits
         0x21, std::nullopt, "1234567"},
        {"GET INKEY",
         "D0 15 81 03 01 22 00 82 02 81 82 8D 0A 04 456E7465722022 2B 22",  // Enter "+"
         0x22, std::nullopt, "Enter \"+\""},
        {"GET INPUT, five digits exactly",
         "D0 1B 81 03 01 23 00 82 02 81 82"
         " 8D 0C 04 456E746572203132333435"  // "Enter 12345"
         " 91 02 05 05",                     // response length: 5 to 5
         0x23, std::nullopt, "Enter 12345", {}, 5, 5},
        {"SET UP MENU, four items",
         "D0 3B 81 03 01 25 00 82 02 81 82"
         " 85 0C 546F6F6C6B6974204D656E75"  // alpha identifier "Toolkit Menu"
         " 8F 07 01 4974656D2031 8F 07 02 4974656D2032"
         " 8F 07 03 4974656D2033 8F 07 04 4974656D2034",
         0x25, "Toolkit Menu", std::nullopt, fourItems},
        {"SELECT ITEM, four items",
         "D0 3D 81 03 01 24 00 82 02 81 82"
         " 85 0E 546F6F6C6B69742053656C656374"  // "Toolkit Select"
         " 8F 07 01 4974656D2031 8F 07 02 4974656D2032"
         " 8F 07 03 4974656D2033 8F 07 04 4974656D2034",
         0x24, "Toolkit Select", std::nullopt, fourItems},
        {"SET UP MENU, UCS-2 title in the 0x81 coding",
         "D0 1E 81 03 01 25 00 82 02 81 82"
         " 85 0F 81 0C 08 97 94 A0 90 92 A1 A2 92 A3 99 A2 95"  // 12 characters on page 0x0400
         " 8F 02 01 41",
         0x25, "ЗДРАВСТВУЙТЕ", std::nullopt, {{1, "A"}}},
        {"SEND SHORT MESSAGE with its notice",
         "D0 2C 81 03 01 13 00 82 02 81 83"
         " 85 07 53656E6420534D"                             // "Send SM"
         " 8B 18 01 00 09 91 10325476F8 00 F4 0C 54657374204D657373616765",  // the TPDU, unread
         0x13, "Send SM"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto command = decoded(c.command);
        EXPECT_EQ(command.type, c.type);
        EXPECT_EQ(command.number, 1);
        EXPECT_EQ(command.source, kDeviceUicc);
        EXPECT_FALSE(command.refusal);
        EXPECT_EQ(command.alpha, c.alpha);
        EXPECT_EQ(command.text, c.text);
        ASSERT_EQ(command.items.size(), c.items.size());
        for (size_t i = 0; i < c.items.size(); ++i) {
            EXPECT_EQ(command.items[i].id, c.items[i].id);
            EXPECT_EQ(command.items[i].text, c.items[i].text);
        }
        EXPECT_EQ(command.minLength, c.minLength);
        EXPECT_EQ(command.maxLength, c.maxLength);
        EXPECT_EQ(resultWhenPerformed(command), GeneralResult::Performed);
    }
    // The null item takes the menu away.
    EXPECT_TRUE(decoded("D0 0D 81 03 01 25 00 82 02 81 82 85 00 8F 00").removesMenu());
}

TEST(Toolkit, ACommandThatCannotBeCarriedOutSaysWhy)
{
    struct Case {
        const char *name;
        const char *command;
        std::optional<GeneralResult> refusal;
        GeneralResult whenPerformed = GeneralResult::Performed;
    };
    const Case cases[] = {
        {"GET INPUT without its response length",
         "D0 11 81 03 01 23 00 82 02 81 82 8D 06 04 456E746572", GeneralResult::RequiredValuesMissing},
        {"DISPLAY TEXT without a text", "D0 09 81 03 01 21 00 82 02 81 02",
         GeneralResult::RequiredValuesMissing},
        {"SET UP MENU without items", "D0 0B 81 03 01 25 00 82 02 81 82 85 00",
         GeneralResult::RequiredValuesMissing},
        {"no device identities", "D0 0F 81 03 01 21 00 8D 08 04 48656C6C6F2121",
         GeneralResult::RequiredValuesMissing},
        {"an object that must be understood and is not",
         "D0 10 81 03 01 21 00 82 02 81 02 8D 02 04 41 FE 01 00", GeneralResult::DataNotUnderstood},
        {"an unknown object that may be skipped",
         "D0 10 81 03 01 21 00 82 02 81 02 8D 02 04 41 7E 01 00", std::nullopt},
        {"a text in a coding not known", "D0 0D 81 03 01 21 00 82 02 81 02 8D 02 0C 41",
         GeneralResult::DataNotUnderstood},
        {"a minimum above the maximum",
         "D0 11 81 03 01 23 00 82 02 81 82 8D 02 04 41 91 02 06 05", GeneralResult::DataNotUnderstood},
        // An icon is not shown, so the text stands in for it; with no text there is nothing.
        {"an icon beside a text",
         "D0 1A 81 03 01 21 80 82 02 81 02 8D 0B 04 426173696320 49636F6E 9E 02 00 01",
         std::nullopt, GeneralResult::PerformedIconNotShown},
        {"a self-explanatory icon with an empty text",
         "D0 10 81 03 01 21 80 82 02 81 02 8D 01 04 9E 02 00 01", std::nullopt,
         GeneralResult::DataNotUnderstood},
        {"icons on the items of a menu",
         "D0 14 81 03 01 25 00 82 02 81 82 85 01 4D 8F 02 01 41 9F 02 01 05", std::nullopt,
         GeneralResult::PerformedIconNotShown},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto command = decoded(c.command);
        EXPECT_EQ(command.refusal, c.refusal);
        if (!c.refusal) {
            EXPECT_EQ(resultWhenPerformed(command), c.whenPerformed);
        }
    }
}

TEST(Toolkit, RefusesWhatIsNoCommandAtAll)
{
    const char *const broken[] = {
        "",
        "D1 03 81 03 01",                             // not a proactive command
        "D0 10 81 03 01 21 00",                       // shorter than its length says
        "D0 07 81 03 01 21 00 82 05 81",              // an object runs past the command
        "D0 04 82 02 81 02",                          // no command details
        "D0 82 00 05 81 03 01 21 00",                 // a length form no command needs
        "D0 05 00 03 01 21 00",                       // a tag of 00
    };
    for (const char *text : broken) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(decodeProactiveCommand(bytes(text)));
    }
    // The long length form, for a text of more than 127 bytes.
    std::string longText = "D0 81 92 81 03 01 21 00 82 02 81 02 8D 81 86 04";
    for (int i = 0; i < 0x85; ++i)
        longText += "41";
    const auto command = decoded(longText.c_str());
    EXPECT_EQ(command.text, std::string(0x85, 'A'));
}

TEST(Toolkit, TerminalResponsesAndTheMenuEnvelope)
{
    const auto display = decoded("D0 1A 81 03 01 21 80 82 02 81 02 8D 0F 04 546F6F6C6B697420546573742031");
    EXPECT_EQ(hex(encodeTerminalResponse(display, GeneralResult::Performed)),
              "810301218082028281830100");
    EXPECT_EQ(hex(encodeTerminalResponse(display, GeneralResult::TerminalBusy, 0x01)),
              "81030121808202828183022001");

    const auto select = decoded("D0 0D 81 03 01 24 00 82 02 81 82 8F 02 02 41");
    EXPECT_EQ(hex(encodeItemResponse(select, GeneralResult::Performed, 2)),
              "810301240082028281830100900102");

    EXPECT_EQ(hex(encodeMenuSelection(2)), "D30782020181900102");
    EXPECT_EQ(*decodeMenuSelection(encodeMenuSelection(7)), 7);
    const auto chosen = decodeTerminalResponse(encodeItemResponse(select, GeneralResult::BackwardMove, 4));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->result, GeneralResult::BackwardMove);
    EXPECT_EQ(chosen->itemId, 4);
    EXPECT_EQ(hex(encodeMenuSelection(5, true)), "D30982020181900105" "1500");
}

TEST(Toolkit, AnswersAreWrittenInTheAlphabetAsked)
{
    struct Case {
        const char *name;
        uint8_t type;
        uint8_t qualifier;
        const char *answer;
        const char *textObject;  // the text string of the response, or "" when refused
    };
    const Case cases[] = {
        {"digits, 8-bit", 0x23, 0x00, "12345", "8D06043132333435"},
        {"digits refuse a letter", 0x23, 0x00, "12a", ""},
        {"dialling characters are digits", 0x23, 0x00, "*#+0", "8D05042A232B30"},
        {"digits, packed", 0x23, 0x08, "12345", "8D060031D98C5603"},
        // Seven septets leave seven spare bits, which take a carriage return.
        {"text, packed, seven septets", 0x23, 0x09, "1234567", "8D080031D98C56B3DD1A"},
        {"text, default alphabet", 0x23, 0x01, "Hallo @", "8D080448616C6C6F2000"},
        {"text refuses what the alphabet lacks", 0x23, 0x01, "Привет", ""},
        {"text, UCS-2", 0x23, 0x03, "Привет", "8D0D08041F04400438043204350442"},
        {"UCS-2 keeps characters beyond the basic plane", 0x23, 0x03, "😀", "8D0508D83DDE00"},
        {"digits, UCS-2", 0x23, 0x02, "12", "8D050800310032"},
        {"yes", 0x22, 0x04, "1", "8D020401"},
        {"no", 0x22, 0x04, "0", "8D020400"},
        {"yes/no refuses anything else", 0x22, 0x04, "y", ""},
        {"an empty answer is the null text string", 0x23, 0x01, "", "8D00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ProactiveCommand command;
        command.number = 3;
        command.type = c.type;
        command.qualifier = c.qualifier;
        const auto response = encodeInputResponse(command, GeneralResult::Performed, c.answer);
        if (!*c.textObject) {
            EXPECT_FALSE(response);
            continue;
        }
        ASSERT_TRUE(response) << response.error();
        const std::string head = hex(encodeTerminalResponse(command, GeneralResult::Performed));
        EXPECT_EQ(hex(*response), head + c.textObject);
        // What the terminal writes, the card reads back.
        const auto read = decodeTerminalResponse(*response);
        ASSERT_TRUE(read) << read.error();
        EXPECT_EQ(read->number, 3);
        EXPECT_EQ(read->text, c.answer);
    }
}

}  // namespace
}  // namespace codec::toolkit
