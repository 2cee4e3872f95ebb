// Sending one text to several recipients and saving drafts, against a store that answers as
// the test says: the counts, the copies kept on the PC, the opened draft, the stop button.
#include "SmsComposer.h"

#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <string>
#include <vector>

using platform::GetLanguageString;

namespace {

class FakeStore final : public SmsStoreCalls {
public:
    struct Answer {
        uint16_t code = 0;
        int sent = -1;  // -1: every part
    };
    std::map<std::string, Answer> answers;  // by recipient
    int parts = 1;
    uint16_t saveCode = 0;
    std::vector<std::string> calls;  // "send 111", "save 111 3", "delete 7", in order
    std::vector<SmsItem> saved;

    uint16_t SendMessage(const char *, const char *recipients, uint8_t storage, bool saveCopy,
                         int *sent) override
    {
        EXPECT_EQ(storage, SMS_STORE_PC);
        EXPECT_FALSE(saveCopy);  // the composer keeps its own copies
        calls.push_back("send " + std::string(recipients));
        const Answer answer = answers[recipients];
        *sent = answer.sent < 0 ? parts : answer.sent;
        return answer.code;
    }
    uint16_t SaveMessage(SmsItem *item) override
    {
        calls.push_back("save " + std::string(item->number) + " " + std::to_string(item->status));
        if (saveCode == 0)
            saved.push_back(*item);
        return saveCode;
    }
    uint16_t DeleteMessage(const SmsItem &item) override
    {
        calls.push_back("delete " + std::to_string(item.storageIndex));
        return 0;
    }
    QString NumberCharacters() override { return QStringLiteral("0123456789"); }
};

SmsItem storedItem(uint8_t storage, uint8_t status, const char *number, const char *text)
{
    SmsItem item{};
    item.recordSize = sizeof item;
    item.storageIndex = 7;
    item.storage = storage;
    item.status = status;
    platform::copyToField(item.number, sizeof item.number, number);
    platform::copyToField(item.text, sizeof item.text, text);
    return item;
}

class SmsComposerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!platform::stringManager())
            platform::createStringManager();  // ./language of the program folder
        ASSERT_FALSE(GetLanguageString(2041).isEmpty());
    }
    SendSummary send(const QStringList &recipients, int parts = 1)
    {
        store.parts = parts;
        SendCallbacks callbacks;
        callbacks.show = [this](const QString &line) { shown << line; };
        callbacks.stopRequested = [this] { return stopAfter >= 0 && sends() >= stopAfter; };
        callbacks.wait = [this](int milliseconds) { waits.push_back(milliseconds); };
        return composer.Send(QStringLiteral("Hello"), recipients, parts, callbacks);
    }
    int sends() const
    {
        return int(std::count_if(store.calls.begin(), store.calls.end(),
                                 [](const std::string &call) { return call.starts_with("send"); }));
    }

    FakeStore store;
    SmsComposer composer{store};
    QStringList shown;
    std::vector<int> waits;
    int stopAfter = -1;
};

}  // namespace

TEST_F(SmsComposerTest, OpeningFillsTheFieldsTheModeAsksFor)
{
    const SmsItem item = storedItem(SMS_STORE_SIM, SMS_STATUS_READ, "555", "Hi there");
    const struct {
        int mode;
        QString recipients;
        QString text;
    } cases[] = {
        {SmsComposer::New, {}, {}},
        {SmsComposer::OpenStored, QStringLiteral("555"), QStringLiteral("Hi there")},
        {SmsComposer::Reply, QStringLiteral("555"), {}},
        {SmsComposer::Forward, {}, QStringLiteral("Hi there")},
        {9, {}, {}},
    };
    for (const auto &c : cases) {
        composer.Open(c.mode, &item);
        EXPECT_EQ(composer.initialRecipients(), c.recipients) << c.mode;
        EXPECT_EQ(composer.initialText(), c.text) << c.mode;
        EXPECT_EQ(composer.sourceOnCard(), c.mode >= 2 && c.mode <= 4) << c.mode;
    }
    composer.Close();
    EXPECT_EQ(composer.mode(), SmsComposer::New);
    EXPECT_FALSE(composer.source().has_value());
}

TEST_F(SmsComposerTest, OneInvalidRecipientOfThreeGetsADraftAndTheOthersAreSent)
{
    store.answers["222"] = {4207, 0};
    const SendSummary summary = send({"111", "222", "333"});
    EXPECT_EQ(store.calls, (std::vector<std::string>{"send 111", "save 111 3", "send 222",
                                                     "save 222 4", "send 333", "save 333 3"}));
    EXPECT_EQ(summary.total, 3);
    EXPECT_EQ(summary.succeeded, 2);
    EXPECT_EQ(summary.failed, 1);
    ASSERT_EQ(summary.outcomes.size(), 3u);
    EXPECT_FALSE(summary.outcomes[1].sent);
    EXPECT_EQ(summary.outcomes[1].result, GetLanguageString(2041));
    EXPECT_EQ(shown, (QStringList{GetLanguageString(2066) + "111," + GetLanguageString(2057),
                                  GetLanguageString(2066) + "111," + GetLanguageString(2024),
                                  GetLanguageString(2066) + "222," + GetLanguageString(2057),
                                  "222:" + GetLanguageString(2041),
                                  GetLanguageString(2066) + "333," + GetLanguageString(2057),
                                  GetLanguageString(2066) + "333," + GetLanguageString(2024)}));
    // The failure is left on screen for a while, and each recipient waits for the one before.
    EXPECT_EQ(waits, (std::vector<int>{2000, 2000, 2000}));
    EXPECT_EQ(store.saved[1].folder, SMS_FOLDER_DRAFTS);
    EXPECT_EQ(store.saved[2].folder, SMS_FOLDER_SENT);
    EXPECT_EQ(platform::fieldText(store.saved[2].text, sizeof store.saved[2].text), "Hello");
}

