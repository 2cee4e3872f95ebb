// The contacts page of the program's main window with the real engine against the virtual data
// card, driven as a person drives it: the SIM's phonebook listed, a contact added, changed and
// deleted on the SIM, the card's own memory and the PC, a full SIM copied to the PC and back with
// the progress window, names in several scripts written to the SIM and read back (by the program
// after the card came back, and by gammu), a full SIM, and the card pulled half-way through a move.
#include "ProgramOnCard.h"

#include "UI_Contacts.h"
#include "UI_CopyTips.h"
#include "UI_EditPB.h"
#include "UI_SelContacts.h"
#include "UI_SmsEdit.h"

#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

using e2e::kWait;

namespace {

constexpr int kSimMemory = 0;  // the card's phonebooks: "SM", then "ME"
constexpr int kCardMemory = 1;

std::map<int, virtualmodem::PhonebookEntry> entriesOf(const virtualmodem::VirtualModem &card,
                                                      int memory)
{
    return card.snapshot().phonebooks.at(static_cast<size_t>(memory)).entries;
}

std::set<std::string> namesOf(const std::map<int, virtualmodem::PhonebookEntry> &entries)
{
    std::set<std::string> names;
    for (const auto &[index, entry] : entries)
        names.insert(entry.name);
    return names;
}

// The program's copy progress window while it is shown, else null.
TFrmCopyTips *shownCopyTips()
{
    for (QWidget *widget : QApplication::allWidgets())
        if (auto *tips = qobject_cast<TFrmCopyTips *>(widget); tips && tips->isVisible())
            return tips;
    return nullptr;
}

// Runs `look` every few milliseconds while a long run lets events through (a timer of its own
// that is always due would keep each of the run's pauses for events busy for their whole time).
class WhileRunning {
public:
    explicit WhileRunning(std::function<void()> look) : m_look(std::move(look))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_look(); });
        m_timer.start(2);
    }

private:
    std::function<void()> m_look;
    QTimer m_timer;
};

}  // namespace

class ContactsEndToEnd : public e2e::ProgramOnCard {
protected:
    void SetUp() override
    {
        platform::forceSystemCodePage("UTF-8");
        ProgramOnCard::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(installDeliveredProfiles());
        ASSERT_NO_FATAL_FAILURE(plugCard());
    }

    void TearDown() override
    {
        ProgramOnCard::TearDown();
        platform::forceSystemCodePage("");
    }

    // The program started on the card with the SIM's contacts loaded, the contacts page open.
    void start(bool openPage = true)
    {
        ASSERT_NO_FATAL_FAILURE(startProgram());
        contacts = AppWindow<TFrmContacts>();
        editor = AppWindow<TFmEditPB>();
        ASSERT_NE(contacts, nullptr);
        ASSERT_NE(editor, nullptr);
        form->show();
        ASSERT_TRUE(waitForState(kSimReady));
        ASSERT_TRUE(QTest::qWaitFor([&] { return simInTree(); }, kWait));
        if (!openPage)
            return;
        form->PonebookButtonClick();
        ASSERT_TRUE(contacts->isVisible());
    }

    bool simInTree() const
    {
        for (QTreeWidgetItemIterator it(contacts->TvPC); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == PB_NODE_SIM)
                return true;
        return false;
    }

    QStringList listedNames() const
    {
        QStringList names;
        for (int row = 0; row < contacts->LvContacts->topLevelItemCount(); ++row)
            names << contacts->LvContacts->topLevelItem(row)->text(1);
        return names;
    }

    // Checks the listed row with that name; false when none has it.
    bool checkRow(const QString &name)
    {
        for (int row = 0; row < contacts->LvContacts->topLevelItemCount(); ++row)
            if (QTreeWidgetItem *item = contacts->LvContacts->topLevelItem(row);
                item->text(1) == name) {
                item->setCheckState(0, Qt::Checked);
                return true;
            }
        return false;
    }

    void checkAll(int node)
    {
        contacts->SelectNode(node);
        contacts->SetAllChecked(true);
    }

