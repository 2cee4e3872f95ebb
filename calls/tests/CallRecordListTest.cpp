// The call records' logic over a store that behaves like the engine's: each call kept once with
// its duration, across a restart; the oldest dropped past the limit; failures that keep what
// was there; the rows' texts and their order.
#include "CallRecordList.h"

#include "lumacore/fake/FakeVoice.h"
#include "platform/ResStringManager.h"

#include <gtest/gtest.h>

using namespace calls;

namespace {

class CallRecordListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!platform::stringManager())
            platform::createStringManager();  // ./language of the program folder
    }
    void SetUp() override
    {
        lumacore_fake::reset();
        m_store = std::make_unique<FakeCallRecords>();
    }
    void TearDown() override { lumacore_fake::reset(); }

    static QString name(const QString &number) { return number == "555" ? "Ann" : QString(); }
    QStringList column(const CallRecordList &records, int column) const
    {
        QStringList texts;
        for (const CallRecordRow &row : records.rows())
            texts << row.texts[column];
        return texts;
    }

    std::unique_ptr<FakeCallRecords> m_store;
    const QDateTime m_start{QDate(2026, 12, 10), QTime(10, 0, 0)};
};

}  // namespace

TEST_F(CallRecordListTest, EachCallIsKeptOnceWithItsDurationAcrossARestart)
{
    {
        CallRecordList records(name);
        records.show(3);
        ASSERT_EQ(records.add(3, m_start, "555", m_start.addSecs(3725)), 0);
        ASSERT_EQ(records.add(1, m_start.addSecs(4000), "", m_start.addSecs(4000)), 0);
        EXPECT_EQ(records.rows().size(), 1u);  // the missed call is not on the dialled list
    }
    CallRecordList again(name);  // the program starts again
    again.show(3);
    ASSERT_EQ(again.rows().size(), 1u);
    EXPECT_EQ(again.rows()[0].texts,
              (QStringList{"Ann", "555", "2026-12-10  10:00:00", "01:02:05"}));
    again.show(1);
    ASSERT_EQ(again.rows().size(), 1u);
    EXPECT_EQ(again.rows()[0].texts[0], platform::GetLanguageString(5015));
    EXPECT_EQ(again.rows()[0].texts[3], "00:00:00");
    EXPECT_EQ(m_store->entries().size(), 2u);
}

TEST_F(CallRecordListTest, PastTheLimitTheOldestGoesAndTheListShownFollows)
{
    CallRecordList records(name);
    records.show(3);
    for (int i = 0; i < 51; ++i)
        ASSERT_EQ(records.add(3, m_start.addSecs(i * 60), QString::number(1000 + i),
                              m_start.addSecs(i * 60 + 1)),
                  0);
    EXPECT_EQ(records.rows().size(), 50u);
    EXPECT_EQ(records.countText(), "50/50 " + platform::GetLanguageString(7016));
    EXPECT_FALSE(column(records, 1).contains("1000"));
    EXPECT_EQ(records.rows().front().texts[1], "1050");  // newest first
}

TEST_F(CallRecordListTest, AFailingStoreKeepsTheRowsItCouldNotDelete)
{
    for (const char *number : {"100", "200", "300"})
        m_store->put(number, 2, 10, {2026, 12, 10, 9, 0, static_cast<uint16_t>(number[0] - '0')});
    CallRecordList records(name);
    records.show(2);
    ASSERT_EQ(column(records, 1), (QStringList{"300", "200", "100"}));
    EXPECT_TRUE(records.remove({2, 0, 2}));
    EXPECT_EQ(column(records, 1), QStringList{"200"});
    m_store->fail(MEC_ERR_ERROR);
    EXPECT_FALSE(records.remove({0}));
    EXPECT_FALSE(records.clear());
    EXPECT_EQ(column(records, 1), QStringList{"200"});
    m_store->fail(0);
    EXPECT_TRUE(records.clear());
    EXPECT_TRUE(records.rows().empty());
    records.show(2);
    EXPECT_TRUE(records.rows().empty());
}

TEST_F(CallRecordListTest, AColumnSortsFoldedToUpperCaseShorterFirstAndTurnsOnEachClick)
{
    const char *numbers[] = {"12", "555", "1", "2"};
    for (uint16_t i = 0; i < 4; ++i)
        m_store->put(numbers[i], 1, i, {2026, 12, 10, 9, 0, i});
    CallRecordList records([](const QString &number) {
        return number == "555" ? QString("bob") : number == "12" ? QString("Al") : QString("B");
    });
    records.show(1);
    EXPECT_EQ(column(records, 1), (QStringList{"2", "1", "555", "12"}));  // newest first
    records.sortBy(1);
    EXPECT_EQ(column(records, 0), (QStringList{"Al", "B", "B", "bob"}));
    records.sortBy(2);
    EXPECT_EQ(column(records, 1), (QStringList{"555", "2", "12", "1"}));
}

TEST_F(CallRecordListTest, TheButtonsFollowTheRowsAndTheSelection)
{
    CallRecordList records(name);
    records.show(1);
    EXPECT_FALSE(records.controls(0).clear);
    m_store->put("100", 1, 0, {});
    m_store->put("200", 1, 0, {});
    records.show(1);
    const CallRecordControls none = records.controls(0), one = records.controls(1),
                             two = records.controls(2);
    EXPECT_TRUE(none.clear && !none.dial && !none.sms && !none.remove);
    EXPECT_TRUE(one.dial && one.save && one.sms && one.remove);
    EXPECT_TRUE(!two.dial && !two.save && two.sms && two.remove);
    EXPECT_EQ(records.recipients({0, 1}), "100;200");
}
