// The card state machine against the fake engine: the walk to SIM ready, each state's entry
// actions, repeated states, the retries and the network, operator and signal reads.
#include "MonitorTestSupport.h"

#include "FakeLumacore.h"
#include "config/BL_File.h"
#include "logic/BL_Base.h"

#include <QCoreApplication>
#include <QFile>

#include <cstring>
#include <functional>
#include <string>

using lumacore_fake::countOf;
using lumacore_fake::onCall;
using lumacore_fake::setResult;

namespace {

using CardStates = std::vector<int>;

}  // namespace

TEST_F(MonitorTest, HealthyCardWalksFromInsertedToSimReady)
{
    scriptHealthyCard();
    walkFrom(kCardInserted);

    EXPECT_EQ(appliedStates(), (CardStates{2, 3, 6, 11, 12}));
    EXPECT_EQ(monitor->cardState(), kSimReady);
    EXPECT_EQ(view.networkType, QStringLiteral("UMTS"));
    EXPECT_EQ(view.domain, QStringLiteral("P C"));
    EXPECT_EQ(view.operatorName, QStringLiteral("Movara"));
    EXPECT_EQ(view.signalBars, 5);
    EXPECT_TRUE(monitor->network().inService());
    EXPECT_EQ(view.simIcon, kImageSimReady);
    EXPECT_EQ(view.cardIcon, kImageCardOnline);
    EXPECT_EQ(view.trayImage, kImageInService);
    EXPECT_TRUE(view.stkEnabled);
    EXPECT_TRUE(view.menuVisible[TrayMenuItem::FSettings]);
    EXPECT_FALSE(view.menuVisible[TrayMenuItem::Online]);
    EXPECT_TRUE(monitor->network().Timer_RSSI.isActive());
    // The default profile's packet-data settings go to the card.
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_SetModemPara"),
              (std::vector<std::string>{"\"IP\", \"internet.movara\", \"\""}));
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(MonitorTest, EveryWindowIsToldEachState)
{
    scriptHealthyCard();
    walkFrom(kCardInserted);

    for (const RecordingWindow *window : {&first, &features})
        EXPECT_EQ(window->cardStates, (CardStates{2, 3, 6, 11, 12}));
}

TEST_F(MonitorTest, EntryActionsComeBeforeTheRepaintAndTheNotices)
{
    forceState(kCardInserted);
    view.onRepaint = [this] {
        // The windows are told after the strip is repainted, and the state becomes current last.
        EXPECT_TRUE(first.cardStates.empty());
        EXPECT_EQ(monitor->cardState(), kCardInserted);
    };
    monitor->applyCardState(kCardAbsent);
    view.onRepaint = {};
    const QStringList expected{
        "setSignalBars(0)",          "setIndicator(IncomingCall)(0)", "setIndicator(NewSms)(0)",
        "setConnectionAnimation(0)", "setConnectionIcon(6)",
    };
    EXPECT_EQ(view.log.mid(0, expected.size()), expected);
    EXPECT_EQ(view.log.indexOf("setCardIcon(0)") < view.log.indexOf("repaintStatus()"), true);
    EXPECT_EQ(first.cardStates, CardStates{kCardAbsent});
    EXPECT_EQ(features.cardStates, CardStates{kCardAbsent});
    EXPECT_EQ(monitor->cardState(), kCardAbsent);
}

// Each state's look, entered from a state that shows something else.

