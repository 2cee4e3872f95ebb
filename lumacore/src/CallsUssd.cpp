// USSD: a request goes out with +CUSD=1, the network's reply comes as +CUSD (on its own, or
// inside the answer to the request on cards that hold their OK until the network answers),
// and +CUSD=2 ends a session.
//
// The reply record carries text the program shows as it stands: UTF-8, with scheme 15, or the
// hex of UTF-16 with scheme 0x48 where that fits the record, whatever form the card chose.
#include "CallsUssd.h"

#include "AtParsersPhonebook.h"
#include "Exports.h"

#include "codec/Hex.h"
#include "codec/Unicode.h"
#include "codec/UssdReply.h"

#include <memory>
#include <mutex>

using namespace lumacore;

namespace {

constexpr uint32_t kSevenBitScheme = 0x0F;
constexpr uint32_t kUcs2Scheme = 0x48;
constexpr intptr_t kReplyTaken = 255;

// What the engine knows of the card's USSD between calls: the character set of the last
// request, the request form the card took, and whether a request waits for its reply.
struct UssdChannel {
    std::mutex mutex;
    std::weak_ptr<Engine> engine;  // a new engine starts afresh, even at the same address
    std::string port;
    std::string charset = "IRA";
    std::optional<codec::UssdRequestForm> takenForm;
    bool waiting = false;

