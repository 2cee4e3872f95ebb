// What the card monitor does to the main window.
//
// CardMonitor (the card state machine, the message dispatch, signal, operator, tray and notices)
// holds no widget. Everything it shows or asks goes through this interface, which the main
// window (TMainform) implements and the monitor's tests implement with a recorder. The monitor
// decides *what* to show (images, texts already looked up, the order of things); the view only
// puts it on its controls, so a view implementation carries no logic of its own.
//
// The feature windows are not reached through here: the monitor tells them through the window
// contract and its routing table (app/feature).
//
// Every call comes on the window thread.
#pragma once

#include <QString>

class QWidget;

// Index meanings of ImageList_TrayMain, shared by the tray icon and the card, SIM and
// connection icons of the status strip.
enum TrayMainImage : int {
    kImageCardAbsent = 0,
    kImageCardOnline = 1,
    kImageNoSignal = 2,
    kImageInService = 3,
    kImageSimMissing = 4,
    kImageSimReady = 5,
    kImageNotConnected = 6,
    kImageCardFound = 7,
    kImageSimRegistered = 8,
    kImageSimBlocked = 9,
};

// The three tray animations (each with its own image list); None: the tray shows one image of
// ImageList_TrayMain.
enum class TrayAnimation { None, NewSms, IncomingCall, Connected };

// Items of the tray menu whose visibility or enabled state follows the card.
enum class TrayMenuItem {
    PowerOff,   // Menu_PowerOff
    Offline,    // Menu_Offline
    Online,     // Menu_Online
    FSettings,  // Menu_FSettings
    N1,         // separator Menu_N1
    About,      // Menu_About
    Exit,       // Menu_Exit
};

// The status-strip indicators that blink (each through its four images and its own 800 ms timer,
// Timer_NewSms / Timer_IncomingCall, which the view owns).
enum class Indicator { NewSms, IncomingCall };

class CardView {
public:
    virtual ~CardView() = default;

    // ---- status strip -------------------------------------------------------------------------

    // Image_Netcard (card icon), index into ImageList_TrayMain, and its hint.
    virtual void setCardIcon(int image) = 0;
    virtual void setCardHint(const QString &hint) = 0;
    // Image_Simcard (SIM icon) and its hint.
    virtual void setSimIcon(int image) = 0;
    virtual void setSimHint(const QString &hint) = 0;
    // Image_Internet: a still image of ImageList_TrayMain, or the three-image connected animation
    // (Timer_Internet, owned by the view). Starting the animation keeps the hint.
    virtual void setConnectionIcon(int image) = 0;
    virtual void setConnectionAnimation(bool running) = 0;
    virtual void setConnectionHint(const QString &hint) = 0;
    // Image_RSSI: image 0-5 of ImageList_RSSILevel.
    virtual void setSignalBars(int level) = 0;
    // Label_NetWorkType, Label_OperaName, Label_Domain (+ hint), Label_Roam (+ hint).
    virtual void setNetworkType(const QString &text) = 0;
    virtual void setOperatorName(const QString &text) = 0;
    virtual void setDomain(const QString &text) = 0;
    virtual void setDomainHint(const QString &hint) = 0;
    virtual void setRoaming(const QString &text, const QString &hint) = 0;
    // Label_clock (the cell-broadcast text).
    virtual void setClockText(const QString &text) = 0;
    // Repaints the status strip as it is (labels unchanged).
    virtual void repaintStatus() = 0;
    // ImImage_NewSms / ImImage_IncomingCall: shown and blinking, or stopped and hidden.
    virtual void setIndicator(Indicator which, bool shown) = 0;

    // ---- tray icon ----------------------------------------------------------------------------

    // Stops any animation and shows one image of ImageList_TrayMain.
    virtual void setTrayImage(int image) = 0;
    // Starts one of the animations (800 ms per image).
    virtual void setTrayAnimation(TrayAnimation animation) = 0;
    virtual void setTrayHint(const QString &hint) = 0;
    virtual void setMenuVisible(TrayMenuItem item, bool visible) = 0;
    virtual void setMenuEnabled(TrayMenuItem item, bool enabled) = 0;

    // ---- navigation ---------------------------------------------------------------------------

    // FirstpageButton, InternetButton, CallButton, MsgButton, PonebookButton, ConfigButton,
    // CallhisButton and both indicators (StkButton and the menu items are set separately).
    virtual void setNavigationEnabled(bool enabled) = 0;
    virtual void setStkButtonEnabled(bool enabled) = 0;

    // ---- main window --------------------------------------------------------------------------

    // The Timer_Start tick: closes the splash and shows the main window; a second call does
    // nothing.
    virtual void showMainWindowNow() = 0;
    // Enables the main window (it may have been disabled by a long operation or a dialog).
    virtual void enableMainWindow() = 0;
    // Shows the Internet page, as the Internet button does.
    virtual void showInternetPage() = 0;
    // Brings the main window back from the tray when it is minimised or hidden.
    virtual void restoreFromTray() = 0;
    // Whether the application is minimised or the main window hidden.
    virtual bool isMinimizedOrHidden() const = 0;
    // Whether the main window is the active window.
    virtual bool isActiveWindow() const = 0;
    // Owner of the message boxes the monitor shows.
    virtual QWidget *dialogOwner() = 0;

    // ---- pop-up notices (TNewMsgForm) ---------------------------------------------------------

    // Kind 1: the new-SMS pop-up, shown without waiting at the screen's bottom-right (one pop-up
    // height higher when aboveCallPopup). At most one exists.
    virtual bool hasNewSmsPopup() const = 0;
    virtual void showNewSmsPopup(const QString &text, bool aboveCallPopup) = 0;
    virtual void releaseNewSmsPopup() = 0;
    // Kind 2: the incoming-call pop-up, shown modally at the bottom-right and freed when it
    // closes (showCallPopup returns then).
    virtual bool hasCallPopup() const = 0;
    virtual void showCallPopup(const QString &number) = 0;
    virtual void setCallPopupText(const QString &number) = 0;
    virtual void closeCallPopup() = 0;

    // ---- what other windows know --------------------------------------------------------------

    // A message shown from the tray icon (a balloon where the desktop has them).
    virtual void showTrayMessage(const QString &text) { (void)text; }
    // The data connection window's status text (the tray hint while connected).
    virtual QString connectionStatusText() const = 0;
    // The busy flag: a long SMS or phonebook operation is running.
    virtual bool isBusy() const = 0;
};
