// The editor's rules: the SIM's way of counting a text, number characters, which fields a
// storage keeps, and saving with the message each failure gets; the editor over them: what a
// storage offers and what a field keeps of what is typed.
#include "ContactEditRules.h"
#include "ContactEditor.h"
#include "ContactsList.h"

#include "PbFixture.h"

#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

using namespace contact_edit;

TEST(ContactEditRules, SimLengthCountsExtensionCharactersTwiceAndWideTextsPerUnit)
{
    struct Case {
        QString text;
        int length;
    };
    for (const Case &test :
         {Case{QStringLiteral("abc"), 3}, Case{QStringLiteral("[[["), 6},
          Case{QStringLiteral("   "), 3}, Case{QStringLiteral("a{b}"), 6},
          Case{QString(QChar(0x20AC)), 2}, Case{QString(), 0},
          Case{QStringLiteral("\u4F60\u597D"), 6},
          // Letters of the 7-bit alphabet count once; one it lacks (ç) makes
          // the whole name UCS-2, as the card will store it.
          Case{QStringLiteral("J\u00FCrgen"), 6}, Case{QStringLiteral("Fran\u00E7ois"), 18}}) {
        EXPECT_EQ(SimLength(test.text), test.length) << test.text.toStdString();
    }
    // At a maximum of 14, a name of "[" is full after 7 characters, one of letters after 14.
    EXPECT_EQ(CutForSim(QString(20, QLatin1Char('[')), 14).size(), 7);
    EXPECT_EQ(CutForSim(QString(20, QLatin1Char('a')), 14).size(), 14);
    EXPECT_EQ(CutForSim(QStringLiteral("\u4F60\u597D\u4F60\u597D"), 6),
              QStringLiteral("\u4F60\u597D"));
}

TEST(ContactEditRules, NumbersHoldOnlyTheAllowedCharacters)
{
    const QString allowed = QStringLiteral("0123456789+*#");
    EXPECT_TRUE(NumberAllowed(QStringLiteral("+49 30"), allowed + QLatin1Char(' ')));
    EXPECT_TRUE(NumberAllowed(QString(), allowed));
    EXPECT_FALSE(NumberAllowed(QStringLiteral("0711a"), allowed));
}

class ContactSaveTest : public PbFixture {};

TEST_F(ContactSaveTest, StorageDecidesFieldsAndSaveExplainsEachRefusal)
{
    simCapacity = 1;
    put(PB_SIM, "Full", "1");
    TBL_pb &pb = open();
    FieldLimits sim{}, pc{};
    pb.GetContactLimits(PB_SIM, CODING_8BIT, &sim);
    pb.GetContactLimits(PB_PC, CODING_8BIT, &pc);
    const FieldAvailability onSim = ForStorage(PB_SIM, sim);
    EXPECT_EQ(onSim.numberSlots, 1);
    EXPECT_FALSE(onSim.group);
    EXPECT_EQ(onSim.emailMax, 0);
    EXPECT_EQ(ForStorage(PB_PC, pc).numberSlots, 5);
    EXPECT_TRUE(ForStorage(PB_PC, pc).group);

    using platform::GetLanguageString;
    ContactFields fields;
    fields.name = QStringLiteral("Ann");
    fields.storage = PB_SIM;
    EXPECT_EQ(Save(pb, fields, {}, true), GetLanguageString(text::kPbNameAndMobile));
    fields.numbers[0] = QStringLiteral("0711");
    const QString full = Save(pb, fields, {}, true);
    EXPECT_TRUE(full.contains(GetLanguageString(text::kPbStoreSIM))) << full.toStdString();
    EXPECT_EQ(book->contacts(PB_SIM).size(), 1u);

    fields.storage = PB_PC;
    EXPECT_EQ(Save(pb, fields, {}, true), QString());
    ASSERT_EQ(book->contacts(PB_PC).size(), 1u);
    _MEC_CONTACT_RECORD saved = book->contacts(PB_PC).begin()->second;
    saved.opaqueC = 77;
    fields.name = QStringLiteral("Anna");
    EXPECT_EQ(Save(pb, fields, saved, false), QString());
    EXPECT_STREQ(book->contacts(PB_PC).begin()->second.name, "Anna");
    EXPECT_EQ(BuildRecord(saved, fields).opaqueC, 77);  // the engine's parts are kept
    book->failStorage(PB_PC, 3);
    EXPECT_EQ(Save(pb, fields, saved, false), GetLanguageString(text::kPbNotChanged));
}

