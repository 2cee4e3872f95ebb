#include "Toolkit.h"

#include "AtLine.h"
#include "Engine.h"
#include "NetworkState.h"
#include "SimText.h"
#include "Status.h"

#include "codec/Hex.h"

#include <algorithm>

namespace lumacore {

namespace {

using namespace codec::toolkit;

void copyText(char *field, size_t size, const std::string &utf8)
{
    copyField(field, size, utf8ToSystem(utf8));
}

bool oneOf(const ProactiveCommand &command, std::initializer_list<CommandType> types)
{
    return std::any_of(types.begin(), types.end(),
                       [&](CommandType type) { return command.is(type); });
}

uint32_t messageFor(const ProactiveCommand &command)
{
    if (command.is(CommandType::SetUpMenu))
        return MEC_MSG_STK_MAIN_MENU;
    if (command.is(CommandType::SelectItem))
        return MEC_MSG_STK_SUB_MENU;
    if (command.is(CommandType::DisplayText))
        return MEC_MSG_STK_DISPLAY_TEXT;
    if (command.is(CommandType::GetInput) || command.is(CommandType::GetInkey))
        return MEC_MSG_STK_GET_INPUT;
    if (oneOf(command, {CommandType::SendShortMessage, CommandType::SendSs, CommandType::SendUssd}))
        return MEC_MSG_STK_SMS_STATE;
    return MEC_MSG_STK_OTHER;
}

// A DISPLAY TEXT the user must clear, and the SIM waits for that before it answers.
bool waitsForConfirmation(const ProactiveCommand &command)
{
    return command.is(CommandType::DisplayText) && command.waitsForUser() &&
           !command.immediateResponse;
}

// Statuses that say the card is away or slow, not that it refused.
bool transient(uint16_t status) { return status == kStatusTimeout || status == kStatusNoCard; }

}  // namespace

std::optional<std::vector<uint8_t>> proactiveCommandOf(const std::string &line)
{
    auto rest = afterPrefix(line, "+CUSATP:");
    if (!rest)
        return std::nullopt;
    std::string hex(*rest);
    if (hex.size() >= 2 && hex.front() == '"' && hex.back() == '"')
        hex = hex.substr(1, hex.size() - 2);
    return codec::bytesFromHex(hex);
}

_MEC_STK_RECORD toolkitRecordOf(const ProactiveCommand &command)
{
    _MEC_STK_RECORD record{};
    const size_t count = std::min<size_t>(command.items.size(), MEC_STK_MAX_ITEMS);
    record.itemCount = static_cast<uint32_t>(count);
    for (size_t i = 0; i < count; ++i) {
        copyText(record.itemTexts[i], sizeof record.itemTexts[i], command.items[i].text);
        record.itemIds[i] = command.items[i].id;
    }
    copyText(record.title, sizeof record.title, command.alpha.value_or(""));
    record.displayKind = waitsForConfirmation(command) ? 2 : 1;
    const bool hasText = command.is(CommandType::DisplayText) ||
                         command.is(CommandType::GetInput) || command.is(CommandType::GetInkey);
    if (command.is(CommandType::DisplayText) || !hasText)
        copyText(record.displayText, sizeof record.displayText,
                 hasText ? command.text.value_or("") : command.alpha.value_or(""));
    if (command.is(CommandType::GetInput) || command.is(CommandType::GetInkey)) {
        copyText(record.inputPrompt, sizeof record.inputPrompt, command.text.value_or(""));
        const InputKind kind = command.inputKind();
        uint32_t minimum = command.minLength;
        uint32_t maximum = command.maxLength;
        if (command.is(CommandType::GetInkey))
            minimum = maximum = 1;  // one key
        // The input dialog counts UCS-2 input in bytes against the minimum, and UCS-2 digits in
        // bytes against the maximum; the SIM gives characters.
        if (kind == InputKind::Ucs2)
            minimum *= 2;
        if (kind == InputKind::Ucs2Digits) {
            minimum *= 2;
            maximum *= 2;
        }
        record.inputMinLength = minimum;
        record.inputMaxLength = maximum;
        record.inputKind = static_cast<uint32_t>(kind);
    }
    return record;
}

void ToolkitSession::post(Engine &engine, uint32_t message, const _MEC_STK_RECORD &record)
{
    engine.postToSink(message, 0, 0, &record, sizeof record);
}

uint16_t ToolkitSession::respond(Engine &engine, const std::vector<uint8_t> &response)
{
    return engine.run("AT+CUSATT=\"" + codec::hexFromBytes(response) + "\"").status;
}

uint16_t ToolkitSession::requestMainMenu(Engine &engine)
{
    std::optional<_MEC_STK_RECORD> menu;
    Activation activation = Activation::Unknown;
    {
        std::lock_guard lock(m_mutex);
        if (m_activation == Activation::Refused)
            return kStatusNotSupported;
        menu = m_mainMenu;
        m_wantMenu = !menu;
        activation = m_activation;
    }
    if (menu) {
        post(engine, MEC_MSG_STK_MAIN_MENU, *menu);
        return kStatusOk;
    }
    if (activation == Activation::Active)
        return kStatusOk;  // the menu is posted when the SIM sets it up
    // The profile of a terminal that shows menus and asks for input; the SIM answers by
    // setting up its menu.
    const AtResponse answer = engine.run("AT+CUSATA=1");
    std::lock_guard lock(m_mutex);
    if (answer.ok()) {
        m_activation = Activation::Active;
        return kStatusOk;
    }
    m_wantMenu = false;
    if (transient(answer.status))
        return answer.status;
    m_activation = Activation::Refused;
    return kStatusNotSupported;
}

uint16_t ToolkitSession::selectMainMenu(Engine &engine, uint32_t itemId)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_activation == Activation::Refused)
            return kStatusNotSupported;
        if (!m_mainMenu || itemId > 0xFF)
            return kStatusError;
    }
    const auto envelope = encodeMenuSelection(static_cast<uint8_t>(itemId));
    return engine.run("AT+CUSATE=\"" + codec::hexFromBytes(envelope) + "\"").status;
}

