#include "logic/BL_PbVCard.h"

#include "logic/BL_PbCut.h"
#include "platform/CodePage.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr size_t kFoldOctets = 75;
constexpr qint64 kLargestFile = 16 * 1024 * 1024;
// Characters a PC number keeps; spaces, dashes, dots and brackets only separate digits.
constexpr std::string_view kNumberCharacters = "0123456789+*#pPwW";
constexpr std::string_view kNumberSeparators = " -.()/\t";

std::string toUtf8(std::string_view ansi)
{
    return platform::fromAnsi(ansi).toUtf8().toStdString();
}

std::string upper(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::string escape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == ',' || c == ';')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        if (c != '\r')
            out += c;
    }
    return out;
}

// A content line folded at 75 octets, never inside a UTF-8 sequence, with its CRLF.
void appendFolded(std::string &out, const std::string &line)
{
    size_t start = 0;
    size_t room = kFoldOctets;
    while (line.size() - start > room) {
        size_t end = start + room;
        while (end > start && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
            --end;
        out.append(line, start, end - start);
        out += "\r\n ";
        start = end;
        room = kFoldOctets - 1;
    }
    out.append(line, start, std::string::npos);
    out += "\r\n";
}

std::string unescape(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' || next == 'N' ? '\n' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Splits at separators that are not escaped.
std::vector<std::string> splitUnescaped(std::string_view text, char separator)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            parts.back() += text.substr(i, 2);
            ++i;
        } else if (text[i] == separator) {
            parts.emplace_back();
        } else {
            parts.back() += text[i];
        }
    }
    return parts;
}

std::string decodeQuotedPrintable(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool escaped = text[i] == '=' && i + 2 < text.size() &&
                             std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                             std::isxdigit(static_cast<unsigned char>(text[i + 2]));
        if (escaped) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else if (!(text[i] == '=' && i + 1 == text.size())) {
            out += text[i];
        }
    }
    return out;
}

// Bytes in the named character set -> UTF-8; UTF-8 that does not decode is read as Latin-1.
std::string toUtf8From(const std::string &bytes, const std::string &charset)
{
    const QByteArray raw = QByteArray::fromStdString(bytes);
    if (!charset.empty() && upper(charset) != "UTF-8") {
        QStringDecoder decoder(charset.c_str());
        if (decoder.isValid())
            return QString(decoder(raw)).toUtf8().toStdString();
    }
    // A replacement character that the bytes did not spell out marks bytes that are not UTF-8.
    const QString text = QString::fromUtf8(raw);
    if (!text.contains(QChar::ReplacementCharacter) || raw.contains("\xEF\xBF\xBD"))
        return bytes;
    return QString::fromLatin1(raw).toUtf8().toStdString();
}

struct Property {
    std::string name;
    std::vector<std::string> types;  // upper case
    std::string value;               // decoded, still escaped
};

// "item1.TEL;TYPE=cell,voice;CHARSET=UTF-8:+1 555" -> the property.
std::optional<Property> parseLine(const std::string &line, bool &quotedPrintable)
{
    bool inQuotes = false;
    size_t colon = std::string::npos;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            inQuotes = !inQuotes;
        else if (line[i] == ':' && !inQuotes) {
            colon = i;
            break;
        }
    }
    if (colon == std::string::npos)
        return std::nullopt;
    Property property;
    std::vector<std::string> head = splitUnescaped(std::string_view(line).substr(0, colon), ';');
    property.name = upper(head[0]);
    if (size_t dot = property.name.rfind('.'); dot != std::string::npos)
        property.name.erase(0, dot + 1);
    std::string charset;
    quotedPrintable = false;
    bool base64 = false;
    for (size_t i = 1; i < head.size(); ++i) {
        std::string parameter = head[i];
        std::string key = "TYPE";
        std::string value = parameter;
        if (size_t equals = parameter.find('='); equals != std::string::npos) {
            key = upper(parameter.substr(0, equals));
            value = parameter.substr(equals + 1);
        }
        value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
        const std::string upperValue = upper(value);
        if (upperValue == "QUOTED-PRINTABLE")
            quotedPrintable = true;
        else if (upperValue == "B" || upperValue == "BASE64")
            base64 = true;
        else if (key == "CHARSET")
            charset = value;
        else if (key == "TYPE")
            for (const auto &type : splitUnescaped(upperValue, ','))
                property.types.push_back(type);
    }
    if (base64)
        return property;  // pictures and sounds: named, their bytes are not kept
    std::string raw = line.substr(colon + 1);
    if (quotedPrintable)
        raw = decodeQuotedPrintable(raw);
    property.value = toUtf8From(raw, charset);
    return property;
}

