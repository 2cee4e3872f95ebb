// The main window: a fixed 640 x 480 frameless window whose fuchsia pixels are transparent,
// with its own title bar, the navigation buttons, the content panel (Mainpanel) in which the
// feature windows are shown one at a time, the status strip, and the tray icon with its menu.
//
// How the window follows the card (states, signal, indicators, the dispatch of every message)
// is the card monitor's work; the window owns it, hands it every message, and shows what it is
// told through CardView. The window itself brings the card up at creation and down on close,
// and runs the commands of its menus and buttons: close, off line, on line, power off, help,
// About.
#pragma once

#include "CardView.h"
#include "FeatureWindow.h"
#include "PageHistory.h"
#include "NewMsgForm.h"

#include "skin/ImButton.h"
#include "skin/ImImage.h"
#include "skin/SkinControls.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class CardMonitor;
class TStartForm;
namespace feature {
class WindowTable;
}

// What the refusal checks of close, off line and power off look at.
struct RefusalFacts {
    bool callInProgress = false;     // the call window is not idle
    bool connectionNotIdle = false;  // the data connection is not idle
    bool ussdSession = false;        // a USSD session is open
    bool busy = false;               // a long SMS or phonebook operation runs
};
// The resource string of the first check that holds, in the order 1032 (call), 1052
// (connection), 1104 (USSD), 1098 (busy); 0 when none holds.
unsigned FirstRefusal(const RefusalFacts &facts);

class TMainform : public QWidget, public CardView, public feature::FeatureHost {
    Q_OBJECT
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    // The content panel's place: below the navigation band, above the status strip.
    static constexpr QRect kContentArea{8, 108, 624, 340};

    // Runs FormCreate: skin, layout, texts, configuration, the business logic and the first
    // card state (posted, so it is applied once the message loop runs). The other windows of
    // the program are in `windows` (made after this one), which the card monitor tells.
    explicit TMainform(feature::WindowTable &windows);
    // Runs FormDestroy.
    ~TMainform() override;

    CardMonitor &monitor() { return *m_monitor; }

    // ---- what the other windows use ----------------------------------------------------------

    void SetPageTitle(const QString &text);
    QString GetPageTitle() const { return m_pageCaption; }
    // The busy flag: set by the windows while a long SMS or phonebook operation runs.
    void setBusy(bool busy) override { m_busy = busy; }
    bool busy() const { return m_busy; }
    uint8_t cardState() const override;
    // The call and data connection states, as their windows last posted them.
    int callState() const;
    int connectionState() const;
    bool restoredFromTray() const { return m_restoredFromTray; }
    bool showInternalVersions() const { return m_showInternalVersions; }

    // The splash window, closed and freed by the Timer_Start tick. While there is one, the main
    // window is not shown before that tick.
    void setSplash(std::unique_ptr<TStartForm> splash);
    TStartForm *splash() const { return m_splash.get(); }

    // Shows a feature window in Mainpanel (made a child of it, placed at `position`), brought to
    // the front, with its caption as the page title. Other pages are hidden.
    void showPage(QWidget *page, QPoint position = {0, 0});
    // The first resource string of the refusal checks that holds (1032 a call, 1052 a data
    // connection, 1104 a USSD session, 1098 the busy flag), or 0 when none does.
    unsigned refusalString() const;
    // Lays the navigation buttons out from the places of InternetButton and HelpButton.
    void layoutNavigationButtons();

    // ---- handlers -----------------------------------------------------------------------------

    void Timer_StartTimer();
    void RefreshTimerTimer();
    void Timer_NewSmsTimer();
    void Timer_IncomingCallTimer();
    void Timer_InternetTimer();
    void TrayIcon_MainAnimate();

    void FirstpageButtonClick();
    void InternetButtonClick();
    void MsgButtonClick();
    void PonebookButtonClick();
    void CallButtonClick();
    void CallhisButtonClick();
    void ConfigButtonClick();
    void StkButtonClick();
    void HelpButtonClick();

