#include "MonitorTestSupport.h"

#include "FakeLumacore.h"
#include "config/BL_File.h"
#include "logic/BL_Base.h"
#include "logic/BL_Sms.h"
#include "logic/WindowPayloads.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QCoreApplication>
#include <QDialog>

#include <cstring>

void MonitorTest::SetUp()
{
    lumacore_fake::reset();
    if (platform::stringManager() == nullptr)
        platform::createStringManager();  // ./language of the program folder
    ASSERT_TRUE(folder.isValid());
    FileStore().setFolder(folder.path());
    FileStore().allConfig() = AllConfig{};
    ASSERT_TRUE(FileStore().RestoreAllConfigDefaults());
    FileStore().allConfig().forbidStandby = 0;
    ProfileRecord profile{};
    std::strcpy(profile.name, "Brisa AR");
    std::strcpy(profile.apnAutomatic, "0");
    std::strcpy(profile.apn, "internet.movara");
    std::strcpy(profile.pdpAddressAutomatic, "1");
    std::strcpy(profile.pdpType, "IP");
    ASSERT_TRUE(FileStore().WriteDefaultProfile(profile));

    platform::setMessageBoxHandler([this](QWidget *, const QString &text, int icon, bool) {
        boxes << text;
        boxIcons.push_back(icon);
        if (onBox) {
            auto inside = std::move(onBox);
            inside();
        }
        return 1;
    });
    // Modal dialogs (the PUK flow) are cancelled unless a test answers them.
    platform::setDialogResponder([](QDialog &) -> std::optional<int> { return QDialog::Rejected; });

    using namespace platform;
    windows.add(first, feature::told(1));
    windows.add(features, feature::told(2)
                              .toldAgainWhenCardSettingsReady()
                              .takes(WM_SMS_NEW, WM_SMS_REPORT)
                              .takes(WM_INCOMING_CALL)
                              .takes(WM_USSD_STATE)
                              .takes(WM_CALL_EVENT_FIRST, WM_CALL_EVENT_LAST)
                              .takes(WM_USSD_REPLY)
                              .takes(WM_STK_FIRST, WM_STK_LAST - 1));
    windows.add(pages, feature::plays<feature::SmsFolderView>().plays<feature::CallRecordsView>());
    monitor =
        std::make_unique<CardMonitor>(view, windows, std::make_unique<FakeSoundOutput>(sound));
}

void MonitorTest::TearDown()
{
    monitor.reset();
    deliverPosted();
    platform::setMessageBoxHandler({});
    platform::setDialogResponder({});
    lumacore_fake::reset();
}

void MonitorTest::scriptHealthyCard()
{
    using namespace lumacore_fake;
    onCall(&_MEC_GetOperationMode, [](uint8_t *mode) -> MEC_STATUS {
        *mode = 5;
        return MEC_OK;
    });
    onCall(&_MEC_GetPinState, [](uint8_t *state) -> MEC_STATUS {
        *state = 0;
        return MEC_OK;
    });
    onCall(&_MEC_GetNetworkPara, [](_MEC_NETWORK_PARA *para) -> MEC_STATUS {
        std::strcpy(para->networkType, "UMTS");
        para->serviceDomain = 2;
        return MEC_OK;
    });
    onCall(&_MEC_GetZdonPara, [](_MEC_ZDON_PARA *para) -> MEC_STATUS {
        std::strcpy(para->operatorName, "Movara");
        std::strcpy(para->roaming, "ROAM_OFF");
        return MEC_OK;
    });
    onCall(&_MEC_GetCsq, [](uint8_t *csq) -> MEC_STATUS {
        *csq = 20;
        return MEC_OK;
    });
    onCall(&_MEC_GetSIMCardOperator, [](char *imsi) -> MEC_STATUS {
        std::strcpy(imsi, "722310000000001");
        return MEC_OK;
    });
}

void MonitorTest::deliverPosted()
{
    for (int round = 0; round < 30; ++round)
        QCoreApplication::sendPostedEvents();
}

void MonitorTest::walkFrom(uint8_t state)
{
    monitor->postCardState(state);
    deliverPosted();
}

bool MonitorTest::send(uint32_t message, uint32_t wParam, uint32_t lParam,
                       std::unique_ptr<platform::MessagePayload> payload)
{
    platform::WindowMessageEvent event(message, wParam, lParam, std::move(payload));
    return monitor->handleMessage(event);
}

void MonitorTest::forceState(uint8_t state)
{
    monitor->applyCardState(state);
    // What the state posted would lead on to the next; such a test is about this one.
    QCoreApplication::removePostedEvents(monitor.get());
    view.log.clear();
    first.cardStates.clear();
    features.cardStates.clear();
    boxes.clear();
    lumacore_fake::clearCalls();
}

QString MonitorTest::text(unsigned number) { return platform::GetLanguageString(number); }

std::unique_ptr<platform::ByteBlock> smsBlock(const char *number, uint8_t folder, uint8_t storage)
{
    SmsItem item{};
    std::strcpy(item.number, number);
    std::strcpy(item.text, "hello");
    item.folder = folder;
    item.storage = storage;
    return std::make_unique<platform::ByteBlock>(&item, sizeof item);
}

std::unique_ptr<platform::ByteBlock> class0Block(const char *number, const char *text)
{
    SmsClass0Payload message{};
    std::memcpy(message.number, number, std::strlen(number));
    std::memcpy(message.text, text, std::strlen(text));
    return std::make_unique<platform::ByteBlock>(&message, sizeof message);
}

void NoticeTest::SetUp()
{
    MonitorTest::SetUp();
    scriptHealthyCard();
    walkFrom(kCardInserted);
    ASSERT_EQ(monitor->cardState(), kSimReady);
}

QString NoticeTest::soundFile(const char *name) const
{
    return folder.path() + "/resource/sound/wav/" + name;
}
