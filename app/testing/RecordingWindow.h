// A feature window that keeps what the main window told it, for tests of whatever tells the
// windows (the routing table, the card monitor). Registered like any window.
#pragma once

#include "FeatureWindow.h"

#include "platform/WindowMessages.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

class RecordingWindow : public feature::FeatureWindow {
public:
    struct Message {
        uint32_t message;
        uint32_t wParam;
        uint32_t lParam;
        std::vector<uint8_t> bytes;  // the block or text it carried
    };

    std::vector<int> cardStates;
    std::vector<int> callStates;
    std::vector<int> connectionStates;
    std::vector<int> ussdSessions;
    std::vector<Message> messages;
    int shown = 0;
    // The timers it stops during a call.
    std::vector<QTimer *> timers;
    // Runs as each message arrives, with it.
    std::function<void(const Message &)> onMessage;

    void cardStateChanged(CardState state) override { cardStates.push_back(state); }
    void callStateChanged(CallState state) override { callStates.push_back(state); }
    void connectionStateChanged(ConnectionState state) override
    {
        connectionStates.push_back(state);
    }
    void ussdSessionChanged(UssdSession session) override { ussdSessions.push_back(session); }
    void messageArrived(platform::WindowMessageEvent &message) override
    {
        Message kept{message.message(), message.wParam(), message.lParam(), {}};
        if (message.block())
            kept.bytes = message.block()->bytes;
        else if (message.text())
            kept.bytes.assign(message.text()->text.begin(), message.text()->text.end());
        messages.push_back(std::move(kept));
        if (onMessage)
            onMessage(messages.back());
    }
    void shownInPanel() override { ++shown; }
    std::vector<QTimer *> timersStoppedDuringCall() override { return timers; }

    // The numbers of the messages it was handed, in order.
    std::vector<uint32_t> messageNumbers() const
    {
        std::vector<uint32_t> numbers;
        for (const Message &kept : messages)
            numbers.push_back(kept.message);
        return numbers;
    }
    // The messages it was handed with numbers first..last.
    std::vector<Message> messagesIn(uint32_t first, uint32_t last) const
    {
        std::vector<Message> out;
        for (const Message &kept : messages)
            if (kept.message >= first && kept.message <= last)
                out.push_back(kept);
        return out;
    }
};
