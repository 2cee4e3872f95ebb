// The flat functions through which the windows reach the feature logic of the root. They hold
// no logic of their own: each fetches the member and returns its result unchanged. The root
// must exist (between a successful start and stop of the business logic).
#pragma once

#include "logic/BL_Members.h"
#include "logic/BL_Pb.h"
#include "logic/BL_Set.h"
#include "logic/BL_Sms.h"

#include <cstdint>

// Messages.
uint16_t SmsLoadMessages(uint8_t storage);
int SmsGetMessageCount(uint8_t folder, uint8_t storage);
uint16_t SmsGetFirstMessage(SmsItem *item);
uint16_t SmsGetNextMessage(SmsItem *item);
// Stores the item once per recipient of its number field (TBL_sms::SaveMessage).
uint16_t SmsSaveMessage(SmsItem *item);
// Sends a text in the system code page to recipients separated by ';' (TBL_sms::SendMessage);
// *sent counts the messages (parts) that went out.
uint16_t SmsSendMessage(const char *text, const char *recipients, uint8_t storage, bool saveCopy,
                        int *sent);
uint16_t SmsDeleteMessage(const SmsItem &item);
uint16_t SmsSetMessageStatus(const SmsItem &item, bool read);
// The whole text of a message in the system code page (TBL_sms::MessageText).
std::string SmsMessageText(const SmsItem &item);
// 0 when n more messages fit in the storage, else SMS_ERR_SIM_FULL, _CARD_FULL or _PC_FULL.
uint16_t SmsCheckCapacity(uint8_t storage, int n);

// Contacts and groups (the phonebook store). Without the root a status call answers 4001 and a
// count 0, so a window that outlives the core cannot reach a store that is gone.
uint16_t ContactCount(uint8_t storage);
uint16_t ReloadStore(uint8_t storage);
uint16_t FirstContact(uint8_t storage, _MEC_CONTACT_RECORD **record);
uint16_t NextContact(uint8_t storage, _MEC_CONTACT_RECORD **record);
uint16_t AddContact(const _MEC_CONTACT_RECORD *record, _MEC_CONTACT_RECORD **stored);
uint16_t AddContactTo(const _MEC_CONTACT_RECORD *record, uint8_t storage, uint32_t groupId,
                      _MEC_CONTACT_RECORD **stored);
uint16_t ModifyContact(const _MEC_CONTACT_RECORD *record);
uint16_t DeleteContact(const _MEC_CONTACT_RECORD *record);
// 0 and the matching contact copied into record (whose storage byte says where to look), or 5.
uint16_t FindContactByNumber(const char *number, _MEC_CONTACT_RECORD *record);
uint16_t GetGroup(int32_t groupId, uint8_t storage, _MEC_GROUP_RECORD *group);
uint16_t RenameGroup(const _MEC_GROUP_RECORD *group);
uint16_t AddGroup(_MEC_GROUP_RECORD *group);
uint16_t DeleteGroup(int32_t groupId, uint8_t storage);
uint16_t DeleteGroupContacts(int32_t groupId, uint8_t storage);
// The storage's groups copied into out (room for `room` records); returns how many.
int ListGroups(uint8_t storage, _MEC_GROUP_RECORD *out, size_t room);
void GetContactLimits(uint8_t storage, uint8_t coding, FieldLimits *out);
int GetNumberCharacters(char out[32]);

// Limits: the 60-byte record for a storage and coding, copied into out.
uint16_t SetLoadFieldLimits();
void SetGetFieldLimits(uint8_t storage, uint8_t coding, FieldLimits *out);

// USSD.
// The SIM toolkit (TBL_Stk).
uint16_t StkMainMenu();
uint16_t StkSelectMainMenuItem(uint32_t itemId);
uint16_t StkSelectSubMenuItem(uint32_t itemId);
uint16_t StkMenuBack(uint8_t back);
uint16_t StkConfirmDisplayText();
uint16_t StkInputText(uint32_t kind, const char *text);

void UssdSetReady(bool ready);
uint8_t UssdGetState();
// A code or an answer in the system code page (TBL_Ussd::SendRequest): 0 sent, 1 bad length,
// 2 not a code that opens a session, 3 the engine refused.
uint16_t UssdSendRequest(const char *text, size_t length);
uint16_t UssdCancel();
// The text to show for a reply the engine delivered (TBL_Ussd::HandleReply).
std::string UssdHandleReply(const _MEC_USSD_REPLY &record);
// Whether a USSD session is in progress (close, off line, power off and standby wait for it).
bool UssdIsBusy();
