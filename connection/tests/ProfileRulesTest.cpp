// The profile dialogs' checks in their order, the record they build, loading a record back, and
// the IPv4 entry controls.
#include "ProfileRules.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

ProfileForm validForm()
{
    ProfileForm form;
    form.name = "Home";
    form.dialNumber = "*99#";
    form.apnAutomatic = false;
    form.apnFieldEnabled = true;
    form.apn = "internet.example";
    return form;
}

std::string text(const char *field, size_t size)
{
    return std::string(platform::fieldText(field, size));
}

TEST(ProfileRules, ChecksRunInOrderAndStopAtTheFirst)
{
    struct Case {
        const char *what;
        std::function<void(ProfileForm &)> change;
        int message;
        int label;
    };
    const QStringList list{"Brisa AR", "Brisa PY", "Brisa UY", "Work "};
    const std::vector<Case> cases{
        {"manual APN empty",
         [](ProfileForm &f) {
             f.apn.clear();
             f.name = " ";
         },
         3111, 0},
        {"name starts with a blank", [](ProfileForm &f) { f.name = " Home"; }, 4050, 3035},
        {"only blanks", [](ProfileForm &f) { f.name = "   "; }, 4050, 3035},
        {"wide dial number", [](ProfileForm &f) { f.dialNumber = QString::fromUtf8("*99＃"); },
         4050, 3056},
        {"manual DNS without any", [](ProfileForm &f) { f.dnsAutomatic = false; }, 3112, 0},
        {"manual PDP without one", [](ProfileForm &f) { f.pdpAddressAutomatic = false; }, 3113, 0},
        {"empty name", [](ProfileForm &f) { f.name.clear(); }, 3059, 0},
        {"same name", [](ProfileForm &f) { f.name = "Brisa PY"; }, 3060, 0},
        {"same name but a trailing blank", [](ProfileForm &f) { f.name = "Brisa PY "; }, 3060, 0},
        {"listed with a trailing blank", [](ProfileForm &f) { f.name = "Work"; }, 3060, 0},
        {"blank inside the APN", [](ProfileForm &f) { f.apn = "inter net"; }, 3166, 0},
        {"quote in the APN", [](ProfileForm &f) { f.apn = "a\";+CFUN=0"; }, 3166, 0},
        {"APN of blanks", [](ProfileForm &f) { f.apn = "   "; }, 3166, 0},
    };
    for (const Case &test : cases) {
        ProfileForm form = validForm();
        test.change(form);
        const auto problem = CheckProfileForm(form, list);
        ASSERT_TRUE(problem.has_value()) << test.what;
        EXPECT_EQ(problem->message, test.message) << test.what;
        EXPECT_EQ(problem->label, test.label) << test.what;
    }
    ProfileForm trailing = validForm();
    trailing.apn = "internet.example  ";  // trailing blanks pass the check
    EXPECT_FALSE(CheckProfileForm(trailing, list).has_value());
    ProfileForm automatic = validForm();
    automatic.apnAutomatic = true;
    automatic.dialNumber = QString::fromUtf8("*99＃");  // only checked with a manual APN
    EXPECT_FALSE(CheckProfileForm(automatic, list).has_value());
}

TEST(ProfileRules, EditingKeepsItsOwnNameButNotAnother)
{
    const QStringList list{"Brisa AR", "Brisa PY", "Brisa UY", "Home", "Work"};
    const QString opened = "Home";
    ProfileForm form = validForm();
    EXPECT_FALSE(CheckProfileForm(form, list, &opened).has_value());
    form.name = "Work";
    ASSERT_TRUE(CheckProfileForm(form, list, &opened).has_value());
    EXPECT_EQ(CheckProfileForm(form, list, &opened)->message, 3060);
}

TEST(ProfileRules, RecordKeepsTextsAsTypedAndTheDnsRuleDiffersByDialog)
{
    ProfileForm form = validForm();
    form.name = "Home ";
    form.apn = "internet.example ";
    form.dnsAutomatic = false;
    form.primaryDns = "10.0.0.1";
    form.saveCredentials = true;
    form.userName = "me";
    form.password = "pw";
    form.chap = true;
    form.pdpTypeIp = false;

    const ProfileRecord added = BuildProfileRecord(form, ProfileDialogKind::Add);
    EXPECT_EQ(text(added.name, sizeof added.name), "Home ");
    EXPECT_EQ(text(added.apnAutomatic, 4), "0");
    EXPECT_EQ(text(added.apn, sizeof added.apn), "internet.example ");
    EXPECT_EQ(text(added.secondaryDns, 25), "0.0.0.0");
    EXPECT_EQ(text(added.pdpType, 5), "PPP");
    EXPECT_EQ(text(added.authentication, 5), "CHAP");
    EXPECT_EQ(text(added.saveCredentials, 4), "1");
    EXPECT_EQ(text(added.pdpAddressAutomatic, 4), "1");
    EXPECT_EQ(text(added.pdpAddress, 25), "");

    const ProfileRecord edited = BuildProfileRecord(form, ProfileDialogKind::Edit);
    EXPECT_EQ(text(edited.primaryDns, 25), "10.0.0.1");
    EXPECT_EQ(text(edited.secondaryDns, 25), "");

    // Loaded back, the form is what was typed (the empty secondary reads as a blank entry).
    const ProfileForm loaded = FormFromRecord(edited);
    EXPECT_EQ(loaded.name, "Home ");
    EXPECT_FALSE(loaded.dnsAutomatic);
    EXPECT_EQ(loaded.secondaryDns, "0.0.0.0");
    EXPECT_TRUE(loaded.chap);
    EXPECT_FALSE(loaded.pdpTypeIp);
    EXPECT_TRUE(loaded.saveCredentials);
    EXPECT_EQ(BuildProfileRecord(loaded, ProfileDialogKind::Edit).secondaryDns[0], 0);
}

TEST(ProfileRules, Ipv4EntryAndDnsParsing)
{
    Ipv4Entry entry;
    EXPECT_EQ(entry.text(), "0.0.0.0");
    EXPECT_TRUE(entry.blank());
    entry.setText("192.168.1.300");
    EXPECT_EQ(entry.text(), "192.168.1.255");
    entry.setField(0, "1a2");
    EXPECT_EQ(entry.text(), "12.168.1.255");
    entry.setText("");
    EXPECT_TRUE(entry.blank());

    struct Case {
        const char *text;
        bool valid;
    };
    for (const Case &test : std::vector<Case>{{"8.8.4.4", true},
                                              {"255.255.255.255", true},
                                              {"", false},
                                              {"1.2.3", false},
                                              {"1.2.3.4.5", false},
                                              {"1.2.3.256", false},
                                              {"1..3.4", false},
                                              {"1.2.3.4 ", false},
                                              {"-1.2.3.4", false}})
        EXPECT_EQ(ParseDnsAddress(test.text).has_value(), test.valid) << test.text;
    EXPECT_EQ(ParseDnsAddress("10.20.30.40").value()[3], 40);
}

}  // namespace
