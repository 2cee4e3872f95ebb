#include "UI_MainFrm.h"

#include "WindowParts.h"

#include "CardMonitor.h"
#include "MainPictures.h"
#include "UI_AboutBox.h"
#include "UI_StartFrm.h"

#include "FeatureRoles.h"
#include "WindowTable.h"

#include "PinEntry.h"

#include "config/BL_File.h"
#include "language/TextNumbers.h"
#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"
#include "skin/ColorRef.h"
#include "skin/FaceManager.h"
#include "skin/Logo.h"

#include "lumacore.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

namespace {

using platform::GetLanguageString;

const QColor kFuchsia(255, 0, 255);
const QColor kStripText(0x1F, 0x3A, 0x56);
const QColor kWelcomeText(0x1B, 0x4F, 0x8A);

// Design places of the controls (the window is 640 x 480).
constexpr int kTitleHeight = 36;
constexpr int kNavTop = 40;
constexpr int kNavButtonWidth = 64;
constexpr int kNavButtonHeight = 60;
constexpr int kStripTop = 452;
constexpr int kStripHeight = 28;
constexpr int kStatusIconSize = 20;

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, colour);
    widget->setPalette(colours);
}

QPixmap keyedLogo(const QPixmap &logo)
{
    if (logo.isNull())
        return logo;
    return QPixmap::fromImage(skin::withColorKey(logo.toImage(), kFuchsia));
}

}  // namespace

TMainform::TMainform(feature::WindowTable &windows)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_windows(windows)
{
    setObjectName(QStringLiteral("Mainform"));
    setFixedSize(kWidth, kHeight);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xE9, 0xEF, 0xF6));
    colours.setColor(QPalette::WindowText, kStripText);
    setPalette(colours);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));

    buildImageLists();
    buildTitleBar();
    buildNavigation();
    buildContent();
    buildStatusStrip();
    buildTray();
    buildTimers();

    m_monitor = std::make_unique<CardMonitor>(*this, m_windows);
    m_monitor->setMessageTarget(this);

    FormCreate();
}

TMainform::~TMainform() { FormDestroy(); }

// ---- building -------------------------------------------------------------------------------

void TMainform::buildImageLists()
{
    ImageList_TrayMain = new skin::ImageList(this);
    ImageList_TrayMain->setObjectName(QStringLiteral("ImageList_TrayMain"));
    for (int index = 0; index < mainpictures::kTrayMainCount; ++index)
        ImageList_TrayMain->AddMasked(mainpictures::trayMainPicture(index, kStatusIconSize),
                                      kFuchsia);

    ImageList_RSSILevel = new skin::ImageList(this);
    ImageList_RSSILevel->setObjectName(QStringLiteral("ImageList_RSSILevel"));
    for (int level = 0; level < mainpictures::kSignalLevelCount; ++level)
        ImageList_RSSILevel->AddMasked(mainpictures::signalLevelPicture(level), kFuchsia);

    ImageList_NewSms = new skin::ImageList(this);
    ImageList_NewSms->setObjectName(QStringLiteral("ImageList_NewSms"));
    for (int frame = 0; frame < mainpictures::kNewSmsFrames; ++frame)
        ImageList_NewSms->AddMasked(mainpictures::newSmsPicture(frame, 18), kFuchsia);

    ImageList_IncomingCall = new skin::ImageList(this);
    ImageList_IncomingCall->setObjectName(QStringLiteral("ImageList_IncomingCall"));
    for (int frame = 0; frame < mainpictures::kIncomingCallFrames; ++frame)
        ImageList_IncomingCall->AddMasked(mainpictures::incomingCallPicture(frame, 18), kFuchsia);

    ImageList_Internet = new skin::ImageList(this);
    ImageList_Internet->setObjectName(QStringLiteral("ImageList_Internet"));
    for (int frame = 0; frame < mainpictures::kInternetFrames; ++frame)
        ImageList_Internet->AddMasked(mainpictures::internetPicture(frame, kStatusIconSize),
                                      kFuchsia);
}

