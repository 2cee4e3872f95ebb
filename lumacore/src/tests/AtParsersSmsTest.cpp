// Short-message answers and reports as cards write them in PDU mode: with and without the alpha
// field, spaces, text-mode words some firmware keeps, and lines that are something else.
#include "AtParsersSms.h"

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

// A message the card lists or reads is never lost to the shape of its header: fields missing or
// added, spacing, text-mode words, a blank line before the PDU. The status and length a header
// does not give come from the PDU.
TEST(AtParsersSms, StoredMessagesWhateverTheirHeaderLooksLike)
{
    const std::string deliver =
        "07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07";
    const std::string submit = "0011000B916407281553F80000AA0AE8329BFD4697D9EC37";
    struct Case {
        std::vector<std::string> lines;
        bool found;
        int index, stat, length;
    };
    const Case listed[] = {
        {{"+CMGL: 1,0,,30", deliver}, true, 1, 0, 30},
        {{"+CMGL: 12,1,\"\",30", deliver}, true, 12, 1, 30},
        {{"+CMGL:3,2,,23", submit}, true, 3, 2, 23},
        {{"+CMGL: 4, 3, , 23", submit}, true, 4, 3, 23},
        {{"+CMGL: 17,3,23", submit}, true, 17, 3, 23},  // no alpha field
        {{"+CMGL: 5,1", deliver}, true, 5, 1, 30},      // no alpha, no length
        {{"+CMGL: 6,1,,30,0,145", deliver}, true, 6, 1, 30},
        {{"+CMGL: 7,1,\"Ana\",30,\"extra\"", deliver}, true, 7, 1, 30},
        {{"+CMGL: 8,\"REC UNREAD\",,30", deliver}, true, 8, 0, 30},
        {{"+CMGL: 9,\"sto sent\",,23", submit}, true, 9, 3, 23},
        {{"+CMGL: 10,1,,30", "", deliver}, true, 10, 1, 30},
        {{"+CMGL: 11,1,,0", deliver}, true, 11, 1, 30},
        // A status no table knows: taken from the PDU's type.
        {{"+CMGL: 13,7,,30", deliver}, true, 13, 1, 30},
        {{"+CMGL: 14", submit}, true, 14, 2, 23},
        {{"+CMGL: x,1,,30", deliver}, false, 0, 0, 0},
        {{"+CMGL: 15,1,,30", "+CMGL: 16,1,,30"}, false, 0, 0, 0},
    };
    for (const Case &c : listed) {
        SCOPED_TRACE(c.lines.front());
        auto messages = parseCmglAnswer(c.lines);
        ASSERT_EQ(messages.size(), c.found ? 1u : 0u);
        if (!c.found)
            continue;
        EXPECT_EQ(messages[0].header.index, c.index);
        EXPECT_EQ(messages[0].header.stat, c.stat);
        EXPECT_EQ(messages[0].header.length, c.length);
        EXPECT_EQ(messages[0].pdu, c.lines.back());
    }
    const Case read[] = {
        {{"+CMGR: 0,,30", deliver}, true, 0, 0, 30},
        {{"+CMGR: 0,\"\",30", deliver}, true, 0, 0, 30},
        {{"+CMGR: 3,\"Ana\",23", submit}, true, 0, 3, 23},
        {{"+CMGR: 1,30", deliver}, true, 0, 1, 30},
        {{"+CMGR: 1", deliver}, true, 0, 1, 30},
        {{"+CMGR: \"REC READ\",,30,0", deliver}, true, 0, 1, 30},
        {{"+CMGR: 1,,30", " ", deliver}, true, 0, 1, 30},
        {{"+CMGR: 9,,23", submit}, true, 0, 2, 23},
        {{"+CMGS: 3", deliver}, false, 0, 0, 0},
    };
    for (const Case &c : read) {
        SCOPED_TRACE(c.lines.front());
        auto message = parseCmgrAnswer(c.lines);
        ASSERT_EQ(message.has_value(), c.found);
        if (!message)
            continue;
        EXPECT_EQ(message->header.stat, c.stat);
        EXPECT_EQ(message->header.length, c.length);
        EXPECT_EQ(message->pdu, c.lines.back());
    }
}

