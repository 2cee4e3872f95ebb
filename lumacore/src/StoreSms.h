// Messages kept on the PC, and which messages of each card the user has not read yet: cards
// mark a message read as soon as any program lists it, so the engine keeps the flag itself.
#pragma once

#include "lumacore.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace lumacore {

constexpr int kPcMessageCapacity = 5000;

// Each opens the store when it is not open yet; 7003 when it cannot be used.
uint16_t loadPcMessages(std::vector<_MEC_SMS_RECORD> &records);
// 13 when no message has the index.
uint16_t readPcMessage(uint16_t index, _MEC_SMS_RECORD &record);
// Assigns the record's index; memory full at the capacity.
uint16_t insertPcMessage(_MEC_SMS_RECORD &record);
uint16_t deletePcMessage(uint16_t index);
uint16_t setPcMessageStatus(uint16_t index, uint8_t status);

// The unread flags of a card (its SIM's identity) in a storage (0 SIM, 1 card).
uint16_t loadUnread(const std::string &card, uint8_t storage, std::set<uint16_t> &indexes);
uint16_t setUnread(const std::string &card, uint8_t storage, uint16_t index, bool unread);
// Many flags of one storage at once, in one transaction: all of them change or none.
uint16_t changeUnread(const std::string &card, uint8_t storage, const std::set<uint16_t> &unread,
                      const std::set<uint16_t> &read);

}  // namespace lumacore