void TMainform::buildTitleBar()
{
    YBBACKIMAGE = new skin::BackImage(this);
    YBBACKIMAGE->setObjectName(QStringLiteral("YBBACKIMAGE"));
    YBBACKIMAGE->setGeometry(0, 0, kWidth, kHeight);

    YBBACKIMAGE_TITLE_LEFT = new skin::BackImage(this);
    YBBACKIMAGE_TITLE_LEFT->setObjectName(QStringLiteral("YBBACKIMAGE_TITLE_LEFT"));
    YBBACKIMAGE_TITLE_LEFT->setGeometry(0, 0, 12, kTitleHeight);
    YBBACKIMAGE_TITLE = new skin::BackImage(this);
    YBBACKIMAGE_TITLE->setObjectName(QStringLiteral("YBBACKIMAGE_TITLE"));
    YBBACKIMAGE_TITLE->setGeometry(12, 0, kWidth - 24, kTitleHeight);
    YBBACKIMAGE_TITLE_RIGHT = new skin::BackImage(this);
    YBBACKIMAGE_TITLE_RIGHT->setObjectName(QStringLiteral("YBBACKIMAGE_TITLE_RIGHT"));
    YBBACKIMAGE_TITLE_RIGHT->setGeometry(kWidth - 12, 0, 12, kTitleHeight);
    for (skin::BackImage *part :
         {YBBACKIMAGE, YBBACKIMAGE_TITLE_LEFT, YBBACKIMAGE_TITLE, YBBACKIMAGE_TITLE_RIGHT})
        part->setColorKeyed(true);

    ImImage_Title_Logo = new skin::TImImage(this);
    ImImage_Title_Logo->setObjectName(QStringLiteral("ImImage_Title_Logo"));
    ImImage_Title_Logo->setIsBkgnd(true);
    ImImage_Title_Logo->setGeometry(12, 5, 26, 26);

    Label_Caption = makeLabel(this, "Label_Caption", 14, true);
    setTextColour(Label_Caption, Qt::white);
    Label_Caption->setGeometry(ImImage_Title_Logo->geometry().right() + 1 + 5, 0, 520,
                               kTitleHeight);
    Label_Caption->installEventFilter(this);

    ImImage_Title_Minimize = new skin::TImImage(this);
    ImImage_Title_Minimize->setObjectName(QStringLiteral("ImImage_Title_Minimize"));
    ImImage_Title_Minimize->setGeometry(kWidth - 52, 8, 20, 20);
    ImImage_Title_Minimize->setCursor(Qt::PointingHandCursor);
    connect(ImImage_Title_Minimize, &skin::TImImage::clicked, this,
            &TMainform::ImImage_Title_MinimizeClick);

    ImImage_Title_Close = new skin::TImImage(this);
    ImImage_Title_Close->setObjectName(QStringLiteral("ImImage_Title_Close"));
    ImImage_Title_Close->setGeometry(kWidth - 28, 8, 20, 20);
    ImImage_Title_Close->setCursor(Qt::PointingHandCursor);
    connect(ImImage_Title_Close, &skin::TImImage::clicked, this,
            &TMainform::ImImage_Title_CloseClick);
}