    // The state of this engine on this port; a new engine or port starts afresh.
    void adopt(const Engine &running)
    {
        const std::string path = running.portPath();
        auto current = Engine::current();
        const bool same = current.get() == &running && !engine.owner_before(current) &&
                          !current.owner_before(engine);
        if (same && port == path)
            return;
        engine = current;
        port = path;
        charset = "IRA";
        takenForm.reset();
        waiting = false;
    }
};

UssdChannel &channel()
{
    static UssdChannel state;
    return state;
}

// The text into the record: cut at a character, never inside one.
void putText(_MEC_USSD_REPLY &record, const std::string &utf8, bool wide)
{
    if (wide) {
        const auto points = codec::codePointsFromUtf8(utf8);
        const std::string hex =
            points ? codec::hexFromBytes(codec::utf16BigEndianBytes(codec::utf16FromCodePoints(*points)))
                   : std::string();
        if (points && hex.size() < sizeof record.text) {
            copyOut(record.text, sizeof record.text, hex);
            record.dataCodingScheme = kUcs2Scheme;
            return;
        }
    }
    size_t length = std::min(utf8.size(), sizeof record.text - 1);
    while (length > 0 && length < utf8.size() &&
           (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80)
        --length;
    copyOut(record.text, length + 1, utf8.substr(0, length));
    record.dataCodingScheme = kSevenBitScheme;
}

void deliver(Engine &engine, const _MEC_USSD_REPLY &record)
{
    // The program answers once it has its copy; the record lives until then.
    engine.sendToSink(MEC_MSG_USSD_REPLY, &record, sizeof record);
}

// The reply of the request now waiting; an empty "+CUSD: 0" or "+CUSD: 1" that some cards send
// at once, before the network's real reply, is not it.
bool takeReport(Engine &engine, std::string_view line)
{
    UssdChannel &state = channel();
    std::string charset;
    {
        std::lock_guard lock(state.mutex);
        state.adopt(engine);
        charset = state.charset;
    }
    auto report = parseUssdReport(line, charset);
    if (!report)
        return false;
    {
        std::lock_guard lock(state.mutex);
        const bool placeholder = (report->resultType == 0 || report->resultType == 1) &&
                                 !report->hasText && state.waiting;
        if (placeholder)
            return true;
        state.waiting = false;
    }
    deliver(engine, report->record);
    return true;
}

std::string cardCharset(Engine &engine)
{
    AtResponse answer = engine.run("AT+CSCS?");
    const std::string *line = answer.ok() ? answer.line("+CSCS:") : nullptr;
    auto name = line ? parseCscsQueryResponse(*line) : std::nullopt;
    return name ? *name : std::string("IRA");  // a card without +CSCS talks IRA
}

bool formRefused(uint16_t status)
{
    return status != kStatusOk && status != kStatusTimeout && status != kStatusNoCard;
}

}  // namespace

namespace lumacore {

std::optional<UssdReport> parseUssdReport(std::string_view line, const std::string &charset)
{
    auto rest = afterPrefix(line, "+CUSD:");
    if (!rest)
        return std::nullopt;
    const auto fields = splitFields(*rest);
    if (fields.empty())
        return std::nullopt;
    const auto type = parseInteger(fields[0].text);
    if (!type || *type < 0 || *type > 5)
        return std::nullopt;
    UssdReport report;
    report.resultType = static_cast<int>(*type);
    report.record.resultType = static_cast<uint32_t>(*type);
    report.record.dataCodingScheme = kSevenBitScheme;
    if (fields.size() < 2 || fields[1].text.empty())
        return report;
    std::optional<uint8_t> scheme;
    if (fields.size() >= 3) {
        if (auto value = parseInteger(fields[2].text); value && *value >= 0 && *value <= 255)
            scheme = static_cast<uint8_t>(*value);
    }
    const auto text = codec::decodeUssdReply(fields[1].text, scheme, charset);
    report.hasText = !text.text.empty();
    putText(report.record, text.text, text.form == codec::UssdForm::Ucs2Hex);
    return report;
}

bool handleUssdReport(Engine &engine, const AtUnsolicited &code)
{
    if (!afterPrefix(code.line, "+CUSD:"))
        return false;
    takeReport(engine, code.line);
    return true;
}

intptr_t Engine::sendToSink(uint32_t message, const void *data, size_t size)
{
    LumacoreWindowSink *sink = nullptr;
    {
        std::lock_guard lock(m_mutex);
        sink = m_sink;
    }
    if (!sink || !sink->send)
        return 0;
    return sink->send(sink->context, message, 0, 0, data, size);
}

}  // namespace lumacore

MEC_STATUS _MEC_SendUssdRequest(const char *text, uint32_t length)
{
    if (!text || length == 0)
        return kStatusError;
    const std::string request(text, ::strnlen(text, length));
    return withEngine([&](Engine &engine) -> uint16_t {
        const std::string charset = cardCharset(engine);
        UssdChannel &state = channel();
        std::vector<codec::UssdRequestForm> forms;
        {
            std::lock_guard lock(state.mutex);
            state.adopt(engine);
            state.charset = charset;
            if (state.takenForm)
                forms.push_back(*state.takenForm);
            for (auto form : {codec::UssdRequestForm::Text, codec::UssdRequestForm::PackedHex,
                              codec::UssdRequestForm::UnpackedHex}) {
                if (!state.takenForm || form != *state.takenForm)
                    forms.push_back(form);
            }
        }
        uint16_t firstFailure = kStatusOk;
        for (auto form : forms) {
            const auto encoded = codec::encodeUssdRequest(request, form, charset);
            if (!encoded)
                continue;
            {
                std::lock_guard lock(state.mutex);
                state.waiting = true;
            }
            AtResponse answer = engine.run("AT+CUSD=1,\"" + encoded->string + "\"," +
                                           std::to_string(encoded->scheme));
            if (answer.ok()) {
                {
                    std::lock_guard lock(state.mutex);
                    state.takenForm = form;
                }
                // A card that holds its OK until the network answered gives the reply inside.
                for (const std::string &line : answer.lines) {
                    if (afterPrefix(line, "+CUSD:"))
                        engine.events().post([&engine, line] { takeReport(engine, line); });
                }
                return kStatusOk;
            }
            {
                std::lock_guard lock(state.mutex);
                state.waiting = false;
            }
            if (firstFailure == kStatusOk)
                firstFailure = answer.status;
            // A card that refuses one form may take the next; a card gone or silent takes none.
            if (!formRefused(answer.status))
                return answer.status;
        }
        return firstFailure == kStatusOk ? kStatusError : firstFailure;
    });
}

MEC_STATUS _MEC_SendUssdCancel(void)
{
    return withEngine([](Engine &engine) -> uint16_t {
        UssdChannel &state = channel();
        {
            std::lock_guard lock(state.mutex);
            state.adopt(engine);
            state.waiting = false;
        }
        return engine.run("AT+CUSD=2").status;
    });
}
