// The phonebook windows over a store on the fake engine, driven as the user drives them: the
// tree with and without the SIM, pasting into the SIM, deleting, exporting, the editor's storage
// switch and number guard, and the recipient picker.
#include "UI_Contacts.h"
#include "UI_CopyTips.h"
#include "UI_EditPB.h"
#include "UI_SelContacts.h"
#include "UI_ViewPB.h"

#include "FeatureRoles.h"
#include "PbFixture.h"
#include "RecordingHost.h"

#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <map>
#include <string>

namespace {

class ContactsWindowTest : public PbFixture {
protected:
    void SetUp() override
    {
        PbFixture::SetUp();
        // The phonebook's windows the contacts page finds through the host, as in the program.
        editorWindow = std::make_unique<TFmEditPB>(host, source());
        viewerWindow = std::make_unique<TFrmViewPB>(host, source());
        copyTips = std::make_unique<TFrmCopyTips>(host);
        host.peers.addWidget(*editorWindow);
        host.peers.addWidget(*viewerWindow);
        host.peers.addWidget(*copyTips);
        platform::setMessageBoxHandler(
            [this](QWidget *, const QString &text, int, bool twoButtons) {
                shown << text;
                return twoButtons ? answer : 1;
            });
    }
    void TearDown() override
    {
        platform::setMessageBoxHandler({});
        platform::setFileDialogResponder({});
        PbFixture::TearDown();
    }
    PbStoreSource source()
    {
        return [this] { return store.get(); };
    }
    QStringList treeTexts(TFrmContacts &contacts)
    {
        QStringList texts;
        for (QTreeWidgetItemIterator it(contacts.TvPC); *it; ++it)
            texts << (*it)->text(0);
        return texts;
    }
    void check(TFrmContacts &contacts, std::initializer_list<int> rows)
    {
        for (int row : rows)
            contacts.LvContacts->topLevelItem(row)->setCheckState(0, Qt::Checked);
    }

    RecordingHost host;
    std::unique_ptr<TFmEditPB> editorWindow;
    std::unique_ptr<TFrmViewPB> viewerWindow;
    std::unique_ptr<TFrmCopyTips> copyTips;
    QStringList shown;
    int answer = 1;
};

}  // namespace

TEST_F(ContactsWindowTest, TreeHoldsTheSimOnlyWhileItIsUsableAndLoaded)
{
    put(PB_SIM, "On sim", "1");
    open();
    addGroup("Friends");
    TFrmContacts contacts(host, source());
    ASSERT_EQ(contacts.timersStoppedDuringCall(),
              std::vector<QTimer *>{&contacts.TimerLoadSIMData});
    using platform::GetLanguageString;
    EXPECT_EQ(treeTexts(contacts), (QStringList{GetLanguageString(text::kPbStorePC), "Friends"}));
    contacts.SimStateChanged(12);
    EXPECT_EQ(treeTexts(contacts), (QStringList{GetLanguageString(text::kPbStorePC), "Friends",
                                                GetLanguageString(text::kPbStoreSIM)}));
    EXPECT_EQ(contacts.selectedNode(), PB_NODE_SIM);  // it has room left
    EXPECT_EQ(contacts.LvContacts->topLevelItemCount(), 1);
    contacts.SimStateChanged(5);
    EXPECT_EQ(treeTexts(contacts), (QStringList{GetLanguageString(text::kPbStorePC), "Friends"}));
    EXPECT_EQ(contacts.selectedNode(), PB_NODE_PC);
}

TEST_F(ContactsWindowTest, PastingAPcContactIntoAOneNumberSimAsksOnceAndSplitsIt)
{
    put(PB_PC, "Three", "111", "222", "333");
    put(PB_PC, "One", "444");
    open();
    TFrmContacts contacts(host, source());
    contacts.SimStateChanged(12);
    contacts.SelectNode(PB_NODE_PC);
    check(contacts, {0, 1});
    contacts.CopyChecked(TFrmContacts::CopyMode);

    answer = 2;  // no
    contacts.SelectNode(PB_NODE_SIM);
    contacts.Paste();
    EXPECT_EQ(shown.size(), 1);
    EXPECT_TRUE(book->contacts(PB_SIM).empty());

    answer = 1;
    shown.clear();
    contacts.Paste();
    EXPECT_EQ(shown, QStringList{platform::GetLanguageString(text::kPbPcToSim)});
    EXPECT_EQ(book->contacts(PB_SIM).size(), 4u);  // 111, 222, 333 and 444, one number each
    EXPECT_EQ(contacts.LvContacts->topLevelItemCount(), 4);
    EXPECT_FALSE(host.busy);
}

