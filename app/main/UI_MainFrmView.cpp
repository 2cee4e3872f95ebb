// The main window's side of the card monitor: the status strip, the tray icon, the indicators
// and their animations, and the hand-over to the feature windows.
#include "UI_MainFrm.h"

#include "CardMonitor.h"
#include "MainPictures.h"
#include "FeatureRoles.h"
#include "WindowTable.h"

#include "platform/WindowMessages.h"

namespace {

// The tray draws its icon larger than the status strip.
constexpr int kTrayIconSize = 32;
QIcon trayIcon(const QImage &small, const QImage &large)
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(small));
    icon.addPixmap(QPixmap::fromImage(large));
    return icon;
}

}  // namespace

// ---- timers ---------------------------------------------------------------------------------

void TMainform::RefreshTimerTimer()
{
    for (QWidget *control : std::initializer_list<QWidget *>{
             YBBACKIMAGE_UNDER, Image_RSSI, Image_Netcard, Image_Simcard, Image_Internet,
             Label_NetWorkType, Label_OperaName, Label_Domain, Label_Roam, Label_clock})
        control->update();
}

void TMainform::Timer_NewSmsTimer()
{
    m_newSmsFrame = (m_newSmsFrame + 1) % mainpictures::kNewSmsFrames;
    showIndicatorFrame(Indicator::NewSms);
}

void TMainform::Timer_IncomingCallTimer()
{
    m_incomingCallFrame = (m_incomingCallFrame + 1) % mainpictures::kIncomingCallFrames;
    showIndicatorFrame(Indicator::IncomingCall);
}

void TMainform::showIndicatorFrame(Indicator which)
{
    if (which == Indicator::NewSms)
        ImImage_NewSms->setPicture(ImageList_NewSms->picture(m_newSmsFrame));
    else
        ImImage_IncomingCall->setPicture(ImageList_IncomingCall->picture(m_incomingCallFrame));
}

void TMainform::Timer_InternetTimer()
{
    m_internetFrame = (m_internetFrame + 1) % mainpictures::kInternetFrames;
    Image_Internet->setPicture(ImageList_Internet->picture(m_internetFrame));
}

void TMainform::TrayIcon_MainAnimate()
{
    int frames = 0;
    QImage (*draw)(int, int) = nullptr;
    switch (m_trayAnimation) {
    case TrayAnimation::NewSms:
        frames = mainpictures::kNewSmsFrames;
        draw = mainpictures::newSmsPicture;
        break;
    case TrayAnimation::IncomingCall:
        frames = mainpictures::kIncomingCallFrames;
        draw = mainpictures::incomingCallPicture;
        break;
    case TrayAnimation::Connected:
        frames = mainpictures::kInternetFrames;
        draw = mainpictures::internetPicture;
        break;
    case TrayAnimation::None: return;
    }
    m_trayFrame = (m_trayFrame + 1) % frames;
    TrayIcon_Main->setIcon(trayIcon(draw(m_trayFrame, 16), draw(m_trayFrame, kTrayIconSize)));
}

// ---- CardView -------------------------------------------------------------------------------

uint8_t TMainform::cardState() const
{
    return m_monitor ? m_monitor->cardState() : uint8_t(kCardAbsent);
}

void TMainform::setCardIcon(int image)
{
    Image_Netcard->setPicture(ImageList_TrayMain->picture(image));
}
void TMainform::setCardHint(const QString &hint) { Image_Netcard->setToolTip(hint); }
void TMainform::setSimIcon(int image)
{
    Image_Simcard->setPicture(ImageList_TrayMain->picture(image));
}
void TMainform::setSimHint(const QString &hint) { Image_Simcard->setToolTip(hint); }

void TMainform::setConnectionIcon(int image)
{
    Image_Internet->setPicture(ImageList_TrayMain->picture(image));
}

void TMainform::setConnectionAnimation(bool running)
{
    if (running) {
        m_internetFrame = 0;
        Image_Internet->setPicture(ImageList_Internet->picture(0));
        Timer_Internet.start();
    } else {
        Timer_Internet.stop();
    }
}

void TMainform::setConnectionHint(const QString &hint) { Image_Internet->setToolTip(hint); }

void TMainform::setSignalBars(int level)
{
    Image_RSSI->setPicture(ImageList_RSSILevel->picture(level));
}

void TMainform::setNetworkType(const QString &text) { Label_NetWorkType->setText(text); }
void TMainform::setOperatorName(const QString &text) { Label_OperaName->setText(text); }
void TMainform::setDomain(const QString &text) { Label_Domain->setText(text); }
void TMainform::setDomainHint(const QString &hint) { Label_Domain->setToolTip(hint); }

void TMainform::setRoaming(const QString &text, const QString &hint)
{
    Label_Roam->setText(text);
    Label_Roam->setToolTip(hint);
    Label_Roam->update();
}

void TMainform::setClockText(const QString &text) { Label_clock->setText(text); }

void TMainform::repaintStatus() { RefreshTimerTimer(); }

