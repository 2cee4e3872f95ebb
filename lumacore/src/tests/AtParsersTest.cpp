// Each parse function against lines as real cards send them, odd ones included.
#include "AtParsers.h"

#include <gtest/gtest.h>

using namespace lumacore;

namespace {

struct RegistrationCase {
    const char *line;
    bool solicited;
    bool valid;
    int stat;
    const char *lac;
    const char *cell;
    int technology;
};

TEST(AtParsers, RegistrationInEveryShapeCardsSend)
{
    const RegistrationCase cases[] = {
        {"+CREG: 1", false, true, 1, "", "", -1},
        {"+CREG: 0,1", true, true, 1, "", "", -1},
        {"+CREG: 2,5,\"00AF\",\"0001E3F6\"", true, true, 5, "00AF", "0001E3F6", -1},
        {"+CREG: 2,1,\"1F3A\",\"00C8D2B4\",2", true, true, 1, "1F3A", "00C8D2B4", 2},
        {"+CREG: 1,\"1F3A\",\"00C8D2B4\",2", false, true, 1, "1F3A", "00C8D2B4", 2},
        {"+CREG: 5,\"00AF\",\"0001E3F6\"", false, true, 5, "00AF", "0001E3F6", -1},
        // Unquoted hexadecimal with spaces.
        {"+CREG: 2,1, 3300, 7AE8", true, true, 1, "3300", "7AE8", -1},
        {"+CREG: 1, 3300, 7AE8", false, true, 1, "3300", "7AE8", -1},
        // The solicited form sent unasked.
        {"+CREG: 2,1,\"1F3A\",\"00C8D2B4\",7", false, true, 1, "1F3A", "00C8D2B4", 7},
        // No space after the colon, lower-case hex, 0x prefix.
        {"+CREG:2,1,\"1f3a\",\"0x00c8d2b4\"", true, true, 1, "1F3A", "00C8D2B4", -1},
        // Not registered: location left empty.
        {"+CREG: 2,0,,", true, true, 0, "", "", -1},
        {"+CREG: 2,3", true, true, 3, "", "", -1},
        {"+CREG: ", false, false, 0, "", "", -1},
        {"+CREG: 2,1,\"XYZ\",\"1234\"", true, false, 0, "", "", -1},
        {"+CREG: 1,99", true, false, 0, "", "", -1},
        {"+CGREG: 1", false, false, 0, "", "", -1},
        // Blanks inside the LAC and cell, a quote never closed, empty fields, more fields.
        {"+CREG: 2,1,\"1F 3A\",\"00C8 D2B4\",2", true, true, 1, "1F3A", "00C8D2B4", 2},
        {"+CREG: 2,1,\"1F3A,\"00C8D2B4\",2", true, true, 1, "1F3A", "00C8D2B4", 2},
        {"+CREG: 1,\"1F3A\",\"00C8D2B4", false, true, 1, "1F3A", "00C8D2B4", -1},
        {"+CREG: 2,1,,,", true, true, 1, "", "", -1},
        {"+CREG: 2,5,\"00AF\",\"0001E3F6\",2,0", true, true, 5, "00AF", "0001E3F6", 2},
        {"+CREG: 2,1,\"1F3A\",\"00C8D2B4\",7,0,11", true, true, 1, "1F3A", "00C8D2B4", 7},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        auto parsed = parseCregResponse(c.line, c.solicited);
        ASSERT_EQ(parsed.has_value(), c.valid);
        if (!c.valid)
            continue;
        EXPECT_EQ(parsed->stat, c.stat);
        EXPECT_EQ(parsed->lac, c.lac);
        EXPECT_EQ(parsed->cellId, c.cell);
        EXPECT_EQ(parsed->accessTechnology, c.technology);
    }
}

TEST(AtParsers, PacketRegistrationWithRoutingArea)
{
    auto parsed = parseCgregResponse("+CGREG: 2,1,\"1F3A\",\"00C8D2B4\",4,\"0A\"", true);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->stat, 1);
    EXPECT_EQ(parsed->accessTechnology, 4);
    auto eps = parseCeregResponse("+CEREG: 1,\"A1B2\",\"01A2B3C4\",7", false);
    ASSERT_TRUE(eps);
    EXPECT_EQ(eps->accessTechnology, 7);
}

