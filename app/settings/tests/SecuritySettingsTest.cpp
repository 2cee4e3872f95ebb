// The security page's rules: every path of the PIN request, the PIN change and the PUK, and the
// names a backup and a restore use, against a scripted person and a scripted card.
#include "SecuritySettings.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

// A person who types the given answers, in order, and a card that answers each call as told;
// everything asked and shown lands in one log.
struct Script {
    std::deque<QString> typed{};  // prompt answers; empty: cancelled
    std::map<std::string, uint16_t> answers{};  // call name -> status (0 when not named)
    uint8_t pinState = 0;
    uint8_t pinRequest = 1;  // what the card says of its PIN request
    bool saved = true;
    bool replace = true;
    QString chosenFile{};
    bool exists = false;
    std::vector<std::string> log{};

    uint16_t answer(const std::string &call) const
    {
        auto found = answers.find(call);
        return found == answers.end() ? 0 : found->second;
    }

    SecurityCalls calls()
    {
        SecurityCalls made;
        made.ifPinEnable = [this](uint8_t *enabled) {
            *enabled = pinRequest;
            return answer("ifPinEnable");
        };
        made.setPinEnable = [this](uint8_t enable, const QString &pin) {
            log.push_back("setPinEnable " + std::to_string(enable) + " " + pin.toStdString());
            return answer("setPinEnable");
        };
        made.setPin = [this](const QString &puk, const QString &newPin) {
            log.push_back("setPin " + puk.toStdString() + " " + newPin.toStdString());
            return answer("setPin");
        };
        made.getPinState = [this](uint8_t *state) {
            *state = pinState;
            return answer("getPinState");
        };
        made.changePin = [this](const QString &oldPin, const QString &newPin) {
            log.push_back("changePin " + oldPin.toStdString() + " " + newPin.toStdString());
            return answer("changePin");
        };
        made.backUpTo = [this](const QString &path) {
            log.push_back("backUpTo " + path.toStdString());
            return answer("backUpTo");
        };
        made.restoreFrom = [this](const QString &path) {
            log.push_back("restoreFrom " + path.toStdString());
            return answer("restoreFrom");
        };
        made.reloadPcStores = [this] { log.push_back("reload"); };
        made.saveAllConfig = [this] {
            log.push_back("save");
            return saved;
        };
        return made;
    }

    SecurityUser user()
    {
        SecurityUser made;
        made.prompt = [this](int caption) {
            log.push_back("prompt " + std::to_string(caption));
            if (typed.empty())
                return QString();
            QString text = typed.front();
            typed.pop_front();
            return text;
        };
        made.show = [this](int text, int icon) {
            log.push_back("show " + std::to_string(text) + "/" + std::to_string(icon));
        };
        made.ask = [this](int text) {
            log.push_back("ask " + std::to_string(text));
            return replace;
        };
        made.chooseFile = [this](bool) { return chosenFile; };
        made.fileExists = [this](const QString &) { return exists; };
        made.postCardState = [this](uint8_t state) {
            log.push_back("post " + std::to_string(state));
        };
        return made;
    }
};

using Log = std::vector<std::string>;

