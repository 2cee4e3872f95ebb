#include "CardPhonebook.h"

#include "Exports.h"
#include "SimText.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace lumacore {

namespace {

constexpr uint16_t kStatusNotFound = kStatusCmeBase + 22;

_MEC_CONTACT_RECORD recordOf(const PhonebookEntry &entry, uint8_t storage)
{
    _MEC_CONTACT_RECORD record{};
    record.index = static_cast<uint32_t>(entry.index);
    record.storage = storage;
    copyOut(record.name, sizeof record.name, utf8ToSystem(entry.name));
    copyOut(record.numbers[0].number, sizeof record.numbers[0].number, entry.number);
    return record;
}

// The number a card entry keeps: the first slot that has one.
std::string numberOf(const _MEC_CONTACT_RECORD &record)
{
    for (const auto &slot : record.numbers) {
        std::string_view number(slot.number, strnlen(slot.number, sizeof slot.number));
        if (!number.empty())
            return std::string(number);
    }
    return {};
}

bool dialable(const std::string &number)
{
    return number.find_first_not_of("+0123456789*#pPwW,") == std::string::npos &&
           number.find('+', 1) == std::string::npos;
}

}  // namespace

CardPhonebook::CardPhonebook(Engine &engine, uint8_t storage) : m_engine(engine), m_storage(storage)
{
}

CardPhonebook::~CardPhonebook()
{
    if (m_restoreCharset)
        m_engine.run("AT+CSCS=\"" + *m_restoreCharset + "\"");
}

uint16_t CardPhonebook::chooseCharset()
{
    AtResponse offered = m_engine.run("AT+CSCS=?");
    auto names = offered.ok() && offered.line("+CSCS:")
                     ? parseCscsTestResponse(*offered.line("+CSCS:"))
                     : std::nullopt;
    if (!names)
        return kStatusOk;  // a card without +CSCS talks IRA
    AtResponse current = m_engine.run("AT+CSCS?");
    auto now = current.ok() && current.line("+CSCS:")
                   ? parseCscsQueryResponse(*current.line("+CSCS:"))
                   : std::nullopt;
    for (PhonebookCharset wanted : {PhonebookCharset::Ucs2, PhonebookCharset::Gsm}) {
        std::string name = phonebookCharsetName(wanted);
        if (std::find(names->begin(), names->end(), name) == names->end())
            continue;
        if (now && *now == name) {
            m_charset = wanted;
            return kStatusOk;
        }
        AtResponse set = m_engine.run("AT+CSCS=\"" + name + "\"");
        if (set.ok()) {
            m_charset = wanted;
            m_restoreCharset = now.value_or("IRA");
            return kStatusOk;
        }
        if (set.status == kStatusNoCard || set.status == kStatusTimeout)
            return set.status;
    }
    if (now && *now != "IRA") {
        AtResponse set = m_engine.run("AT+CSCS=\"IRA\"");
        if (set.ok())
            m_restoreCharset = *now;
    }
    return kStatusOk;
}

uint16_t CardPhonebook::open(bool withNames)
{
    if (withNames) {
        if (uint16_t status = chooseCharset(); status != kStatusOk)
            return status;
    }
    return m_engine.run(m_storage == 0 ? "AT+CPBS=\"SM\"" : "AT+CPBS=\"ME\"").status;
}

uint16_t CardPhonebook::readRange(PhonebookRange &range)
{
    if (!m_range) {
        AtResponse answer = m_engine.run("AT+CPBR=?");
        if (!answer.ok())
            return answer.status;
        auto line = answer.line("+CPBR:");
        m_range = line ? parseCpbrTestResponse(*line) : std::nullopt;
        if (!m_range)
            return kStatusError;
    }
    range = *m_range;
    return kStatusOk;
}

uint16_t CardPhonebook::readUsed(int &used)
{
    AtResponse answer = m_engine.run("AT+CPBS?");
    if (!answer.ok())
        return answer.status;
    auto line = answer.line("+CPBS:");
    auto status = line ? parseCpbsQueryResponse(*line) : std::nullopt;
    if (!status)
        return kStatusError;
    used = status->used;
    return kStatusOk;
}

uint16_t CardPhonebook::readAll(std::vector<_MEC_CONTACT_RECORD> &records)
{
    PhonebookRange range;
    if (uint16_t status = readRange(range); status != kStatusOk)
        return status;
    records.clear();
    for (int first = range.first; first <= range.last; first += kPhonebookChunk) {
        int last = std::min(range.last, first + kPhonebookChunk - 1);
        AtResponse answer =
            m_engine.run("AT+CPBR=" + std::to_string(first) + "," + std::to_string(last));
        // An empty stretch is "not found" on some cards, plain OK on others.
        if (answer.status == kStatusNotFound)
            continue;
        if (!answer.ok())
            return answer.status;
        for (const auto &line : answer.lines) {
            auto entry = parseCpbrResponse(line, m_charset);
            if (entry && entry->index >= first && entry->index <= last)
                records.push_back(recordOf(*entry, m_storage));
        }
    }
    return kStatusOk;
}

uint16_t CardPhonebook::readEntry(int index, std::optional<_MEC_CONTACT_RECORD> &entry)
{
    entry.reset();
    AtResponse answer = m_engine.run("AT+CPBR=" + std::to_string(index));
    if (answer.status == kStatusNotFound)
        return kStatusOk;
    if (!answer.ok())
        return answer.status;
    for (const auto &line : answer.lines) {
        if (auto read = parseCpbrResponse(line, m_charset); read && read->index == index) {
            entry = recordOf(*read, m_storage);
            break;
        }
    }
    return kStatusOk;
}

uint16_t CardPhonebook::isFree(int index, bool &free)
{
    std::optional<_MEC_CONTACT_RECORD> entry;
    uint16_t status = readEntry(index, entry);
    free = !entry;
    return status;
}

bool sameCardEntry(const _MEC_CONTACT_RECORD &a, const _MEC_CONTACT_RECORD &b)
{
    std::string x = numberOf(a), y = numberOf(b);
    auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    return lower(x) == lower(y) &&
           std::string_view(a.name, strnlen(a.name, sizeof a.name)) ==
               std::string_view(b.name, strnlen(b.name, sizeof b.name));
}

uint16_t CardPhonebook::write(int index, const _MEC_CONTACT_RECORD &record)
{
    std::string number = numberOf(record);
    if (!dialable(number))
        return kStatusError;
    std::string_view name(record.name, strnlen(record.name, sizeof record.name));
    auto text = phonebookTextFor(systemToUtf8(name), m_charset);
    if (!text)
        return kStatusError;
    int type = !number.empty() && number[0] == '+' ? 145 : 129;
    return m_engine
        .run("AT+CPBW=" + std::to_string(index) + ",\"" + number + "\"," + std::to_string(type) +
             ",\"" + *text + "\"")
        .status;
}

uint16_t CardPhonebook::erase(int index)
{
    return m_engine.run("AT+CPBW=" + std::to_string(index)).status;
}

}  // namespace lumacore
