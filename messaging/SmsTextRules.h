// The composer's rules for what the user types: how long the text is in the coding it will be
// sent in, how many messages that makes, where the text must be cut back, which key is refused,
// and how the recipient field splits into numbers and which of them is not a number.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Characters of one message and of each part of a long message, for 7-bit and 16-bit text.
struct TextLimits {
    int single7 = 160;
    int part7 = 153;
    int single16 = 70;
    int part16 = 67;

    // The card storage's limits. The standard 140-octet values stand in while the card's have
    // not been read (no card yet): a limit of 0 would cut every text to nothing.
    static TextLimits FromCard();
};

// A message never has more parts than this.
constexpr int kMaxMessageParts = 5;

struct TextCount {
    bool sevenBit = true;
    int length = 0;   // septets (extension characters count two) or UTF-16 characters
    int maximum = 0;  // five parts of the coding's per-part limit
    int parts = 1;
    int bytes = 0;  // the text in the system code page, as a stored copy keeps it
    // No character more fits: the coding's maximum is reached, or a stored copy of the text
    // (800 bytes) has no room left for one more character of any kind.
    bool full = false;
    // Beyond what may be sent or kept: the text must be cut back.
    bool over = false;
};

TextCount CountText(const QString &text, const TextLimits &limits);

// The text cut back one character at a time (never inside a surrogate pair) until it fits.
QString FitText(QString text, const TextLimits &limits);

// The counter's text: "<kSmsCounter><length>/<parts>", nothing for an empty text.
QString CounterText(const TextCount &count);

// The keys the message field sees before they go in.
enum class KeyKind {
    NotACharacter,  // arrows, Delete, function keys: they insert nothing
    Enter,
    Editing,  // Backspace, Ctrl+Z, Ctrl+C, Ctrl+V, Ctrl+X
    Character,
};
enum class KeyDecision { Accept, Drop, DropWithNotice };

// A line break takes two characters, so Enter is refused one below the maximum; at the maximum
// only editing keys (or typing over a selection) get through, and the user is told why.
KeyDecision FilterKey(const TextCount &count, bool hasSelection, KeyKind key);

// The recipient field split at ';' and the full-width semicolon, empty pieces dropped.
struct RecipientSplit {
    uint16_t code = 0;  // 0, or 4208 for more than 200 numbers
    QStringList recipients;
};
RecipientSplit SplitRecipientField(const QString &field);

// The index of the first recipient that is longer than 32 characters or holds a character that
// is neither ';' nor one of allowed; -1 when all are numbers.
int FirstInvalidRecipient(const QStringList &recipients, const QString &allowed);
