// The Internet page of the program's main window with the real engine against the virtual data
// card, dialled on the card's data port: a connection up and down with its one log entry, a dial
// the network refuses, the card pulled while on line, and the provider database's profile offered
// for a SIM whose operator no supplied profile serves, and the data budget's warning and limit.
#include "ProgramOnCard.h"
#include "UI_DataConnectForm.h"

#include "BudgetSettings.h"
#include "ConnectionLog.h"
#include "ProviderProfile.h"
#include "UsageHistory.h"
#include "config/BL_File.h"
#include "config/ConfigRecords.h"
#include "language/TextNumbers.h"
#include "platform/ras/RasApi.h"

using e2e::kWait;

namespace {

// Time that moves only when the test says so.
class SteppedClock final : public platform::Clock {
public:
    QDateTime localNow() const override { return m_start.addMSecs(m_tick); }
    uint32_t tickCount() const override { return m_tick; }
    void advance(uint32_t milliseconds) { m_tick += milliseconds; }

private:
    QDateTime m_start = QDateTime::currentDateTime();
    uint32_t m_tick = 1000;
};

}  // namespace

class ConnectionEndToEnd : public e2e::ProgramOnCard {
protected:
    void SetUp() override
    {
        ProgramOnCard::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(installDeliveredProfiles());
        FileStore().LoadDefaultProfile();
    }

    void TearDown() override
    {
        ProgramOnCard::TearDown();
        platform::setClock(nullptr);
    }

    void start(const std::string &imsi = {})
    {
        virtualmodem::CardOptions options = e2e::VirtualCardSetup::cardOptions(false);
        options.imsi = imsi;
        ASSERT_NO_FATAL_FAILURE(plugCard(options));
        ASSERT_NO_FATAL_FAILURE(startProgram());
        page = AppWindow<TData_connectform>();
        ASSERT_NE(page, nullptr);
    }

    // SIM ready, in service, and the page's button usable (its wait timer driven by hand).
    void readyToDial()
    {
        ASSERT_TRUE(waitForState(kSimReady));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                page->connection().WaitTimerTimer();
                return form->monitor().network().signalLevel() > 0 &&
                       page->ImButtonConnect->isEnabled();
            },
            kWait));
        platform::setClock(&clock);
    }

    bool waitForConnection(int state)
    {
        return QTest::qWaitFor([&] { return page->ConnectionState() == state; }, kWait);
    }

    // One second of the connection: the clock moves and the statistics timer fires.
    void oneSecond()
    {
        clock.advance(1000);
        page->connection().LinkDataUpdateTimer();
    }

    std::vector<CallEntry> logEntries()
    {
        ConnectionLog log;
        log.Reload();
        std::vector<CallEntry> entries;
        for (const ConnectionLogRow &row : log.rows())
            entries.push_back(row.entry);
        return entries;
    }

    SteppedClock clock;
    TData_connectform *page = nullptr;
};

TEST_F(ConnectionEndToEnd, ConnectSeeTrafficDisconnectOneLogEntry)
{
    ASSERT_NO_FATAL_FAILURE(start());
    readyToDial();
    page->ImButtonConnectClick();
    ASSERT_TRUE(waitForConnection(kConnectionConnected));
    EXPECT_TRUE(card->dataCallOnline());
    EXPECT_EQ(page->ImButtonConnect->text(), e2e::text(6017));
    EXPECT_TRUE(page->DataTransportLabel->isVisibleTo(page));

    // Traffic both ways over the card's data port, seen on the page with its rates.
    const uint32_t connectedAt = clock.tickCount();
    const TrafficMeter &meter = page->connection().traffic();
    const auto flowing = [&] {
        return meter.totalSent() > 0 && meter.totalReceived() > 0 && meter.sendRate() > 0 &&
               meter.receiveRate() > 0;
    };
    for (int second = 0; second < 50 && !flowing(); ++second) {
        QTest::qWait(100);
        oneSecond();
    }
    ASSERT_TRUE(flowing());
    EXPECT_EQ(
        page->DataTransportLabel->text(),
        e2e::text(6020) + QString::asprintf("%3.2f", meter.sentKilobytes()) + e2e::text(6004));
    EXPECT_EQ(page->DataRxRateLabel->text(),
              e2e::text(6024) + QString::asprintf("%3.2f", meter.receiveRate()) + e2e::text(6022));
    EXPECT_FALSE(page->StatusText().isEmpty());

    const uint32_t seconds = 75;
    clock.advance(connectedAt + seconds * 1000 - 1000 - clock.tickCount());
    oneSecond();
    const uint64_t sent = meter.totalSent();
    const uint64_t received = meter.totalReceived();
    page->ImButtonConnectClick();
    ASSERT_TRUE(waitForConnection(kConnectionIdle));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !card->dataCallOnline(); }, kWait));
    EXPECT_TRUE(page->ImButtonConnect->isEnabled());
    EXPECT_EQ(page->ImButtonConnect->text(), e2e::text(6016));

    const std::vector<CallEntry> entries = logEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].kind, ConnectionLog::kKind);
    EXPECT_EQ(entries[0].duration, seconds);
    EXPECT_EQ(entries[0].bytesSent, double(sent));
    EXPECT_EQ(entries[0].bytesReceived, double(received));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();

    // Idle again: more seconds pass and nothing more is logged.
    clock.advance(10000);
    oneSecond();
    ASSERT_TRUE(settle());
    EXPECT_EQ(logEntries().size(), 1u);
}

