// The contacts page without a window: the tree with and without the SIM, what the checked rows
// allow, the PC groups, the PC store's problem, the text export, and the runs over many contacts
// (delete, copy / cut / paste, drop) with the questions and warnings they raise.
#include "ContactRuns.h"
#include "ContactsPage.h"

#include "PbFixture.h"

#include "language/TextNumbers.h"

#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <numeric>
#include <string>

using platform::GetLanguageString;

namespace {

class ContactsPageTest : public PbFixture {
protected:
    PbStoreSource source()
    {
        return [this] { return store.get(); };
    }
    PagePrompts prompts()
    {
        return {
            [this](const QString &text) { warned << text; },
            [this](const QString &text) { informed << text; },
            [this](const QString &text) {
                asked << text;
                return answer;
            },
            [this](bool, const QString &, const QString &, const QString &) { return chosenFile; }};
    }
    ContactRuns::Progress progress()
    {
        return {[this](bool value) { busy = value; },
                [this](const QString &text) { progressShown << text; },
                [this](int percent) { lastPercent = percent; },
                [this] { return stopAt >= 0 && lastPercent >= stopAt; }, [] {}};
    }
    // The records of a storage, as the page's list shows them.
    std::vector<_MEC_CONTACT_RECORD> all(ContactsPage &page, int node)
    {
        page.list()->fill(node);
        std::vector<int> rows(page.list()->rows().size());
        std::iota(rows.begin(), rows.end(), 0);
        return page.list()->records(rows);
    }
    QStringList treeTexts(const ContactsPage &page)
    {
        QStringList texts;
        for (const TreeNode &node : page.Tree())
            texts << node.text;
        return texts;
    }

    QStringList warned, informed, asked, progressShown;
    QString chosenFile;
    bool answer = true;
    bool busy = false;
    int lastPercent = 0;
    int stopAt = -1;
};

}  // namespace

TEST_F(ContactsPageTest, TreeHoldsTheSimOnlyWhileItIsUsableAndLoadedAndStartsWhereThereIsRoom)
{
    const QString pc = GetLanguageString(text::kPbStorePC);
    const QString sim = GetLanguageString(text::kPbStoreSIM);
    struct Case {
        bool usable;
        MEC_STATUS simLoad;  // what the card answers when its contacts are read
        int simCapacity;
        QStringList tree;
        int start;
        bool waiting;
    };
    for (const Case &one : {Case{false, 0, 250, {pc, "Friends"}, PB_NODE_PC, false},
                            Case{true, 0, 250, {pc, "Friends", sim}, PB_NODE_SIM, false},
                            Case{true, 0, 1, {pc, "Friends", sim}, PB_NODE_PC, false},
                            Case{true, MEC_ERR_ERROR, 250, {pc, "Friends"}, PB_NODE_PC, true}}) {
        SCOPED_TRACE(one.tree.join(',').toStdString());
        PbFixture::SetUp();
        simCapacity = one.simCapacity;
        put(PB_SIM, "On sim", "1");
        open();
        addGroup("Friends");
        ContactsPage page(source(), prompts());
        book->failStorage(PB_SIM, one.simLoad);
        if (one.usable)
            page.LoadSim();
        page.SetSimUsable(one.usable);
        EXPECT_EQ(treeTexts(page), one.tree);
        EXPECT_EQ(page.StartNode(), one.start);
        EXPECT_EQ(page.waitingForSim(), one.waiting);
        EXPECT_EQ(page.canShow(PB_NODE_SIM), one.usable);
        // The retry reads the SIM once it answers, and stops when it went away.
        book->failStorage(PB_SIM, 0);
        EXPECT_EQ(page.RetrySim(), !one.usable   ? ContactsPage::SimRetry::Unusable
                                   : one.waiting ? ContactsPage::SimRetry::Loaded
                                                 : ContactsPage::SimRetry::Again);
        store.reset();
    }
}

TEST_F(ContactsPageTest, CheckedRowsAndTheClipboardDecideWhatIsEnabled)
{
    open();
    ContactsPage page(source(), prompts());
    struct Case {
        size_t checked, rows;
        int mode;
        PageControls expected;
    };
    using R = ContactRuns;
    for (const Case &one : {
             Case{0, 0, R::Empty, {false, false, false, false, false, true}},
             Case{1, 3, R::CopyMode, {true, true, true, true, true, true}},
             Case{2, 3, R::CutMode, {false, true, true, true, true, true}},
             Case{0, 3, R::DragMode, {false, false, true, true, false, true}},
         }) {
        const PageControls got = page.Controls(one.checked, one.rows, one.mode);
        EXPECT_EQ(
            std::tuple(got.oneChecked, got.someChecked, got.anyRows, got.pasteEnabled,
                       got.pasteShown, got.import),
            std::tuple(one.expected.oneChecked, one.expected.someChecked, one.expected.anyRows,
                       one.expected.pasteEnabled, one.expected.pasteShown, one.expected.import))
            << one.checked << ' ' << one.mode;
    }
    EXPECT_FALSE(ContactsPage({}, prompts()).Controls(1, 1, R::Empty).import);
    // The groups menu: new on the PC and its groups, rename and delete on a group only.
    for (auto [node, newGroup, change] :
         {std::tuple{PB_NODE_PC, true, false}, {2009, true, true}, {PB_NODE_SIM, false, false}}) {
        const PageControls menu = ContactsPage::GroupControls(node);
        EXPECT_EQ(std::pair(menu.newGroup, menu.changeGroup), std::pair(newGroup, change)) << node;
    }
}

