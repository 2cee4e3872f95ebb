// The card's voice calls and the network behind them: outgoing calls that connect, are busy, go
// unanswered or fail; incoming and waiting calls; hold, swap, conference and the release of one
// party; the tones sent during a call. Plain data here; the commands and the timed progress of
// the calls are in Voice.cpp.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace virtualmodem {

// How the far end of an outgoing call behaves, chosen per dialled number.
enum class CallOutcome {
    Connect,   // rings, then answers
    Busy,      // the far end is busy
    NoAnswer,  // rings until the network gives up
    Fail,      // the network cannot reach the number
};

// One call as +CLCC lists it.
struct VoiceCall {
    enum Status { Active = 0, Held = 1, Dialling = 2, Alerting = 3, Incoming = 4, Waiting = 5 };
    int index = 0;  // 1-7, the lowest free one
    bool incoming = false;
    Status status = Dialling;
    bool multiparty = false;
    std::string number;  // empty when the caller withholds it
    CallOutcome outcome = CallOutcome::Connect;
    std::chrono::steady_clock::time_point since{};  // the status began
};

struct VoiceNetwork {
    std::vector<VoiceCall> calls;
    std::map<std::string, CallOutcome> outcomes;  // by dialled number; Connect otherwise
    std::chrono::milliseconds alertAfter{200};    // dialling -> alerting, and busy / fail
    std::chrono::milliseconds answerAfter{1000};  // alerting -> answered by the far end
    std::chrono::milliseconds ringInterval{3000};
    std::chrono::milliseconds giveUpAfter{30000};  // the network's no-answer time, both ways
    std::chrono::steady_clock::time_point nextRing{};
    bool callWaiting = true;     // the network's call-waiting service for this subscriber
    int callWaitingReports = 0;  // +CCWA=n: waiting calls announced
    std::string tones;           // every +VTS tone sent during a call, in order
    int speakerLevel = 4;        // +CLVL
    bool muted = false;          // +CMUT
    bool soundPort = false;      // ^VPCM=1: the voice port carries a connected call's sound
    int conferenceLimit = 5;     // remote parties in one conference
};

}  // namespace virtualmodem