TEST_F(ConnectionEndToEnd, RefusedDialIsExplainedAndNotLogged)
{
    ASSERT_NO_FATAL_FAILURE(start());
    readyToDial();
    ASSERT_EQ(card->control("data refuse on"), "OK");
    page->ImButtonConnectClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.isEmpty(); }, kWait));
    EXPECT_EQ(boxes,
              QStringList{QString::fromStdString(page->dialUp().errorString(ras::kNoCarrier))});
    EXPECT_EQ(page->ConnectionState(), kConnectionIdle);
    // The clean-up finds the dial over and removes its phonebook entry at its first look.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !page->connection().CheckConnStatus.isActive(); }, 1000));
    EXPECT_TRUE(logEntries().empty());

    // The same card takes the next dial once it no longer refuses.
    ASSERT_EQ(card->control("data refuse off"), "OK");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            page->connection().EnableConnBtnTimer();
            return page->ImButtonConnect->isEnabled();
        },
        kWait));
    page->ImButtonConnectClick();
    ASSERT_TRUE(waitForConnection(kConnectionConnected));
}

TEST_F(ConnectionEndToEnd, CardPulledWhileConnectedEndsTheConnectionAndLogsIt)
{
    ASSERT_NO_FATAL_FAILURE(start());
    readyToDial();
    page->ImButtonConnectClick();
    ASSERT_TRUE(waitForConnection(kConnectionConnected));
    for (int second = 0; second < 30; ++second)
        oneSecond();

    ASSERT_TRUE(card->removeCard());
    ASSERT_TRUE(waitForConnection(kConnectionIdle));
    ASSERT_TRUE(waitForState(kCardAbsent));
    EXPECT_FALSE(page->ImButtonConnect->isEnabled());
    std::vector<ras::ActiveConnection> active;
    ASSERT_EQ(page->dialUp().enumConnections(active), ras::kSuccess);
    EXPECT_TRUE(active.empty());
    const std::vector<CallEntry> entries = logEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].duration, 30u);

    // Back in, ready again, and dialled again.
    ASSERT_TRUE(card->insertCard());
    readyToDial();
    page->ImButtonConnectClick();
    EXPECT_TRUE(waitForConnection(kConnectionConnected));
}

// A SIM of T-Mobile Germany (MCC 262, MNC 01): no supplied profile serves it.
constexpr char kGermanImsi[] = "262011234567890";

TEST_F(ConnectionEndToEnd, ProviderProfileOfferedOnceAndMadeDefaultWhenTaken)
{
    if (!QFile::exists(DefaultProviderDatabasePath()))
        GTEST_SKIP() << "no provider database installed";
    const std::optional<ProviderProfile> provider =
        FindProviderProfile(DefaultProviderDatabasePath(), QString::fromLatin1(kGermanImsi));
    ASSERT_TRUE(provider.has_value());
    const ProfileRecord offered = provider->record();
    const std::string before(ProfileName(FileStore().defaultProfile()));

    // Declined: the default stays, and the card coming back in the same run is not asked again.
    boxAnswer = 2;
    ASSERT_NO_FATAL_FAILURE(start(kGermanImsi));
    ASSERT_TRUE(waitForState(kSimReady));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.isEmpty(); }, kWait));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(provider->apn)) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].startsWith(e2e::text(text::kOfferProviderProfile).section('"', 0, 0)));
    EXPECT_EQ(ProfileName(FileStore().defaultProfile()), before);
    ASSERT_TRUE(card->removeCard());
    ASSERT_TRUE(waitForState(kCardAbsent));
    ASSERT_TRUE(card->insertCard());
    ASSERT_TRUE(waitForState(kSimReady));
    ASSERT_TRUE(settle());
    EXPECT_EQ(boxes.size(), 1);
    DestroyAppWindows();
    card.reset();

    // A new run: asked again, taken, and it is the default the page dials.
    boxes.clear();
    boxAnswer = 1;
    ASSERT_NO_FATAL_FAILURE(start(kGermanImsi));
    ASSERT_TRUE(waitForState(kSimReady));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.isEmpty(); }, kWait));
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_EQ(ProfileName(FileStore().defaultProfile()), ProfileName(offered));
    EXPECT_EQ(page->connection().profileName(), std::string(ProfileName(offered)));
    EXPECT_TRUE(page->DataHintLabel->text().contains(provider->providerName));
    // The card dials with the new APN from now on, not with the one it had before.
    EXPECT_EQ(card->snapshot().contexts[1].apn, provider->apn.toStdString());
}

