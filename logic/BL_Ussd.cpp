#include "logic/BL_Ussd.h"

#include "gsm/GsmText.h"
#include "logic/BL_Base.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr unsigned kTextReply = 9004;
constexpr unsigned kTextEnded = 9005;
constexpr unsigned kTextOtherClient = 9006;
constexpr unsigned kTextNotSupported = 9007;
constexpr unsigned kTextTimedOut = 9008;

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

// The form networks give their service codes: a star or hash, digits, blocks of digits each
// after a star, and the closing hash ("*100#", "#100#", "*111*1#").
bool serviceCodeForm(std::string_view text)
{
    if (text.size() < 3 || (text.front() != '*' && text.front() != '#') || text.back() != '#')
        return false;
    std::string_view body = text.substr(1, text.size() - 2);
    size_t start = 0;
    while (true) {
        const size_t star = body.find('*', start);
        if (!allDigits(body.substr(start, star == std::string_view::npos ? star : star - start)))
            return false;
        if (star == std::string_view::npos)
            return true;
        start = star + 1;
    }
}

void appendReply(std::string &out, const std::string &text)
{
    out += "\n\n";
    out += text;
}

}  // namespace

bool TBL_Ussd::IsOpeningCode(std::string_view text)
{
    const size_t n = text.size();
    if (n == 1)
        return text == "7";
    if (n == 2)
        return text[0] == '7' && text[1] >= '1' && text[1] <= '8';
    if (n >= 3 && text[0] == '*' && text[1] == '1') {
        if (n <= 5 && text.back() == '#' && allDigits(text.substr(2, n - 3)))
            return true;
        // "*1NN*" and at least two more characters, the last a hash, not "**#"-like.
        if (n >= 7 && allDigits(text.substr(2, 2)) && text[4] == '*' && text.back() == '#' &&
            text.substr(5, 2) != "*#")
            return true;
    }
    return serviceCodeForm(text);
}

std::string TBL_Ussd::DecodeReplyText(const _MEC_USSD_REPLY &record)
{
    const size_t length = ::strnlen(record.text, sizeof record.text);
    std::string text(record.text, length);
    const unsigned high = (record.dataCodingScheme >> 4) & 0x0F;
    const unsigned low = record.dataCodingScheme & 0x0F;
    if (high == 1 && low == 0)
        return text.size() > 3 ? text.substr(3) : std::string();
    if (high == 1 && low == 1)
        return text.size() > 2 ? text.substr(2) : std::string();
    if (high >= 4 && high <= 7 && low >= 8 && low <= 11) {
        std::vector<uint8_t> bytes(length / 2 + 1, 0);
        gsm::HexToBytes(bytes.data(), static_cast<int>(bytes.size()), text.c_str(),
                        static_cast<int>(length));
        const size_t units = length / 4;
        std::u16string wide(units, u'\0');
        for (size_t i = 0; i < units; ++i)
            wide[i] = static_cast<char16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        std::string out(units * 4 + 1, '\0');
        const int written = gsm::Ucs2ToAnsi(out.data(), static_cast<int>(out.size()), wide.data(),
                                            static_cast<int>(units));
        out.resize(written > 0 ? static_cast<size_t>(written) : 0);
        return out;
    }
    if (high == 14 || high == 15)
        return {};
    return text;
}

uint16_t TBL_Ussd::SendRequest(const char *text, size_t length)
{
    if (!text || length < 1 || length > kMaxRequestLength)
        return BadLength;
    const std::string request(text, length);
    if (!SessionOpen() && !IsOpeningCode(request))
        return NotACode;
    openSession();
    setState(Sending);
    if (_MEC_SendUssdRequest(request.c_str(), static_cast<uint32_t>(request.size())) != 0)
        return EngineFailed;
    {
        std::lock_guard guard(m_lock);
        m_replyText.clear();
    }
    setState(Waiting);
    return Sent;
}

uint16_t TBL_Ussd::Cancel()
{
    uint16_t result = 0;
    if (SessionOpen() && _MEC_SendUssdCancel() != 0)
        result = EngineFailed;
    closeSession();
    setState(Ready);
    return result;
}

std::string TBL_Ussd::HandleReply(const _MEC_USSD_REPLY &record)
{
    setState(Replied);
    const std::string heading = platform::GetLanguageStringAnsi(kTextReply);
    std::string reply;
    switch (record.resultType) {
    case 0:
        closeSession();
        reply = heading;
        appendReply(reply, DecodeReplyText(record));
        break;
    case 1:
        openSession();
        reply = heading;
        appendReply(reply, DecodeReplyText(record));
        break;
    case 2:
    case 4:
    case 5: {
        closeSession();
        const unsigned why = record.resultType == 2   ? kTextEnded
                             : record.resultType == 4 ? kTextNotSupported
                                                      : kTextTimedOut;
        reply = platform::GetLanguageStringAnsi(why) + heading;
        break;
    }
    case 3:
        openSession();
        reply = platform::GetLanguageStringAnsi(kTextOtherClient);
        appendReply(reply, DecodeReplyText(record));
        break;
    default: {
        std::lock_guard guard(m_lock);
        return m_replyText;
    }
    }
    std::lock_guard guard(m_lock);
    m_replyText.clear();  // handed to the caller
    return reply;
}

void TBL_Ussd::SetReady(bool ready)
{
    if (ready) {
        closeSession();
    } else {
        std::lock_guard guard(m_lock);
        m_sessionOpen = false;  // the card is gone: no session message, the state says it
    }
    setState(ready ? Ready : Unavailable);
}

void TBL_Ussd::openSession()
{
    {
        std::lock_guard guard(m_lock);
        if (m_sessionOpen)
            return;
        m_sessionOpen = true;
    }
    platform::PostMessage(MainWindowHandle(), platform::WM_USSD_SESSION, 1, 0);
}

void TBL_Ussd::closeSession()
{
    {
        std::lock_guard guard(m_lock);
        if (!m_sessionOpen)
            return;
        m_sessionOpen = false;
    }
    platform::PostMessage(MainWindowHandle(), platform::WM_USSD_SESSION, 0, 0);
}

void TBL_Ussd::setState(uint8_t state)
{
    {
        std::lock_guard guard(m_lock);
        m_state = state;
    }
    platform::PostMessage(MainWindowHandle(), platform::WM_USSD_STATE, 0, 0);
}

uint8_t TBL_Ussd::GetState() const
{
    std::lock_guard guard(m_lock);
    return m_state;
}

bool TBL_Ussd::SessionOpen() const
{
    std::lock_guard guard(m_lock);
    return m_sessionOpen;
}
