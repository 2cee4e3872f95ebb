// The composer's counting, cutting, key and recipient rules at their boundaries.
#include "SmsTextRules.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

QString repeated(const QString &piece, int times) { return piece.repeated(times); }

}  // namespace

TEST(SmsTextRules, CountFollowsTheCodingAndItsPartLimits)
{
    platform::forceSystemCodePage("UTF-8");
    const struct {
        QString text;
        bool sevenBit;
        int length;
        int parts;
        bool full;
    } cases[] = {
        {QString(), true, 0, 1, false},
        {repeated(QStringLiteral("a"), 160), true, 160, 1, false},
        {repeated(QStringLiteral("a"), 161), true, 161, 2, false},
        {repeated(QStringLiteral("a"), 306), true, 306, 2, false},
        {repeated(QStringLiteral("a"), 307), true, 307, 3, false},
        {QStringLiteral("[\u00a4a"), true, 5, 1, false},  // extension characters take two septets
        {QStringLiteral("\u00e9\u00e0"), true, 2, 1, false},
        {QStringLiteral("a\u20ac"), false, 2, 1, false},  // the euro sign is not in the alphabet
        {repeated(QStringLiteral("\u00c4"), 70), false, 70, 1, false},
        {repeated(QStringLiteral("\u00c4"), 71), false, 71, 2, false},
        {repeated(QStringLiteral("a"), 765), true, 765, 5, true},
        {repeated(QStringLiteral("\u00c4"), 335), false, 335, 5, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.left(8).toStdString() + " x" + std::to_string(c.text.size()));
        const TextCount count = CountText(c.text, TextLimits{});
        EXPECT_EQ(count.sevenBit, c.sevenBit);
        EXPECT_EQ(count.length, c.length);
        EXPECT_EQ(count.parts, c.parts);
        EXPECT_EQ(count.full, c.full);
        EXPECT_FALSE(count.over);
    }
    // The card's own limits are the ones that count.
    const TextLimits small{.single7 = 100, .part7 = 90, .single16 = 50, .part16 = 40};
    EXPECT_EQ(CountText(repeated(QStringLiteral("a"), 181), small).parts, 3);
    EXPECT_TRUE(CountText(repeated(QStringLiteral("\u00c4"), 201), small).over);
    platform::forceSystemCodePage({});
}

// The parts shown are the parts that go: a pair (escape or surrogate) that would straddle a
// boundary moves whole into the next part, and a text in national tables loses the room of
// their header element.
TEST(SmsTextRules, PartsAreCountedAsTheStoreCutsThem)
{
    platform::forceSystemCodePage("UTF-8");
    const QString a152 = repeated(QStringLiteral("a"), 152);
    const QString umlauts = repeated(QStringLiteral("\u00c4"), 66);
    const struct {
        QString text;
        bool sevenBit;
        int parts;
    } cases[] = {
        {a152 + u'[' + a152, true, 3},
        {umlauts + QStringLiteral("\U0001F600") + umlauts, false, 3},
        {repeated(QStringLiteral("\u015f"), 155), true, 1},  // Turkish: 7 bits, not 16
        {repeated(QStringLiteral("\u015f"), 156), true, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.left(8).toStdString() + " x" + std::to_string(c.text.size()));
        const TextCount count = CountText(c.text, TextLimits{});
        EXPECT_EQ(count.sevenBit, c.sevenBit);
        EXPECT_EQ(count.parts, c.parts);
    }
    platform::forceSystemCodePage({});
}