TEST(AtParsers, RegistrationAnswerAmongReportsSlippedIn)
{
    using Lines = std::vector<std::string>;
    struct Case {
        Lines lines;
        bool found;
        int stat;
        int technology;
    };
    const Case cases[] = {
        {{"+CREG: 1,\"1F3A\",\"00C8D2B4\",2", "+CREG: 2,5,\"1F3A\",\"00C8D2B4\",6"}, true, 5, 6},
        {{"+CREG: 2,1,\"1F3A\",\"00C8D2B4\",2", "+CREG: 2"}, true, 1, 2},
        {{"+CREG: 2", "+CREG: 0,1"}, true, 1, -1},
        {{"+CREG: 1"}, true, 1, -1},
        {{"+CGREG: 0,1", "OK-ish"}, false, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lines.front());
        auto parsed = parseRegistrationAnswer(c.lines, "+CREG:");
        ASSERT_EQ(parsed.has_value(), c.found);
        if (!c.found)
            continue;
        EXPECT_EQ(parsed->stat, c.stat);
        EXPECT_EQ(parsed->accessTechnology, c.technology);
    }
}

TEST(AtParsers, OperatorQuery)
{
    struct Case {
        const char *line;
        bool valid;
        int mode;
        int format;
        const char *name;
        int technology;
    };
    const Case cases[] = {
        {"+COPS: 0,0,\"Vodafone.de\",2", true, 0, 0, "Vodafone.de", 2},
        {"+COPS: 0", true, 0, -1, "", -1},
        {"+COPS: 1,2,\"26202\",7", true, 1, 2, "26202", 7},
        {"+COPS: 0,0,\"T-Mobile D\"", true, 0, 0, "T-Mobile D", -1},
        {"+COPS: 0,0,\"AT&T, Inc\",0", true, 0, 0, "AT&T, Inc", 0},
        {"+COPS:0,0,\"Orange F\",2", true, 0, 0, "Orange F", 2},
        {"+COPS: 9,0,\"X\"", false, 0, 0, "", 0},
        {"+COPS: \"0\"", false, 0, 0, "", 0},
        {"+CSQ: 0", false, 0, 0, "", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        auto parsed = parseCopsQueryResponse(c.line);
        ASSERT_EQ(parsed.has_value(), c.valid);
        if (!c.valid)
            continue;
        EXPECT_EQ(parsed->mode, c.mode);
        EXPECT_EQ(parsed->format, c.format);
        EXPECT_EQ(parsed->name, c.name);
        EXPECT_EQ(parsed->accessTechnology, c.technology);
    }
}

TEST(AtParsers, SignalQuality)
{
    struct Case {
        const char *line;
        bool valid;
        int rssi;
    };
    const Case cases[] = {
        {"+CSQ: 18,99", true, 18},
        {"+CSQ: 18, 99", true, 18},
        {"+CSQ:31,0", true, 31},
        {"+CSQ: 99,99", true, 99},
        {"+CSQ: 0,7", true, 0},
        {"+CSQ: 12", true, 12},
        // Some cards answer in the 3G scale of the same command.
        {"+CSQ: 191,99", true, 30},
        {"+CSQ: 199,99", true, 99},
        {"+CSQ: 32,99", false, 0},
        {"+CSQ: -1,99", false, 0},
        {"+CSQ: ,", false, 0},
        {"+CSQ: 15,99,3", false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        auto parsed = parseCsqResponse(c.line);
        ASSERT_EQ(parsed.has_value(), c.valid);
        if (c.valid) {
            EXPECT_EQ(parsed->rssi, c.rssi);
        }
    }
}

TEST(AtParsers, PinState)
{
    struct Case {
        const char *line;
        std::optional<PinCode> code;
    };
    const Case cases[] = {
        {"+CPIN: READY", PinCode::Ready},
        {"+CPIN:READY", PinCode::Ready},
        {"+CPIN: READY  ", PinCode::Ready},
        {"+CPIN: \"READY\"", PinCode::Ready},
        {"+CPIN: SIM PIN", PinCode::SimPin},
        {"+CPIN: sim puk", PinCode::SimPuk},
        {"+CPIN: SIM PIN2", PinCode::SimPin2},
        {"+CPIN: PH-NET PIN", PinCode::PhoneLockPin},
        {"+CPIN: PH-NETSUB PUK", PinCode::PhoneLockPuk},
        {"+CPIN: NOT INSERTED", PinCode::NoSim},
        {"+CPIN: SIM REMOVED", PinCode::NoSim},
        {"+CPIN: NOT READY", PinCode::NotReady},
        {"+CPIN: SIM BUSY", PinCode::NotReady},
        {"+CPIN: WHATEVER", std::nullopt},
        {"+CPINR: SIM PIN,3,3", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parseCpinQueryResponse(c.line), c.code);
    }
}

TEST(AtParsers, PinRetries)
{
    auto pin = parseCpinrResponse("+CPINR: SIM PIN,3,3");
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->code, "SIM PIN");
    EXPECT_EQ(pin->retries, 3);
    auto quoted = parseCpinrResponse("+CPINR: \"SIM PUK\",10,10");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->code, "SIM PUK");
    EXPECT_EQ(quoted->retries, 10);
    EXPECT_TRUE(parseCpinrResponse("+CPINR: SIM PIN2,0"));
    EXPECT_FALSE(parseCpinrResponse("+CPINR: SIM PIN"));
    EXPECT_FALSE(parseCpinrResponse("+CPINR: SIM PIN,x,3"));
    EXPECT_FALSE(parseCpinrResponse("+CPINR: ,3,3"));
}

