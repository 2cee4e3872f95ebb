// The store's saving and sending: capacity, storing one message (or the parts of a long one),
// saving for several recipients, and sending with a PC copy. The engine is asked without the
// lock; the lists change under it afterwards.
#include "logic/BL_Sms.h"

#include "config/BL_File.h"
#include "logic/BL_Set.h"
#include "logic/BL_SmsRecipients.h"
#include "logic/BL_SmsText.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <cstring>

namespace {

constexpr uint16_t kMissingArgument = 1;
constexpr uint16_t kBadText = 6;
constexpr uint8_t kCodingGsm = 1;
constexpr uint8_t kCodingUcs2 = 4;
constexpr size_t kRecordTextBytes = sizeof(_MEC_SMS_RECORD::text);
constexpr size_t kRecordNumberChars = 39;
constexpr int kPartSpacingMs = 2000;
constexpr size_t kMostParts = 255;  // a part number is one byte
// The 3GPP sizes of 140 octets of user data, for a card whose sizes the engine never reported.
constexpr int32_t kSingleGsm = 160;
constexpr int32_t kPartGsm = 153;
constexpr int32_t kSingleUcs2 = 70;
constexpr int32_t kPartUcs2 = 67;
// The dialling characters, for an engine that never reported its own.
constexpr const char *kDefaultNumberCharacters = "0123456789+*#";

void formatTime(char *field, size_t size, const _MEC_SMS_TIME &time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%4d-%02d-%02d  %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    platform::copyToField(field, size, text);
}

_MEC_SMS_TIME now()
{
    const QDateTime local = platform::clock().localNow();
    const QDate date = local.date();
    const QTime time = local.time();
    return _MEC_SMS_TIME{static_cast<uint16_t>(date.year()),
                         static_cast<uint16_t>(date.month()),
                         static_cast<uint16_t>(date.day()),
                         static_cast<uint16_t>(time.hour()),
                         static_cast<uint16_t>(time.minute()),
                         static_cast<uint16_t>(time.second()),
                         0,
                         0};
}

// The item's time; an empty (or unreadable) one becomes the current time, written back.
_MEC_SMS_TIME timeOf(SmsItem &item)
{
    const std::string text(platform::fieldText(item.time, sizeof item.time));
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!text.empty() && std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &year, &month, &day,
                                     &hour, &minute, &second) == 6) {
        // A received time keeps the zone the network gave it.
        return _MEC_SMS_TIME{static_cast<uint16_t>(year),
                             static_cast<uint16_t>(month),
                             static_cast<uint16_t>(day),
                             static_cast<uint16_t>(hour),
                             static_cast<uint16_t>(minute),
                             static_cast<uint16_t>(second),
                             item.hasZone ? item.zoneQuarters : int8_t{0},
                             item.hasZone};
    }
    const _MEC_SMS_TIME current = now();
    formatTime(item.time, sizeof item.time, current);
    return current;
}

std::string textOf(const SmsItem &item)
{
    return std::string(platform::fieldText(item.text, sizeof item.text));
}

// Puts the part's text into the record: GSM codes, or text in the system code page.
// Returns the text as the store shows it.
std::string fillText(_MEC_SMS_RECORD &record, const SmsText &text, const SmsText::Part &part,
                     bool asCodes)
{
    record.coding = text.gsm ? kCodingGsm : kCodingUcs2;
    if (asCodes) {
        const std::vector<uint8_t> codes = text.Codes(part);
        const size_t length = std::min(codes.size(), kRecordTextBytes);
        std::memcpy(record.text, codes.data(), length);
        record.textLength = static_cast<uint8_t>(std::min<size_t>(length, 255));
        record.lockingShift = text.tables.locking;
        record.singleShift = text.tables.single;
        return SmsCodesToAnsi(codes, text.tables);
    }
    const std::string ansi = text.Ansi(part, kRecordTextBytes - 1);
    platform::copyToField(record.text, sizeof record.text, ansi);
    record.textLength = static_cast<uint8_t>(std::min<size_t>(ansi.size(), 255));
    return ansi;
}

