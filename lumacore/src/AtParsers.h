// One small pure function per AT response the engine reads. Each takes the line(s) as the card
// sent them and returns what they say, or nullopt when the text is not that response. Cards
// differ (spacing, quotes, missing fields); the tests hold lines from many of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumacore {

// +CREG / +CGREG / +CEREG: solicited "+CREG: <n>,<stat>[,<lac>,<ci>[,<AcT>]]" or unsolicited
// "+CREG: <stat>[,<lac>,<ci>[,<AcT>]]".
struct Registration {
    int stat = 0;     // 0 not registered, 1 home, 2 searching, 3 denied, 4 unknown, 5 roaming
    std::string lac;  // upper-case hexadecimal, empty when not given
    std::string cellId;
    int accessTechnology = -1;  // 27.007 AcT, -1 when not given
};
std::optional<Registration> parseCregResponse(std::string_view line, bool solicited);
std::optional<Registration> parseCgregResponse(std::string_view line, bool solicited);
std::optional<Registration> parseCeregResponse(std::string_view line, bool solicited);
// The answer to +CREG? / +CGREG? / +CEREG? among its information lines, with the report the
// card may have slipped in between (prefix "+CREG:" ...).
std::optional<Registration> parseRegistrationAnswer(const std::vector<std::string> &lines,
                                                    std::string_view prefix);

// +COPS? : "+COPS: <mode>[,<format>,<oper>[,<AcT>]]".
struct OperatorQuery {
    int mode = 0;
    int format = -1;
    std::string name;  // empty when not registered
    int accessTechnology = -1;
};
std::optional<OperatorQuery> parseCopsQueryResponse(std::string_view line);

// +CSQ: "<rssi>,<ber>".
struct SignalQuality {
    int rssi = 99;
    int ber = 99;
};
std::optional<SignalQuality> parseCsqResponse(std::string_view line);

// +CPIN? : the code the SIM waits for.
// NotReady: the SIM is there but still starting (after power-up or +CFUN=1); it is asked again.
enum class PinCode {
    Ready,
    SimPin,
    SimPuk,
    SimPin2,
    SimPuk2,
    PhoneLockPin,
    PhoneLockPuk,
    NoSim,
    NotReady
};
std::optional<PinCode> parseCpinQueryResponse(std::string_view line);

// +CPINR: "<code>,<retries>[,<default retries>]", one line per code.
struct PinRetries {
    std::string code;  // "SIM PIN", "SIM PUK", ...
    int retries = -1;
};
std::optional<PinRetries> parseCpinrResponse(std::string_view line);

// +CRSM: "<sw1>,<sw2>[,<response>]"; response as bytes.
struct SimResponse {
    int sw1 = 0;
    int sw2 = 0;
    std::vector<uint8_t> data;
    // 9F xx and 61 xx say "xx bytes of answer are waiting": a card that hands them over in the
    // same answer has succeeded.
    bool success() const
    {
        return sw1 == 0x90 || sw1 == 0x91 || sw1 == 0x92 ||
               ((sw1 == 0x9F || sw1 == 0x61) && !data.empty());
    }
};
std::optional<SimResponse> parseCrsmResponse(std::string_view line);

// The PIN1 and PUK1 attempts left in a SIM's directory answer (+CRSM=242, STATUS); -1 where
// the SIM does not tell.
struct SimPinCounts {
    int pin = -1;
    int puk = -1;
};
std::optional<SimPinCounts> parseSimStatusPinCounts(const std::vector<uint8_t> &data);

// +CFUN? : "<fun>[,<rst>]".
std::optional<int> parseCfunQueryResponse(std::string_view line);

// +CLCK=<fac>,2 : "+CLCK: <status>[,<class>]"; the status of the first line.
std::optional<int> parseClckQueryResponse(std::string_view line);

// +CPMS? : "+CPMS: <mem1>,<used1>,<total1>,<mem2>,...".
struct MessageStorage {
    std::string memory;
    int used = 0;
    int total = 0;
};
std::optional<std::vector<MessageStorage>> parseCpmsQueryResponse(std::string_view line);
// The answer to +CPMS=<mem1>[,...]: "+CPMS: used1,total1[,used2,total2[,used3,total3]]";
// the size of the first storage.
std::optional<int> parseCpmsSetTotal(std::string_view line);

// Identity answers come with or without a prefix ("+CGSN: ...", "IMEI: ...", bare text). A
// serial that is not 14-17 digits is given as the card wrote it.
std::optional<std::string> parseCgsnResponse(const std::vector<std::string> &lines);
std::optional<std::string> parseCimiResponse(const std::vector<std::string> &lines);
std::optional<std::string> parseCgmrResponse(const std::vector<std::string> &lines);
std::optional<std::string> parseCgmmResponse(const std::vector<std::string> &lines);

// The network type text for a 27.007 access technology; packetAttached turns plain GSM into
// GPRS. -1 (not known) reads as GSM.
std::string networkTypeText(int accessTechnology, bool packetAttached);

}  // namespace lumacore