    // A new contact through the page's New menu in the storage of the node shown.
    void addThroughEditor(int node, const QString &name, const QString &mobile)
    {
        contacts->SelectNode(node);
        contacts->MINewContactEx->trigger();
        ASSERT_TRUE(editor->isVisible());
        editor->EdName->setText(name);
        editor->EdPhoneNumber->setText(mobile);
        editor->BtOK->click();
    }

    // Pulls the card once a long run's progress window has passed half-way.
    std::unique_ptr<WhileRunning> pullCardHalfWay()
    {
        return std::make_unique<WhileRunning>([this] {
            if (TFrmCopyTips *tips = shownCopyTips();
                tips && tips->PBCopy->value() >= 50 && card->cardInserted()) {
                EXPECT_EQ(card->control("card remove"), "OK");
            }
        });
    }

    // The PC store as the engine keeps it, read again.
    std::set<std::string> pcNames()
    {
        const auto names = pcNamesEach();
        return {names.begin(), names.end()};
    }
    std::multiset<std::string> pcNamesEach()
    {
        TBL_pb *store = RootPhonebook();
        std::multiset<std::string> names;
        if (!store || store->ReloadStore(PB_PC) != 0)
            return names;
        _MEC_CONTACT_RECORD *record = nullptr;
        for (uint16_t status = store->FirstContact(PB_PC, &record); status == 0;
             status = store->NextContact(PB_PC, &record))
            names.emplace(platform::fieldText(record->name, sizeof record->name));
        return names;
    }

    TFrmContacts *contacts = nullptr;
    TFmEditPB *editor = nullptr;
};

TEST_F(ContactsEndToEnd, EachStorageTakesANewContactItsChangeAndItsDeletion)
{
    ASSERT_EQ(card->control("phonebook fill SM 3"), "OK");
    start();
    contacts->SelectNode(PB_NODE_SIM);
    EXPECT_EQ(listedNames(), (QStringList{"Contact 1", "Contact 2", "Contact 3"}));

    struct Case {
        int node;
        const char *added, *changed;
    };
    for (const Case &one :
         {Case{PB_NODE_SIM, "Ann Sim", "Ann Sim 2"}, Case{PB_NODE_ME, "Bob Card", "Bob Card 2"},
          Case{PB_NODE_PC, "Cleo Pc", "Cleo Pc 2"}}) {
        SCOPED_TRACE(one.added);
        const auto onStorage = [&]() -> std::set<std::string> {
            if (one.node == PB_NODE_PC)
                return pcNames();
            return namesOf(entriesOf(*card, one.node == PB_NODE_SIM ? kSimMemory : kCardMemory));
        };
        addThroughEditor(one.node, one.added, "+4917612345");
        EXPECT_FALSE(editor->isVisible());
        EXPECT_TRUE(onStorage().count(one.added));
        contacts->SelectNode(one.node);
        ASSERT_TRUE(checkRow(one.added));

        contacts->EditChecked();
        ASSERT_TRUE(editor->isVisible());
        EXPECT_EQ(editor->EdName->text(), one.added);
        editor->EdName->setText(one.changed);
        editor->EdPhoneNumber->setText("0301234");
        editor->BtOK->click();
        EXPECT_FALSE(editor->isVisible());
        EXPECT_FALSE(onStorage().count(one.added));
        EXPECT_TRUE(onStorage().count(one.changed));
        if (one.node != PB_NODE_PC) {
            const auto entries =
                entriesOf(*card, one.node == PB_NODE_SIM ? kSimMemory : kCardMemory);
            const auto changed = std::find_if(entries.begin(), entries.end(), [&](const auto &e) {
                return e.second.name == one.changed;
            });
            ASSERT_NE(changed, entries.end());
            EXPECT_EQ(changed->second.number, "0301234");
        }

        contacts->SelectNode(one.node);
        ASSERT_TRUE(checkRow(one.changed));
        contacts->DeleteChecked();
        EXPECT_FALSE(onStorage().count(one.changed));
        EXPECT_FALSE(listedNames().contains(one.changed));
    }
    EXPECT_EQ(entriesOf(*card, kSimMemory).size(), 3u);  // the SIM's own contacts untouched
    // Only the three questions before the deletions.
    EXPECT_EQ(boxes, QStringList(3, e2e::text(text::kPbDeleteConfirm)));
}

