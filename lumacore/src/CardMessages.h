// The short messages of the card's two storages (0 SIM "SM", 1 card "ME") over AT in PDU mode,
// and sending. Unread flags are the engine's own, per card, since a card marks a message read
// the moment any program lists it.
#pragma once

#include "lumacore.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace lumacore {

class Engine;

class CardMessages {
public:
    explicit CardMessages(Engine &engine) : m_engine(engine) {}

    // Every message of the storage (+CMGL=4), status reports left out.
    uint16_t readAll(uint8_t storage, std::vector<_MEC_SMS_RECORD> &records);
    // One message (+CMGR); 13 for an empty place. messageClass, when given, gets the class the
    // message was sent with.
    uint16_t read(uint8_t storage, uint16_t index, _MEC_SMS_RECORD &record,
                  std::optional<int> *messageClass = nullptr);
    // Stores the record (+CMGW with its status) and sets its index.
    uint16_t write(_MEC_SMS_RECORD &record);
    uint16_t remove(uint8_t storage, uint16_t index);
    uint16_t setRead(uint8_t storage, uint16_t index, bool read);

    // Sends the record's text (+CMGS): one part of a long message as the record says, or the
    // whole text, cut into parts under a concatenation header when it needs more than one.
    uint16_t send(const _MEC_SMS_RECORD &record);

    // The number a sent message with this reference went to, for its status report.
    static std::string recipientOf(uint8_t reference);

private:
    uint16_t select(uint8_t storage, bool forWriting);
    uint16_t sendPdu(const std::string &hex, size_t tpduLength, const std::string &number);
    std::string cardKey();

    Engine &m_engine;
};

// The card's storage number for its +CPMS name ("SM" 0, "ME"/"MT" 1); 0xFF for others.
uint8_t storageOfName(const std::string &name);

}  // namespace lumacore
