// The virtual network's USSD service: where a dialogue stands and how fast the network answers.
#pragma once

#include <chrono>
#include <string>

namespace virtualmodem {

struct UssdNetwork {
    std::string menu;  // where the service menu's dialogue stands; empty when no session is open
    std::chrono::milliseconds replyDelay{150};     // how long the network takes to answer
    std::chrono::milliseconds slowDelay{12000};    // the slow service's answer
};

}  // namespace virtualmodem
