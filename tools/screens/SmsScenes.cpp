// The SMS main screen with its counts, the message list of the inbox with a long message among
// the rows, a long message being read, and the SMS settings. The screens run over a scripted
// store; the settings over the fake engine.
#include "SceneHost.h"
#include "Scenes.h"

#include "UI_SetMsgForm.h"
#include "UI_SmsList.h"
#include "UI_SmsMain.h"
#include "UI_SmsRead.h"

#include "lumacore/fake/FakeLumacore.h"
#include "messaging/tests/FakeSmsStore.h"
#include "platform/MessageBoxSeam.h"

#include <cstring>

namespace screens {

namespace {

constexpr QSize kPanel(624, 340);
constexpr QSize kSettingsPage(474, 340);

const char *const kLongText =
    "Hi all, the plan for Saturday: we meet at 9:30 at the north gate of the park, bring water, "
    "sun cream and something to eat for lunch. The walk is about 14 km with one steep climb "
    "after the lake, so wear proper shoes. If it rains we move everything to Sunday, same time "
    "and place; I will send a message by Friday evening. Children are welcome, dogs on a lead "
    "please. Parking at the gate costs 3 euros for the day, the bus 41 stops right in front. "
    "Call me if you get lost: the signal is weak near the quarry. See you there!";

SmsItem named(SmsItem item, const char *name, const char *text = "")
{
    std::strncpy(item.contactName, name, sizeof item.contactName - 1);
    std::strncpy(item.text, text, sizeof item.text - 1);
    return item;
}

std::unique_ptr<FakeSmsStore> sampleStore()
{
    auto store = std::make_unique<FakeSmsStore>();
    store->capacity[SMS_STORE_SIM] = 30;
    store->capacity[SMS_STORE_PC] = 500;
    store->items = {
        named(MakeItem(1, 1, SMS_STORE_PC, "+4917612345678", "2026-12-08  18:42:10"), "Anna Berger",
              "See you at eight!"),
        named(MakeItem(2, 1, SMS_STORE_PC, "+4930123456", "2026-12-09  07:15:02", SMS_STATUS_UNREAD,
                       3),
              "Hiking club (Saturday walks)", kLongText),
        named(MakeItem(6, 1, SMS_STORE_PC, "+447700900123", "2026-12-07  12:01:44"),
              "Dr. Lisa Wong", "Your appointment is confirmed."),
        named(MakeItem(7, 1, SMS_STORE_PC, "+393471234567", "2026-12-09  09:30:00",
                       SMS_STATUS_UNREAD),
              "Marco Rossi", "Ciao!"),
        named(MakeItem(8, 1, SMS_STORE_PC, "22888", "2026-12-05  23:59:59"), "",
              "Your balance is 12.40."),
        named(MakeItem(9, 1, SMS_STORE_PC, "+46701234567", "2026-12-01  08:00:00"), "Sven Olsen",
              "Ok"),
        MakeItem(10, 2, SMS_STORE_PC, "+46701234567", "2026-12-01  08:05:00", SMS_STATUS_SENT),
        MakeItem(11, 3, SMS_STORE_PC, "+4917612345678", "", SMS_STATUS_UNSENT),
        MakeItem(1, 1, SMS_STORE_SIM, "+4916055501", "2026-11-30  10:00:00"),
        MakeItem(2, 1, SMS_STORE_SIM, "+4916055502", "2026-11-30  11:00:00"),
        MakeItem(3, 2, SMS_STORE_SIM, "+4916055503", "2026-11-30  12:00:00", SMS_STATUS_SENT),
    };
    return store;
}

QImage smsMain()
{
    SceneHost host;
    platform::setMessageBoxHandler([](QWidget *, const QString &, int, bool) { return 1; });
    TFrmSmsMain main(host, sampleStore());
    main.resize(kPanel);
    main.SetDeviceState(12);
    main.tmrSmsInitSetTimer();
    main.tmrLoadSimMsgTimer();
    QImage shot = grabShown(main);
    platform::setMessageBoxHandler({});
    return shot;
}

QImage smsList()
{
    SceneHost host;
    TFrmSmsList list(host, sampleStore());
    list.resize(kPanel);
    list.cardStateChanged(kSimReady);
    list.ShowFolder(SMS_FOLDER_INBOX, SMS_STORE_PC);
    list.ListViewSms->topLevelItem(1)->setSelected(true);
    return grabShown(list);
}

QImage smsReadLong()
{
    SceneHost host;
    TFrmSmsRead reader(host, sampleStore());
    reader.resize(kPanel);
    reader.cardStateChanged(kSimReady);
    reader.Show(named(
        MakeItem(2, 1, SMS_STORE_PC, "+4930123456", "2026-12-09  07:15:02", SMS_STATUS_READ, 3),
        "Hiking club (Saturday walks)", kLongText));
    return grabShown(reader);
}

QImage smsSettings()
{
    lumacore_fake::reset();
    lumacore_fake::onCall(&_MEC_GetSmsCenter, [](char *centre) -> MEC_STATUS {
        std::strcpy(centre, "+4917600000100");
        return 0;
    });
    lumacore_fake::onCall(&_MEC_GetSmsSaveLocation, [](uint32_t *location) -> MEC_STATUS {
        *location = 0;
        return 0;
    });
    AllConfig config{};
    std::strcpy(config.smsValidity, "1");
    std::strcpy(config.smsStatusReport, "0");
    SceneHost host;
    TSet_msgform settings(host, &config);
    settings.resize(kSettingsPage);
    settings.SetDeviceState(12);
    settings.FormShow();
    QImage shot = grabShown(settings);
    lumacore_fake::reset();
    return shot;
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("sms-main"),
                    QStringLiteral("SMS main screen: folders with PC and SIM counts, capacities"),
                    smsMain}),
    SceneRegistrar({QStringLiteral("sms-list"),
                    QStringLiteral("inbox on the PC: six messages, a long one of three parts"),
                    smsList}),
    SceneRegistrar({QStringLiteral("sms-read-long"),
                    QStringLiteral("a long message read, its sender's name cut with a hint"),
                    smsReadLong}),
    SceneRegistrar({QStringLiteral("sms-settings"),
                    QStringLiteral("SMS settings with the card ready"), smsSettings}),
};

}  // namespace

}  // namespace screens
