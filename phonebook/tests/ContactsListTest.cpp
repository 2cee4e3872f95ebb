// The contacts list: what a store root and a group list, the search, the sort, and the texts
// made from checked rows (recipients, the tab-separated export) and the group naming rules.
#include "ContactsList.h"
#include "RecipientChoice.h"

#include "PbFixture.h"

class ContactsListTest : public PbFixture {};

namespace {

QStringList names(const ContactsList &list)
{
    QStringList out;
    for (const ContactRow &row : list.rows())
        out << row.name;
    return out;
}

}  // namespace

TEST_F(ContactsListTest, RootsListTheirStorageAndGroupsOnlyTheirMembers)
{
    TBL_pb &pb = open();
    const int32_t friends = addGroup("Friends");
    const int32_t work = addGroup("Work");
    _MEC_CONTACT_RECORD a{}, b{}, c{};
    for (auto [record, name, group] :
         {std::tuple{&a, "bob", friends}, {&b, "Alice", work}, {&c, "carol", 0}}) {
        record->storage = PB_PC;
        record->groupId = static_cast<uint32_t>(group);
        std::strcpy(record->name, name);
        std::strcpy(record->numbers[0].number, "123");
        _MEC_CONTACT_RECORD *stored = nullptr;
        ASSERT_EQ(pb.AddContact(*record, &stored), 0);
    }
    put(PB_SIM, "Sim one", "555");
    ASSERT_EQ(pb.ReloadStore(PB_SIM), 0);

    ContactsList list(pb);
    list.fill(PB_NODE_PC);
    EXPECT_EQ(names(list), (QStringList{"Alice", "bob", "carol"}));  // a-z folded: A < b < c
    EXPECT_EQ(list.rows().front().group, QStringLiteral("Work"));
    // The view shows the group's name and where the contact is kept.
    const ContactDetails details = DetailsOf(*list.rows().front().record, &pb);
    EXPECT_EQ(std::tuple(details.name, details.group, details.onSim),
              std::tuple(QStringLiteral("Alice"), QStringLiteral("Work"), false));
    EXPECT_TRUE(DetailsOf(*list.rows().front().record, nullptr).group.isEmpty());
    list.fill(friends);
    EXPECT_EQ(names(list), QStringList{"bob"});
    EXPECT_EQ(list.storage(), PB_PC);
    list.fill(PB_NODE_SIM);
    EXPECT_EQ(names(list), QStringList{"Sim one"});
    EXPECT_EQ(list.storage(), PB_SIM);
}

TEST_F(ContactsListTest, SearchIsCaseSensitiveOverNameAndNumbersAndSortReverses)
{
    put(PB_SIM, "anna", "0711");
    put(PB_SIM, "Bert", "0999", "0711222");
    put(PB_SIM, "ANNE", "0300");
    put(PB_SIM, "ann", "0400");
    ContactsList list(open());
    list.fill(PB_NODE_SIM);
    EXPECT_EQ(names(list), (QStringList{"ann", "anna", "ANNE", "Bert"}));  // shorter prefix first
    list.sortBy(0);
    EXPECT_EQ(names(list), (QStringList{"Bert", "ANNE", "anna", "ann"}));
    EXPECT_EQ(list.sortDirection(), -1);

    struct Case {
        const char *text;
        QStringList found;
    };
    for (const Case &test : {Case{"ann", {"anna", "ann"}}, Case{"0711", {"Bert", "anna"}},
                             Case{"ANN", {"ANNE"}}, Case{"zzz", {}}}) {
        list.refill();
        EXPECT_TRUE(list.search(QString::fromLatin1(test.text)));
        EXPECT_EQ(names(list), test.found) << test.text;
        EXPECT_TRUE(list.searchActive());
    }
    list.refill();
    EXPECT_FALSE(list.search(QString()));
    EXPECT_EQ(list.rows().size(), 4u);
}

