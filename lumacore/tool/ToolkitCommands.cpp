#include "ToolkitCommands.h"

#include "Json.h"

#include "codec/Hex.h"
#include "codec/Toolkit.h"

namespace lumacore {

namespace {

using namespace codec::toolkit;

const char *inputKindName(InputKind kind)
{
    switch (kind) {
    case InputKind::Gsm: return "text";
    case InputKind::YesNo: return "yes-no";
    case InputKind::Digits: return "digits";
    case InputKind::Ucs2: return "ucs2-text";
    case InputKind::Ucs2Digits: return "ucs2-digits";
    }
    return "text";
}

void optionalText(JsonObject &json, const char *key, const std::optional<std::string> &text)
{
    if (text)
        json.text(key, *text);
    else
        json.null(key);
}

std::string commandJson(const ProactiveCommand &command)
{
    JsonObject json;
    json.number("number", command.number);
    json.text("type", commandTypeName(command.type));
    json.number("typeCode", command.type);
    json.number("qualifier", command.qualifier);
    json.number("source", command.source);
    json.number("destination", command.destination);
    optionalText(json, "alpha", command.alpha);
    optionalText(json, "text", command.text);
    optionalText(json, "defaultText", command.defaultText);
    std::vector<std::string> items;
    for (const auto &item : command.items)
        items.push_back(JsonObject(3).number("id", item.id).text("text", item.text).str());
    json.raw("items", jsonArray(items));
    if (command.defaultItem)
        json.number("defaultItem", *command.defaultItem);
    if (command.is(CommandType::GetInput) || command.is(CommandType::GetInkey)) {
        json.text("input", inputKindName(command.inputKind()));
        json.number("minLength", command.minLength);
        json.number("maxLength", command.maxLength);
    }
    if (command.is(CommandType::DisplayText))
        json.boolean("waitsForUser", command.waitsForUser());
    if (command.icon)
        json.raw("icon", JsonObject(2)
                             .number("record", command.icon->record)
                             .boolean("selfExplanatory", command.icon->selfExplanatory)
                             .str());
    json.boolean("helpAvailable", command.helpAvailable);
    const auto result = command.refusal.value_or(resultWhenPerformed(command));
    json.number("result", static_cast<int>(result));
    json.text("terminalResponse", codec::hexFromBytes(encodeTerminalResponse(command, result)));
    return json.str();
}

}  // namespace

const char *toolkitCommandsUsage() { return "       lumacore-tool decode-stk HEX\n"; }

int decodeStkCommand(const std::vector<std::string> &arguments)
{
    if (arguments.size() != 1) {
        std::fprintf(stderr, "lumacore-tool: decode-stk takes one proactive command\n");
        return 1;
    }
    const auto bytes = codec::bytesFromHex(arguments[0]);
    if (!bytes) {
        std::fprintf(stderr, "lumacore-tool: decode-stk needs the command in hexadecimal\n");
        return 1;
    }
    const auto command = decodeProactiveCommand(*bytes);
    if (!command) {
        std::fprintf(stderr, "lumacore-tool: the command cannot be read: %s\n",
                     command.error().c_str());
        return 1;
    }
    std::printf("%s\n", commandJson(*command).c_str());
    return 0;
}

}  // namespace lumacore
