// The SMS service settings: +CSMS, +CMGF, +CNMI, +CPMS and +CSCA. The SIM's message storage
// answers only once the SIM is usable and has finished reading its files.
#include "virtualmodem/Modem.h"
#include "virtualmodem/SimCard.h"

#include <algorithm>

namespace virtualmodem {

namespace {

namespace cms {
constexpr int kNotSupported = 303;
constexpr int kInvalidParameter = 304;
constexpr int kInvalidTextParameter = 305;
constexpr int kUnknownStorage = 321;
}  // namespace cms

Result serviceSelection(Modem &, const AtCommand &command)
{
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->size() != 1)
            return Result::error();
        if (!numberArgument(*values, 0, 0, 0))
            return Result::cms(cms::kNotSupported);
        return Result::ok({"+CSMS: 1,1,1"});
    }
    case AtKind::Read: return Result::ok({"+CSMS: 0,1,1,1"});
    case AtKind::Test: return Result::ok({"+CSMS: (0)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result messageFormat(Modem &modem, const AtCommand &command)
{
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->size() != 1)
            return Result::error();
        // The card works in PDU mode only.
        if (!numberArgument(*values, 0, 0, 0))
            return Result::cms(cms::kNotSupported);
        modem.state().settings.messageFormat = 0;
        return Result::ok();
    }
    case AtKind::Read:
        return Result::ok({"+CMGF: " + std::to_string(modem.state().settings.messageFormat)});
    case AtKind::Test: return Result::ok({"+CMGF: (0)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result newMessageIndications(Modem &modem, const AtCommand &command)
{
    auto &setting = modem.state().settings.newMessageIndications;
    switch (command.kind) {
    case AtKind::Set: {
        const auto values = parseArguments(command.argument);
        if (!values || values->empty() || values->size() > setting.size())
            return Result::error();
        // mode, deliveries, cell broadcasts, status reports, buffer.
        const std::vector<std::vector<int>> allowed{
            {0, 1, 2}, {0, 1, 2, 3}, {0, 2}, {0, 1, 2}, {0, 1}};
        std::array<int, 5> next = setting;
        for (size_t i = 0; i < values->size(); ++i) {
            if ((*values)[i].empty())
                continue;
            const auto number = numberArgument(*values, i, 0, 9);
            if (!number ||
                std::find(allowed[i].begin(), allowed[i].end(), *number) == allowed[i].end()) {
                return Result::cms(cms::kNotSupported);
            }
            next[i] = static_cast<int>(*number);
        }
        setting = next;
        return Result::ok();
    }
    case AtKind::Read: {
        std::string line = "+CNMI: ";
        for (size_t i = 0; i < setting.size(); ++i)
            line += (i ? "," : "") + std::to_string(setting[i]);
        return Result::ok({line});
    }
    case AtKind::Test: return Result::ok({"+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1)"});
    case AtKind::Execute: break;
    }
    return Result::error();
}

Result preferredStorage(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    auto storage = [&](const std::string &name) -> MessageStorage * {
        for (MessageStorage &candidate : state.messageStorages) {
            if (equalsIgnoringCase(candidate.name, name))
                return &candidate;
        }
        return nullptr;
    };
    if (command.kind == AtKind::Test) {
        std::string names;
        for (const MessageStorage &candidate : state.messageStorages) {
            names += (names.empty() ? "\"" : ",\"") + candidate.name + "\"";
        }
        return Result::ok({"+CPMS: (" + names + "),(" + names + "),(" + names + ")"});
    }
    if (command.kind == AtKind::Execute)
        return Result::error();
    std::optional<std::vector<AtValue>> values;
    if (command.kind == AtKind::Set) {
        values = parseArguments(command.argument);
        if (!values || values->empty() || values->size() > 3)
            return Result::error();
        for (const AtValue &value : *values) {
            if (value.empty() || storage(value.text) == nullptr)
                return Result::cms(cms::kUnknownStorage);
        }
    }
    if (const auto error = simStorageNotReadyError(state, modem.now()))
        return Result::cms(*error);

    if (command.kind == AtKind::Read) {
        std::string line = "+CPMS: ";
        for (size_t i = 0; i < state.selectedStorages.size(); ++i) {
            const MessageStorage *selected = storage(state.selectedStorages[i]);
            line += (i ? ",\"" : "\"") + selected->name + "\"," + std::to_string(selected->used) +
                    "," + std::to_string(selected->capacity);
        }
        return Result::ok({line});
    }
    for (size_t i = 0; i < values->size(); ++i)
        state.selectedStorages[i] = storage((*values)[i].text)->name;
    std::string line = "+CPMS: ";
    for (size_t i = 0; i < state.selectedStorages.size(); ++i) {
        const MessageStorage *selected = storage(state.selectedStorages[i]);
        line += (i ? "," : "") + std::to_string(selected->used) + "," +
                std::to_string(selected->capacity);
    }
    return Result::ok({line});
}

Result serviceCenter(Modem &modem, const AtCommand &command)
{
    ModemState &state = modem.state();
    if (command.kind == AtKind::Test)
        return Result::ok();
    if (command.kind == AtKind::Execute)
        return Result::error();
    if (const auto error = simStorageNotReadyError(state, modem.now()); error && *error != 314) {
        return Result::cms(*error);
    }
    if (command.kind == AtKind::Read) {
        const std::string &number = state.serviceCenter;
        const int type = !number.empty() && number[0] == '+' ? 145 : 129;
        return Result::ok(
            {"+CSCA: \"" + modem.terminalText(number) + "\"," + std::to_string(type)});
    }
    const auto values = parseArguments(command.argument);
    if (!values || values->empty() || values->size() > 2)
        return Result::error();
    const auto given = textArgument(*values, 0);
    if (!given)
        return Result::error();
    const auto number = decodeFromTerminal(*given, state.settings.charset);
    if (!number || number->empty() || number->size() > 21 ||
        number->find_first_not_of("+0123456789*#", 0) != std::string::npos ||
        number->find('+', 1) != std::string::npos) {
        return Result::cms(cms::kInvalidTextParameter);
    }
    if (values->size() == 2) {
        const auto type = numberArgument(*values, 1, 128, 255);
        if (!type)
            return Result::cms(cms::kInvalidParameter);
        if (*type == 145 && (*number)[0] != '+') {
            state.serviceCenter = "+" + *number;
            return Result::ok();
        }
    }
    state.serviceCenter = *number;
    return Result::ok();
}

}  // namespace

void registerMessagingCommands(CommandTable &table)
{
    table.add("+CSMS", serviceSelection);
    table.add("+CMGF", messageFormat);
    table.add("+CNMI", newMessageIndications);
    table.add("+CPMS", preferredStorage);
    table.add("+CSCA", serviceCenter);
}

}  // namespace virtualmodem