// The logical lines of the text: CRLF or LF, folded lines joined, quoted-printable soft breaks
// joined.
std::vector<std::string> logicalLines(std::string_view text)
{
    std::vector<std::string> lines;
    bool softBreak = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string line(text.substr(start, end == std::string_view::npos ? end : end - start));
        start = end == std::string_view::npos ? text.size() + 1 : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (softBreak && !lines.empty()) {
            lines.back().pop_back();  // the '=' that continued it
            lines.back() += line;
        } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty()) {
            lines.back() += line.substr(1);
        } else {
            lines.push_back(line);
        }
        const std::string &last = lines.empty() ? line : lines.back();
        softBreak = !last.empty() && last.back() == '=' &&
                    upper(last).find("QUOTED-PRINTABLE") != std::string::npos;
    }
    return lines;
}

// A TEL value as a number: a tel: URI loses its scheme and parameters, an extension is dialled
// after a pause. Letters are left in (the caller refuses them).
std::string numberOfTel(std::string value)
{
    if (upper(value).rfind("TEL:", 0) != 0)
        return value;
    value.erase(0, 4);
    std::vector<std::string> parts = splitUnescaped(value, ';');
    std::string number = parts[0];
    for (size_t i = 1; i < parts.size(); ++i)
        if (upper(parts[i]).rfind("EXT=", 0) == 0)
            number += "p" + parts[i].substr(4);
    return number;
}

// Letters that are no pause or wait: 1-800-FLOWERS, "ask reception".
bool hasLetters(const std::string &number)
{
    return std::any_of(number.begin(), number.end(), [](unsigned char c) {
        return std::isalpha(c) && std::string_view("pPwW").find(char(c)) == std::string_view::npos;
    });
}

// The words a person reads for a property the PC contact does not keep.
std::string propertyWords(const std::string &name)
{
    static const std::pair<const char *, const char *> kWords[] = {
        {"ADR", "address"},    {"ORG", "organisation"},    {"TITLE", "title"},
        {"ROLE", "role"},      {"BDAY", "birthday"},       {"ANNIVERSARY", "anniversary"},
        {"NICKNAME", "nickname"}, {"PHOTO", "photo"},      {"LOGO", "logo"},
        {"SOUND", "sound"},    {"IMPP", "messaging address"}, {"GEO", "position"},
        {"TZ", "time zone"},   {"KEY", "key"},             {"RELATED", "related person"},
        {"URL", "further web addresses"}, {"NOTE", "further notes"},
        {"CATEGORIES", "further categories"}, {"LABEL", "address label"},
    };
    for (const auto &[property, words] : kWords)
        if (name == property)
            return words;
    return name;
}

// Properties that describe the card, not the person.
bool aboutTheCard(const std::string &name)
{
    static const char *const kAbout[] = {"VERSION", "PRODID", "UID",  "REV",    "KIND", "SOURCE",
                                         "CLIENTPIDMAP", "NAME", "PROFILE", "X-ABUID", "X-ABLABEL"};
    return std::any_of(std::begin(kAbout), std::end(kAbout),
                       [&](const char *about) { return name == about; });
}

std::string nameFromN(const std::string &value)
{
    // family;given;middle;prefix;suffix -> "prefix given middle family suffix"
    std::vector<std::string> parts = splitUnescaped(value, ';');
    parts.resize(5);
    std::string name;
    for (size_t index : {3u, 1u, 2u, 0u, 4u}) {
        const std::string part = unescape(parts[index]);
        if (!part.empty())
            name += (name.empty() ? "" : " ") + part;
    }
    return name;
}

}  // namespace