TEST(AtParsers, SimFileResponse)
{
    auto spn = parseCrsmResponse("+CRSM: 144,0,\"00427269736166FFFFFFFFFFFFFFFFFF\"");
    ASSERT_TRUE(spn);
    EXPECT_TRUE(spn->success());
    EXPECT_EQ(spn->data.size(), 16u);
    auto unquoted = parseCrsmResponse("+CRSM: 144,0,0054656c656b6f6d");
    ASSERT_TRUE(unquoted);
    EXPECT_EQ(unquoted->data.size(), 8u);
    auto notFound = parseCrsmResponse("+CRSM: 106,130");
    ASSERT_TRUE(notFound);
    EXPECT_FALSE(notFound->success());
    EXPECT_TRUE(notFound->data.empty());
    // "9F xx" / "91 xx" with the data already there: the data counts.
    auto pending = parseCrsmResponse("+CRSM: 159,16,\"00427269736166FFFFFFFFFFFFFFFFFF\"");
    ASSERT_TRUE(pending);
    EXPECT_TRUE(pending->success());
    auto proactive = parseCrsmResponse("+CRSM: 145,32,\"0054656c656b6f6d\"");
    ASSERT_TRUE(proactive);
    EXPECT_TRUE(proactive->success());
    auto waitingOnly = parseCrsmResponse("+CRSM: 159,16");
    ASSERT_TRUE(waitingOnly);
    EXPECT_FALSE(waitingOnly->success());
    EXPECT_FALSE(parseCrsmResponse("+CRSM: 144,0,\"ABC\""));
    EXPECT_FALSE(parseCrsmResponse("+CRSM: 300,0"));
}

TEST(AtParsers, PinCountsFromTheSimStatus)
{
    // A GSM SIM's directory answer: PIN1 initialised with 2 left, PUK1 with 10 left.
    std::vector<uint8_t> gsm = {0x00, 0x00, 0x00, 0x00, 0x7F, 0x20, 0x02, 0x00, 0x00, 0x00, 0x00,
                                0x00, 0x09, 0x13, 0x02, 0x06, 0x04, 0x00, 0x82, 0x8A, 0x83, 0x8A};
    auto counts = parseSimStatusPinCounts(gsm);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->pin, 2);
    EXPECT_EQ(counts->puk, 10);
    // PUK not initialised: unknown, never 0.
    gsm[19] = 0x0A;
    counts = parseSimStatusPinCounts(gsm);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->puk, -1);
    // A USIM's FCP template and a short answer carry no counts.
    EXPECT_FALSE(parseSimStatusPinCounts({0x62, 0x1E, 0x82, 0x02, 0x78, 0x21, 0x83, 0x02,
                                          0x7F, 0x10, 0xA5, 0x03, 0x80, 0x01, 0x71, 0x8A,
                                          0x01, 0x05, 0x8B, 0x03, 0x2F, 0x06}));
    EXPECT_FALSE(parseSimStatusPinCounts({0x00, 0x00, 0x7F}));
}

