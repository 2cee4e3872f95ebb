// Contacts and groups in the PC store. Contacts are kept whole (the record's bytes, so the
// engine's opaque fields survive) beside readable columns; groups of every storage live here,
// since cards keep none a standard command can reach.
#pragma once

#include "lumacore.h"

#include <cstdint>
#include <vector>

namespace lumacore {

// The most contacts the PC storage takes, and the characters it allows in a number.
constexpr int kPcContactCapacity = 1000;
constexpr const char *kPcNumberCharacters = "0123456789+*#pPwW";

// Each opens the store when it is not open yet; 7003 when it cannot be used.
uint16_t loadPcContacts(std::vector<_MEC_CONTACT_RECORD> &records);
uint16_t countPcContacts(int &count);
// Assigns the record's index; memory full (10020) at the capacity.
uint16_t insertPcContact(_MEC_CONTACT_RECORD &record);
// 13 when no contact has the index.
uint16_t updatePcContact(uint32_t index, const _MEC_CONTACT_RECORD &record);
uint16_t deletePcContact(uint32_t index);

uint16_t loadGroups(uint8_t storage, std::vector<_MEC_GROUP_RECORD> &groups);
uint16_t saveGroup(const _MEC_GROUP_RECORD &group);
// 13 when no group of that storage has the id.
uint16_t renameGroup(const _MEC_GROUP_RECORD &group);
uint16_t deleteGroup(int32_t groupId, uint8_t storage);

}  // namespace lumacore