void TMainform::buildNavigation()
{
    const auto button = [this](const char *name, int left, void (TMainform::*handler)()) {
        auto *navigation = new skin::TImButton(this);
        navigation->setObjectName(QLatin1String(name));
        navigation->setLooks(skin::TImButtonLooks::ibkFullPicture);
        navigation->setPictureCount(3);
        navigation->setAnimateSpeed(200);
        navigation->setFocusRect(false);
        navigation->setTransparent(true);
        navigation->setFocusPolicy(Qt::NoFocus);
        navigation->setGeometry(left, kNavTop, kNavButtonWidth, kNavButtonHeight);
        connect(navigation, &QAbstractButton::clicked, this, handler);
        return navigation;
    };
    // Design places; FormCreate spreads the middle ones between InternetButton and HelpButton.
    FirstpageButton = button("FirstpageButton", 24, &TMainform::FirstpageButtonClick);
    InternetButton = button("InternetButton", 112, &TMainform::InternetButtonClick);
    CallButton = button("CallButton", 200, &TMainform::CallButtonClick);
    MsgButton = button("MsgButton", 200, &TMainform::MsgButtonClick);
    PonebookButton = button("PonebookButton", 288, &TMainform::PonebookButtonClick);
    CallhisButton = button("CallhisButton", 288, &TMainform::CallhisButtonClick);
    ConfigButton = button("ConfigButton", 376, &TMainform::ConfigButtonClick);
    HelpButton = button("HelpButton", 464, &TMainform::HelpButtonClick);
    StkButton = button("StkButton", 552, &TMainform::StkButtonClick);
    // The SIM toolkit needs a ready SIM.
    StkButton->setEnabled(false);
    // The button of the page shown stays pushed in.
    for (const auto &[page, pageButton] : navigationButtons())
        pageButton->setCheckable(true);
}

void TMainform::buildContent()
{
    Label_Welcom = makeLabel(this, "Label_Welcom", 22, true);
    setTextColour(Label_Welcom, kWelcomeText);
    Label_Welcom->setAlignment(Qt::AlignCenter);
    Label_Welcom->setWordWrap(true);
    Label_Welcom->setGeometry(kContentArea.adjusted(24, 24, -24, -24));

    Mainpanel = new QWidget(this);
    Mainpanel->setObjectName(QStringLiteral("Mainpanel"));
    Mainpanel->setGeometry(kContentArea);
    Mainpanel->hide();
}

void TMainform::buildStatusStrip()
{
    YBBACKIMAGE_UNDER = new skin::BackImage(this);
    YBBACKIMAGE_UNDER->setObjectName(QStringLiteral("YBBACKIMAGE_UNDER"));
    YBBACKIMAGE_UNDER->setGeometry(0, kStripTop, kWidth, kStripHeight);
    YBBACKIMAGE_UNDER->setColorKeyed(true);

    const auto image = [this](const char *name, int left, int width, int height) {
        auto *picture = new skin::SkinImage(this);
        picture->setObjectName(QLatin1String(name));
        picture->setGeometry(left, kStripTop + (kStripHeight - height) / 2, width, height);
        return picture;
    };
    const auto label = [this](const char *name, int left, int width) {
        QLabel *text = makeLabel(this, name, 12);
        setTextColour(text, kStripText);
        text->setGeometry(left, kStripTop, width, kStripHeight);
        text->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        return text;
    };

    Image_RSSI = image("Image_RSSI", 12, 32, 17);
    Image_RSSI->installEventFilter(this);
    Label_NetWorkType = label("Label_NetWorkType", 50, 84);
    Label_OperaName = label("Label_OperaName", 136, 150);
    Label_Domain = label("Label_Domain", 288, 30);
    Label_Roam = label("Label_Roam", 320, 16);
    QFont bold = Label_Roam->font();
    bold.setBold(true);
    Label_Roam->setFont(bold);
    Image_Netcard = image("Image_Netcard", 340, kStatusIconSize, kStatusIconSize);
    Image_Simcard = image("Image_Simcard", 364, kStatusIconSize, kStatusIconSize);
    Image_Internet = image("Image_Internet", 388, kStatusIconSize, kStatusIconSize);

    const auto indicator = [this](const char *name, int left) {
        auto *notice = new skin::TImImage(this);
        notice->setObjectName(QLatin1String(name));
        notice->setGeometry(left, kStripTop + 5, 20, 18);
        notice->setCursor(Qt::PointingHandCursor);
        notice->hide();
        return notice;
    };
    ImImage_NewSms = indicator("ImImage_NewSms", 416);
    connect(ImImage_NewSms, &skin::TImImage::clicked, this, &TMainform::ImImage_NewSmsClick);
    // The message notice's read button does what the new-message icon does.
    m_popups.setOpenNewSms([this] { ImImage_NewSmsClick(); });
    ImImage_IncomingCall = indicator("ImImage_IncomingCall", 440);
    connect(ImImage_IncomingCall, &skin::TImImage::clicked, this,
            &TMainform::ImImage_IncomingCallClick);

    Label_clock = label("Label_clock", 466, kWidth - 466 - 12);
    Label_clock->setAlignment(Qt::AlignVCenter | Qt::AlignRight);

    Image_RSSI->setPicture(ImageList_RSSILevel->picture(0));
    for (skin::SkinImage *icon : {Image_Netcard, Image_Simcard, Image_Internet})
        icon->setStretch(true);
    Image_Netcard->setPicture(ImageList_TrayMain->picture(kImageCardAbsent));
    Image_Simcard->setPicture(ImageList_TrayMain->picture(kImageSimMissing));
    Image_Internet->setPicture(ImageList_TrayMain->picture(kImageNotConnected));
}

