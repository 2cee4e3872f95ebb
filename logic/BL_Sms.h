// The in-memory message store: one list per storage (SIM, card, PC), mirrored from the engine.
#pragma once

#include "lumacore.h"

#include <array>
#include <map>
#include <string>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

enum SmsStore : uint8_t { SMS_STORE_SIM = 0, SMS_STORE_CARD = 1, SMS_STORE_PC = 2 };
enum SmsFolder : uint8_t {
    SMS_FOLDER_ALL = 0,
    SMS_FOLDER_INBOX = 1,
    SMS_FOLDER_SENT = 2,
    SMS_FOLDER_DRAFTS = 3,
    SMS_FOLDER_OTHER = 4
};
enum SmsStatus : uint8_t {
    SMS_STATUS_READ = 1,
    SMS_STATUS_UNREAD = 2,
    SMS_STATUS_SENT = 3,
    SMS_STATUS_UNSENT = 4,
    SMS_STATUS_OTHER = 5
};

// One merged part of a long message.
struct SmsPartSlot {
    uint16_t storageIndex;
    uint32_t present;  // nonzero: the slot is used
    uint8_t partNumber;
};
static_assert(sizeof(SmsPartSlot) == 12);

constexpr int kSmsPartSlots = 5;
constexpr size_t kSmsTextBytes = 800;  // usable bytes of the 804-byte text field
// Where a part of a long message never arrived, its text shows this.
constexpr const char *kSmsMissingPart = "[...]";

// The store's own answers when messages do not fit: the PC's store, the SIM, the card's memory.
constexpr uint16_t SMS_ERR_PC_FULL = 4204;
constexpr uint16_t SMS_ERR_SIM_FULL = 4205;
constexpr uint16_t SMS_ERR_CARD_FULL = 4206;

// The card is gone or does not answer: nothing after this can succeed.
inline bool SmsCardGone(uint16_t status)
{
    return status == MEC_ERR_NO_CARD || status == MEC_ERR_TIMEOUT;
}
// The card's own "memory full" answers (+CMS ERROR 322, +CME ERROR 20).
inline bool SmsCardMemoryFull(uint16_t status)
{
    return status == MEC_ERR_CMS_BASE + 322 || status == MEC_ERR_CME_BASE + 20;
}

// One message as the windows see it. Copied whole between windows and into window messages,
// so its size and layout stay fixed.
struct SmsItem {
    uint16_t recordSize;
    uint16_t storageIndex;
    uint32_t longMessage;
    uint16_t reference;
    uint8_t partCount;
    uint8_t partNumber;
    SmsPartSlot partSlots[kSmsPartSlots];
    char contactName[128];
    char number[36];
    char text[804];
    char time[24];
    char serviceCentre[36];
    uint8_t storage;
    uint8_t status;
    uint8_t folder;
    // The zone of the time, when the network gave one: quarter hours ahead of UTC.
    int8_t zoneQuarters;
    uint8_t hasZone;
    uint8_t reserved[3];

    int usedSlots() const;
    // What the item counts in its folder: 1, or its used partSlots for a long-message item. A
    // long-message part that was never merged (its part count is 0) is still one message.
    int messageCount() const;
};
static_assert(sizeof(SmsItem) == 1108);
static_assert(offsetof(SmsItem, partSlots) == 12);
static_assert(offsetof(SmsItem, contactName) == 72);
static_assert(offsetof(SmsItem, number) == 200);
static_assert(offsetof(SmsItem, text) == 236);
static_assert(offsetof(SmsItem, time) == 1040);
static_assert(offsetof(SmsItem, serviceCentre) == 1064);
static_assert(offsetof(SmsItem, storage) == 1100);

class TBLSet;
class TBL_File;

class TBL_sms {
public:
    // Counter positions, in the order the store keeps them.
    enum Counter {
        PcInbox,
        PcSent,
        PcDrafts,
        SimInbox,
        SimSent,
        SimDrafts,
        CardInbox,
        CardSent,
        CardDrafts,
        PcTotal,
        SimTotal,
        CardTotal,
        GrandTotal,
        CounterCount
    };

    // A store without limits or reference counter: the standard message sizes, no capacity
    // check, and a reference counter of its own that lives as long as the store.
    TBL_sms() = default;
    // A store that takes its limits (card text sizes, storage capacities, number characters)
    // from settings and its long-message references from file (allconfig.ran). Both outlive it.
    TBL_sms(const TBLSet *settings, TBL_File *file) : m_settings(settings), m_file(file) {}
    ~TBL_sms();
    TBL_sms(const TBL_sms &) = delete;
    TBL_sms &operator=(const TBL_sms &) = delete;

    // Asks the engine to load a storage and reads it (the card also reads the PC storage).
    // 13 at the end of a walk counts as success.
    uint16_t LoadMessages(uint8_t storage);
    int GetMessageCount(uint8_t folder, uint8_t storage) const;
    uint16_t GetFirstMessage(SmsItem *item);
    uint16_t GetNextMessage(SmsItem *item);

