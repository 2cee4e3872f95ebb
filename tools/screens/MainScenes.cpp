// The splash window, the main window in the card states a person meets most, its tray menu and
// the About box. The card is the scriptable fake engine playing a healthy card on a UMTS network.
#include "Scenes.h"

#include "AppWindows.h"
#include "CardMonitor.h"
#include "UI_AboutBox.h"
#include "UI_MainFrm.h"
#include "UI_StartFrm.h"

#include "UI_Affixation.h"
#include "UI_CallManager.h"
#include "UI_CallRecords.h"
#include "UI_Contacts.h"
#include "UI_DataConnectForm.h"
#include "UI_DataLogForm.h"
#include "UI_SatMenuDisplay.h"
#include "UI_SetMenuForm.h"
#include "UI_SetMsgForm.h"
#include "UI_SetNetForm.h"
#include "UI_SetNetSub.h"
#include "UI_SetSS.h"
#include "UI_SetSecurityFrm.h"
#include "UI_SetSoundForm.h"
#include "UI_SmsEdit.h"
#include "UI_SmsList.h"
#include "UI_SmsMain.h"
#include "UI_SmsRead.h"
#include "UI_Ussd.h"
#include "UI_SetBudgetForm.h"
#include "UI_UsageForm.h"
#include "UsageScenes.h"

#include "FakeLumacore.h"
#include "lumacore/fake/FakePhonebook.h"
#include "config/BL_File.h"
#include "logic/WindowPayloads.h"
#include "platform/DialogSeam.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>

#include <cstring>
#include <functional>
#include <memory>

namespace screens {

namespace {

// A card on line that wants no PIN, registered on UMTS in both domains, good signal, and a SIM
// whose service-provider name is "Brisa".
void scriptHealthyCard()
{
    using namespace lumacore_fake;
    reset();
    onCall(&_MEC_GetOperationMode, [](uint8_t *mode) -> MEC_STATUS {
        *mode = 5;
        return 0;
    });
    onCall(&_MEC_GetPinState, [](uint8_t *state) -> MEC_STATUS {
        *state = 0;
        return 0;
    });
    onCall(&_MEC_GetNetworkPara, [](_MEC_NETWORK_PARA *para) -> MEC_STATUS {
        std::strcpy(para->networkType, "UMTS");
        para->serviceDomain = 2;
        return 0;
    });
    onCall(&_MEC_GetZdonPara, [](_MEC_ZDON_PARA *para) -> MEC_STATUS {
        std::strcpy(para->operatorName, "Movara");
        std::strcpy(para->roaming, "ROAM_OFF");
        return 0;
    });
    onCall(&_MEC_GetCsq, [](uint8_t *csq) -> MEC_STATUS {
        *csq = 20;
        return 0;
    });
    onCall(&_MEC_GetSIMCardOperator, [](char *imsi) -> MEC_STATUS {
        std::strcpy(imsi, "722310123456789");
        return 0;
    });
    onCall(&_SIMOperate,
           [](uint8_t, uint16_t, uint8_t, uint8_t, uint8_t, char *response,
              uint32_t size) -> MEC_STATUS {
               std::strncpy(response, "Brisa", size - 1);
               return 0;
           });
    onCall(&_MEC_QueryImei, [](char *imei) -> MEC_STATUS {
        std::strcpy(imei, "356938035643809");
        return 0;
    });
    onCall(&_MEC_GetSoftwareVersion, [](char *software, char *internal) -> MEC_STATUS {
        std::strcpy(software, "12.608.12.00.00");
        std::strcpy(internal, "1");
        return 0;
    });
    onCall(&_MEC_GetBoardVersion, [](char *board) -> MEC_STATUS {
        std::strcpy(board, "CH1E3531SM");
        return 0;
    });
    onCall(&_MEC_GetNetworkSelectMode, [](uint8_t *mode) -> MEC_STATUS {
        *mode = 5;
        return 0;
    });
    onCall(&_MEC_GetNetworkSelectModes, [](uint32_t *modes) -> MEC_STATUS {
        *modes = (1u << 5) | (1u << 2) | (1u << 1);
        return 0;
    });
}

// The program's windows on the fake card, with the settings files in a folder of their own
// and every message box answered, for as long as a scene draws.
class ProgramWindows {
public:
    ProgramWindows()
    {
        FileStore().setFolder(m_folder.path());
        platform::setMessageBoxHandler([](QWidget *, const QString &, int, bool) { return 1; });
        platform::setDialogResponder(
            [](QDialog &) -> std::optional<int> { return QDialog::Rejected; });
        CreateAppWindows();
        settle();
        mainform().showMainWindowNow();
        settle();
    }
    ~ProgramWindows()
    {
        DestroyAppWindows();
        settle();
        platform::setMessageBoxHandler({});
        platform::setDialogResponder({});
        lumacore_fake::reset();
        FileStore().setFolder(QDir::currentPath());
    }
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