TEST_F(MonitorTest, EachStateShowsItsIconsTrayAndMenus)
{
    struct Case {
        uint8_t state;
        int cardIcon;  // -1: not set by the state
        int simIcon;
        int tray;
        QString cardHint;
        std::vector<TrayMenuItem> shown;
        std::vector<TrayMenuItem> hidden;
    };
    const Case cases[] = {
        {kCardAbsent,
         kImageCardAbsent,
         kImageSimMissing,
         kImageCardAbsent,
         text(1163),
         {},
         {TrayMenuItem::PowerOff, TrayMenuItem::Offline, TrayMenuItem::Online, TrayMenuItem::N1,
          TrayMenuItem::FSettings}},
        {kNoSim,
         -1,
         kImageSimMissing,
         kImageSimMissing,
         text(1167),
         {TrayMenuItem::N1},
         {TrayMenuItem::Offline, TrayMenuItem::Online}},
        {kCardOffline,
         kImageCardFound,
         kImageSimMissing,
         kImageCardFound,
         text(1165),
         {TrayMenuItem::Online},
         {TrayMenuItem::Offline, TrayMenuItem::N1, TrayMenuItem::FSettings}},
        {kSimBlocked,
         -1,
         kImageSimBlocked,
         kImageSimBlocked,
         text(1167),
         {TrayMenuItem::N1},
         {TrayMenuItem::Offline, TrayMenuItem::Online}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.state));
        setResult("_MEC_TestSimState", MEC_ERR_ERROR);
        forceState(kCardRegistered);
        view.cardIcon = view.simIcon = -1;
        view.menuVisible.clear();
        monitor->applyCardState(c.state);
        EXPECT_EQ(view.cardIcon, c.cardIcon);
        EXPECT_EQ(view.simIcon, c.simIcon);
        EXPECT_EQ(view.trayImage, c.tray);
        EXPECT_EQ(view.cardHint, c.cardHint);
        for (TrayMenuItem item : c.shown)
            EXPECT_TRUE(view.menuVisible.at(item)) << int(item);
        for (TrayMenuItem item : c.hidden)
            EXPECT_FALSE(view.menuVisible.at(item)) << int(item);
        EXPECT_EQ(monitor->cardState(), c.state);
    }
}

TEST_F(MonitorTest, RepeatedStateIsIgnoredExceptCardAbsent)
{
    forceState(kNoSim);
    monitor->applyCardState(kNoSim);
    EXPECT_TRUE(view.log.isEmpty());
    EXPECT_TRUE(first.cardStates.empty());

    forceState(kCardAbsent);
    monitor->applyCardState(kCardAbsent);
    EXPECT_EQ(view.logOf("setCardIcon").size(), 1);
    EXPECT_EQ(first.cardStates, CardStates{kCardAbsent});
    EXPECT_EQ(view.internetPageShown, 2);  // forceState's and this one
}

TEST_F(MonitorTest, SilentCardIsEchoedAgainEveryFiveSeconds)
{
    setResult("_MEC_Echo", MEC_ERR_TIMEOUT);
    walkFrom(kCardInserted);
    EXPECT_EQ(appliedStates(), (CardStates{2}));
    ASSERT_TRUE(monitor->Timer_StateRetry.isActive());
    EXPECT_EQ(monitor->Timer_StateRetry.interval(), 5000);

    monitor->Timer_StateRetryTimer();
    EXPECT_EQ(countOf("_MEC_Echo"), 2);
    EXPECT_TRUE(monitor->Timer_StateRetry.isActive());

    scriptHealthyCard();
    setResult("_MEC_Echo", MEC_OK);
    monitor->Timer_StateRetryTimer();
    EXPECT_FALSE(monitor->Timer_StateRetry.isActive());
    deliverPosted();
    EXPECT_EQ(monitor->cardState(), kSimReady);
}

TEST_F(MonitorTest, CardRemovedStopsTheEchoRetryFromTheEnginesThread)
{
    setResult("_MEC_Echo", MEC_ERR_TIMEOUT);
    walkFrom(kCardInserted);
    ASSERT_TRUE(monitor->Timer_StateRetry.isActive());
    lumacore_fake::runOnEventThread([] { OnMeStateChanged(2); }).get();
    lumacore_fake::clearCalls();
    monitor->Timer_StateRetryTimer();
    EXPECT_FALSE(monitor->Timer_StateRetry.isActive());
    EXPECT_EQ(countOf("_MEC_Echo"), 0);

    // Out and back in: the retry works again.
    monitor->applyCardState(kCardAbsent);
    monitor->applyCardState(kCardInserted);
    EXPECT_TRUE(monitor->Timer_StateRetry.isActive());
    monitor->Timer_StateRetryTimer();
    EXPECT_EQ(countOf("_MEC_Echo"), 2);
}