void putNumber(char *field, size_t size, std::string_view number)
{
    platform::copyToField(field, std::min(size, kRecordNumberChars + 1), number);
}

// Lets the window messages that are waiting run, then waits out the spacing between two parts.
void spaceParts()
{
    if (QCoreApplication *application = QCoreApplication::instance();
        application != nullptr && QThread::currentThread() == application->thread()) {
        QCoreApplication::processEvents();
    }
    platform::pause(kPartSpacingMs);
}

}  // namespace

void TBL_sms::limitsOf(uint8_t storage, bool ucs2, int32_t *single, int32_t *part,
                       int32_t *capacity) const
{
    FieldLimits limits{};
    if (m_settings != nullptr) {
        m_settings->GetFieldLimits(storage, ucs2 ? CODING_UCS2 : CODING_8BIT, &limits);
    }
    if (single != nullptr) {
        *single = limits.values[FIELD_LIMIT_SMS_SINGLE];
    }
    if (part != nullptr) {
        *part = limits.values[FIELD_LIMIT_SMS_PART];
    }
    if (capacity != nullptr) {
        *capacity = limits.values[FIELD_LIMIT_SMS_CAPACITY];
    }
    // Sizes the engine never reported (or nonsense ones) would cut a text into no parts.
    if (single != nullptr && part != nullptr && (*single <= 0 || *part <= 0 || *part > *single)) {
        *single = ucs2 ? kSingleUcs2 : kSingleGsm;
        *part = ucs2 ? kPartUcs2 : kPartGsm;
    }
}

std::string TBL_sms::numberCharacters() const
{
    const char *reported = m_settings != nullptr ? m_settings->NumberCharacters() : nullptr;
    return reported != nullptr && reported[0] != 0 ? reported : kDefaultNumberCharacters;
}

uint16_t TBL_sms::reference(bool sixteenBit) const
{
    if (m_file != nullptr) {
        return static_cast<uint16_t>(sixteenBit ? m_file->ConcatReference16()
                                                : m_file->ConcatReference8());
    }
    return static_cast<uint16_t>(sixteenBit ? m_ownReference + 1 : m_ownReference % 255 + 1);
}

void TBL_sms::advanceReference()
{
    if (m_file != nullptr) {
        // A counter that cannot be written keeps counting in memory; the next long message
        // still gets a reference of its own.
        (void)m_file->AdvanceConcatReference();
    } else {
        ++m_ownReference;
    }
}

uint16_t TBL_sms::CheckCapacity(uint8_t storage, int n) const
{
    if (storage > SMS_STORE_PC) {
        return 0;
    }
    int32_t capacity = 0;
    limitsOf(storage, false, nullptr, nullptr, &capacity);
    if (capacity <= 0) {
        return 0;
    }
    const int held = GetMessageCount(SMS_FOLDER_ALL, storage);
    if (capacity >= n + held) {
        return 0;
    }
    return storage == SMS_STORE_SIM    ? SMS_ERR_SIM_FULL
           : storage == SMS_STORE_CARD ? SMS_ERR_CARD_FULL
                                       : SMS_ERR_PC_FULL;
}

void TBL_sms::append(std::unique_ptr<SmsItem> item, bool group)
{
    std::lock_guard guard(m_lock);
    const uint8_t storage = item->storage;
    rememberPart(*item);
    listOf(storage)->push_back(std::move(item));
    if (group) {
        groupParts(storage);
    }
    recount(storage);
}