std::string WriteVCards(const std::vector<_MEC_CONTACT_RECORD> &contacts,
                        const std::function<std::string(const _MEC_CONTACT_RECORD &)> &groupName)
{
    static const char *const kSlotTypes[] = {"CELL", "HOME", "VOICE", "VOICE", "VOICE"};
    std::string out;
    for (const auto &contact : contacts) {
        auto field = [](const char *text, size_t size) {
            return toUtf8(platform::fieldText(text, size));
        };
        const std::string name = field(contact.name, sizeof contact.name);
        appendFolded(out, "BEGIN:VCARD");
        appendFolded(out, "VERSION:3.0");
        appendFolded(out, "FN:" + escape(name));
        appendFolded(out, "N:" + escape(name) + ";;;;");
        for (int slot = 0; slot < MEC_CONTACT_NUMBER_SLOTS; ++slot) {
            const auto &number = contact.numbers[slot].number;
            const std::string text = field(number, sizeof number);
            if (!text.empty())
                appendFolded(out, std::string("TEL;TYPE=") + kSlotTypes[slot] + ":" + escape(text));
        }
        if (auto email = field(contact.email, sizeof contact.email); !email.empty())
            appendFolded(out, "EMAIL;TYPE=INTERNET:" + escape(email));
        if (auto url = field(contact.url, sizeof contact.url); !url.empty())
            appendFolded(out, "URL:" + escape(url));
        if (auto note = field(contact.note, sizeof contact.note); !note.empty())
            appendFolded(out, "NOTE:" + escape(note));
        if (groupName) {
            if (auto group = groupName(contact); !group.empty())
                appendFolded(out, "CATEGORIES:" + escape(group));
        }
        appendFolded(out, "END:VCARD");
    }
    return out;
}

std::vector<VCardContact> ReadVCards(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::vector<VCardContact> contacts;
    std::optional<VCardContact> card;
    std::string formattedName;
    std::string structuredName;
    // A card ends with END; one that does not is reported, never taken half-read.
    auto finish = [&](const char *problem) {
        card->name = !formattedName.empty() ? formattedName : structuredName;
        if (problem)
            card->problem = problem;
        else if (card->name.empty() && card->numbers.empty())
            card->problem = "it has no name and no number";
        contacts.push_back(std::move(*card));
        card.reset();
    };
    auto notKept = [&](const std::string &what) {
        if (std::find(card->notKept.begin(), card->notKept.end(), what) == card->notKept.end())
            card->notKept.push_back(what);
    };
    for (const std::string &line : logicalLines(text)) {
        bool quotedPrintable = false;
        auto property = parseLine(line, quotedPrintable);
        if (!property)
            continue;
        const std::string value = property->value;
        if (property->name == "BEGIN" && upper(value) == "VCARD") {
            if (card)
                finish("it has no END");
            card = VCardContact{};
            formattedName.clear();
            structuredName.clear();
        } else if (!card) {
            continue;
        } else if (property->name == "END") {
            finish(nullptr);
        } else if (property->name == "FN") {
            formattedName = unescape(value);
        } else if (property->name == "N") {
            structuredName = nameFromN(value);
        } else if (property->name == "TEL") {
            const std::string number = numberOfTel(unescape(value));
            if (hasLetters(number) && card->problem.empty())
                card->problem = "the number " + number + " holds letters";
            const auto &types = property->types;
            auto has = [&types](const char *type) {
                return std::find(types.begin(), types.end(), type) != types.end();
            };
            const char *type = has("CELL") || has("MOBILE") ? "CELL"
                               : has("HOME")                ? "HOME"
                                                            : "VOICE";
            card->numbers.emplace_back(type, number);
        } else if (property->name == "EMAIL") {
            card->emails.push_back(unescape(value));
        } else if (property->name == "URL" && card->url.empty()) {
            card->url = unescape(value);
        } else if (property->name == "NOTE" && card->note.empty()) {
            card->note = unescape(value);
        } else if (property->name == "CATEGORIES" && card->group.empty()) {
            card->group = unescape(splitUnescaped(value, ',')[0]);
        } else if (!aboutTheCard(property->name)) {
            notKept(propertyWords(property->name));
        }
    }
    if (card)
        finish("the file ends inside it");
    return contacts;
}

uint16_t ExportVCardFile(const QString &path, const std::vector<_MEC_CONTACT_RECORD> &contacts,
                         const TBL_pb &store, QString *error)
{
    const std::string text = WriteVCards(contacts, [&store](const _MEC_CONTACT_RECORD &contact) {
        _MEC_GROUP_RECORD group{};
        if (contact.groupId == 0 ||
            store.GetGroup(static_cast<int32_t>(contact.groupId), contact.storage, &group) != 0)
            return std::string();
        return toUtf8(platform::fieldText(group.groupName, sizeof group.groupName));
    });
    // The file is replaced only once the whole text is written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        if (error)
            *error = file.errorString();
        return 1;
    }
    return 0;
}

