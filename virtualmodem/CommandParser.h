// Splitting a command line ("AT" already taken off) into its commands, and the arguments of an
// extended command into values, the way a V.250 modem reads them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace virtualmodem {

enum class AtKind {
    Execute,  // AT+CSQ, ATZ, ATE1
    Set,      // AT+CMEE=1, ATS0=1
    Read,     // AT+CREG?, ATS0?
    Test,     // AT+CREG=?
};

struct AtCommand {
    // Upper case: "+CPIN", "E", "&F", "S", "D". Basic commands keep their prefix letter only.
    std::string name;
    AtKind kind = AtKind::Execute;
    // Set: the text after '=' as sent (quotes kept). Basic commands: the digits after the letter;
    // S registers: the value after '='. D: the dial string.
    std::string argument;
    // S registers: the register number; -1 elsewhere.
    int registerNumber = -1;
};

// One argument of an extended command: 1,"abc",,2 gives four values, the third one empty.
struct AtValue {
    std::string text;     // without quotes
    bool quoted = false;  // it was written as a string
    bool empty() const { return text.empty() && !quoted; }
};

// The commands of one line, in order; nothing when the line cannot be read (a stray character,
// an unterminated string), which the card answers with ERROR.
std::optional<std::vector<AtCommand>> splitCommandLine(std::string_view body);

// "1,\"SM\",,3" -> values; nothing for an unterminated string or text after a closing quote.
std::optional<std::vector<AtValue>> parseArguments(std::string_view argument);

// The value at index as a decimal number in [minimum, maximum]; nothing when it is absent, not a
// number, quoted or out of range.
std::optional<long> numberArgument(const std::vector<AtValue> &values, size_t index, long minimum,
                                   long maximum);
// The value at index as a string (quoted or not); nothing when absent.
std::optional<std::string> textArgument(const std::vector<AtValue> &values, size_t index);

// "sm" == "SM".
bool equalsIgnoringCase(std::string_view a, std::string_view b);
std::string toUpper(std::string_view text);

}  // namespace virtualmodem
