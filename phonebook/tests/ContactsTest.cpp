// The phonebook windows over a store on the fake engine, driven as the user drives them: the
// tree with and without the SIM, the editor's storage switch and number guard, the recipient
// picker, stopping a long copy in the progress window, and who comes back when the editor or the
// viewer closes. What the windows decide is tested on its own in the page, runs and editor tests.
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
#include <QTimer>

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
