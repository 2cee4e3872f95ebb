// Short-message answers and reports as cards write them in PDU mode: with and without the alpha
// field, spaces, text-mode words some firmware keeps, and lines that are something else.
#include "AtParsersSms.h"

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

TEST(AtParsersSms, StoredMessageHeaders)
{
    struct Case {
        const char *line;
        bool list;  // +CMGL (with index) or +CMGR
        bool parses;
        int index, stat, length;
    };
    const Case cases[] = {
        {"+CMGL: 1,0,,23", true, true, 1, 0, 23},
        {"+CMGL: 12,1,\"\",160", true, true, 12, 1, 160},
        {"+CMGL:3,2,,40", true, true, 3, 2, 40},
        {"+CMGL: 4, 3, , 18", true, true, 4, 3, 18},
        // No alpha field at all, as some firmware writes it.
        {"+CMGL: 5,1,22", true, true, 5, 1, 22},
        // Text-mode words kept in PDU mode.
        {"+CMGL: 6,\"REC UNREAD\",,30", true, true, 6, 0, 30},
        {"+CMGL: 7,5,,30", true, false, 0, 0, 0},
        {"+CMGL: 7,1,,0", true, false, 0, 0, 0},
        {"+CMGL: x,1,,20", true, false, 0, 0, 0},
        {"+CMGR: 0,,23", false, true, 0, 0, 23},
        {"+CMGR: 3,\"Ana\",40", false, true, 0, 3, 40},
        {"+CMGR: 1,30", false, true, 0, 1, 30},
        {"+CMGR: 9,,30", false, false, 0, 0, 0},
        {"+CMGS: 3", false, false, 0, 0, 0},
    };
    for (const Case &c : cases) {
        auto header = c.list ? parseCmglHeader(c.line) : parseCmgrHeader(c.line);
        ASSERT_EQ(header.has_value(), c.parses) << c.line;
        if (!header)
            continue;
        EXPECT_EQ(header->index, c.index) << c.line;
        EXPECT_EQ(header->stat, c.stat) << c.line;
        EXPECT_EQ(header->length, c.length) << c.line;
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