TEST_F(ContactSaveTest, EditorOffersWhatTheStorageKeepsAndGuardsWhatIsTyped)
{
    TBL_pb &pb = open();
    _MEC_GROUP_RECORD group{};
    group.storage = PB_PC;
    std::strcpy(group.groupName, "Work");
    ASSERT_EQ(pb.AddGroup(group), 0);
    ContactEditor editor([&] { return &pb; });
    editor.New(nullptr, PB_PC, group.groupId, true);
    const ContactEditor::StorageFields onPc = editor.ApplyStorage(PB_PC);
    EXPECT_EQ(onPc.numberMax, (std::array<int, 5>{32, 32, 32, 32, 32}));
    ASSERT_EQ(onPc.groups.size(), 2u);  // none, then Work: the new contact is in Work
    EXPECT_EQ(onPc.groups[static_cast<size_t>(onPc.groupIndex)].groupId,
              static_cast<uint32_t>(group.groupId));
    const ContactEditor::StorageFields onSim = editor.ApplyStorage(PB_SIM);
    EXPECT_EQ(onSim.numberMax, (std::array<int, 5>{32, 0, 0, 0, 0}));
    EXPECT_FALSE(onSim.group);
    EXPECT_TRUE(onSim.groups.empty());
    EXPECT_EQ(onSim.emailMax, 0);

    // A number keeps the last text of allowed characters (a paste with a letter goes back).
    EXPECT_EQ(editor.NumberTyped(0, QStringLiteral("0711")), QStringLiteral("0711"));
    EXPECT_EQ(editor.NumberTyped(0, QStringLiteral("0711x")), QStringLiteral("0711"));
    // The SIM counts "[" twice: a name of them is full after half as many as one of letters,
    // one of spaces like one of letters; its e-mail takes single-byte characters only.
    struct Case {
        QString typed;
        int kept;
    };
    const int max = onSim.nameMax;
    ASSERT_LT(max, 60);
    for (const Case &one : {Case{QString(60, u'a'), max}, Case{QString(60, u'['), max / 2},
                            Case{QString(60, u' '), max}})
        EXPECT_EQ(editor.NameTyped(one.typed, PB_SIM, onSim.nameMax).size(), one.kept)
            << one.typed.toStdString();
    EXPECT_EQ(editor.EmailTyped(QStringLiteral("a@b"), PB_SIM, 20), QStringLiteral("a@b"));
    EXPECT_EQ(editor.EmailTyped(QStringLiteral("a@b\u4F60"), PB_SIM, 20), QStringLiteral("a@b"));
}

TEST_F(ContactSaveTest, ALongPcNameIsCutWhileTypedAndSavedAsShown)
{
    TBL_pb &pb = open();
    ContactEditor editor([&] { return &pb; });
    // A name keeps 127 bytes of the code page (UTF-8 here) and, in UCS-2, 64 characters.
    struct Case {
        QString typed;
        int kept;
    };
    for (const Case &one : {Case{QString(70, QChar(0x0416)), 63}, Case{QString(100, u'\u00fc'), 63},
                            Case{QString(130, u'a'), 127}}) {
        ContactFields fields = editor.New(nullptr, PB_PC, PB_NODE_PC, true);
        fields.name = editor.NameTyped(one.typed, PB_PC, 128);
        EXPECT_EQ(fields.name.size(), one.kept);
        fields.numbers[0] = QStringLiteral("1");
        QString refusal;
        ASSERT_TRUE(editor.Save(fields, refusal)) << refusal.toStdString();
        const auto &saved = book->contacts(PB_PC).rbegin()->second;
        EXPECT_EQ(platform::fromAnsi(platform::fieldText(saved.name, sizeof saved.name)),
                  fields.name);
    }
}