TEST_F(MonitorTest, OperationModeDecidesBetweenOnlineAndOffline)
{
    struct Case {
        uint8_t mode;
        MEC_STATUS status;
        CardStates states;
    };
    const Case cases[] = {
        {5, MEC_OK, {3, 6}}, {6, MEC_OK, {3, 7}},       {1, MEC_OK, {3, 7}},
        {4, MEC_OK, {3}},    {5, MEC_ERR_TIMEOUT, {3}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.mode));
        forceState(kCardInserted);
        onCall(&_MEC_GetOperationMode, [c](uint8_t *mode) -> MEC_STATUS {
            *mode = c.mode;
            return c.status;
        });
        // Whatever follows on line or off line is not this test's business.
        setResult("_MEC_GetPinState", MEC_ERR_NO_SIM);
        setResult("_MEC_SetOperationMode", MEC_ERR_ERROR);
        monitor->applyCardState(kCardQueryMode);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::sendPostedEvents();
        CardStates states = appliedStates();
        states.resize(std::min(states.size(), c.states.size()));
        EXPECT_EQ(states, c.states);
        EXPECT_TRUE(monitor->network().TimerSpn.isActive());
        QCoreApplication::removePostedEvents(monitor.get());
    }
}

TEST_F(MonitorTest, OfflineCardFoundAtStartIsPutOnline)
{
    scriptHealthyCard();
    int mode = 6;
    onCall(&_MEC_GetOperationMode, [&mode](uint8_t *out) -> MEC_STATUS {
        *out = uint8_t(mode);
        return MEC_OK;
    });
    onCall(&_MEC_SetOperationMode, [&mode](uint8_t wanted) -> MEC_STATUS {
        mode = wanted;
        return MEC_OK;
    });
    walkFrom(kCardInserted);
    EXPECT_EQ(appliedStates(), (CardStates{2, 3, 7, 3, 6, 11, 12}));
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_SetOperationMode"), (std::vector<std::string>{"5"}));
}

TEST_F(MonitorTest, ACardThatWillNotComeUpIsTriedAgainAfterAPauseThenLeftOffLine)
{
    struct Case {
        const char *what;
        std::function<void()> script;
        const char *retried;  // the call tried again
        uint8_t waitsIn;      // the state the card waits in between tries
    };
    const Case cases[] = {
        {"stays off line", [] { setResult("_MEC_GetOperationMode", MEC_OK); },
         "_MEC_SetOperationMode", kCardOffline},
        {"refuses to go on line", [] { setResult("_MEC_SetOperationMode", MEC_ERR_ERROR); },
         "_MEC_SetOperationMode", kCardOffline},
        {"mode unreadable",
         [] {
             onCall(&_MEC_GetOperationMode,
                    [](uint8_t *) -> MEC_STATUS { return MEC_ERR_TIMEOUT; });
         },
         "_MEC_GetOperationMode", kCardQueryMode},
        {"will not start", [] { setResult("_MEC_NetcardStart", MEC_ERR_ERROR); },
         "_MEC_NetcardStart", kCardOnline},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        monitor->applyCardState(kCardAbsent);
        lumacore_fake::reset();
        scriptHealthyCard();
        if (std::string(c.what) == "stays off line" ||
            std::string(c.what) == "refuses to go on line")
            onCall(&_MEC_GetOperationMode, [](uint8_t *mode) -> MEC_STATUS {
                *mode = 6;
                return MEC_OK;
            });
        c.script();
        walkFrom(kCardInserted);
        EXPECT_EQ(monitor->cardState(), c.waitsIn);
        EXPECT_EQ(countOf(c.retried), 1);
        for (int tick = 0; tick < 3; ++tick) {
            ASSERT_TRUE(monitor->Timer_StartRetry.isActive()) << tick;
            monitor->Timer_StartRetryTimer();
            deliverPosted();
        }
        // Four tries in all, then the card is left off line with Online offered.
        EXPECT_EQ(countOf(c.retried), 4);
        EXPECT_FALSE(monitor->Timer_StartRetry.isActive());
        EXPECT_EQ(monitor->cardState(), kCardOffline);
        EXPECT_TRUE(view.menuVisible[TrayMenuItem::Online]);
        EXPECT_EQ(view.cardIcon, kImageCardFound);

        // The user's Online tries again from the start, and a card that now answers comes up.
        lumacore_fake::reset();
        scriptHealthyCard();
        monitor->goOnline();
        deliverPosted();
        EXPECT_EQ(monitor->cardState(), kSimReady);
    }
}

