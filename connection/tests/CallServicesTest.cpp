// The call services' cache, rules and apply sequences against a scripted network: the first
// show's summary, forwarding all calls holding the other conditions, the forwarding checks and
// what reaches the network, barring all outgoing calls holding the two other outgoing boxes, a
// facility whose query failed staying closed, CLIP and call waiting refused, and the cache
// forgotten when the card leaves the ready state.
#include "CallServices.h"
#include "UI_SetSS.h"

#include "FakeLumacore.h"
#include "RecordingHost.h"
#include "logic/EngineValues.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// The network as the fake engine answers for it.
struct Network {
    std::map<uint32_t, std::string> forwarding;  // reason -> number (voice)
    std::set<std::string> barred;
    std::set<std::string> refusedFacilities;  // their queries and changes are refused
    bool clip = true, waiting = false;
    bool clipRefused = false;
    std::vector<std::string> forwardRequests;

    void install()
    {
        lumacore_fake::onCall(&_MEC_GetCallForwardSet,
                              [this](uint32_t reason, _MEC_CALL_FORWARD_ANSWER *answer) -> MEC_STATUS {
                                  answer->serviceClass = 1;
                                  auto found = forwarding.find(reason);
                                  answer->status = found != forwarding.end();
                                  if (found != forwarding.end())
                                      std::strcpy(answer->number, found->second.c_str());
                                  return 0;
                              });
        lumacore_fake::onCall(&_MEC_SetCallForwardCmd,
                              [this](_MEC_CALL_FORWARD_REQUEST request,
                                     _MEC_CALL_FORWARD_ANSWER *) -> MEC_STATUS {
                                  forwardRequests.push_back(std::to_string(request.reason) + "," +
                                                            std::to_string(request.mode) + "," +
                                                            request.number);
                                  if (request.mode == 3)
                                      forwarding[request.reason] = request.number;
                                  else
                                      forwarding.erase(request.reason);
                                  return 0;
                              });
        lumacore_fake::onCall(&_MEC_GetCallBarringCmd,
                              [this](const char *facility, uint32_t *status) -> MEC_STATUS {
                                  if (refusedFacilities.count(facility))
                                      return MEC_ERR_SERVICE_REFUSED;
                                  *status = barred.count(facility) ? 1 : 0;
                                  return 0;
                              });
        lumacore_fake::onCall(&_MEC_SetCallBarringCmd,
                              [this](_MEC_CALL_BARRING_REQUEST request, uint32_t *) -> MEC_STATUS {
                                  if (request.mode == 1)
                                      barred.insert(request.facility);
                                  else
                                      barred.erase(request.facility);
                                  return 0;
                              });
        lumacore_fake::onCall(&_MEC_GetCallerListMode, [this](uint32_t *mode) -> MEC_STATUS {
            *mode = clip ? 1 : 0;
            return 0;
        });
        lumacore_fake::onCall(&_MEC_CallerModeSetCmd, [this](uint32_t mode) -> MEC_STATUS {
            if (clipRefused)
                return MEC_ERR_SERVICE_REFUSED;
            clip = mode == 1;
            return 0;
        });
        lumacore_fake::onCall(&_MEC_GetCallWaiting, [this](uint32_t *state) -> MEC_STATUS {
            *state = waiting ? 1 : 0;
            return 0;
        });
        lumacore_fake::onCall(&_MEC_SetCallWaiting, [this](uint32_t state) -> MEC_STATUS {
            waiting = state == 1;
            return 0;
        });
    }
};

class CallServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumacore_fake::reset();
        network.install();
    }
    void TearDown() override { lumacore_fake::reset(); }

    AllConfig config{};
    int saves = 0;
    Network network;
    CallServices services{config, [this] {
                              ++saves;
                              return true;
                          }};
};

TEST_F(CallServicesTest, FirstShowSummaryAndFailedFacilityStaysClosed)
{
    network.refusedFacilities = {"OX"};
    EXPECT_EQ(services.FirstShow(), 3150);
    EXPECT_EQ(services.FirstShow(), 0);  // queried once
    EXPECT_FALSE(services.barring[CallServices::kOx].enabled);
    services.BarringClicked(CallServices::kAo, true);
    services.BarringClicked(CallServices::kAo, false);
    EXPECT_TRUE(services.barring[CallServices::kOi].enabled);
    EXPECT_FALSE(services.barring[CallServices::kOx].enabled);

    // The card leaves the ready state and comes back: everything is asked again.
    network.refusedFacilities.clear();
    services.CardStateChanged(kCardRegistered);
    EXPECT_FALSE(services.barring[CallServices::kAo].enabled);
    services.CardStateChanged(kSimReady);
    EXPECT_EQ(services.FirstShow(), 3149);
    EXPECT_TRUE(services.barring[CallServices::kOx].enabled);
}

TEST_F(CallServicesTest, ForwardingAllCallsHoldsTheOtherConditions)
{
    network.forwarding[1] = "1155550001";  // busy, in the network
    services.FirstShow();
    services.ShowForwarding();
    services.ForwardEdited(CallServices::kCfnry, QStringLiteral("1155550002"));
    services.ForwardClicked(CallServices::kCfnry, true);
    services.ForwardClicked(CallServices::kCfu, true);
    EXPECT_TRUE(services.forward[CallServices::kCfb].checked);
    EXPECT_FALSE(services.forward[CallServices::kCfb].enabled);
    EXPECT_FALSE(services.forward[CallServices::kCfnry].checked);  // not in the network: cleared
    EXPECT_EQ(services.forward[CallServices::kCfnry].number, QString());
    services.ForwardClicked(CallServices::kCfu, false);
    EXPECT_TRUE(services.forward[CallServices::kCfb].enabled);
    EXPECT_TRUE(services.forward[CallServices::kCfnry].enabled);
}

