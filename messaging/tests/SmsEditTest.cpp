// The composer screen driven as a user drives it: the checks before sending, the confirmation,
// the length limit while typing and pasting, and going back to the window it came from.
#include "UI_SmsEdit.h"

#include "FakeLumacore.h"
#include "FeatureRoles.h"
#include "SmsMessages.h"
#include "RecordingHost.h"
#include "SmsSendResults.h"

#include "logic/WindowPayloads.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/DialogSeam.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"

#include <QApplication>
#include <QKeyEvent>

#include <functional>

#include <gtest/gtest.h>

using platform::GetLanguageString;

namespace {

class CountingStore final : public SmsStoreCalls {
public:
    std::vector<std::string> sentTo;
    int saves = 0;
    std::function<void()> duringSend;
    uint16_t SendMessage(const char *, const char *recipients, uint8_t, bool, int *sent) override
    {
        if (duringSend)
            duringSend();
        sentTo.emplace_back(recipients);
        *sent = 2;
        return 0;
    }
    uint16_t SaveMessage(SmsItem *) override
    {
        ++saves;
        return 0;
    }
    uint16_t DeleteMessage(const SmsItem &) override { return 0; }
    QString NumberCharacters() override { return QStringLiteral("0123456789+"); }
};

class SmsEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();  // no engine state left by another test reaches the screen
        if (!platform::stringManager())
            platform::createStringManager();  // ./language of the program folder
        ASSERT_FALSE(GetLanguageString(2024).isEmpty());
        platform::setMessageBoxHandler([this](QWidget *, const QString &text, int, bool two) {
            boxes << text;
            return two ? answer : 1;
        });
        platform::setPauseHandler([this](int milliseconds) { pauses.push_back(milliseconds); });
    }
    void TearDown() override
    {
        platform::setMessageBoxHandler({});
        platform::setPauseHandler({});
    }
    void type(QKeyEvent::Type type, int key, const QString &text = {})
    {
        QKeyEvent press(type, key, Qt::NoModifier, text);
        QApplication::sendEvent(edit.MeContent, &press);
    }

    RecordingHost host;
    CountingStore store;
    TFrmSmsEdit edit{host, &store};
    QStringList boxes;
    std::vector<int> pauses;
    int answer = 1;
};

}  // namespace

TEST_F(SmsEditTest, NothingIsSentWithoutARecipientOrAValidNumber)
{
    edit.Open(SmsComposer::New, nullptr);
    edit.MeContent->setPlainText(QStringLiteral("Hello"));
    edit.EdRecvPer->setText(QStringLiteral(" ; "));
    edit.btnSentClick();
    EXPECT_EQ(boxes, QStringList{GetLanguageString(2034)});

    // An empty text is sent only when the user says so.
    boxes.clear();
    edit.MeContent->clear();
    edit.EdRecvPer->setText(QStringLiteral("123"));
    answer = 2;
    edit.btnSentClick();
    EXPECT_EQ(boxes, QStringList{GetLanguageString(2051)});
    EXPECT_TRUE(store.sentTo.empty());
}

TEST_F(SmsEditTest, ALongTextToThreeRecipientsIsConfirmedSentAndSummed)
{
    edit.Open(SmsComposer::New, nullptr);
    edit.EdRecvPer->setText(QStringLiteral("111;22x"));
    edit.MeContent->setPlainText(QString(161, u'a'));
    EXPECT_EQ(edit.SMSCharacterCount_Items->text(), GetLanguageString(2061) + "161/2");
    edit.btnSentClick();
    EXPECT_EQ(boxes, QStringList{QStringLiteral("22x:") + GetLanguageString(2041)});
    EXPECT_EQ(edit.EdRecvPer->selectedText(), edit.EdRecvPer->text());

    boxes.clear();
    edit.EdRecvPer->setText(QStringLiteral("111;222\uff1b333"));
    QStringList results;  // the counts, then a row per recipient
    platform::ScopedDialogResponder read([&](QDialog &dialog) {
        auto &shown = dynamic_cast<SmsSendResults &>(dialog);
        results << shown.LbCounts->text();
        for (int row = 0; row < shown.LvResults->topLevelItemCount(); ++row)
            results << shown.LvResults->topLevelItem(row)->text(0) + u' ' +
                           shown.LvResults->topLevelItem(row)->text(1);
        return std::optional<int>(QDialog::Accepted);
    });
    edit.btnSentClick();
    EXPECT_EQ(store.sentTo, (std::vector<std::string>{"111", "222", "333"}));
    EXPECT_EQ(boxes, QStringList{QStringLiteral("6") + GetLanguageString(2039)});
    ASSERT_EQ(results.size(), 4);
    EXPECT_EQ(results[0], GetLanguageString(2067) + ":6, " + GetLanguageString(1) + ":6, " +
                              GetLanguageString(2) + ":0");
    EXPECT_EQ(results[2], QStringLiteral("222 ") + GetLanguageString(2024).trimmed());
    EXPECT_EQ(pauses, (std::vector<int>{2000, 2000}));
    EXPECT_EQ(store.saves, 3);
    EXPECT_FALSE(host.busy);
    EXPECT_FALSE(edit.isVisible());
    QCoreApplication::sendPostedEvents(&host);
    EXPECT_EQ(host.posted, (std::vector<std::pair<uint32_t, uint32_t>>{
                               {WM_SMS_LIST_CHANGED, SMS_FOLDER_SENT},
                               {WM_SMS_LIST_CHANGED, SMS_FOLDER_DRAFTS}}));
}

