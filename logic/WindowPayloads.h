// What each window message carries, as one packed struct per message: the sender fills it and
// posts it with postPayload<message>(), the receiver reads it with payloadOf<message>(). The
// pairing of message and struct is made here once, so sender and receiver cannot disagree on a
// layout, and a block of the wrong size is refused instead of read past its end.
#pragma once

#include "logic/BL_Sms.h"
#include "lumacore.h"
#include "platform/WindowMessages.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

#pragma pack(push, 1)

// WM_SMS_REPORT: the status report of a sent message.
struct SmsReportPayload {
    uint8_t status;
    char number[36];  // at most 32 characters and a NUL
    char time[24];
};
static_assert(sizeof(SmsReportPayload) == 61);
static_assert(offsetof(SmsReportPayload, number) == 1);
static_assert(offsetof(SmsReportPayload, time) == 37);

// Class-0 and broadcast texts keep a whole message's 160 characters in any system code page,
// where one character takes up to four bytes (UTF-8); the block never leaves the process.
inline constexpr size_t kShortTextChars = 160;
inline constexpr size_t kShortTextField = kShortTextChars * 4 + 1;

// WM_SMS_CLASS0: a message shown at once and never stored.
struct SmsClass0Payload {
    char number[36];             // at most 32 characters and a NUL
    char text[kShortTextField];  // at most 160 characters and a NUL
};
static_assert(sizeof(SmsClass0Payload) == 36 + kShortTextField);
static_assert(offsetof(SmsClass0Payload, text) == 36);

// WM_SMS_BROADCAST: one cell-broadcast page.
struct SmsBroadcastPayload {
    char text[kShortTextField];  // at most 160 characters and a NUL
};
static_assert(sizeof(SmsBroadcastPayload) == kShortTextField);

#pragma pack(pop)

// The struct each message carries. A message not listed here carries none (or a text); the
// windows' own messages are paired next to their numbers, in the window's folder.
template <uint32_t Message, typename = void>
struct MessagePayloadType;

template <>
struct MessagePayloadType<platform::WM_SMS_NEW> {
    using type = SmsItem;  // the item as stored, long messages already joined
};
template <>
struct MessagePayloadType<platform::WM_SMS_REPORT> {
    using type = SmsReportPayload;
};
template <>
struct MessagePayloadType<platform::WM_OPERATOR_RECORD> {
    using type = _MEC_ZDON_RECORD;  // the name field may hold the SIM's provider name instead
};
template <>
struct MessagePayloadType<platform::WM_SMS_CLASS0> {
    using type = SmsClass0Payload;
};
template <>
struct MessagePayloadType<platform::WM_SMS_BROADCAST> {
    using type = SmsBroadcastPayload;
};
template <>
struct MessagePayloadType<platform::WM_USSD_REPLY> {
    using type = _MEC_USSD_REPLY;  // sent by the engine
};
// Every toolkit message (WM_STK_FIRST to WM_STK_LAST) carries a toolkit record.
template <uint32_t Message>
struct MessagePayloadType<Message, std::enable_if_t<Message >= platform::WM_STK_FIRST &&
                                                    Message <= platform::WM_STK_LAST>> {
    using type = _MEC_STK_RECORD;
};

template <uint32_t Message>
using PayloadOf = typename MessagePayloadType<Message>::type;

// The payload block of a message, copied from its struct.
template <uint32_t Message>
std::unique_ptr<platform::ByteBlock> makePayload(const PayloadOf<Message> &payload)
{
    static_assert(std::is_trivially_copyable_v<PayloadOf<Message>>);
    return std::make_unique<platform::ByteBlock>(&payload, sizeof payload);
}

// Posts the message with its payload; false when there is no window.
template <uint32_t Message>
bool postPayload(QObject *window, const PayloadOf<Message> &payload, uint32_t wParam = 0,
                 uint32_t lParam = 0)
{
    return platform::PostMessage(window, Message, wParam, lParam, makePayload<Message>(payload));
}

// The message's payload as its struct, or false when the message carries no block of exactly
// that size (a malformed or foreign message: the receiver ignores it).
template <uint32_t Message>
bool payloadOf(const platform::WindowMessageEvent &event, PayloadOf<Message> *out)
{
    const platform::ByteBlock *block = event.block();
    if (event.message() != Message || block == nullptr ||
        block->bytes.size() != sizeof(PayloadOf<Message>)) {
        return false;
    }
    std::memcpy(out, block->bytes.data(), sizeof(PayloadOf<Message>));
    return true;
}