TEST_F(MonitorTest, AStartThatSucceedsOnARetryGoesOn)
{
    scriptHealthyCard();
    int failures = 1;
    onCall(&_MEC_GetOperationMode, [&failures](uint8_t *mode) -> MEC_STATUS {
        if (failures-- > 0)
            return MEC_ERR_TIMEOUT;
        *mode = 5;
        return MEC_OK;
    });
    walkFrom(kCardInserted);
    ASSERT_EQ(monitor->cardState(), kCardQueryMode);
    monitor->Timer_StartRetryTimer();
    deliverPosted();
    EXPECT_EQ(monitor->cardState(), kSimReady);
    EXPECT_EQ(monitor->startTries(), 0);
    // A tick left over from a state the card has left does nothing.
    lumacore_fake::clearCalls();
    monitor->Timer_StartRetryTimer();
    EXPECT_EQ(countOf("_MEC_GetOperationMode"), 0);
}

TEST_F(MonitorTest, UserOfflineFromSimReadyResetsTheDisplayAndStopsTheRetries)
{
    scriptHealthyCard();
    walkFrom(kCardInserted);
    monitor->network().TimerSpn.start();
    monitor->Timer_CPMS.start();

    monitor->applyCardState(kCardOffline);
    EXPECT_EQ(view.cardIcon, kImageCardFound);
    EXPECT_EQ(view.simIcon, kImageSimMissing);
    EXPECT_EQ(view.signalBars, 0);
    EXPECT_EQ(view.networkType, text(1082));
    EXPECT_EQ(view.operatorName, text(1084));
    EXPECT_EQ(view.trayImage, kImageCardFound);
    EXPECT_FALSE(monitor->network().inService());
    EXPECT_FALSE(monitor->network().Timer_RSSI.isActive());
    EXPECT_FALSE(monitor->network().TimerSpn.isActive());
    EXPECT_FALSE(monitor->Timer_CPMS.isActive());
    EXPECT_FALSE(view.stkEnabled);
    EXPECT_EQ(countOf("_MEC_SetOperationMode"), 0);
}

TEST_F(MonitorTest, PinStateLeadsToItsState)
{
    struct Case {
        MEC_STATUS status;
        uint8_t pinState;
        MEC_STATUS netcardStart;
        int next;          // state posted, 0: none
        bool shownAtOnce;  // the main window is shown without waiting for the splash
        bool busyRetry;
    };
    const Case cases[] = {
        {MEC_OK, 0, MEC_OK, kCardRegistered, false, false},
        {MEC_OK, 1, MEC_OK, kPinRequired, true, false},
        {MEC_OK, 2, MEC_OK, kPukRequired, true, false},
        {MEC_ERR_NO_SIM, 0, MEC_OK, kNoSim, false, false},
        {MEC_ERR_TIMEOUT, 0, MEC_OK, 0, false, true},
        {MEC_OK, 0, MEC_ERR_ERROR, 0, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.status << "/" << int(c.pinState));
        forceState(kCardQueryMode);
        view.mainWindowShown = 0;
        onCall(&_MEC_GetPinState, [c](uint8_t *state) -> MEC_STATUS {
            *state = c.pinState;
            return c.status;
        });
        setResult("_MEC_NetcardStart", c.netcardStart);
        monitor->applyCardState(kCardOnline);
        EXPECT_EQ(view.cardIcon, kImageCardOnline);
        EXPECT_EQ(view.trayImage, kImageCardOnline);
        QCoreApplication::sendPostedEvents();
        const CardStates states = appliedStates();
        EXPECT_EQ(states.size() > 1 ? states[1] : 0, c.next);
        EXPECT_EQ(view.mainWindowShown > 0, c.shownAtOnce);
        EXPECT_EQ(monitor->SimBusyTimer.isActive(), c.busyRetry);
        EXPECT_EQ(countOf("_MEC_ClearEcho"), c.next == kCardRegistered ? 1 : 0);
        monitor->SimBusyTimer.stop();
        QCoreApplication::removePostedEvents(monitor.get());
        monitor->applyCardState(kCardAbsent);
    }
}

TEST_F(MonitorTest, BusySimIsAskedFiveTimesThenTakenAsMissing)
{
    forceState(kCardQueryMode);
    setResult("_MEC_GetPinState", MEC_ERR_TIMEOUT);
    monitor->applyCardState(kCardOnline);
    ASSERT_TRUE(monitor->SimBusyTimer.isActive());
    EXPECT_EQ(monitor->SimBusyTimer.interval(), 3000);
    for (int tick = 0; tick < 5; ++tick)
        monitor->SimBusyTimerTimer();
    EXPECT_EQ(countOf("_MEC_GetPinState"), 6);
    EXPECT_TRUE(monitor->SimBusyTimer.isActive());
    monitor->SimBusyTimerTimer();
    EXPECT_FALSE(monitor->SimBusyTimer.isActive());
    EXPECT_EQ(countOf("_MEC_GetPinState"), 6);
    deliverPosted();
    EXPECT_EQ(monitor->cardState(), kNoSim);
}

