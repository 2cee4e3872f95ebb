// The message store on the real engine against the virtual card: the PC's list read again with
// the card's, and a long message that moves whole or not at all.
#include "CardEndToEnd.h"

#include "logic/BL_Sms.h"
#include "logic/SmsTransfer.h"

#include "codec/SmsPdu.h"

#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

class SmsEndToEndTest : public CardEndToEndTest {
protected:
    SmsEndToEndTest() : CardEndToEndTest("lumadial-sms-e2e") {}

    // The texts a storage of the card holds, looked at behind the AT interface.
    std::multiset<std::string> cardTexts(size_t storage)
    {
        std::multiset<std::string> texts;
        const virtualmodem::ModemState state = card->snapshot();
        for (const auto &[index, stored] : state.messageStorages[storage].messages) {
            auto message = codec::decodeSmsPduHex(stored.pdu);
            texts.insert(message ? message->userData.text : "?");
        }
        return texts;
    }

    static SmsItem draftOf(const char *text)
    {
        SmsItem item{};
        item.storage = SMS_STORE_PC;
        item.status = SMS_STATUS_UNSENT;
        item.folder = SMS_FOLDER_DRAFTS;
        std::strcpy(item.text, text);
        return item;
    }

    std::multiset<std::string> pcTexts()
    {
        std::multiset<std::string> texts;
        EXPECT_EQ(_MEC_LoadMessages(2), 0);
        _MEC_SMS_RECORD record{};
        record.storage = 2;
        for (uint16_t status = _MEC_GetFirstMessage(0, &record); status == 0;
             status = _MEC_GetNextMessage(&record)) {
            texts.insert(record.text);
            record = _MEC_SMS_RECORD{};
            record.storage = 2;
        }
        return texts;
    }
};

// Texts a phone in Turkey or Spain sends under its national shift tables, read on the SIM by
// the real engine and shown by the store as they were written.
TEST_F(SmsEndToEndTest, TurkishAndSpanishUnderTheirShiftTablesReadAsWritten)
{
    const struct {
        const char *from;
        const char *text;
        codec::GsmTables tables;
    } sent[] = {
        {"+905321234567", "\u0130yi ak\u015famlar Ay\u015fe, do\u011fru mu?", {1, 0}},
        {"+34612345678", "Ma\u00f1ana en C\u00e1diz: \u00e7a va, \u00bfvale?", {0, 2}},
    };
    for (const auto &message : sent) {
        virtualmodem::IncomingSms incoming;
        incoming.from = message.from;
        incoming.text = message.text;
        ASSERT_EQ(card->deliverSms(incoming), "");
    }
    // On the card they went under the tables, not in UCS-2.
    std::map<std::string, codec::GsmTables> tablesOnCard;
    const virtualmodem::ModemState state = card->snapshot();
    for (const auto &[index, stored] : state.messageStorages[0].messages) {
        auto message = codec::decodeSmsPduHex(stored.pdu);
        ASSERT_TRUE(message) << stored.pdu << ": " << message.error();
        EXPECT_EQ(message->coding().alphabet, codec::Alphabet::Gsm7);
        tablesOnCard[message->address.number] = message->userData.tables;
    }
    TBL_sms store;
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    std::map<std::string, std::string> shown;
    for (const SmsItem &item : store.Items(SMS_STORE_SIM))
        shown[item.number] = item.text;
    for (const auto &message : sent) {
        EXPECT_EQ(shown[message.from], message.text);
        EXPECT_EQ(tablesOnCard[message.from], message.tables) << message.from;
    }
}

TEST_F(SmsEndToEndTest, ReadingTheCardKeepsThePcListAsThePcHoldsIt)
{
    TBL_sms store;
    ASSERT_EQ(store.LoadMessages(SMS_STORE_PC), 0);  // as at start, empty
    for (const char *text : {"kept", "deleted"}) {
        SmsItem draft = draftOf(text);
        ASSERT_EQ(store.SaveMessage(&draft), 0);
    }
    for (const SmsItem &item : store.Items(SMS_STORE_PC)) {
        if (std::string(item.text) == "deleted") {
            ASSERT_EQ(store.DeleteMessage(item), 0);
        }
    }

    // Read again as at every return of the card: the saved one stays, the deleted one is gone.
    ASSERT_EQ(store.LoadMessages(SMS_STORE_CARD), 0);
    std::vector<SmsItem> items = store.Items(SMS_STORE_PC);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_STREQ(items[0].text, "kept");
    ASSERT_EQ(store.DeleteMessage(items[0]), 0);
    ASSERT_EQ(store.LoadMessages(SMS_STORE_CARD), 0);
    EXPECT_TRUE(store.Items(SMS_STORE_PC).empty());
    EXPECT_TRUE(pcTexts().empty());
}

TEST_F(SmsEndToEndTest, LongMessageMovesWholeOrNotAtAll)
{
    std::string text;
    for (int i = 0; text.size() < 400; ++i)
        text += "line " + std::to_string(i) + " of a long message ";
    virtualmodem::IncomingSms incoming;
    incoming.from = "+5491140005555";
    incoming.text = text;
    incoming.partsReversed = true;
    ASSERT_EQ(card->deliverSms(incoming), "");
    TBL_sms store;
    ASSERT_EQ(store.LoadMessages(SMS_STORE_SIM), 0);
    const auto items = store.Items(SMS_STORE_SIM);
    ASSERT_EQ(items.size(), 1u);
    ASSERT_EQ(SmsTransfer::PartIndexes(items[0]).size(), 3u);
    EXPECT_EQ(std::string(items[0].text), text);

    // Room for two parts only: the two written are taken back, the SIM keeps all three.
    ASSERT_TRUE(card->setMessageCapacity("ME", 2));
    EXPECT_TRUE(SmsCardMemoryFull(SmsTransfer::Move(store, items[0], SMS_STORE_CARD)));
    EXPECT_EQ(cardTexts(0).size(), 3u);
    EXPECT_TRUE(cardTexts(1).empty());

    ASSERT_TRUE(card->setMessageCapacity("ME", 10));
    EXPECT_EQ(SmsTransfer::Move(store, items[0], SMS_STORE_CARD), 0);
    EXPECT_TRUE(cardTexts(0).empty());
    EXPECT_TRUE(store.Items(SMS_STORE_SIM).empty());
    ASSERT_EQ(store.LoadMessages(SMS_STORE_CARD), 0);
    const auto moved = store.Items(SMS_STORE_CARD);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(std::string(moved[0].text), text);

    // Read, then deleted whole: every part leaves the card.
    EXPECT_EQ(moved[0].status, SMS_STATUS_UNREAD);
    ASSERT_EQ(store.SetMessageStatus(moved[0], true), 0);
    ASSERT_EQ(store.LoadMessages(SMS_STORE_CARD), 0);
    EXPECT_EQ(store.Items(SMS_STORE_CARD).at(0).status, SMS_STATUS_READ);
    ASSERT_EQ(store.DeleteMessage(store.Items(SMS_STORE_CARD).at(0)), 0);
    EXPECT_TRUE(store.Items(SMS_STORE_CARD).empty());
    EXPECT_TRUE(cardTexts(1).empty());
}

}  // namespace
