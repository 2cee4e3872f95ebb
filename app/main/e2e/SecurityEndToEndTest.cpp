// The security page and the settings menu of the program's main window with the real engine
// against the virtual card: the PIN request switched off and on; the PIN changed, then three wrong
// PINs and the SIM unblocked with its PUK; a backup taken, a contact deleted and brought back by
// the restore, and a file that is no backup refused with the contacts kept; every settings page
// reached from the menu.
#include "ProgramOnCard.h"
#include "UI_PasswordDlg.h"
#include "UI_SetMenuForm.h"
#include "UI_SetMsgForm.h"
#include "UI_SetNetForm.h"
#include "UI_SetNetSub.h"
#include "UI_SetSS.h"
#include "UI_SetSecurityFrm.h"
#include "UI_SetSoundForm.h"

#include "logic/BL_Forward.h"
#include "platform/CodePage.h"

#include <QFile>

#include <deque>
#include <set>

using e2e::kWait;

class SecurityEndToEnd : public e2e::ProgramOnCard {
protected:
    void start(bool pinRequired = false)
    {
        platform::setPauseHandler([](int) {});
        ASSERT_NO_FATAL_FAILURE(startOnCard(pinRequired));
        ASSERT_TRUE(waitForState(kSimReady));
        ASSERT_TRUE(settle());
        page = AppWindow<TSet_securityform>();
        ASSERT_NE(page, nullptr);
        // The password dialogs take what the person types next; nothing left: cancelled.
        platform::setDialogResponder([this](QDialog &shown) -> std::optional<int> {
            auto *password = dynamic_cast<pin::TPasswordDlg *>(&shown);
            if (!password || typed.empty())
                return QDialog::Rejected;
            password->Edit_Password1->setText(typed.front());
            typed.pop_front();
            return QDialog::Accepted;
        });
        page->FormShow();
    }

    virtualmodem::SimCard sim() const { return card->snapshot().sim; }

    // The program's own list of the PC's contacts, as the contacts window shows it.
    std::set<std::string> pcNames() const
    {
        std::set<std::string> names;
        _MEC_CONTACT_RECORD *record = nullptr;
        for (uint16_t status = FirstContact(PB_PC, &record); status == 0;
             status = NextContact(PB_PC, &record))
            names.emplace(platform::fieldText(record->name, sizeof record->name));
        return names;
    }

    TSet_securityform *page = nullptr;
    std::deque<QString> typed;
};

TEST_F(SecurityEndToEnd, PinRequestSwitchedOnAndOff)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_FALSE(sim().pinEnabled);
    EXPECT_FALSE(page->CheckBox_EnablePIN->isChecked());
    EXPECT_TRUE(page->CheckBox_EnablePIN->isEnabled());

    for (bool on : {true, false}) {
        SCOPED_TRACE(on ? "on" : "off");
        boxes.clear();
        page->CheckBox_EnablePIN->click();
        ASSERT_TRUE(page->ApplyButton->isEnabled());
        typed = {"1234"};
        page->ApplyButtonClick();
        EXPECT_EQ(boxes, QStringList{e2e::text(3033)});
        EXPECT_EQ(sim().pinEnabled, on);
        EXPECT_EQ(FileStore().allConfig().pinRequestEnabled, on ? 1 : 0);
        EXPECT_EQ(page->CheckBox_EnablePIN->isChecked(), on);
        EXPECT_FALSE(page->ApplyButton->isEnabled());
    }
}

TEST_F(SecurityEndToEnd, PinChangedThenBlockedByThreeWrongPinsAndUnblockedWithThePuk)
{
    ASSERT_NO_FATAL_FAILURE(start());
    page->CheckBox_EnablePIN->click();
    typed = {"1234"};
    page->ApplyButtonClick();
    ASSERT_TRUE(sim().pinEnabled);

    boxes.clear();
    typed = {"1234", "4321", "4321"};
    page->ImButton_ModPINClick();
    EXPECT_EQ(boxes, QStringList{e2e::text(3102)});
    EXPECT_EQ(sim().pin, "4321");

    // Switching the request off with wrong PINs: two are refused, the third blocks the SIM and
    // the page asks for the PUK and a new PIN.
    boxes.clear();
    for (const char *wrong : {"1111", "2222"}) {
        page->CheckBox_EnablePIN->click();
        typed = {wrong};
        page->ApplyButtonClick();
        EXPECT_TRUE(page->CheckBox_EnablePIN->isChecked());
    }
    EXPECT_EQ(boxes, (QStringList{e2e::text(3100), e2e::text(3100)}));
    EXPECT_EQ(sim().pinRetries, 1);
    boxes.clear();
    page->CheckBox_EnablePIN->click();
    typed = {"3333", "12345678", "2468", "2468"};
    page->ApplyButtonClick();
    EXPECT_EQ(boxes, QStringList{e2e::text(3104)});
    EXPECT_TRUE(typed.empty());
    EXPECT_EQ(sim().pin, "2468");
    EXPECT_EQ(sim().lock, virtualmodem::SimLock::Ready);
    // Unblocked, the SIM asks for its PIN again at power-up, and the page says so.
    EXPECT_TRUE(sim().pinEnabled);
    EXPECT_TRUE(page->CheckBox_EnablePIN->isChecked());
    EXPECT_EQ(FileStore().allConfig().pinRequestEnabled, 1);
    ASSERT_TRUE(settle());
    EXPECT_EQ(form->monitor().cardState(), kSimReady);
}