TEST(AtParsersSms, ListingPairsEachHeaderWithItsPdu)
{
    const std::vector<std::string> lines{
        "+CMGL: 1,1,,24", "07911326040000F0040B911346610089F60000208062917314080CC8F71D14969741F977FD07",
        // A header whose PDU line is lost: the next header is not taken for its PDU.
        "+CMGL: 2,0,,20", "+CMGL: 3,3,,17", "0011000B916407281553F80000AA0AE8329BFD4697D9EC37 ",
        // Not hexadecimal.
        "+CMGL: 4,1,,10", "garbage!"};
    auto listed = parseCmglAnswer(lines);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].header.index, 1);
    EXPECT_EQ(listed[1].header.index, 3);
    EXPECT_EQ(listed[1].pdu, "0011000B916407281553F80000AA0AE8329BFD4697D9EC37");
    EXPECT_FALSE(parseCmgrAnswer({}).has_value());
    EXPECT_TRUE(parseCmgrAnswer({"+CMGR: 0,,5", "0001000000"}).has_value());
}

TEST(AtParsersSms, ResultsAndReports)
{
    EXPECT_EQ(parseCmgsResponse("+CMGS: 12"), 12);
    EXPECT_EQ(parseCmgsResponse("+CMGS: 255,\"26/12/08,21:15:00+04\""), 255);
    EXPECT_FALSE(parseCmgsResponse("+CMGS: 256"));
    EXPECT_EQ(parseCmgwResponse("+CMGW: 21"), 21);
    EXPECT_FALSE(parseCmgwResponse("+CMGW:"));

    struct Stored {
        const char *line;
        bool parses;
        const char *storage;
        int index;
    };
    const Stored stored[] = {
        {"+CMTI: \"SM\",3", true, "SM", 3},
        {"+CMTI: \"me\", 12", true, "ME", 12},
        {"+CMTI: SM,4", true, "SM", 4},
        {"+CDSI: \"SR\",1", true, "SR", 1},
        {"+CMTI: \"SM\"", false, "", 0},
        {"+CMTI: \"SM\",-1", false, "", 0},
    };
    for (const Stored &c : stored) {
        auto report = parseCmtiReport(c.line);
        ASSERT_EQ(report.has_value(), c.parses) << c.line;
        if (report) {
            EXPECT_EQ(report->storage, c.storage);
            EXPECT_EQ(report->index, c.index);
        }
    }
    EXPECT_EQ(parseCmtReport("+CMT: ,23"), 23);
    EXPECT_EQ(parseCmtReport("+CMT: \"Ana\",40"), 40);
    EXPECT_EQ(parseCmtReport("+CMT: 30"), 30);
    EXPECT_FALSE(parseCmtReport("+CMTI: \"SM\",3"));
    EXPECT_EQ(parseCdsReport("+CDS: 25"), 25);
    EXPECT_EQ(parseCbmReport("+CBM: 88"), 88);
    EXPECT_FALSE(parseCbmReport("+CBM: 0"));
}

TEST(AtParsersSms, ServiceCentre)
{
    EXPECT_EQ(parseCscaResponse("+CSCA: \"+5491100009000\",145"), "+5491100009000");
    // An international number some cards give without its '+'.
    EXPECT_EQ(parseCscaResponse("+CSCA: \"5491100009000\",145"), "+5491100009000");
    EXPECT_EQ(parseCscaResponse("+CSCA: \"0800123\",129"), "0800123");
    EXPECT_EQ(parseCscaResponse("+CSCA: \"\",129"), "");
    EXPECT_FALSE(parseCscaResponse("+CSCA: \"abc\",129"));
}

}  // namespace