TEST_F(ContactsEndToEnd, AFullSimCopiedToThePcAndBackWithProgress)
{
    ASSERT_EQ(card->control("phonebook fill SM 250"), "OK");
    const auto original = entriesOf(*card, kSimMemory);
    start();
    std::vector<int> progress;
    WhileRunning watch([&] {
        TFrmCopyTips *tips = shownCopyTips();
        if (tips && (progress.empty() || progress.back() != tips->PBCopy->value()))
            progress.push_back(tips->PBCopy->value());
    });

    checkAll(PB_NODE_SIM);
    ASSERT_EQ(contacts->LvContacts->topLevelItemCount(), 250);
    contacts->CopyChecked(TFrmContacts::CopyMode);
    contacts->SelectNode(PB_NODE_PC);
    contacts->Paste();
    EXPECT_EQ(contacts->LvContacts->topLevelItemCount(), 250);
    EXPECT_EQ(pcNames().size(), 250u);
    ASSERT_GE(progress.size(), 3u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_GE(progress.back(), 90);
    EXPECT_EQ(shownCopyTips(), nullptr);
    EXPECT_TRUE(form->isEnabled());

    // The SIM emptied through the page, then filled again from the PC.
    checkAll(PB_NODE_SIM);
    contacts->DeleteChecked();
    EXPECT_TRUE(entriesOf(*card, kSimMemory).empty());
    checkAll(PB_NODE_PC);
    contacts->CopyChecked(TFrmContacts::CopyMode);
    contacts->SelectNode(PB_NODE_SIM);
    contacts->Paste();
    const auto back = entriesOf(*card, kSimMemory);
    ASSERT_EQ(back.size(), 250u);
    std::map<std::string, std::string> numberByName, originalByName;
    for (const auto &[index, entry] : back)
        numberByName[entry.name] = entry.number;
    for (const auto &[index, entry] : original)
        originalByName[entry.name] = entry.number;
    EXPECT_EQ(numberByName, originalByName);
    // The questions before the deletion and before PC contacts go to the SIM; no other box.
    EXPECT_EQ(boxes, (QStringList{e2e::text(text::kPbDeleteConfirm), e2e::text(text::kPbPcToSim)}));
    EXPECT_TRUE(contacts->isEnabled());
}

TEST_F(ContactsEndToEnd, NamesInSeveralScriptsWrittenToTheSimReadBackIntact)
{
    start();
    // What is typed, and what the editor keeps of it as the SIM (14 septets, or 6 UCS-2
    // characters) will hold it: the person sees any cut while typing, none happens after.
    struct Case {
        const char *typed, *kept;
    };
    const Case cases[] = {
        {"José Ñañez", "José Ñañez"},
        {"Иван", "Иван"},
        {"王小明", "王小明"},
        {"Ελένη", "Ελένη"},
        {"Jürgen Müßig-Ö", "Jürgen Müßig-Ö"},  // 14 letters of the 7-bit alphabet, 18 bytes
        {"Åse €5 [a]", "Åse €5 [a]"},          // the euro sign and brackets take two septets
        {"Zoë", "Zoë"},                        // ë is not in the 7-bit alphabet: UCS-2
        {"François Dupont", "Franço"},
    };
    QStringList names;
    for (const Case &one : cases) {
        SCOPED_TRACE(one.typed);
        contacts->SelectNode(PB_NODE_SIM);
        contacts->MINewContactEx->trigger();
        editor->EdName->setText(QString::fromUtf8(one.typed));
        EXPECT_EQ(editor->EdName->text(), QString::fromUtf8(one.kept));
        editor->EdPhoneNumber->setText("+79161234567");
        editor->BtOK->click();
        names << QString::fromUtf8(one.kept);
    }
    ASSERT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    std::set<std::string> expected;
    for (const QString &name : names)
        expected.insert(name.toStdString());
    EXPECT_EQ(namesOf(entriesOf(*card, kSimMemory)), expected);

    // The card out and back: the program reads the SIM again and lists the same names.
    ASSERT_EQ(card->control("card remove"), "OK");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !contacts->simUsable(); }, kWait));
    ASSERT_EQ(card->control("card insert"), "OK");
    ASSERT_TRUE(QTest::qWaitFor([&] { return simInTree(); }, kWait));
    contacts->SelectNode(PB_NODE_SIM);
    QStringList listed = listedNames();
    listed.sort();
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(listed, sorted);

    // gammu, another program, reads them from the same card once this one has let it go.
    const QString gammu = QStandardPaths::findExecutable(QStringLiteral("gammu"));
    if (gammu.isEmpty())
        GTEST_SKIP() << "gammu is not installed";
    DestroyAppWindows();
    QFile config(setup.filePath(QStringLiteral(".gammurc")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("[gammu]\ndevice = %1\nconnection = at\n")
                     .arg(QString::fromStdString(setup.link()))
                     .toUtf8());
    config.close();
    QProcess reader;
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start(gammu, {QStringLiteral("-c"), config.fileName(), QStringLiteral("getallmemory"),
                         QStringLiteral("SM")});
    ASSERT_TRUE(reader.waitForFinished(kWait));
    const QString out = QString::fromUtf8(reader.readAll());
    for (const QString &name : names)
        EXPECT_TRUE(out.contains(QStringLiteral("\"%1\"").arg(name))) << out.toStdString();
}

