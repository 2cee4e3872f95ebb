// The USSD session: sends and checks requests, cancels sessions, keeps the session's state,
// decodes replies and announces every change to the main window (USSD state, and USSD session
// when a dialogue opens or ends). The main window refuses to close, go off line or let the
// system sleep while a session is open.
#pragma once

#include "lumacore.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

class TBL_Ussd {
public:
    enum State : uint8_t { Unavailable = 0, Ready = 1, Sending = 2, Waiting = 3, Replied = 4 };
    enum SendResult : uint16_t { Sent = 0, BadLength = 1, NotACode = 2, EngineFailed = 3 };
    static constexpr size_t kMaxRequestLength = 133;

    // text in the system code page.
    uint16_t SendRequest(const char *text, size_t length);
    // 0, or 3 when the engine refused; the session ends here either way.
    uint16_t Cancel();
    // The reply to show: the heading and the decoded text, by the record's result type. The
    // session opens or closes as the network says.
    std::string HandleReply(const _MEC_USSD_REPLY &record);
    // Ready ends any open session; not ready makes USSD unavailable. Posts the state change.
    void SetReady(bool ready);
    uint8_t GetState() const;
    bool SessionOpen() const;

    // Whether text may open a session: the service codes the network takes.
    static bool IsOpeningCode(std::string_view text);
    // The reply string of a record by its coding scheme, in the system code page.
    static std::string DecodeReplyText(const _MEC_USSD_REPLY &record);

private:
    void setState(uint8_t state);
    void openSession();
    void closeSession();

    mutable std::mutex m_lock;
    uint8_t m_state = Unavailable;
    bool m_sessionOpen = false;
    std::string m_replyText;
};