namespace {

// Puts UTF-8 text into a fixed field in the system code page; names what was lost on the way.
void putText(char *field, size_t width, const std::string &utf8, const char *label,
             std::vector<std::string> &losses)
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const std::string ansi = platform::toAnsi(text);
    platform::copyToField(field, width, ansi);
    if (platform::fromAnsi(platform::fieldText(field, width)) != text)
        losses.emplace_back(label);
}

// A number with its separators taken out; false when it held anything else.
bool cleanNumber(const std::string &given, std::string &number)
{
    bool clean = true;
    number.clear();
    for (char c : given) {
        if (kNumberCharacters.find(c) != std::string_view::npos)
            number += c;
        else if (kNumberSeparators.find(c) == std::string_view::npos)
            clean = false;
    }
    return clean;
}

// The contact record of a card; losses names what did not fit.
_MEC_CONTACT_RECORD recordOf(const VCardContact &card, std::vector<std::string> &losses)
{
    _MEC_CONTACT_RECORD record{};
    record.storage = PB_PC;
    putText(record.name, sizeof record.name, card.name, "name", losses);
    // Mobile and home numbers to their own slots, the others to the three phone slots, then
    // to whatever slot is left.
    std::vector<bool> taken(MEC_CONTACT_NUMBER_SLOTS, false);
    std::vector<std::string> waiting;
    bool numbersChanged = false;
    for (const auto &[type, given] : card.numbers) {
        std::string number;
        numbersChanged |= !cleanNumber(given, number);
        const int wanted = type == "CELL" ? 0 : type == "HOME" ? 1 : -1;
        if (wanted >= 0 && !taken[wanted]) {
            putText(record.numbers[wanted].number, sizeof record.numbers[wanted].number, number,
                    "number", losses);
            taken[wanted] = true;
        } else {
            waiting.push_back(number);
        }
    }
    size_t next = 0;
    for (int slot : {2, 3, 4, 0, 1}) {
        if (!taken[slot] && next < waiting.size()) {
            putText(record.numbers[slot].number, sizeof record.numbers[slot].number,
                    waiting[next++], "number", losses);
            taken[slot] = true;
        }
    }
    if (numbersChanged)
        losses.emplace_back("characters of a number");
    if (next < waiting.size())
        losses.emplace_back("numbers beyond five");
    if (!card.emails.empty())
        putText(record.email, sizeof record.email, card.emails[0], "e-mail", losses);
    if (card.emails.size() > 1)
        losses.emplace_back("e-mail addresses beyond the first");
    putText(record.url, sizeof record.url, card.url, "web address", losses);
    putText(record.note, sizeof record.note, card.note, "note", losses);
    return record;
}

// What the storage's cutting would shorten in the record.
void cutLosses(const _MEC_CONTACT_RECORD &record, const TBL_pb &store,
               std::vector<std::string> &losses)
{
    FieldLimits eightBit{};
    FieldLimits ucs2{};
    store.GetContactLimits(PB_PC, CODING_8BIT, &eightBit);
    store.GetContactLimits(PB_PC, CODING_UCS2, &ucs2);
    _MEC_CONTACT_RECORD cut = record;
    CutContactToLimits(cut, eightBit, ucs2, true);
    auto compare = [&losses](const char *before, const char *after, size_t size,
                             const char *label) {
        if (std::strncmp(before, after, size) != 0 &&
            std::find(losses.begin(), losses.end(), label) == losses.end())
            losses.emplace_back(label);
    };
    compare(record.name, cut.name, sizeof record.name, "name");
    compare(record.email, cut.email, sizeof record.email, "e-mail");
    compare(record.url, cut.url, sizeof record.url, "web address");
    compare(record.note, cut.note, sizeof record.note, "note");
    for (int slot = 0; slot < MEC_CONTACT_NUMBER_SLOTS; ++slot)
        compare(record.numbers[slot].number, cut.numbers[slot].number,
                sizeof record.numbers[slot].number, "number");
}

