#include "StableAnswers.h"

#include "AtParsers.h"
#include "Status.h"

#include <algorithm>
#include <cctype>

namespace lumacore {

namespace {

// "at+cpbs= \"sm\"" -> "AT+CPBS=\"SM\"": the forms callers write compare equal.
std::string normalised(std::string_view command)
{
    std::string out;
    for (char c : command) {
        if (c != ' ' && c != '\r' && c != '\n')
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

}  // namespace

std::optional<AtResponse> StableAnswers::answerFor(std::string_view command) const
{
    const std::string line = normalised(command);
    if (line == "AT+CIMI")
        return m_imsi;
    if (line == "AT+CPBR=?" && !m_phonebook.empty()) {
        auto known = m_phonebookRanges.find(m_phonebook);
        if (known != m_phonebookRanges.end())
            return known->second;
        return std::nullopt;
    }
    if (startsWith(line, "AT+CPBS=") && !contains(line, ";") &&
        line.substr(8) == m_phonebook && !m_phonebook.empty())
        return AtResponse{};  // selected already
    return std::nullopt;
}

void StableAnswers::noteAnswer(std::string_view command, const AtResponse &response)
{
    const std::string line = normalised(command);
    // No SIM, or a SIM that is not ready (it may be another one by now): nothing known holds.
    const std::string *pinLine = line == "AT+CPIN?" ? response.line("+CPIN:") : nullptr;
    auto pinCode = pinLine ? parseCpinQueryResponse(*pinLine) : std::nullopt;
    if (response.status == kStatusNoSim || (pinLine && pinCode != PinCode::Ready)) {
        forget();
        return;
    }
    if (line == "AT+CIMI") {
        if (response.ok() && parseCimiResponse(response.lines))
            m_imsi = response;
        return;
    }
    if (line == "AT+CPBR=?") {
        if (response.ok() && !m_phonebook.empty())
            m_phonebookRanges[m_phonebook] = response;
        return;
    }
    if (startsWith(line, "AT+CPBS=") && !contains(line, ";")) {
        m_phonebook = response.ok() ? line.substr(8) : std::string();
        return;
    }
    // A chain or a command that may reset the card's selections (the radio switched, the SIM
    // restarted) leaves the selected book unknown.
    if (contains(line, "+CPBS=") || contains(line, "+CFUN=") || contains(line, "+CPIN=") ||
        startsWith(line, "ATZ") || startsWith(line, "AT&F"))
        m_phonebook.clear();
    if (!response.ok() || !contains(line, "+CPMS"))
        return;
    // +CPMS? names each storage in use with its capacity; +CPMS=<mem> gives the first one's.
    for (const auto &answer : response.lines) {
        if (line == "AT+CPMS?") {
            if (auto storages = parseCpmsQueryResponse(answer)) {
                m_storagesListed = true;
                for (const auto &storage : *storages)
                    m_capacities[storage.memory] = storage.total;
            }
        } else if (startsWith(line, "AT+CPMS=\"") && line.size() >= 12) {
            if (auto total = parseCpmsSetTotal(answer))
                m_capacities[line.substr(9, 2)] = *total;
        }
    }
}

std::optional<PhonebookRange> StableAnswers::phonebookRange(const std::string &book) const
{
    auto known = m_phonebookRanges.find("\"" + book + "\"");
    if (known == m_phonebookRanges.end())
        return std::nullopt;
    const std::string *line = known->second.line("+CPBR:");
    return line ? parseCpbrTestResponse(*line) : std::nullopt;
}

std::optional<int> StableAnswers::messageCapacity(const std::string &memory) const
{
    auto known = m_capacities.find(memory);
    if (known == m_capacities.end())
        return std::nullopt;
    return known->second;
}

void StableAnswers::forget() { *this = StableAnswers{}; }

}  // namespace lumacore
