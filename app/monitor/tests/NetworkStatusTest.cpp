// The network, operator and signal shown: bars, service texts, the no-service count, the
// operator record and the SIM's provider name.
#include "MonitorTestSupport.h"

#include "FakeLumacore.h"
#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Sms.h"
#include "platform/CodePage.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstring>

using lumacore_fake::countOf;
using lumacore_fake::onCall;
using lumacore_fake::setResult;

TEST_F(MonitorTest, SignalValueMapsToBarsOnlyInService)
{
    struct Case {
        int csq;
        bool inService;
        int bars;
    };
    const Case cases[] = {
        {-1, true, 0}, {0, true, 0},  {2, true, 0},  {3, true, 1},   {6, true, 1},  {7, true, 2},
        {9, true, 2},  {10, true, 3}, {12, true, 3}, {13, true, 4},  {15, true, 4}, {16, true, 5},
        {31, true, 5}, {32, true, 0}, {99, true, 0}, {20, false, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(NetworkStatus::signalBars(c.csq, c.inService), c.bars) << c.csq;
}

TEST_F(MonitorTest, SignalPollsQuicklyFourTimesThenSlowly)
{
    scriptHealthyCard();
    int csq = 2;
    MEC_STATUS status = MEC_OK;
    onCall(&_MEC_GetCsq, [&](uint8_t *out) -> MEC_STATUS {
        *out = uint8_t(csq);
        return status;
    });
    walkFrom(kCardInserted);  // polls once in state 11
    EXPECT_EQ(monitor->network().Timer_RSSI.interval(), 1500);
    EXPECT_EQ(view.signalBars, 0);
    EXPECT_FALSE(monitor->network().signalPresent());
    EXPECT_EQ(view.trayImage, kImageNoSignal);

    csq = 3;
    monitor->network().Timer_RSSITimer();
    EXPECT_EQ(view.signalBars, 1);
    EXPECT_TRUE(monitor->network().signalPresent());
    EXPECT_EQ(view.trayImage, kImageInService);
    monitor->network().Timer_RSSITimer();
    EXPECT_EQ(monitor->network().Timer_RSSI.interval(), 1500);
    status = MEC_ERR_TIMEOUT;  // a failed poll counts as no signal
    monitor->network().Timer_RSSITimer();
    EXPECT_EQ(monitor->network().Timer_RSSI.interval(), 5000);
    EXPECT_EQ(view.signalBars, 0);
}

TEST_F(MonitorTest, NoServiceNetworkShowsNoBars)
{
    scriptHealthyCard();
    onCall(&_MEC_GetNetworkPara, [](_MEC_NETWORK_PARA *para) -> MEC_STATUS {
        std::strcpy(para->networkType, "NO SERVICE");
        para->serviceDomain = 7;
        return MEC_OK;
    });
    walkFrom(kCardInserted);
    EXPECT_EQ(view.networkType, text(1082));
    EXPECT_FALSE(monitor->network().inService());
    EXPECT_EQ(view.signalBars, 0);
    EXPECT_EQ(view.domain, QString());
}

TEST_F(MonitorTest, ServiceTextUpdatesTheNetworkType)
{
    struct Case {
        std::string text;
        QString shown;  // network type after it
        bool inService;
        bool timer;  // Timer_NoService runs
    };
    const Case cases[] = {
        {"HSDPA", "HSDPA", true, false},
        {"Limited Service", text(1083), false, false},
        {"No Service", "UMTS", false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        scriptHealthyCard();
        walkFrom(kCardInserted);
        send(platform::WM_SERVICE_TEXT, 0, 0, std::make_unique<platform::TextBlock>(c.text));
        EXPECT_EQ(view.networkType, c.shown);
        EXPECT_EQ(monitor->network().inService(), c.inService);
        EXPECT_EQ(monitor->network().Timer_NoService.isActive(), c.timer);
        monitor->applyCardState(kCardAbsent);
    }
}

TEST_F(MonitorTest, NoServiceTwiceStartsOneCountAndRereadsAfterElevenTicks)
{
    scriptHealthyCard();
    walkFrom(kCardInserted);
    lumacore_fake::clearCalls();

    send(platform::WM_SERVICE_TEXT, 0, 0, std::make_unique<platform::TextBlock>("No Service"));
    ASSERT_TRUE(monitor->network().Timer_NoService.isActive());
    EXPECT_EQ(monitor->network().Timer_NoService.interval(), 1000);
    for (int tick = 0; tick < 5; ++tick)
        monitor->network().Timer_NoServiceTimer();
    EXPECT_EQ(monitor->network().noServiceTicks(), 5);
    send(platform::WM_SERVICE_TEXT, 0, 0, std::make_unique<platform::TextBlock>("No Service"));
    EXPECT_EQ(monitor->network().noServiceTicks(),
              5);  // the count goes on, it does not start again
    for (int tick = 0; tick < 5; ++tick)
        monitor->network().Timer_NoServiceTimer();
    EXPECT_EQ(countOf("_MEC_GetNetworkPara"), 0);
    monitor->network().Timer_NoServiceTimer();
    EXPECT_EQ(countOf("_MEC_GetNetworkPara"), 1);
    EXPECT_EQ(countOf("_MEC_GetZdonPara"), 1);
    EXPECT_FALSE(monitor->network().Timer_NoService.isActive());
    EXPECT_EQ(monitor->network().noServiceTicks(), 0);
    EXPECT_TRUE(monitor->network().inService());  // the card answered "UMTS" again
}

TEST_F(MonitorTest, NoServiceFromTheTimerAlsoAcceptsTheMixedCaseText)
{
    forceState(kSimReady);
    onCall(&_MEC_GetNetworkPara, [](_MEC_NETWORK_PARA *para) -> MEC_STATUS {
        std::strcpy(para->networkType, "No Service");
        return MEC_OK;
    });
    send(platform::WM_SERVICE_TEXT, 0, 0, std::make_unique<platform::TextBlock>("UMTS"));
    EXPECT_TRUE(monitor->network().inService());
    send(platform::WM_SERVICE_TEXT, 0, 0, std::make_unique<platform::TextBlock>("No Service"));
    for (int tick = 0; tick < 11; ++tick)
        monitor->network().Timer_NoServiceTimer();
    EXPECT_EQ(view.networkType, text(1082));
    EXPECT_FALSE(monitor->network().inService());
}

TEST_F(MonitorTest, OperatorRecordShowsNameRoamingAndDomain)
{
    struct Case {
        const char *name;
        const char *domain;
        const char *roaming;
        QString shownName;  // empty: label unchanged ("Before")
        QString shownDomain;
        QString roamingMark;
        bool noServiceTimer;
    };
    const Case cases[] = {
        {"Movara", "CS_PS", "ROAM_OFF", "Movara", "P C", "", false},
        {"China Mobile", "CS_ONLY", "ROAM_ON", text(1077), "C", "R", false},
        {"China Unicom", "PS_ONLY", "", text(1078), "P", "", false},
        {"Unknown PLMN", "other", "ROAM_ON", text(1175), "before", "R", false},
        {"", "CS_PS", "ROAM_OFF", "", "P C", "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        forceState(kSimReady);
        monitor->network().Timer_NoService.stop();
        view.operatorName = "Before";
        view.domain = "before";
        view.roaming = "x";
        _MEC_ZDON_RECORD record{};
        std::strcpy(record.operatorName, c.name[0] != 0 ? c.name : text(1084).toUtf8().constData());
        std::strcpy(record.serviceDomain, c.domain);
        std::strcpy(record.roaming, c.roaming);
        send(platform::WM_OPERATOR_RECORD, 0, 0,
             std::make_unique<platform::ByteBlock>(&record, sizeof record));
        EXPECT_EQ(view.operatorName,
                  c.shownName.isEmpty() ? QStringLiteral("Before") : c.shownName);
        EXPECT_EQ(view.domain, c.shownDomain);
        EXPECT_EQ(view.roaming, c.roamingMark);
        // The "no operator" name waits for the network to settle, then reads it again.
        EXPECT_EQ(monitor->network().Timer_NoService.isActive(), c.name[0] == 0);
    }
}

TEST_F(MonitorTest, OperatorLabelPrefersTheSimsProviderName)
{
    struct Case {
        const char *network;
        std::string provider;
        QString shown;
    };
    const Case cases[] = {
        {"Movara", "Brisa", "Brisa"},
        {"Movara", "", "Movara"},  // no provider name on the SIM
        {"Not Found", "Brisa", text(1084)},
        {"", "Brisa", text(1084)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.network);
        onCall(&_MEC_GetZdonPara, [c](_MEC_ZDON_PARA *para) -> MEC_STATUS {
            std::strcpy(para->operatorName, c.network);
            std::strcpy(para->roaming, "ROAM_ON");
            return MEC_OK;
        });
        SetServiceProviderName(c.provider);
        setResult("_MEC_TestSimState", MEC_ERR_ERROR);
        forceState(kCardRegistered);
        EXPECT_EQ(monitor->network().operatorText(), c.shown);
        monitor->applyCardState(kCardAbsent);
    }
    SetServiceProviderName("");
}

TEST_F(MonitorTest, ProviderNameIsReadFromTheSimTenSecondsAfterTheModeAndRetried)
{
    scriptHealthyCard();
    walkFrom(kCardInserted);
    ASSERT_TRUE(monitor->network().TimerSpn.isActive());
    EXPECT_EQ(monitor->network().TimerSpn.interval(), 10000);

    setResult("_SIMOperate", MEC_ERR_ERROR);
    monitor->network().TimerSpnTimer();
    EXPECT_TRUE(monitor->network().TimerSpn.isActive());
    EXPECT_EQ(view.operatorName, QStringLiteral("Movara"));

    onCall(&_SIMOperate,
           [](uint8_t, uint16_t, uint8_t, uint8_t, uint8_t, char *response,
              uint32_t size) -> MEC_STATUS {
               std::strncpy(response, "Brisa", size);
               return MEC_OK;
           });
    monitor->network().TimerSpnTimer();
    EXPECT_FALSE(monitor->network().TimerSpn.isActive());
    EXPECT_EQ(view.operatorName, QStringLiteral("Brisa"));
    EXPECT_EQ(ServiceProviderName(), "Brisa");
    EXPECT_EQ(lumacore_fake::argumentsOf("_SIMOperate").back().substr(0, 19),
              "176, 28486, 0, 1, 1");
    SetServiceProviderName("");
}