TEST(SmsTextRules, ALongTextIsCutToFiveMessagesAndToWhatAStoredCopyHolds)
{
    platform::forceSystemCodePage("UTF-8");
    EXPECT_EQ(FitText(repeated(QStringLiteral("a"), 900), TextLimits{}).size(), 765);
    // "[" takes two septets and a part never ends inside one: 76 fill a part of 153, so five
    // parts hold 380.
    EXPECT_EQ(FitText(repeated(QStringLiteral("["), 400), TextLimits{}).size(), 380);
    // A character beyond the basic plane is two UTF-16 units and is never cut in half: after
    // "a", five parts of 67 units hold 165 of them.
    const QString fitted =
        FitText(QStringLiteral("a") + repeated(QStringLiteral("\U0001F600"), 200), TextLimits{});
    EXPECT_EQ(fitted.size(), 331);
    EXPECT_FALSE(fitted.back().isHighSurrogate());
    // In UTF-8 a Chinese character takes three bytes: 335 of them would not fit the 800 bytes
    // a draft or a sent copy keeps, so the text stops where a copy still holds it whole.
    const QString chinese = FitText(repeated(QStringLiteral("\u4e2d"), 335), TextLimits{});
    EXPECT_EQ(chinese.size(), 266);
    EXPECT_TRUE(CountText(chinese, TextLimits{}).full);
    platform::forceSystemCodePage({});
}

TEST(SmsTextRules, KeysAtTheLimit)
{
    TextCount below = CountText(repeated(QStringLiteral("a"), 764), TextLimits{});
    TextCount atMaximum = CountText(repeated(QStringLiteral("a"), 765), TextLimits{});
    const struct {
        const TextCount &count;
        bool selection;
        KeyKind key;
        KeyDecision expected;
    } cases[] = {
        {below, false, KeyKind::Enter, KeyDecision::Drop},  // a line break takes two
        {below, false, KeyKind::Character, KeyDecision::Accept},
        {atMaximum, false, KeyKind::Character, KeyDecision::DropWithNotice},
        {atMaximum, false, KeyKind::Enter, KeyDecision::DropWithNotice},
        {atMaximum, false, KeyKind::Editing, KeyDecision::Accept},
        {atMaximum, true, KeyKind::Character, KeyDecision::Accept},  // typed over the selection
        {atMaximum, false, KeyKind::NotACharacter, KeyDecision::Accept},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FilterKey(c.count, c.selection, c.key), c.expected)
            << c.count.length << " " << int(c.key) << " " << c.selection;
}

TEST(SmsTextRules, RecipientFieldSplitsAtBothSemicolonsAndDropsEmptyPieces)
{
    const QStringList two_hundred = QStringList(200, QStringLiteral("1"));
    const struct {
        QString field;
        uint16_t code;
        QStringList recipients;
    } cases[] = {
        {QString(), 0, {}},
        {QStringLiteral("  "), 0, {}},
        {QStringLiteral("1;2\uff1b3"),
         0,
         {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}},
        {QStringLiteral("1;;2;"), 0, {QStringLiteral("1"), QStringLiteral("2")}},
        {QStringLiteral(";\uff1b"), 0, {}},
        {two_hundred.join(u';') + QStringLiteral(";;"), 0, two_hundred},
        {two_hundred.join(u';') + QStringLiteral(";2"), 4208, two_hundred},
    };
    for (const auto &c : cases) {
        const RecipientSplit split = SplitRecipientField(c.field);
        EXPECT_EQ(split.code, c.code) << c.field.left(20).toStdString();
        EXPECT_EQ(split.recipients, c.recipients) << c.field.left(20).toStdString();
    }
}

TEST(SmsTextRules, TheFirstRecipientThatIsNoNumberIsNamed)
{
    const QString allowed = QStringLiteral("0123456789+*#pw");
    EXPECT_EQ(FirstInvalidRecipient({QStringLiteral("+4912"), QStringLiteral("*100#")}, allowed),
              -1);
    EXPECT_EQ(FirstInvalidRecipient(
                  {QStringLiteral("1"), QStringLiteral("12 3"), QStringLiteral("x")}, allowed),
              1);
    EXPECT_EQ(FirstInvalidRecipient({QString(32, u'1')}, allowed), -1);
    EXPECT_EQ(FirstInvalidRecipient({QStringLiteral("1"), QString(33, u'1')}, allowed), 1);
}
