// Window messages between the program's windows, its logic and the engine.
//
// A message is a custom QEvent that carries the message number, wParam, lParam and, where a
// block or a string travels with it, an owned payload. The payload belongs to the event, so a
// message that is dropped (window gone, queue flushed) cannot leak what it carried.
#pragma once

#include <QEvent>
#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

constexpr uint32_t WM_USER = 0x0400;

// Message numbers used across the program. wParam/lParam meanings are given next to each.
constexpr uint32_t WM_POWERBROADCAST = 0x0218;           // wParam: power event code
constexpr uint32_t WM_CARD_STATE = WM_USER + 101;        // 1125, wParam: card state 1-12
constexpr uint32_t WM_CALL_STATE = WM_USER + 102;        // 1126, wParam: call state
constexpr uint32_t WM_CONNECTION_STATE = WM_USER + 103;  // 1127, wParam: connection state
constexpr uint32_t WM_SMS_NEW = WM_USER + 501;           // 1525, payload: SmsItem copy (1108 bytes)
constexpr uint32_t WM_SMS_REPORT = WM_USER + 502;        // 1526, payload: 61-byte report block
constexpr uint32_t WM_INCOMING_CALL = WM_USER + 503;     // 1527, payload: number text
constexpr uint32_t WM_SERVICE_TEXT = WM_USER + 504;      // 1528, payload: service text
constexpr uint32_t WM_OPERATOR_RECORD = WM_USER + 505;   // 1529, payload: 212-byte operator record
constexpr uint32_t WM_SMS_COUNTS = WM_USER + 506;        // 1530
constexpr uint32_t WM_SMS_CLASS0 = WM_USER + 509;        // 1533, payload: 200-byte block
constexpr uint32_t WM_SMS_BROADCAST = WM_USER + 510;     // 1534, payload: 164-byte block
constexpr uint32_t WM_USSD_STATE = WM_USER + 601;        // 1625
constexpr uint32_t WM_USSD_SESSION = WM_USER + 602;  // 1626, wParam: 1 waiting for reply, 0 over
constexpr uint32_t WM_SIM_READY = WM_USER + 2002;    // 3026, wParam: 2 when the SIM store is ready
constexpr uint32_t WM_CALL_EVENT_FIRST = WM_USER + 2004;  // 3028
constexpr uint32_t WM_CALL_EVENT_LAST = WM_USER + 2008;   // 3032, wParam: dial result
constexpr uint32_t WM_USSD_REPLY = WM_USER + 2101;        // 3125 (sent), payload: 360-byte reply
constexpr uint32_t WM_STK_FIRST = WM_USER + 2201;         // 3225
constexpr uint32_t WM_STK_LAST = WM_USER + 2207;          // 3231
constexpr uint32_t WM_PIN_RESULT = WM_USER + 10200;       // 11224, wParam: 100 OK, 102 cancel

// What a message carries besides its two numbers.
struct MessagePayload {
    virtual ~MessagePayload() = default;
};

// A fixed-size block of bytes (a record copied out of a callback).
struct ByteBlock final : MessagePayload {
    explicit ByteBlock(std::vector<uint8_t> data) : bytes(std::move(data)) {}
    ByteBlock(const void *data, size_t size);
    std::vector<uint8_t> bytes;
};

// A NUL-free 8-bit text in the system code page (a number, a service text).
struct TextBlock final : MessagePayload {
    explicit TextBlock(std::string value) : text(std::move(value)) {}
    std::string text;
};

class WindowMessageEvent final : public QEvent {
public:
    WindowMessageEvent(uint32_t message, uint32_t wParam, uint32_t lParam,
                       std::unique_ptr<MessagePayload> payload = {});
    ~WindowMessageEvent() override;

    static QEvent::Type eventType();

    uint32_t message() const { return m_message; }
    uint32_t wParam() const { return m_wParam; }
    uint32_t lParam() const { return m_lParam; }

    MessagePayload *payload() const { return m_payload.get(); }
    std::unique_ptr<MessagePayload> takePayload() { return std::move(m_payload); }

    // The payload as a block or a text, or null when it is something else (or absent).
    const ByteBlock *block() const { return dynamic_cast<const ByteBlock *>(m_payload.get()); }
    const TextBlock *text() const { return dynamic_cast<const TextBlock *>(m_payload.get()); }

    // The answer a receiver gives to a sent message.
    intptr_t result() const { return m_result; }
    void setResult(intptr_t value) { m_result = value; }

private:
    uint32_t m_message;
    uint32_t m_wParam;
    uint32_t m_lParam;
    std::unique_ptr<MessagePayload> m_payload;
    intptr_t m_result = 0;
};

// Queues the message for the window; returns false when there is no window.
// Safe from any thread.
bool PostMessage(QObject *window, uint32_t message, uint32_t wParam, uint32_t lParam,
                 std::unique_ptr<MessagePayload> payload = {});

// Delivers the message and waits for the window to handle it; returns the result the window set.
// On the window's own thread it is a direct call; from another thread it waits for the window's
// thread to take it (blocking queued delivery). Returns 0 when there is no window.
intptr_t SendMessage(QObject *window, uint32_t message, uint32_t wParam, uint32_t lParam,
                     std::unique_ptr<MessagePayload> payload = {});

}  // namespace platform