TEST(SecuritySettings, ApplyTakesEveryPathOfThePinRequestAndThePuk)
{
    struct Case {
        const char *name;
        bool pinOn;      // the box as clicked
        bool standbyOn;  // the standby box as clicked
        Script script;
        Log log;
        bool boxAfter;    // the PIN box afterwards
        uint8_t mirror;   // the settings' mirror of the SIM's request afterwards
    };
    // The card starts with its PIN request on.
    const Case cases[] = {
        {"switched off", false, false, {{"1234"}},
         {"prompt 3088", "setPinEnable 0 1234", "save", "show 3033/1"}, false, 0},
        {"switched off, the file not written", false, false, {.typed = {"1234"}, .saved = false},
         {"prompt 3088", "setPinEnable 0 1234", "save", "show 3018/2"}, false, 0},
        {"no PIN typed", false, false, {}, {"prompt 3088", "show 3096/2"}, true, 1},
        {"wrong PIN", false, false, {.typed = {"4321"}, .answers = {{"setPinEnable", 7305}}},
         {"prompt 3088", "setPinEnable 0 4321", "show 3100/2"}, true, 1},
        {"refused", false, false, {.typed = {"1234"}, .answers = {{"setPinEnable", 7001}}},
         {"prompt 3088", "setPinEnable 0 1234", "show 3103/2"}, true, 1},
        // Blocked by the last wrong PIN: the PUK, then the new PIN twice until both match.
        // Unblocking switches the request on again, whatever the box asked.
        {"blocked, unblocked after a mismatch", false, false,
         {.typed = {"1111", "12345678", "5555", "5556", "5555", "5555"},
          .answers = {{"setPinEnable", 7306}}},
         {"prompt 3088", "setPinEnable 0 1111", "prompt 3097", "prompt 3090", "prompt 3091",
          "show 3092/1", "prompt 3090", "prompt 3091", "setPin 12345678 5555", "show 3104/1"},
         true, 1},
        {"blocked, no PUK typed", false, false,
         {.typed = {"1111"}, .answers = {{"setPinEnable", 7306}}},
         {"prompt 3088", "setPinEnable 0 1111", "prompt 3097", "show 3098/1"}, true, 1},
        {"blocked, no new PIN typed", false, false,
         {.typed = {"1111", "12345678"}, .answers = {{"setPinEnable", 7306}}},
         {"prompt 3088", "setPinEnable 0 1111", "prompt 3097", "prompt 3090", "show 3094/1"},
         true, 1},
        {"blocked, wrong PUK", false, false,
         {.typed = {"1111", "11111111", "5555", "5555"},
          .answers = {{"setPinEnable", 7306}, {"setPin", 7305}}},
         {"prompt 3088", "setPinEnable 0 1111", "prompt 3097", "prompt 3090", "prompt 3091",
          "setPin 11111111 5555", "show 3105/2", "post 9"},
         true, 1},
        {"blocked, the PUK refused otherwise", false, false,
         {.typed = {"1111", "11111111", "5555", "5555"},
          .answers = {{"setPinEnable", 7306}, {"setPin", 7306}}},
         {"prompt 3088", "setPinEnable 0 1111", "prompt 3097", "prompt 3090", "prompt 3091",
          "setPin 11111111 5555", "show 3103/2", "post 10"},
         true, 1},
        // The standby option alone asks for no PIN, and the PIN box keeps the card's setting.
        {"standby only", true, true, {}, {"save", "show 3033/1"}, true, 1},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        AllConfig config{};
        config.pinRequestEnabled = 1;
        SecuritySettings settings(config, c.script.calls(), c.script.user());
        settings.setCardState(12);
        settings.shown();
        ASSERT_TRUE(settings.pinRequestShown());
        if (!c.pinOn)
            settings.pinRequestClicked(false);
        if (c.standbyOn)
            settings.standbyClicked(true);
        EXPECT_TRUE(settings.applyEnabled());
        settings.apply();
        EXPECT_EQ(c.script.log, c.log);
        EXPECT_EQ(settings.pinRequestShown(), c.boxAfter);
        EXPECT_EQ(config.pinRequestEnabled, c.mirror);
        EXPECT_EQ(config.forbidStandby, c.standbyOn ? 1 : 0);
        EXPECT_FALSE(settings.applyEnabled());
    }
}

TEST(SecuritySettings, WithoutAReadySimOnlyStandbyIsApplied)
{
    Script script;
    AllConfig config{};
    config.pinRequestEnabled = 0;
    SecuritySettings settings(config, script.calls(), script.user());
    settings.setCardState(10);
    settings.shown();
    EXPECT_FALSE(settings.pinControlsEnabled());
    settings.standbyClicked(true);
    settings.apply();
    EXPECT_EQ(script.log, (Log{"save", "show 3033/1"}));
    EXPECT_EQ(config.forbidStandby, 1);
    // The SIM ready while the page is on show: the box shows the request the card was read with.
    config.pinRequestEnabled = 1;
    settings.setCardState(12);
    EXPECT_TRUE(settings.pinControlsEnabled());
    EXPECT_TRUE(settings.pinRequestShown());
}

