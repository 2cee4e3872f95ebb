// The flat functions through which the windows reach the feature logic of the root. They hold
// no logic of their own: each fetches the member and returns its result unchanged. The root
// must exist (between a successful start and stop of the business logic).
#pragma once

#include "engine/BL_Members.h"
#include "engine/BL_Set.h"
#include "engine/BL_Sms.h"

#include <cstdint>

// Messages.
uint16_t SmsLoadMessages(uint8_t storage);
int SmsGetMessageCount(uint8_t folder, uint8_t storage);
uint16_t SmsGetFirstMessage(SmsItem *item);
uint16_t SmsGetNextMessage(SmsItem *item);

// Call records.
uint16_t CrGetFirstEntry(uint8_t kind, CallEntry *entry);
uint16_t CrGetNextEntry(CallEntry *entry);
uint16_t CrSaveEntry(CallEntry *entry);
uint16_t CrDeleteEntry(uint32_t index, uint8_t storage);
uint16_t CrClearEntries(uint8_t kind, uint8_t storage);

// Limits: the 60-byte record for a storage and coding, copied into out.
uint16_t SetLoadFieldLimits();
void SetGetFieldLimits(uint8_t storage, uint8_t coding, FieldLimits *out);

// USSD.
void UssdSetReady(bool ready);
uint8_t UssdGetState();
// Whether a USSD session is in progress (close, off line, power off and standby wait for it).
bool UssdIsBusy();