TEST_F(ContactsEndToEnd, AFullSimRefusesMoreAndLosesNothing)
{
    ASSERT_EQ(card->control("phonebook fill SM 250"), "OK");
    const auto full = entriesOf(*card, kSimMemory);
    start();
    EXPECT_EQ(contacts->selectedNode(), PB_NODE_PC);  // the SIM has no room: the PC is shown

    // A new contact: the person is told, the editor keeps what was typed.
    addThroughEditor(PB_NODE_SIM, "Extra", "123456");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.front(), FormatText(text::kPbStoreFull, {StorageName(PB_SIM)}));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->EdName->text(), QStringLiteral("Extra"));
    editor->BtCancel->click();

    // Three PC contacts moved onto the full SIM: told, and all three stay on the PC.
    boxes.clear();
    for (const char *name : {"Pc 1", "Pc 2", "Pc 3"})
        addThroughEditor(PB_NODE_PC, name, "555");
    checkAll(PB_NODE_PC);
    contacts->CopyChecked(TFrmContacts::CutMode);
    contacts->SelectNode(PB_NODE_SIM);
    contacts->Paste();
    EXPECT_EQ(boxes, (QStringList{e2e::text(text::kPbPcToSim),
                                  FormatText(text::kPbStoreFull, {StorageName(PB_SIM)})}));
    EXPECT_EQ(pcNames(), (std::set<std::string>{"Pc 1", "Pc 2", "Pc 3"}));
    EXPECT_EQ(entriesOf(*card, kSimMemory).size(), full.size());
    EXPECT_EQ(namesOf(entriesOf(*card, kSimMemory)), namesOf(full));
}