void TMainform::buildTray()
{
    TrayIcon_Main = new QSystemTrayIcon(this);
    TrayIcon_Main->setObjectName(QStringLiteral("TrayIcon_Main"));
    PopupMenu_TrayMain = new QMenu(this);
    PopupMenu_TrayMain->setObjectName(QStringLiteral("PopupMenu_TrayMain"));

    const auto item = [this](const char *name, bool visible,
                             void (TMainform::*handler)() = nullptr) {
        QAction *action = PopupMenu_TrayMain->addAction(QString());
        action->setObjectName(QLatin1String(name));
        action->setVisible(visible);
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto separator = [this](const char *name) {
        QAction *action = PopupMenu_TrayMain->addSeparator();
        action->setObjectName(QLatin1String(name));
        return action;
    };
    Menu_PowerOff = item("Menu_PowerOff", false, &TMainform::Menu_PowerOffClick);
    Menu_Offline = item("Menu_Offline", true, &TMainform::Menu_OfflineClick);
    Menu_Online = item("Menu_Online", true, &TMainform::Menu_OnlineClick);
    Menu_FSettings = item("Menu_FSettings", false, &TMainform::Menu_FSettingsClick);
    Menu_N1 = separator("Menu_N1");
    Menu_Help = item("Menu_Help", true, &TMainform::HelpButtonClick);
    Menu_About = item("Menu_About", true, &TMainform::Menu_AboutClick);
    Menu_N2 = separator("Menu_N2");
    // Hidden; the notices they stand for come from the windows.
    Menu_NewSms = item("Menu_NewSms", false);
    Menu_ClearNewSms = item("Menu_ClearNewSms", false);
    Menu_IncomingCall = item("Menu_IncomingCall", false);
    Menu_IncomingCallAccept = item("Menu_IncomingCallAccept", false);
    Menu_IncomingCallTerminate = item("Menu_IncomingCallTerminate", false);
    Menu_IncomingCallAbort = item("Menu_IncomingCallAbort", false);
    Menu_ClearMissedCall = item("Menu_ClearMissedCall", false);
    Menu_InternetConnect = item("Menu_InternetConnect", false);
    Menu_InternetDisconnect = item("Menu_InternetDisconnect", false);
    Menu_DisableAllTool = item("Menu_DisableAllTool", false);
    Menu_EnableAllTool = item("Menu_EnableAllTool", false);
    Menu_Exit = item("Menu_Exit", true, &TMainform::Menu_ExitClick);

    // The notices the hidden items stand for; the monitor exists by the time they can run.
    connect(Menu_ClearNewSms, &QAction::triggered, this, [this] { m_monitor->clearNewSms(); });
    connect(Menu_IncomingCallAccept, &QAction::triggered, this,
            [this] { m_monitor->callAccepted(); });
    connect(Menu_IncomingCallTerminate, &QAction::triggered, this,
            [this] { m_monitor->callStopped(); });
    connect(Menu_IncomingCallAbort, &QAction::triggered, this, [this] { m_monitor->missedCall(); });
    connect(Menu_ClearMissedCall, &QAction::triggered, this,
            [this] { m_monitor->clearMissedCall(); });
    connect(Menu_InternetConnect, &QAction::triggered, this, [this] { m_monitor->connectionUp(); });
    connect(Menu_InternetDisconnect, &QAction::triggered, this,
            [this] { m_monitor->connectionDown(); });
    connect(Menu_DisableAllTool, &QAction::triggered, this,
            [this] { m_monitor->disableNavigation(); });
    connect(Menu_EnableAllTool, &QAction::triggered, this,
            [this] { m_monitor->enableNavigation(); });

    TrayIcon_Main->setContextMenu(PopupMenu_TrayMain);
    connect(TrayIcon_Main, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Hosts that follow the StatusNotifier protocol send a plain activation where
                // others send a double click; either brings a hidden window back. A click on a
                // shown window does nothing.
                if (reason == QSystemTrayIcon::DoubleClick ||
                    (reason == QSystemTrayIcon::Trigger && isMinimizedOrHidden()))
                    TrayIcon_MainRestore();
            });
    setTrayImage(kImageCardAbsent);
}

