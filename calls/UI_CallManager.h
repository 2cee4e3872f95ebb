// The call window: the keypad and the number, Dial and Hang-up, the state of the calls and their
// time, the earphone level, and the two parties of a conference. What the calls do is
// CallManager's; this is the window over it, with its timers and the dialogs it opens.
#pragma once

#include "CallManager.h"
#include "UI_CallSound.h"

#include "FeatureWindow.h"
#include "app/pin/EmergencyCalls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <memory>

class TCall_managerform final : public QWidget,
                                public feature::FeatureWindow,
                                public pin::EmergencyCalls,
                                private calls::CallManagerView {
    Q_OBJECT
public:
    explicit TCall_managerform(feature::FeatureHost &host);
    ~TCall_managerform() override;

    QLineEdit *Memo1;
    QTreeWidget *CallListView;
    QPushButton *ImButton[10];
    QPushButton *ImButtonStar, *ImButtonHash, *ImButtonDelete, *ImButtonDial, *ImButtonHangup;
    QLabel *CallStateLabel, *CallTimeLabel, *HoldCallLable, *SpicalDTMF, *EarphoneLabel;
    QSlider *EarphoneTrackBar;

    calls::CallManager &manager() { return *m_manager; }
    // The microphone controls and the call's sound on the computer.
    calls::CallSoundControls &sound() { return *m_sound; }
    // The call state, 0 idle ... 16.
    int CallState() const { return m_manager->state(); }
    // A number from the call records.
    void DialNumber(const QString &number);
    // Shows the calls as they stand now.
    void Refresh();

    // The handlers.
    void KeyPressed(QChar key);
    void ImButtonStarClick();
    void ImButtonDialClick();
    void ImButtonHangupClick();
    void EarphoneTrackBarReleased();

    // The PIN dialogs' view of the call window.
    bool IsEmergencyNumber(const QString &number) const override;
    bool IsSettingUpCall() const override;
    QString NumberFieldText() const override;
    void ShowAndPlaceCall(const QString &number) override;

    void cardStateChanged(CardState state) override;
    void connectionStateChanged(ConnectionState state) override;
    void messageArrived(platform::WindowMessageEvent &message) override;
    void shownInPanel() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // CallManagerView.
    void message(int text) override;
    int choose(const std::vector<int> &texts) override;
    bool confirm(const QString &text) override;
    void earphoneNotice() override;
    void showDialledCalls() override;
    void showWindow() override;
    void stateChanged(::CallState state) override;
    void ring(const QString &text, bool updateOnly) override;
    void stopRing() override;
    void callAccepted() override;
    void missedCall() override;
    void recordCall(uint8_t kind, const QDateTime &start, const QString &number) override;
    void scheduleTones(int ms) override;
    void cancelTones() override;
    void setDialTimer(bool running) override;
    void setCallTimer(bool running) override;
    int savedEarphone() override;
    void saveEarphone(int position, bool beforeCall) override;

    void typeKey(QChar key);
    void notice(const QString &text);
    void readEarphone();

    feature::FeatureHost &m_host;
    std::unique_ptr<calls::CallManager> m_manager;
    std::unique_ptr<calls::CallSoundControls> m_sound;
    calls::StarKey m_star;
    QTimer m_starTimer, m_dialTimer, m_callTimer, m_toneTimer, m_endedTimer, m_settleTimer;
    QPointer<QWidget> m_earphoneNotice;
    QPointer<QDialog> m_choice;
    bool m_dataConnected = false;
};
