// The engine's view of the card's voice calls, kept from the card's reports (RING / +CRING,
// +CLIP, +CCWA, NO CARRIER, BUSY, NO ANSWER) and from its call list (+CLCC), which is read while
// any call exists. What the far end or the network did becomes the program's news: the incoming
// call callback and the call messages. What the program asked for itself (a hang-up, a release,
// an answer) is no news.
//
// Cards differ, and each class is taken as it comes: a card that lists a ringing call only once
// it is answered (the ring itself, or its silence, tells), the caller's number before the ring,
// after it or never, and a call's end told by nothing but the list.
#pragma once

#include "AtChannel.h"
#include "AtLine.h"
#include "AtParsersVoice.h"
#include "lumacore.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace lumacore {

class Engine;

class VoiceCalls {
public:
    explicit VoiceCalls(Engine &engine);

    // A report from the card, on the event thread; false when it is not about calls.
    bool handleReport(const AtUnsolicited &code);
    // The engine's watch, on its own thread: while calls exist, their list is read.
    void watchTick();
    // The card went away with its calls.
    void cardLost();

    uint16_t dial(const char *number, uint8_t *result);
    uint16_t abortDial();
    uint16_t answer(uint8_t *result);
    uint16_t hangUp();
    uint16_t hold(uint32_t value);
    uint16_t list(_MEC_CLCC_LIST *list);
    uint16_t sendTone(char tone);

private:
    enum class End { Gone, Busy, NoAnswer };
    struct Call {
        int index = -1;  // the card's, -1 until its list names the call
        bool incoming = false;
        int status = 2;  // as +CLCC: 0 active, 1 held, 2 dialling, 3 alerting, 4 incoming, 5 waiting
        bool multiparty = false;
        std::string number;
        bool listed = false;     // the card's list named it
        bool connected = false;  // it was answered
        bool ours = false;       // the program released it: its end is no news
        bool accepted = false;   // the program answered it: its connection is no news
        bool foreign = false;    // set up by another client of the card: not the program's
        bool announced = false;
        std::string announcedNumber;
        std::chrono::steady_clock::time_point lastRing{};
    };
    struct News {
        struct Post {
            uint32_t message;
            uint32_t wParam;
            uint32_t lParam;
        };
        std::vector<Post> posts;
        std::vector<std::string> callers;  // incoming-call callbacks, in order
        bool empty() const { return posts.empty() && callers.empty(); }
    };
    struct ListRead {
        uint16_t status = 0;
        std::vector<ClccEntry> entries;
    };

    // +CLCC, once; a card that refuses it is not asked again.
    ListRead readList();
    // Reads the list and takes it in (one at a time, so an older list never follows a newer).
    uint16_t refresh(News &news);
    // With m_mutex held.
    void takeList(const std::vector<ClccEntry> &entries, News &news);
    void ended(const Call &call, End how, News &news);
    void announceRinging(News &news);
    void checkRingSilence(News &news);
    Call *ringingCall();
    // A call heard ringing (4) or waiting (5), with m_mutex held.
    Call &addRinging(int status);
    Call *settingUpCall();
    int freeIndex() const;
    // Hands the news to the program on the event thread, in order.
    void deliver(News news);
    void poll();
    AtResponse releaseAll();

    Engine &m_engine;
    std::mutex m_refreshMutex;  // one list read and take-in at a time
    mutable std::mutex m_mutex;  // guards everything below
    std::vector<Call> m_calls;
    bool m_listRefused = false;  // the card has no +CLCC
    bool m_chupRefused = false;  // the card hangs up with H only
    bool m_quotedTones = false;  // the card wants +VTS="c"
    std::atomic<bool> m_pollQueued{false};
};

}  // namespace lumacore