TEST_F(ContactsPageTest, GroupsAreMadeRenamedAndDeletedWithTheirContacts)
{
    open();
    ContactsPage page(source(), prompts());
    const std::optional<int32_t> first = page.NewGroup(PB_NODE_PC);
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(page.NewGroup(PB_NODE_SIM).has_value());  // groups are the PC's
    const std::optional<int32_t> second = page.NewGroup(PB_NODE_PC);
    ASSERT_TRUE(second.has_value());
    EXPECT_NE(page.list()->groupName(*second, PB_PC), page.list()->groupName(*first, PB_PC));

    struct Case {
        QString name;
        std::optional<QString> shown;
        bool changed;
        int warning;  // 0: none
    };
    const QString firstName = page.list()->groupName(*first, PB_PC);
    for (const Case &one :
         {Case{firstName, std::nullopt, false, 0},
          Case{QString(), firstName, false, text::kPbGroupNameEmpty},
          Case{page.list()->groupName(*second, PB_PC), firstName, false, text::kPbGroupTaken},
          Case{QString(40, u'x'), QString(32, u'x'), true, 0}}) {
        warned.clear();
        const auto renamed = page.RenameGroup(*first, one.name);
        ASSERT_EQ(renamed.has_value(), one.shown.has_value()) << one.name.toStdString();
        if (renamed) {
            EXPECT_EQ(renamed->shown, *one.shown);
            EXPECT_EQ(renamed->changed, one.changed);
        }
        EXPECT_EQ(warned,
                  one.warning ? QStringList{GetLanguageString(one.warning)} : QStringList());
    }

    put(PB_PC, "In group", "1", "", "", static_cast<uint32_t>(*first));
    put(PB_PC, "Elsewhere", "2");
    store->ReloadStore(PB_PC);
    warned.clear();
    EXPECT_FALSE(page.DeleteGroup(PB_NODE_PC));
    EXPECT_EQ(warned, QStringList{GetLanguageString(text::kPbRootNotDeleted)});
    answer = false;
    EXPECT_FALSE(page.DeleteGroup(*first));
    answer = true;
    EXPECT_TRUE(page.DeleteGroup(*first));
    ASSERT_EQ(book->contacts(PB_PC).size(), 1u);
    EXPECT_STREQ(book->contacts(PB_PC).begin()->second.name, "Elsewhere");
    EXPECT_EQ(treeTexts(page).size(), 2);  // the PC and the second group
}

TEST_F(ContactsPageTest, APcStoreThatCannotBeUsedIsToldOnceForEachReason)
{
    book->failStorage(PB_PC, MEC_ERR_ERROR);
    lumacore_fake::onCall(&_MEC_GetLastErrorText, [](char *buffer, uint16_t size) -> MEC_STATUS {
        std::snprintf(buffer, size, "%s", "db.dat is in use by another program");
        return 0;
    });
    open();
    ContactsPage page(source(), prompts());
    page.CheckPcStore();
    page.CheckPcStore();
    EXPECT_EQ(warned, QStringList{FormatText(text::kPbStoreUnusable,
                                             {"db.dat is in use by another program"})});
}

