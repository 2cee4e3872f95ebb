// The AT dialogue without any I/O: bytes from the card go in, complete answers, unsolicited
// result codes and SMS prompts come out. The channel runs this on its reader thread; the fuzz
// target and the tests run it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumacore {

// One comma-separated field of an AT response. Quoted fields come without their quotes.
struct AtField {
    std::string text;
    bool quoted = false;
};

// "+CREG: 2,1,\"1F3A\"" with prefix "+CREG:" -> fields {2},{1},{1F3A}. Commas inside quotes or
// parentheses do not split; spaces around unquoted fields are dropped.
std::vector<AtField> splitFields(std::string_view text);

// The text after "+XXX:" when the line starts with that prefix (compared without case; the
// space after the colon is optional), else nullopt.
std::optional<std::string_view> afterPrefix(std::string_view line, std::string_view prefix);

// Whole decimal number, optionally surrounded by spaces; nullopt for anything else.
std::optional<long> parseInteger(std::string_view text);

enum class FinalKind {
    Ok,
    Connect,
    Error,
    CmeError,
    CmsError,
    NoCarrier,
    Busy,
    NoAnswer,
    NoDialtone
};

struct FinalResult {
    FinalKind kind = FinalKind::Ok;
    int code = -1;  // +CME/+CMS ERROR number; -1 when the card gave none or a text we do not know
    std::string text;  // the line as it came (CONNECT may carry a rate)
};

// The line as a final result code, or nullopt when it is none. Verbose +CME ERROR texts are
// mapped to their numbers, since some cards ignore +CMEE=1; refusals some firmware words its own
// way ("COMMAND NOT SUPPORT", "TOO MANY PARAMETERS") are ERROR.
std::optional<FinalResult> parseFinalResult(std::string_view line);

// A numeric result code as a card in ATV0 sends it ("0" OK, "4" ERROR, "3" NO CARRIER ...), or
// nullopt. Only taken while a command waits: a bare digit means nothing on its own.
std::optional<FinalResult> parseNumericResult(std::string_view line);

// The number of a verbose +CME ERROR text ("incorrect password" -> 16), -1 if unknown.
int cmeErrorNumberFromText(std::string_view text);

// True for the codes a card sends on its own: new SMS, ring, registration, USSD, indicators,
// toolkit notices.
bool isUnsolicitedCode(std::string_view line);

// The prefix of the information lines a command answers with: "AT+CREG?" -> "+CREG:",
// "AT+COPS=3,0;+COPS?" -> "+COPS:"; empty for commands without one (ATE0, AT+CGSN is "+CGSN:").
std::string responsePrefixOf(std::string_view command);

struct AtUnsolicited {
    std::string line;
    std::string pdu;  // second line of +CMT/+CDS/+CBM in PDU mode, else empty
};

struct AtAnswer {
    FinalResult final;
    std::vector<std::string> lines;  // information lines, without echo and without the final code
};

// Splits the card's byte stream into lines and sorts them: echo of the pending command,
// information lines, the final result, unsolicited codes, the "> " prompt of +CMGS/+CMGW.
class AtDialogue {
public:
    struct Output {
        std::vector<AtUnsolicited> unsolicited;
        std::optional<AtAnswer> answer;  // set when the pending command finished
        bool prompt = false;             // the card waits for a PDU
    };

    // Longest line kept; a card that never ends its line cannot make us hold its garbage.
    static constexpr size_t kMaxLineLength = 16384;

    // A command went on the wire; its answer is collected from now on.
    void beginCommand(std::string_view command, bool expectPrompt = false);
    // The pending command timed out: its late answer, if it ever comes, is dropped.
    void abandonCommand();
    // Lines of an abandoned command may still be on their way.
    bool stale() const { return m_stale; }
    void clearStale() { m_stale = false; }
    bool commandPending() const { return m_pending; }

    void feed(const char *data, size_t size, Output &out);

private:
    void takeLine(std::string_view line, Output &out);
    void takeWholeLine(std::string_view line, Output &out);
    static constexpr size_t kMaxReplyLength = 2048;  // a USSD reply over several lines

    std::string m_buffer;
    bool m_pending = false;
    bool m_expectPrompt = false;
    bool m_stale = false;
    std::string m_command;  // for recognising the echo
    std::string m_prefix;   // of the information lines
    bool m_echoPossible = false;
    std::vector<std::string> m_lines;
    std::optional<AtUnsolicited> m_waitingForPdu;
    std::string m_openReply;  // a +CUSD reply whose quote is still open
};

}  // namespace lumacore