template <typename Build>
uint16_t ToolkitSession::answerWaiting(Engine &engine, std::initializer_list<CommandType> types,
                                       Build build)
{
    std::optional<ProactiveCommand> waiting;
    {
        std::lock_guard lock(m_mutex);
        if (m_activation == Activation::Refused)
            return kStatusNotSupported;
        if (!m_waiting || (types.size() != 0 && !oneOf(*m_waiting, types)))
            return kStatusError;
        // Taken before the answer goes out: the SIM's next command may arrive before the card
        // acknowledges this one, and becomes the one waiting.
        waiting = std::move(m_waiting);
        m_waiting.reset();
    }
    const std::optional<std::vector<uint8_t>> response = build(*waiting);
    const uint16_t status = response ? respond(engine, *response) : kStatusError;
    if (status != kStatusOk) {
        std::lock_guard lock(m_mutex);
        if (!m_waiting)
            m_waiting = std::move(waiting);  // still unanswered: the user may try again
    }
    return status;
}

uint16_t ToolkitSession::selectSubMenu(Engine &engine, uint32_t itemId)
{
    return answerWaiting(engine, {CommandType::SelectItem},
                         [&](const ProactiveCommand &command) -> std::optional<std::vector<uint8_t>> {
                             const bool listed = std::any_of(
                                 command.items.begin(), command.items.end(),
                                 [&](const MenuItem &item) { return item.id == itemId; });
                             if (!listed)
                                 return std::nullopt;
                             return encodeItemResponse(command, resultWhenPerformed(command),
                                                       static_cast<uint8_t>(itemId));
                         });
}

uint16_t ToolkitSession::goBack(Engine &engine, bool oneLevel)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_waiting)
            return m_activation == Activation::Refused ? kStatusNotSupported : kStatusOk;
    }
    const auto result = oneLevel ? GeneralResult::BackwardMove : GeneralResult::TerminatedByUser;
    return answerWaiting(engine, {}, [&](const ProactiveCommand &command) {
        return std::optional(encodeTerminalResponse(command, result));
    });
}

uint16_t ToolkitSession::confirmText(Engine &engine)
{
    return answerWaiting(engine, {CommandType::DisplayText}, [](const ProactiveCommand &command) {
        return std::optional(encodeTerminalResponse(command, resultWhenPerformed(command)));
    });
}

uint16_t ToolkitSession::answerInput(Engine &engine, uint32_t kind, const std::string &utf8)
{
    return answerWaiting(engine, {CommandType::GetInput, CommandType::GetInkey},
                         [&](const ProactiveCommand &command) -> std::optional<std::vector<uint8_t>> {
                             if (kind != static_cast<uint32_t>(command.inputKind()))
                                 return std::nullopt;
                             auto response = encodeInputResponse(
                                 command, resultWhenPerformed(command), utf8);
                             if (!response)
                                 return std::nullopt;
                             return *response;
                         });
}