TEST_F(MonitorTest, BusySimAnswersOnARetry)
{
    forceState(kCardQueryMode);
    int calls = 0;
    onCall(&_MEC_GetPinState, [&calls](uint8_t *state) -> MEC_STATUS {
        *state = 0;
        return ++calls < 3 ? MEC_ERR_TIMEOUT : MEC_OK;
    });
    setResult("_MEC_TestSimState", MEC_ERR_ERROR);
    monitor->applyCardState(kCardOnline);
    monitor->SimBusyTimerTimer();
    EXPECT_TRUE(monitor->SimBusyTimer.isActive());
    monitor->SimBusyTimerTimer();
    EXPECT_FALSE(monitor->SimBusyTimer.isActive());
    EXPECT_EQ(countOf("_MEC_NetcardStart"), 1);
    deliverPosted();
    EXPECT_EQ(monitor->cardState(), kCardRegistered);
}

TEST_F(MonitorTest, SimStoreNotReadyIsRetriedUntilItIs)
{
    scriptHealthyCard();
    setResult("_MEC_TestSimState", MEC_ERR_ERROR);
    walkFrom(kCardInserted);
    EXPECT_EQ(monitor->cardState(), kCardRegistered);
    ASSERT_TRUE(monitor->Timer_CPMS.isActive());
    EXPECT_EQ(monitor->Timer_CPMS.interval(), 10000);
    EXPECT_EQ(view.simIcon, kImageSimRegistered);

    monitor->Timer_CPMSTimer();
    EXPECT_TRUE(monitor->Timer_CPMS.isActive());
    setResult("_MEC_TestSimState", MEC_OK);
    monitor->Timer_CPMSTimer();
    EXPECT_FALSE(monitor->Timer_CPMS.isActive());
    deliverPosted();
    EXPECT_EQ(monitor->cardState(), kSimReady);
}

TEST_F(MonitorTest, RegisteredCardMirrorsWhetherTheSimAsksForItsPin)
{
    struct Case {
        MEC_STATUS status;
        uint8_t enabled;
        uint8_t before;
        uint8_t after;
    };
    const Case cases[] = {{MEC_OK, 1, 0, 1}, {MEC_OK, 0, 1, 0}, {MEC_ERR_TIMEOUT, 0, 1, 1}};
    for (const Case &c : cases) {
        FileStore().allConfig().pinRequestEnabled = c.before;
        onCall(&_MEC_IfPinEnable, [c](uint8_t *enabled) -> MEC_STATUS {
            *enabled = c.enabled;
            return c.status;
        });
        forceState(kCardRegistered);
        EXPECT_EQ(FileStore().allConfig().pinRequestEnabled, c.after) << c.status;
        monitor->applyCardState(kCardAbsent);
    }
}

TEST_F(MonitorTest, SimReadyMessageOnlyCountsWhenRegisteredAndNoCall)
{
    struct Case {
        uint8_t state;
        int call;
        uint32_t wParam;
        bool ready;
    };
    const Case cases[] = {
        {kCardRegistered, 0, 2, true},  {kCardRegistered, 0, 1, false},
        {kCardRegistered, 1, 2, false}, {kCardRegistered, 6, 2, false},
        {kCardRegistered, 3, 2, true},  {kCardOnline, 0, 2, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.state) << "/" << c.call << "/" << c.wParam);
        scriptHealthyCard();
        setResult("_MEC_TestSimState", MEC_ERR_ERROR);
        setResult("_MEC_GetPinState", MEC_ERR_NO_SIM);
        forceState(c.state);
        scriptHealthyCard();
        setCallState(c.call);
        send(platform::WM_SIM_READY, c.wParam);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(monitor->cardState() == kSimReady, c.ready);
        // A voice call holds the store's retry still.
        const bool voiceCall = c.call == 1 || c.call == 6;
        EXPECT_EQ(monitor->Timer_CPMS.isActive(),
                  !c.ready && c.state == kCardRegistered && !voiceCall);
        setCallState(0);
        monitor->applyCardState(kCardAbsent);
    }
}