    // A new message arrived in the card: read it, store it, and hand back a copy of the item as
    // it now stands (merged with the other parts of its long message). Nonzero: the engine's
    // status, nothing stored. Called on the window thread (the engine's new-message callback
    // posts there), never on the engine's own.
    uint16_t OnNewMessage(uint8_t storage, uint16_t storageIndex, SmsItem *result);

    // A copy of the first item holding the given storage index (directly or in a used slot).
    // A copy: the item may be joined with another part as soon as the next one arrives.
    std::optional<SmsItem> FindMessageByIndex(uint16_t storageIndex, uint8_t storage) const;
    // The whole text of a message, also where the item's field had to cut it (a long message in
    // a script of three bytes a character); gaps marked where parts are missing.
    std::string MessageText(const SmsItem &item) const;

    // Deletes the message (every used part of a long one) from its storage and the list. A long
    // message whose deletion stops part-way keeps the parts that are left.
    uint16_t DeleteMessage(const SmsItem &item);
    // Marks the message (every used part) read or unread, in the engine and in the list.
    uint16_t SetMessageStatus(const SmsItem &item, bool read);

    // 0 when n more messages fit beside what the storage holds now; SMS_ERR_SIM_FULL,
    // SMS_ERR_CARD_FULL or SMS_ERR_PC_FULL when they do not. A storage whose capacity the engine
    // never reported is not refused here (the engine answers for it).
    uint16_t CheckCapacity(uint8_t storage, int n) const;
    // Stores the item in its storage once per recipient of its number field (recipients split
    // by ';' or the full-width semicolon), or once with an empty number when it names none; a
    // received item (inbox) once, with its sender as it stands. A
    // text longer than one message is stored as the parts of a long message. An empty time is
    // filled with the current local time, written back into the item. Stops at the first
    // failure and returns it; 4207/4208 for bad recipients before anything is stored.
    uint16_t SaveMessage(SmsItem *item);
    // Sends text (system code page) to every recipient in order, cutting a long text into
    // parts. Between two parts pending window messages run and the sender waits 2000 ms. With
    // saveCopy, one PC copy per recipient: sent, or unsent in the drafts when a part failed.
    // The first failed send stops the call and is returned; *sent (may be null) counts the
    // messages (parts) that went out. When everything went out but a copy could not be kept,
    // the copy's code is returned.
    uint16_t SendMessage(const char *text, const char *recipients, uint8_t storage, bool saveCopy,
                         int *sent);

    // Copies of a storage's list, in list order (for tests and the windows).
    std::vector<SmsItem> Items(uint8_t storage) const;

    // Engine record -> item, as stored.
    static std::unique_ptr<SmsItem> ItemFromRecord(const _MEC_SMS_RECORD &record);

private:
    using ItemList = std::vector<std::unique_ptr<SmsItem>>;

    ItemList *listOf(uint8_t storage);
    const ItemList *listOf(uint8_t storage) const;
    uint16_t readStorage(uint8_t storage);
    void groupParts(uint8_t storage);
    void recount(uint8_t storage);
    const SmsItem *findUnlocked(uint16_t storageIndex, uint8_t storage) const;
    // Takes a place out of the list: the item that is that place, or the place's slot of a
    // merged item (which is removed with its last slot). True when a merged item kept other
    // parts, whose text must then be joined again. Called with the lock held.
    bool dropIndex(uint8_t storage, uint16_t storageIndex);
    uint16_t walk(SmsItem *item, bool first);
    void rememberPart(const SmsItem &item);
    // The texts of the item's parts in slot order, with a gap mark where a part is missing.
    std::string joinedText(const SmsItem &item, uint8_t storage) const;
    // Saving and sending (BL_SmsSend.cpp).
    uint16_t storeOne(SmsItem item, const std::string &whole);
    void append(std::unique_ptr<SmsItem> item, bool group);
    void limitsOf(uint8_t storage, bool ucs2, int32_t *single, int32_t *part,
                  int32_t *capacity) const;
    std::string numberCharacters() const;
    uint16_t reference(bool sixteenBit) const;
    void advanceReference();

    const TBLSet *m_settings = nullptr;
    TBL_File *m_file = nullptr;
    uint32_t m_ownReference = 0;  // the counter of a store without a file

    // The window thread changes the store; the lock lets a reader on another thread (counts,
    // copies) see it whole. It is never held while the engine is asked anything.
    mutable std::mutex m_lock;
    std::array<uint16_t, CounterCount> m_counters{};
    uint8_t m_walkFolder = 0;
    uint8_t m_walkStorage = 0;
    ItemList m_pcList;
    ItemList m_simList;
    ItemList m_cardList;
    std::vector<SmsItem> m_walkItems;  // the walk's copy of the list, taken by GetFirstMessage
    size_t m_walkNext = 0;
    // The text of every part of a long message as the engine delivered it, by storage and
    // storage index. A merged item holds only the joined text, so a part that arrives late
    // (part 2 after parts 1 and 3) is put in its place from these.
    std::array<std::map<uint16_t, std::string>, 3> m_partTexts;
};