void ToolkitSession::handle(Engine &engine, const ProactiveCommand &command)
{
    if (command.refusal) {
        (void)respond(engine, encodeTerminalResponse(command, *command.refusal));
        return;
    }
    const GeneralResult performed = resultWhenPerformed(command);
    if (performed == GeneralResult::DataNotUnderstood) {
        (void)respond(engine, encodeTerminalResponse(command, performed));
        return;
    }
    const _MEC_STK_RECORD record = toolkitRecordOf(command);
    if (command.is(CommandType::SetUpMenu)) {
        bool wanted = false;
        {
            std::lock_guard lock(m_mutex);
            if (command.removesMenu())
                m_mainMenu.reset();
            else
                m_mainMenu = record;
            wanted = m_wantMenu && m_mainMenu;
            if (wanted)
                m_wantMenu = false;
        }
        (void)respond(engine, encodeTerminalResponse(command, performed));
        if (wanted)
            post(engine, MEC_MSG_STK_MAIN_MENU, record);
        return;
    }
    if (oneOf(command, {CommandType::SelectItem, CommandType::GetInput, CommandType::GetInkey}) ||
        waitsForConfirmation(command)) {
        {
            std::lock_guard lock(m_mutex);
            m_waiting = command;
        }
        post(engine, messageFor(command), record);
        return;
    }
    if (command.is(CommandType::DisplayText)) {
        post(engine, MEC_MSG_STK_DISPLAY_TEXT, record);
        (void)respond(engine, encodeTerminalResponse(command, performed));
        return;
    }
    if (command.is(CommandType::SendShortMessage)) {
        post(engine, MEC_MSG_STK_SMS_STATE, record);
        GeneralResult result = GeneralResult::RequiredValuesMissing;
        if (!command.smsTpdu.empty()) {
            // No service centre in front: the card's own is used.
            const AtResponse sent =
                engine.runWithPdu("AT+CMGS=" + std::to_string(command.smsTpdu.size()),
                                  "00" + codec::hexFromBytes(command.smsTpdu));
            // 0x21: the network cannot do it now.
            result = sent.ok() ? performed : static_cast<GeneralResult>(0x21);
        }
        (void)respond(engine, result == static_cast<GeneralResult>(0x21)
                                  ? encodeTerminalResponse(command, result, 0x00)
                                  : encodeTerminalResponse(command, result));
        return;
    }
    if (oneOf(command, {CommandType::SendSs, CommandType::SendUssd})) {
        // Shown, but not sent on the SIM's behalf.
        post(engine, MEC_MSG_STK_SMS_STATE, record);
        (void)respond(engine, encodeTerminalResponse(command, GeneralResult::BeyondCapabilities));
        return;
    }
    if (command.is(CommandType::MoreTime)) {
        (void)respond(engine, encodeTerminalResponse(command, GeneralResult::Performed));
        return;
    }
    (void)respond(engine, encodeTerminalResponse(command, GeneralResult::BeyondCapabilities));
}

bool ToolkitSession::onUnsolicited(Engine &engine, const AtUnsolicited &code)
{
    const std::string &line = code.line;
    if (afterPrefix(line, "+CUSATEND")) {
        std::optional<_MEC_STK_RECORD> menu;
        {
            std::lock_guard lock(m_mutex);
            m_waiting.reset();
            menu = m_mainMenu;
        }
        post(engine, MEC_MSG_STK_MAIN_MENU_AGAIN, menu.value_or(_MEC_STK_RECORD{}));
        return true;
    }
    if (!afterPrefix(line, "+CUSATP:"))
        return false;
    const auto bytes = proactiveCommandOf(line);
    // A command without details cannot even be answered; the SIM times it out itself.
    if (!bytes)
        return true;
    const auto command = decodeProactiveCommand(*bytes);
    if (command)
        handle(engine, *command);
    return true;
}

void ToolkitSession::forget()
{
    std::lock_guard lock(m_mutex);
    m_activation = Activation::Unknown;
    m_wantMenu = false;
    m_mainMenu.reset();
    m_waiting.reset();
}

}  // namespace lumacore