TEST_F(ConnectionEndToEnd, SupplyingOperatorsSimIsNotOfferedAProfile)
{
    // The card's own SIM, of an operator a supplied profile serves.
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitForState(kSimReady));
    ASSERT_TRUE(settle());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('|').toStdString();
}

TEST_F(ConnectionEndToEnd, BudgetWarnsAtHalfThenEndsTheLinkAtTheLimitAndAsksBeforeTheNextDial)
{
    // A plan of 2 MB, warned at half of it, ended at the limit: as the budget page saves it.
    BudgetSettings budget;
    budget.home = *BudgetLimit::fromUnit(2, BudgetUnit::Megabytes);
    budget.warningPercent = 50;
    budget.disconnectAtLimit = true;
    ASSERT_TRUE(budget.save(BudgetSettings::pathIn(FileStore().folder())));
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(page->budget().watch().settings(), budget);
    card->setDataStreamBytesPerTick(32 * 1024);  // 320 KB a second
    readyToDial();
    page->ImButtonConnectClick();
    ASSERT_TRUE(waitForConnection(kConnectionConnected));

    const QString warning = e2e::text(text::kBudgetWarningHome).section('%', 0, 0);
    const QString limit = e2e::text(text::kBudgetLimitHome).section('%', 0, 0);
    const TrafficMeter &meter = page->connection().traffic();
    uint64_t usedAtWarning = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            oneSecond();
            if (!usedAtWarning && !boxes.isEmpty())
                usedAtWarning = meter.totalReceived() + meter.totalSent();
            return boxes.size() >= 2 || page->ConnectionState() != kConnectionConnected;
        },
        60'000));
    ASSERT_TRUE(waitForConnection(kConnectionIdle));
    ASSERT_EQ(boxes.size(), 2) << boxes.join('|').toStdString();
    EXPECT_TRUE(boxes[0].startsWith(warning)) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[1].startsWith(limit)) << boxes[1].toStdString();
    EXPECT_TRUE(boxes[1].endsWith(e2e::text(text::kBudgetDisconnected)));
    EXPECT_GE(usedAtWarning, budget.home.bytes / 2);
    EXPECT_LT(usedAtWarning, budget.home.bytes);
    EXPECT_EQ(form->monitor().tray().budgetNotices(), boxes);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !card->dataCallOnline(); }, kWait));
    // All of it is in the store, at home, today.
    const UsageMonth used = UsageHistory::currentPeriod(clock.localNow().date(), 1);
    EXPECT_GE(used.home.total(), budget.home.bytes);
    EXPECT_EQ(used.roaming.total(), 0u);

    // The next dial waits for the user: declined, nothing is dialled.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            page->connection().EnableConnBtnTimer();
            return page->ImButtonConnect->isEnabled();
        },
        kWait));
    boxAnswer = 2;
    page->ImButtonConnectClick();
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes[2], e2e::text(text::kBudgetConfirmDial));
    EXPECT_EQ(page->ConnectionState(), kConnectionIdle);
    EXPECT_FALSE(card->dataCallOnline());
    // Confirmed, it dials, and the limit does not end it again this period.
    boxAnswer = 1;
    page->ImButtonConnectClick();
    ASSERT_TRUE(waitForConnection(kConnectionConnected));
    for (int second = 0; second < 3; ++second)
        oneSecond();
    EXPECT_EQ(page->ConnectionState(), kConnectionConnected);
    EXPECT_EQ(boxes.size(), 4);
}