void TMainform::buildTimers()
{
    const auto timer = [this](QTimer &which, const char *name, int interval,
                              void (TMainform::*tick)()) {
        which.setObjectName(QLatin1String(name));
        which.setInterval(interval);
        connect(&which, &QTimer::timeout, this, tick);
    };
    timer(Timer_Start, "Timer_Start", 10000, &TMainform::Timer_StartTimer);
    timer(RefreshTimer, "RefreshTimer", 5000, &TMainform::RefreshTimerTimer);
    timer(Timer_NewSms, "Timer_NewSms", 800, &TMainform::Timer_NewSmsTimer);
    timer(Timer_IncomingCall, "Timer_IncomingCall", 800, &TMainform::Timer_IncomingCallTimer);
    timer(Timer_Internet, "Timer_Internet", 800, &TMainform::Timer_InternetTimer);
    timer(TrayIcon_MainAnimation, "TrayIcon_MainAnimation", 800, &TMainform::TrayIcon_MainAnimate);
    Timer_Start.start();
    RefreshTimer.start();
}

// ---- creation, show, close, destruction -----------------------------------------------------

void TMainform::FormCreate()
{
    applySkin();

    CallButton->hide();
    CallhisButton->hide();
    layoutNavigationButtons();
    FirstpageButton->show();

    skin::LoadTitleLogo(ImImage_Title_Logo);
    ImImage_Title_Logo->setPicture(keyedLogo(ImImage_Title_Logo->Picture()));
    Label_Caption->move(ImImage_Title_Logo->geometry().right() + 1 + 5, Label_Caption->y());

    Menu_PowerOff->setVisible(false);

    setTexts();

    // A missing file is not reported here: the values stay as they were.
    TBL_File &store = FileStore();
    store.LoadAllConfig();
    store.LoadDefaultProfile();
    store.LoadFactoryProfile();

    const uint16_t startStatus = StartBusinessLogic(0, 400, 0);
    RegisterCardCallbacks();
    RegisterMainWindow(this, 0);
    m_monitor->postCardState(startStatus != 0 ? kCardAbsent : kCardInserted);
    // The PC store is read once the event loop runs, not while the windows are being built.
    QTimer::singleShot(0, this, &TMainform::loadPcLists);

    m_showInternalVersions = false;
    m_restoredFromTray = false;

    m_monitor->watchPowerEvents();
}

void TMainform::loadPcLists()
{
    // What is on the screen (the splash, or this window) is painted first, so the read does
    // not leave a blank window; the counts the read posts reach the windows that showed none.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->repaint();
    }
    LoadPcLists();
}

