// The national language shift tables as data, one row of 128 characters per language
// (identifier - 1); see GsmAlphabet.h for their use.
#pragma once

namespace codec::tables {

extern const char16_t kLockingShiftTables[13][128];
extern const char16_t kSingleShiftTables[13][128];

}  // namespace codec::tables