TEST_F(ContactsPageTest, ExportWritesTheRowsToATxtFileAndDeleteAsksFirst)
{
    put(PB_PC, "Ann", "1");
    put(PB_PC, "Bo", "2");
    put(PB_PC, "Cy", "3");
    open();
    ContactsPage page(source(), prompts());
    ContactRuns runs(source(), prompts(), progress());
    page.list()->fill(PB_NODE_PC);
    QTemporaryDir folder;
    chosenFile = folder.filePath(QStringLiteral("book"));
    page.ExportText({0, 2});
    QFile written(folder.filePath(QStringLiteral("book.txt")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("Ann\t1\t\t\t\t\r\nCy\t3\t\t\t\t\r\n"));

    answer = false;
    EXPECT_FALSE(runs.Delete(page.list()->records({0, 2})));
    EXPECT_EQ(book->contacts(PB_PC).size(), 3u);
    answer = true;
    EXPECT_TRUE(runs.Delete(page.list()->records({0, 2})));
    EXPECT_EQ(book->contacts(PB_PC).size(), 1u);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_TRUE(progressShown.isEmpty());  // two contacts: no progress window
}

TEST_F(ContactsPageTest, PastingAPcContactIntoAOneNumberSimAsksOnceAndSplitsIt)
{
    put(PB_PC, "Three", "111", "222", "333");
    put(PB_PC, "One", "444");
    open();
    ContactsPage page(source(), prompts());
    ContactRuns runs(source(), prompts(), progress());
    runs.Take(all(page, PB_NODE_PC), ContactRuns::CopyMode);

    answer = false;
    EXPECT_TRUE(runs.Paste(PB_NODE_SIM));
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(book->contacts(PB_SIM).empty());

    answer = true;
    asked.clear();
    EXPECT_TRUE(runs.Paste(PB_NODE_SIM));
    EXPECT_EQ(asked, QStringList{GetLanguageString(text::kPbPcToSim)});
    EXPECT_EQ(book->contacts(PB_SIM).size(), 4u);  // 111, 222, 333 and 444, one number each
    EXPECT_TRUE(warned.isEmpty());
    EXPECT_FALSE(busy);
}

TEST_F(ContactsPageTest, CutIntoAnotherPcGroupMovesWhileADropCopies)
{
    open();
    const int32_t friends = addGroup("Friends");
    const int32_t work = addGroup("Work");
    put(PB_PC, "Ann", "1", "", "", static_cast<uint32_t>(friends));
    store->ReloadStore(PB_PC);
    ContactsPage page(source(), prompts());
    ContactRuns runs(source(), prompts(), progress());
    runs.Take(all(page, friends), ContactRuns::CutMode);
    EXPECT_TRUE(runs.Paste(work));
    ASSERT_EQ(book->contacts(PB_PC).size(), 1u);
    EXPECT_EQ(book->contacts(PB_PC).begin()->second.groupId, static_cast<uint32_t>(work));
    EXPECT_EQ(runs.mode(), ContactRuns::Empty);
    EXPECT_FALSE(runs.Paste(work));  // nothing left to paste

    runs.Drop(all(page, work), work);  // onto its own group: a second contact
    EXPECT_EQ(book->contacts(PB_PC).size(), 2u);
    EXPECT_EQ(runs.mode(), ContactRuns::Empty);
}

TEST_F(ContactsPageTest, AStoppedCopyTellsHowFarItGot)
{
    for (int i = 0; i < 30; ++i)
        put(PB_PC, ("C" + std::to_string(i)).c_str(), "1");
    open();
    const int32_t work = addGroup("Work");
    ContactsPage page(source(), prompts());
    ContactRuns runs(source(), prompts(), progress());
    runs.Take(all(page, PB_NODE_PC), ContactRuns::CopyMode);
    stopAt = 30;
    EXPECT_TRUE(runs.Paste(work));
    const size_t copied = book->contacts(PB_PC).size() - 30;
    EXPECT_GT(copied, 0u);
    EXPECT_LT(copied, 30u);
    EXPECT_EQ(progressShown, QStringList{GetLanguageString(text::kPbCopying)});
    EXPECT_EQ(warned, QStringList{FormatText(text::kPbStopped, {QString::number(copied)})});
    EXPECT_FALSE(busy);
}

TEST_F(ContactsPageTest, PasteAfterAnInterruptedMoveWritesEachContactOnce)
{
    for (int i = 0; i < 10; ++i)
        put(PB_SIM, ("Sim " + std::to_string(i)).c_str(), std::to_string(100 + i).c_str());
    open();
    ContactsPage page(source(), prompts());
    ContactRuns runs(source(), prompts(), progress());
    runs.Take(all(page, PB_NODE_SIM), ContactRuns::CutMode);
    // The card answers four more calls, then is pulled.
    book->failStorageAfter(PB_SIM, 4, MEC_ERR_NO_CARD);
    runs.Paste(PB_NODE_PC);
    EXPECT_EQ(runs.mode(), ContactRuns::CutMode);
    // Meanwhile a phone writes a contact of its own into the SIM's first free place.
    book->failStorage(PB_SIM, 0);
    const uint32_t theirs = book->put(PB_SIM, "Theirs", "999").index;
    ASSERT_LE(theirs, 10u);
    ASSERT_EQ(store->ReloadStore(PB_SIM), 0);
    runs.Paste(PB_NODE_PC);

    std::map<std::string, int> everywhere;
    for (uint8_t storage : {PB_SIM, PB_PC})
        for (const auto &[index, record] : book->contacts(storage))
            ++everywhere[record.name];
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(everywhere["Sim " + std::to_string(i)], 1) << i;
    EXPECT_EQ(book->contacts(PB_SIM).size(), 1u);
    EXPECT_STREQ(book->contacts(PB_SIM)[theirs].name, "Theirs");
    EXPECT_EQ(runs.mode(), ContactRuns::Empty);
}

TEST_F(ContactsPageTest, AStoppedMoveLeavesEachContactInOnePlaceWhateverTheUserDoesNext)
{
    enum class Next { Drop, Copy, Cut, PageShown, PasteAgain };
    struct Stop {
        const char *how;
        uint8_t from;
        uint8_t to;
        bool cardPulled;  // else the person presses Stop
    };
    for (const Stop stop : {Stop{"Stop pressed, SIM to PC", PB_SIM, PB_PC, false},
                            Stop{"card pulled, SIM to PC", PB_SIM, PB_PC, true},
                            Stop{"card pulled, PC to SIM", PB_PC, PB_SIM, true},
                            Stop{"card pulled, card memory to SIM", PB_ME, PB_SIM, true}}) {
        for (const Next next :
             {Next::Drop, Next::Copy, Next::Cut, Next::PageShown, Next::PasteAgain}) {
            const char *const nextNames[] = {"a drop", "a copy", "a cut", "the page shown",
                                             "the next paste"};
            SCOPED_TRACE(testing::Message()
                         << stop.how << ", then " << nextNames[static_cast<int>(next)]);
            TearDown();  // a fresh book and store for each case
            SetUp();
            const auto nodeOf = [](uint8_t storage) {
                return storage == PB_PC ? PB_NODE_PC : storage == PB_SIM ? PB_NODE_SIM : PB_NODE_ME;
            };
            // Both ends on the card: nothing can be done until it is back.
            const bool bothOnTheCard = stop.from != PB_PC && stop.to != PB_PC;
            for (int i = 0; i < 10; ++i)
                put(stop.from, ("Moved " + std::to_string(i)).c_str(),
                    std::to_string(100 + i).c_str());
            put(PB_PC, "Other", "555");
            open();
            store->ReloadStore(PB_ME);
            ContactsPage page(source(), prompts());
            ContactRuns runs(source(), prompts(), progress());
            std::vector<_MEC_CONTACT_RECORD> moved;
            for (const _MEC_CONTACT_RECORD &record : all(page, nodeOf(stop.from)))
                if (std::strcmp(record.name, "Other") != 0)
                    moved.push_back(record);
            runs.Take(moved, ContactRuns::CutMode);
            // The card is pulled after four more of the calls that need it.
            if (!stop.cardPulled)
                stopAt = 30;
            else if (bothOnTheCard) {
                book->failStorageAfter(stop.to, 10, MEC_ERR_NO_CARD);
                book->failStorageAfter(stop.from, 4, MEC_ERR_NO_CARD);
            } else
                book->failStorageAfter(PB_SIM, 4, MEC_ERR_NO_CARD);
            runs.Paste(nodeOf(stop.to));
            stopAt = -1;

            const auto eachOnce = [&] {
                std::map<std::string, int> everywhere;
                for (uint8_t storage : {PB_SIM, PB_ME, PB_PC})
                    for (const auto &[index, record] : book->contacts(storage))
                        ++everywhere[record.name];
                for (int i = 0; i < 10; ++i)
                    EXPECT_EQ(everywhere["Moved " + std::to_string(i)], 1) << i;
            };
            if (!bothOnTheCard)
                eachOnce();

            // The card back, read again.
            book->failStorage(PB_SIM, 0);
            book->failStorage(PB_ME, 0);
            ASSERT_EQ(store->ReloadStore(PB_SIM), 0);
            store->ReloadStore(PB_ME);
            std::vector<_MEC_CONTACT_RECORD> other;
            for (const _MEC_CONTACT_RECORD &record : all(page, PB_NODE_PC))
                if (std::strcmp(record.name, "Other") == 0)
                    other.push_back(record);
            ASSERT_EQ(other.size(), 1u);
            switch (next) {
            case Next::Drop:
                runs.Drop(other, PB_NODE_PC);
                break;
            case Next::Copy:
                runs.Take(other, ContactRuns::CopyMode);
                break;
            case Next::Cut:
                runs.Take(other, ContactRuns::CutMode);
                break;
            case Next::PageShown:
                runs.Clear();
                break;
            case Next::PasteAgain:
                runs.Paste(nodeOf(stop.to));
                EXPECT_EQ(book->contacts(stop.to).size() - (stop.to == PB_PC ? 1 : 0), 10u);
                break;
            }
            eachOnce();
        }
    }
}