TEST_F(ContactsListTest, CheckedRowsMakeRecipientsAndTabSeparatedLines)
{
    TBL_pb &pb = open();
    const int32_t family = addGroup("Family");
    _MEC_CONTACT_RECORD record{};
    record.storage = PB_PC;
    record.groupId = static_cast<uint32_t>(family);
    std::strcpy(record.name, "Ann");
    std::strcpy(record.numbers[0].number, "0711");
    std::strcpy(record.numbers[1].number, "0300");
    std::strcpy(record.email, "ann@example.org");
    _MEC_CONTACT_RECORD *stored = nullptr;
    ASSERT_EQ(pb.AddContact(record, &stored), 0);
    record = {};
    record.storage = PB_PC;
    std::strcpy(record.name, "Bo");
    ASSERT_EQ(pb.AddContact(record, &stored), 0);
    ContactsList list(pb);
    list.fill(PB_NODE_PC);

    EXPECT_EQ(list.recipients({0, 1}), QStringLiteral("0711;"));  // an empty mobile stays empty
    EXPECT_EQ(list.recipients({0}), QStringLiteral("0711"));
    EXPECT_EQ(list.recipientsOfNode(family), QStringLiteral("0711"));
    EXPECT_EQ(list.exportText({0, 1}),
              QByteArray("Ann\t0711\t0300\t\tann@example.org\tFamily\r\nBo\t\t\t\t\t\r\n"));
    EXPECT_TRUE(list.exportText({}).isEmpty());
}

TEST_F(ContactsListTest, ExportPathGetsTxtUnlessItHasIt)
{
    EXPECT_EQ(ContactsList::exportPath(QStringLiteral("/tmp/book")),
              QStringLiteral("/tmp/book.txt"));
    EXPECT_EQ(ContactsList::exportPath(QStringLiteral("/tmp/book.TXT")),
              QStringLiteral("/tmp/book.TXT"));
    EXPECT_EQ(ContactsList::exportPath(QStringLiteral("/tmp/book.csv")),
              QStringLiteral("/tmp/book.csv.txt"));
}

TEST_F(ContactsListTest, NewGroupNamesSkipTakenOnesAndRenamesAreChecked)
{
    TBL_pb &pb = open();
    ContactsList list(pb);
    const QString base = list.newGroupName(PB_PC);
    ASSERT_FALSE(base.isEmpty());
    addGroup(base.toLatin1().constData());
    EXPECT_EQ(list.newGroupName(PB_PC), base + QStringLiteral(" 0"));
    addGroup((base + QStringLiteral(" 0")).toLatin1().constData());
    EXPECT_EQ(list.newGroupName(PB_PC), base + QStringLiteral(" 1"));

    const int32_t work = addGroup("Work");
    using R = ContactsList::Rename;
    EXPECT_EQ(list.checkRename(work, PB_PC, QString()), R::Empty);
    EXPECT_EQ(list.checkRename(work, PB_PC, QStringLiteral("Work")), R::Unchanged);
    EXPECT_EQ(list.checkRename(work, PB_PC, base), R::Taken);
    EXPECT_EQ(list.checkRename(work, PB_PC, QStringLiteral("Office")), R::Accepted);
}

TEST_F(ContactsListTest, PickerMovesCheckedRowsAndOffersAPcContactsNumbers)
{
    put(PB_PC, "Bo", "2");
    put(PB_PC, "Ann", "1", "11");
    put(PB_SIM, "Cy", "3");
    TBL_pb &pb = open();
    RecipientChoice choice;
    choice.Fill(pb, PB_PC);
    EXPECT_EQ(choice.NumbersOffered(0), (QStringList{"1", "11"}));  // Ann, sorted first
    choice.Pick(0, QStringLiteral("11"));
    for (RecipientRow &row : choice.left())
        row.checked = true;
    choice.MoveRight();
    EXPECT_TRUE(choice.left().empty());
    EXPECT_EQ(choice.Recipients(), QStringLiteral("11;2"));
    choice.right().back().checked = true;
    choice.MoveLeft();
    EXPECT_EQ(choice.Recipients(), QStringLiteral("11"));
    choice.Fill(pb, PB_SIM);
    EXPECT_TRUE(choice.NumbersOffered(0).isEmpty());  // the SIM keeps one number
    EXPECT_TRUE(choice.right().empty());
}