TEST_F(SmsEditTest, APasteBeyondFiveMessagesIsCutOnceAndTypingStopsAtTheMaximum)
{
    edit.Open(SmsComposer::New, nullptr);
    edit.MeContent->setPlainText(QString(800, u'a'));
    EXPECT_EQ(edit.MeContent->toPlainText().size(), 765);
    EXPECT_EQ(boxes, QStringList{GetLanguageString(2043)});
    EXPECT_EQ(edit.SMSCharacterCount_Items->text(), GetLanguageString(2061) + "765/5");

    boxes.clear();
    type(QEvent::KeyPress, Qt::Key_B, QStringLiteral("b"));
    EXPECT_EQ(edit.MeContent->toPlainText().size(), 765);
    EXPECT_EQ(boxes, QStringList{GetLanguageString(2056)});
    type(QEvent::KeyPress, Qt::Key_Backspace);
    EXPECT_EQ(edit.MeContent->toPlainText().size(), 764);
    type(QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(edit.MeContent->toPlainText().size(), 764);
    type(QEvent::KeyPress, Qt::Key_B, QStringLiteral("b"));
    EXPECT_EQ(edit.MeContent->toPlainText().size(), 765);
    EXPECT_EQ(boxes.size(), 1);
}

TEST_F(SmsEditTest, ClosingShowsThePageShownBeforeAgain)
{
    for (int closed = 1; closed <= 2; ++closed) {
        edit.writeSmsTo(QStringLiteral("123;456"));
        EXPECT_EQ(edit.EdRecvPer->text(), QStringLiteral("123;456"));
        EXPECT_EQ(host.shownInPanel.back(), &edit);
        edit.btnCancelClick();
        EXPECT_EQ(host.previousPagesShown, closed);
    }
}

// The contact picker the host hands out for its role.
class ScriptedPicker : public QWidget,
                       public feature::FeatureWindow,
                       public feature::ContactPicker {
public:
    std::optional<QString> answer;
    std::optional<QString> pickRecipients() override { return answer; }
};

TEST_F(SmsEditTest, TheSearchButtonAddsWhatTheContactPickerChose)
{
    // Without a picker in the program the button does nothing.
    edit.writeSmsTo(QStringLiteral("111"));
    edit.btnSearchNumClick();
    EXPECT_EQ(edit.EdRecvPer->text(), QStringLiteral("111"));

    ScriptedPicker picker;
    host.peers.addWidget(picker, feature::plays<feature::ContactPicker>());
    const struct {
        const char *field;
        std::optional<QString> chosen;
        const char *expected;
    } cases[] = {
        {"", QStringLiteral("222;333"), "222;333"},
        {"111", QStringLiteral("222"), "111;222"},
        {"111", std::nullopt, "111"},  // cancelled
        {"111", QString(), "111"},     // nothing chosen
    };
    for (const auto &c : cases) {
        edit.EdRecvPer->setText(QString::fromLatin1(c.field));
        picker.answer = c.chosen;
        edit.btnSearchNumClick();
        EXPECT_EQ(edit.EdRecvPer->text(), QString::fromLatin1(c.expected)) << c.field;
    }
}

TEST_F(SmsEditTest, AMessageFromTheSimClosesWhenTheCardIsNoLongerReady)
{
    SmsItem item{};
    item.storage = SMS_STORE_SIM;
    platform::copyToField(item.text, sizeof item.text, "from the SIM");
    // Without the message it starts from, a forward is not opened at all.
    platform::WindowMessageEvent bare(WM_OPEN_COMPOSER, SmsComposer::Forward, 0);
    edit.messageArrived(bare);
    EXPECT_TRUE(host.shownInPanel.empty());
    platform::WindowMessageEvent open(WM_OPEN_COMPOSER, SmsComposer::Forward, 0,
                                      makePayload<WM_OPEN_COMPOSER>(item));
    edit.messageArrived(open);
    EXPECT_EQ(edit.MeContent->toPlainText(), QStringLiteral("from the SIM"));
    edit.cardStateChanged(kSimReady);
    EXPECT_TRUE(edit.btnSent->isEnabled());
    edit.cardStateChanged(kPukRequired);
    EXPECT_FALSE(edit.btnSent->isEnabled());
    EXPECT_FALSE(edit.composer().source().has_value());
}

TEST_F(SmsEditTest, WhatArrivesDuringARunDoesNotChangeIt)
{
    SmsItem item{};
    item.storage = SMS_STORE_SIM;
    platform::copyToField(item.number, sizeof item.number, "111");
    edit.Open(SmsComposer::Reply, &item);
    edit.EdRecvPer->setText(QStringLiteral("111;222"));
    edit.MeContent->setPlainText(QStringLiteral("Yes"));
    store.duringSend = [this] {
        edit.cardStateChanged(kPukRequired);
        edit.writeSmsTo(QStringLiteral("999"));
    };
    platform::ScopedDialogResponder accept([](QDialog &) { return std::optional<int>(1); });
    edit.btnSentClick();
    EXPECT_EQ(store.sentTo, (std::vector<std::string>{"111", "222"}));
    EXPECT_EQ(edit.lastSummary().succeeded, 2);
    EXPECT_FALSE(edit.composer().source().has_value());  // closed once the run ended
    EXPECT_EQ(host.shownInPanel, std::vector<QWidget *>{&edit});
}