    TMainform &mainform() { return *AppWindows().Mainform; }
    // Lets the posted card states and what they post run.
    static void settle() { runEventsFor(150); }

private:
    QTemporaryDir m_folder;
};

// The main window as the screen shows it: its transparent corners over a plain desktop.
QImage onDesktop(QWidget &window)
{
    const QImage shot = grabShown(window);
    // On a 2x screen the shot has twice the pixels; the desktop around it too.
    const qreal ratio = shot.devicePixelRatio();
    QImage desktop(shot.size() + QSize(24, 24) * ratio, QImage::Format_RGB32);
    desktop.setDevicePixelRatio(ratio);
    desktop.fill(QColor(0x3B, 0x4A, 0x5C));
    QPainter painter(&desktop);
    painter.drawImage(12, 12, shot);
    return desktop;
}

QImage mainWindowIn(uint8_t state)
{
    scriptHealthyCard();
    if (state == kCardAbsent)
        lumacore_fake::setResult("_MEC_Startup", 7001);
    ProgramWindows windows;
    TMainform &form = windows.mainform();
    if (state != kCardAbsent) {
        // The service-provider name, read 10 s after the card came on line.
        form.monitor().network().TimerSpnTimer();
        ProgramWindows::settle();
    }
    if (state == kCardOffline) {
        form.Menu_OfflineClick();
        ProgramWindows::settle();
    } else if (state == kSimBlocked) {
        // The PIN was asked for and the dialog cancelled.
        form.monitor().applyCardState(kSimBlocked);
        ProgramWindows::settle();
    }
    return onDesktop(form);
}

using NavigationButton = skin::TImButton *TMainform::*;

// The main window with one page in its content panel, as the navigation shows it: the button
// that leads to the page pressed in.
template <typename Page>
QImage pageInMainWindow(NavigationButton navigation, QPoint position = {},
                        const std::function<void(Page &)> &prepare = {})
{
    scriptHealthyCard();
    // The stores hold what a person's would: a few contacts on the PC and on the SIM.
    FakePhonebook book;
    for (const auto &[name, number] : {std::pair{"Anna Berger", "+49 171 2345678"},
                                       {"Marco Rossi", "+39 347 1234567"},
                                       {"Sven Olsen", "+46 70 1234567"}})
        book.put(FakePhonebook::kPcStorage, name, number);
    book.put(PB_SIM, "Mailbox", "+49 160 5550100");
    ProgramWindows windows;
    TMainform &form = windows.mainform();
    form.monitor().network().TimerSpnTimer();
    ProgramWindows::settle();
    Page *page = AppWindow<Page>();
    if (!page)
        return {};
    static_cast<feature::FeatureHost &>(form).showInPanel(*page, position);
    if (prepare)
        prepare(*page);
    for (skin::TImButton *button : {form.FirstpageButton, form.*navigation})
        button->setChecked(button == form.*navigation);
    ProgramWindows::settle();
    return onDesktop(form);
}

// Settings pages sit beside the settings column.
constexpr QPoint kBesideSettingsColumn(150, 0);

// A settings page as its button in the settings column shows it, that button pressed in.
template <typename Page>
QImage settingsPage(TSetMenuForm::Page entry)
{
    return pageInMainWindow<Page>(&TMainform::ConfigButton, kBesideSettingsColumn,
                                  std::function<void(Page &)>([entry](Page &) {
                                      if (auto *menu = AppWindow<TSetMenuForm>())
                                          menu->showPage(entry);
                                  }));
}

// The USSD screen in the entry window: a request waiting, the reply read, a menu answered.
enum class UssdStep { Waiting, Reply, Menu };

QImage ussdPage(UssdStep step)
{
    return pageInMainWindow<TAffixationfrm>(
        &TMainform::StkButton, {}, std::function<void(TAffixationfrm &)>([step](TAffixationfrm &) {
            Tussdfrm *ussd = AppWindow<Tussdfrm>();
            // A SIM of an operator whose balance code the provider database knows.
            lumacore_fake::onCall(&_MEC_GetSIMCardOperator, [](char *imsi) -> MEC_STATUS {
                std::strcpy(imsi, "262011234567890");
                return 0;
            });
            ussd->SetDeviceState(kSimReady);
            ProgramWindows::settle();
            ussd->USSDStr->setText(step == UssdStep::Menu ? QStringLiteral("*123#")
                                                          : QStringLiteral("*100#"));
            ussd->btnSendClick();
            ProgramWindows::settle();
            for (int tick = 0; tick < 3; ++tick)
                ussd->USSDTimerTimer();
            if (step == UssdStep::Waiting)
                return;
            _MEC_USSD_REPLY reply{};
            reply.resultType = step == UssdStep::Menu ? 1 : 0;
            reply.dataCodingScheme = 0x0F;
            std::strcpy(reply.text,
                        step == UssdStep::Menu
                            ? "Servicemenü\n1 Guthaben\n2 Tarife\n3 Internet-Pakete\n0 Beenden"
                            : "Ihr Guthaben beträgt 12,50 €. Gültig bis 31.12.2026. Grüße von Brisa!");
            ussd->ShowReply(reply);
            ProgramWindows::settle();
            if (step == UssdStep::Menu)
                ussd->USSDStr->setText(QStringLiteral("2"));
        }));
}

QImage trayMenu()
{
    scriptHealthyCard();
    ProgramWindows windows;
    QMenu &menu = *windows.mainform().PopupMenu_TrayMain;
    menu.popup(QPoint(0, 0));
    runEventsFor(100);
    const QImage shot = menu.grab().toImage();
    menu.hide();
    return shot;
}

QImage aboutBox(bool internalVersions)
{
    scriptHealthyCard();
    AboutBoxContext context;
    context.cardState = kSimReady;
    context.showInternalVersions = internalVersions;
    TAboutBox box(nullptr, context);
    const QImage shot = grabShown(box);
    lumacore_fake::reset();
    return shot;
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("splash"),
                    QStringLiteral("the splash window while the program starts"),
                    [] {
                        TStartForm splash;
                        return grabShown(splash);
                    }}),
    SceneRegistrar({QStringLiteral("main-state1"), QStringLiteral("main window, no data card"),
                    [] { return mainWindowIn(kCardAbsent); }}),
    SceneRegistrar({QStringLiteral("main-state7"),
                    QStringLiteral("main window, data card off line"),
                    [] { return mainWindowIn(kCardOffline); }}),
    SceneRegistrar({QStringLiteral("main-state10"), QStringLiteral("main window, SIM blocked"),
                    [] { return mainWindowIn(kSimBlocked); }}),
    SceneRegistrar({QStringLiteral("main-state12"),
                    QStringLiteral("main window, SIM ready on a UMTS network"),
                    [] { return mainWindowIn(kSimReady); }}),
    SceneRegistrar({QStringLiteral("page-internet"), QStringLiteral("main window: Internet page"),
                    [] { return pageInMainWindow<TData_connectform>(&TMainform::InternetButton); }}),
    SceneRegistrar({QStringLiteral("page-connection-log"),
                    QStringLiteral("main window: connection log"),
                    [] { return pageInMainWindow<TDataLogForm>(&TMainform::InternetButton); }}),
    SceneRegistrar({QStringLiteral("page-usage"),
                    QStringLiteral("main window: data usage, the days of this period"),
                    [] {
                        return pageInMainWindow<TUsageForm>(
                            &TMainform::InternetButton, {}, [](TUsageForm &page) {
                                prepareUsagePage(page, AppWindow<TData_connectform>());
                            });
                    }}),
    SceneRegistrar({QStringLiteral("page-settings-budget"),
                    QStringLiteral("main window: settings, data budget"),
                    [] {
                        return pageInMainWindow<TSet_budgetform>(
                            &TMainform::ConfigButton, kBesideSettingsColumn,
                            [](TSet_budgetform &page) {
                                prepareBudgetPage(page);
                                if (auto *menu = AppWindow<TSetMenuForm>())
                                    menu->showPage(TSetMenuForm::kBudget);
                            });
                    }}),
    SceneRegistrar({QStringLiteral("page-sms"), QStringLiteral("main window: SMS"),
                    [] { return pageInMainWindow<TFrmSmsMain>(&TMainform::MsgButton); }}),
    SceneRegistrar({QStringLiteral("page-sms-list"), QStringLiteral("main window: message list"),
                    [] { return pageInMainWindow<TFrmSmsList>(&TMainform::MsgButton); }}),
    SceneRegistrar({QStringLiteral("page-sms-read"),
                    QStringLiteral("main window: reading a message"),
                    [] { return pageInMainWindow<TFrmSmsRead>(&TMainform::MsgButton); }}),
    SceneRegistrar({QStringLiteral("page-sms-compose"),
                    QStringLiteral("main window: writing a message"),
                    [] { return pageInMainWindow<TFrmSmsEdit>(&TMainform::MsgButton); }}),
    SceneRegistrar({QStringLiteral("page-contacts"), QStringLiteral("main window: contacts"),
                    [] { return pageInMainWindow<TFrmContacts>(&TMainform::PonebookButton); }}),
    SceneRegistrar({QStringLiteral("page-settings-profiles"),
                    QStringLiteral("main window: settings, connection profiles"),
                    [] { return settingsPage<TSet_netsub>(TSetMenuForm::kProfiles); }}),
    SceneRegistrar({QStringLiteral("page-settings-security"),
                    QStringLiteral("main window: settings, security"),
                    [] { return settingsPage<TSet_securityform>(TSetMenuForm::kSecurity); }}),
    SceneRegistrar({QStringLiteral("page-settings-network"),
                    QStringLiteral("main window: settings, network"),
                    [] { return settingsPage<TSet_netform>(TSetMenuForm::kNetwork); }}),
    SceneRegistrar({QStringLiteral("page-settings-sms"),
                    QStringLiteral("main window: settings, SMS"),
                    [] { return settingsPage<TSet_msgform>(TSetMenuForm::kSms); }}),
    SceneRegistrar({QStringLiteral("page-settings-sound"),
                    QStringLiteral("main window: settings, sounds"),
                    [] { return pageInMainWindow<TSet_soundform>(&TMainform::ConfigButton, kBesideSettingsColumn, std::function<void(TSet_soundform &)>([](TSet_soundform &) { (void)FileStore().RestoreAllConfigDefaults(); if (auto *menu = AppWindow<TSetMenuForm>()) menu->showPage(TSetMenuForm::kSound); })); }}),
    SceneRegistrar({QStringLiteral("page-services"),
                    QStringLiteral("main window: supplementary services"),
                    [] { return settingsPage<TSet_SS>(TSetMenuForm::kCallServices); }}),
    SceneRegistrar({QStringLiteral("page-calls"), QStringLiteral("main window: calls"),
                    [] { return pageInMainWindow<TCall_managerform>(&TMainform::CallButton); }}),
    SceneRegistrar({QStringLiteral("page-call-records"),
                    QStringLiteral("main window: call records"),
                    [] { return pageInMainWindow<TCrForm>(&TMainform::CallhisButton); }}),
    SceneRegistrar({QStringLiteral("page-toolkit"),
                    QStringLiteral("main window: USSD and SIM toolkit entry"),
                    [] { return pageInMainWindow<TAffixationfrm>(&TMainform::StkButton); }}),
    SceneRegistrar({QStringLiteral("page-ussd-waiting"),
                    QStringLiteral("main window: USSD, waiting for the balance"),
                    [] { return ussdPage(UssdStep::Waiting); }}),
    SceneRegistrar({QStringLiteral("page-ussd-reply"),
                    QStringLiteral("main window: USSD, the balance in German"),
                    [] { return ussdPage(UssdStep::Reply); }}),
    SceneRegistrar({QStringLiteral("page-ussd-menu"),
                    QStringLiteral("main window: USSD, a service menu being answered"),
                    [] { return ussdPage(UssdStep::Menu); }}),
    SceneRegistrar({QStringLiteral("page-toolkit-menu"),
                    QStringLiteral("main window: SIM toolkit menu"),
                    [] {
                        return pageInMainWindow<TSatMenuDisplayForm>(
                            &TMainform::StkButton, {}, [](TSatMenuDisplayForm &page) {
                                // The SIM's services sub-menu, as the SIM sent it.
                                _MEC_STK_RECORD menu{};
                                std::strcpy(menu.title, "Services");
                                const char *items[] = {"Top up", "Language", "Your name",
                                                       "Note", "PIN code", "One key"};
                                menu.itemCount = 6;
                                for (uint32_t i = 0; i < menu.itemCount; ++i) {
                                    std::strcpy(menu.itemTexts[i], items[i]);
                                    menu.itemIds[i] = i + 1;
                                }
                                platform::WindowMessageEvent event(
                                    MEC_MSG_STK_SUB_MENU, 0, 0,
                                    makePayload<platform::WM_STK_FIRST>(menu));
                                page.messageArrived(event);
                                page.SatMenuDisplayListBox->setCurrentRow(0);
                            });
                    }}),
    SceneRegistrar({QStringLiteral("tray-menu"),
                    QStringLiteral("the tray icon's menu with the SIM ready"),
                    [] { return trayMenu(); }}),
    SceneRegistrar({QStringLiteral("about"),
                    QStringLiteral("About box with the card's IMEI and versions"),
                    [] { return aboutBox(false); }}),
    SceneRegistrar({QStringLiteral("about-internal"),
                    QStringLiteral("About box with the internal versions (an old card)"),
                    [] { return aboutBox(true); }}),
};

}  // namespace

}  // namespace screens
