// Phonebook answers as cards write them: spacing, quotes inside names, empty entries, trailing
// fields, names in every character set, numbers in UCS-2 hex.
#include "AtLine.h"
#include "AtParsersPhonebook.h"

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

TEST(AtParsersPhonebook, EntriesAsCardsWriteThem)
{
    using enum PhonebookCharset;
    struct Case {
        const char *line;
        PhonebookCharset charset;
        bool parses;
        int index;
        const char *number;
        const char *name;
    };
    const Case cases[] = {
        {"+CPBR: 1,\"+5491140001111\",145,\"Ana\"", Ira, true, 1, "+5491140001111", "Ana"},
        // An international number some cards give without its '+'.
        {"+CPBR: 7,\"5491140001111\",145,\"Ana\"", Ira, true, 7, "+5491140001111", "Ana"},
        {"+CPBR: 1,\"\",129,\"\"", Ira, true, 1, "", ""},
        {"+CPBR:3,\"112\",129,\"SOS\"", Ira, true, 3, "112", "SOS"},
        {"+CPBR: 4, \"0800\" , 129 , \"Help desk\"", Ira, true, 4, "0800", "Help desk"},
        // Trailing fields (hidden flag, group, second text) after the name.
        {"+CPBR: 5,\"123\",129,\"Bob\",0,\"\",\"\"", Ira, true, 5, "123", "Bob"},
        // Quotes inside a name, which cards do not escape.
        {"+CPBR: 6,\"123\",129,\"Joe \"Jr\"\"", Ira, true, 6, "123", "Joe \"Jr\""},
        {"+CPBR: 8,\"123\",129,\"A, B\"", Ira, true, 8, "123", "A, B"},
        // UCS2: Cyrillic, Chinese, the GSM alphabet's own letters, a surrogate pair.
        {"+CPBR: 2,\"+79161234567\",145,\"041804320430043D\"", Ucs2, true, 2, "+79161234567",
         "Иван"},
        {"+CPBR: 9,\"10086\",129,\"738B5C0F660E\"", Ucs2, true, 9, "10086", "王小明"},
        {"+CPBR: 10,\"1\",129,\"004000A300E900F1\"", Ucs2, true, 10, "1", "@£éñ"},
        {"+CPBR: 11,\"1\",129,\"D83DDE00\"", Ucs2, true, 11, "1", "😀"},
        // The SIM's alpha field handed over as stored (0x80 coding, FF padding).
        {"+CPBR: 12,\"1\",129,\"80041804320430FFFF\"", Ucs2, true, 12, "1", "Ива"},
        {"+CPBR: 12,\"1\",129,\"80041804320430FFFFFFFFFFFFFFFF\"", Ucs2, true, 12, "1", "Ива"},
        {"+CPBR: 12,\"1\",129,\"8004180432\"", Ucs2, true, 12, "1", "Ив"},
        // A name that starts with U+8001 is text, not an alpha field.
        {"+CPBR: 12,\"1\",129,\"80010041\"", Ucs2, true, 12, "1", "老A"},
        // The number in UCS-2 hex too.
        {"+CPBR: 13,\"002B0031003200330034\",145,\"0041\"", Ucs2, true, 13, "+1234", "A"},
        // Plain text in spite of UCS2.
        {"+CPBR: 14,\"555\",129,\"Zoe\"", Ucs2, true, 14, "555", "Zoe"},
        // The GSM set: '@' is septet 0, '£' 1, 'é' 5, 'ñ' 0x7D, the euro an escape pair.
        {"+CPBR: 15,\"1\",129,\"\x01\x05\x7D\x1B\x65\"", Gsm, true, 15, "1", "£éñ€"},
        {"+CPBF: 16,\"99\",129,\"Find\"", Ira, true, 16, "99", "Find"},
        // No type field: the number tells it.
        {"+CPBR: 17,\"+4917612345678\",\"Anna\"", Ira, true, 17, "+4917612345678", "Anna"},
        {"+CPBR: 18,\"112\",\"0053004F0053\"", Ucs2, true, 18, "112", "SOS"},
        {"+CPBR: 6,\"\",,\"005300740061006E006C006500790020005000610075006C\"", Ucs2, true, 6, "",
         "Stanley Paul"},
        {"+CPBR: 19,\"123\",\"129\",\"Bob\"", Ira, true, 19, "123", "Bob"},
        // Hidden flag, group, second number, second text, e-mail; a date; an unquoted extra.
        {"+CPBR: 5,\"+491701234567\",145,\"Bob\",0,\"Work\",\"+49301234\",145,\"\",\"b@x.org\"", Ira,
         true, 5, "+491701234567", "Bob"},
        {"+CPBR: 1,\"+60122256476\",145,\"\",\"08/07/04\",\"17:24:55\"", Ira, true, 1,
         "+60122256476", ""},
        {"+CPBR: 20,\"10086\",129,\"4E2D56FD79FB52A8\",0", Ucs2, true, 20, "10086", "中国移动"},
        {"+CPBR: 21,\"123\",129,\"Bob\",Work", Ira, true, 21, "123", "Bob"},
        {"+CPBR: 23 , \"555\" , 129 , \"Zed\" , 0", Ira, true, 23, "555", "Zed"},
        {"+CPBR: x,\"1\",129,\"A\"", Ira, false, 0, "", ""},
        {"+CPBR: 1,\"1\",999,\"A\"", Ira, false, 0, "", ""},
        {"+CPBR: 1,\"1", Ira, false, 0, "", ""},
        {"+CPBS: \"SM\",1,250", Ira, false, 0, "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        auto entry = parseCpbrResponse(c.line, c.charset);
        ASSERT_EQ(entry.has_value(), c.parses);
        if (!entry)
            continue;
        EXPECT_EQ(entry->index, c.index);
        EXPECT_EQ(entry->number, c.number);
        EXPECT_EQ(entry->name, c.name);
    }
    // '@' is septet 0: the name keeps it wherever it stands.
    std::string withAt = std::string("+CPBR: 1,\"1\",129,\"") + '\0' + "home\"";
    EXPECT_EQ(parseCpbrResponse(withAt, PhonebookCharset::Gsm)->name, "@home");
}

TEST(AtParsersPhonebook, RangesAndStorageStatus)
{
    struct RangeCase {
        const char *line;
        bool parses;
        int first, last, numberLength, textLength;
    };
    const RangeCase ranges[] = {
        {"+CPBR: (1-250),20,14", true, 1, 250, 20, 14},
        {"+CPBR: (1-250),40,18,0,0,0", true, 1, 250, 40, 18},
        {"+CPBR: (0-99), 40, 16", true, 0, 99, 40, 16},
        {"+CPBR: 1-100,20,14", true, 1, 100, 20, 14},
        {"+CPBR: (250-1),20,14", false, 0, 0, 0, 0},
        {"+CPBR: (1-250),20", false, 0, 0, 0, 0},
        {"+CPBR: (1),20,14", false, 0, 0, 0, 0},
    };
    for (const auto &c : ranges) {
        SCOPED_TRACE(c.line);
        auto range = parseCpbrTestResponse(c.line);
        ASSERT_EQ(range.has_value(), c.parses);
        if (range) {
            EXPECT_EQ(range->first, c.first);
            EXPECT_EQ(range->last, c.last);
            EXPECT_EQ(range->numberLength, c.numberLength);
            EXPECT_EQ(range->textLength, c.textLength);
        }
    }
    auto full = parseCpbsQueryResponse("+CPBS: \"SM\",250,250");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->storage, "SM");
    EXPECT_EQ(full->used, 250);
    EXPECT_EQ(full->total, 250);
    auto bare = parseCpbsQueryResponse("+CPBS: \"ME\"");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->used, -1);
    EXPECT_FALSE(parseCpbsQueryResponse("+CPBS: \"SM\",251,250"));
    EXPECT_FALSE(parseCpbsQueryResponse("+CPBS: \"SM\",3"));

    auto sets = parseCscsTestResponse("+CSCS: (\"IRA\",\"GSM\",\"ucs2\")");
    ASSERT_TRUE(sets);
    EXPECT_EQ(*sets, (std::vector<std::string>{"IRA", "GSM", "UCS2"}));
    EXPECT_EQ(parseCscsQueryResponse("+CSCS: \"GSM\""), "GSM");
}

