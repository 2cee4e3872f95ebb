// The field sizes of each storage: the PC store's own limits; for the SIM and the card, the
// lengths +CPBR=? gives and the message capacity +CPMS? gives.
// Exports.h first: it gives the C calls their default visibility.
#include "Exports.h"

#include "CardPhonebook.h"
#include "StorePhonebook.h"

using namespace lumacore;

namespace {

constexpr uint8_t kCodingGsm = 1;
constexpr uint8_t kCodingEightBit = 2;
constexpr uint8_t kCodingUcs2 = 4;
constexpr uint32_t kMessageBits = 1120;  // 140 octets of user data
constexpr uint32_t kPcMessageCapacity = 1000;

// A text field of `characters` bytes that takes 8-bit text or UCS-2.
void textField(uint16_t &bits, uint8_t &coding, int characters)
{
    bits = static_cast<uint16_t>(characters * 8);
    coding = kCodingEightBit | kCodingUcs2;
}

void fillPc(_MEC_FIELD_SIZES &sizes)
{
    // Each field holds its width less the terminator.
    sizes.numberBits = 39 * 8;
    sizes.numberCoding = kCodingEightBit;
    copyOut(sizes.numberCharacters, sizeof sizes.numberCharacters, kPcNumberCharacters);
    textField(sizes.nameBits, sizes.nameCoding, 127);
    textField(sizes.emailBits, sizes.emailCoding, 129);
    textField(sizes.text2Bits, sizes.text2Coding, 127);
    textField(sizes.text3Bits, sizes.text3Coding, 127);
    textField(sizes.urlBits, sizes.urlCoding, 127);
    textField(sizes.noteBits, sizes.noteCoding, 127);
    int count = 0;
    countPcContacts(count);
    sizes.contactCount2 = static_cast<uint32_t>(count);
    sizes.contactCapacity = kPcContactCapacity;
    sizes.numberSlots = MEC_CONTACT_NUMBER_SLOTS;
    sizes.messageCapacity = kPcMessageCapacity;
}

// A SIM alpha field of n bytes holds n GSM characters, or (n - 1) / 2 UCS-2 ones: as bits,
// n septets, which read as 16-bit units give about the same.
uint16_t cardBook(Engine &engine, uint8_t storage, _MEC_FIELD_SIZES &sizes)
{
    // Known since the SIM came: the book need not even be selected for it.
    std::optional<PhonebookRange> known = engine.phonebookRange(storage == 0 ? "SM" : "ME");
    PhonebookRange range = known.value_or(PhonebookRange{});
    uint16_t status = kStatusOk;
    if (!known) {
        CardPhonebook book(engine, storage);
        status = book.open(false);
        if (status == kStatusOk)
            status = book.readRange(range);
    }
    // A card without this book, or without phonebook commands, keeps none: zero sizes.
    if (status == kStatusCmeBase + 3 || status == kStatusCmeBase + 4 || status == kStatusError)
        return kStatusOk;
    if (status != kStatusOk)
        return status;
    sizes.numberBits = static_cast<uint16_t>(range.numberLength * 8);
    sizes.numberCoding = kCodingEightBit;
    sizes.nameBits = static_cast<uint16_t>(range.textLength * 7);
    sizes.nameCoding = kCodingGsm | kCodingUcs2;
    sizes.contactCapacity = static_cast<uint32_t>(range.last - range.first + 1);
    sizes.numberSlots = 1;
    return kStatusOk;
}

void cardMessages(Engine &engine, uint8_t storage, _MEC_FIELD_SIZES &sizes)
{
    const std::string memory = storage == 0 ? "SM" : "ME";
    if (auto known = engine.messageCapacity(memory)) {
        sizes.messageCapacity = static_cast<uint32_t>(*known);
        return;
    }
    // +CPMS? once: what it did not name, it will not name next time either.
    AtResponse answer;
    if (!engine.messageStoragesListed())
        answer = engine.run("AT+CPMS?");
    auto line = answer.ok() ? answer.line("+CPMS:") : nullptr;
    auto storages = line ? parseCpmsQueryResponse(*line) : std::nullopt;
    if (storages) {
        for (const auto &candidate : *storages) {
            if (candidate.memory == memory) {
                sizes.messageCapacity = static_cast<uint32_t>(candidate.total);
                return;
            }
        }
    }
    // +CPMS? names only the storages in use: when messages are received into the other one,
    // this one is selected for reading, whose answer gives its size first. Every message
    // command selects its own storage, so the selection can stay.
    AtResponse selected = engine.run("AT+CPMS=\"" + memory + "\"");
    auto counts = selected.ok() ? selected.line("+CPMS:") : nullptr;
    if (auto total = counts ? parseCpmsSetTotal(*counts) : std::nullopt)
        sizes.messageCapacity = static_cast<uint32_t>(*total);
}

}  // namespace

MEC_STATUS _MEC_GetFieldSizes(_MEC_FIELD_SIZES *sizes)
{
    if (!sizes || sizes->size != sizeof *sizes || sizes->storage > 2)
        return kStatusError;
    const uint8_t storage = sizes->storage;
    _MEC_FIELD_SIZES filled{};
    filled.size = sizeof filled;
    filled.storage = storage;
    filled.messageBits = kMessageBits;
    filled.messageCodings = kCodingGsm | kCodingEightBit | kCodingUcs2;
    if (storage == 2) {
        fillPc(filled);
        *sizes = filled;
        return kStatusOk;
    }
    return withEngine([&](Engine &engine) {
        uint16_t status = cardBook(engine, storage, filled);
        if (status != kStatusOk)
            return status;
        cardMessages(engine, storage, filled);
        *sizes = filled;
        return kStatusOk;
    });
}