TEST(SecuritySettings, ChangingThePinTakesEveryPath)
{
    struct Case {
        const char *name;
        Script script;
        Log log;
    };
    const Case cases[] = {
        {"the PIN state unread", {.answers = {{"getPinState", 7001}}}, {"show 3103/2"}},
        {"the SIM waits for its PIN", {.pinState = 1}, {}},
        {"with the PUK", {.typed = {"12345678", "4444", "4444"}, .pinState = 2},
         {"prompt 3097", "prompt 3090", "prompt 3091", "setPin 12345678 4444", "show 3104/1"}},
        {"no PUK typed", {.pinState = 2}, {"prompt 3097", "post 10"}},
        {"with a wrong PUK",
         {.typed = {"11111111", "4444", "4444"}, .answers = {{"setPin", 7305}}, .pinState = 2},
         {"prompt 3097", "prompt 3090", "prompt 3091", "setPin 11111111 4444", "show 3105/2",
          "post 10"}},
        {"the PIN request off", {.pinRequest = 0}, {"show 3118/1"}},
        {"the request unread", {.answers = {{"ifPinEnable", 7001}}}, {"show 3103/2"}},
        {"no old PIN typed", {}, {"prompt 3088", "show 3089/2"}},
        {"changed after a mismatch", {.typed = {"1234", "4444", "4445", "4444", "4444"}},
         {"prompt 3088", "prompt 3090", "prompt 3091", "show 3092/1", "prompt 3090",
          "prompt 3091", "changePin 1234 4444", "show 3102/1"}},
        {"the confirmation left empty", {.typed = {"1234", "4444"}},
         {"prompt 3088", "prompt 3090", "prompt 3091", "show 3094/1"}},
        {"a wrong old PIN", {.typed = {"1111", "4444", "4444"}, .answers = {{"changePin", 7305}}},
         {"prompt 3088", "prompt 3090", "prompt 3091", "changePin 1111 4444", "show 3100/2"}},
        {"blocked by a wrong old PIN",
         {.typed = {"1111", "4444", "4444"}, .answers = {{"changePin", 7306}}},
         {"prompt 3088", "prompt 3090", "prompt 3091", "changePin 1111 4444", "show 3100/2",
          "post 9"}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        AllConfig config{};
        SecuritySettings settings(config, c.script.calls(), c.script.user());
        settings.setCardState(12);
        settings.changePin();
        EXPECT_EQ(c.script.log, c.log);
    }
}

TEST(SecuritySettings, BackupAndRestoreNamesAndQuestions)
{
    struct Name {
        const char *chosen;
        const char *backup;
        const char *restore;
    };
    const Name names[] = {
        {"a", "a.dat", "a.dat"},
        {"/home/x/saved.dat", "/home/x/saved.dat", "/home/x/saved.dat"},
        // The ending is matched as written; a name of four characters is too short to have it.
        {"/home/x/saved.DAT", "/home/x/saved.DAT.dat", "/home/x/saved.DAT"},
        {".dat", ".dat.dat", ".dat"},
        // A dot in a folder's name is no extension.
        {"/home/x.y/saved", "/home/x.y/saved.dat", "/home/x.y/saved.dat"},
        {"/home/x/saved.bak", "/home/x/saved.bak.dat", "/home/x/saved.bak"},
    };
    for (const Name &name : names) {
        SCOPED_TRACE(name.chosen);
        EXPECT_EQ(SecuritySettings::BackupPath(name.chosen), name.backup);
        EXPECT_EQ(SecuritySettings::RestorePath(name.chosen), name.restore);
    }

    struct Case {
        const char *name;
        bool backUp;
        Script script;
        Log log;
    };
    const Case cases[] = {
        {"no file chosen", true, {}, {}},
        {"backed up", true, {.chosenFile = "/x/b"}, {"backUpTo /x/b.dat", "show 3114/1"}},
        {"an existing file kept", true, {.replace = false, .chosenFile = "/x/b", .exists = true},
         {"ask 3124"}},
        {"an existing file replaced", true, {.chosenFile = "/x/b", .exists = true},
         {"ask 3124", "backUpTo /x/b.dat", "show 3114/1"}},
        {"the backup failed", true, {.answers = {{"backUpTo", 7003}}, .chosenFile = "/x/b"},
         {"backUpTo /x/b.dat", "show 3115/1"}},
        {"restored", false, {.chosenFile = "/x/b", .exists = true},
         {"restoreFrom /x/b.dat", "reload", "show 3116/1"}},
        {"nothing to restore", false, {.chosenFile = "/x/b"}, {"show 3117/1"}},
        {"a file that is no store", false,
         {.answers = {{"restoreFrom", 7003}}, .chosenFile = "/x/b", .exists = true},
         {"restoreFrom /x/b.dat", "show 3117/1"}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        AllConfig config{};
        SecuritySettings settings(config, c.script.calls(), c.script.user());
        if (c.backUp)
            settings.backUp();
        else
            settings.restore();
        EXPECT_EQ(c.script.log, c.log);
    }
}

}  // namespace