std::string joined(const std::vector<std::string> &parts)
{
    std::string text;
    for (const auto &part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

// The same contact as one the PC holds already: name and numbers.
bool alreadyHeld(TBL_pb &store, const _MEC_CONTACT_RECORD &record)
{
    _MEC_CONTACT_RECORD *held = nullptr;
    for (uint16_t status = store.FirstContact(PB_PC, &held); status == 0 && held;
         status = store.NextContact(PB_PC, &held)) {
        bool same = std::strncmp(held->name, record.name, sizeof record.name) == 0;
        for (int slot = 0; same && slot < MEC_CONTACT_NUMBER_SLOTS; ++slot)
            same = std::strncmp(held->numbers[slot].number, record.numbers[slot].number,
                                sizeof record.numbers[slot].number) == 0;
        if (same)
            return true;
    }
    return false;
}

}  // namespace

VCardImportReport ImportVCardFile(const QString &path, TBL_pb &store)
{
    VCardImportReport report;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.status = 1;
        report.error = file.errorString();
        return report;
    }
    if (file.size() > kLargestFile) {
        report.status = 1;
        report.error = QStringLiteral("the file is too large for a contact list");
        return report;
    }
    const QByteArray bytes = file.readAll();
    if (upper(bytes.toStdString()).find("BEGIN:VCARD") == std::string::npos) {
        report.status = 1;
        report.error = QStringLiteral("the file holds no vCard");
        return report;
    }
    const std::vector<VCardContact> cards = ReadVCards(bytes.toStdString());
    report.found = static_cast<int>(cards.size());
    _MEC_GROUP_RECORD groups[PB_PC_GROUP_ROOM]{};
    const int groupCount = store.ListGroups(PB_PC, groups, PB_PC_GROUP_ROOM);
    std::vector<std::string> takenLabels;
    // One transaction: a file of hundreds of cards is written at once, or not at all.
    const bool batched = store.BeginBatch() == 0;
    for (size_t position = 0; position < cards.size(); ++position) {
        const VCardContact &card = cards[position];
        const std::string label = !card.name.empty()           ? card.name
                                  : !card.numbers.empty()      ? card.numbers.front().second
                                  : !card.emails.empty()       ? card.emails.front()
                                                               : "card " + std::to_string(position + 1);
        if (!card.problem.empty()) {
            report.left.push_back(label + ": " + card.problem);
            continue;
        }
        if (report.status == PB_PC_FULL) {
            report.left.push_back(label + ": the PC storage is full");
            continue;
        }
        std::vector<std::string> losses;
        _MEC_CONTACT_RECORD record = recordOf(card, losses);
        const std::string groupName = platform::toAnsi(QString::fromUtf8(card.group.c_str()));
        for (int i = 0; i < groupCount && !groupName.empty(); ++i) {
            if (platform::fieldText(groups[i].groupName, sizeof groups[i].groupName) == groupName)
                record.groupId = static_cast<uint32_t>(groups[i].groupId);
        }
        cutLosses(record, store, losses);
        {
            _MEC_CONTACT_RECORD kept = record;
            FieldLimits eightBit{}, ucs2{};
            store.GetContactLimits(PB_PC, CODING_8BIT, &eightBit);
            store.GetContactLimits(PB_PC, CODING_UCS2, &ucs2);
            CutContactToLimits(kept, eightBit, ucs2, true);
            if (alreadyHeld(store, kept)) {
                report.left.push_back(label + ": already in the PC storage");
                continue;
            }
        }
        for (const std::string &field : card.notKept)
            losses.push_back(field);
        const uint16_t status = store.AddContact(record, nullptr);
        if (status == 0) {
            ++report.taken;
            takenLabels.push_back(label);
            if (!losses.empty())
                report.cut.push_back(label + ": " + joined(losses));
        } else if (status == PB_PC_FULL) {
            report.status = PB_PC_FULL;
            report.left.push_back(label + ": the PC storage is full");
        } else {
            report.left.push_back(label + ": not stored (code " + std::to_string(status) + ")");
        }
    }
    if (batched) {
        if (const uint16_t ended = store.EndBatch(); ended != 0) {
            // Nothing of it was kept.
            for (const std::string &label : takenLabels)
                report.left.push_back(label + ": not stored (code " + std::to_string(ended) + ")");
            report.taken = 0;
            report.cut.clear();
            report.status = ended;
        }
    }
    return report;
}