void TMainform::applySkin()
{
    const skin::ScopedFaceManager faces(skin::FaceManager::kVariantMain);
    if (!faces.chosen())
        return;
    const std::pair<QObject *, const char *> controls[] = {
        {CallButton, "MAIN.CALLBUTTON"},
        {CallhisButton, "MAIN.CALLHISBUTTON"},
        {ConfigButton, "MAIN.CONFIGBUTTON"},
        {FirstpageButton, "MAIN.FIRSTPAGEBUTTON"},
        {HelpButton, "MAIN.HELPBUTTON"},
        {InternetButton, "MAIN.INTERNETBUTTON"},
        {MsgButton, "MAIN.MSGBUTTON"},
        {PonebookButton, "MAIN.PONEBOOKBUTTON"},
        {StkButton, "MAIN.STKBUTTON"},
        {ImImage_Title_Close, "MAIN.IMIMAGE_TITLE_CLOSE"},
        {ImImage_Title_Minimize, "MAIN.IMIMAGE_TITLE_MINIMIZE"},
        {YBBACKIMAGE, "MAIN.YBBACKIMAGE"},
        {YBBACKIMAGE_TITLE, "MAIN.YBBACKIMAGE_TITLE"},
        {YBBACKIMAGE_TITLE_LEFT, "MAIN.YBBACKIMAGE_TITLE_LEFT"},
        {YBBACKIMAGE_TITLE_RIGHT, "MAIN.YBBACKIMAGE_TITLE_RIGHT"},
        {YBBACKIMAGE_UNDER, "MAIN.YBBACKIMAGE_UNDER"},
        {ImImage_IncomingCall, "MAIN.IMIMAGE_INCOMINGCALL"},
        {ImImage_NewSms, "MAIN.IMIMAGE_NEWSMS"},
    };
    for (const auto &[control, key] : controls)
        faces.apply(control, QLatin1String(key));
    applyWindowShape();
}

// The skin's background leaves the corners fuchsia: they are cut out of the window.
void TMainform::applyWindowShape()
{
    const QPixmap background = YBBACKIMAGE->Picture();
    if (background.isNull() || background.deviceIndependentSize().toSize() != size())
        return;
    // The opaque pixels of the keyed background are the window; the rest is cut away, which
    // works with or without a compositing window manager. The mask is in points: a 2x picture
    // gives it at half its pixels.
    QImage keyed = skin::withColorKey(background.toImage(), kFuchsia);
    if (keyed.size() != size())
        keyed = keyed.scaled(size());
    keyed.setDevicePixelRatio(1);
    setMask(QPixmap::fromImage(keyed).mask());
    setAttribute(Qt::WA_TranslucentBackground, true);
}

void TMainform::setTexts()
{
    setWindowTitle(GetLanguageString(1001));
    Label_Caption->setText(QStringLiteral("   BANDA ANCHA DE MOVARA 3G   ") +
                           GetLanguageString(1001));
    Label_Welcom->setText(GetLanguageString(1010));

    Menu_Exit->setText(GetLanguageString(1011) + QStringLiteral("(&X)"));
    Menu_PowerOff->setText(GetLanguageString(1022) + QStringLiteral("(&P)"));
    Menu_FSettings->setText(GetLanguageString(1162) + QStringLiteral("(&F)"));
    Menu_Help->setText(GetLanguageString(1009) + QStringLiteral("...(&H)"));
    Menu_About->setText(GetLanguageString(1053) + QStringLiteral("...(&A)"));
    Menu_Offline->setText(GetLanguageString(1096) + QStringLiteral("(&O)"));
    Menu_Online->setText(GetLanguageString(1097) + QStringLiteral("(&N)"));

    const std::pair<QWidget *, unsigned> hints[] = {
        {FirstpageButton, 1002},      {InternetButton, 1003},
        {CallButton, 1004},           {MsgButton, 1005},
        {PonebookButton, 1006},       {ConfigButton, 1007},
        {CallhisButton, 1008},        {StkButton, 1099},
        {HelpButton, 1009},           {Image_RSSI, 1070},
        {ImImage_IncomingCall, 1051}, {ImImage_NewSms, 1012},
        {Label_NetWorkType, 1074},    {Label_OperaName, 1075},
    };
    for (const auto &[control, number] : hints)
        control->setToolTip(GetLanguageString(number));
    Label_Domain->setToolTip(QString());
}