    void ImImage_Title_CloseClick();
    void ImImage_Title_MinimizeClick();
    void ImImage_NewSmsClick();
    void ImImage_IncomingCallClick();

    void Menu_PowerOffClick();
    void Menu_OfflineClick();
    void Menu_OnlineClick();
    void Menu_FSettingsClick();
    void Menu_AboutClick();
    void Menu_ExitClick();

    void TrayIcon_MainMinimize();
    void TrayIcon_MainRestore();

    // ---- controls -----------------------------------------------------------------------------

    skin::BackImage *YBBACKIMAGE;
    skin::BackImage *YBBACKIMAGE_TITLE_LEFT;
    skin::BackImage *YBBACKIMAGE_TITLE;
    skin::BackImage *YBBACKIMAGE_TITLE_RIGHT;
    skin::BackImage *YBBACKIMAGE_UNDER;
    skin::TImImage *ImImage_Title_Logo;
    QLabel *Label_Caption;
    skin::TImImage *ImImage_Title_Minimize;
    skin::TImImage *ImImage_Title_Close;

    skin::TImButton *FirstpageButton;
    skin::TImButton *InternetButton;
    skin::TImButton *CallButton;
    skin::TImButton *MsgButton;
    skin::TImButton *PonebookButton;
    skin::TImButton *ConfigButton;
    skin::TImButton *CallhisButton;
    skin::TImButton *StkButton;
    skin::TImButton *HelpButton;

    QLabel *Label_Welcom;
    QWidget *Mainpanel;

    skin::SkinImage *Image_RSSI;
    skin::SkinImage *Image_Netcard;
    skin::SkinImage *Image_Simcard;
    skin::SkinImage *Image_Internet;
    QLabel *Label_NetWorkType;
    QLabel *Label_OperaName;
    QLabel *Label_Domain;
    QLabel *Label_Roam;
    QLabel *Label_clock;
    skin::TImImage *ImImage_NewSms;
    skin::TImImage *ImImage_IncomingCall;

    skin::ImageList *ImageList_TrayMain;
    skin::ImageList *ImageList_RSSILevel;
    skin::ImageList *ImageList_NewSms;
    skin::ImageList *ImageList_IncomingCall;
    skin::ImageList *ImageList_Internet;

    QSystemTrayIcon *TrayIcon_Main;
    QMenu *PopupMenu_TrayMain;
    QAction *Menu_PowerOff;
    QAction *Menu_Offline;
    QAction *Menu_Online;
    QAction *Menu_FSettings;
    QAction *Menu_N1;
    QAction *Menu_Help;
    QAction *Menu_About;
    QAction *Menu_N2;
    QAction *Menu_NewSms;
    QAction *Menu_ClearNewSms;
    QAction *Menu_IncomingCall;
    QAction *Menu_IncomingCallAccept;
    QAction *Menu_IncomingCallTerminate;
    QAction *Menu_IncomingCallAbort;
    QAction *Menu_ClearMissedCall;
    QAction *Menu_InternetConnect;
    QAction *Menu_InternetDisconnect;
    QAction *Menu_DisableAllTool;
    QAction *Menu_EnableAllTool;
    QAction *Menu_Exit;

    QTimer Timer_Start;
    QTimer RefreshTimer;
    QTimer Timer_NewSms;
    QTimer Timer_IncomingCall;
    QTimer Timer_Internet;
    QTimer TrayIcon_MainAnimation;

    // ---- CardView -----------------------------------------------------------------------------