TEST_F(MonitorTest, MissingDefaultProfileIsReportedAndEmptyParametersSent)
{
    scriptHealthyCard();
    QFile::remove(folder.filePath("defaultcfg.ran"));
    walkFrom(kCardInserted);
    EXPECT_EQ(monitor->cardState(), kSimReady);
    EXPECT_EQ(boxes, QStringList{text(1018) + "defaultcfg.ran"});
    EXPECT_EQ(boxIcons, std::vector<int>{2});
    EXPECT_EQ(lumacore_fake::argumentsOf("_MEC_SetModemPara"),
              (std::vector<std::string>{"\"\", \"\", \"\""}));
}

TEST_F(MonitorTest, CardPulledWhileAStateWaitsInABoxLeavesTheCardAbsent)
{
    scriptHealthyCard();
    QFile::remove(folder.filePath("defaultcfg.ran"));
    onBox = [this] { monitor->applyCardState(kCardAbsent); };
    walkFrom(kCardInserted);
    EXPECT_EQ(monitor->cardState(), kCardAbsent);
    EXPECT_EQ(appliedStates().back(), kCardAbsent);
    EXPECT_FALSE(view.stkEnabled);
    EXPECT_FALSE(monitor->GetCardSettingsTimer.isActive());
}

TEST_F(MonitorTest, SimReadyWhileStateTwelvesBoxIsOpenRunsItsEntryActionsOnce)
{
    scriptHealthyCard();
    QFile::remove(folder.filePath("defaultcfg.ran"));
    // The engine's SIM-ready notice and a second state 12 arrive while the warning of state 12
    // waits for the user.
    onBox = [this] {
        send(platform::WM_SIM_READY, 2);
        monitor->postCardState(kSimReady);
        deliverPosted();
    };
    walkFrom(kCardInserted);
    EXPECT_EQ(monitor->cardState(), kSimReady);
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_EQ(countOf("_MEC_SetModemPara"), 1);
    EXPECT_EQ(appliedStates(), (CardStates{2, 3, 6, 11, 12}));
}

TEST_F(MonitorTest, CardSettingsAreWaitedForThenTheListsAreToldAgain)
{
    scriptHealthyCard();
    ASSERT_EQ(StartBusinessLogic(0, 400, 0), MEC_OK);
    setResult("_MEC_GetFieldSizes", MEC_ERR_TIMEOUT);
    walkFrom(kCardInserted);
    ASSERT_TRUE(monitor->GetCardSettingsTimer.isActive());
    first.cardStates.clear();
    features.cardStates.clear();
    monitor->GetCardSettingsTimerTimer();
    EXPECT_TRUE(monitor->GetCardSettingsTimer.isActive());
    setResult("_MEC_GetFieldSizes", MEC_OK);
    monitor->GetCardSettingsTimerTimer();
    EXPECT_FALSE(monitor->GetCardSettingsTimer.isActive());
    // Only the windows that load the card's data are told again.
    EXPECT_TRUE(first.cardStates.empty());
    EXPECT_EQ(features.cardStates, CardStates{12});
    EXPECT_EQ(StopBusinessLogic(), MEC_OK);
}

TEST_F(MonitorTest, CardSettingsAreNotWaitedForWhenTheCardCannotTellThem)
{
    scriptHealthyCard();
    ASSERT_EQ(StartBusinessLogic(0, 400, 0), MEC_OK);
    // Not supported from the start: never asked again.
    setResult("_MEC_GetFieldSizes", MEC_ERR_NOT_SUPPORTED);
    walkFrom(kCardInserted);
    ASSERT_EQ(monitor->cardState(), kSimReady);
    EXPECT_FALSE(monitor->GetCardSettingsTimer.isActive());

    // Busy first, then not supported: the wait ends and nobody is told again.
    monitor->applyCardState(kCardAbsent);
    setResult("_MEC_GetFieldSizes", MEC_ERR_TIMEOUT);
    walkFrom(kCardInserted);
    ASSERT_TRUE(monitor->GetCardSettingsTimer.isActive());
    features.cardStates.clear();
    setResult("_MEC_GetFieldSizes", MEC_ERR_NOT_SUPPORTED);
    monitor->GetCardSettingsTimerTimer();
    EXPECT_FALSE(monitor->GetCardSettingsTimer.isActive());
    EXPECT_TRUE(features.cardStates.empty());
    EXPECT_EQ(StopBusinessLogic(), MEC_OK);
}