TEST_F(ContactsWindowTest, DeleteAsksFirstAndExportWritesCheckedRowsToATxtFile)
{
    put(PB_PC, "Ann", "1");
    put(PB_PC, "Bo", "2");
    put(PB_PC, "Cy", "3");
    open();
    TFrmContacts contacts(host, source());
    contacts.Refresh();
    check(contacts, {0, 2});

    QTemporaryDir folder;
    platform::setFileDialogResponder(
        [&](platform::FileDialogKind, const QString &, const QString &, const QString &) {
            return std::optional<QString>(folder.filePath(QStringLiteral("book")));
        });
    contacts.ExportText();
    QFile written(folder.filePath(QStringLiteral("book.txt")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("Ann\t1\t\t\t\t\r\nCy\t3\t\t\t\t\r\n"));

    answer = 2;
    contacts.DeleteChecked();
    EXPECT_EQ(book->contacts(PB_PC).size(), 3u);
    answer = 1;
    contacts.DeleteChecked();
    EXPECT_EQ(book->contacts(PB_PC).size(), 1u);
    EXPECT_EQ(contacts.LvContacts->topLevelItemCount(), 1);
}

TEST_F(ContactsWindowTest, EditorFollowsTheStorageAndGuardsNumbers)
{
    TBL_pb &pb = open();
    TFmEditPB editor(host, source());
    editor.NewContact(nullptr, PB_PC, PB_NODE_PC, true);
    editor.EdHomePhone->setText(QStringLiteral("0300"));
    EXPECT_TRUE(editor.EdHomePhone->isEnabled());
    editor.RBSIM->click();
    EXPECT_FALSE(editor.EdHomePhone->isEnabled());
    EXPECT_TRUE(editor.EdHomePhone->text().isEmpty());
    EXPECT_FALSE(editor.EdPhoneEx1->isEnabled());
    EXPECT_FALSE(editor.CbGroup->isEnabled());

    editor.EdPhoneNumber->setText(QStringLiteral("0711"));
    editor.EdPhoneNumber->setText(QStringLiteral("0711x"));  // a paste with a letter
    EXPECT_EQ(editor.EdPhoneNumber->text(), QStringLiteral("0711"));

    // The SIM counts "[" twice: a name of them is full after half as many as one of letters.
    editor.EdName->setText(QString(60, QLatin1Char('a')));
    const qsizetype letters = editor.EdName->text().size();
    ASSERT_LT(letters, 60);
    editor.EdName->setText(QString(60, QLatin1Char('[')));
    EXPECT_EQ(editor.EdName->text().size(), letters / 2);
    editor.EdName->setText(QString(60, QLatin1Char(' ')));
    EXPECT_EQ(editor.EdName->text().size(), letters);
    EXPECT_TRUE(editor.Save());
    EXPECT_EQ(book->contacts(PB_SIM).size(), 1u);
    (void)pb;
}

TEST_F(ContactsWindowTest, PickerMovesCheckedContactsAndJoinsTheirPhones)
{
    put(PB_PC, "Bo", "2");
    put(PB_PC, "Ann", "1", "11");
    open();
    TFrmSel picker(host, source());
    platform::ScopedDialogResponder accept([&](QDialog &) {
        picker.LvLeft->topLevelItem(0)->setCheckState(0, Qt::Checked);
        picker.LvLeft->topLevelItem(1)->setCheckState(0, Qt::Checked);
        picker.MoveRight();
        return std::optional<int>(QDialog::Accepted);
    });
    const auto chosen = picker.SelectRecipients();
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->text, QStringLiteral("1;2"));
    EXPECT_EQ(chosen->count, 2);

    // The composer is asked to write to them, once the dialog has returned.
    struct Writer : QWidget, feature::FeatureWindow, feature::SmsWriter {
        QStringList written;
        void writeSmsTo(const QString &numbers) override { written << numbers; }
    } writer;
    host.peers.addWidget(writer, feature::plays<feature::SmsWriter>());
    picker.SendSmsToChosen();
    EXPECT_TRUE(writer.written.isEmpty());
    QCoreApplication::sendPostedEvents(&picker, QEvent::MetaCall);
    EXPECT_EQ(writer.written, QStringList{QStringLiteral("1;2")});
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(ContactsWindowTest, CutIntoAnotherPcGroupMovesWhileADropCopies)
{
    open();
    const int32_t friends = addGroup("Friends");
    const int32_t work = addGroup("Work");
    put(PB_PC, "Ann", "1", "", "", static_cast<uint32_t>(friends));
    store->ReloadStore(PB_PC);
    TFrmContacts contacts(host, source());
    contacts.SelectNode(friends);
    check(contacts, {0});
    contacts.CopyChecked(TFrmContacts::CutMode);
    contacts.SelectNode(work);
    contacts.Paste();
    ASSERT_EQ(book->contacts(PB_PC).size(), 1u);
    EXPECT_EQ(book->contacts(PB_PC).begin()->second.groupId, static_cast<uint32_t>(work));
    EXPECT_EQ(contacts.clipboardMode(), TFrmContacts::Empty);

    check(contacts, {0});
    contacts.DropOn(work);  // onto its own group: a second contact
    EXPECT_EQ(book->contacts(PB_PC).size(), 2u);
    EXPECT_EQ(contacts.LvContacts->topLevelItemCount(), 2);
}

TEST_F(ContactsWindowTest, StopDuringALongCopyEndsItBetweenTwoContacts)
{
    for (int i = 0; i < 30; ++i)
        put(PB_PC, ("C" + std::to_string(i)).c_str(), "1");
    open();
    const int32_t work = addGroup("Work");
    TFrmContacts contacts(host, source());
    contacts.Refresh();
    contacts.SetAllChecked(true);
    contacts.CopyChecked(TFrmContacts::CopyMode);
    contacts.SelectNode(work);
    // The progress window lets events run between contacts: a timer presses Stop at 30 %.
    std::function<void()> pressStop = [&] {
        if (copyTips->isVisible() && copyTips->PBCopy->value() >= 30) {
            EXPECT_FALSE(contacts.isEnabled());
            copyTips->BtStop->click();
            return;
        }
        QTimer::singleShot(0, pressStop);
    };
    QTimer::singleShot(0, pressStop);
    contacts.Paste();
    const size_t copied = book->contacts(PB_PC).size() - 30;
    EXPECT_GT(copied, 0u);
    EXPECT_LT(copied, 30u);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front(), FormatText(text::kPbStopped, {QString::number(copied)}));
    EXPECT_TRUE(contacts.isEnabled());
    EXPECT_FALSE(host.busy);
}

