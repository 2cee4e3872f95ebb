#include "logic/BL_Forward.h"

#include "logic/BL_Base.h"

uint16_t SmsLoadMessages(uint8_t storage) { return BusinessLogic()->sms->LoadMessages(storage); }
int SmsGetMessageCount(uint8_t folder, uint8_t storage)
{
    return BusinessLogic()->sms->GetMessageCount(folder, storage);
}
uint16_t SmsGetFirstMessage(SmsItem *item) { return BusinessLogic()->sms->GetFirstMessage(item); }
uint16_t SmsGetNextMessage(SmsItem *item) { return BusinessLogic()->sms->GetNextMessage(item); }
uint16_t SmsSaveMessage(SmsItem *item) { return BusinessLogic()->sms->SaveMessage(item); }
uint16_t SmsSendMessage(const char *text, const char *recipients, uint8_t storage, bool saveCopy,
                        int *sent)
{
    return BusinessLogic()->sms->SendMessage(text, recipients, storage, saveCopy, sent);
}
uint16_t SmsDeleteMessage(const SmsItem &item) { return BusinessLogic()->sms->DeleteMessage(item); }
uint16_t SmsSetMessageStatus(const SmsItem &item, bool read)
{
    return BusinessLogic()->sms->SetMessageStatus(item, read);
}
std::string SmsMessageText(const SmsItem &item)
{
    return BusinessLogic()->sms->MessageText(item);
}
uint16_t SmsCheckCapacity(uint8_t storage, int n)
{
    return BusinessLogic()->sms->CheckCapacity(storage, n);
}

namespace {

// The phonebook store, or null without the root.
TBL_pb *phonebook()
{
    TBL_base *root = BusinessLogic();
    return root ? root->phonebook.get() : nullptr;
}

// Runs the call on the store; 4001 without the root or for a missing record.
template <typename Call>
uint16_t onPhonebook(const void *argument, Call &&call)
{
    TBL_pb *store = phonebook();
    if (!store || !argument)
        return BL_ROOT_NOT_CREATED;
    return call(*store);
}

}  // namespace

uint16_t ContactCount(uint8_t storage)
{
    TBL_pb *store = phonebook();
    return store ? store->ContactCount(storage) : 0;
}
uint16_t ReloadStore(uint8_t storage)
{
    return onPhonebook(&storage, [&](TBL_pb &store) { return store.ReloadStore(storage); });
}
uint16_t FirstContact(uint8_t storage, _MEC_CONTACT_RECORD **record)
{
    return onPhonebook(record, [&](TBL_pb &store) { return store.FirstContact(storage, record); });
}
uint16_t NextContact(uint8_t storage, _MEC_CONTACT_RECORD **record)
{
    return onPhonebook(record, [&](TBL_pb &store) { return store.NextContact(storage, record); });
}
uint16_t AddContact(const _MEC_CONTACT_RECORD *record, _MEC_CONTACT_RECORD **stored)
{
    return onPhonebook(record, [&](TBL_pb &store) { return store.AddContact(*record, stored); });
}
uint16_t AddContactTo(const _MEC_CONTACT_RECORD *record, uint8_t storage, uint32_t groupId,
                      _MEC_CONTACT_RECORD **stored)
{
    return onPhonebook(record, [&](TBL_pb &store) {
        return store.AddContactTo(*record, storage, groupId, stored);
    });
}
uint16_t ModifyContact(const _MEC_CONTACT_RECORD *record)
{
    return onPhonebook(record, [&](TBL_pb &store) { return store.ModifyContact(*record); });
}
uint16_t DeleteContact(const _MEC_CONTACT_RECORD *record)
{
    return onPhonebook(record, [&](TBL_pb &store) { return store.DeleteContact(*record); });
}
uint16_t FindContactByNumber(const char *number, _MEC_CONTACT_RECORD *record)
{
    TBL_pb *store = phonebook();
    return store ? store->FindContactByNumber(number, record) : PB_NOT_FOUND;
}
uint16_t GetGroup(int32_t groupId, uint8_t storage, _MEC_GROUP_RECORD *group)
{
    return onPhonebook(group,
                       [&](TBL_pb &store) { return store.GetGroup(groupId, storage, group); });
}
uint16_t RenameGroup(const _MEC_GROUP_RECORD *group)
{
    return onPhonebook(group, [&](TBL_pb &store) { return store.RenameGroup(*group); });
}
uint16_t AddGroup(_MEC_GROUP_RECORD *group)
{
    return onPhonebook(group, [&](TBL_pb &store) { return store.AddGroup(*group); });
}
uint16_t DeleteGroup(int32_t groupId, uint8_t storage)
{
    return onPhonebook(&groupId,
                       [&](TBL_pb &store) { return store.DeleteGroup(groupId, storage); });
}
uint16_t DeleteGroupContacts(int32_t groupId, uint8_t storage)
{
    return onPhonebook(&groupId,
                       [&](TBL_pb &store) { return store.DeleteGroupContacts(groupId, storage); });
}
int ListGroups(uint8_t storage, _MEC_GROUP_RECORD *out, size_t room)
{
    TBL_pb *store = phonebook();
    return store ? store->ListGroups(storage, out, room) : 0;
}
void GetContactLimits(uint8_t storage, uint8_t coding, FieldLimits *out)
{
    if (TBL_pb *store = phonebook())
        store->GetContactLimits(storage, coding, out);
    else if (out)
        *out = FieldLimits{};
}
int GetNumberCharacters(char out[32])
{
    TBL_pb *store = phonebook();
    return store ? store->GetNumberCharacters(out) : 0;
}

uint16_t SetLoadFieldLimits() { return BusinessLogic()->settings->LoadFieldLimits(); }
void SetGetFieldLimits(uint8_t storage, uint8_t coding, FieldLimits *out)
{
    BusinessLogic()->settings->GetFieldLimits(storage, coding, out);
}

uint16_t StkMainMenu() { return BusinessLogic()->toolkit->MainMenu(); }
uint16_t StkSelectMainMenuItem(uint32_t itemId)
{
    return BusinessLogic()->toolkit->SelectMainMenuItem(itemId);
}
uint16_t StkSelectSubMenuItem(uint32_t itemId)
{
    return BusinessLogic()->toolkit->SelectSubMenuItem(itemId);
}
uint16_t StkMenuBack(uint8_t back) { return BusinessLogic()->toolkit->MenuBack(back); }
uint16_t StkConfirmDisplayText() { return BusinessLogic()->toolkit->ConfirmDisplayText(); }
uint16_t StkInputText(uint32_t kind, const char *text)
{
    return BusinessLogic()->toolkit->InputText(kind, text);
}

void UssdSetReady(bool ready) { BusinessLogic()->ussd->SetReady(ready); }
uint8_t UssdGetState() { return BusinessLogic()->ussd->GetState(); }
uint16_t UssdSendRequest(const char *text, size_t length)
{
    return BusinessLogic()->ussd->SendRequest(text, length);
}
uint16_t UssdCancel() { return BusinessLogic()->ussd->Cancel(); }
std::string UssdHandleReply(const _MEC_USSD_REPLY &record)
{
    return BusinessLogic()->ussd->HandleReply(record);
}
bool UssdIsBusy() { return BusinessLogic()->ussd->SessionOpen(); }
