// The SIM's elementary files and restricted access to them (+CRSM): READ BINARY, READ RECORD,
// GET RESPONSE, STATUS, UPDATE BINARY and UPDATE RECORD, answered with the SIM's status words.
#include "virtualmodem/Modem.h"
#include "virtualmodem/SimCard.h"

#include <algorithm>
#include <optional>

namespace virtualmodem {

namespace {

enum class Structure { Transparent, LinearFixed };

// Who may read or update a file: anyone, or only once the PIN was given.
enum class Access { Always, Pin, Never };

struct ElementaryFile {
    int id;
    Structure structure;
    Access read;
    Access update;
    std::string content;  // transparent: the bytes; linear fixed: the records back to back
    int recordLength = 0;
};

struct StatusWords {
    int sw1;
    int sw2;
};

constexpr StatusWords kOk{0x90, 0x00};
constexpr StatusWords kFileNotFound{0x94, 0x04};
constexpr StatusWords kOutOfRange{0x94, 0x02};
constexpr StatusWords kWrongFileType{0x94, 0x08};
constexpr StatusWords kAccessDenied{0x98, 0x04};
constexpr StatusWords kWrongLength{0x67, 0x00};
constexpr StatusWords kWrongOffset{0x6B, 0x00};
constexpr StatusWords kUnknownInstruction{0x6D, 0x00};

constexpr int kReadBinary = 176;
constexpr int kReadRecord = 178;
constexpr int kGetResponse = 192;
constexpr int kUpdateBinary = 214;
constexpr int kUpdateRecord = 220;
constexpr int kStatus = 242;

constexpr int kMasterFile = 0x3F00;
constexpr int kTelecomDirectory = 0x7F10;
constexpr int kGsmDirectory = 0x7F20;

// Digits in the SIM's BCD form: two per byte, the first in the low nibble, F as filler.
std::string swappedBcd(const std::string &digits, size_t bytes)
{
    std::string out(bytes, '\xFF');
    for (size_t i = 0; i < digits.size() && i / 2 < bytes; ++i) {
        const int digit = digits[i] - '0';
        char &byte = out[i / 2];
        if (i % 2 == 0) {
            byte = static_cast<char>((static_cast<unsigned char>(byte) & 0xF0) | digit);
        } else {
            byte = static_cast<char>((static_cast<unsigned char>(byte) & 0x0F) | (digit << 4));
        }
    }
    return out;
}

std::string imsiFile(const std::string &imsi)
{
    // Length, then the first digit with the odd/even parity nibble, then the rest in pairs.
    std::string out(1, static_cast<char>((imsi.size() + 2) / 2));
    const int parity = imsi.size() % 2 == 1 ? 0x9 : 0x1;
    out.push_back(static_cast<char>(((imsi[0] - '0') << 4) | parity));
    out += swappedBcd(imsi.substr(1), imsi.size() / 2);
    return out;
}

std::string spnFile(const std::string &name)
{
    // Display condition, then the name in the GSM alphabet padded with FF to 16 bytes.
    std::string out(1, '\x01');
    std::string septets = utf8ToGsm(name).value_or("");
    septets.resize(std::min<size_t>(septets.size(), 16));
    out += septets;
    out.resize(17, '\xFF');
    return out;
}

std::string eccFile(const std::vector<std::string> &numbers)
{
    std::string out;
    for (const std::string &number : numbers)
        out += swappedBcd(number, 3);
    return out;
}

std::string msisdnRecord(const std::string &number)
{
    // An empty alpha tag of 10 bytes, then the dialling number: length, type, ten BCD bytes,
    // capability and extension identifiers.
    std::string record(10, '\xFF');
    const bool international = !number.empty() && number[0] == '+';
    const std::string digits = international ? number.substr(1) : number;
    record.push_back(static_cast<char>(1 + (digits.size() + 1) / 2));
    record.push_back(static_cast<char>(international ? 0x91 : 0x81));
    record += swappedBcd(digits, 10);
    record += "\xFF\xFF";
    return record;
}

std::vector<ElementaryFile> simFiles(const SimCard &sim)
{
    return {
        {0x2FE2, Structure::Transparent, Access::Always, Access::Never, swappedBcd(sim.iccid, 10)},
        {0x6F07, Structure::Transparent, Access::Pin, Access::Never, imsiFile(sim.imsi)},
        {0x6F46, Structure::Transparent, Access::Always, Access::Never,
         spnFile(sim.serviceProviderName)},
        {0x6FAD, Structure::Transparent, Access::Always, Access::Never,
         std::string("\x00\x00\x00\x03", 4)},
        {0x6FB7, Structure::Transparent, Access::Always, Access::Never,
         eccFile(sim.emergencyNumbers)},
        {0x6F40, Structure::LinearFixed, Access::Pin, Access::Pin, msisdnRecord(sim.ownNumber), 24},
    };
}

// The SIM's answer to GET RESPONSE for an elementary file.
std::string fileHeader(const ElementaryFile &file)
{
    const size_t size = file.content.size();
    auto condition = [&](Access access) {
        return access == Access::Always ? 0x0 : access == Access::Pin ? 0x1 : 0x4;
    };  // 4: administrative only
    std::string out;
    out += std::string(2, '\0');
    out.push_back(static_cast<char>(size >> 8));
    out.push_back(static_cast<char>(size & 0xFF));
    out.push_back(static_cast<char>(file.id >> 8));
    out.push_back(static_cast<char>(file.id & 0xFF));
    out.push_back('\x04');  // elementary file
    out.push_back('\0');
    out.push_back(static_cast<char>((condition(file.read) << 4) | condition(file.update)));
    out.push_back('\xFF');  // increase: never
    out.push_back('\xFF');  // rehabilitate and invalidate: administrative
    out.push_back('\x01');  // not invalidated
    out.push_back('\x02');  // two more bytes
    out.push_back(file.structure == Structure::Transparent ? '\x00' : '\x01');
    out.push_back(static_cast<char>(file.recordLength));
    return out;
}

// The SIM's answer to STATUS and to GET RESPONSE for a directory: the directory and the state
// of its secret codes (initialised, tries left).
std::string directoryHeader(int id, const SimCard &sim)
{
    std::string out(2, '\0');
    out += std::string(2, '\0');  // free memory
    out.push_back(static_cast<char>(id >> 8));
    out.push_back(static_cast<char>(id & 0xFF));
    out.push_back(id == kMasterFile ? '\x01' : '\x02');
    out += std::string(5, '\0');
    out.push_back('\x09');                                           // GSM data that follows
    out.push_back(static_cast<char>(sim.pinEnabled ? 0x13 : 0x93));  // bit 8: PIN disabled
    out.push_back('\x02');                                           // child directories
    out.push_back('\x06');                                           // elementary files
    out.push_back('\x04');                                           // secret codes
    out.push_back('\0');
    out.push_back(static_cast<char>(0x80 | sim.pinRetries));
    out.push_back(static_cast<char>(0x80 | sim.pukRetries));
    out.push_back(static_cast<char>(0x80 | sim.pin2Retries));
    out.push_back(static_cast<char>(0x80 | sim.puk2Retries));
    return out;
}

bool allowed(Access access, const SimCard &sim)
{
    return access == Access::Always || (access == Access::Pin && sim.lock == SimLock::Ready);
}

Result answer(StatusWords words, const std::string &data = {})
{
    std::string line = "+CRSM: " + std::to_string(words.sw1) + "," + std::to_string(words.sw2);
    if (!data.empty())
        line += ",\"" + toHex(data) + "\"";
    return Result::ok({line});
}

void storeFile(SimCard &sim, const ElementaryFile &file)
{
    // Only the own-number record is writable; its number is kept in the SIM's data.
    if (file.id != 0x6F40)
        return;
    const std::string &record = file.content;
    const int length = static_cast<unsigned char>(record[10]);
    if (length < 2 || length > 11) {
        sim.ownNumber.clear();
        return;
    }
    std::string digits;
    for (int i = 0; i < length - 1; ++i) {
        const auto byte = static_cast<unsigned char>(record[12 + i]);
        for (int nibble : {byte & 0x0F, byte >> 4}) {
            if (nibble <= 9)
                digits.push_back(static_cast<char>('0' + nibble));
        }
    }
    sim.ownNumber = (static_cast<unsigned char>(record[11]) == 0x91 ? "+" : "") + digits;
}

Result restrictedAccess(Modem &modem, const AtCommand &command)
{
    if (command.kind == AtKind::Test)
        return Result::ok();
    if (command.kind != AtKind::Set)
        return Result::error();
    const auto values = parseArguments(command.argument);
    if (!values || values->empty() || values->size() > 7)
        return Result::error();
    const auto instruction = numberArgument(*values, 0, 0, 255);
    if (!instruction)
        return Result::error();
    std::optional<long> fileId;
    if (values->size() > 1) {
        fileId = numberArgument(*values, 1, 0, 0xFFFF);
        if (!fileId)
            return Result::error();
    }
    long p1 = 0, p2 = 0, p3 = 0;
    if (values->size() > 2) {
        const auto a = numberArgument(*values, 2, 0, 255);
        const auto b = numberArgument(*values, 3, 0, 255);
        const auto c = numberArgument(*values, 4, 0, 255);
        if (!a || !b || !c)
            return Result::error();
        p1 = *a;
        p2 = *b;
        p3 = *c;
    }
    std::string data;
    if (values->size() > 5 && !(*values)[5].empty()) {
        const auto bytes = fromHex((*values)[5].text);
        if (!bytes)
            return Result::error();
        data = *bytes;
    }

    SimCard &sim = modem.state().sim;
    if (!sim.inserted)
        return Result::cme(cme::kSimNotInserted);
    if (sim.lock == SimLock::Dead)
        return Result::cme(cme::kSimFailure);

    if (*instruction == kStatus)
        return answer(kOk, directoryHeader(kGsmDirectory, sim));
    if (!fileId)
        return Result::error();
    if (*instruction == kGetResponse &&
        (*fileId == kMasterFile || *fileId == kTelecomDirectory || *fileId == kGsmDirectory)) {
        return answer(kOk, directoryHeader(static_cast<int>(*fileId), sim));
    }

    std::vector<ElementaryFile> files = simFiles(sim);
    const auto file = std::find_if(files.begin(), files.end(),
                                   [&](const ElementaryFile &f) { return f.id == *fileId; });
    if (file == files.end())
        return answer(kFileNotFound);
    // P3 = 0 asks for 256 bytes on a SIM.
    const size_t length = p3 == 0 ? 256 : static_cast<size_t>(p3);

    switch (*instruction) {
    case kGetResponse: return answer(kOk, fileHeader(*file));
    case kReadBinary:
    case kUpdateBinary: {
        if (file->structure != Structure::Transparent)
            return answer(kWrongFileType);
        const bool reading = *instruction == kReadBinary;
        if (!allowed(reading ? file->read : file->update, sim))
            return answer(kAccessDenied);
        const size_t offset = static_cast<size_t>((p1 << 8) | p2);
        if (offset >= file->content.size())
            return answer(kWrongOffset);
        if (offset + length > file->content.size())
            return answer(kWrongLength);
        if (reading)
            return answer(kOk, file->content.substr(offset, length));
        if (data.size() != length)
            return answer(kWrongLength);
        file->content.replace(offset, length, data);
        storeFile(sim, *file);
        return answer(kOk);
    }
    case kReadRecord:
    case kUpdateRecord: {
        if (file->structure != Structure::LinearFixed)
            return answer(kWrongFileType);
        const bool reading = *instruction == kReadRecord;
        if (!allowed(reading ? file->read : file->update, sim))
            return answer(kAccessDenied);
        const size_t records = file->content.size() / file->recordLength;
        // Only absolute addressing (P2 = 4), as terminals use it.
        if (p2 != 4 || p1 < 1 || static_cast<size_t>(p1) > records)
            return answer(kOutOfRange);
        if (length != static_cast<size_t>(file->recordLength))
            return answer(kWrongLength);
        const size_t offset = (p1 - 1) * file->recordLength;
        if (reading)
            return answer(kOk, file->content.substr(offset, length));
        if (data.size() != length)
            return answer(kWrongLength);
        file->content.replace(offset, length, data);
        storeFile(sim, *file);
        return answer(kOk);
    }
    default: return answer(kUnknownInstruction);
    }
}

}  // namespace

void registerSimFileCommands(CommandTable &table)
{
    table.add("+CRSM", [](Modem &modem, const AtCommand &command) {
        Result result = restrictedAccess(modem, command);
        // Firmware that hands over the data with "9F <length>" still in the status words.
        const std::string success = "+CRSM: 144,0,\"";
        if (modem.state().quirks.has(Quirk::CrsmPending) && result.lines.size() == 1 &&
            result.lines[0].rfind(success, 0) == 0) {
            const std::string data = result.lines[0].substr(success.size());
            const size_t bytes = (data.size() - 1) / 2;  // hex digits, without the closing quote
            result.lines[0] = "+CRSM: 159," + std::to_string(bytes) + ",\"" + data;
        }
        return result;
    });
}

}  // namespace virtualmodem
