// The card's short messages: the stored ones (+CMGL, +CMGR, +CMGW, +CMGD), sending over the
// simulated network (+CMGS), and what the network delivers to the card.
#pragma once

#include "virtualmodem/ModemState.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace virtualmodem {

class CommandTable;
class Modem;

// A message the network brings to the card.
struct IncomingSms {
    std::string from;
    std::string text;  // UTF-8; longer than one message: sent in parts
    bool ucs2 = false;
    std::optional<int> messageClass;
    bool reportRequested = false;       // the sender asked for a status report
    bool partsReversed = false;         // the parts arrive last first
    std::optional<std::time_t> sentAt;  // the service centre's time stamp; now when not given
};

// Stores the message (announced with +CMTI) or, for class 0 and where +CNMI routes it, hands it
// to the terminal with +CMT. Empty, or why it was refused ("storage full").
std::string deliverSms(Modem &modem, const IncomingSms &message);
// A cell-broadcast page on the channel, for the terminal (+CBM) when +CNMI asks for them.
std::string deliverBroadcast(Modem &modem, uint16_t channel, const std::string &text);

// Fills a storage ("SM", "ME") with received messages "Message <n>" from sender, as a phone in
// use would have; false for an unknown storage.
bool fillMessages(ModemState &state, const std::string &storage, int count,
                  const std::string &sender);

void registerSmsCommands(CommandTable &table);

}  // namespace virtualmodem
