// The phonebooks: +CPBS, +CPBR, +CPBW and +CPBF on the SIM's memory ("SM") and the card's own
// ("ME"). Names travel in the terminal's character set (+CSCS); on the SIM a name takes the GSM
// default alphabet when it can, else UCS-2 (0x80 coding: one byte of coding, two per character),
// and must fit the alpha field either way, as on a real SIM.
#include "virtualmodem/Modem.h"
#include "virtualmodem/Phonebook.h"
#include "virtualmodem/SimCard.h"

#include <algorithm>

namespace virtualmodem {

namespace {

constexpr int kMemoryFull = 20;
constexpr int kDialStringTooLong = 26;
constexpr int kInvalidDialCharacters = 27;
constexpr int kTypeInternational = 145;
constexpr int kTypeUnknown = 129;

PhonebookMemory *memoryNamed(ModemState &state, std::string_view name)
{
    for (PhonebookMemory &memory : state.phonebooks) {
        if (equalsIgnoringCase(memory.name, name))
            return &memory;
    }
    return nullptr;
}

PhonebookMemory &selectedMemory(ModemState &state)
{
    PhonebookMemory *memory = memoryNamed(state, state.selectedPhonebook);
    return memory ? *memory : state.phonebooks.front();
}

// Both memories need a usable SIM (the card keeps its own book locked too, as most do); the SIM
// is busy for a while after it became usable.
std::optional<int> notReady(const Modem &modem)
{
    if (const auto error = simNotReadyError(modem.state().sim))
        return error;
    if (const auto storage = simStorageNotReadyError(modem.state(), modem.now());
        storage && *storage == 314)
        return cme::kSimBusy;
    return std::nullopt;
}

// What the entry commands share: no read or bare form, and a usable SIM.
std::optional<Result> refused(const Modem &modem, const AtCommand &command)
{
    if (command.kind == AtKind::Read || command.kind == AtKind::Execute)
        return Result::error();
    if (const auto error = notReady(modem))
        return Result::cme(*error);
    return std::nullopt;
}

std::string entryLine(const Modem &modem, int index, const PhonebookEntry &entry,
                      std::string_view prefix, int nameLength)
{
    const bool international = !entry.number.empty() && entry.number[0] == '+';
    const ModemState &state = modem.state();
    const bool ucs2 = state.settings.charset == Charset::Ucs2;
    std::string number = entry.number;
    if (ucs2 && state.quirks.has(Quirk::PhonebookUcs2Numbers))
        number = utf8ToUcs2Hex(number).value_or(number);
    std::string name = modem.terminalText(entry.name);
    if (ucs2 && state.quirks.has(Quirk::PhonebookSimAlpha) && !utf8ToGsm(entry.name)) {
        // The alpha field as stored: 80, the UCS-2 characters, FF up to the field's length.
        name = "80" + utf8ToUcs2Hex(entry.name).value_or("");
        while (static_cast<int>(name.size()) < 2 * nameLength)
            name += "FF";
    }
    // Quirk: no type field, and the hidden flag and group after the name.
    if (state.quirks.has(Quirk::PhonebookOddEntries))
        return std::string(prefix) + std::to_string(index) + ",\"" + number + "\",\"" + name +
               "\",0,\"\"";
    return std::string(prefix) + std::to_string(index) + ",\"" + number + "\"," +
           std::to_string(international ? kTypeInternational : kTypeUnknown) + ",\"" + name + "\"";
}

// A number as the terminal wrote it: plain, or (some terminals under UCS2) as UCS-2 hex.
std::optional<std::string> dialString(const std::string &given, Charset charset)
{
    if (charset == Charset::Ucs2 && !given.empty() && given.size() % 4 == 0) {
        if (const auto decoded = ucs2HexToUtf8(given);
            decoded && decoded->find_first_not_of("+0123456789*#pwPW,") == std::string::npos)
            return decoded;
    }
    return given;
}

Result selectStorage(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    switch (command.kind) {
    case AtKind::Test: {
        std::string names;
        for (const PhonebookMemory &memory : state.phonebooks)
            names += (names.empty() ? "\"" : ",\"") + memory.name + "\"";
        return Result::ok({"+CPBS: (" + names + ")"});
    }
    case AtKind::Read: {
        if (const auto error = notReady(modem))
            return Result::cme(*error);
        const PhonebookMemory &memory = selectedMemory(state);
        return Result::ok({"+CPBS: \"" + memory.name + "\"," +
                           std::to_string(memory.entries.size()) + "," +
                           std::to_string(memory.capacity)});
    }
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->empty() || values->size() > 2)
            return Result::error();
        const PhonebookMemory *memory = memoryNamed(state, (*values)[0].text);
        if (!memory)
            return Result::cme(cme::kNotSupported);
        if (const auto error = notReady(modem))
            return Result::cme(*error);
        state.selectedPhonebook = memory->name;
        return Result::ok();
    }
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result readEntries(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    if (auto refusal = refused(modem, command))
        return *refusal;
    const PhonebookMemory &memory = selectedMemory(state);
    if (command.kind == AtKind::Test) {
        return Result::ok({"+CPBR: (1-" + std::to_string(memory.capacity) + ")," +
                           std::to_string(memory.numberLength) + "," +
                           std::to_string(memory.nameLength)});
    }
    const auto values = parseArguments(command.argument);
    if (!values || values->empty() || values->size() > 2)
        return Result::error();
    const auto first = numberArgument(*values, 0, 1, memory.capacity);
    const auto last = values->size() == 2 ? numberArgument(*values, 1, 1, memory.capacity) : first;
    if (!first || !last || *last < *first)
        return Result::cme(cme::kInvalidIndex);
    std::vector<std::string> lines;
    for (auto it = memory.entries.lower_bound(static_cast<int>(*first));
         it != memory.entries.end() && it->first <= *last; ++it)
        lines.push_back(entryLine(modem, it->first, it->second, "+CPBR: ", memory.nameLength));
    if (lines.empty() && state.quirks.has(Quirk::PhonebookEmptyNotFound))
        return Result::cme(cme::kNotFound);
    return Result::ok(std::move(lines));
}

Result findEntries(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    if (auto refusal = refused(modem, command))
        return *refusal;
    const PhonebookMemory &memory = selectedMemory(state);
    if (command.kind == AtKind::Test) {
        return Result::ok({"+CPBF: " + std::to_string(memory.numberLength) + "," +
                           std::to_string(memory.nameLength)});
    }
    const auto values = parseArguments(command.argument);
    const auto given = values && values->size() == 1 ? textArgument(*values, 0) : std::nullopt;
    const auto wanted = given ? decodeFromTerminal(*given, state.settings.charset) : std::nullopt;
    if (!wanted)
        return Result::cme(cme::kInvalidText);
    std::vector<std::string> lines;
    for (const auto &[index, entry] : memory.entries) {
        if (entry.name.size() >= wanted->size() &&
            equalsIgnoringCase(std::string_view(entry.name).substr(0, wanted->size()), *wanted))
            lines.push_back(entryLine(modem, index, entry, "+CPBF: ", memory.nameLength));
    }
    if (lines.empty())
        return Result::cme(cme::kNotFound);
    return Result::ok(std::move(lines));
}

Result writeEntry(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    if (auto refusal = refused(modem, command))
        return *refusal;
    PhonebookMemory &memory = selectedMemory(state);
    if (command.kind == AtKind::Test) {
        return Result::ok({"+CPBW: (1-" + std::to_string(memory.capacity) + ")," +
                           std::to_string(memory.numberLength) + ",(128-255)," +
                           std::to_string(memory.nameLength)});
    }
    const auto values = parseArguments(command.argument);
    if (!values || values->empty() || values->size() > 4)
        return Result::error();
    std::optional<long> index;
    if (!(*values)[0].empty()) {
        index = numberArgument(*values, 0, 1, memory.capacity);
        if (!index)
            return Result::cme(cme::kInvalidIndex);
    }
    if (values->size() == 1) {
        if (!index)
            return Result::error();
        memory.entries.erase(static_cast<int>(*index));
        return Result::ok();
    }
    const auto given = textArgument(*values, 1);
    const auto number = given ? dialString(*given, state.settings.charset) : std::nullopt;
    if (!number)
        return Result::error();
    long type = kTypeUnknown;
    if (values->size() >= 3 && !(*values)[2].empty()) {
        const auto givenType = numberArgument(*values, 2, 128, 255);
        if (!givenType)
            return Result::error();
        type = *givenType;
    }
    std::string name;
    if (values->size() == 4) {
        const auto text = textArgument(*values, 3);
        const auto decoded =
            text ? decodeFromTerminal(*text, state.settings.charset) : std::nullopt;
        if (!decoded)
            return Result::cme(cme::kInvalidText);
        name = *decoded;
    }
    std::string stored = *number;
    if (type == kTypeInternational && (stored.empty() || stored[0] != '+'))
        stored = "+" + stored;
    const std::string digits = stored.substr(!stored.empty() && stored[0] == '+' ? 1 : 0);
    if (digits.find_first_not_of("0123456789*#pwPW,") != std::string::npos ||
        stored.find('+', 1) != std::string::npos)
        return Result::cme(kInvalidDialCharacters);
    if (static_cast<int>(digits.size()) > memory.numberLength)
        return Result::cme(kDialStringTooLong);
    if (alphaFieldLength(name) > memory.nameLength)
        return Result::cme(cme::kTextTooLong);
    if (!index) {
        for (int candidate = 1; candidate <= memory.capacity; ++candidate) {
            if (!memory.entries.count(candidate)) {
                index = candidate;
                break;
            }
        }
        if (!index)
            return Result::cme(kMemoryFull);
    }
    memory.entries[static_cast<int>(*index)] = PhonebookEntry{stored, name};
    return Result::ok();
}

}  // namespace

int alphaFieldLength(std::string_view utf8)
{
    if (const auto septets = utf8ToGsm(utf8))
        return static_cast<int>(septets->size());
    const auto hex = utf8ToUcs2Hex(utf8);
    if (!hex)
        return 1 << 20;  // beyond the basic plane: no SIM coding holds it
    return 1 + static_cast<int>(hex->size() / 2);
}

bool storePhonebookEntry(ModemState &state, const std::string &memoryName, int index,
                         const PhonebookEntry &entry)
{
    PhonebookMemory *memory = memoryNamed(state, memoryName);
    if (!memory || index < 1 || index > memory->capacity ||
        alphaFieldLength(entry.name) > memory->nameLength)
        return false;
    memory->entries[index] = entry;
    return true;
}

void registerPhonebookCommands(CommandTable &table)
{
    table.add("+CPBS", selectStorage);
    table.add("+CPBR", readEntries);
    table.add("+CPBW", writeEntry);
    table.add("+CPBF", findEntries);
}

}  // namespace virtualmodem
