#include "UssdCommand.h"

#include "AtChannel.h"
#include "Exports.h"

#include "codec/Hex.h"
#include "codec/Unicode.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <iostream>
#include <mutex>

namespace lumacore {

namespace {

constexpr auto kReplyWait = std::chrono::seconds(60);

struct ReplyQueue {
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<_MEC_USSD_REPLY> replies;
};
ReplyQueue g_queue;

int post(void *, uint32_t, uint32_t, uint32_t, const void *, size_t) { return 1; }

intptr_t send(void *, uint32_t message, uint32_t, uint32_t, const void *data, size_t size)
{
    if (message == MEC_MSG_USSD_REPLY && data && size == sizeof(_MEC_USSD_REPLY)) {
        std::lock_guard lock(g_queue.mutex);
        g_queue.replies.push_back(*static_cast<const _MEC_USSD_REPLY *>(data));
        g_queue.arrived.notify_all();
    }
    return 255;
}

LumacoreWindowSink g_sink{nullptr, post, send};

const char *typeText(uint32_t type)
{
    switch (type) {
    case 0: return "done";
    case 1: return "the network asks for an answer";
    case 2: return "ended by the network";
    case 3: return "answered by another client";
    case 4: return "not supported by the network";
    case 5: return "the network timed out";
    default: return "unknown";
    }
}

std::string replyText(const _MEC_USSD_REPLY &record)
{
    if (record.dataCodingScheme == 0x48) {
        auto bytes = codec::bytesFromHex(record.text);
        return bytes ? codec::utf8FromUtf16BigEndian(*bytes).value_or(record.text) : record.text;
    }
    return record.text;
}

int fail(const std::string &why)
{
    std::fprintf(stderr, "lumacore-tool ussd: %s\n", why.c_str());
    (void)_MEC_Shutdown();  // the failure is what the user needs to see
    return 1;
}

}  // namespace

const char *ussdCommandUsage()
{
    return "       lumacore-tool ussd CODE [PORT] [--pin PIN] [--trace]\n"
           "                  (answers from standard input, one a line; empty ends the session)\n";
}

int ussdCommand(const std::vector<std::string> &arguments)
{
    std::string code, port, pin;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--pin" && i + 1 < arguments.size())
            pin = arguments[++i];
        else if (arguments[i] == "--trace")
            setAtTracing(true);
        else if (code.empty())
            code = arguments[i];
        else if (port.empty())
            port = arguments[i];
        else
            return 2;
    }
    if (code.empty())
        return 2;
    if (!port.empty())
        ::setenv("LUMACORE_PORT", port.c_str(), 1);
    if (uint16_t started = _MEC_Startup(0, 400, 0); started != kStatusOk)
        return fail("no card (status " + std::to_string(started) + ")");
    (void)_MEC_RegisterAppHandle(&g_sink, 0);  // only fails without an engine
    uint8_t pinState = 0;
    if (_MEC_GetPinState(&pinState) == kStatusOk && pinState == 1) {
        if (pin.empty())
            return fail("the SIM wants its PIN (--pin)");
        if (uint16_t entered = _MEC_SetPin(pin.c_str(), nullptr); entered != kStatusOk)
            return fail("the PIN was refused (status " + std::to_string(entered) + ")");
    }
    (void)_MEC_NetcardStart();  // USSD needs no reports; a card that refuses them still answers

    std::string request = code;
    while (true) {
        if (uint16_t sent = _MEC_SendUssdRequest(request.c_str(), static_cast<uint32_t>(request.size()));
            sent != kStatusOk)
            return fail("the request was not sent (status " + std::to_string(sent) + ")");
        _MEC_USSD_REPLY reply{};
        {
            std::unique_lock lock(g_queue.mutex);
            if (!g_queue.arrived.wait_for(lock, kReplyWait, [] { return !g_queue.replies.empty(); })) {
                lock.unlock();
                (void)_MEC_SendUssdCancel();  // ending anyway; the time-out is the news
                return fail("no reply within 60 s");
            }
            reply = g_queue.replies.front();
            g_queue.replies.pop_front();
        }
        std::printf("%s\n", typeText(reply.resultType));
        if (reply.text[0] != '\0')
            std::printf("%s\n", replyText(reply).c_str());
        std::fflush(stdout);
        if (reply.resultType != 1 && reply.resultType != 3)
            break;
        if (!std::getline(std::cin, request) || request.empty()) {
            if (uint16_t cancelled = _MEC_SendUssdCancel(); cancelled != kStatusOk)
                std::fprintf(stderr, "lumacore-tool ussd: the cancel was refused (status %u)\n",
                             cancelled);
            std::printf("cancelled\n");
            break;
        }
    }
    return _MEC_Shutdown() == kStatusOk ? 0 : 1;
}

}  // namespace lumacore
