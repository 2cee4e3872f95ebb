// The profile page with its dialogs, answered by the dialog seam: adding (and a duplicate name
// refused), editing the default profile, and deleting it refused.
#include "UI_SetNetPopEditForm.h"
#include "UI_SetNetPopForm.h"
#include "UI_SetNetSub.h"

#include "FakeLumacore.h"
#include "RecordingHost.h"
#include "config/BL_File.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ProfilePageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        FileStore().setFolder(folder.path());
        for (const char *name : {"Brisa AR", "Brisa PY", "Brisa UY"}) {
            ProfileForm form;
            form.name = QString::fromLatin1(name);
            FileStore().AppendProfile(BuildProfileRecord(form, ProfileDialogKind::Add));
        }
        FileStore().SetDefaultProfile("Brisa AR");
        // The page finds its dialogs through the host, as in the program.
        host.peers.addWidget(addDialog);
        host.peers.addWidget(editDialog);
        platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool) {
            messages << text;
            return 1;
        });
        page.FormShow();
    }
    void TearDown() override
    {
        platform::setMessageBoxHandler({});
        FileStore().setFolder(QDir::currentPath());
        lumacore_fake::reset();
    }
    // Answers the next dialog by typing into it and pressing OK.
    template <typename Dialog>
    platform::ScopedDialogResponder typeAndOk(std::function<void(Dialog &)> type)
    {
        return platform::ScopedDialogResponder([type](QDialog &shown) -> std::optional<int> {
            auto &dialog = dynamic_cast<Dialog &>(shown);
            type(dialog);
            dialog.OkButtonClick();
            return dialog.result();
        });
    }

    QTemporaryDir folder;
    RecordingHost host;
    TSet_netpopform addDialog{host};
    TSet_netpopeditform editDialog{host};
    TSet_netsub page{host};
    QStringList messages;
};

TEST_F(ProfilePageTest, AddedProfileIsListedAndADuplicateNameIsRefused)
{
    {
        auto answer = typeAndOk<TSet_netpopform>(
            [](TSet_netpopform &dialog) { dialog.Edit_filename->setText("Brisa PY "); });
        page.AddButtonClick();
    }
    ASSERT_EQ(messages.size(), 1);  // 3060: the name is taken
    EXPECT_EQ(page.ListBoxFileName->count(), 3);
    {
        auto answer = typeAndOk<TSet_netpopform>([](TSet_netpopform &dialog) {
            dialog.Edit_filename->setText("Travel");
            dialog.Radio_manual_DNS->click();
            dialog.Edit_first_DNS->setText("8.8.8.8");
        });
        page.AddButtonClick();
    }
    ASSERT_EQ(page.ListBoxFileName->count(), 4);
    ProfileRecord stored{};
    FileStore().FindProfile("Travel", stored);
    EXPECT_EQ(platform::fieldText(stored.primaryDns, 25), "8.8.8.8");
    EXPECT_EQ(platform::fieldText(stored.secondaryDns, 25), "0.0.0.0");
}

TEST_F(ProfilePageTest, EditingTheDefaultRenamesItAndTellsTheCard)
{
    page.ListBoxFileName->setCurrentRow(0);
    page.ListBoxFileNameClick();
    EXPECT_FALSE(page.DeleteButton->isEnabled());  // a delivered profile
    {
        // Delivered profiles open read-only; OK rewrites the record as it was.
        auto answer = typeAndOk<TSet_netpopeditform>(
            [](TSet_netpopeditform &dialog) { EXPECT_FALSE(dialog.Edit_filename->isEnabled()); });
        page.EditButtonClick();
    }
    EXPECT_EQ(page.Edit_Default->text(), "Brisa AR");
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetModemPara"), 1);

    page.DefaultButtonClick();
    page.ListBoxFileName->setCurrentRow(0);
    messages.clear();
    page.DeleteButtonClick();
    ASSERT_EQ(messages.size(), 1);  // 3052: the default is never deleted
    EXPECT_EQ(page.ListBoxFileName->count(), 3);
}

TEST_F(ProfilePageTest, DeliveredProfilesStayWhenTheKeyboardSelectsThem)
{
    ProfileForm form;
    form.name = QStringLiteral("Travel");
    FileStore().AppendProfile(BuildProfileRecord(form, ProfileDialogKind::Add));
    FileStore().SetDefaultProfile("Travel");
    page.FormShow();
    page.ListBoxFileName->setCurrentRow(3);
    page.ListBoxFileNameClick();
    ASSERT_TRUE(page.DeleteButton->isEnabled());
    // The arrow keys move the selection without a click.
    for (int row : {2, 1, 0}) {
        page.ListBoxFileName->setCurrentRow(row);
        EXPECT_FALSE(page.DeleteButton->isEnabled()) << row;
        page.DeleteButtonClick();
    }
    EXPECT_EQ(page.ListBoxFileName->count(), 4);
    std::vector<ProfileRecord> stored;
    FileStore().LoadProfileList(stored);
    EXPECT_EQ(stored.size(), 4u);
}

}  // namespace
