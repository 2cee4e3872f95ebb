#include "SmsTextRules.h"

#include "gsm/GsmText.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "logic/BL_SmsRecipients.h"
#include "logic/BL_SmsText.h"
#include "logic/EngineValues.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

#include <optional>
#include <string>

namespace {

constexpr int kMaxRecipientLength = 32;
constexpr QChar kFullWidthSemicolon(0xFF1B);

void takeLimits(uint8_t coding, int *single, int *part)
{
    FieldLimits limits{};
    SetGetFieldLimits(SMS_STORE_CARD, coding, &limits);
    if (limits.values[FIELD_LIMIT_SMS_SINGLE] > 0 && limits.values[FIELD_LIMIT_SMS_PART] > 0) {
        *single = limits.values[FIELD_LIMIT_SMS_SINGLE];
        *part = limits.values[FIELD_LIMIT_SMS_PART];
    }
}

}  // namespace

TextLimits TextLimits::FromCard()
{
    TextLimits limits;
    if (BusinessLogic() == nullptr)
        return limits;
    takeLimits(CODING_8BIT, &limits.single7, &limits.part7);
    takeLimits(CODING_UCS2, &limits.single16, &limits.part16);
    return limits;
}

TextCount CountText(const QString &text, const TextLimits &limits)
{
    TextCount count;
    const std::string ansi = platform::toAnsi(text);
    // Counted as the store cuts it for sending, so the parts shown are the parts that go.
    const std::optional<SmsText> prepared = SmsText::FromAnsi(ansi);
    count.sevenBit = !prepared || prepared->gsm;
    const int single = count.sevenBit ? limits.single7 : limits.single16;
    const int part = count.sevenBit ? limits.part7 : limits.part16;
    if (prepared) {
        count.length = int(prepared->units);
        count.maximum = kMaxMessageParts * int(prepared->PartRoom(size_t(part)));
        count.parts = int(prepared->Cut(size_t(single), size_t(part)).size());
    } else {
        count.length = int(text.size());
        count.maximum = kMaxMessageParts * part;
        count.parts = count.length <= single ? 1 : (count.length + part - 1) / part;
    }
    count.bytes = int(ansi.size());
    const int room = int(kSmsTextBytes);
    count.over = count.parts > kMaxMessageParts || count.bytes > room;
    // A character takes at most four bytes in the code page.
    count.full = count.length >= count.maximum || count.bytes > room - 4;
    return count;
}

QString FitText(QString text, const TextLimits &limits)
{
    while (!text.isEmpty() && CountText(text, limits).over) {
        const bool pair = text.size() >= 2 && text.back().isLowSurrogate() &&
                          text.at(text.size() - 2).isHighSurrogate();
        text.chop(pair ? 2 : 1);
    }
    return text;
}

QString CounterText(const TextCount &count)
{
    if (count.length == 0)
        return {};
    return platform::GetLanguageString(text::kSmsCounter) +
           QStringLiteral("%1/%2").arg(count.length).arg(count.parts);
}

KeyDecision FilterKey(const TextCount &count, bool hasSelection, KeyKind key)
{
    if (key == KeyKind::NotACharacter)
        return KeyDecision::Accept;
    if (key == KeyKind::Enter && count.length == count.maximum - 1)
        return KeyDecision::Drop;
    if (count.full && !hasSelection && key != KeyKind::Editing)
        return KeyDecision::DropWithNotice;
    return KeyDecision::Accept;
}

RecipientSplit SplitRecipientField(const QString &field)
{
    RecipientSplit split;
    const QString text = field.trimmed();
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u';' && text[end] != kFullWidthSemicolon)
            ++end;
        if (end > start) {
            if (split.recipients.size() == qsizetype(kSmsMaxRecipients)) {
                split.code = kSmsTooManyRecipients;
                break;
            }
            split.recipients << text.mid(start, end - start);
        }
        start = end + 1;
    }
    return split;
}

int FirstInvalidRecipient(const QStringList &recipients, const QString &allowed)
{
    for (qsizetype i = 0; i < recipients.size(); ++i) {
        const QString &recipient = recipients[i];
        bool valid = recipient.size() <= kMaxRecipientLength;
        for (QChar c : recipient)
            valid = valid && (c == u';' || allowed.contains(c));
        if (!valid)
            return int(i);
    }
    return -1;
}