TEST(AtParsersPhonebook, NamesForWritingInEachSet)
{
    EXPECT_EQ(phonebookTextFor("@£é", PhonebookCharset::Ucs2), "004000A300E9");
    EXPECT_EQ(phonebookTextFor("王", PhonebookCharset::Ucs2), "738B");
    EXPECT_EQ(phonebookTextFor("😀", PhonebookCharset::Ucs2), "D83DDE00");
    EXPECT_EQ(phonebookTextFor("@£é€", PhonebookCharset::Gsm),
              std::string("\x00\x01\x05\x1B\x65", 5));
    // Outside the set, or a quote that would end the field.
    EXPECT_FALSE(phonebookTextFor("Иван", PhonebookCharset::Gsm));
    EXPECT_FALSE(phonebookTextFor("say \"hi\"", PhonebookCharset::Gsm));
    EXPECT_FALSE(phonebookTextFor("José", PhonebookCharset::Ira));
    EXPECT_EQ(phonebookTextFor("Jose", PhonebookCharset::Ira), "Jose");
}

}  // namespace

namespace {

TEST(AtParsersPhonebook, NulInsideALineIsTheGsmAt)
{
    AtDialogue dialogue;
    dialogue.beginCommand("AT+CPBR=1");
    AtDialogue::Output out;
    std::string bytes =
        std::string("\0\0\r\n+CPBR: 1,\"1\",129,\"", 22) + '\0' + "home\"\r\nOK\r\n";
    dialogue.feed(bytes.data(), bytes.size(), out);
    ASSERT_TRUE(out.answer);
    ASSERT_EQ(out.answer->lines.size(), 1u);
    EXPECT_EQ(parseCpbrResponse(out.answer->lines[0], PhonebookCharset::Gsm)->name, "@home");
}

}  // namespace