    void setCardIcon(int image) override;
    void setCardHint(const QString &hint) override;
    void setSimIcon(int image) override;
    void setSimHint(const QString &hint) override;
    void setConnectionIcon(int image) override;
    void setConnectionAnimation(bool running) override;
    void setConnectionHint(const QString &hint) override;
    void setSignalBars(int level) override;
    void setNetworkType(const QString &text) override;
    void setOperatorName(const QString &text) override;
    void setDomain(const QString &text) override;
    void setDomainHint(const QString &hint) override;
    void setRoaming(const QString &text, const QString &hint) override;
    void setClockText(const QString &text) override;
    void repaintStatus() override;
    void setIndicator(Indicator which, bool shown) override;
    void setTrayImage(int image) override;
    void setTrayAnimation(TrayAnimation animation) override;
    void setTrayHint(const QString &hint) override;
    void setMenuVisible(TrayMenuItem item, bool visible) override;
    void setMenuEnabled(TrayMenuItem item, bool enabled) override;
    void setNavigationEnabled(bool enabled) override;
    void setStkButtonEnabled(bool enabled) override;
    void showMainWindowNow() override;
    void enableMainWindow() override;
    void showInternetPage() override;
    void restoreFromTray() override;
    bool isMinimizedOrHidden() const override;
    bool isActiveWindow() const override;
    QWidget *dialogOwner() override;
    bool hasNewSmsPopup() const override;
    void showNewSmsPopup(const QString &text, bool aboveCallPopup) override;
    void releaseNewSmsPopup() override;
    bool hasCallPopup() const override;
    void showCallPopup(const QString &number) override;
    void setCallPopupText(const QString &number) override;
    void closeCallPopup() override;
    QString connectionStatusText() const override;
    bool isBusy() const override { return m_busy; }

    // ---- feature::FeatureHost -----------------------------------------------------------------

    void showInPanel(QWidget &window, QPoint position) override { showPage(&window, position); }
    std::vector<QWidget *> registeredWindows() const override;
    QWidget *windowPlaying(std::type_index role) const override;
    // The host's show() of a button's or an entry's page beside the window's own show().
    using QWidget::show;
    void show(feature::NavigationButton button) override;
    void show(feature::SettingsEntry entry) override;
    void showPreviousPage() override;
    QObject *messageTarget() override { return this; }
    feature::Notices &notices() override;
    bool inService() const override;
    bool roaming() const override;
    void showTrayMessage(const QString &text) override;

signals:
    // The close was accepted: the program ends.
    void formClosed();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void loadPcLists();
    void FormShow();
    // The close question and what follows it; true when the window may close.
    bool FormCloseQuery();
    void FormDestroy();

    void buildTitleBar();
    void buildNavigation();
    void buildContent();
    void buildStatusStrip();
    void buildImageLists();
    void buildTray();
    void buildTimers();
    void applySkin();
    void setTexts();
    void applyWindowShape();

    // Shows the message of the first refusal check that holds; true when one held.
    bool refuse();
    void hidePages();
    // The settings column at the left of the content panel, in front.
    void showSettingsColumn();
    // The navigation buttons (None: the first page, the welcome), and marking the one whose
    // page is shown.
    std::vector<std::pair<feature::NavigationButton, skin::TImButton *>> navigationButtons() const;
    void markCurrentPage(feature::NavigationButton current);
    void showIndicatorFrame(Indicator which);
    void showTrayPicture(const QPixmap &picture);

    feature::WindowTable &m_windows;
    std::unique_ptr<CardMonitor> m_monitor;
    std::unique_ptr<TStartForm> m_splash;
    NewMsgPopups m_popups{this};

    QString m_pageCaption;
    feature::PageHistory m_pages;
    bool m_dragging = false;
    QPoint m_dragOffset;
    bool m_restoredFromTray = false;
    bool m_showInternalVersions = false;
    bool m_busy = false;
    bool m_startDone = false;
    bool m_closeAccepted = false;

    int m_newSmsFrame = 0;
    int m_incomingCallFrame = 0;
    int m_internetFrame = 0;
    int m_trayFrame = 0;
    TrayAnimation m_trayAnimation = TrayAnimation::None;
    int m_trayImage = kImageCardAbsent;
};
