// Short-message answers and reports in PDU mode, as cards write them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumacore {

// "+CMGL: <index>,<stat>,[<alpha>],<length>" and "+CMGR: <stat>,[<alpha>],<length>".
// stat: 0 received unread, 1 received read, 2 stored unsent, 3 stored sent. Cards leave fields
// out (the alpha, the length), add their own, space and quote them as they like: only the +CMGL
// index is required, a status not given is -1 and a length not given 0.
struct StoredPduHeader {
    int index = 0;  // +CMGL only
    int stat = -1;
    int length = 0;  // the TPDU's octets, without the service centre
};
std::optional<StoredPduHeader> parseCmglHeader(std::string_view line);
std::optional<StoredPduHeader> parseCmgrHeader(std::string_view line);

// A message as +CMGL or +CMGR gives it: the header, then the PDU on the next line.
struct StoredPdu {
    StoredPduHeader header;  // status and length always known: taken from the PDU when missing
    std::string pdu;         // hexadecimal, the service centre in front
};
// Every header followed by its PDU (a blank line between them is allowed); a header whose PDU
// line is missing or no hex is skipped.
std::vector<StoredPdu> parseCmglAnswer(const std::vector<std::string> &lines);
// Nothing for an empty place (OK without lines).
std::optional<StoredPdu> parseCmgrAnswer(const std::vector<std::string> &lines);

// "+CMGS: <mr>[,<scts>]" and "+CMGW: <index>".
std::optional<int> parseCmgsResponse(std::string_view line);
std::optional<int> parseCmgwResponse(std::string_view line);

// "+CMTI: "SM",3" (also "+CDSI:"): the storage as the card names it and the index.
struct StoredReport {
    std::string storage;
    int index = 0;
};
std::optional<StoredReport> parseCmtiReport(std::string_view line);

// "+CMT: [<alpha>],<length>", "+CDS: <length>", "+CBM: <length>": the PDU's length.
std::optional<int> parseCmtReport(std::string_view line);
std::optional<int> parseCdsReport(std::string_view line);
std::optional<int> parseCbmReport(std::string_view line);

// "+CSCA: "+5491100009000",145": the number, '+' in front for type 145.
std::optional<std::string> parseCscaResponse(std::string_view line);

}  // namespace lumacore