TEST(AtParsers, SmallAnswers)
{
    EXPECT_EQ(parseCfunQueryResponse("+CFUN: 1"), 1);
    EXPECT_EQ(parseCfunQueryResponse("+CFUN: 4,0"), 4);
    EXPECT_EQ(parseCfunQueryResponse("+CFUN:0"), 0);
    EXPECT_FALSE(parseCfunQueryResponse("+CFUN: on"));
    EXPECT_EQ(parseClckQueryResponse("+CLCK: 1"), 1);
    EXPECT_EQ(parseClckQueryResponse("+CLCK: 0,7"), 0);
    EXPECT_FALSE(parseClckQueryResponse("+CLCK: 2"));

    auto storages = parseCpmsQueryResponse("+CPMS: \"SM\",3,20,\"SM\",3,20,\"SM\",3,20");
    ASSERT_TRUE(storages);
    ASSERT_EQ(storages->size(), 3u);
    EXPECT_EQ((*storages)[0].memory, "SM");
    EXPECT_EQ((*storages)[0].used, 3);
    EXPECT_EQ((*storages)[0].total, 20);
    EXPECT_TRUE(parseCpmsQueryResponse("+CPMS: \"ME\",0,23,\"ME\",0,23"));
    EXPECT_FALSE(parseCpmsQueryResponse("+CPMS: \"SM\",21,20,\"SM\",3,20,\"SM\",3,20"));
    EXPECT_FALSE(parseCpmsQueryResponse("+CPMS: (\"SM\",\"ME\"),(\"SM\"),(\"SM\")"));
    // The answer to a selection: the first storage's size.
    EXPECT_EQ(parseCpmsSetTotal("+CPMS: 3,20,0,100,0,100"), 20);
    EXPECT_EQ(parseCpmsSetTotal("+CPMS: 0,30"), 30);
    EXPECT_FALSE(parseCpmsSetTotal("+CPMS: 21,20"));
    EXPECT_FALSE(parseCpmsSetTotal("+CPMS: \"SM\",3,20"));
}

TEST(AtParsers, IdentityWithAndWithoutPrefixes)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(parseCgsnResponse(Lines{"356938035643809"}), "356938035643809");
    EXPECT_EQ(parseCgsnResponse(Lines{"+CGSN: \"356938035643809\""}), "356938035643809");
    EXPECT_EQ(parseCgsnResponse(Lines{"IMEI: 356938035643809"}), "356938035643809");
    EXPECT_FALSE(parseCgsnResponse(Lines{"ERROR-ish"}));
    // Serials that are no IMEI are shown as the card gives them.
    EXPECT_EQ(parseCgsnResponse(Lines{"A1000049C3F1B2"}), "A1000049C3F1B2");
    EXPECT_EQ(parseCgsnResponse(Lines{"+CGSN: 0x80A1B2C3"}), "0x80A1B2C3");
    EXPECT_EQ(parseCgsnResponse(Lines{"MEID: A1000049C3F1B2"}), "A1000049C3F1B2");
    EXPECT_EQ(parseCgsnResponse(Lines{"35-693803-564380-9"}), "35-693803-564380-9");
    // Stray lines before the answer, as cards send after a reset.
    EXPECT_EQ(parseCgsnResponse(Lines{"RDY", "\x7f\x1b[0m#@!", "356938035643809"}),
              "356938035643809");
    EXPECT_EQ(parseCgmrResponse(Lines{"\xfe\xff", "VDC 1.0.0"}), "VDC 1.0.0");
    EXPECT_EQ(parseCgmrResponse(Lines{"^BOOT:1,0", "+CGMR: 11.608"}), "11.608");
    EXPECT_FALSE(parseCgsnResponse(Lines{}));
    EXPECT_EQ(parseCimiResponse(Lines{"722310123456789"}), "722310123456789");
    EXPECT_EQ(parseCimiResponse(Lines{"+CIMI: 262011234567890"}), "262011234567890");
    EXPECT_FALSE(parseCimiResponse(Lines{"SIM PIN"}));
    EXPECT_EQ(parseCgmrResponse(Lines{"Revision: 12.011.03.05.00"}), "12.011.03.05.00");
    EXPECT_EQ(parseCgmrResponse(Lines{"+CGMR: \"VDC 1.0.0\""}), "VDC 1.0.0");
    EXPECT_EQ(parseCgmmResponse(Lines{"E1750"}), "E1750");
}

TEST(AtParsers, NetworkTypeTexts)
{
    EXPECT_EQ(networkTypeText(0, false), "GSM");
    EXPECT_EQ(networkTypeText(0, true), "GPRS");
    EXPECT_EQ(networkTypeText(-1, false), "GSM");
    EXPECT_EQ(networkTypeText(3, true), "EDGE");
    EXPECT_EQ(networkTypeText(2, true), "UMTS");
    EXPECT_EQ(networkTypeText(4, false), "HSDPA");
    EXPECT_EQ(networkTypeText(5, false), "HSUPA");
    EXPECT_EQ(networkTypeText(6, false), "HSPA");
    EXPECT_EQ(networkTypeText(7, true), "LTE");
    EXPECT_EQ(networkTypeText(11, true), "5G");
}

}  // namespace