TEST_F(CallServicesTest, ForwardingApplySendsOnlyConsistentChanges)
{
    services.FirstShow();
    services.ShowForwarding();
    // Nothing changed: nothing sent, nothing said.
    EXPECT_TRUE(services.ApplyForwarding().empty());
    EXPECT_TRUE(network.forwardRequests.empty());

    // A tick without a number (or a number without a tick) is refused before anything is sent.
    services.ForwardClicked(CallServices::kCfnrc, true);
    EXPECT_EQ(services.ApplyForwarding(), std::vector<int>{3136});
    services.ForwardClicked(CallServices::kCfnrc, false);
    services.ForwardEdited(CallServices::kCfb, QStringLiteral("1155550001"));
    EXPECT_EQ(services.ApplyForwarding(), std::vector<int>{3136});
    EXPECT_TRUE(network.forwardRequests.empty());

    // A 30-character number goes out as its first 26.
    services.ForwardClicked(CallServices::kCfb, true);
    services.ForwardEdited(CallServices::kCfb, QStringLiteral("123456789012345678901234567890"));
    EXPECT_EQ(services.ApplyForwarding(), std::vector<int>{3033});
    EXPECT_EQ(network.forwardRequests,
              std::vector<std::string>{"1,3,12345678901234567890123456"});
    EXPECT_EQ(services.forward[CallServices::kCfb].number, "12345678901234567890123456");

    // A change the network refuses is reported, and the network's state shown.
    lumacore_fake::onCall(&_MEC_SetCallForwardCmd,
                          [](_MEC_CALL_FORWARD_REQUEST, _MEC_CALL_FORWARD_ANSWER *) -> MEC_STATUS {
                              return MEC_ERR_SERVICE_REFUSED;
                          });
    services.ForwardClicked(CallServices::kCfb, false);
    EXPECT_EQ(services.ApplyForwarding(), std::vector<int>{3101});
    EXPECT_TRUE(services.forward[CallServices::kCfb].checked);
}

TEST_F(CallServicesTest, AllOutgoingBarredHoldsTheOtherOutgoingBoxes)
{
    services.FirstShow();
    services.BarringClicked(CallServices::kOi, true);
    services.BarringClicked(CallServices::kAo, true);
    EXPECT_FALSE(services.barring[CallServices::kOi].enabled);
    EXPECT_FALSE(services.barring[CallServices::kOx].enabled);
    EXPECT_FALSE(services.barring[CallServices::kOi].checked);  // not barred in the network
    EXPECT_TRUE(services.barring[CallServices::kAi].enabled);
    EXPECT_EQ(services.ApplyBarring(), std::vector<int>{3033});
    EXPECT_EQ(network.barred, std::set<std::string>{"AO"});
    EXPECT_EQ(lumacore_fake::countOf("_MEC_SetCallBarringCmd"), 1);
    EXPECT_TRUE(services.barring[CallServices::kAo].checked);
    EXPECT_FALSE(services.barring[CallServices::kOi].enabled);
    EXPECT_FALSE(services.barring[CallServices::kOx].enabled);
}

TEST_F(CallServicesTest, ClipAndWaitingSwitchedAndClipRefused)
{
    services.FirstShow();
    services.ShowClip();
    services.ClipClicked(false);
    services.WaitingClicked(true);
    EXPECT_EQ(services.ApplyClip(), std::vector<int>{3033});
    EXPECT_FALSE(network.clip);
    EXPECT_TRUE(network.waiting);
    EXPECT_EQ(config.clipPresentation, 0);
    EXPECT_EQ(saves, 1);

    network.clipRefused = true;
    services.ClipClicked(true);
    EXPECT_EQ(services.ApplyClip(), std::vector<int>{3151});
    EXPECT_FALSE(services.clip.checked);  // the network's state again
    EXPECT_EQ(config.clipPresentation, 0);
}

TEST_F(CallServicesTest, WindowShowsTheTabsOverTheCache)
{
    network.barred = {"AO"};
    config.clipPresentation = 1;  // handed to the card when it is ready
    RecordingHost host;
    TSet_SS window(host, &config);
    window.cardStateChanged(kSimReady);
    window.FormShow();
    EXPECT_EQ(window.currentTab(), 0);
    EXPECT_FALSE(window.SSCFBtn->isEnabled());
    window.ShowTab(1);
    EXPECT_TRUE(window.CheckBox_Barring[CallServices::kAo]->isChecked());
    EXPECT_FALSE(window.CheckBox_Barring[CallServices::kOi]->isEnabled());
    EXPECT_TRUE(window.CheckBox_Barring[CallServices::kAi]->isEnabled());
    window.ShowTab(2);
    EXPECT_TRUE(window.CheckBox_CLIP->isChecked());
    EXPECT_FALSE(window.ApplyButtonCLIP->isEnabled());
}

}  // namespace