TEST_F(ContactsWindowTest, PasteAfterAnInterruptedMoveWritesEachContactOnce)
{
    for (int i = 0; i < 10; ++i)
        put(PB_SIM, ("Sim " + std::to_string(i)).c_str(), std::to_string(100 + i).c_str());
    open();
    TFrmContacts contacts(host, source());
    contacts.SimStateChanged(12);
    contacts.SelectNode(PB_NODE_SIM);
    contacts.SetAllChecked(true);
    contacts.CopyChecked(TFrmContacts::CutMode);
    contacts.SelectNode(PB_NODE_PC);
    // The card answers four more calls, then is pulled.
    book->failStorageAfter(PB_SIM, 4, MEC_ERR_NO_CARD);
    contacts.Paste();
    contacts.SimStateChanged(1);
    // Meanwhile a phone writes a contact of its own into the SIM's first free place.
    book->failStorage(PB_SIM, 0);
    const uint32_t theirs = book->put(PB_SIM, "Theirs", "999").index;
    ASSERT_LE(theirs, 10u);
    contacts.SimStateChanged(12);
    contacts.SelectNode(PB_NODE_PC);
    contacts.Paste();

    std::map<std::string, int> everywhere;
    for (uint8_t storage : {PB_SIM, PB_PC})
        for (const auto &[index, record] : book->contacts(storage))
            ++everywhere[record.name];
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(everywhere["Sim " + std::to_string(i)], 1) << i;
    EXPECT_EQ(book->contacts(PB_SIM).size(), 1u);
    EXPECT_STREQ(book->contacts(PB_SIM)[theirs].name, "Theirs");
    EXPECT_EQ(contacts.clipboardMode(), TFrmContacts::Empty);
}