void TMainform::layoutNavigationButtons()
{
    const int step = (HelpButton->x() - InternetButton->x()) / 4;
    MsgButton->move(InternetButton->x() + step, MsgButton->y());
    PonebookButton->move(MsgButton->x() + step, PonebookButton->y());
    ConfigButton->move(PonebookButton->x() + step, ConfigButton->y());
}

void TMainform::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMainform::FormShow()
{
    if (!m_restoredFromTray)
        FirstpageButtonClick();
}

unsigned FirstRefusal(const RefusalFacts &facts)
{
    if (facts.callInProgress)
        return 1032;
    if (facts.connectionNotIdle)
        return 1052;
    if (facts.ussdSession)
        return 1104;
    if (facts.busy)
        return 1098;
    return 0;
}

unsigned TMainform::refusalString() const
{
    RefusalFacts facts;
    facts.callInProgress = callState() != 0;
    facts.connectionNotIdle = connectionState() != 0;
    // Without the business logic (it could not be created) there is no USSD session.
    facts.ussdSession = BusinessLogic() != nullptr && UssdIsBusy();
    facts.busy = m_busy;
    return FirstRefusal(facts);
}

bool TMainform::refuse()
{
    const unsigned refusal = refusalString();
    if (refusal == 0)
        return false;
    platform::ShowMessageBox(this, GetLanguageString(refusal), 2);
    return true;
}

void TMainform::closeEvent(QCloseEvent *event)
{
    if (!m_closeAccepted && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    m_closeAccepted = true;
    event->accept();
    // The main window closing ends the program, even while other windows are open.
    emit formClosed();
}

bool TMainform::FormCloseQuery()
{
    if (refuse()) {
        restoreFromTray();
        return false;
    }
    pin::PinEntry &pins = m_monitor->pinEntry();
    // The question must not hide behind a PIN dialog that stays on top.
    pins.SetDialogsOnTop(false);
    if (platform::AskMessageBox(this, GetLanguageString(1042), 3) != 1) {
        restoreFromTray();
        pins.SetDialogsOnTop(true);
        return false;
    }
    // The question waited for the user; a call may have come in meanwhile.
    if (callState() != 0) {
        restoreFromTray();
        return false;
    }
    if (cardState() != kCardAbsent) {
        // The program ends whatever the card answers: stopping and the off-line mode are a
        // courtesy to the card, and a card that refuses keeps its own state.
        (void)_MEC_NetcardStop();
        (void)_MEC_SetOperationMode(6);
    }
    m_monitor->freeNewSmsEntry();
    return true;
}

void TMainform::FormDestroy()
{
    m_monitor->pinEntry().CloseAndFree();
    TrayIcon_Main->hide();
    StopBusinessLogic();
    RegisterMainWindow(nullptr, 1);
    // The window is going away: the box has no owner, and the person must learn that the
    // settings of this session did not reach the disk.
    if (!FileStore().SaveAllConfig())
        platform::ShowMessageBox(nullptr, GetLanguageString(text::kSettingsNotSaved), 2);
    // The pending texts and the rest of the card's state go with the monitor.
    m_monitor.reset();
}

void TMainform::HelpButtonClick()
{
    // The help is HTML in ./help beside the program, opened in the desktop's browser.
    const QString file = platform::FirstFileIn(QStringLiteral("./help"), QStringLiteral("*.html"));
    if (file.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
}

// ---- title bar, indicators ------------------------------------------------------------------

void TMainform::ImImage_Title_CloseClick() { close(); }

void TMainform::ImImage_Title_MinimizeClick() { TrayIcon_MainMinimize(); }

void TMainform::ImImage_NewSmsClick()
{
    // The message list comes up: the navigation row says it is the messages' page.
    markCurrentPage(feature::NavigationButton::Messages);
    m_monitor->newSmsIndicatorClicked();
}

void TMainform::ImImage_IncomingCallClick() { m_monitor->missedCallIndicatorClicked(); }

bool TMainform::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label_Caption) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() != Qt::LeftButton)
                break;
            // Where the window system moves windows itself (Wayland), it is asked to.
            if (QGuiApplication::platformName() == QLatin1String("wayland") && windowHandle() &&
                windowHandle()->startSystemMove())
                return true;
            m_dragging = true;
            m_dragOffset = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
            return true;
        }
        case QEvent::MouseMove:
            if (m_dragging && !isMaximized()) {
                move(static_cast<QMouseEvent *>(event)->globalPosition().toPoint() - m_dragOffset);
                return true;
            }
            break;
        case QEvent::MouseButtonRelease: m_dragging = false; break;
        default: break;
        }
    } else if (watched == Image_RSSI && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton && (mouse->modifiers() & Qt::ControlModifier) &&
            cardState() == kCardAbsent)
            m_showInternalVersions = true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- menus ----------------------------------------------------------------------------------

