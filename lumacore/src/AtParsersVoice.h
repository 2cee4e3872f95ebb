// Voice-call answers and reports as cards write them: the call list (+CLCC), the caller's number
// with a ring (+CLIP) or a waiting call (+CCWA), and the SIM's emergency numbers (EF-ECC).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumacore {

// "+CLCC: <id>,<dir>,<stat>,<mode>,<mpty>[,<number>,<type>[,<alpha>[,<priority>]]]".
struct ClccEntry {
    int index = 0;
    int direction = 0;  // 0 outgoing, 1 incoming
    int status = 0;     // 0 active, 1 held, 2 dialling, 3 alerting, 4 incoming, 5 waiting
    int mode = 0;       // 0 voice; 1 data, 2 fax ...
    bool multiparty = false;
    std::string number;
    int type = -1;
};
std::optional<ClccEntry> parseClccLine(std::string_view line);

// The caller of a ringing (+CLIP) or waiting (+CCWA) call. A withheld or unavailable number
// comes as an empty one.
struct CallerId {
    std::string number;
    int type = -1;
};
// "+CLIP: <number>,<type>[,<subaddr>,<satype>[,<alpha>[,<CLI validity>]]]"
std::optional<CallerId> parseClipLine(std::string_view line);
// "+CCWA: <number>,<type>,<class>[,<alpha>[,<CLI validity>...]]"; nullopt also for a waiting
// call that is not a voice call (class without bit 1).
std::optional<CallerId> parseCcwaLine(std::string_view line);
// "RING" or "+CRING: VOICE" (and its variants "VOICE/..."), not a data or fax ring.
bool isVoiceRing(std::string_view line);

// What GET RESPONSE tells of an elementary file: a SIM's header or a USIM's FCP template.
struct SimFileInfo {
    size_t size = 0;          // bytes in all
    size_t recordLength = 0;  // 0 for a transparent file
};
std::optional<SimFileInfo> parseSimFileInfo(const std::vector<uint8_t> &response);

// EF-ECC: on a SIM a transparent file of 3-byte BCD numbers; on a USIM records of a 3-byte BCD
// number, an alpha tag and a category (recordLength > 3). Empty entries (FF) are left out.
std::vector<std::string> decodeEmergencyNumbers(const std::vector<uint8_t> &data,
                                                size_t recordLength);

}  // namespace lumacore
