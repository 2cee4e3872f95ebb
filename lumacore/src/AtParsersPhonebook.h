// The phonebook's AT responses (+CPBS, +CPBR, +CSCS), one small pure function each, and the text
// of names and numbers in the character set the card was told to use.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumacore {

// The character sets the engine uses for phonebook names, best first.
enum class PhonebookCharset { Ucs2, Gsm, Ira };
const char *phonebookCharsetName(PhonebookCharset charset);

// +CSCS=? : "+CSCS: ("IRA","GSM","UCS2")" -> the names, upper case, in the card's order.
std::optional<std::vector<std::string>> parseCscsTestResponse(std::string_view line);
// +CSCS? : "+CSCS: "IRA"" -> "IRA".
std::optional<std::string> parseCscsQueryResponse(std::string_view line);

// +CPBS? : "+CPBS: <storage>[,<used>,<total>]"; used and total -1 when not given.
struct PhonebookStorageStatus {
    std::string storage;
    int used = -1;
    int total = -1;
};
std::optional<PhonebookStorageStatus> parseCpbsQueryResponse(std::string_view line);

// +CPBR=? : "+CPBR: (<first>-<last>),<nlength>,<tlength>[,...]".
struct PhonebookRange {
    int first = 1;
    int last = 0;
    int numberLength = 0;
    int textLength = 0;
};
std::optional<PhonebookRange> parseCpbrTestResponse(std::string_view line);

// +CPBR=a,b (and +CPBF) : "+CPBR: <index>,<number>,<type>,<text>[,<hidden>...]". The number
// carries a '+' when its type is international (145); the name comes back as UTF-8 from the
// character set the card was told to use. Names with quotes inside (cards do not escape them)
// end at the last quote that closes the field.
struct PhonebookEntry {
    int index = 0;
    std::string number;
    int type = 129;
    std::string name;  // UTF-8
};
std::optional<PhonebookEntry> parseCpbrResponse(std::string_view line, PhonebookCharset charset);

// A name for +CPBW in the character set, or nullopt when the set cannot carry it (or, in the GSM
// set, when it holds a quote, which would end the field).
std::optional<std::string> phonebookTextFor(std::string_view utf8, PhonebookCharset charset);

}  // namespace lumacore