void TMainform::Menu_PowerOffClick()
{
    pin::PinEntry &pins = m_monitor->pinEntry();
    pins.SetDialogsOnTop(false);
    if (auto *connection = m_windows.role<feature::InternetConnection>())
        connection->offlineAsked();
    if (!refuse()) {
        if (_MEC_Poweroff(1) == 0) {
            platform::ShowMessageBox(this, GetLanguageString(1102), 2);
            m_monitor->postCardState(kCardAbsent);
        } else {
            platform::ShowMessageBox(this, GetLanguageString(1103), 2);
        }
    }
    pins.CloseAndFree();
}

void TMainform::Menu_OfflineClick()
{
    if (auto *connection = m_windows.role<feature::InternetConnection>())
        connection->offlineAsked();
    if (refuse())
        return;
    // Stopping the engine's polling first is best effort; the mode change decides what follows.
    (void)_MEC_NetcardStop();
    if (_MEC_SetOperationMode(6) != 0)
        return;
    switch (cardState()) {
    case kCardOffline: m_monitor->postCardState(kCardQueryMode); break;
    case kCardOnline:
    case kCardRegistered:
    case kSimReady: m_monitor->postCardState(kCardOffline); break;
    default: break;
    }
}

void TMainform::Menu_OnlineClick() { m_monitor->goOnline(); }

void TMainform::Menu_FSettingsClick()
{
    if (auto *settings = role<feature::FactorySettings>())
        settings->restoreFactorySettings();
}

void TMainform::Menu_AboutClick()
{
    AboutBoxContext context;
    context.showInternalVersions = m_showInternalVersions;
    context.cardState = cardState();
    context.callState = callState();
    context.connectionState = connectionState();
    {
        TAboutBox box(this, context);
        platform::execDialog(box);
    }
    m_showInternalVersions = false;
}

void TMainform::Menu_ExitClick() { close(); }

// ---- tray -----------------------------------------------------------------------------------

void TMainform::TrayIcon_MainMinimize()
{
    // Without a tray there would be no way back to a hidden window: minimise it instead.
    if (QSystemTrayIcon::isSystemTrayAvailable() && TrayIcon_Main->isVisible())
        hide();
    else
        showMinimized();
}

void TMainform::TrayIcon_MainRestore()
{
    m_popups.releaseNewSmsPopup();
    m_popups.closeCallPopup();
    m_restoredFromTray = true;
    showNormal();
    raise();
    activateWindow();
}

// ---- start-up timer ------------------------------------------------------------------------

void TMainform::Timer_StartTimer()
{
    if (m_startDone)
        return;
    m_startDone = true;
    Timer_Start.stop();
    if (m_splash) {
        m_splash->hide();
        m_splash->close();
        m_splash.reset();
    }
    show();
    TrayIcon_Main->setVisible(true);
}

void TMainform::setSplash(std::unique_ptr<TStartForm> splash) { m_splash = std::move(splash); }

// ---- messages -------------------------------------------------------------------------------

bool TMainform::event(QEvent *event)
{
    if (event->type() == platform::WindowMessageEvent::eventType() && m_monitor) {
        auto &message = static_cast<platform::WindowMessageEvent &>(*event);
        if (m_monitor->handleMessage(message))
            return true;
    }
    return QWidget::event(event);
}