TEST_F(ContactsWindowTest, APcStoreThatCannotBeUsedIsReportedOnceWhenThePageShows)
{
    book->failStorage(PB_PC, MEC_ERR_ERROR);
    lumacore_fake::onCall(&_MEC_GetLastErrorText, [](char *buffer, uint16_t size) -> MEC_STATUS {
        std::snprintf(buffer, size, "%s", "db.dat is in use by another program");
        return 0;
    });
    open();
    TFrmContacts contacts(host, source());
    contacts.shownInPanel();
    contacts.shownInPanel();
    EXPECT_EQ(shown, QStringList{FormatText(text::kPbStoreUnusable,
                                            {"db.dat is in use by another program"})});
}

TEST_F(ContactsWindowTest, ClosingTheEditorOrViewerBringsBackTheWindowThatOpenedIt)
{
    put(PB_PC, "Ann", "1");
    open();
    TFrmContacts contacts(host, source());
    contacts.Refresh();
    check(contacts, {0});
    contacts.CopyChecked(TFrmContacts::CopyMode);
    // Opened from the page: the page comes back, still holding what was copied.
    contacts.EditChecked();
    auto *editor = qobject_cast<TFmEditPB *>(host.shownInPanel.back());
    ASSERT_NE(editor, nullptr);
    editor->BtCancel->click();
    EXPECT_EQ(host.shownInPanel.back(), &contacts);
    check(contacts, {0});
    contacts.ViewChecked();
    auto *viewer = qobject_cast<TFrmViewPB *>(host.shownInPanel.back());
    ASSERT_NE(viewer, nullptr);
    viewer->BtOK->click();
    EXPECT_EQ(host.shownInPanel.back(), &contacts);
    EXPECT_EQ(contacts.clipboardMode(), TFrmContacts::CopyMode);

    // Opened for another window: that one is told how it closed, and the page stays hidden.
    struct Case {
        bool save;
        QStringList told;
    };
    for (const Case &one : {Case{true, {"saved Bea"}}, Case{false, {"cancelled "}}}) {
        host.shownInPanel.clear();
        QStringList told;
        contacts.newContactWithNumber("+4917612345", [&](bool saved, const QString &name) {
            told << (saved ? "saved " : "cancelled ") + (saved ? name : QString());
        });
        editor->EdName->setText("Bea");
        if (one.save)
            ASSERT_TRUE(editor->Save());
        else
            editor->BtCancel->click();
        EXPECT_EQ(told, one.told);
        EXPECT_EQ(std::count(host.shownInPanel.begin(), host.shownInPanel.end(), &contacts), 0);
    }
}

TEST_F(ContactsWindowTest, ALongPcNameStopsGrowingWhileTypedAndIsSavedAsShown)
{
    open();
    TFrmContacts contacts(host, source());
    contacts.Refresh();
    contacts.MINewContactEx->trigger();
    auto *editor = qobject_cast<TFmEditPB *>(host.shownInPanel.back());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->RBPC->isChecked());
    // A name keeps 127 bytes of the code page (UTF-8 here) and, in UCS-2, 64 characters.
    struct Case {
        QString typed;
        int kept;
    };
    for (const Case &one : {Case{QString(70, QChar(0x0416)), 63}, Case{QString(100, u'ü'), 63},
                            Case{QString(130, u'a'), 127}}) {
        editor->EdName->setText(one.typed);
        EXPECT_EQ(editor->EdName->text().size(), one.kept);
        editor->EdPhoneNumber->setText("1");
        const QString onScreen = editor->EdName->text();
        ASSERT_TRUE(editor->Save());
        _MEC_CONTACT_RECORD *saved = nullptr;
        _MEC_CONTACT_RECORD *last = nullptr;
        for (uint16_t s = store->FirstContact(PB_PC, &saved); s == 0;
             s = store->NextContact(PB_PC, &saved))
            last = saved;
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(platform::fromAnsi(platform::fieldText(last->name, sizeof last->name)), onScreen);
        contacts.MINewContactEx->trigger();
    }
}