TEST_F(SecurityEndToEnd, BackupRestoresADeletedContactAndAForeignFileLosesNothing)
{
    ASSERT_NO_FATAL_FAILURE(start());
    _MEC_CONTACT_RECORD contact{};
    contact.reserved = sizeof contact;
    contact.storage = PB_PC;
    platform::copyToField(contact.name, sizeof contact.name, "Ada Backup");
    platform::copyToField(contact.numbers[0].number, sizeof contact.numbers[0].number, "5551234");
    _MEC_CONTACT_RECORD *stored = nullptr;
    ASSERT_EQ(AddContactTo(&contact, PB_PC, 0, &stored), 0);
    ASSERT_EQ(pcNames().count("Ada Backup"), 1u);

    QString chosen;
    platform::setFileDialogResponder(
        [&](platform::FileDialogKind, const QString &, const QString &, const QString &filter) {
            EXPECT_EQ(filter, QStringLiteral("*.dat"));
            return std::optional<QString>(chosen);
        });
    chosen = setup.filePath("saved");
    boxes.clear();
    page->ImButton_BKClick();
    EXPECT_EQ(boxes, QStringList{e2e::text(3114)});
    ASSERT_TRUE(QFile::exists(setup.filePath("saved.dat")));

    _MEC_CONTACT_RECORD *found = nullptr;
    for (uint16_t status = FirstContact(PB_PC, &found); status == 0;
         status = NextContact(PB_PC, &found))
        if (platform::fieldText(found->name, sizeof found->name) == "Ada Backup")
            break;
    ASSERT_NE(found, nullptr);
    const _MEC_CONTACT_RECORD gone = *found;
    ASSERT_EQ(DeleteContact(&gone), 0);
    ASSERT_EQ(pcNames().count("Ada Backup"), 0u);

    boxes.clear();
    page->ImButton_RestoreClick();
    EXPECT_EQ(boxes, QStringList{e2e::text(3116)});
    EXPECT_EQ(pcNames().count("Ada Backup"), 1u);

    // A file that is no backup: refused, and the contacts stay as they are.
    {
        QFile junk(setup.filePath("junk.dat"));
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
    }
    boxes.clear();
    chosen = setup.filePath("junk.dat");
    page->ImButton_RestoreClick();
    EXPECT_EQ(boxes, QStringList{e2e::text(3117)});
    EXPECT_EQ(ReloadStore(PB_PC), 0);
    EXPECT_EQ(pcNames().count("Ada Backup"), 1u);
    platform::setFileDialogResponder({});
}

TEST_F(SecurityEndToEnd, TheSettingsMenuReachesEveryPage)
{
    ASSERT_NO_FATAL_FAILURE(start());
    auto *menu = AppWindow<TSetMenuForm>();
    ASSERT_NE(menu, nullptr);
    form->show();
    form->ConfigButtonClick();
    ASSERT_TRUE(menu->isVisible());
    const std::pair<QPushButton *, QWidget *> pages[] = {
        {menu->SafecfgButton, page},
        {menu->NetcfgButton, AppWindow<TSet_netform>()},
        {menu->MsgcfgButton, AppWindow<TSet_msgform>()},
        {menu->SoundcfgButton, AppWindow<TSet_soundform>()},
        {menu->SSButton, AppWindow<TSet_SS>()},
        {menu->CfgfileButton, AppWindow<TSet_netsub>()},
    };
    for (const auto &[button, shown] : pages) {
        SCOPED_TRACE(button->objectName().toStdString());
        ASSERT_NE(shown, nullptr);
        button->click();
        EXPECT_TRUE(shown->isVisible());
        EXPECT_TRUE(menu->isVisible());
        EXPECT_FALSE(button->isEnabled());
    }
}
