// The network page, the manual selection dialog with the networks of a search, and the three
// tabs of the call services, over the fake engine answering as a card at home would.
#include "SceneHost.h"
#include "Scenes.h"

#include "UI_ManualSet.h"
#include "UI_SetNetForm.h"
#include "UI_SetSS.h"

#include "FakeLumacore.h"
#include "platform/MessageBoxSeam.h"

#include <cstring>

namespace screens {

namespace {

constexpr QSize kSettingsPage(474, 340);

_MEC_OPERATOR_INFO found(uint32_t state, const char *name, const char *numeric,
                         const char *technology)
{
    _MEC_OPERATOR_INFO info{};
    info.state = state;
    std::strncpy(info.shortName, name, sizeof info.shortName - 1);
    std::strncpy(info.numericId, numeric, sizeof info.numericId - 1);
    std::strncpy(info.accessTechnology, technology, sizeof info.accessTechnology - 1);
    return info;
}

QImage networkPage()
{
    lumacore_fake::reset();
    lumacore_fake::onCall(&_MEC_GetNetworkSelectMode, [](uint8_t *mode) -> MEC_STATUS {
        *mode = 5;
        return 0;
    });
    // A card that offers automatic selection and 3G only, not 2G only.
    lumacore_fake::onCall(&_MEC_GetNetworkSelectModes, [](uint32_t *modes) -> MEC_STATUS {
        *modes = (1u << 5) | (1u << 2);
        return 0;
    });
    AllConfig config{};
    SceneHost host;
    TSet_netform page(host, &config);
    page.resize(kSettingsPage);
    page.cardStateChanged(kSimReady);
    page.FormShow();
    QImage shot = grabShown(page);
    lumacore_fake::reset();
    return shot;
}

QImage manualSelection()
{
    lumacore_fake::reset();
    // The list of a search already made: showing the dialog does not start another.
    lumacore_fake::setResult("_MEC_SetNetworkSelectMode", MEC_ERR_NOT_SUPPORTED);
    platform::setMessageBoxHandler([](QWidget *, const QString &, int, bool) { return 1; });
    SceneHost host;
    TManual_Set dialog(host);
    dialog.FillList({found(2, "Brisa", "722310", "3G"), found(1, "Austral", "72234", "3G"),
                     found(3, "Pampa", "72207", "2G"), found(1, "Litoral", "72236", "2G")});
    dialog.OperatorListView->setCurrentItem(dialog.OperatorListView->topLevelItem(1));
    QImage shot = grabShown(dialog);
    platform::setMessageBoxHandler({});
    lumacore_fake::reset();
    return shot;
}

// The network holds forwarding when busy, all outgoing calls barred, CLIP and call waiting on.
QImage services(int tab)
{
    using namespace lumacore_fake;
    reset();
    onCall(&_MEC_GetCallForwardSet,
           [](uint32_t reason, _MEC_CALL_FORWARD_ANSWER *answer) -> MEC_STATUS {
               answer->serviceClass = 1;
               if (reason == 1) {
                   answer->status = 1;
                   std::strcpy(answer->number, "+5491155550000");
               }
               return 0;
           });
    onCall(&_MEC_GetCallBarringCmd, [](const char *facility, uint32_t *status) -> MEC_STATUS {
        *status = std::strcmp(facility, "AO") == 0 ? 1 : 0;
        return 0;
    });
    onCall(&_MEC_GetCallerListMode, [](uint32_t *mode) -> MEC_STATUS {
        *mode = 1;
        return 0;
    });
    onCall(&_MEC_GetCallWaiting, [](uint32_t *state) -> MEC_STATUS {
        *state = 1;
        return 0;
    });
    platform::setMessageBoxHandler([](QWidget *, const QString &, int, bool) { return 1; });
    AllConfig config{};
    config.clipPresentation = 1;
    SceneHost host;
    TSet_SS window(host, &config);
    window.resize(kSettingsPage);
    window.cardStateChanged(kSimReady);
    window.FormShow();
    window.ShowTab(tab);
    QImage shot = grabShown(window);
    platform::setMessageBoxHandler({});
    reset();
    return shot;
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("network-settings"),
                    QStringLiteral("network page: automatic, 2G only not offered by the card"),
                    networkPage}),
    SceneRegistrar({QStringLiteral("manual-select"),
                    QStringLiteral("manual selection: four networks found, one chosen"),
                    manualSelection}),
    SceneRegistrar({QStringLiteral("services-forwarding"),
                    QStringLiteral("call services: forwarding when busy set"),
                    [] { return services(0); }}),
    SceneRegistrar({QStringLiteral("services-barring"),
                    QStringLiteral("call services: all outgoing calls barred"),
                    [] { return services(1); }}),
    SceneRegistrar({QStringLiteral("services-clip"),
                    QStringLiteral("call services: caller ID and call waiting"),
                    [] { return services(2); }}),
};

}  // namespace

}  // namespace screens