uint16_t TBL_sms::storeOne(SmsItem item, const std::string &whole)
{
    if (item.storage > SMS_STORE_PC) {
        return kBadText;
    }
    const std::optional<SmsText> text = SmsText::FromAnsi(whole);
    if (!text) {
        return kBadText;
    }
    int32_t single = 0;
    int32_t partRoom = 0;
    limitsOf(SMS_STORE_CARD, !text->gsm, &single, &partRoom, nullptr);
    const bool inbox = item.folder == SMS_FOLDER_INBOX;
    const _MEC_SMS_TIME time = timeOf(item);
    const std::string number(platform::fieldText(item.number, sizeof item.number));
    // The PC keeps text; the SIM and the card keep GSM codes for a 7-bit text.
    const bool asCodes = text->gsm && item.storage != SMS_STORE_PC && text->units > 0;

    auto recordFor = [&](const SmsText::Part &part, std::string &shown) {
        _MEC_SMS_RECORD record{};
        record.size = sizeof record;
        record.index = item.storageIndex;
        record.status = item.status;
        record.storage = item.storage;
        putNumber(record.serviceCenter, sizeof record.serviceCenter,
                  platform::fieldText(item.serviceCentre, sizeof item.serviceCentre));
        putNumber(inbox ? record.sender : record.recipient, sizeof record.sender, number);
        (inbox ? record.receiveTime : record.sendTime) = time;
        shown = fillText(record, *text, part, asCodes);
        return record;
    };
    auto itemFor = [&](const _MEC_SMS_RECORD &record, const std::string &shown) {
        auto stored = std::make_unique<SmsItem>(item);
        std::memset(stored->partSlots, 0, sizeof stored->partSlots);
        std::memset(stored->contactName, 0, sizeof stored->contactName);
        platform::copyToField(stored->text, sizeof stored->text,
                              platform::truncateAnsi(shown, kSmsTextBytes));
        stored->storageIndex = record.index;
        stored->longMessage = record.longMessage;
        stored->reference = record.reference;
        stored->partCount = record.partCount;
        stored->partNumber = record.partNumber;
        return stored;
    };

    // A text kept as text must also fit the record's bytes: 160 letters of two bytes each do
    // not, and go as two parts rather than lose their last letter.
    const bool fitsOne =
        text->FitsOne(static_cast<size_t>(single)) &&
        (asCodes || text->Ansi(text->Whole(), kRecordTextBytes).size() < kRecordTextBytes);
    if (fitsOne) {
        if (const uint16_t refused = CheckCapacity(item.storage, 1); refused != 0) {
            return refused;
        }
        std::string shown;
        _MEC_SMS_RECORD record = recordFor(text->Whole(), shown);
        const uint16_t status = _MEC_SaveMessage(&record);
        if (status == 0) {
            append(itemFor(record, shown), item.longMessage != 0);
        }
        return status;
    }

    const std::vector<SmsText::Part> parts =
        text->Split(text->PartRoom(static_cast<size_t>(partRoom)));
    if (parts.size() > kMostParts) {
        return kBadText;
    }
    if (const uint16_t refused = CheckCapacity(item.storage, static_cast<int>(parts.size()));
        refused != 0) {
        return refused;
    }
    const uint16_t ref = reference(item.status == SMS_STATUS_UNSENT);
    uint16_t status = 0;
    std::vector<std::unique_ptr<SmsItem>> stored;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string shown;
        _MEC_SMS_RECORD record = recordFor(parts[i], shown);
        record.longMessage = 1;
        record.reference = ref;
        record.partCount = static_cast<uint8_t>(parts.size());
        record.partNumber = static_cast<uint8_t>(i + 1);
        status = _MEC_SaveMessage(&record);
        if (status != 0) {
            break;
        }
        stored.push_back(itemFor(record, shown));
    }
    advanceReference();
    {
        std::lock_guard guard(m_lock);
        for (std::unique_ptr<SmsItem> &part : stored) {
            rememberPart(*part);
            listOf(item.storage)->push_back(std::move(part));
        }
        groupParts(item.storage);
        recount(item.storage);
    }
    return status;
}

uint16_t TBL_sms::SaveMessage(SmsItem *item)
{
    if (item == nullptr) {
        return kMissingArgument;
    }
    if (item->storage > SMS_STORE_PC) {
        return kBadText;
    }
    // Every copy carries the same time, and the caller sees it.
    (void)timeOf(*item);
    // A received message names its sender, which may be a name ("Bank") and is never a list:
    // it is kept as it came.
    if (item->folder == SMS_FOLDER_INBOX) {
        return storeOne(*item, textOf(*item));
    }
    std::vector<std::string> recipients;
    if (const uint16_t status = SplitRecipients(
            std::string(platform::fieldText(item->number, sizeof item->number)), recipients);
        status != 0) {
        return status;
    }
    if (const uint16_t status = ValidateRecipients(recipients, numberCharacters()); status != 0) {
        return status;
    }
    if (recipients.empty()) {
        recipients.emplace_back();
    }
    for (const std::string &recipient : recipients) {
        SmsItem copy = *item;
        platform::copyToField(copy.number, sizeof copy.number, recipient);
        if (const uint16_t status = storeOne(copy, textOf(copy)); status != 0) {
            return status;
        }
    }
    return 0;
}