TEST_F(ContactsEndToEnd, MoveInterruptedByThePulledCardEndsWithEveryContactOnce)
{
    ASSERT_EQ(card->control("phonebook fill SM 10"), "OK");
    const auto before = namesOf(entriesOf(*card, kSimMemory));
    start();
    checkAll(PB_NODE_SIM);
    contacts->CopyChecked(TFrmContacts::CutMode);
    contacts->SelectNode(PB_NODE_PC);
    auto pull = pullCardHalfWay();
    contacts->Paste();
    pull.reset();  // the card stays in for the rest
    ASSERT_FALSE(card->cardInserted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !contacts->simUsable(); }, kWait));

    // Every contact is in one place: those the SIM still holds had their PC copies taken back;
    // the person is told how many moved.
    const auto onSim = namesOf(entriesOf(*card, kSimMemory));
    EXPECT_GT(onSim.size(), 0u);
    EXPECT_LT(onSim.size(), 10u);
    std::multiset<std::string> once(onSim.begin(), onSim.end());
    for (const std::string &name : pcNamesEach())
        once.insert(name);
    EXPECT_EQ(once, std::multiset<std::string>(before.begin(), before.end()));
    ASSERT_EQ(boxes.size(), 1) << boxes.join('|').toStdString();
    EXPECT_EQ(boxes.front(), FormatText(text::kPbMoved, {QString::number(10 - onSim.size())}));
    EXPECT_TRUE(contacts->isEnabled());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(contacts->clipboardMode(), TFrmContacts::CutMode);

    // Out of the card, the SIM gets a contact from another phone in the first place freed.
    int freed = 1;
    while (entriesOf(*card, kSimMemory).count(freed))
        ++freed;
    ASSERT_LE(freed, 10);
    ASSERT_TRUE(card->setPhonebookEntry("SM", freed, {"+4930999", "Theirs"}));
    ASSERT_EQ(card->control("card insert"), "OK");
    ASSERT_TRUE(QTest::qWaitFor([&] { return simInTree(); }, kWait));

    // The rest moves with the next paste, without touching the other phone's contact.
    boxes.clear();
    contacts->SelectNode(PB_NODE_PC);
    contacts->Paste();
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
    std::multiset<std::string> everywhere;
    for (const auto &[index, entry] : entriesOf(*card, kSimMemory))
        everywhere.insert(entry.name);
    for (const std::string &name : pcNamesEach())
        everywhere.insert(name);
    for (const std::string &name : before)
        EXPECT_EQ(everywhere.count(name), 1u) << name;
    EXPECT_EQ(entriesOf(*card, kSimMemory).at(freed).name, "Theirs");
    EXPECT_EQ(entriesOf(*card, kSimMemory).size(), 1u);
    EXPECT_EQ(contacts->clipboardMode(), TFrmContacts::Empty);
}

TEST_F(ContactsEndToEnd, CardPulledHalfWayThroughADeletionSaysHowManyWentFromTheSim)
{
    ASSERT_EQ(card->control("phonebook fill SM 40"), "OK");
    start();
    checkAll(PB_NODE_SIM);
    const auto pull = pullCardHalfWay();
    contacts->DeleteChecked();
    ASSERT_FALSE(card->cardInserted());
    const size_t left = entriesOf(*card, kSimMemory).size();
    EXPECT_GT(left, 0u);
    EXPECT_LT(left, 40u);
    EXPECT_EQ(boxes, (QStringList{e2e::text(text::kPbDeleteConfirm),
                                  FormatText(text::kPbStopped, {QString::number(40 - left)})}));
}

TEST_F(ContactsEndToEnd, ComposerOpenedForCheckedContactsBringsThePageBackWhenItCloses)
{
    ASSERT_EQ(card->control("phonebook fill SM 2"), "OK");
    start();
    checkAll(PB_NODE_SIM);
    contacts->MessageToChecked();
    auto *composer = AppWindow<TFrmSmsEdit>();
    ASSERT_NE(composer, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return composer->isVisible(); }, kWait));
    EXPECT_FALSE(contacts->isVisible());
    EXPECT_EQ(composer->EdRecvPer->text(), QStringLiteral("+5491140000001;+5491140000002"));

    composer->btnCancelClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return contacts->isVisible(); }, kWait));
    EXPECT_EQ(form->GetPageTitle(), contacts->windowTitle());
}

TEST_F(ContactsEndToEnd, RecipientPickerFollowsTheSimBeforeTheContactsPageIsOpened)
{
    start(false);
    TFrmSel *picker = AppWindow<TFrmSel>();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->CbSelectLocation->isEnabled());

    ASSERT_EQ(card->control("card remove"), "OK");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !contacts->simUsable(); }, kWait));
    EXPECT_FALSE(picker->CbSelectLocation->isEnabled());
    EXPECT_EQ(picker->CbSelectLocation->currentIndex(), 0);  // the PC
    ASSERT_EQ(card->control("card insert"), "OK");
    ASSERT_TRUE(QTest::qWaitFor([&] { return picker->CbSelectLocation->isEnabled(); }, kWait));
}
