// The tray and the notices of the card monitor: the tray icon's image, animation and hint, the
// new-message and missed-call indicators, the incoming-call and connection notices with their
// sounds, the class-0 messages and the cell-broadcast line. These are the notices the other
// windows raise (new SMS, incoming call, call accepted or stopped, missed call, connection up
// or down) and what they clear.
#pragma once

#include "CardFacts.h"
#include "CardView.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>

struct SmsItem;
struct SmsClass0Payload;
struct SmsBroadcastPayload;
class SoundPlayer;
namespace feature {
class WindowTable;
}

class TrayNotices : public QObject {
    Q_OBJECT
public:
    TrayNotices(CardView &view, feature::WindowTable &windows, SoundPlayer &sound,
                const CardFacts &facts);
    ~TrayNotices() override;

    // ---- the notices ----------------------------------------------------------------------------
    void newSmsArrived(const QString &text);
    // fromIndicator: the user clicked ImImage_NewSms, which first opens the kept message's folder.
    void clearNewSms(bool fromIndicator = false);
    void incomingCall(const QString &number, bool updateOnly = false);
    void callAccepted();
    void callStopped();
    void missedCall();
    // fromIndicator: the user clicked ImImage_IncomingCall, which first opens the call records.
    void clearMissedCall(bool fromIndicator = false);
    void connectionUp();
    void connectionDown();
    // A notice of the data budget, shown from the tray; kept for the session's record.
    void budgetNotice(const QString &text);
    const QStringList &budgetNotices() const { return m_budgetNotices; }

    // Keeps a copy of a new message's item (the previous one is freed).
    void keepNewSms(const SmsItem &item);
    // The kept copy of the newest unread message, or null.
    const SmsItem *newSmsEntry() const { return m_newSmsEntry.get(); }
    void freeNewSmsEntry();
    // A class-0 message: shown in a box of its own, one after the other.
    void class0Sms(const SmsClass0Payload &sms);
    // A cell-broadcast page: its first characters in Label_clock.
    void broadcast(const SmsBroadcastPayload &page);

    // ---- the tray, for the card states ---------------------------------------------------------
    // Stops any animation and shows one image of ImageList_TrayMain.
    void setTrayImage(int image);
    void setTrayAnimation(TrayAnimation animation);
    // Shows the tray's main image again (a reset leaves the animations).
    void showTrayImage() { setTrayImage(m_trayImage); }
    // The signal level shown: while the tray shows no animation, image 3 with signal, else 2.
    void showSignalInTray(int level);
    // Part of the display's reset: both indicators hidden, and (touchConnectionIcon) the
    // connection icon back to not connected.
    void resetIndicators(bool touchConnectionIcon);
    // The connection icon at rest: no animation, not connected.
    void showNotConnected();

    TrayAnimation trayAnimation() const { return m_trayAnimation; }
    int trayImage() const { return m_trayImage; }
    bool callBeingAnswered() const { return m_callBeingAnswered; }
    const QStringList &pendingTexts() const { return m_pendingTexts; }

    QTimer Timer_UpdateTrayHint;
    void Timer_UpdateTrayHintTimer();

private:
    // The tray after a call notice ends: new-message animation, connection animation or image 3.
    void restoreTrayAfterCall();

    CardView &m_view;
    feature::WindowTable &m_windows;
    SoundPlayer &m_sound;
    const CardFacts &m_facts;

    bool m_callBeingAnswered = false;
    bool m_newSmsShown = false;
    bool m_missedCallShown = false;
    TrayAnimation m_trayAnimation = TrayAnimation::None;
    int m_trayImage = kImageCardAbsent;
    std::unique_ptr<SmsItem> m_newSmsEntry;
    QStringList m_pendingTexts;
    QStringList m_budgetNotices;
    bool m_class0BoxOpen = false;
};
