#include "engine/BL_Forward.h"

#include "engine/BL_Base.h"

uint16_t SmsLoadMessages(uint8_t storage) { return BusinessLogic()->sms->LoadMessages(storage); }
int SmsGetMessageCount(uint8_t folder, uint8_t storage)
{
    return BusinessLogic()->sms->GetMessageCount(folder, storage);
}
uint16_t SmsGetFirstMessage(SmsItem *item) { return BusinessLogic()->sms->GetFirstMessage(item); }
uint16_t SmsGetNextMessage(SmsItem *item) { return BusinessLogic()->sms->GetNextMessage(item); }

uint16_t CrGetFirstEntry(uint8_t kind, CallEntry *entry)
{
    return BusinessLogic()->callRecords->GetFirstEntry(kind, entry);
}
uint16_t CrGetNextEntry(CallEntry *entry)
{
    return BusinessLogic()->callRecords->GetNextEntry(entry);
}
uint16_t CrSaveEntry(CallEntry *entry) { return BusinessLogic()->callRecords->SaveEntry(entry); }
uint16_t CrDeleteEntry(uint32_t index, uint8_t storage)
{
    return BusinessLogic()->callRecords->DeleteEntry(index, storage);
}
uint16_t CrClearEntries(uint8_t kind, uint8_t storage)
{
    return BusinessLogic()->callRecords->ClearEntries(kind, storage);
}

uint16_t SetLoadFieldLimits() { return BusinessLogic()->settings->LoadFieldLimits(); }
void SetGetFieldLimits(uint8_t storage, uint8_t coding, FieldLimits *out)
{
    BusinessLogic()->settings->GetFieldLimits(storage, coding, out);
}

void UssdSetReady(bool ready) { BusinessLogic()->ussd->SetReady(ready); }
uint8_t UssdGetState() { return BusinessLogic()->ussd->GetState(); }
bool UssdIsBusy() { return BusinessLogic()->ussd->SessionOpen(); }
