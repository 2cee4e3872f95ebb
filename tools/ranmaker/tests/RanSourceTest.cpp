// The source of the delivered files: what it accepts, and that it refuses anything doubtful
// with the line at fault.

#include "tools/ranmaker/RanSource.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string profile(const std::string &name, const std::string &extra = {})
{
    return "[profile]\nname = " + name +
           "\napn_auto = 1\ndns_auto = 1\naddress_auto = 1\npdp_type = IP\nauth = PAP\n"
           "ask_credentials = 0\nsave_credentials = 0\n" +
           extra;
}

const std::string kThree = profile("One") + profile("Two") + profile("Three");

TEST(RanSourceTest, ReadsProfilesSettingsAndLevels)
{
    ranmaker::DeliveredFiles files;
    const std::string source = "# comment\n" + profile("One", "apn = a.example\n  dial=*99#  \n") +
                               profile("Two") + profile("Three") +
                               "[settings]\nsms_storage = 1\nclip = 1\nconcat_reference = 7\n"
                               "[volume]\nearphone = 4\n";
    ASSERT_EQ(ranmaker::parseSource(source, files), "");
    ASSERT_EQ(files.profiles.size(), 3u);
    EXPECT_EQ(ProfileName(files.profiles[2]), "Three");
    EXPECT_STREQ(files.profiles[0].apn, "a.example");
    EXPECT_STREQ(files.profiles[0].dialNumber, "*99#");
    EXPECT_EQ(files.settings.smsStorage[0], '1');
    EXPECT_EQ(files.settings.clipPresentation, 1);
    EXPECT_EQ(files.settings.concatReference.get(), 7);
    EXPECT_STREQ(files.settings.smsArrivedSound.file, "./resource/sound/wav/bird.wav");
    EXPECT_EQ(files.volume.microphone.get(), 2);
    EXPECT_EQ(files.volume.earphone.get(), 4);
}

TEST(RanSourceTest, RefusesDoubtfulSources)
{
    const struct {
        std::string source;
        std::string error;
    } cases[] = {
        {profile("One") + profile("Two"),
         "the protected profiles are missing: at least 3 profiles are needed"},
        {kThree + profile("Two"), "two profiles are named \"Two\""},
        {"name = x\n", "line 1: a key before the first section"},
        {"[profiles]\n", "line 1: unknown section [profiles]"},
        {profile("One", "colour = red\n"), "line 10: unknown key \"colour\""},
        {profile("One", "apn_auto = 1\n"), "line 10: \"apn_auto\" given twice"},
        {"[profile]\npdp_type = IPV6\n", "line 2: pdp_type must be one of IP, PPP"},
        {"[profile]\ndns_auto = yes\n", "line 2: dns_auto must be one of 0, 1"},
        {"[profile]\npassword = " + std::string(19, 'p') + "\n",
         "line 2: password longer than 18 characters"},
        {"[profile]\nname = Se\xc3\xb1or\n", "line 2: only printable ASCII is allowed"},
        {kThree + "[volume]\nearphone = 6\n",
         "line 29: earphone must be a whole number from 0 to 5"},
        {kThree + "[settings]\n[settings]\n", "line 29: [settings] appears twice"},
        {kThree + "[settings]\nclip\n", "line 29: expected key = value"},
        {"[profile]\nname = A\n" + kThree,
         "profile \"A\" lacks pdp_type, auth or one of the flags"},
    };
    for (const auto &c : cases) {
        ranmaker::DeliveredFiles files;
        EXPECT_EQ(ranmaker::parseSource(c.source, files), c.error) << c.source;
    }
}

}  // namespace