TEST_F(SmsComposerTest, APartThatFailsCountsAsFailedAndTheOthersAsSucceeded)
{
    store.answers["222"] = {20500, 1};
    const SendSummary summary = send({"111", "222"}, 2);
    EXPECT_EQ(summary.total, 4);
    EXPECT_EQ(summary.succeeded, 3);
    EXPECT_EQ(summary.failed, 1);
    // The failure stays on screen (the last line before the copy goes to the drafts).
    EXPECT_EQ(shown.back(), GetLanguageString(2066) + "222," + GetLanguageString(2065));
    EXPECT_EQ(summary.CountsText(), GetLanguageString(2067) + ":4, " + GetLanguageString(1) +
                                        ":3, " + GetLanguageString(2) + ":1");
}

TEST_F(SmsComposerTest, AnOpenedPcDraftGoesAfterTheFirstSuccessfulSendOnly)
{
    const SmsItem draft = storedItem(SMS_STORE_PC, SMS_STATUS_UNSENT, "111;222", "Hello");
    composer.Open(SmsComposer::OpenStored, &draft);
    store.answers["000"] = {4207, 0};
    const SendSummary summary = send({"000", "111", "222"});
    EXPECT_EQ(store.calls,
              (std::vector<std::string>{"send 000", "save 000 4", "send 111", "delete 7",
                                        "save 111 3", "send 222", "save 222 3"}));
    EXPECT_TRUE(summary.storeChanged);

    // A message opened from the sent folder or from the SIM stays where it is.
    for (const SmsItem &kept : {storedItem(SMS_STORE_PC, SMS_STATUS_SENT, "1", "x"),
                                storedItem(SMS_STORE_SIM, SMS_STATUS_UNSENT, "1", "x")}) {
        store.calls.clear();
        composer.Open(SmsComposer::OpenStored, &kept);
        send({"111"});
        EXPECT_EQ(store.calls, (std::vector<std::string>{"send 111", "save 111 3"}));
    }
}

TEST_F(SmsComposerTest, StopEndsTheRunBetweenTwoRecipients)
{
    stopAfter = 1;
    const SendSummary summary = send({"111", "222", "333"});
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(sends(), 1);
    EXPECT_EQ(summary.total, 1);
    EXPECT_EQ(summary.outcomes.size(), 1u);
}

TEST_F(SmsComposerTest, AFullPcStoreStillSendsAndSaysTheCopyWasNotKept)
{
    store.saveCode = 4204;
    const SendSummary summary = send({"111"});
    EXPECT_EQ(summary.succeeded, 1);
    EXPECT_FALSE(summary.storeChanged);
    EXPECT_EQ(shown.back(), GetLanguageString(2066) + "111," + GetLanguageString(2064) + ":" +
                                GetLanguageString(2063));
    EXPECT_TRUE(summary.outcomes[0].sent);
    EXPECT_TRUE(summary.outcomes[0].result.endsWith(GetLanguageString(2063)));
}

TEST_F(SmsComposerTest, SavingADraft)
{
    // No recipients: one draft with an empty number.
    EXPECT_TRUE(composer.SaveDraft(QStringLiteral("note"), {}).error.isEmpty());
    EXPECT_EQ(store.calls, (std::vector<std::string>{"save  4"}));
    EXPECT_EQ(store.saved[0].folder, SMS_FOLDER_DRAFTS);

    // An opened draft is replaced: removed only once the new one is stored, so a save that
    // fails leaves it where it was.
    const SmsItem draft = storedItem(SMS_STORE_PC, SMS_STATUS_UNSENT, "111", "old");
    composer.Open(SmsComposer::OpenStored, &draft);
    store.calls.clear();
    store.saveCode = 4204;
    const DraftOutcome full = composer.SaveDraft(QStringLiteral("new"), {"111", "222"});
    EXPECT_EQ(full.error, GetLanguageString(2064) + ":" + GetLanguageString(2063));
    EXPECT_EQ(store.calls, (std::vector<std::string>{"save 111 4"}));

    store.calls.clear();
    store.saveCode = 0;
    EXPECT_TRUE(composer.SaveDraft(QStringLiteral("new"), {"111", "222"}).storeChanged);
    EXPECT_EQ(store.calls, (std::vector<std::string>{"save 111 4", "delete 7", "save 222 4"}));

    store.saveCode = 4207;
    EXPECT_EQ(composer.SaveDraft(QStringLiteral("x"), {"9"}).error,
              GetLanguageString(2064) + ":9," + GetLanguageString(2041));
}
