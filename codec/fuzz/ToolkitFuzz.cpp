// Fuzz input: a proactive command as the card would send it (and the same bytes read as the
// terminal's answers, as the virtual card reads them). Whatever the decoder accepts, the
// answers built for it must be well formed: a terminal response of objects that read back, and
// for an input, the user's text (the command's own default text) written in the alphabet asked.
#include "codec/Toolkit.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace codec::toolkit;

namespace {

// A terminal response wrapped as a command's body reads back with the same details.
void checkReadsBack(const ProactiveCommand &command, const std::vector<uint8_t> &response)
{
    if (response.size() > 0xFF)
        std::abort();
    std::vector<uint8_t> wrapped{0xD0};
    if (response.size() >= 0x80)
        wrapped.push_back(0x81);
    wrapped.push_back(static_cast<uint8_t>(response.size()));
    wrapped.insert(wrapped.end(), response.begin(), response.end());
    const auto again = decodeProactiveCommand(wrapped);
    if (!again || again->number != command.number || again->type != command.type ||
        again->qualifier != command.qualifier)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The same bytes as the card's side reads them: a terminal response, an envelope.
    (void)decodeTerminalResponse({data, size});
    (void)decodeMenuSelection({data, size});
    const auto command = decodeProactiveCommand({data, size});
    if (!command)
        return 0;
    const auto result = command->refusal.value_or(resultWhenPerformed(*command));
    checkReadsBack(*command, encodeTerminalResponse(*command, result));
    if (!command->items.empty())
        checkReadsBack(*command, encodeItemResponse(*command, result, command->items.front().id));
    if (command->defaultText) {
        if (const auto answer = encodeInputResponse(*command, result, *command->defaultText))
            checkReadsBack(*command, *answer);
    }
    encodeMenuSelection(command->defaultItem.value_or(0), command->helpAvailable);
    return 0;
}