void TMainform::setIndicator(Indicator which, bool shown)
{
    QTimer &timer = which == Indicator::NewSms ? Timer_NewSms : Timer_IncomingCall;
    skin::TImImage *indicator = which == Indicator::NewSms ? ImImage_NewSms : ImImage_IncomingCall;
    if (shown) {
        if (!timer.isActive()) {
            (which == Indicator::NewSms ? m_newSmsFrame : m_incomingCallFrame) = 0;
            showIndicatorFrame(which);
        }
        timer.start();
        indicator->show();
    } else {
        timer.stop();
        indicator->hide();
    }
}

void TMainform::setTrayImage(int image)
{
    TrayIcon_MainAnimation.stop();
    m_trayAnimation = TrayAnimation::None;
    m_trayImage = image;
    TrayIcon_Main->setIcon(trayIcon(mainpictures::trayMainPicture(image, 16),
                                    mainpictures::trayMainPicture(image, kTrayIconSize)));
}

void TMainform::setTrayAnimation(TrayAnimation animation)
{
    if (animation == TrayAnimation::None) {
        setTrayImage(m_trayImage);
        return;
    }
    m_trayAnimation = animation;
    m_trayFrame = -1;
    TrayIcon_MainAnimate();
    TrayIcon_MainAnimation.start();
}

void TMainform::setTrayHint(const QString &hint) { TrayIcon_Main->setToolTip(hint); }

namespace {

QAction *menuItem(TMainform &form, TrayMenuItem item)
{
    switch (item) {
    case TrayMenuItem::PowerOff: return form.Menu_PowerOff;
    case TrayMenuItem::Offline: return form.Menu_Offline;
    case TrayMenuItem::Online: return form.Menu_Online;
    case TrayMenuItem::FSettings: return form.Menu_FSettings;
    case TrayMenuItem::N1: return form.Menu_N1;
    case TrayMenuItem::About: return form.Menu_About;
    case TrayMenuItem::Exit: return form.Menu_Exit;
    }
    return nullptr;
}

}  // namespace

void TMainform::setMenuVisible(TrayMenuItem item, bool visible)
{
    if (QAction *action = menuItem(*this, item))
        action->setVisible(visible);
}

void TMainform::setMenuEnabled(TrayMenuItem item, bool enabled)
{
    if (QAction *action = menuItem(*this, item))
        action->setEnabled(enabled);
}

void TMainform::setNavigationEnabled(bool enabled)
{
    for (QWidget *control : std::initializer_list<QWidget *>{
             FirstpageButton, InternetButton, CallButton, MsgButton, PonebookButton, ConfigButton,
             CallhisButton, ImImage_NewSms, ImImage_IncomingCall})
        control->setEnabled(enabled);
}

void TMainform::setStkButtonEnabled(bool enabled) { StkButton->setEnabled(enabled); }

void TMainform::showMainWindowNow() { Timer_StartTimer(); }

void TMainform::enableMainWindow() { setEnabled(true); }

void TMainform::showInternetPage() { InternetButtonClick(); }

void TMainform::restoreFromTray()
{
    if (!isMinimizedOrHidden())
        return;
    // Back on the page it showed: the first page is for a window shown afresh.
    m_restoredFromTray = true;
    showNormal();
    raise();
    activateWindow();
}

bool TMainform::isMinimizedOrHidden() const { return isMinimized() || !isVisible(); }

bool TMainform::isActiveWindow() const { return QWidget::isActiveWindow(); }

QWidget *TMainform::dialogOwner() { return this; }

std::vector<QWidget *> TMainform::registeredWindows() const { return m_windows.widgets(); }

QWidget *TMainform::windowPlaying(std::type_index role) const { return m_windows.playing(role); }

bool TMainform::inService() const { return m_monitor && m_monitor->network().inService(); }

bool TMainform::roaming() const { return m_monitor && m_monitor->network().roaming(); }

void TMainform::showTrayMessage(const QString &text)
{
    if (QSystemTrayIcon::isSystemTrayAvailable() && TrayIcon_Main->isVisible())
        TrayIcon_Main->showMessage(windowTitle(), text);
}

bool TMainform::hasNewSmsPopup() const { return m_popups.hasNewSmsPopup(); }
void TMainform::showNewSmsPopup(const QString &text, bool aboveCallPopup)
{
    m_popups.showNewSmsPopup(text, aboveCallPopup);
}
void TMainform::releaseNewSmsPopup() { m_popups.releaseNewSmsPopup(); }
bool TMainform::hasCallPopup() const { return m_popups.hasCallPopup(); }
void TMainform::showCallPopup(const QString &number) { m_popups.showCallPopup(number); }
void TMainform::setCallPopupText(const QString &number) { m_popups.setCallPopupText(number); }
void TMainform::closeCallPopup() { m_popups.closeCallPopup(); }

feature::Notices &TMainform::notices() { return *m_monitor; }

int TMainform::callState() const { return m_monitor ? m_monitor->callState() : 0; }

int TMainform::connectionState() const { return m_monitor ? m_monitor->connectionState() : 0; }

QString TMainform::connectionStatusText() const
{
    const auto *connection = m_windows.role<feature::InternetConnection>();
    return connection ? connection->statusText() : QString();
}
