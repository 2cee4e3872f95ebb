// Fuzz input: the first byte chooses whether a command waits (and whether it expects a prompt),
// the second how the rest is cut into reads; the rest is what the card sends. Every line that
// comes out goes through every response parser.
#include "AtLine.h"
#include "AtParsers.h"
#include "AtParsersPhonebook.h"
#include "AtParsersSms.h"
#include "SimText.h"

#include <cstddef>
#include <cstdint>

using namespace lumacore;

namespace {

void parseEverything(const std::string &line)
{
    parseCregResponse(line, true);
    parseCregResponse(line, false);
    parseCgregResponse(line, false);
    parseCeregResponse(line, true);
    parseCopsQueryResponse(line);
    parseCsqResponse(line);
    parseCpinQueryResponse(line);
    parseCpinrResponse(line);
    if (auto sim = parseCrsmResponse(line)) {
        simAlphaToUtf8(sim->data);
        parseSimStatusPinCounts(sim->data);
        decodeServiceProviderName(sim->data, 0);
    }
    parseCfunQueryResponse(line);
    parseClckQueryResponse(line);
    parseCpmsQueryResponse(line);
    parseFinalResult(line);
    parseNumericResult(line);
    std::vector<std::string> lines{line};
    parseRegistrationAnswer(lines, "+CREG:");
    parseCgsnResponse(lines);
    parseCimiResponse(lines);
    parseCgmrResponse(lines);
    parseCgmmResponse(lines);
    parseCmglHeader(line);
    parseCmgrHeader(line);
    parseCmgsResponse(line);
    parseCmgwResponse(line);
    parseCmtiReport(line);
    parseCmtReport(line);
    parseCdsReport(line);
    parseCbmReport(line);
    parseCscaResponse(line);
    for (auto charset : {PhonebookCharset::Ucs2, PhonebookCharset::Gsm, PhonebookCharset::Ira})
        parseCpbrResponse(line, charset);
    parseCpbrTestResponse(line);
    parseCpbsQueryResponse(line);
    parseCscsTestResponse(line);
    parseCscsQueryResponse(line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    uint8_t mode = data[0];
    size_t chunk = 1 + data[1] % 64;
    data += 2;
    size -= 2;

    AtDialogue dialogue;
    if (mode & 1)
        dialogue.beginCommand(mode & 4 ? "AT+CREG?" : "AT+CGSN", (mode & 2) != 0);
    for (size_t offset = 0; offset < size; offset += chunk) {
        AtDialogue::Output output;
        size_t length = std::min(chunk, size - offset);
        dialogue.feed(reinterpret_cast<const char *>(data + offset), length, output);
        for (const auto &code : output.unsolicited)
            parseEverything(code.line);
        if (output.answer) {
            for (const auto &line : output.answer->lines)
                parseEverything(line);
            parseRegistrationAnswer(output.answer->lines, "+CGREG:");
            parseCmglAnswer(output.answer->lines);
            parseCmgrAnswer(output.answer->lines);
            if (mode & 8)
                dialogue.beginCommand("AT+COPS=3,0;+COPS?");
        }
        if ((mode & 16) && dialogue.commandPending())
            dialogue.abandonCommand();
    }
    return 0;
}
