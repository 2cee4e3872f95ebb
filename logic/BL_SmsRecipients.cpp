#include "logic/BL_SmsRecipients.h"

namespace {

// The full-width semicolon in the system code page of the composer's text.
const std::string kFullWidthSemicolon = "\xA3\xBB";
constexpr size_t kMaxNumberBytes = 32;

}  // namespace

uint16_t SplitRecipients(const std::string &text, std::vector<std::string> &recipients)
{
    recipients.clear();
    size_t from = 0;
    while (recipients.size() < kSmsMaxRecipients) {
        const size_t plain = text.find(';', from);
        const size_t wide = text.find(kFullWidthSemicolon, from);
        if (plain == std::string::npos && wide == std::string::npos)
            break;
        const bool plainFirst = plain < wide;
        const size_t at = plainFirst ? plain : wide;
        recipients.push_back(text.substr(from, at - from));
        from = at + (plainFirst ? 1 : kFullWidthSemicolon.size());
    }
    const std::string rest = text.substr(std::min(from, text.size()));
    if (!rest.empty()) {
        if (recipients.size() >= kSmsMaxRecipients)
            return kSmsTooManyRecipients;
        recipients.push_back(rest);
    }
    return 0;
}

uint16_t ValidateRecipients(const std::vector<std::string> &recipients, const std::string &allowed)
{
    for (const std::string &number : recipients) {
        if (number.empty() || number.size() > kMaxNumberBytes)
            return kSmsBadRecipient;
        for (char c : number) {
            if (c != ';' && allowed.find(c) == std::string::npos)
                return kSmsBadRecipient;
        }
    }
    return 0;
}