uint16_t TBL_sms::SendMessage(const char *text, const char *recipients, uint8_t storage,
                              bool saveCopy, int *sent)
{
    int count = 0;
    if (sent != nullptr) {
        *sent = 0;
    }
    if (text == nullptr) {
        return kMissingArgument;
    }
    if (recipients == nullptr || recipients[0] == 0) {
        return kSmsNoRecipient;
    }
    std::vector<std::string> numbers;
    if (const uint16_t status = SplitRecipients(recipients, numbers); status != 0) {
        return status;
    }
    if (const uint16_t status = ValidateRecipients(numbers, numberCharacters()); status != 0) {
        return status;
    }
    const std::string ansi(text);
    const std::optional<SmsText> prepared = SmsText::FromAnsi(ansi);
    if (!prepared) {
        return kBadText;
    }
    int32_t single = 0;
    int32_t partRoom = 0;
    limitsOf(SMS_STORE_CARD, !prepared->gsm, &single, &partRoom, nullptr);
    const std::vector<SmsText::Part> parts =
        prepared->Cut(static_cast<size_t>(single), static_cast<size_t>(partRoom));
    const bool longMessage = !prepared->FitsOne(static_cast<size_t>(single));
    if (parts.size() > kMostParts) {
        return kBadText;
    }
    const uint16_t ref = longMessage ? reference(false) : 0;
    const bool asCodes = prepared->gsm && prepared->units > 0;

    uint16_t status = 0;
    uint16_t copyFailure = 0;
    bool first = true;
    for (const std::string &number : numbers) {
        _MEC_SMS_TIME lastTime{};
        bool allSent = true;
        for (size_t i = 0; i < parts.size(); ++i) {
            if (!first) {
                spaceParts();
            }
            _MEC_SMS_RECORD record{};
            record.size = sizeof record;
            record.storage = storage;
            record.status = SMS_STATUS_UNSENT;
            putNumber(record.recipient, sizeof record.recipient, number);
            if (longMessage) {
                first = false;
                record.longMessage = 1;
                record.reference = ref;
                record.partCount = static_cast<uint8_t>(parts.size());
                record.partNumber = static_cast<uint8_t>(i + 1);
            }
            lastTime = now();
            record.sendTime = lastTime;
            (void)fillText(record, *prepared, parts[i], asCodes);
            status = _MEC_SendMessage(&record);
            if (status != 0) {
                allSent = false;
                break;
            }
            ++count;
            if (sent != nullptr) {
                *sent = count;
            }
        }
        if (longMessage) {
            advanceReference();
        }
        if (saveCopy) {
            SmsItem copy{};
            copy.recordSize = sizeof copy;
            copy.storage = SMS_STORE_PC;
            copy.status = allSent ? SMS_STATUS_SENT : SMS_STATUS_UNSENT;
            copy.folder = allSent ? SMS_FOLDER_SENT : SMS_FOLDER_DRAFTS;
            platform::copyToField(copy.number, sizeof copy.number, number);
            platform::copyToField(copy.text, sizeof copy.text,
                                  platform::truncateAnsi(ansi, kSmsTextBytes));
            formatTime(copy.time, sizeof copy.time, lastTime);
            // The whole text, also beyond what one item shows: the copy is what was sent.
            if (const uint16_t stored = storeOne(copy, ansi); stored != 0 && copyFailure == 0) {
                copyFailure = stored;
            }
        }
        if (status != 0) {
            return status;
        }
    }
    return copyFailure;
}
